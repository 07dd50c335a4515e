// The trimming and data conversion sections: their exact lines against the library, the
// byte conversion between BinToDec and CharToHex, and a library without these exports.
#include "case_names.h"
#include "section_rig.h"
#include "sections.h"

namespace {

using namespace section_rig;

const QString STEP5 = QStringLiteral(
    "StripL  'hhhhello World,h =hhhhello World (non-function-call/ or command-type syntax returns "
    "will fail!)");

class TrimmingConversion : public SectionTest {};

TEST_F(TrimmingConversion, ReportLines) {
    suite::TrimmingAndConversion(run);
    const QStringList expected{
        banner("String Trimming Tests "),
        QStringLiteral("StripL('hhhello world','h')=ello world"),
        QStringLiteral("StripL('hello world','h')=ello world"),
        // The text passed has a leading space the label does not show.
        QStringLiteral("StripR('hello world','d')= hello worl"),
        STEP5,
        QStringLiteral("StripLStr(' hello world',' d')=ello world"),
        QStringLiteral("StripLStr('hello world','qleh')=o world"),
        QStringLiteral("StripLStr(' hello world',' d')=ello world"),
        QStringLiteral("StripRStr('hello world ',' d')=hello worl"),
        banner("Data Conversion Tests "),
        QStringLiteral("BaseConv(666,2)=1010011010"),
        QStringLiteral("BaseConv(666,4)=22122"),
        QStringLiteral("BaseConv(666,8)=1232"),
        QStringLiteral("BaseConv(666,10)=666"),
        QStringLiteral("BaseConv(666,16)=29A"),
        QStringLiteral("BinToDec(1001001)=73"),
        QStringLiteral("CharToHex(BinToDec(1001001))=49"),
        QStringLiteral("CharToHex(42)=2A"),
        QStringLiteral("HexToChar(2A)=42"),
        QStringLiteral("HexToChar(0)=0"),
        QStringLiteral("HexToChar(00)=0"),
        QStringLiteral("HexToChar(QF)=0 (error check)"),
        QStringLiteral("HexToChar(Chr$(9)&F)=0 (error check)"),
        QStringLiteral("HexToChar(FF)=255"),
        QStringLiteral("HexToChar(NULL)=0"),
        QStringLiteral("IntToHex(23457)=5BA1"),
        QStringLiteral("IntToHex(32767)=7FFF"),
        QStringLiteral("IntToHex(-1)=FFFF"),
        QStringLiteral("LongToHex(32766)=00007FFE"),
        QStringLiteral("LongToHex(65535)=0000FFFF"),
        QStringLiteral("LongToHex(-1&)=FFFFFFFF"),
        QStringLiteral("VB Built-In Function Hex(42)=2A"),
        QStringLiteral("Cvi(Mki(6666))=6666"),
        QStringLiteral("Cvl(Mkl(1818181818))=1818181818"),
        QStringLiteral("(Note rounding errors possible using floats)"),
        // Seven digits of a single; the label has eleven sixes, the value ten.
        QStringLiteral("Cvf(Mkf(66666.666))=66666.66"),
        QStringLiteral("Cvd(Mkd(66666666666.666))=6666666666.666"),
        QStringLiteral("Hex Conversion:"),
        QStringLiteral("StringToHex(Hello World)=48656C6C6F20576F726C64"),
        QStringLiteral("HexToStr(StringToHex(Hello World))=Hello World"),
        QString(),
    };
    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 0);
    EXPECT_EQ(run.workA, QStringLiteral("hhhhello World"));
    EXPECT_EQ(run.workB, QStringLiteral("hhhhello World"));
    // No step reads or writes the sample.
    EXPECT_EQ(run.sample, QBF);
}

struct ByteCase {
    const char *binToDec;  // what the library answers for "1001001"
    QStringList lines;     // the BinToDec line and what stands for the CharToHex line
};

void PrintTo(const ByteCase &c, std::ostream *os) {
    *os << "BinToDec answers " << c.binToDec;
}

class ByteConversion : public TrimmingConversion, public ::testing::WithParamInterface<ByteCase> {};

// Only 0..255 reach CharToHex; anything else is an overflow in place of the line.
TEST_P(ByteConversion, BinToDecResultMustFitAByte) {
    ScopedEnv answer("FAKE_BINTODEC", GetParam().binToDec);
    useFake("sections");
    suite::TrimmingAndConversion(run);
    const QStringList lines = reportLines();
    const qsizetype at = lines.indexOf(GetParam().lines.first());
    ASSERT_GE(at, 1);
    EXPECT_EQ(lines[at - 1], missingExport("BaseConv", "libfake_sections.so"));
    EXPECT_EQ(lines.mid(at, 3), GetParam().lines + QStringList{QStringLiteral("CharToHex(42)=2A")});
}

const QString OVERFLOW_LINE =
    QStringLiteral("Error 6 ocurred (Overflow) - this error may be normal during some tests");

INSTANTIATE_TEST_SUITE_P(
    Bounds, ByteConversion,
    ::testing::Values(ByteCase{"0", {"BinToDec(1001001)=0", "CharToHex(BinToDec(1001001))=00"}},
                      ByteCase{"73", {"BinToDec(1001001)=73", "CharToHex(BinToDec(1001001))=49"}},
                      ByteCase{"255", {"BinToDec(1001001)=255", "CharToHex(BinToDec(1001001))=FF"}},
                      ByteCase{"256", {"BinToDec(1001001)=256", OVERFLOW_LINE}},
                      ByteCase{"-1", {"BinToDec(1001001)=-1", OVERFLOW_LINE}},
                      ByteCase{"2147483647", {"BinToDec(1001001)=2147483647", OVERFLOW_LINE}}),
    [](const auto &info) { return "Answer" + testing_support::caseName(info.param.binToDec); });

TEST_F(TrimmingConversion, LibraryWithoutTheExportsKeepsTheRigsOwnLines) {
    useFake("bare");
    suite::TrimmingAndConversion(run);
    auto missing = [](const char *name) { return missingExport(name, "libfake_bare.so"); };
    QStringList expected{banner("String Trimming Tests ")};
    expected << missing("StripL") << missing("StripL") << missing("StripR") << STEP5
             << missing("StripLStr") << missing("StripLStr") << missing("StripLStr")
             << missing("StripRStr") << banner("Data Conversion Tests ");
    for (int i = 0; i < 5; ++i)
        expected << missing("BaseConv");
    expected << missing("BinToDec") << missing("BinToDec") << missing("CharToHex");
    for (int i = 0; i < 7; ++i)
        expected << missing("HexToChar");
    for (int i = 0; i < 3; ++i)
        expected << missing("IntToHex");
    for (int i = 0; i < 3; ++i)
        expected << missing("LongToHex");
    expected << QStringLiteral("VB Built-In Function Hex(42)=2A") << missing("Mki")
             << missing("Mkl") << QStringLiteral("(Note rounding errors possible using floats)")
             << missing("Mkf") << missing("Mkd") << QStringLiteral("Hex Conversion:")
             << missing("StringToHex") << missing("StringToHex") << QString();
    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(host.boxes.size(), 34);
    EXPECT_EQ(run.errorCount(), 34);
}

}  // namespace
