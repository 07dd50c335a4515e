// Date values (days since 1899-12-30, the fraction being the time of day) to text and back,
// in the user's formats.
#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <mutex>

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

// Rewrites a QLocale date/time format outside its quoted literals: year fields become four
// digits, and time zone fields go, with the spaces that separated them.
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
        } else {
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
            if (out.isEmpty()) {
                while (i < format.size() && format[i].isSpace())
                    ++i;
            }
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
    static const QRegularExpression iso(
        QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})(?:[ T](\d{2}):(\d{2})(?::(\d{2}))?)?$)"));
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

std::optional<double> readLocal(const QString &text, const LocaleFormats &formats) {
    const QLocale &locale = formats.locale;
    const QTime timeOnly = locale.toTime(text, formats.longTime);
    if (timeOnly.isValid())
        return static_cast<double>(timeOnly.msecsSinceStartOfDay() / 1000) /
               static_cast<double>(kSecondsPerDay);
    const QDate dateOnly = locale.toDate(text, formats.shortDate);
    if (dateOnly.isValid())
        return dateInRange(dateOnly) ? std::optional<double>(valueOf(dateOnly, 0)) : std::nullopt;
    // Date and time: either format may hold spaces itself, so try every split.
    for (qsizetype space = text.indexOf(u' '); space >= 0; space = text.indexOf(u' ', space + 1)) {
        const QDate date = locale.toDate(text.left(space), formats.shortDate);
        if (!date.isValid())
            continue;
        const QTime time = locale.toTime(text.mid(space + 1), formats.longTime);
        if (!time.isValid())
            continue;
        if (!dateInRange(date))
            return std::nullopt;
        return valueOf(date, time.msecsSinceStartOfDay() / 1000);
    }
    return std::nullopt;
}

}  // namespace

LocaleFormats localeFormats() {
    {
        std::lock_guard lock(overrideMutex);
        if (overridden)
            return *overridden;
    }
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C || system.name() == QLatin1String("C"))
        return {QLocale::c(), QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP"),
                QStringLiteral(".")};
    return {system, adaptFormat(system.dateFormat(QLocale::ShortFormat)),
            adaptFormat(system.timeFormat(QLocale::LongFormat)), system.decimalPoint()};
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
