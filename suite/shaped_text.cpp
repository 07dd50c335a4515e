#include "shaped_text.h"

#include <QRegularExpression>
#include <cmath>

#include "conversions.h"
#include "rigerror.h"

namespace suite {

ShapedText ShapedText::varying(QString text, QString pattern, bool mayEndInSemicolon) {
    ShapedText shaped(std::move(text));
    shaped.fields_.append({0, shaped.text_.size(), std::move(pattern), mayEndInSemicolon});
    return shaped;
}

ShapedText &ShapedText::as(LineRole role, QString label) {
    role_ = role;
    label_ = std::move(label);
    return *this;
}

ShapedText operator+(ShapedText left, const ShapedText &right) {
    const qsizetype offset = left.text_.size();
    left.text_ += right.text_;
    for (VaryingField field : right.fields_) {
        field.start += offset;
        left.fields_.append(std::move(field));
    }
    return left;
}

namespace vary {

namespace {

// General text form: plain or exponent notation.
const QString NUMBER = QStringLiteral("-?[0-9]++(?:\\.[0-9]++)?(?:E[+-][0-9]++)?");

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isWordCharacter(QChar c) {
    return isAsciiDigit(c) || c.isLetter();
}

// The shape of a text made from the clock: runs of digits and runs of letters of any
// length, the rest as it is. A "+" or "-" before digits may be either sign (and may be
// missing where it opens a value), and spaces before digits are padding of any width.
QString clockPattern(const QString &text) {
    QString pattern;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        const bool opensValue = i == 0 || !isWordCharacter(text[i - 1]);
        const bool sign = (c == u'+' || c == u'-') && i + 1 < n && isAsciiDigit(text[i + 1]);
        if (isAsciiDigit(c) || sign) {
            if (sign) {
                pattern += opensValue ? QStringLiteral("[+-]?") : QStringLiteral("[+-]");
                ++i;
            } else if (opensValue) {
                pattern += QStringLiteral("[+-]?");
            }
            while (i < n && isAsciiDigit(text[i]))
                ++i;
            pattern += QStringLiteral("[0-9]++");
        } else if (c.isLetter()) {
            while (i < n && text[i].isLetter())
                ++i;
            pattern += QStringLiteral("\\p{L}++");
        } else if (c == u' ') {
            qsizetype end = i;
            while (end < n && text[end] == u' ')
                ++end;
            const bool padding =
                end < n && (isAsciiDigit(text[end]) || text[end] == u'+' || text[end] == u'-');
            pattern +=
                padding ? QStringLiteral(" +") : QRegularExpression::escape(text.mid(i, end - i));
            i = end;
        } else {
            pattern += QRegularExpression::escape(QString(c));
            ++i;
        }
    }
    return pattern;
}

}  // namespace

ShapedText timing(const QString &figure) {
    return ShapedText::varying(figure, NUMBER);
}

ShapedText signedTiming(const QString &figure) {
    return ShapedText::varying(figure, QStringLiteral("(?: |-)") + NUMBER.mid(2));
}

ShapedText processId(const QString &figure) {
    return ShapedText::varying(figure, QStringLiteral("-?[0-9]++"));
}

ShapedText machineFigure(const QString &figure) {
    return ShapedText::varying(figure,
                               QStringLiteral("-?[0-9][0-9,]*+(?:\\.[0-9]*+)?(?:E[+-][0-9]++)?"));
}

ShapedText fromRandomTexts(const QString &figure) {
    return ShapedText::varying(figure, NUMBER);
}

ShapedText passCount(const QString &figure) {
    return ShapedText::varying(figure, QStringLiteral("[0-9]++"));
}

ShapedText randomText(const QString &text, Characters characters) {
    QString set;
    switch (characters) {
        case Characters::Letters:
            set = QStringLiteral("[A-Za-z]");
            break;
        case Characters::Upper:
            set = QStringLiteral("[A-Z]");
            break;
        case Characters::Lower:
            set = QStringLiteral("[a-z]");
            break;
        case Characters::Digits:
            set = QStringLiteral("[0-9]");
            break;
        case Characters::Hex:
            set = QStringLiteral("[0-9A-F]");
            break;
        case Characters::Printable:
            set = QStringLiteral("[!-~]");
            break;
    }
    return ShapedText::varying(text, set + QStringLiteral("{%1}").arg(text.size()),
                               characters == Characters::Printable);
}

ShapedText randomBytesHex(const QString &hex) {
    // An odd count of digits leaves no byte count that fits, so such a dump never matches.
    const QString bytes = hex.size() % 2 == 0 ? QString::number(hex.size() / 2)
                                              : QStringLiteral("%1,0").arg(hex.size());
    return ShapedText::varying(
        hex, QStringLiteral("(?:[0-9A-F][1-9A-F]|[1-9A-F]0){") + bytes + QStringLiteral("}"));
}

ShapedText fromNow(const QString &text) {
    return ShapedText::varying(text, clockPattern(text));
}

ShapedText numberFromNow(const QString &figure) {
    return ShapedText::varying(figure, NUMBER);
}

ShapedText hexFromNow(const QString &hex) {
    return ShapedText::varying(hex, QStringLiteral("[0-9A-F]{%1}").arg(hex.size()));
}

ShapedText dateFromNow(double date) {
    const QString text = rt::dateText(date);
    QString pattern;
    try {
        // The day alone, then the time of a day in the same formats.
        const QString day = rt::dateText(std::floor(date));
        const QString time = rt::dateText(0.5);
        pattern =
            clockPattern(day) + QStringLiteral("(?: ") + clockPattern(time) + QStringLiteral(")?");
    } catch (const rt::RigError &) {
        // The first day of the range has no day before it: the text's own shape serves.
        pattern = clockPattern(text);
    }
    return ShapedText::varying(text, pattern);
}

}  // namespace vary

}  // namespace suite
