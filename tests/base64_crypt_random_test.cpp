// The Base64, weak encryption and random sections: their exact lines against the library
// (random texts by pattern), the 100-fold text, the ordinals line closed by its timing
// line, the copy-back of a scrambled buffer past a NUL, and a library that lacks them.
#include <QRegularExpression>

#include "case_names.h"
#include "section_rig.h"
#include "sections.h"

namespace {

using namespace section_rig;

const QString QBF_BASE64 =
    QStringLiteral("VGhlIHF1aWNrIGJyb3duIGZveCBqdW1wZWQgdWJlciB0aGUgbGF6eSBkb2c=");
const QString QBF_BASE64_HEX = QStringLiteral(
    "5647686C4948463161574E7249474A796233647549475A7665434271645731775A57516764574A6C63694230"
    "61475567624746366553426B6232633D");
const QString QBF_HEX = QStringLiteral(
    "54686520717569636B2062726F776E20666F78206A756D706564207562657220746865206C617A7920646F67");

QString ordinalsLine() {
    return QStringLiteral(
        "1st  2nd  3rd  4th  5th  6th  7th  8th  9th  10th  11th  12th  13th  14th  15th  16th  "
        "17th  18th  19th  20th  21st  22nd  23rd  24th  25th   Execution (5) took 0.25 "
        "seconds");
}

class Base64CryptRandom : public SectionTest {};

TEST_F(Base64CryptRandom, ReportLines) {
    suite::Base64EncryptionRandom(run);
    const QStringList lines = reportLines();
    // 28 entries; 27 when a printable random text ended in ";" and joined the next line.
    ASSERT_TRUE(lines.size() == 28 || lines.size() == 27) << host.report.toStdString();

    const QStringList head{
        banner("Base 64 Encoding Tests "),
        QStringLiteral("QBF Base64 encoded=[") + QBF_BASE64 + u']',
        QStringLiteral("HexStr (above)=[") + QBF_BASE64_HEX + u']',
        QStringLiteral("DecodeBase64 (above)=[") + QBF + u']',
        QStringLiteral("HexStr (above)=[") + QBF_HEX + u']',
        timingLines("2")[0],
        QString(),
        QStringLiteral(
            "Base 64 encoding QBF string (x 100) (of length=4400 chars) for 1000 times ..."),
        // The fixed clock stands still: zero, after the space kept for the sign.
        QStringLiteral("Looped in  0 secs"),
        timingLines("3")[0],
        QString(),
        QStringLiteral("DecodeString64(EncodeString64('Hello world'),i)=[Hello world]"),
        QStringLiteral("Decode check = ") + (QBF + QBF + QBF).left(100) + QStringLiteral(" ..."),
        banner("Weak Encryption Tests "),
    };
    EXPECT_EQ(lines.mid(0, head.size()), head);

    // The scrambled sample: 44 bytes, none of them NUL, not the sample itself.
    const QRegularExpression encoded(QStringLiteral(
        "^Encode:EncryptString\\(qbf,len\\(qbf\\),mangel\\)=\\(hex\\)((?:[0-9A-F]{2}){44})$"));
    const auto match = encoded.match(lines[14]);
    ASSERT_TRUE(match.hasMatch()) << lines[14].toStdString();
    const QString hex = match.captured(1);
    EXPECT_NE(hex, QBF_HEX);
    for (int i = 0; i < hex.size(); i += 2)
        EXPECT_NE(hex.mid(i, 2), QStringLiteral("00")) << "byte " << i / 2;
    EXPECT_EQ(lines[15], QStringLiteral("Decode:EncryptString(qbf,len(qbf),mangel)=(hex)") + QBF);
    EXPECT_EQ(lines[16], banner("Random Function Tests "));

    struct Pattern {
        const char *label;
        const char *characters;
    } patterns[] = {
        {"RandomStr\\(50,RandomStringMixedCase\\)=", "[A-Za-z]{50}"},
        {"RandomStr\\(50,RandomStringUpper\\)=", "[A-Z]{50}"},
        {"RandomStr\\(50,RandomStringLower\\)=", "[a-z]{50}"},
        {"RandomStr\\(50,RandomStringNumeric\\)=", "[0-9]{50}"},
        {"RandomStr\\(50,RandomStringHex\\)=", "[0-9A-F]{50}"},
        {"RandomStr\\(50,RandomStringAll\\)=", "[!-~]{50}"},
        // Bytes 1..255: two hex digits each, never 00.
        {"StringToHex\\(RandomStr\\(50,RandomStringBinary\\)\\)=", "(?:(?!00)[0-9A-F]{2}){50}"},
    };
    // A printable random text may end in ";" and then joins the next line, as any
    // fragment does; so the block is matched as one text.
    QString block;
    for (const auto &p : patterns)
        block += QString::fromLatin1(p.label) + QString::fromLatin1(p.characters) +
                 QStringLiteral("\r\n");
    block.replace(QStringLiteral("[!-~]{50}\r\n"),
                  QStringLiteral("(?:[!-~]{50}\r\n|[!-~]{49}(?=StringToHex))"));
    const QString randomPart =
        lines.mid(17, lines.size() - 21).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^") + block + u'$').match(randomPart).hasMatch())
        << randomPart.toStdString();

    const QStringList tail{QStringLiteral("Testing ordinals..."), ordinalsLine(), QString(),
                           QString()};
    EXPECT_EQ(lines.mid(lines.size() - 4), tail);
    EXPECT_EQ(run.errorCount(), 0);
}

TEST_F(Base64CryptRandom, VariablesAfterTheSections) {
    suite::Base64EncryptionRandom(run);
    // The sample went by reference to the encoder and came back as it was.
    EXPECT_EQ(run.sample, QBF);
    EXPECT_EQ(run.workA, QBF);  // decrypted again
    EXPECT_TRUE(run.workB.isEmpty());
    EXPECT_EQ(run.counter, 26);
}

TEST_F(Base64CryptRandom, EmptySampleStillRunsEveryRound) {
    run.sample.clear();
    suite::Base64EncryptionRandom(run);
    const QStringList lines = reportLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("QBF Base64 encoded=[]")));
    EXPECT_TRUE(lines.contains(QStringLiteral(
        "Base 64 encoding QBF string (x 100) (of length=0 chars) for 1000 times ...")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Decode check =  ...")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Decode:EncryptString(qbf,len(qbf),mangel)=(hex)")));
    EXPECT_TRUE(lines.contains(ordinalsLine()));
    EXPECT_EQ(run.errorCount(), 0);
}

// A clock that gives its readings in turn and then stays at the last one.
struct ScriptedClock : rt::Clock {
    QList<float> readings;
    float secondsSinceMidnight() override {
        return readings.size() > 1 ? readings.takeFirst() : readings.first();
    }
    double now() override { return 45000.5; }
};

// The section reads the clock for timing line (2), the loop start and the loop end.
struct LoopTime {
    QList<float> readings;
    const char *line;
};

void PrintTo(const LoopTime &t, std::ostream *os) {
    *os << t.line;
}

class LoopTiming : public Base64CryptRandom, public ::testing::WithParamInterface<LoopTime> {};

// The loop's own start time, read after timing line (2); one space stands for a plus sign.
TEST_P(LoopTiming, LoopedInLine) {
    ScriptedClock clock;
    clock.readings = GetParam().readings;
    rt::setClock(&clock);
    suite::Base64EncryptionRandom(run);
    rt::setClock(nullptr);
    EXPECT_TRUE(reportLines().contains(QString::fromLatin1(GetParam().line)))
        << host.report.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Signs, LoopTiming,
    ::testing::Values(LoopTime{{100.5f, 200.0f, 200.125f}, "Looped in  0.125 secs"},
                      LoopTime{{100.5f, 200.0f, 212.5f}, "Looped in  12.5 secs"},
                      // The loop start itself, not the run's start, is what counts.
                      LoopTime{{300.0f, 300.0f, 300.0f}, "Looped in  0 secs"},
                      // Midnight passed during the loop: no correction, the sign shows.
                      LoopTime{{86399.0f, 86399.75f, 0.25f}, "Looped in -86399.5 secs"}),
    [](const auto &info) { return testing_support::caseName(info.param.line); });

TEST_F(Base64CryptRandom, ScrambledBufferKeepsItsLengthPastANul) {
    // This library's cipher turns the leading "T" into a NUL; the buffer must still come
    // back whole, so that the second call can restore it.
    useFake("xor_cipher");
    suite::Base64EncryptionRandom(run);
    const QStringList lines = reportLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("Encode:EncryptString(qbf,len(qbf),mangel)=(hex)")))
        << host.report.toStdString();
    EXPECT_TRUE(
        lines.contains(QStringLiteral("Decode:EncryptString(qbf,len(qbf),mangel)=(hex)") + QBF))
        << host.report.toStdString();
    EXPECT_EQ(run.workA, QBF);
}

TEST_F(Base64CryptRandom, MissingLibraryReportsEveryCallAndGoesOn) {
    qorbind::Library::instance().setPath(QStringLiteral("/nonexistent/libqorlib145.so"));
    suite::Base64EncryptionRandom(run);
    // 4 calls before timing (2), 1000 encodings, 2 decode checks, 3 encryption calls,
    // Randomise and 7 random texts, 25 ordinals.
    EXPECT_EQ(run.errorCount(), 4 + 1000 + 2 + 3 + 8 + 25);
    QStringList lines = reportLines();
    lines.removeIf([](const QString &l) { return l.startsWith(QStringLiteral("Error ")); });
    const QStringList expected{
        banner("Base 64 Encoding Tests "),
        QStringLiteral("QBF Base64 encoded=[]"),
        QStringLiteral("DecodeBase64 (above)=[]"),
        timingLines("2")[0],
        QString(),
        QStringLiteral(
            "Base 64 encoding QBF string (x 100) (of length=4400 chars) for 1000 times ..."),
        QStringLiteral("Looped in  0 secs"),
        timingLines("3")[0],
        QString(),
        banner("Weak Encryption Tests "),
        QStringLiteral("Decode:EncryptString(qbf,len(qbf),mangel)=(hex)") + QBF,
        banner("Random Function Tests "),
        QStringLiteral("Testing ordinals..."),
        timingLines("5")[0],
        QString(),
        QString(),
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
