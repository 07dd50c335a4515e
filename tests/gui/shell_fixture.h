// Helpers shared by the shell tests: a chosen library for the length of a scope, an event
// log that records, a clock that answers given readings, and a host that also records the
// run buttons.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <deque>

#include "clock.h"
#include "library.h"
#include "mQorlib145.h"
#include "recording_host.h"
#include "scoped_env.h"
#include "shell.h"

namespace shell_test {

inline QString fake(const char *name) {
    return QStringLiteral(FAKES_DIR "/libfake_") + QLatin1String(name) + QStringLiteral(".so");
}

// Loads `path` for the life of the object, then the real library again.
class UseLibrary {
  public:
    explicit UseLibrary(const QString &path) { qorbind::Library::instance().setPath(path); }
    ~UseLibrary() { qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH)); }
    UseLibrary(const UseLibrary &) = delete;
    UseLibrary &operator=(const UseLibrary &) = delete;
};

struct RecordingEventLog : rig::EventLog {
    QList<QPair<QString, rig::EventKind>> entries;
    RecordingEventLog() { rig::setEventLog(this); }
    ~RecordingEventLog() override { rig::setEventLog(nullptr); }
    void write(const QString &text, rig::EventKind kind) override { entries.append({text, kind}); }
};

// Answers the readings it was given, in order, then the last one again.
struct ScriptedClock : rt::Clock {
    std::deque<float> readings;
    explicit ScriptedClock(std::initializer_list<float> values) : readings(values) {
        rt::setClock(this);
    }
    ~ScriptedClock() override { rt::setClock(nullptr); }
    float secondsSinceMidnight() override {
        const float value = readings.front();
        if (readings.size() > 1)
            readings.pop_front();
        return value;
    }
    double now() override { return 45000.5; }
};

inline const char *buttonName(rig::RunButton button) {
    switch (button) {
        case rig::RunButton::Once:
            return "cmdOnce";
        case rig::RunButton::Ten:
            return "cmdTenTimes";
        case rig::RunButton::Hundred:
            return "cmdTest100";
        case rig::RunButton::Thousand:
            break;
    }
    return "cmdTest1000";
}

// RecordingHost plus the four run buttons; every enabling is logged as "cmdOnce off" etc.
struct ShellHost : testing_support::RecordingHost, rig::RunButtons {
    QStringList buttonEvents;
    QString captions[4] = {QStringLiteral("&Do it!!"), QStringLiteral("&Do it x 10"),
                           QStringLiteral("&Do it x 100"), QStringLiteral("&Do it x 1000")};
    bool enabled[4] = {false, false, false, false};
    QStringList captionHistory;
    QStringList firstErrors;  // the error boxes not flagged as repeats

    void errorBox(const QString &line, bool repeat) override {
        if (!repeat)
            firstErrors << line;
        suite::Host::errorBox(line, repeat);
    }

    void setRunButtonEnabled(rig::RunButton button, bool on) override {
        enabled[int(button)] = on;
        buttonEvents << QLatin1String(buttonName(button)) +
                            (on ? QStringLiteral(" on") : QStringLiteral(" off"));
    }
    QString runButtonCaption(rig::RunButton button) override { return captions[int(button)]; }
    void setRunButtonCaption(rig::RunButton button, const QString &caption) override {
        captions[int(button)] = caption;
    }
    void setCaption(const QString &caption) override {
        RecordingHost::setCaption(caption);
        captionHistory << caption;
    }
};

}  // namespace shell_test
