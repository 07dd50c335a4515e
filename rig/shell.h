// What the window's routines share: fixed texts of the rig, the four run buttons as the
// routines see them, and the rule that a window routine skips a failing step silently.
#pragma once

#include <QString>
#include <exception>
#include <utility>

namespace rig {

// The library's download site, opened by the Website button and a click on the status
// picture, and named in the missing-library message. A reserved example domain until the
// library has a public home.
inline const QString DOWNLOAD_URL = QStringLiteral("https://qorlib145.example/download");

// The window caption before the version is added.
inline const QString DESIGN_CAPTION = QStringLiteral("Zentrak DLL Testbed - (qorlib145.dl)");

// The sentence the start-up check puts into the input box.
inline const QString SAMPLE_SENTENCE =
    QStringLiteral("The quick brown fox jumped uber the lazy dog");

// The box shown when no web browser can be started for the download site.
inline const QString WEBSITE_TITLE = QStringLiteral("Website");
inline QString noBrowserMessage() {
    return QStringLiteral(
               "No web browser could be started to open the library's download "
               "site. Its address is:\r\n\r\n") +
           DOWNLOAD_URL;
}

// The line on the status picture that closes a pass: how many errors it reported.
inline QString errorCountLine(int errors) {
    if (errors == 0)
        return QStringLiteral("This run had no errors");
    return QStringLiteral("This run had %1 error%2; the report lists every one")
        .arg(errors)
        .arg(errors == 1 ? QString() : QStringLiteral("s"));
}

// The caption a run button shows while its run or loop is busy.
inline const QString TESTING_CAPTION = QStringLiteral("Testing...");

enum class RunButton { Once, Ten, Hundred, Thousand };

// The run buttons' captions: the "&" marks each one's own Alt key (D, 1, 0 and T).
inline const QString ONCE_CAPTION = QStringLiteral("&Do it!!");
inline const QString TEN_CAPTION = QStringLiteral("Do it x &10");
inline const QString HUNDRED_CAPTION = QStringLiteral("Do it x 1&00");
inline const QString THOUSAND_CAPTION = QStringLiteral("Do i&t x 1000");

// The four run buttons, as the start-up check and the run handlers use them.
class RunButtons {
  public:
    virtual ~RunButtons() = default;
    virtual void setRunButtonEnabled(RunButton button, bool enabled) = 0;
    virtual QString runButtonCaption(RunButton button) = 0;
    virtual void setRunButtonCaption(RunButton button, const QString &caption) = 0;
};

// Runs one step of a window routine. A step that fails is skipped; the routine goes on.
template <typename F>
void skipOnError(F &&step) noexcept {
    try {
        std::forward<F>(step)();
    } catch (const std::exception &) {
        // Window routines have no error handling of their own: the step is simply skipped.
    }
}

}  // namespace rig
