// The last section: the rig's process id and the memory the library reports for it.
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

void ProcessInfo(Run &run) {
    // -1 means the library could not read the figure; any other value is a byte count.
    constexpr std::int32_t UNKNOWN = -1;
    std::int32_t memory = 0;

    run.step([&] { run.banner(QStringLiteral("Process Info Tests ")); });
    run.step([&] {
        const std::int32_t pid = qor::GetPID();
        run.Printf(QStringLiteral("The process ID of this test-application is: ") +
                   vary::processId(rt::textOf(pid)));
    });
    run.step([&] { memory = qor::GetProcessMemoryUsed(qor::GetPID()); });
    if (run.test([&] { return memory == UNKNOWN; })) {
        run.step([&] {
            const std::int32_t pid = qor::GetPID();
            run.Printf(QStringLiteral("Couldn't retrieve memory info for this process (") +
                       vary::processId(rt::textOf(pid)) + QStringLiteral(")"));
        });
    } else {
        const QString lead = QStringLiteral("Memory used by this process is: ");
        run.step([&] {
            run.Printf(lead + vary::machineFigure(rt::textOf(memory)) + QStringLiteral(" bytes"));
        });
        run.step([&] {
            run.Printf(lead + vary::machineFigure(rt::textOf(static_cast<double>(memory) / 1024)) +
                       QStringLiteral(" Kb"));
        });
        run.step([&] {
            const double mb = static_cast<double>(memory) / 1048576;
            run.Printf(lead + vary::machineFigure(rt::formatNumber(mb, u"0#.###")) +
                       QStringLiteral(" Mb"));
        });
    }
    run.step([&] { run.timing(QStringLiteral("FINAL")); });
}

}  // namespace suite
