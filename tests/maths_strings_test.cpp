// The maths and string search sections: their exact lines against the library, the file
// dump by the name section (1) left behind, and the copy-back of the texts they pass.
#include "section_rig.h"
#include "sections.h"

namespace {

using namespace section_rig;

class MathsStrings : public SectionTest {
  protected:
    // The lines of both sections for a given sample text, file dump and first search.
    static QStringList lines(const QString &sample, const QString &dump, int k, int fox, int fred) {
        return {
            banner("Maths Function Tests "),
            QStringLiteral("Min(1, 3)=1"),
            QStringLiteral("Max(3, 2)=3"),
            QStringLiteral("Min(3.45, 12)=3"),
            QStringLiteral("Gcd(18181818,66666)=6"),
            banner("String Function Tests "),
            QStringLiteral("StringToHex()= [") + dump + QStringLiteral("] (Hex-dump of read file)"),
            QStringLiteral("StringToHex(ReadFile(notexists.fil))=[] (Non-existent file chains an "
                           "empty string ok?)"),
            QStringLiteral("InChr(%1,k)=%2").arg(sample).arg(k),
            QStringLiteral("InStrI(%1,FOX)=%2").arg(sample).arg(fox),
            QStringLiteral("InStrI(%1,fred)=%2").arg(sample).arg(fred),
            QStringLiteral("InStrRev(Hello world there world,world)=19"),
            QStringLiteral("InStrRev(Hello world,fred)=0"),
            QStringLiteral("InChrRev(Hello world,o)=8"),
            QStringLiteral("InChrRev(Hello world,x)=0"),
            QString(),
        };
    }
};

TEST_F(MathsStrings, DumpsTheBootFileByteForByte) {
    // CR LF and bytes above 127 reach StringToHex unchanged.
    writeOnC(QStringLiteral("boot.ini"), "[boot]\r\nx=\xE9\x01");
    suite::MathsAndStringSearch(run);
    EXPECT_EQ(reportLines(), lines(QBF, QStringLiteral("5B626F6F745D0D0A783DE901"), 9, 17, 0));
    EXPECT_EQ(run.errorCount(), 0);
}

TEST_F(MathsStrings, ReadsByTheNameTheFileReadLeftBehind) {
    writeInWindows(QStringLiteral("winhelp.ini"), "Hi");
    run.readFileName = windowsDir() + QStringLiteral("winhelp.ini");
    suite::MathsAndStringSearch(run);
    EXPECT_EQ(reportLines(), lines(QBF, QStringLiteral("4869"), 9, 17, 0));
}

TEST_F(MathsStrings, EmptySample) {
    run.sample.clear();
    suite::MathsAndStringSearch(run);
    EXPECT_EQ(reportLines(), lines(QString(), QString(), 0, 0, 0));
}

TEST_F(MathsStrings, OtherSample) {
    run.sample = QStringLiteral("Fred knows a FOX");
    suite::MathsAndStringSearch(run);
    EXPECT_EQ(reportLines(), lines(run.sample, QString(), 6, 14, 1));
}

TEST_F(MathsStrings, LabelsShowTheSampleAsTheCallLeftIt) {
    useFake("sections");
    suite::MathsAndStringSearch(run);

    const QString upper = QBF.toUpper();
    auto missing = [&](const char *name) { return missingExport(name, "libfake_sections.so"); };
    const QStringList expected{
        banner("Maths Function Tests "),
        missing("Min"),
        missing("Max"),
        missing("Min"),
        missing("Gcd"),
        banner("String Function Tests "),
        // _readfile marked the read file name's buffer; StringToHex got the text it returned.
        QStringLiteral("StringToHex()= [#:\\boot.ini!] (Hex-dump of read file)"),
        QStringLiteral("StringToHex(ReadFile(notexists.fil))=[#onexistent.fil!] (Non-existent "
                       "file chains an empty string ok?)"),
        QStringLiteral("InChr(") + upper + QStringLiteral(",k)=7"),
        missing("InStrI"),
        missing("InStrI"),
        missing("InStrRev"),
        missing("InStrRev"),
        missing("InChrRev"),
        missing("InChrRev"),
        QString(),
    };
    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(run.readFileName, QStringLiteral("#:\\boot.ini"));
    EXPECT_EQ(run.sample, upper);
    EXPECT_EQ(host.boxes.size(), 10);
}

TEST_F(MathsStrings, LibraryWithoutTheExportsKeepsTheBanners) {
    useFake("bare");
    suite::MathsAndStringSearch(run);
    auto missing = [](const char *name) { return missingExport(name, "libfake_bare.so"); };
    const QStringList expected{
        banner("Maths Function Tests "),
        missing("Min"),
        missing("Max"),
        missing("Min"),
        missing("Gcd"),
        banner("String Function Tests "),
        missing("_readfile"),
        missing("_readfile"),
        missing("InChr"),
        missing("InStrI"),
        missing("InStrI"),
        missing("InStrRev"),
        missing("InStrRev"),
        missing("InChrRev"),
        missing("InChrRev"),
        QString(),
    };
    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(host.boxes, expected.mid(1, 4) + expected.mid(6, 9));
}

}  // namespace
