// The date conversion section: its exact lines for fixed moments, a fresh reading of the
// clock for every step that uses Now, and how it treats odd answers of the library.
#include "date_sections.h"
#include "qorbind.h"
#include "sections.h"

namespace {

using namespace section_rig;
using namespace date_sections;

class DateConversionTest : public DateSectionTest {};

// The section's lines, given what each reading of Now shows.
QStringList lines(const QString &adjusted, const QString &seconds, const QString &cycle,
                  const QString &hex, const QString &fromHex, const QString &cdate) {
    QStringList expected{
        banner("VB and C++ Date Conversion Tests "),
        QStringLiteral("VBDate(DSTAdjust(Now))=") + adjusted +
            QStringLiteral(" (string representation of internal VB date format)"),
        QStringLiteral("VBDateToCTime(Now)=") + seconds +
            QStringLiteral(" (C/C++/Unix time_t as long - No DST Adustment)"),
        QStringLiteral(
            "VBDateToCTime(vbdate(#1/1/1970 0:0:0#))=0 (C/C++/Unix epoch start - time_t as long)"),
        QStringLiteral("VBDate(#9/9/2001 1:46:40 AM#)=2001-09-09 01:46:40"),
        QStringLiteral("VBDateToCTime(#1/1/1970#)=0 (zero day)"),
        QStringLiteral("CTimeToVBDate(VBDateToCTime(#1/1/1970#))=1/1/1970 (zero day)"),
        QStringLiteral("VBDateToCTime(#9/1/2001 1:46:40 AM#)=999308800"),
        QStringLiteral("VBDateToCTime(#9/9/2001#)=999993600"),
        QStringLiteral("CTimeToVBDate(VBDateToCTime(#9/9/2001 1:46:40 AM#))=9/9/2001 1:46:40 AM"),
        QStringLiteral("Cycle test NOW=") + cycle,
        QStringLiteral("VBDateToCTime(#9/9/2001 1:46:40 AM#)=1000000000 (should be 1000000000)"),
        QStringLiteral(
            "PHPDate(#9/9/2001 1:46:40 AM#,  U )=(1000000000) (Unix time should be 1000000000)"),
        QStringLiteral("PHPDate(#9/9/2001 1:46:40 AM#,  r )=(Sun, 09 Sep 2001 01:46:40 +0000) "
                       "(Compare with r)"),
        QStringLiteral("DateToHex(Now)=") + hex +
            QStringLiteral(" (binary storage byte-representation)"),
        QStringLiteral("HexToDate(DateToHex(Now))=") + fromHex,
        QStringLiteral("CDate(HexToDate(DateToHex(Now)))=") + cdate,
    };
    expected << timingLines("9") << QString();
    return expected;
}

TEST_F(DateConversionTest, ExactLinesInUtc) {
    clock.moments = {39619.84894675926};  // 2008-06-20 20:22:29 at every reading
    suite::DateConversions(run);
    EXPECT_EQ(reportLines(),
              lines(QStringLiteral("2008-06-20 20:22:29"), QStringLiteral("1213993349"),
                    QStringLiteral("6/20/2008 8:22:29 PM"), QStringLiteral("E264922A7B58E340"),
                    QStringLiteral("39619.8489467593"), QStringLiteral("6/20/2008 8:22:29 PM")));
    EXPECT_EQ(run.errorCount(), 0);
    EXPECT_EQ(clock.reads, 6);
}

TEST_F(DateConversionTest, EveryStepReadsItsOwnNow) {
    // One moment per reading, in the order the steps read them.
    clock.moments = {
        37143.07407407407,  // 2001-09-09 01:46:40 (DSTAdjust)
        25569.5,            // 1970-01-01 12:00:00 (VBDateToCTime)
        36525.75,           // 1999-12-31 18:00:00 (cycle)
        1.0,                // 1899-12-31 (DateToHex)
        -1.25,              // 1899-12-29 06:00:00 (HexToDate)
        2958465.5,          // 9999-12-31 12:00:00 (CDate)
    };
    suite::DateConversions(run);
    EXPECT_EQ(reportLines(),
              lines(QStringLiteral("2001-09-09 01:46:40"), QStringLiteral("43200"),
                    QStringLiteral("12/31/1999 6:00:00 PM"), QStringLiteral("000000000000F03F"),
                    QStringLiteral("-1.25"), QStringLiteral("12/31/9999 12:00:00 PM")));
    EXPECT_EQ(clock.reads, 6);
}

TEST_F(DateConversionTest, DaylightSavingTimeMovesTheFirstLine) {
    ZoneScope berlin("Europe/Berlin");
    clock.moments = {39619.84894675926, 39462.5};  // summer, then winter for the rest
    suite::DateConversions(run);
    const QStringList report = reportLines();
    ASSERT_GE(report.size(), 3);
    EXPECT_EQ(report[1], QStringLiteral("VBDate(DSTAdjust(Now))=2008-06-20 21:22:29 (string "
                                        "representation of internal VB date format)"));
    // No zone and no shift in the Unix time.
    EXPECT_EQ(report[2], QStringLiteral("VBDateToCTime(Now)=1200398400 (C/C++/Unix time_t as long "
                                        "- No DST Adustment)"));
}

TEST_F(DateConversionTest, OddAnswersAreRejectedOrPrintedAsTheyCome) {
    useFake("dates");
    clock.moments = {39619.84894675926};
    suite::DateConversions(run);

    auto error = [](int number, const char *description) {
        return QStringLiteral("Error %1 ocurred (%2) - this error may be normal during some tests")
            .arg(number)
            .arg(QString::fromLatin1(description));
    };
    // The fake doubles seconds, adds 1 to make dates, returns "12AB\0CD" as hex and reads
    // back the length of the hex text it sees plus one half.
    QStringList expected{
        banner("VB and C++ Date Conversion Tests "),
        error(6, "Overflow"),  // DSTAdjust's 1e10 is no date
        QStringLiteral("VBDateToCTime(Now)=79239.6978935185 (C/C++/Unix time_t as long - No DST "
                       "Adustment)"),
        error(13, "Type mismatch"),  // "not a date" cannot be read back
        QStringLiteral("VBDate(#9/9/2001 1:46:40 AM#)=not a date"),
        QStringLiteral("VBDateToCTime(#1/1/1970#)=51138 (zero day)"),
        QStringLiteral("CTimeToVBDate(VBDateToCTime(#1/1/1970#))=") + rt::dateText(51139.0) +
            QStringLiteral(" (zero day)"),
        QStringLiteral("VBDateToCTime(#9/1/2001 1:46:40 AM#)=") + rt::textOf(37135.07407407407 * 2),
        QStringLiteral("VBDateToCTime(#9/9/2001#)=74286"),
        QStringLiteral("CTimeToVBDate(VBDateToCTime(#9/9/2001 1:46:40 AM#))=") +
            rt::dateText(37143.07407407407 * 2 + 1),
        QStringLiteral("Cycle test NOW=") + rt::dateText(39619.84894675926 * 2 + 1),
        QStringLiteral("VBDateToCTime(#9/9/2001 1:46:40 AM#)=") +
            rt::textOf(37143.07407407407 * 2) + QStringLiteral(" (should be 1000000000)"),
        QStringLiteral("PHPDate(#9/9/2001 1:46:40 AM#,  U )=(40E222E25ED097B4|U) (Unix time should "
                       "be 1000000000)"),
        QStringLiteral("PHPDate(#9/9/2001 1:46:40 AM#,  r )=(40E222E25ED097B4|r) (Compare with r)"),
        QStringLiteral("DateToHex(Now)=12AB (binary storage byte-representation)"),
        QStringLiteral("HexToDate(DateToHex(Now))=4.5"),  // the library sees up to the NUL
        QStringLiteral("CDate(HexToDate(DateToHex(Now)))=") + rt::dateText(4.5),
    };
    expected << timingLines("9") << QString();
    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 2);
}

TEST_F(DateConversionTest, VBDateTextReadsBackAsTheSameDate) {
    // What step 4 relies on, over the whole range of dates.
    for (double date : {25569.0, 37143.07407407407, 2.501377314814815, -657434.0, 2958465.5, -1.25,
                        0.5, 60.0, 36585.999988425923}) {
        const QString text = qor::VBDate(date);
        EXPECT_EQ(qor::VBDate(rt::textToDate(text)), text) << text.toStdString();
        EXPECT_EQ(qor::VBDateToCTime(rt::textToDate(text)), qor::VBDateToCTime(date))
            << text.toStdString();
    }
}

}  // namespace
