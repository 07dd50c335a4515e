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
// Single precision: 7 significant digits; plain notation when the decimal exponent e
// satisfies -4 <= e < 7, otherwise exponent form such as 1.234568E+07.
QString textOf(float value);
// Double precision: the same with 15 significant digits (1E+15, 0.333333333333333).
QString textOf(double value);
// Yes/no: "True" for any non-zero value, "False" for zero.
QString yesNoText(std::int16_t value);
// Currency: a 64-bit integer holding the value times 10,000. Shown with up to four
// decimals in plain notation (12345.5 -> "12345.5").
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
// Rounds half to even: 3.45 -> 3, 2.5 -> 2, 3.5 -> 4.
std::int16_t toInt16(double value);
std::int16_t toInt16(std::int64_t value);
// 0..255 only.
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
// The formats in force: the override when one is set, otherwise the system locale's short
// date and long time formats (a two-digit year is widened to four digits, since the century
// cannot be read back otherwise; time zone parts are dropped). Under the C locale they are
// "M/d/yyyy", "h:mm:ss AP" and ".".
LocaleFormats localeFormats();
// Fixes the formats (tests use this to be independent of the machine); std::nullopt
// returns to the system locale.
void overrideLocaleFormats(std::optional<LocaleFormats> formats);
// The decimal separator of localeFormats().
QString decimalSeparator();

// ---- Dates -----------------------------------------------------------------------
// General date text: the user's short date, a space, the user's long time; the date and
// the space are left out when the whole-day part is zero, the space and the time when
// the time of day is exactly midnight.
QString dateText(double date);
// Reads back every general date text dateText() writes, and ISO 8601 texts
// ("2001-09-09 01:46:40", "2001-09-09"); raises RigError::typeMismatch() otherwise.
double textToDate(const QString &text);
// Double to date value: keeps the value; RigError::overflow() outside
// 0100-01-01 .. 9999-12-31 (-657434 .. 2958465.99999...).
double toDate(double value);

// ---- Number patterns -----------------------------------------------------------
// Formats a double with a pattern of "0", "#" and "." (for example "0#.###"), using the
// locale's decimal separator.
QString formatNumber(double value, QStringView pattern);

// ---- Hexadecimal -----------------------------------------------------------------
// The rig's own hexadecimal text of a 16-bit integer: upper case, no leading zeros,
// negative values in two's complement (42 -> "2A", -1 -> "FFFF").
QString hexText(std::int16_t value);

}  // namespace rt
