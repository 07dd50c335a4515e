// The PHP date section: its exact lines for one fixed moment, the one reading of the clock,
// the formats and dates as passed, and a run against a library that lacks PHPDate.
#include "date_sections.h"
#include "sections.h"

namespace {

using namespace section_rig;
using namespace date_sections;

class PhpDatesTest : public DateSectionTest {};

const QString kEscaped = QStringLiteral(R"x(PHPDate(d,\I\t \i\s \n\o\w \t\h\e jS \d\a\y.)=)x");
const QString kBadFormatting = QStringLiteral(
    R"x(PHPDate(d,(\T\h\e \t\i\m\e \i\s h:i:s \h\r\s on j-m-Y, \i\t \i\s w Day z ))=)x");
const QString kLower =
    QStringLiteral("PHPDate(d,a b c d e f g h i j k l m n o p q r s t u v w x y z)=");
const QString kUpper =
    QStringLiteral("PHPDate(d,A B C D E F G H I J K L M N O P Q R S T U V W X Y Z)=");

// The labels of the rows with fixed dates and with no format, in order.
const QStringList kFixedLabels{
    QStringLiteral("PHPDate(#1/1/1900 12:01:59 PM#, l jS F Y H:i:s)="),
    QStringLiteral("PHPDate(#1/1/1968 04:01:02 PM#, l jS F Y H:i:s)="),
    QStringLiteral("PHPDate(#1/1/1970 00:00:00#, l jS F Y H:i:s)="),
    QStringLiteral("PHPDate(#1/1/1970 12:01:59 PM#, l jS F Y H:i:s)="),
    QStringLiteral("PHPDate(#1/1/2036 12:01:59 PM#, l jS F Y H:i:s)="),
    QStringLiteral("PHPDate(#2/5/2036 12:01:59 PM#, l jS F Y H:i:s)="),
    QStringLiteral("PHPDate(#3/5/2036 12:01:59 PM#, l jS F Y H:i:s)="),
    QStringLiteral("PHPDate(#1/1/2037 12:01:59 PM#, l jS F Y H:i:s)="),
    QStringLiteral("PHPDate(25569.0)="),
    QStringLiteral("PHPDate(32000.0)="),
    QStringLiteral("PHPDate(32000.5)="),
    QStringLiteral("PHPDate(39619.8489467593)="),
    QStringLiteral("PHPDate(0.0)="),
    QStringLiteral("PHPDate(25569.0000000000)="),
};

TEST_F(PhpDatesTest, ExactLinesInUtc) {
    clock.moments = {39619.84894675926, 45000.5};  // 2008-06-20 20:22:29, then another day
    suite::PhpDates(run);

    QStringList expected{
        banner("PHP Date Emulation Tests "),
        QStringLiteral("PHPDate(d, jS F Y H:i:s)=20th June 2008 20:22:29"),
        QStringLiteral("PHPDate(d,c)=2008-06-20T20:22:29+00:00 ISO Date macro"),
        QStringLiteral("PHPDate(d,C)=Fri Jun 20 20:22:29 2008 C/C++ asctime() format (no CRLF)"),
        QStringLiteral("PHPDate(d,r)=Fri, 20 Jun 2008 20:22:29 +0000 RFC Date macro"),
        kEscaped + QStringLiteral("it is now  the 20th day. (escaped literals)"),
        kBadFormatting +
            QStringLiteral("(the time is 08:22:29 hrs 20086 20-06-2008, it is 5 Fripm08 171 ) "
                           "(Bad formatting example!)"),
        QStringLiteral("PHPDate Functions from A to Z... (not all letters implemented)"),
        kLower + QStringLiteral("pm b 2008-06-20T20:22:29+00:00 20 UTC f 8 08 22 20 k Friday 06 6 "
                                "2008 Z q Fri, 20 Jun 2008 20:22:29 +0000 29 30 000000 000 5 2008 "
                                "08 171"),
        kUpper + QStringLiteral("PM 890 Fri Jun 20 20:22:29 2008 Fri E June 20 20 0 J K 1 Jun 5 "
                                "+0000 +00:00 Q R th UTC 1213993349 V 25 +2008 2008 0"),
        QStringLiteral("Test Unix Epoch bounds..."),
    };
    const QStringList fixedTexts{
        QStringLiteral("Monday 1st January 1900 12:01:59 (Should ERR)"),
        QStringLiteral("Monday 1st January 1968 16:01:02 (Should ERR)"),
        QStringLiteral("Thursday 1st January 1970 00:00:00 (Should be OK)"),
        QStringLiteral("Thursday 1st January 1970 12:01:59 (Should be OK)"),
        QStringLiteral("Tuesday 1st January 2036 12:01:59 (Should be OK)"),
        QStringLiteral("Tuesday 5th February 2036 12:01:59 (Should be OK)"),
        QStringLiteral("Wednesday 5th March 2036 12:01:59 (Should ERR)"),
        QStringLiteral("Thursday 1st January 2037 12:01:59 (Should ERR)"),
        QStringLiteral("1970-01-01 00:00:00 (Unix Epoch - double input)"),
        QStringLiteral("1987-08-11 00:00:00 (double input)"),
        QStringLiteral("1987-08-11 12:00:00 (double input)"),
        QStringLiteral("2008-06-20 20:22:29 (double input)"),
        QStringLiteral("1899-12-30 00:00:00 (double input - should ERR)"),
        QStringLiteral("1970-01-01 00:00:00 (Unix/C epoch start)"),
    };
    for (int i = 0; i < kFixedLabels.size(); ++i)
        expected << kFixedLabels[i] + fixedTexts[i];
    expected << timingLines("8") << QString();

    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 0);
    EXPECT_EQ(clock.reads, 1);  // d is read once and shared by every format row
}

TEST_F(PhpDatesTest, ZoneLettersFollowTheLocalZone) {
    ZoneScope berlin("Europe/Berlin");
    suite::PhpDates(run);
    const QStringList lines = reportLines();
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines[2], QStringLiteral("PHPDate(d,c)=2008-06-20T20:22:29+02:00 ISO Date macro"));
    EXPECT_EQ(lines[4],
              QStringLiteral("PHPDate(d,r)=Fri, 20 Jun 2008 20:22:29 +0200 RFC Date macro"));
    EXPECT_TRUE(lines[8].contains(QStringLiteral(" Europe/Berlin f "))) << lines[8].toStdString();
    EXPECT_TRUE(lines[9].contains(QStringLiteral(" +0200 +02:00 Q R th CEST 1213986149 ")))
        << lines[9].toStdString();
}

TEST_F(PhpDatesTest, PassesFormatsAndDatesExactly) {
    useFake("dates");
    suite::PhpDates(run);

    // The fake answers with the date's bits in hex, "|" and the format or "(null)".
    auto answer = [](const char *bits, const QString &format) {
        return QString::fromLatin1(bits) + u'|' + format;
    };
    const QStringList lines = reportLines();
    const char *d = "40E3587B2A9264E2";  // 39619.84894675926
    ASSERT_EQ(lines.size(), 28);
    EXPECT_EQ(lines[1], QStringLiteral("PHPDate(d, jS F Y H:i:s)=") +
                            answer(d, QStringLiteral("jS F Y H:i:s")));
    EXPECT_EQ(lines[5], kEscaped +
                            answer(d, QStringLiteral(R"x(\i\t \i\s \n\o\w  \t\h\e jS \d\a\y.)x")) +
                            QStringLiteral(" (escaped literals)"));
    EXPECT_EQ(
        lines[6],
        kBadFormatting +
            answer(d,
                   QStringLiteral(
                       R"x((\t\h\e \t\i\m\e \i\s h:i:s \h\r\s on j-m-Y, \i\t \i\s w Day z ))x")) +
            QStringLiteral(" (Bad formatting example!)"));

    // The fixed dates go through bit for bit; the double inputs with a null format.
    const char *bits[] = {"400402D21C10AFFA", "40D841AAB66C77D9", "40D8F84000000000",
                          "40D8F8601690E085", "40E841700B487043", "40E845D00B487043",
                          "40E849700B487043", "40E86F300B487043", "40D8F84000000000",
                          "40DF400000000000", "40DF402000000000", "40E3587B2A9264E8",
                          "0000000000000000", "40D8F84000000000"};
    const char *notes[] = {" (Should ERR)",
                           " (Should ERR)",
                           " (Should be OK)",
                           " (Should be OK)",
                           " (Should be OK)",
                           " (Should be OK)",
                           " (Should ERR)",
                           " (Should ERR)",
                           " (Unix Epoch - double input)",
                           " (double input)",
                           " (double input)",
                           " (double input)",
                           " (double input - should ERR)",
                           " (Unix/C epoch start)"};
    for (int i = 0; i < 14; ++i) {
        const QString format = i < 8 ? QStringLiteral("l jS F Y H:i:s") : QStringLiteral("(null)");
        const QString want =
            kFixedLabels[i] + answer(bits[i], format) + QString::fromLatin1(notes[i]);
        EXPECT_EQ(lines[11 + i].toStdString(), want.toStdString()) << i;
    }
    EXPECT_EQ(run.errorCount(), 0);
}

TEST_F(PhpDatesTest, EveryCallFailsOnItsOwnAndTheSectionGoesOn) {
    useFake("bare");
    suite::PhpDates(run);
    const QString missing = missingExport("PHPDate", "libfake_bare.so");
    QStringList expected{banner("PHP Date Emulation Tests ")};
    for (int i = 0; i < 6; ++i)
        expected << missing;
    expected << QStringLiteral("PHPDate Functions from A to Z... (not all letters implemented)")
             << missing << missing << QStringLiteral("Test Unix Epoch bounds...");
    for (int i = 0; i < 14; ++i)
        expected << missing;
    expected << timingLines("8") << QString();
    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 22);
    EXPECT_EQ(host.boxes.size(), 22);
}

}  // namespace
