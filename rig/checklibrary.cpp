#include "checklibrary.h"

#include "library.h"
#include "mQorlib145.h"
#include "qorbind.h"
#include "run.h"

namespace rig {

QString missingLibraryMessage() {
    return QStringLiteral("Can't find ") + qorbind::Library::defaultFileName() +
           QStringLiteral(" in the current, system directory or PATH\r\n\r\n") +
           QStringLiteral("Please install it or download from ") + DOWNLOAD_URL;
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
    skipOnError([&] { installed = IsDLLInstalled(); });
    if (!installed) {
        skipOnError([&] {
            host.messageBox(missingLibraryMessage(), MISSING_LIBRARY_TITLE,
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
