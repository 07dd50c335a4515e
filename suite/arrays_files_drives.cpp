// Section (11): the dimensions of a variant before and after it receives the file list of
// drive C, that list, the drive types of C, D, E and Q, and the process id. No banner: its
// first line follows the timing line of section (10).
#include <cstdint>

#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

// Lists the file-list variant; it is not empty here.
void listFiles(Run &run, const qor::Variant &v) {
    run.step([&] {
        run.Printf(QStringLiteral("Testing ListFiles() - List of a few files in c:\\ ..."));
    });
    // The bounds are read once, upper first, as the loop header reads them. When they
    // cannot be read (a variant that is no array) the error is reported and the loop is
    // skipped: there is nothing to count through.
    std::int32_t lower = 0, upper = 0;
    bool haveBounds = false;
    run.step([&] {
        upper = v.upperBound();
        lower = v.lowerBound();
        haveBounds = true;
    });
    if (!haveBounds)
        return;
    // 64 bits, so a bound at the end of the 32-bit range cannot overflow the count.
    for (std::int64_t i = lower; i <= upper; ++i) {
        run.step([&] {
            run.Printf(QStringLiteral("File [") + rt::textOf(i + 1) + QStringLiteral("]=[") +
                       v.element(i) + QStringLiteral("]"));
        });
    }
}

void driveRows(Run &run) {
    enum class Kind { Hard, CdRom };
    static constexpr struct {
        const char *letter;
        Kind kind;
        const char *label;
    } rows[] = {
        {"C", Kind::Hard, "Is drive C: a hard drive? "},
        {"D", Kind::Hard, "Is drive D: a hard drive? "},
        {"D", Kind::CdRom, "Is drive D: a CDROM?      "},
        {"E", Kind::Hard, "Is drive E: a hard drive? "},
        {"E", Kind::CdRom, "Is drive E: a CDROM?      "},
        {"Q", Kind::Hard, "Is drive Q: a hard drive? "},
        {"Q", Kind::CdRom, "Is drive Q: a CDROM?      "},
    };
    for (const auto &row : rows) {
        // Validity is asked anew for every row. An error in asking is reported and, like
        // any failed branch test, leads into the row.
        if (!run.test([&] { return qor::IsValidDisk(row.letter) != 0; }))
            continue;
        run.step([&] {
            const std::int16_t answer =
                row.kind == Kind::Hard ? qor::IsHardDisk(row.letter) : qor::IsCDROMDisk(row.letter);
            run.Printf(QString::fromLatin1(row.label) +
                       (answer != 0 ? QStringLiteral("Yes") : QStringLiteral("No")));
        });
    }
}

}  // namespace

void ArraysFilesDrives(Run &run) {
    qor::Variant v;  // empty until the file list arrives
    run.step([&] {
        const std::int32_t dimensions = qor::GetArrayDimensions(v);
        run.Printf(QStringLiteral("The dimensions of unallocated Variant v are ") +
                   rt::textOf(dimensions));
    });
    run.step([&] { v = qor::ListFiles("c:\\", "*.sys, *.ini, *.log, *.bat", 0); });
    run.step([&] {
        const std::int32_t dimensions = qor::GetArrayDimensions(v);
        run.Printf(QStringLiteral("The dimensions of allocated Variant v are ") +
                   rt::textOf(dimensions));
    });
    if (run.test([&] { return v.isEmpty(); })) {
        run.step([&] {
            run.Printf(
                QStringLiteral("Testing ListFiles() - No useful files found to list in c:\\ ..."));
        });
    } else {
        listFiles(run, v);
    }
    driveRows(run);
    run.step([&] {
        const std::int32_t pid = qor::GetPID();
        run.Printf(QStringLiteral("The process ID of this application - GetPID() = [") +
                   vary::processId(rt::textOf(pid)) + QStringLiteral("]"));
    });
    run.step([&] { run.timing(QStringLiteral("11")); });
}

}  // namespace suite
