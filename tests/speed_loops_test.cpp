// Section (1): the status-picture lines of the speed loops, the framed file read with its
// fallback, and what a library without these exports leaves behind.
#include "section_rig.h"
#include "sections.h"

namespace {

using namespace section_rig;

const QString FRAME = QStringLiteral("+") + QString(61, u'-') + QStringLiteral("+");
const QString EOF_FRAME = QStringLiteral("+-- EOF ") + QString(54, u'-') + QStringLiteral("+");
const QString LOOP_TEXT = QStringLiteral("1234567890123456789012345678901.234");

class SpeedLoops : public SectionTest {};

TEST_F(SpeedLoops, StatusPictureLinesAndColours) {
    writeOnC(QStringLiteral("boot.ini"), "x");
    suite::SpeedLoopsAndFileRead(run);

    const QStringList expected{
        QStringLiteral(" 10000  loops of CommaStr(1234567890123456789012345678901.234)="
                       "[1,234,567,890,123,456,789,012,345,678,901.234]"),
        QStringLiteral(
            " 10000  loops of StringToHex(qbf,)=[54686520717569636B2062726F776E20666F7820"
            "6A756D706564207562657220746865206C617A7920646F67]"),
        QStringLiteral(
            " 10000  loops of EncodeString64(qbf,32)=[VGhlIHF1aWNrIGJyb3duIGZveCBqdW1w\r\n"
            "ZWQgdWJlciB0aGUgbGF6eSBkb2c=]"),
        QStringLiteral("Decoded Base64 string=[The quick brown fox jumped uber the lazy dog]"),
        QStringLiteral("StrRev=god yzal eht rebu depmuj xof nworb kciuq ehT="
                       "god yzal eht rebu depmuj xof nworb kciuq ehT"),
    };
    EXPECT_EQ(host.out.lines, expected);
    EXPECT_EQ(host.out.lineColors, (QList<int>{0, 0, 0, 0, 9}));
    EXPECT_EQ(host.out.events.first(), QStringLiteral("color 0"));
    EXPECT_EQ(host.out.events.last(), QStringLiteral("color 5"));
    EXPECT_EQ(host.out.color, 5);
    EXPECT_EQ(run.errorCount(), 0);
    EXPECT_TRUE(host.boxes.isEmpty());
    // Nothing the library did changed the sample.
    EXPECT_EQ(run.sample, QBF);
}

struct FileReadCase {
    const char *name;
    const char *bootIni;     // nullptr: no c:\boot.ini
    const char *winhelpIni;  // nullptr: no winhelp.ini in the Windows folder
    bool fallback;           // the read file name ends as the Windows folder + winhelp.ini
    QStringList middle;      // the report lines between the opening frame and the timing
};

void PrintTo(const FileReadCase &c, std::ostream *os) {
    *os << c.name;
}

class FileRead : public SpeedLoops, public ::testing::WithParamInterface<FileReadCase> {};

TEST_P(FileRead, ReportLines) {
    const FileReadCase &c = GetParam();
    if (c.bootIni)
        writeOnC(QStringLiteral("boot.ini"), c.bootIni);
    if (c.winhelpIni)
        writeInWindows(QStringLiteral("winhelp.ini"), c.winhelpIni);

    suite::SpeedLoopsAndFileRead(run);

    const QString name =
        c.fallback ? windowsDir() + QStringLiteral("winhelp.ini") : QStringLiteral("c:\\boot.ini");
    QStringList expected{FRAME};
    for (QString line : c.middle)
        expected << line.replace(QStringLiteral("<name>"), name);
    expected << timingLines("1") << QString();
    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(run.readFileName, name);
    EXPECT_EQ(run.errorCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileRead,
    ::testing::Values(FileReadCase{"BootIniFound",
                                   "[boot loader]\r\ntimeout=30\r\n[operating systems]",
                                   "ignored",
                                   false,
                                   {"Testing ReadFile(<name>) ...", "[boot loader]", "timeout=30",
                                    "[operating systems]", EOF_FRAME}},
                      // The file's own last line break and Printf's make an empty line.
                      FileReadCase{"ContentEndingInLineBreak",
                                   "a=1\r\n",
                                   nullptr,
                                   false,
                                   {"Testing ReadFile(<name>) ...", "a=1", "", EOF_FRAME}},
                      FileReadCase{"ContentEndingInSemicolonJoinsTheEofLine",
                                   "a=1\r\nb=2;",
                                   nullptr,
                                   false,
                                   {"Testing ReadFile(<name>) ...", "a=1", "b=2" + EOF_FRAME}},
                      FileReadCase{"EmptyFileWritesAnEmptyLine",
                                   "",
                                   nullptr,
                                   false,
                                   {"Testing ReadFile(<name>) ...", "", EOF_FRAME}},
                      FileReadCase{"LatinOneBytesSurvive",
                                   "caf\xE9=\xFF",
                                   nullptr,
                                   false,
                                   {"Testing ReadFile(<name>) ...",
                                    QString::fromLatin1("caf\xE9=\xFF"), EOF_FRAME}},
                      FileReadCase{"FallsBackToWinhelpIni",
                                   nullptr,
                                   "[Files]\r\nx=1",
                                   true,
                                   {"Testing ReadFile(<name>) ...", "[Files]", "x=1", EOF_FRAME}},
                      FileReadCase{"NeitherFile",
                                   nullptr,
                                   nullptr,
                                   true,
                                   {"Can't find file <name> to read it!", EOF_FRAME}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SpeedLoops, LibraryWithoutTheExportsReportsEveryFailedStatement) {
    useFake("bare");
    suite::SpeedLoopsAndFileRead(run);

    // Every pass of a loop fails on its own and the loop still counts to the end.
    QStringList errors;
    for (const char *name : {"CommaStr", "StringToHex", "EncodeString64"})
        for (int i = 0; i < 10000; ++i)
            errors << missingExport(name, "libfake_bare.so");
    errors << missingExport("DecodeString64", "libfake_bare.so")
           << missingExport("StrRev", "libfake_bare.so");
    // The failed test of the first branch continues into the found branch.
    const QStringList fileRead{
        missingExport("FileExists", "libfake_bare.so"),
        QStringLiteral("Testing ReadFile(c:\\boot.ini) ..."),
        missingExport("_readfile", "libfake_bare.so"),
        EOF_FRAME,
    };
    // The loop errors come before the frame line that opens the file read.
    QStringList expected = errors;
    expected << FRAME << fileRead << timingLines("1") << QString();
    const QStringList lines = reportLines();
    ASSERT_EQ(lines.size(), expected.size());
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(host.boxes.size(), 30004);
    EXPECT_EQ(run.errorCount(), 30004);

    const QStringList status{
        QStringLiteral(" 10000  loops of CommaStr(") + LOOP_TEXT + QStringLiteral(")=[]"),
        QStringLiteral(" 10000  loops of StringToHex(qbf,)=[") + LOOP_TEXT + QStringLiteral("]"),
        QStringLiteral(" 10000  loops of EncodeString64(qbf,32)=[") + LOOP_TEXT +
            QStringLiteral("]"),
        QStringLiteral("Decoded Base64 string=[]"),
        QStringLiteral("StrRev=="),
    };
    EXPECT_EQ(host.out.lines, status);
    EXPECT_EQ(host.out.lineColors, (QList<int>{0, 0, 0, 0, 9}));
    EXPECT_EQ(host.out.color, 5);
    EXPECT_EQ(run.readFileName, QStringLiteral("c:\\boot.ini"));
}

TEST_F(SpeedLoops, TextVariablesAreCopiedBackAfterEachCall) {
    useFake("sections");
    suite::SpeedLoopsAndFileRead(run);

    // StrRev reverses its buffer: the second call gets the sample as the first left it.
    QString reversed;
    for (auto c = QBF.crbegin(); c != QBF.crend(); ++c)
        reversed += *c;
    ASSERT_EQ(host.out.lines.size(), 5);
    EXPECT_EQ(host.out.lines[1],
              QStringLiteral(" 10000  loops of StringToHex(qbf,)=[") + QBF + QStringLiteral("!]"));
    EXPECT_EQ(host.out.lines[4], QStringLiteral("StrRev=") + reversed + QStringLiteral("=") + QBF);
    EXPECT_EQ(run.sample, QBF);

    // _readfile marks its buffer: the name line shows it before, the variable after.
    const QStringList lines = reportLines();
    const qsizetype at = lines.indexOf(QStringLiteral("Testing ReadFile(c:\\boot.ini) ..."));
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines[at + 1], QStringLiteral("#:\\boot.ini"));
    EXPECT_EQ(lines[at + 2], EOF_FRAME);
    EXPECT_EQ(run.readFileName, QStringLiteral("#:\\boot.ini"));
}

}  // namespace
