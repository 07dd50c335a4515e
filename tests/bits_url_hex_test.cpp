// The bits, URL, replace, rotate and hex section: its exact lines against our library, and
// against a library that returns a NUL inside a packed text, changes its argument in place
// and lacks most of the section's functions.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include "clock.h"
#include "library.h"
#include "recording_host.h"
#include "run.h"
#include "section_rig.h"
#include "sections.h"

namespace {

const QString QBF = QStringLiteral("The quick brown fox jumped uber the lazy dog");

class BitsUrlHex : public ::testing::Test {
  protected:
    BitsUrlHex() {
        rt::setClock(&clock_);
        run.startTime = 100.0f;
        run.sample = QStringLiteral("an edited input box");
    }
    ~BitsUrlHex() override {
        rt::setClock(nullptr);
        qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    }

    // Every timing line of a run that started at 100 s reads 0.5 s.
    section_rig::FixedClock clock_{100.5f};
    testing_support::RecordingHost host;
    suite::Run run{host};
};

QString missing(const char *name) {
    return QStringLiteral(
               "Error 453 ocurred (Can't find DLL entry point %1 in "
               "libfake_scalar_listfiles.so) - this error may be normal during some tests")
        .arg(QString::fromLatin1(name));
}

TEST_F(BitsUrlHex, LinesAgainstOurLibrary) {
    suite::BitsUrlReplaceRotateHex(run);
    const QStringList expected{
        QStringLiteral("Len(BitPack(+0.12345656789))=7"),
        QStringLiteral("BitPack(+0.12345656789)=[") +
            QString::fromLatin1("\x1B\x23\x45\x67\x67\x89\xAF") + QStringLiteral("]"),
        QStringLiteral("StringToHex(BitPack(+0.12345656789))=C1B2345676789A"),
        QStringLiteral("BitUnPack(BitPack(+0.12345656789))=+0.12345656789"),
        QStringLiteral("Test HTML Helper Functions ..."),
        QStringLiteral("URLEncode( #$%&/;:<=>?@[^`{|}~) = "
                       "+%23%24%25%26%2F%3B%3A%3C%3D%3E%3F%40%5B%5E%60%7B%7C%7D~"),
        QStringLiteral("URLDecode(URLEncode( #$%&/;:<=>?@[^`{|}~)) =  #$%&/;:<=>?@[^`{|}~"),
        QStringLiteral("Replace(qbf, 'fox', 'goat')=The quick brown goat jumped uber the lazy dog"),
        QStringLiteral("Replace(qbf, ' ', '')=Thequickbrownfoxjumpeduberthelazydog"),
        QStringLiteral("Replace('oooooooooo', 'o', '')=[] (empty return)"),
        QStringLiteral(
            "Replace('012345', 12345, 'A')=0A (VB peculiarity. Casts numbers to string)"),
        QStringLiteral("RotateLong(RotateLong(987654321))=987654321"),
        QStringLiteral("RotateLong(RotateLong(0&))=0"),
        QStringLiteral("RotateLong(RotateLong(-1))=-1"),
        QStringLiteral("RotateLong(RotateLong(1))=1"),
        QStringLiteral("RotateInt(RotateInt(12345))=12345"),
        QStringLiteral("RotateInt(RotateInt(0))=0"),
        QStringLiteral("RotateInt(RotateInt(-1))=-1"),
        QStringLiteral("RotateInt(RotateInt(1))=1"),
        QStringLiteral("RotateByte(RotateByte(123))=123"),
        QStringLiteral("HexToChar(FF)=255"),
        QStringLiteral("HexToLong(FFFF)=65535"),
        QStringLiteral("HexToLong(FFFFFF)=16777215"),
        QStringLiteral("HexToLong(FFFFFFFF)=4294967295"),
        QStringLiteral("HexToDouble(FFFFFFFFFFFF)=281474976710655"),
        QStringLiteral("HexToDouble(2FFFFFFFFFFFF)=844424930131967"),
        QStringLiteral("HexToDouble(3FFFFFFFFFFFF)=1.12589990684262E+15"),
        QStringLiteral("HexToDouble(7FFFFFFFFFFFFFFF)9.22337203685478E+18"),
        QStringLiteral("HexToDouble(FFFFFFFFFFFFFFFF)1.84467440737096E+19"),
        QStringLiteral(" Execution (10) took 0.5 seconds"),
        QString(),
        QString(),
    };
    EXPECT_EQ(host.reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 0);
    EXPECT_TRUE(host.boxes.isEmpty());
    // The section set the sample, and the library left it as it was.
    EXPECT_EQ(run.sample, QBF);
}

TEST_F(BitsUrlHex, NulsCopyBackAndMissingFunctions) {
    qorbind::Library::instance().setPath(QStringLiteral(FAKES_DIR "/libfake_scalar_listfiles.so"));
    suite::BitsUrlReplaceRotateHex(run);

    // The sample reached step 9 as step 8's call left it, and keeps what step 9's did.
    const QString changed = QStringLiteral("Xhe quick brown fox jumped uber the lazy dog");
    QStringList expected{
        QStringLiteral("Len(BitPack(+0.12345656789))=5"),  // the NUL and what follows count
        QStringLiteral("BitPack(+0.12345656789)=[AB]"),    // cut at the NUL
        missing("StringToHex"),
        missing("BitUnPack"),
        QStringLiteral("Test HTML Helper Functions ..."),
        missing("URLEncode"),
        missing("URLEncode"),
        QStringLiteral("Replace(qbf, 'fox', 'goat')=") + QBF,
        QStringLiteral("Replace(qbf, ' ', '')=") + changed,
        // Literals are not copied back, so each call sees the text as written.
        QStringLiteral("Replace('oooooooooo', 'o', '')=[oooooooooo] (empty return)"),
        QStringLiteral(
            "Replace('012345', 12345, 'A')=012345 (VB peculiarity. Casts numbers to string)"),
    };
    for (int i = 0; i < 4; ++i)
        expected << missing("RotateLong");
    for (int i = 0; i < 4; ++i)
        expected << missing("RotateInt");
    expected << missing("RotateByte") << missing("HexToChar");
    for (int i = 0; i < 3; ++i)
        expected << missing("HexToLong");
    for (int i = 0; i < 5; ++i)
        expected << missing("HexToDouble");
    expected << QStringLiteral(" Execution (10) took 0.5 seconds") << QString() << QString();

    EXPECT_EQ(host.reportLines(), expected);
    EXPECT_EQ(run.errorCount(), 22);
    EXPECT_EQ(host.boxes.size(), 22);
    EXPECT_EQ(run.sample, changed);
}

}  // namespace
