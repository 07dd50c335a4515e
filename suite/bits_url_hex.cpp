// Section (10): number packing, the URL pair, text replacement, the rotations (each applied
// twice in a row) and the hexadecimal conversions. No banner: its first line follows the
// timing line of section (9).
#include <cstdint>

#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

// The sentence the replacement steps work on; the labels call it qbf.
const QString QBF = QStringLiteral("The quick brown fox jumped uber the lazy dog");

// A text made of the punctuation the URL functions must encode, led by a blank.
constexpr const char *URL_TEXT = " #$%&/;:<=>?@[^`{|}~";

void bitPacking(Run &run) {
    // Steps 1 and 2 pass the number's own text form, which has no sign, although their
    // labels show one; steps 3 and 4 pass the signed literal.
    run.step([&] {
        const QString packed = qor::BitPack(rt::textOf(0.12345656789), 0);
        run.Printf(QStringLiteral("Len(BitPack(+0.12345656789))=") + rt::textOf(packed.size()));
    });
    run.step([&] {
        QString packed = qor::BitPack(rt::textOf(0.12345656789), 0);
        run.Printf(QStringLiteral("BitPack(+0.12345656789)=[") + rt::TrimAtNul(packed) +
                   QStringLiteral("]"));
    });
    run.step([&] {
        const QString hex = qor::StringToHex(qor::BitPack("+0.12345656789", 0));
        run.Printf(QStringLiteral("StringToHex(BitPack(+0.12345656789))=") + hex);
    });
    run.step([&] {
        const QString number = qor::BitUnPack(qor::BitPack("+0.12345656789", 0), 0);
        run.Printf(QStringLiteral("BitUnPack(BitPack(+0.12345656789))=") + number);
    });
}

void urlFunctions(Run &run) {
    run.step([&] { run.Printf(QStringLiteral("Test HTML Helper Functions ...")); });
    run.step([&] {
        const QString encoded = qor::URLEncode(URL_TEXT);
        run.Printf(QStringLiteral("URLEncode( #$%&/;:<=>?@[^`{|}~) = ") + encoded);
    });
    run.step([&] {
        const QString decoded = qor::URLDecode(qor::URLEncode(URL_TEXT));
        run.Printf(QStringLiteral("URLDecode(URLEncode( #$%&/;:<=>?@[^`{|}~)) = ") + decoded);
    });
}

void replacement(Run &run) {
    run.step([&] { run.sample = QBF; });
    // The sample goes by value as a variable: whatever the library leaves in its copy
    // comes back into it.
    run.step([&] {
        const QString result = qor::Replace(run.sample, "fox", "goat");
        run.Printf(QStringLiteral("Replace(qbf, 'fox', 'goat')=") + result);
    });
    run.step([&] {
        const QString result = qor::Replace(run.sample, " ", "");
        run.Printf(QStringLiteral("Replace(qbf, ' ', '')=") + result);
    });
    run.step([&] {
        const QString result = qor::Replace("oooooooooo", "o", "");
        run.Printf(QStringLiteral("Replace('oooooooooo', 'o', '')=[") + result +
                   QStringLiteral("] (empty return)"));
    });
    run.step([&] {
        // A number where text is expected goes as its text form.
        const QString result = qor::Replace("012345", rt::textOf(std::int16_t{12345}), "A");
        run.Printf(QStringLiteral("Replace('012345', 12345, 'A')=") + result +
                   QStringLiteral(" (VB peculiarity. Casts numbers to string)"));
    });
}

// One rotation step: the function applied to the start value, then to that result, each
// time through a cell of the function's own kind passed by reference.
template <typename T, typename Rotate>
void rotationStep(Run &run, Rotate rotate, T start, const char *label) {
    run.step([&] {
        T first = start;
        T second = rotate(first);
        const T result = rotate(second);
        run.Printf(QString::fromLatin1(label) + rt::textOf(result));
    });
}

void rotations(Run &run) {
    using std::int16_t, std::int32_t, std::uint8_t;
    const auto rotateLong = [](int32_t &value) { return qor::RotateLong(value); };
    const auto rotateInt = [](int16_t &value) { return qor::RotateInt(value); };
    const auto rotateByte = [](uint8_t &value) { return qor::RotateByte(value); };
    rotationStep<int32_t>(run, rotateLong, 987654321, "RotateLong(RotateLong(987654321))=");
    rotationStep<int32_t>(run, rotateLong, 0, "RotateLong(RotateLong(0&))=");
    rotationStep<int32_t>(run, rotateLong, -1, "RotateLong(RotateLong(-1))=");
    rotationStep<int32_t>(run, rotateLong, 1, "RotateLong(RotateLong(1))=");
    rotationStep<int16_t>(run, rotateInt, 12345, "RotateInt(RotateInt(12345))=");
    rotationStep<int16_t>(run, rotateInt, 0, "RotateInt(RotateInt(0))=");
    rotationStep<int16_t>(run, rotateInt, -1, "RotateInt(RotateInt(-1))=");
    rotationStep<int16_t>(run, rotateInt, 1, "RotateInt(RotateInt(1))=");
    rotationStep<uint8_t>(run, rotateByte, 123, "RotateByte(RotateByte(123))=");
}

void hexConversions(Run &run) {
    run.step([&] {
        const std::uint8_t result = qor::HexToChar("FF");
        run.Printf(QStringLiteral("HexToChar(FF)=") + rt::textOf(result));
    });
    // HexToLong answers with a double, and is shown as one.
    static constexpr struct {
        bool isLong;
        const char *hex;
        const char *label;
    } numbers[] = {
        {true, "FFFF", "HexToLong(FFFF)="},
        {true, "FFFFFF", "HexToLong(FFFFFF)="},
        {true, "FFFFFFFF", "HexToLong(FFFFFFFF)="},
        {false, "FFFFFFFFFFFF", "HexToDouble(FFFFFFFFFFFF)="},
        {false, "2FFFFFFFFFFFF", "HexToDouble(2FFFFFFFFFFFF)="},
        {false, "3FFFFFFFFFFFF", "HexToDouble(3FFFFFFFFFFFF)="},
        {false, "7FFFFFFFFFFFFFFF", "HexToDouble(7FFFFFFFFFFFFFFF)"},
        {false, "FFFFFFFFFFFFFFFF", "HexToDouble(FFFFFFFFFFFFFFFF)"},
    };
    for (const auto &row : numbers) {
        run.step([&] {
            const double result = row.isLong ? qor::HexToLong(row.hex) : qor::HexToDouble(row.hex);
            run.Printf(QString::fromLatin1(row.label) + rt::textOf(result));
        });
    }
}

}  // namespace

void BitsUrlReplaceRotateHex(Run &run) {
    bitPacking(run);
    urlFunctions(run);
    replacement(run);
    rotations(run);
    hexConversions(run);
    run.step([&] { run.timing(QStringLiteral("10")); });
}

}  // namespace suite
