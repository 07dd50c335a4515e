// The rig's own conversions of numbers, yes/no values and dates to text and back.
// Every report line that shows a number or a date goes through these.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <concepts>
#include <cstdint>
#include <optional>

namespace rt {

// ---- General text form ------------------------------------------------------------
// Integers: decimal digits, "-" when negative, no padding, no grouping.
QString textOf(std::int64_t value);
template <std::integral T>
requires(!std::same_as<T, bool> && !std::same_as<T, std::int64_t>) QString textOf(T value) {
    return textOf(static_cast<std::int64_t>(value));
}
// Single precision: rounded to 7 significant digits (ties to even, on the exact binary
// value); plain notation when the decimal exponent e of the rounded value satisfies
// -4 <= e < 7, otherwise exponent form such as 1.234568E+07 (no trailing zeros, at least two
// exponent digits). Zero, negative zero included, is "0". The decimal sign is always ".".
// Infinities and NaN show as "Infinity", "-Infinity" and "NaN".
QString textOf(float value);
// Double precision: the same with 15 significant digits (1E+15, 0.333333333333333).
QString textOf(double value);
// Yes/no: "True" for any non-zero value, "False" for zero.
QString yesNoText(std::int16_t value);
// Currency: a 64-bit integer holding the value times 10,000. Shown exactly, with up to four
// decimals and no trailing zeros, in plain notation (12345.5 -> "12345.5"); the whole range
// of the integer, its smallest value included.
struct Currency {
    std::int64_t scaled = 0;
};
QString textOf(Currency value);

// A number item printed on the status picture: one space before a non-negative number
// (a negative one starts with its "-") and one space after.
template <typename T>
QString statusNumber(T value) {
    QString text = textOf(value);
    if (!text.startsWith(u'-'))
        text.prepend(u' ');
    return text + u' ';
}

// ---- Narrowing (raise RigError::overflow() when the value does not fit) ----------
// Rounds half to even first, then checks the range: 3.45 -> 3, 2.5 -> 2, 3.5 -> 4,
// 32767.5 -> overflow. NaN and infinities overflow.
std::int16_t toInt16(double value);
std::int16_t toInt16(std::int64_t value);
// 0..255 only, rounding the same way (-0.4 -> 0, 255.5 -> overflow).
std::uint8_t toByte(double value);
std::uint8_t toByte(std::int64_t value);

// ---- The user's formats ------------------------------------------------------------
// Dates, times and number patterns follow the user's locale. The general text form of
// numbers does not: its decimal sign is always ".", so reports compare across machines.
struct LocaleFormats {
    QLocale locale;            // writes and reads month names and the AM/PM texts
    QString shortDate;         // QLocale date format, years always with four digits
    QString longTime;          // QLocale time format, without a time zone
    QString decimalSeparator;  // used by formatNumber()
};
// The formats of `locale`: its short date and long time formats, with a two-digit year
// widened to four digits (the century could not be read back otherwise) and the time zone
// parts dropped. The C locale gets "M/d/yyyy", "h:mm:ss AP" and ".".
LocaleFormats formatsOf(const QLocale &locale);
// The formats in force: the override when one is set, otherwise formatsOf(QLocale::system()).
LocaleFormats localeFormats();
// Fixes the formats (tests use this to be independent of the machine); std::nullopt
// returns to the system locale.
void overrideLocaleFormats(std::optional<LocaleFormats> formats);
// The decimal separator of localeFormats().
QString decimalSeparator();

// ---- Dates -----------------------------------------------------------------------
// Date values count days since 1899-12-30 (proleptic Gregorian), the fraction being the time
// of day; before that day the fraction still counts forward from midnight (-1.25 is
// 1899-12-29 06:00). The range is 0100-01-01 00:00:00 .. 9999-12-31 23:59:59, that is
// -657434.99999... .. 2958465.99999...
//
// General date text, in localeFormats(): the short date, a space, the long time, the time
// rounded to the nearest second; the date and the space are left out on day zero, the space
// and the time at exactly midnight. Day zero at midnight (0.0) shows the time "12:00:00 AM"
// (in the C formats), never an empty text. A value outside the range, or NaN, raises
// RigError::overflow().
QString dateText(double date);
// Reads back every general date text dateText() writes (date and time, date only, time
// only) in localeFormats(), and ISO 8601 texts ("2001-09-09 01:46:40", "2001-09-09T01:46:40",
// "2001-09-09"); surrounding spaces are ignored. Raises RigError::typeMismatch() for any other
// text, a date outside the range included.
double textToDate(const QString &text);
// Double to date value: keeps the value; RigError::overflow() outside the range above, and
// for NaN.
double toDate(double value);

// ---- Number patterns -----------------------------------------------------------
// Formats a double with a pattern of "0", "#" and at most one "." (for example "0#.###"):
// - the whole part shows all its digits, at least as many as there are "0"s before the
//   separator ("0#" shows at least one digit: 5.25 -> "5.25", 0.5 -> "0.5"; "#" alone shows
//   nothing for a zero whole part: ".5");
// - the separator is decimalSeparator(), printed whenever the pattern has one, even with no
//   decimal after it (12 -> "12.");
// - every "0" or "#" after the separator is one decimal place; decimals beyond the "0"s are
//   dropped when they are trailing zeros;
// - rounding is half away from zero, on the shortest decimal text of the value (so 1.0005 to
//   three places is 1.001, although its binary value is a little below);
// - a negative value gets "-", unless it shows as zero (-0.0004 -> "0.").
// Infinities and NaN show as in textOf(). Any other pattern character raises
// RigError::invalidCall().
QString formatNumber(double value, QStringView pattern);

// ---- Hexadecimal -----------------------------------------------------------------
// The rig's own hexadecimal text of a 16-bit integer: upper case, no leading zeros,
// negative values in two's complement (42 -> "2A", -1 -> "FFFF").
QString hexText(std::int16_t value);

// ---- Text results --------------------------------------------------------------
// Cuts `text` at its first NUL (character code 0), stores the cut text back and returns it.
// The position is held as a 16-bit integer: a NUL beyond position 32767 counts as not found.
QString TrimAtNul(QString &text);

}  // namespace rt
