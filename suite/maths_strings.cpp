// The maths section (minimum, maximum, greatest common divisor) and the string section
// (hex dump of the file read earlier, a missing file, and the four search functions).
// In every step the library is called first and the line is built afterwards, so a label
// that shows the sample text shows it as the call left it.
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

void maths(Run &run) {
    run.step([&] { run.banner(QStringLiteral("Maths Function Tests ")); });
    run.step([&] {
        const auto result = qor::Min(1, 3);
        run.Printf(QStringLiteral("Min(1, 3)=") + rt::textOf(result));
    });
    run.step([&] {
        const auto result = qor::Max(3, 2);
        run.Printf(QStringLiteral("Max(3, 2)=") + rt::textOf(result));
    });
    run.step([&] {
        // Min takes 16-bit integers: 3.45 rounds to 3.
        const auto result = qor::Min(rt::toInt16(3.45), 12);
        run.Printf(QStringLiteral("Min(3.45, 12)=") + rt::textOf(result));
    });
    run.step([&] {
        const auto result = qor::Gcd(18181818, 66666);
        run.Printf(QStringLiteral("Gcd(18181818,66666)=") + rt::textOf(result));
    });
}

void strings(Run &run) {
    run.step([&] { run.banner(QStringLiteral("String Function Tests ")); });
    run.step([&] {
        // The file's text is a temporary: StringToHex's copy-back has nowhere to go.
        const QString hex = qor::StringToHex(qor::_readfile(run.readFileName, 0));
        run.Printf(QStringLiteral("StringToHex()= [") + hex +
                   QStringLiteral("] (Hex-dump of read file)"));
    });
    run.step([&] {
        const QString hex = qor::StringToHex(qor::_readfile("nonexistent.fil", 0));
        run.Printf(QStringLiteral("StringToHex(ReadFile(notexists.fil))=[") + hex +
                   QStringLiteral("] (Non-existent file chains an empty string ok?)"));
    });
    run.step([&] {
        const auto result = qor::InChr(run.sample, 107);  // "k"
        run.Printf(QStringLiteral("InChr(") + run.sample + QStringLiteral(",k)=") +
                   rt::textOf(result));
    });
    run.step([&] {
        const auto result = qor::InStrI(run.sample, "FOX");
        run.Printf(QStringLiteral("InStrI(") + run.sample + QStringLiteral(",FOX)=") +
                   rt::textOf(result));
    });
    run.step([&] {
        const auto result = qor::InStrI(run.sample, "fred");
        run.Printf(QStringLiteral("InStrI(") + run.sample + QStringLiteral(",fred)=") +
                   rt::textOf(result));
    });
    run.step([&] {
        const auto result = qor::InStrRev("hello world there world", "world");
        run.Printf(QStringLiteral("InStrRev(Hello world there world,world)=") + rt::textOf(result));
    });
    run.step([&] {
        const auto result = qor::InStrRev("hello world", "fred");
        run.Printf(QStringLiteral("InStrRev(Hello world,fred)=") + rt::textOf(result));
    });
    run.step([&] {
        const auto result = qor::InChrRev("hello world", 111);  // "o"
        run.Printf(QStringLiteral("InChrRev(Hello world,o)=") + rt::textOf(result));
    });
    run.step([&] {
        const auto result = qor::InChrRev("hello world", 120);  // "x"
        run.Printf(QStringLiteral("InChrRev(Hello world,x)=") + rt::textOf(result));
    });
}

}  // namespace

void MathsAndStringSearch(Run &run) {
    maths(run);
    strings(run);
}

}  // namespace suite
