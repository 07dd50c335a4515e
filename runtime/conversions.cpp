// The general text form of numbers, the narrowing conversions, number patterns and hex text.
#include "conversions.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "rigerror.h"

namespace rt {

namespace {

// Digits of an unsigned magnitude; works for the magnitude of INT64_MIN too.
std::string decimalDigits(std::uint64_t magnitude) {
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
    (void)ec;
    return std::string(buffer, end);
}

std::uint64_t magnitudeOf(std::int64_t value) {
    // Negating in unsigned arithmetic keeps INT64_MIN defined.
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

QString nonFiniteText(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
}

// Rounds `value` to `digits` significant digits (exactly, ties to even on the binary value)
// and writes it in plain or exponent notation.
QString generalText(double value, int digits) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    if (value == 0)
        return QStringLiteral("0");  // also for -0: a sign on zero only confuses the reader

    // "-d.ddddde+XXX", whatever the C library's locale (printf would write "3,3e-01" there).
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                         std::chars_format::scientific, digits - 1);
    (void)ec;  // 64 characters hold any double with 17 digits
    const std::string scientific(buffer, end);

    const bool negative = scientific.front() == '-';
    const std::size_t ePos = scientific.find('e');
    std::string mantissa;  // the significant digits, without the point
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i) {
        if (scientific[i] != '.')
            mantissa += scientific[i];
    }
    const int exponent = std::stoi(scientific.substr(ePos + 1));
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= -4 && exponent < digits) {
        if (exponent >= 0) {
            const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
            if (mantissa.size() <= wholeDigits) {
                out += mantissa;
                out.append(wholeDigits - mantissa.size(), '0');
            } else {
                out += mantissa.substr(0, wholeDigits);
                out += '.';
                out += mantissa.substr(wholeDigits);
            }
        } else {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += mantissa;
        }
    } else {
        out += mantissa.front();
        if (mantissa.size() > 1) {
            out += '.';
            out += mantissa.substr(1);
        }
        out += 'E';
        out += exponent < 0 ? '-' : '+';
        const std::string expDigits = std::to_string(exponent < 0 ? -exponent : exponent);
        if (expDigits.size() < 2)
            out += '0';
        out += expDigits;
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

// Rounds half to even without depending on the floating-point environment.
double roundHalfEven(double value) {
    const double nearest = std::round(value);  // ties away from zero
    if (std::fabs(nearest - value) == 0.5 && std::fmod(nearest, 2.0) != 0)
        return nearest - std::copysign(1.0, value);
    return nearest;
}

// Narrows after rounding; the range test comes first so the cast is always defined.
std::int64_t roundInto(double value, std::int64_t low, std::int64_t high) {
    if (std::isnan(value) || !(value > static_cast<double>(low) - 1.0) ||
        !(value < static_cast<double>(high) + 1.0))
        throw RigError::overflow();
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high))
        throw RigError::overflow();
    return static_cast<std::int64_t>(rounded);
}

}  // namespace

QString textOf(std::int64_t value) {
    std::string text = decimalDigits(magnitudeOf(value));
    if (value < 0)
        text.insert(text.begin(), '-');
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString textOf(float value) {
    // Widening a float to double is exact, so rounding happens once, to 7 digits.
    return generalText(static_cast<double>(value), 7);
}

QString textOf(double value) {
    return generalText(value, 15);
}

QString yesNoText(std::int16_t value) {
    return value != 0 ? QStringLiteral("True") : QStringLiteral("False");
}

QString textOf(Currency value) {
    const std::uint64_t magnitude = magnitudeOf(value.scaled);
    std::string text = decimalDigits(magnitude / 10000);
    std::string fraction = decimalDigits(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (!fraction.empty())
        text += '.' + fraction;
    if (value.scaled < 0)
        text.insert(text.begin(), '-');
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::int16_t toInt16(double value) {
    return static_cast<std::int16_t>(roundInto(value, -32768, 32767));
}

std::int16_t toInt16(std::int64_t value) {
    if (value < -32768 || value > 32767)
        throw RigError::overflow();
    return static_cast<std::int16_t>(value);
}

std::uint8_t toByte(double value) {
    return static_cast<std::uint8_t>(roundInto(value, 0, 255));
}

std::uint8_t toByte(std::int64_t value) {
    if (value < 0 || value > 255)
        throw RigError::overflow();
    return static_cast<std::uint8_t>(value);
}

QString formatNumber(double value, QStringView pattern) {
    if (!std::isfinite(value))
        return nonFiniteText(value);

    // Read the pattern: digit places before the separator, and after it.
    int wholeZeros = 0;
    int fractionZeros = 0;
    int fractionPlaces = 0;
    bool hasSeparator = false;
    for (const QChar c : pattern) {
        if (c == u'.') {
            if (hasSeparator)
                throw RigError::invalidCall();
            hasSeparator = true;
        } else if (c == u'0' || c == u'#') {
            if (hasSeparator) {
                ++fractionPlaces;
                if (c == u'0')
                    ++fractionZeros;
            } else if (c == u'0') {
                ++wholeZeros;
            }
        } else {
            throw RigError::invalidCall();
        }
    }

    // The shortest decimal text that reads back as `value`, in plain digits; the
    // rounding below works on these digits, so 1.0005 rounds up as its text suggests.
    char buffer[400];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
    if (ec != std::errc())
        throw RigError::overflow();
    std::string plain(buffer, end);
    const std::size_t point = plain.find('.');
    std::string whole = point == std::string::npos ? plain : plain.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : plain.substr(point + 1);

    // Round half away from zero to `fractionPlaces` decimals.
    if (fraction.size() > static_cast<std::size_t>(fractionPlaces)) {
        const bool roundUp = fraction[static_cast<std::size_t>(fractionPlaces)] >= '5';
        fraction.resize(static_cast<std::size_t>(fractionPlaces));
        if (roundUp) {
            std::string digits = whole + fraction;
            int i = static_cast<int>(digits.size()) - 1;
            for (; i >= 0; --i) {
                if (digits[static_cast<std::size_t>(i)] == '9') {
                    digits[static_cast<std::size_t>(i)] = '0';
                } else {
                    ++digits[static_cast<std::size_t>(i)];
                    break;
                }
            }
            if (i < 0)
                digits.insert(digits.begin(), '1');
            whole = digits.substr(0, digits.size() - fraction.size());
            fraction = digits.substr(digits.size() - fraction.size());
        }
    }
    while (fraction.size() > static_cast<std::size_t>(fractionZeros) && fraction.back() == '0')
        fraction.pop_back();
    if (fraction.size() < static_cast<std::size_t>(fractionZeros))
        fraction.append(static_cast<std::size_t>(fractionZeros) - fraction.size(), '0');

    // The whole part: no leading zeros, then as many digits as the "0" places demand.
    const std::size_t firstDigit = whole.find_first_not_of('0');
    whole = firstDigit == std::string::npos ? std::string() : whole.substr(firstDigit);
    if (whole.size() < static_cast<std::size_t>(wholeZeros))
        whole.insert(0, static_cast<std::size_t>(wholeZeros) - whole.size(), '0');

    const bool isZero = whole.find_first_not_of('0') == std::string::npos &&
                        fraction.find_first_not_of('0') == std::string::npos;
    QString out;
    if (value < 0 && !isZero)
        out += u'-';
    out += QString::fromLatin1(whole.data(), static_cast<qsizetype>(whole.size()));
    if (hasSeparator)
        out += decimalSeparator();
    out += QString::fromLatin1(fraction.data(), static_cast<qsizetype>(fraction.size()));
    return out;
}

QString hexText(std::int16_t value) {
    return QString::number(static_cast<std::uint16_t>(value), 16).toUpper();
}

QString TrimAtNul(QString &text) {
    const qsizetype index = text.indexOf(QChar(u'\0'));
    // Positions count from 1; one that does not fit 16 bits is treated as not found.
    if (index >= 0 && index + 1 <= 32767)
        text.truncate(index);
    return text;
}

}  // namespace rt
