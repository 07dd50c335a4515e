// RunAllTests: the preparation, the sections in their order and the closing block.
#include "clock.h"
#include "library.h"
#include "conversions.h"
#include "run.h"
#include "sections.h"

namespace suite {

QString errorLine(const rt::RigError &error) {
    return QStringLiteral("Error ") + rt::textOf(error.number()) + QStringLiteral(" ocurred (") +
           error.description() + QStringLiteral(") - this error may be normal during some tests");
}

void Host::errorBox(const QString &line, bool) {
    messageBox(line, ERROR_BOX_TITLE, MessageIcon::Information);
}

void Run::reportError(const rt::RigError &error, const void *statement) {
    ++errors_;
    const QString line = errorLine(error);
    host_.PrintfShaped(ShapedText(line).as(LineRole::Error));
    const qsizetype known = reported_.size();
    reported_.insert({statement, line});
    host_.errorBox(line, reported_.size() == known);
}

void Run::banner(const QString &title) {
    Printf(ShapedText(title + QString(100, u'-')).as(LineRole::Banner, title));
}

void Run::timing(const QString &label) {
    const float elapsed = rt::timer() - startTime;
    Printf((QStringLiteral(" Execution (") + label + QStringLiteral(") took ") +
            vary::timing(rt::textOf(elapsed)) + QStringLiteral(" seconds\r\n"))
               .as(LineRole::Timing, label));
}

int RunAllTests(Host &host) {
    Run run(host);
    StatusPicture &out = host.status();

    // Preparation. Every statement runs through the handler, which is armed for the run.
    run.step([&] { host.repaintAndPumpEvents(); });
    run.step([&] { host.setReportVisible(false); });
    run.step([&] { host.clearReport(); });
    run.step([&] { run.startTime = rt::timer(); });
    run.step([&] { out.setPersistent(true); });
    run.step([&] { out.setFontName(QStringLiteral("Arial")); });
    run.step([&] { out.setBold(true); });
    run.step([&] { out.setFontSize(10); });
    run.step([&] { run.readFileName = QStringLiteral("c:\\boot.ini"); });
    run.step([&] { run.sample = host.inputText(); });
    run.step([&] { host.clearReport(); });
    run.step([&] { host.repaintInput(); });
    run.step([&] { out.removePicture(); });
    run.step([&] { out.clear(); });
    // Sections begin after the report was cleared for the last time. The binding charges
    // each call to the section it runs in.
    int sectionIndex = 0;
    const auto beginSection = [&](const QString &name) {
        host.beginSection(name);
        qorbind::Library::instance().profile().setSection(sectionIndex++);
    };
    beginSection({});
    run.step([&] { run.Printf(QStringLiteral("Checking DLL version v") + RIG_VERSION); });

    // Each with the name it goes by where it prints no banner of its own.
    static const struct {
        void (*run)(Run &);
        const char *name;
    } sections[] = {
        {SpeedLoopsAndFileRead, "Speed Loops and File Read Test"},
        {MathsAndStringSearch, nullptr},
        {TrimmingAndConversion, nullptr},
        {Base64EncryptionRandom, nullptr},
        {DiskSpace, nullptr},
        {IpAndCidr, nullptr},
        {PhpDates, nullptr},
        {DateConversions, nullptr},
        {BitsUrlReplaceRotateHex, "Bit Packing, URL, Replace, Rotate and Hex Tests"},
        {ArraysFilesDrives, "Array, File Listing, Drive Type and Process Id Tests"},
        {WindowsApi, nullptr},
        {RleCompression, nullptr},
        {ProcessInfo, nullptr},
    };
    for (const auto &section : sections) {
        beginSection(QString::fromLatin1(section.name));
        section.run(run);
    }

    // Closing block.
    static const char *const notTested[] = {
        "* Windows event logging not tested *",
        "* GetOpenFile and GetSaveFile not tested *",
        "* ShellRun not tested *",
        "* Console functions not tested *",
        "* CGI functionality not tested *",
        "* Wallpaper functions not tested *",
        "* MAPI functionality not tested *",
        "* BMP functions not tested *",
    };
    beginSection({});
    for (const char *notice : notTested)
        run.step([&] { run.Printf(QString::fromLatin1(notice)); });
    run.step([&] { run.endTime = rt::timer(); });
    run.step([&] { host.setReportVisible(true); });
    run.step([&] { host.repaintReport(); });
    run.step([&] { run.banner(QStringLiteral("* Tests Complete * ")); });
    run.step([&] {
        run.Printf(QStringLiteral("* This execution took ") +
                   vary::timing(rt::textOf(run.endTime - run.startTime)) +
                   QStringLiteral(" second(s)"));
    });
    return run.errorCount();
}

}  // namespace suite
