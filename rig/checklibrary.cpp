#include "checklibrary.h"

#include <QDir>
#include <filesystem>
#include <optional>

#include "library.h"
#include "mQorlib145.h"
#include "platform.h"
#include "qorbind.h"
#include "run.h"

namespace rig {

namespace {

QString nativePath(const std::filesystem::path &path) {
    return QDir::toNativeSeparators(QString::fromStdString(path.string()));
}

// Where the rig looks for the library, in its order, one place a line.
QStringList placesSearched() {
    QStringList places;
    for (const auto &directory : qorbind::platform::directoriesBeforeSystem())
        places << nativePath(directory);
    places << QStringLiteral("the system's library folders");
    for (const auto &directory : qorbind::platform::directoriesAfterSystem())
        places << nativePath(directory) + QStringLiteral(" (PATH)");
    return places;
}

}  // namespace

QString missingLibraryMessage(const rt::RigError &failure) {
    constexpr int FILE_NOT_FOUND = 53;
    constexpr int LOAD_FAILED = 48;
    const qorbind::Library &library = qorbind::Library::instance();
    QString what;
    if (failure.number() == FILE_NOT_FOUND && library.path().isEmpty()) {
        QStringList names;
        for (const auto &name : qorbind::platform::libraryFileNames())
            names << QString::fromStdString(name.string());
        what = QStringLiteral("Can't find ") + names.join(QStringLiteral(" or ")) +
               QStringLiteral(" in any of these places, searched in this order:\r\n    ") +
               placesSearched().join(QStringLiteral("\r\n    "));
    } else if (failure.number() == FILE_NOT_FOUND) {
        what = QStringLiteral("Can't find ") + library.path();
    } else if (failure.number() == LOAD_FAILED && !library.loadError().isEmpty()) {
        what = QStringLiteral("Can't load ") + library.fileName() + QStringLiteral(": ") +
               library.loadError();
    } else {
        const QString file =
            library.loadedPath().isEmpty() ? library.fileName() : library.loadedPath();
        what = QStringLiteral("Can't use ") + file + QStringLiteral(": ") + failure.description();
    }
    return what + QStringLiteral("\r\n\r\nPlease install it or download from ") + DOWNLOAD_URL;
}

QString functionsFoundLine(int missing, int called) {
    return QStringLiteral("%1 of %2 functions found; a run reports each missing one as an error")
        .arg(called - missing)
        .arg(called);
}

void CheckLibrary(suite::Host &host, RunButtons &buttons, const std::function<void()> &endProgram) {
    static constexpr RunButton runButtons[] = {RunButton::Once, RunButton::Ten, RunButton::Hundred,
                                               RunButton::Thousand};
    suite::StatusPicture &out = host.status();

    skipOnError([&] { host.setInputText(SAMPLE_SENTENCE); });
    skipOnError([&] { out.removePicture(); });
    skipOnError([&] { out.clear(); });
    skipOnError([&] { out.setColor(0); });
    skipOnError([&] { out.setBold(false); });
    skipOnError([&] { out.setFontSize(14); });
    QString version = QStringLiteral("0");

    bool installed = true;
    rt::RigError failure(0, QString());
    skipOnError([&] { installed = IsDLLInstalled(&failure); });
    if (!installed) {
        skipOnError([&] {
            host.messageBox(missingLibraryMessage(failure), MISSING_LIBRARY_TITLE,
                            suite::MessageIcon::Critical);
        });
        endProgram();
        return;
    }

    skipOnError([&] { version = DLLVersion(); });
    // Compared as texts on character codes, so "99" counts as newer than "1.25".
    bool older = true;
    skipOnError([&] { older = version.compare(suite::RIG_VERSION, Qt::CaseSensitive) < 0; });
    if (older) {
        skipOnError([&] { out.setColor(12); });
        skipOnError([&] { out.setBold(true); });
        skipOnError([&] {
            out.print({QStringLiteral("DLL the wrong version (v") + version +
                       QStringLiteral(") and is not compatible with this test rig (v") +
                       suite::RIG_VERSION + QStringLiteral(")")});
        });
        for (RunButton button : runButtons)
            skipOnError([&] { buttons.setRunButtonEnabled(button, false); });
    } else {
        skipOnError(
            [&] { out.print({QStringLiteral("DLL is installed OK and is version ") + version}); });
        for (RunButton button : runButtons)
            skipOnError([&] { buttons.setRunButtonEnabled(button, true); });
    }

    // A library can answer its version and still lack most of what a run calls: said here,
    // in the warning colour, so that nobody learns it from thousands of error lines. The
    // run buttons stay as the version left them.
    std::optional<QStringList> missing;
    skipOnError([&] { missing = MissingFunctions(); });
    if (missing && !missing->isEmpty()) {
        skipOnError([&] { out.setFontSize(10); });
        skipOnError([&] { out.setColor(12); });
        skipOnError([&] { out.setBold(true); });
        skipOnError([&] {
            out.print(
                {functionsFoundLine(static_cast<int>(missing->size()), CalledFunctionCount())});
        });
    }

    skipOnError([&] { out.setFontSize(10); });
    skipOnError([&] { out.setColor(0); });
    skipOnError([&] { out.setBold(false); });
    skipOnError([&] {
        const QString windows = qor::WindowsVersion();
        const QString sub = qor::WindowsSubVersion();
        out.print({QStringLiteral("Windows Version: ") + windows +
                   QStringLiteral(" sub-version: ") + sub});
    });
}

}  // namespace rig
