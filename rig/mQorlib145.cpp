#include "mQorlib145.h"

#if !defined(_WIN32)
#include <syslog.h>
#endif

#include <cstdio>
#include <new>

#include "conversions.h"
#include "qorbind.h"
#include "rigerror.h"

namespace rig {

namespace {

class SystemLog final : public EventLog {
  public:
    void write(const QString &text, EventKind kind) override {
        const QByteArray bytes = text.toUtf8();
#if defined(_WIN32)
        // No system log here: the events go to standard error.
        std::fprintf(stderr, "%s: %s\n", kind == EventKind::Error ? "error" : "warning",
                     bytes.constData());
#else
        static const bool opened = [] {
            openlog(SYSLOG_IDENTIFIER, LOG_PID, LOG_USER);
            return true;
        }();
        (void)opened;
        syslog(kind == EventKind::Error ? LOG_ERR : LOG_WARNING, "%s", bytes.constData());
#endif
    }
};

SystemLog systemLog;
EventLog *installedLog = nullptr;

QString entryText(const rt::RigError &error, const char *where) {
    return QStringLiteral("Error ") + rt::textOf(error.number()) + QStringLiteral(" - (") +
           error.description() + QStringLiteral(") in ") + QString::fromLatin1(where);
}

// Runs `call`; any error it raises comes back as a RigError so one log entry format serves all.
template <typename F>
bool attempt(F &&call, rt::RigError &failure) {
    try {
        call();
        return true;
    } catch (const rt::RigError &error) {
        failure = error;
    } catch (const std::bad_alloc &) {
        failure = rt::RigError::outOfMemory();
    }
    return false;
}

}  // namespace

EventLog &eventLog() {
    return installedLog ? *installedLog : systemLog;
}

void setEventLog(EventLog *log) {
    installedLog = log;
}

bool IsDLLInstalled(rt::RigError *failed) {
    rt::RigError failure(0, QString());
    if (attempt([] { (void)qor::LibVersion(); }, failure))
        return true;
    eventLog().write(QStringLiteral("\r\n") + entryText(failure, "IsDLLInstalled"),
                     EventKind::Error);
    if (failed)
        *failed = failure;
    return false;
}

int CalledFunctionCount() {
    return static_cast<int>(qorhost::EXPORT_COUNT);
}

std::optional<QStringList> MissingFunctions() {
    QStringList missing;
    try {
        for (qorhost::ExportId id : qorbind::Library::instance().missingExports())
            missing << QString::fromLatin1(qorhost::exportName(id));
    } catch (const rt::RigError &) {
        return std::nullopt;  // the library no longer loads: unknown
    }
    return missing;
}

QString versionText(std::int32_t libVersion) {
    QString text = rt::textOf(rt::toInt16(static_cast<std::int64_t>(libVersion)));
    if (text.size() == 3)
        text = text.left(1) + u'.' + text.right(2);
    return text;
}

QString DLLVersion() {
    QString text = QStringLiteral("0.00");
    rt::RigError failure(0, QString());
    if (attempt([&] { text = versionText(qor::LibVersion()); }, failure))
        return text;
    eventLog().write(entryText(failure, "DLLVersion()"), EventKind::Warning);
    return QStringLiteral("0.00");
}

}  // namespace rig
