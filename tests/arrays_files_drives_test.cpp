// The array, file listing, drive and process id section: its exact lines against our
// library on drive maps made for the test, and against a library whose file list is no
// array and which lacks the drive validity test.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "clock.h"
#include "library.h"
#include "recording_host.h"
#include "run.h"
#include "section_rig.h"
#include "sections.h"

namespace {

// Drive C and D are folders of a temporary directory; E and Q are not mapped.
class ArraysFilesDrives : public ::testing::Test {
  protected:
    ArraysFilesDrives() {
        QDir(root_.path()).mkpath(QStringLiteral("c"));
        QDir(root_.path()).mkpath(QStringLiteral("d"));
        mapDrives(QStringLiteral("C=%1/c;D=%1/d").arg(root_.path()));
        rt::setClock(&clock_);
        run.startTime = 100.0f;
    }
    ~ArraysFilesDrives() override {
        rt::setClock(nullptr);
        qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    }

    void mapDrives(const QString &map) { qputenv("QORLIB_DRIVES", QFile::encodeName(map)); }
    void fileOnC(const QString &name) {
        QFile file(root_.path() + QStringLiteral("/c/") + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    // The lines after the file list: drives C and D are valid hard drives.
    static QStringList tail(const QString &pid) {
        return {
            QStringLiteral("Is drive C: a hard drive? Yes"),
            QStringLiteral("Is drive D: a hard drive? Yes"),
            QStringLiteral("Is drive D: a CDROM?      No"),
            QStringLiteral("The process ID of this application - GetPID() = [") + pid +
                QStringLiteral("]"),
            QStringLiteral(" Execution (11) took 0.5 seconds"),
            QString(),
            QString(),
        };
    }

    QTemporaryDir root_;
    // Restores the caller's map; the tests change it at will.
    section_rig::ScopedEnv drives_{"QORLIB_DRIVES", QByteArray()};
    section_rig::FixedClock clock_{100.5f};
    testing_support::RecordingHost host;
    suite::Run run{host};
};

const QString OWN_PID = QString::number(::getpid());

TEST_F(ArraysFilesDrives, ListsTheUsefulFilesOfDriveC) {
    for (const char *name : {"CONFIG.SYS", "boot.ini", "autoexec.bat", "setup.log", "Msdos.Sys",
                             "readme.txt", "io.sys.old", "command.com", "ini"})
        fileOnC(QString::fromLatin1(name));
    QDir(root_.path()).mkpath(QStringLiteral("c/windows.ini"));  // a folder is no file

    suite::ArraysFilesDrives(run);
    QStringList expected{
        QStringLiteral("The dimensions of unallocated Variant v are 0"),
        QStringLiteral("The dimensions of allocated Variant v are 1"),
        QStringLiteral("Testing ListFiles() - List of a few files in c:\\ ..."),
        QStringLiteral("File [1]=[autoexec.bat]"),
        QStringLiteral("File [2]=[boot.ini]"),
        QStringLiteral("File [3]=[CONFIG.SYS]"),
        QStringLiteral("File [4]=[Msdos.Sys]"),
        QStringLiteral("File [5]=[setup.log]"),
    };
    expected << tail(OWN_PID);
    EXPECT_EQ(host.reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 0);
}

TEST_F(ArraysFilesDrives, NoUsefulFiles) {
    fileOnC(QStringLiteral("readme.txt"));
    suite::ArraysFilesDrives(run);
    QStringList expected{
        QStringLiteral("The dimensions of unallocated Variant v are 0"),
        QStringLiteral("The dimensions of allocated Variant v are 0"),
        QStringLiteral("Testing ListFiles() - No useful files found to list in c:\\ ..."),
    };
    expected << tail(OWN_PID);
    EXPECT_EQ(host.reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 0);
}

TEST_F(ArraysFilesDrives, InvalidDrivesWriteNoLine) {
    // Drive C maps to a folder that does not exist, D, E and Q are not mapped.
    mapDrives(QStringLiteral("C=%1/none").arg(root_.path()));
    suite::ArraysFilesDrives(run);
    const QStringList expected{
        QStringLiteral("The dimensions of unallocated Variant v are 0"),
        QStringLiteral("The dimensions of allocated Variant v are 0"),
        QStringLiteral("Testing ListFiles() - No useful files found to list in c:\\ ..."),
        QStringLiteral("The process ID of this application - GetPID() = [") + OWN_PID +
            QStringLiteral("]"),
        QStringLiteral(" Execution (11) took 0.5 seconds"),
        QString(),
        QString(),
    };
    EXPECT_EQ(host.reportLines(), expected);
}

TEST_F(ArraysFilesDrives, AFileListThatIsNoArrayIsReportedAndTheRunGoesOn) {
    qorbind::Library::instance().setPath(QStringLiteral(FAKES_DIR "/libfake_scalar_listfiles.so"));
    suite::ArraysFilesDrives(run);

    const QString noValidDisk = QStringLiteral(
        "Error 453 ocurred (Can't find DLL entry point IsValidDisk in "
        "libfake_scalar_listfiles.so) - this error may be normal during some tests");
    // A failed validity test leads into its row, so every row is written.
    const QStringList expected{
        QStringLiteral("The dimensions of unallocated Variant v are 0"),
        QStringLiteral("The dimensions of allocated Variant v are 0"),
        QStringLiteral("Testing ListFiles() - List of a few files in c:\\ ..."),
        QStringLiteral("Error 13 ocurred (Type mismatch) - this error may be normal during some "
                       "tests"),
        noValidDisk,
        QStringLiteral("Is drive C: a hard drive? Yes"),
        noValidDisk,
        QStringLiteral("Is drive D: a hard drive? No"),
        noValidDisk,
        QStringLiteral("Is drive D: a CDROM?      Yes"),
        noValidDisk,
        QStringLiteral("Is drive E: a hard drive? No"),
        noValidDisk,
        QStringLiteral("Is drive E: a CDROM?      No"),
        noValidDisk,
        QStringLiteral("Is drive Q: a hard drive? No"),
        noValidDisk,
        QStringLiteral("Is drive Q: a CDROM?      No"),
        QStringLiteral("The process ID of this application - GetPID() = [4242]"),
        QStringLiteral(" Execution (11) took 0.5 seconds"),
        QString(),
        QString(),
    };
    EXPECT_EQ(host.reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 8);
    EXPECT_EQ(host.boxes.size(), 8);
}

}  // namespace
