// The disk space section: a wildcard file-existence question, the free space of drives C
// and D and of the impossible drive "&", and after its timing line three unlabelled lines
// with a number and an address in hexadecimal and decimal.
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

void DiskSpace(Run &run) {
    run.step([&] { run.Printf(QString()); });
    run.step([&] { run.banner(QStringLiteral("Disk Space Tests ")); });
    run.step([&] { run.Printf(QStringLiteral("Test file exists function...")); });
    run.step([&] {
        const std::int16_t exists = qor::FileExists("c:\\temp\\*.tmp");
        run.Printf(QStringLiteral("Do file(s) c:\\temp\\*.tmp exist? [") + rt::yesNoText(exists) +
                   u']');
    });
    run.step([&] { run.Printf(QStringLiteral("Test Free disk space functions ...")); });
    run.step([&] {
        const QString free = qor::Comma(qor::DiskFree("C"), 3);
        run.Printf(QStringLiteral("Drive C: ") + vary::machineFigure(free));
    });
    run.step([&] {
        const QString free = qor::Comma(qor::DiskFree("D"), 3);
        run.Printf(QStringLiteral("Drive D: ") + vary::machineFigure(free));
    });
    // The answer for a drive that cannot exist is shown as the number itself.
    run.step([&] {
        const double free = qor::DiskFree("&");
        run.Printf(QStringLiteral("Drive &: ") + rt::textOf(free) +
                   QStringLiteral(" (should be ERR -1 - no such disk &: )"));
    });
    run.step([&] { run.timing(QStringLiteral("6")); });

    run.step([&] { run.Printf(qor::LongToHex(9098293.0)); });
    run.step([&] { run.Printf(rt::textOf(qor::IPToLong("255.255.255.254"))); });
    run.step([&] { run.Printf(qor::LongToHex(qor::IPToLong("255.255.255.254"))); });
}

}  // namespace suite
