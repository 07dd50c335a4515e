// What the section tests share: a run on a recording host with a fixed clock, a drive C
// and a Windows folder in a temporary directory, and a way to run against a fake library.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "clock.h"
#include "library.h"
#include "recording_host.h"
#include "scoped_env.h"
#include "run.h"

namespace section_rig {

inline const QString QBF = QStringLiteral("The quick brown fox jumped uber the lazy dog");

// A clock that stands still: by default every timing line of a run that started at 100 s
// reads 0.25 s.
class FixedClock : public rt::Clock {
  public:
    explicit FixedClock(float seconds = 100.25f, double date = 45000.5)
        : seconds_(seconds), date_(date) {}
    float secondsSinceMidnight() override { return seconds_; }
    double now() override { return date_; }

  private:
    float seconds_;
    double date_;
};

using ::ScopedEnv;

// A test of one section: drive C is root/c, the Windows folder root/win/, and the run
// starts with the sample sentence and "c:\boot.ini" as the preparation leaves them.
class SectionTest : public ::testing::Test {
  protected:
    SectionTest()
        : drives_("QORLIB_DRIVES", "C=" + QFile::encodeName(root_.path() + QStringLiteral("/c"))),
          windir_("QORLIB_WINDIR", QFile::encodeName(windowsDir())) {
        QDir(root_.path()).mkpath(QStringLiteral("c"));
        QDir(root_.path()).mkpath(QStringLiteral("win"));
        rt::setClock(&clock_);
        run.sample = QBF;
        run.readFileName = QStringLiteral("c:\\boot.ini");
        run.startTime = 100.0f;
    }
    ~SectionTest() override {
        rt::setClock(nullptr);
        qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    }

    // The Windows folder as the library reports it (with its trailing separator).
    QString windowsDir() const { return root_.path() + QStringLiteral("/win/"); }

    void writeFile(const QString &path, const QByteArray &bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    void writeOnC(const QString &name, const QByteArray &bytes) {
        writeFile(root_.path() + QStringLiteral("/c/") + name, bytes);
    }
    void writeInWindows(const QString &name, const QByteArray &bytes) {
        writeFile(windowsDir() + name, bytes);
    }

    static void useFake(const char *name) {
        qorbind::Library::instance().setPath(
            QStringLiteral(FAKES_DIR "/libfake_%1.so").arg(QString::fromLatin1(name)));
    }

    QStringList reportLines() const { return host.reportLines(); }

    QTemporaryDir root_;
    ScopedEnv drives_;
    ScopedEnv windir_;
    FixedClock clock_;

  public:
    testing_support::RecordingHost host;
    suite::Run run{host};
};

// The error line of a call the library does not export.
inline QString missingExport(const char *name, const char *library) {
    return QStringLiteral(
               "Error 453 ocurred (Can't find DLL entry point %1 in %2) - this error "
               "may be normal during some tests")
        .arg(QString::fromLatin1(name), QString::fromLatin1(library));
}

// The timing line of a section with the fixed clock, and the empty line after it.
inline QStringList timingLines(const char *label) {
    return {QStringLiteral(" Execution (%1) took 0.25 seconds").arg(QString::fromLatin1(label)),
            QString()};
}

inline QString banner(const char *title) {
    return QString::fromLatin1(title) + QString(100, u'-');
}

}  // namespace section_rig
