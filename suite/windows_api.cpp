// Section (12): the machine's memory figures scaled and formatted by the library, then
// the size of drive C in three units when the library calls C a valid drive.
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

struct MemoryLine {
    double (*figure)();
    double divisor;
    std::int32_t decimals;
    const char *label;
    const char *unit;
};

constexpr double KB = 1024;
constexpr double MB = 1048576;
constexpr double GB = 1073741824;

// In report order; each line makes its own call, so repeated figures may differ.
constexpr MemoryLine MEMORY_LINES[] = {
    {[] { return qor::GetTotalPhysicalMemory(); }, KB, 0, "GetTotalPhysicalMemory()=", " Kb"},
    {[] { return qor::GetAvailablePhysicalMemory(); }, KB, 0,
     "GetAvailablePhysicalMemory()=", " Kb"},
    {[] { return qor::GetTotalVirtualMemory(); }, KB, 0, "GetTotalVirtualMemory()=", " Kb"},
    {[] { return qor::GetAvailableVirtualMemory(); }, KB, 0, "GetAvailableVirtualMemory()=", " Kb"},
    {[] { return qor::GetTotalSwapfileMemory(); }, KB, 0, "GetTotalSwapfileMemory()=", " Kb"},
    {[] { return qor::GetTotalSwapfileMemory(); }, MB, 2, "GetTotalSwapfileMemory()=", " Mb"},
    {[] { return qor::GetTotalSwapfileMemory(); }, GB, 3, "GetTotalSwapfileMemory()=", " Gb"},
    {[] { return qor::GetAvailableSwapfileMemory(); }, KB, 0,
     "GetAvailableSwapfileMemory()=", " Kb"},
    {[] { return qor::GetAvailableSwapfileMemory(); }, MB, 2,
     "GetAvailableSwapfileMemory()=", " Mb"},
    {[] { return qor::GetAvailableSwapfileMemory(); }, GB, 3,
     "GetAvailableSwapfileMemory()=", " Gb"},
};

}  // namespace

void WindowsApi(Run &run) {
    run.step([&] { run.banner(QStringLiteral("Windows API Tests ")); });
    run.step([&] {
        run.Printf(QStringLiteral("Testing memory functions - may return -ve values over 4Gb..."));
    });
    for (const MemoryLine &line : MEMORY_LINES) {
        run.step([&] {
            const QString figure = qor::Comma(line.figure() / line.divisor, line.decimals);
            run.Printf(QString::fromLatin1(line.label) + vary::machineFigure(figure) +
                       QString::fromLatin1(line.unit));
        });
    }
    // The test asks about "C"; the lines ask about "c".
    if (run.test([&] { return qor::IsValidDisk("C") != 0; })) {
        run.step([&] {
            const std::int64_t size = qor::GetDiskSize("c", -1);
            run.Printf(QStringLiteral("GetDiskSize(c)=") +
                       vary::machineFigure(rt::textOf(rt::Currency{size})));
        });
        run.step([&] {
            const std::int32_t size = qor::GetDiskSizeMb("c");
            run.Printf(QStringLiteral("GetDiskSizeMb(c)=") + vary::machineFigure(rt::textOf(size)));
        });
        run.step([&] {
            const double size = qor::GetDiskSizeGb("c");
            run.Printf(QStringLiteral("GetDiskSizeGb(c)=") + vary::machineFigure(rt::textOf(size)));
        });
    }
    run.step([&] { run.timing(QStringLiteral("12")); });
    run.step([&] { run.Printf(QString()); });
}

}  // namespace suite
