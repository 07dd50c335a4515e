// One pass of the test routine: the run variables every section shares, and the step
// helpers through which every statement runs, so that an error in any step is reported
// by the one handler and the run resumes with the next step.
#pragma once

#include <QPair>
#include <QSet>
#include <QString>
#include <cstdint>
#include <exception>
#include <new>
#include <utility>

#include "host.h"
#include "qorlib145.h"
#include "rigerror.h"
#include "shaped_text.h"

namespace suite {

// The rig's version, which the library must not be older than: that of the library it was
// written for.
inline const QString RIG_VERSION = QStringLiteral(QORLIB145_VERSION);

class Run {
  public:
    explicit Run(Host &host) : host_(host) {}

    Host &host() { return host_; }
    StatusPicture &status() { return host_.status(); }

    // ---- Run variables (created afresh for every run) ----
    float startTime = 0;           // seconds since midnight when the run began; never reset
    float endTime = 0;             // read once by the closing block
    QString sample;                // the text of txtIn when the run started ("qbf")
    QString readFileName;          // "c:\boot.ini", or the fallback chosen by section (1)
    QString workA, workB;          // work texts A and B of the trimming and Base64 sections
    QString loopText;              // scratch text of the speed loops
    QString commaResult;           // scratch text of the speed loops
    std::int32_t loopCounter = 0;  // counter of the speed loops (also passed by reference later)
    std::int32_t counter = 0;      // counter of the Base64 loops and the ordinals

    // ---- Output ----
    void Printf(const QString &text) { host_.Printf(text); }
    // The same text as Printf(text.text()); the parts that vary by nature carry their shape.
    void Printf(const ShapedText &text) { host_.PrintfShaped(text); }
    // The title followed by 100 "-".
    void banner(const QString &title);
    // " Execution (" + label + ") took " + seconds since the start + " seconds" + CR LF.
    void timing(const QString &label);

    // ---- Steps ----
    // Runs one statement. An error it raises is reported (error line and message box) and
    // the run goes on with the next statement.
    template <typename F>
    void step(F &&statement) {
        guarded([&] { std::forward<F>(statement)(); });
    }

    // Evaluates the test of a branch. An error in the test is reported and the branch is
    // taken as if the test were true.
    template <typename F>
    bool test(F &&condition) {
        bool result = true;
        guarded([&] { result = static_cast<bool>(std::forward<F>(condition)()); });
        return result;
    }

    // The number of errors reported so far in this run.
    int errorCount() const { return errors_; }

  private:
    template <typename F>
    void guarded(F &&body) {
        // One per statement of the code (each lambda is a type of its own): a statement that
        // reports the same error again is running in a loop.
        static char statement;
        try {
            body();
        } catch (const rt::RigError &error) {
            reportError(error, &statement);
        } catch (const std::bad_alloc &) {
            reportError(rt::RigError::outOfMemory(), &statement);
        } catch (const std::exception &error) {
            reportError(rt::RigError(51, QStringLiteral("Internal error: ") +
                                             QString::fromLocal8Bit(error.what())),
                        &statement);
        }
    }

    void reportError(const rt::RigError &error, const void *statement);

    Host &host_;
    int errors_ = 0;
    // The errors reported so far, with the statement that raised each.
    QSet<QPair<const void *, QString>> reported_;
};

// The title of the run's error message boxes.
inline const QString ERROR_BOX_TITLE = QStringLiteral("Zentrak DLL Testbed");

// The error line of the run's error handler.
QString errorLine(const rt::RigError &error);

// One pass over every test of the utility library. Returns the number of error lines the
// pass wrote.
int RunAllTests(Host &host);

}  // namespace suite
