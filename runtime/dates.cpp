// Date values (days since 1899-12-30, the fraction being the time of day) to text and back,
// in the user's formats.
#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include "conversions.h"
#include "rigerror.h"

namespace rt {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
// 0100-01-01 and 9999-12-31 as day numbers.
constexpr qint64 kFirstDay = -657434;
constexpr qint64 kLastDay = 2958465;

QDate epoch() {
    return QDate(1899, 12, 30);
}

bool inRange(double value) {
    // Any time of the first and the last day belongs to the range.
    return !std::isnan(value) && value > static_cast<double>(kFirstDay - 1) &&
           value < static_cast<double>(kLastDay + 1);
}

// Drops trailing spaces and commas, the separators that led up to a removed field.
void chopSeparators(QString &out) {
    while (!out.isEmpty() && (out.back().isSpace() || out.back() == u','))
        out.chop(1);
}

// Rewrites a QLocale date/time format outside its quoted literals: year fields become four
// digits, and time zone fields go, together with the separators or brackets around them
// ("HH:mm:ss (t)" -> "HH:mm:ss", "t HH:mm:ss" -> "HH:mm:ss").
QString adaptFormat(const QString &format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (quoted || (c != u'y' && c != u't')) {
            out += c;
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        i += run;
        if (c == u'y') {
            out += QStringLiteral("yyyy");
            continue;
        }
        chopSeparators(out);
        const QChar close = out.endsWith(u'(') ? u')' : out.endsWith(u'[') ? u']' : QChar();
        if (!close.isNull() && i < format.size() && format[i] == close) {
            out.chop(1);
            ++i;
            chopSeparators(out);
        }
        if (out.isEmpty()) {
            while (i < format.size() && (format[i].isSpace() || format[i] == u','))
                ++i;
        }
    }
    return out.trimmed();
}

std::mutex overrideMutex;
std::optional<LocaleFormats> overridden;

// The date and the time of day of a date value, rounded to the second.
struct Moment {
    qint64 day;
    qint64 seconds;
};

Moment momentOf(double value) {
    const double whole = std::trunc(value);
    // For dates before 1899-12-30 the fraction still counts forward from midnight.
    const double fraction = std::fabs(value - whole);
    Moment m{static_cast<qint64>(whole),
             static_cast<qint64>(std::llround(fraction * static_cast<double>(kSecondsPerDay)))};
    if (m.seconds >= kSecondsPerDay) {
        if (m.day == kLastDay) {
            m.seconds = kSecondsPerDay - 1;  // the last second there is
        } else {
            m.seconds = 0;
            ++m.day;
        }
    }
    return m;
}

double valueOf(const QDate &date, qint64 seconds) {
    const qint64 day = epoch().daysTo(date);
    const double fraction = static_cast<double>(seconds) / static_cast<double>(kSecondsPerDay);
    return day < 0 ? static_cast<double>(day) - fraction : static_cast<double>(day) + fraction;
}

bool dateInRange(const QDate &date) {
    if (!date.isValid())
        return false;
    const qint64 day = epoch().daysTo(date);
    return day >= kFirstDay && day <= kLastDay;
}

std::optional<double> readIso(const QString &text) {
    static const QRegularExpression iso(QStringLiteral(
        R"(^([0-9]{4})-([0-9]{2})-([0-9]{2})(?:[ T]([0-9]{2}):([0-9]{2})(?::([0-9]{2}))?)?$)"));
    const QRegularExpressionMatch m = iso.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!dateInRange(date))
        return std::nullopt;
    qint64 seconds = 0;
    if (m.hasCaptured(4)) {
        const QTime time(m.captured(4).toInt(), m.captured(5).toInt(),
                         m.hasCaptured(6) ? m.captured(6).toInt() : 0);
        if (!time.isValid())
            return std::nullopt;
        seconds = time.msecsSinceStartOfDay() / 1000;
    }
    return valueOf(date, seconds);
}

// ---- Reading a text in the user's formats -----------------------------------------------
// The formats are read field by field here rather than by QLocale's parser, which misses
// some locales' digits (outside the basic plane) and AM/PM texts at the start of a time.

struct Field {
    enum Kind {
        Literal,
        Space,
        Day,
        DayName,
        Month,
        MonthName,
        Year,
        Hour,
        Minute,
        Second,
        Millis,
        AmPm,
        Unsupported
    };
    Kind kind;
    QString literal;      // Literal only
    bool hour12 = false;  // Hour only: "h" (12-hour when the format has AM/PM) rather than "H"
};

void addLiteral(std::vector<Field> &fields, QChar c) {
    if (c.isSpace()) {
        if (fields.empty() || fields.back().kind != Field::Space)
            fields.push_back({Field::Space, {}});
    } else if (!fields.empty() && fields.back().kind == Field::Literal) {
        fields.back().literal += c;
    } else {
        fields.push_back({Field::Literal, QString(c)});
    }
}

// Splits a QLocale date/time format into fields; letters that are no field are literals, as
// QLocale writes them.
std::vector<Field> fieldsOf(const QString &format) {
    std::vector<Field> fields;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            ++i;
            if (i < format.size() && format[i] == u'\'') {  // '' is a quote
                addLiteral(fields, u'\'');
                ++i;
                continue;
            }
            while (i < format.size()) {
                if (format[i] == u'\'') {
                    if (i + 1 < format.size() && format[i + 1] == u'\'') {
                        addLiteral(fields, u'\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                addLiteral(fields, format[i++]);
            }
            continue;
        }
        if (c == u'A' || c == u'a') {
            const bool pair =
                i + 1 < format.size() && (format[i + 1] == u'P' || format[i + 1] == u'p');
            fields.push_back({Field::AmPm, {}});
            i += pair ? 2 : 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        qsizetype take = 1;
        Field field{Field::Literal, {}};
        switch (c.unicode()) {
            case u'd':
                take = std::min<qsizetype>(run, 4);
                field.kind = take >= 3 ? Field::DayName : Field::Day;
                break;
            case u'M':
                take = std::min<qsizetype>(run, 4);
                field.kind = take >= 3 ? Field::MonthName : Field::Month;
                break;
            case u'y':
                take = run >= 4 ? 4 : run >= 2 ? 2 : 1;
                field.kind = take == 1 ? Field::Literal : Field::Year;
                break;
            case u'h':
            case u'H':
                take = std::min<qsizetype>(run, 2);
                field.kind = Field::Hour;
                field.hour12 = c == u'h';
                break;
            case u'm':
                take = std::min<qsizetype>(run, 2);
                field.kind = Field::Minute;
                break;
            case u's':
                take = std::min<qsizetype>(run, 2);
                field.kind = Field::Second;
                break;
            case u'z':
                take = run >= 3 ? 3 : 1;
                field.kind = Field::Millis;
                break;
            case u't':
                take = std::min<qsizetype>(run, 4);
                field.kind = Field::Unsupported;
                break;
            default:
                break;
        }
        if (field.kind == Field::Literal) {
            addLiteral(fields, c);
            i += 1;
        } else {
            fields.push_back(field);
            i += take;
        }
    }
    return fields;
}

// What a text gave for each field; -1 where the format had no such field.
struct Reading {
    int year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
    int pm = -1;  // 0 for AM, 1 for PM
};

class FieldReader {
  public:
    FieldReader(QStringView text, const QLocale &locale) : text_(text), locale_(locale) {
        const QList<uint> zero = locale.zeroDigit().toUcs4();
        zero_ = zero.isEmpty() ? U'0' : zero.front();
    }

    bool read(const std::vector<Field> &fields, Reading &r) {
        const bool twelveHour = std::any_of(fields.begin(), fields.end(),
                                            [](const Field &f) { return f.kind == Field::AmPm; });
        for (const Field &f : fields) {
            switch (f.kind) {
                case Field::Literal:
                    if (!text_.mid(pos_).startsWith(f.literal, Qt::CaseInsensitive))
                        return false;
                    pos_ += f.literal.size();
                    break;
                case Field::Space:
                    while (pos_ < text_.size() && text_[pos_].isSpace())
                        ++pos_;
                    break;
                case Field::Day:
                    if (!number(2, r.day))
                        return false;
                    break;
                case Field::Month:
                    if (!number(2, r.month))
                        return false;
                    break;
                case Field::Year:
                    if (!number(4, r.year))
                        return false;
                    break;
                case Field::Hour:
                    if (!number(2, r.hour))
                        return false;
                    hour12_ = twelveHour && f.hour12;
                    break;
                case Field::Minute:
                    if (!number(2, r.minute))
                        return false;
                    break;
                case Field::Second:
                    if (!number(2, r.second))
                        return false;
                    break;
                case Field::Millis: {
                    int ignored = 0;  // the date text carries whole seconds
                    if (!number(3, ignored))
                        return false;
                    break;
                }
                case Field::MonthName:
                    if (!monthName(r.month))
                        return false;
                    break;
                case Field::DayName:
                    if (!dayName())
                        return false;
                    break;
                case Field::AmPm:
                    if (!amPm(r.pm))
                        return false;
                    break;
                case Field::Unsupported:
                    return false;
            }
        }
        return pos_ == text_.size();
    }

    bool hour12() const { return hour12_; }

  private:
    // One digit, ASCII or the locale's (which may lie outside the basic plane).
    bool digit(int &value, qsizetype &length) const {
        if (pos_ >= text_.size())
            return false;
        const QChar c = text_[pos_];
        if (c >= u'0' && c <= u'9') {
            value = c.unicode() - u'0';
            length = 1;
            return true;
        }
        char32_t code = c.unicode();
        length = 1;
        if (c.isHighSurrogate() && pos_ + 1 < text_.size() && text_[pos_ + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text_[pos_ + 1]);
            length = 2;
        }
        if (code < zero_ || code > zero_ + 9)
            return false;
        value = static_cast<int>(code - zero_);
        return true;
    }

    bool number(int maxDigits, int &value) {
        value = 0;
        int count = 0;
        int d = 0;
        qsizetype length = 0;
        while (count < maxDigits && digit(d, length)) {
            value = value * 10 + d;
            pos_ += length;
            ++count;
        }
        return count > 0;
    }

    // Takes the longest of `names` found at the position; its index, or -1.
    int longest(const QStringList &names) {
        int best = -1;
        qsizetype bestLength = 0;
        const QStringView rest = text_.mid(pos_);
        for (int i = 0; i < names.size(); ++i) {
            const QString &name = names[i];
            if (name.size() > bestLength && rest.startsWith(name, Qt::CaseInsensitive)) {
                best = i;
                bestLength = name.size();
            }
        }
        pos_ += bestLength;
        return best;
    }

    bool monthName(int &month) {
        QStringList names;
        for (int m = 1; m <= 12; ++m) {
            names << locale_.monthName(m, QLocale::LongFormat)
                  << locale_.monthName(m, QLocale::ShortFormat)
                  << locale_.standaloneMonthName(m, QLocale::LongFormat)
                  << locale_.standaloneMonthName(m, QLocale::ShortFormat);
        }
        const int found = longest(names);
        if (found < 0)
            return false;
        month = found / 4 + 1;
        return true;
    }

    bool dayName() {
        QStringList names;
        for (int d = 1; d <= 7; ++d) {
            names << locale_.dayName(d, QLocale::LongFormat)
                  << locale_.dayName(d, QLocale::ShortFormat)
                  << locale_.standaloneDayName(d, QLocale::LongFormat)
                  << locale_.standaloneDayName(d, QLocale::ShortFormat);
        }
        return longest(names) >= 0;
    }

    bool amPm(int &pm) {
        const int found = longest(
            {locale_.amText(), locale_.pmText(), QStringLiteral("AM"), QStringLiteral("PM")});
        if (found < 0)
            return false;
        pm = found % 2;
        return true;
    }

    QStringView text_;
    const QLocale &locale_;
    char32_t zero_ = U'0';
    qsizetype pos_ = 0;
    bool hour12_ = false;
};

// The seconds since midnight a reading gives, or -1 when its time is impossible.
qint64 secondsOf(const Reading &r, bool hour12) {
    int hour = r.hour;
    if (hour12) {
        if (hour < 1 || hour > 12 || r.pm < 0)
            return -1;
        hour = hour % 12 + (r.pm == 1 ? 12 : 0);
    }
    const int minute = r.minute < 0 ? 0 : r.minute;
    const int second = r.second < 0 ? 0 : r.second;
    if (hour < 0 || hour > 23 || minute > 59 || second > 59)
        return -1;
    return hour * 3600 + minute * 60 + second;
}

std::optional<double> readLocal(const QString &text, const LocaleFormats &formats) {
    std::vector<Field> date = fieldsOf(formats.shortDate);
    std::vector<Field> time = fieldsOf(formats.longTime);
    std::vector<Field> both = date;  // "date time"
    both.push_back({Field::Space, {}});
    both.insert(both.end(), time.begin(), time.end());

    for (const auto *fields : {&both, &date, &time}) {
        Reading r;
        FieldReader reader(text, formats.locale);
        if (!reader.read(*fields, r))
            continue;
        qint64 seconds = 0;
        if (fields != &date) {
            seconds = secondsOf(r, reader.hour12());
            if (seconds < 0)
                continue;  // another shape may read it: "00.00.00" is no date but a time
        }
        if (fields == &time)
            return static_cast<double>(seconds) / static_cast<double>(kSecondsPerDay);
        const QDate day(r.year, r.month, r.day);
        if (!dateInRange(day))
            continue;
        return valueOf(day, seconds);
    }
    return std::nullopt;
}

}  // namespace

LocaleFormats formatsOf(const QLocale &locale) {
    if (locale.language() == QLocale::C)
        return {QLocale::c(), QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP"),
                QStringLiteral(".")};
    return {locale, adaptFormat(locale.dateFormat(QLocale::ShortFormat)),
            adaptFormat(locale.timeFormat(QLocale::LongFormat)), locale.decimalPoint()};
}

LocaleFormats localeFormats() {
    {
        std::lock_guard lock(overrideMutex);
        if (overridden)
            return *overridden;
    }
    return formatsOf(QLocale::system());
}

void overrideLocaleFormats(std::optional<LocaleFormats> formats) {
    std::lock_guard lock(overrideMutex);
    overridden = std::move(formats);
}

QString decimalSeparator() {
    return localeFormats().decimalSeparator;
}

QString dateText(double date) {
    if (!inRange(date))
        throw RigError::overflow();
    const Moment m = momentOf(date);
    const LocaleFormats formats = localeFormats();
    const QString time = formats.locale.toString(
        QTime::fromMSecsSinceStartOfDay(static_cast<int>(m.seconds * 1000)), formats.longTime);
    // Day zero at midnight still needs a text: it shows the time.
    if (m.day == 0)
        return time;
    const QString day = formats.locale.toString(epoch().addDays(m.day), formats.shortDate);
    if (m.seconds == 0)
        return day;
    return day + u' ' + time;
}

double textToDate(const QString &text) {
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty()) {
        if (const auto iso = readIso(trimmed))
            return *iso;
        if (const auto local = readLocal(trimmed, localeFormats()))
            return *local;
    }
    throw RigError::typeMismatch();
}

double toDate(double value) {
    if (!inRange(value))
        throw RigError::overflow();
    return value;
}

}  // namespace rt
