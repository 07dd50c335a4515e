// Section (1): four speed loops over text functions, their results on the status picture,
// then the file read between two frame lines, and the timing line (1).
#include <QStringList>

#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

constexpr std::int32_t LOOPS = 10000;

// Each loop statement is a step of its own: an error in one call resumes with the next
// statement of the loop, so the loop still counts to the end.
template <typename F>
void loop(Run &run, F &&body) {
    for (run.loopCounter = 1; run.loopCounter <= LOOPS; ++run.loopCounter)
        run.step(body);
}

// The two report lines of a file that was found: its name, then its content as it is
// (a content ending in ";" joins the next line).
void writeFoundFile(Run &run) {
    run.step([&] {
        run.Printf(QStringLiteral("Testing ReadFile(") + run.readFileName +
                   QStringLiteral(") ..."));
    });
    run.step([&] {
        const QString content = qor::_readfile(run.readFileName, 0);
        run.Printf(content);
    });
}

void speedLoops(Run &run) {
    StatusPicture &out = run.status();

    run.step([&] { out.setColor(0); });
    run.step([&] { run.loopText = QStringLiteral("1234567890123456789012345678901.234"); });
    loop(run, [&] { run.commaResult = qor::CommaStr(run.loopText, 3); });
    run.step([&] {
        out.print(QStringList{rt::statusNumber(run.loopCounter - 1),
                              QStringLiteral(" loops of CommaStr("), run.loopText,
                              QStringLiteral(")=["), run.commaResult, QStringLiteral("]")});
    });

    loop(run, [&] { run.loopText = qor::StringToHex(run.sample); });
    run.step([&] {
        out.print(QStringList{rt::statusNumber(run.loopCounter - 1),
                              QStringLiteral(" loops of StringToHex(qbf,)=["), run.loopText,
                              QStringLiteral("]")});
    });

    loop(run, [&] { run.loopText = qor::EncodeString64(run.sample, 32); });
    run.step([&] {
        out.print(QStringList{rt::statusNumber(run.loopCounter - 1),
                              QStringLiteral(" loops of EncodeString64(qbf,32)=["), run.loopText,
                              QStringLiteral("]")});
    });

    // The counter goes in as it stands after the loop (10001); what comes back is not used.
    QString decoded;
    run.step([&] { decoded = qor::DecodeString64(run.loopText, run.loopCounter); });
    run.step([&] {
        out.print(
            QStringList{QStringLiteral("Decoded Base64 string=["), decoded, QStringLiteral("]")});
    });

    run.step([&] { out.setColor(9); });
    // The second call gets the sample as the first one left it.
    QString firstReversal, secondReversal;
    run.step([&] {
        firstReversal = qor::StrRev(run.sample);
        secondReversal = qor::StrRev(run.sample);
    });
    run.step([&] {
        out.print(QStringList{QStringLiteral("StrRev="), firstReversal, QStringLiteral("="),
                              secondReversal});
    });
    run.step([&] { out.setColor(5); });
}

void fileRead(Run &run) {
    run.step([&] {
        run.Printf(
            QStringLiteral("+-------------------------------------------------------------+"));
    });

    // An error in the test of a branch takes the branch as if the test were true.
    if (run.test([&] { return qor::FileExists(run.readFileName) != 0; })) {
        writeFoundFile(run);
    } else {
        run.step([&] {
            const QString windowsDir = qor::GetWindowsDir();
            run.readFileName = windowsDir + QStringLiteral("winhelp.ini");
        });
        if (run.test([&] { return qor::FileExists(run.readFileName) != 0; })) {
            writeFoundFile(run);
        } else {
            run.step([&] {
                run.Printf(QStringLiteral("Can't find file ") + run.readFileName +
                           QStringLiteral(" to read it!"));
            });
        }
    }

    run.step([&] {
        run.Printf(
            QStringLiteral("+-- EOF ------------------------------------------------------+"));
    });
}

}  // namespace

void SpeedLoopsAndFileRead(Run &run) {
    speedLoops(run);
    fileRead(run);
    run.step([&] { run.timing(QStringLiteral("1")); });
}

}  // namespace suite
