// The date conversion section: a date value to text, the daylight-saving adjustment, Unix
// time there and back, one moment through PHPDate, and the hexadecimal text of a date's
// bytes there and back. Every step that uses Now reads the clock itself.
#include "clock.h"
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

constexpr double kEpoch = 25569.0;                     // 1970-01-01 00:00:00
constexpr double kFirstSeptember = 37135.07407407407;  // 2001-09-01 01:46:40
constexpr double kNinthSeptember = 37143.0;            // 2001-09-09 00:00:00
constexpr double kBillion = 37143.07407407407;         // 2001-09-09 01:46:40, Unix 1000000000

}  // namespace

void DateConversions(Run &run) {
    run.step([&] { run.banner(QStringLiteral("VB and C++ Date Conversion Tests ")); });
    run.step([&] {
        const double adjusted = qor::DSTAdjust(rt::now());
        const QString text = qor::VBDate(rt::toDate(adjusted));
        run.Printf(QStringLiteral("VBDate(DSTAdjust(Now))=") + vary::fromNow(text) +
                   QStringLiteral(" (string representation of internal VB date format)"));
    });
    run.step([&] {
        const double seconds = qor::VBDateToCTime(rt::now());
        run.Printf(QStringLiteral("VBDateToCTime(Now)=") +
                   vary::numberFromNow(rt::textOf(seconds)) +
                   QStringLiteral(" (C/C++/Unix time_t as long - No DST Adustment)"));
    });
    run.step([&] {
        // VBDate's text must be readable by the rig's own text-to-date conversion.
        const double date = rt::textToDate(qor::VBDate(kEpoch));
        const double seconds = qor::VBDateToCTime(date);
        run.Printf(QStringLiteral("VBDateToCTime(vbdate(#1/1/1970 0:0:0#))=") +
                   rt::textOf(seconds) +
                   QStringLiteral(" (C/C++/Unix epoch start - time_t as long)"));
    });
    run.step([&] {
        const QString text = qor::VBDate(kBillion);
        run.Printf(QStringLiteral("VBDate(#9/9/2001 1:46:40 AM#)=") + text);
    });
    run.step([&] {
        const double seconds = qor::VBDateToCTime(kEpoch);
        run.Printf(QStringLiteral("VBDateToCTime(#1/1/1970#)=") + rt::textOf(seconds) +
                   QStringLiteral(" (zero day)"));
    });
    run.step([&] {
        // CTimeToVBDate's double is used as a date value as it is.
        const double date = qor::CTimeToVBDate(qor::VBDateToCTime(kEpoch));
        run.Printf(QStringLiteral("CTimeToVBDate(VBDateToCTime(#1/1/1970#))=") +
                   rt::dateText(date) + QStringLiteral(" (zero day)"));
    });
    run.step([&] {
        const double seconds = qor::VBDateToCTime(kFirstSeptember);
        run.Printf(QStringLiteral("VBDateToCTime(#9/1/2001 1:46:40 AM#)=") + rt::textOf(seconds));
    });
    run.step([&] {
        const double seconds = qor::VBDateToCTime(kNinthSeptember);
        run.Printf(QStringLiteral("VBDateToCTime(#9/9/2001#)=") + rt::textOf(seconds));
    });
    run.step([&] {
        const double date = qor::CTimeToVBDate(qor::VBDateToCTime(kBillion));
        run.Printf(QStringLiteral("CTimeToVBDate(VBDateToCTime(#9/9/2001 1:46:40 AM#))=") +
                   rt::dateText(date));
    });
    run.step([&] {
        const double date = qor::CTimeToVBDate(qor::VBDateToCTime(rt::now()));
        run.Printf(QStringLiteral("Cycle test NOW=") + vary::dateFromNow(date));
    });
    run.step([&] {
        const double seconds = qor::VBDateToCTime(kBillion);
        run.Printf(QStringLiteral("VBDateToCTime(#9/9/2001 1:46:40 AM#)=") + rt::textOf(seconds) +
                   QStringLiteral(" (should be 1000000000)"));
    });
    run.step([&] {
        const QString text = qor::PHPDate(kBillion, "U");
        run.Printf(QStringLiteral("PHPDate(#9/9/2001 1:46:40 AM#,  U )=(") + text +
                   QStringLiteral(") (Unix time should be 1000000000)"));
    });
    run.step([&] {
        const QString text = qor::PHPDate(kBillion, "r");
        run.Printf(QStringLiteral("PHPDate(#9/9/2001 1:46:40 AM#,  r )=(") + text +
                   QStringLiteral(") (Compare with r)"));
    });
    run.step([&] {
        const QString hex = qor::DateToHex(rt::now());
        QString copy = hex;
        const QString trimmed = rt::TrimAtNul(copy);
        run.Printf(QStringLiteral("DateToHex(Now)=") + vary::hexFromNow(trimmed) +
                   QStringLiteral(" (binary storage byte-representation)"));
    });
    run.step([&] {
        // The text goes back untrimmed.
        QString hex = qor::DateToHex(rt::now());
        const double date = qor::HexToDate(hex);
        run.Printf(QStringLiteral("HexToDate(DateToHex(Now))=") +
                   vary::numberFromNow(rt::textOf(date)));
    });
    run.step([&] {
        QString hex = qor::DateToHex(rt::now());
        const double date = rt::toDate(qor::HexToDate(hex));
        run.Printf(QStringLiteral("CDate(HexToDate(DateToHex(Now)))=") + vary::dateFromNow(date));
    });
    run.step([&] { run.timing(QStringLiteral("9")); });
}

}  // namespace suite
