// The Base64 section (encoding and decoding the sample, the throughput loop over its
// 100-fold copy, two decode checks), the weak encryption section (the sample scrambled
// in place and restored by a second call) and the random section (random texts of seven
// character classes and the ordinals 1 to 25 on one line).
#include "clock.h"
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

// The sign-or-space form of a time: one space before a value that is not negative.
QString signedSeconds(float seconds) {
    return seconds >= 0 ? QStringLiteral(" ") + rt::textOf(seconds) : rt::textOf(seconds);
}

// A length for the library's 32-bit length argument.
std::int32_t textLength(const QString &text) {
    if (text.size() > INT32_MAX)
        throw rt::RigError::overflow();
    return static_cast<std::int32_t>(text.size());
}

void base64(Run &run) {
    run.step([&] { run.banner(QStringLiteral("Base 64 Encoding Tests ")); });
    run.step([&] { run.workA = qor::EncodeString64(run.sample, 64); });
    run.step([&] { run.workA = rt::TrimAtNul(run.workA); });
    run.step([&] { run.Printf(QStringLiteral("QBF Base64 encoded=[") + run.workA + u']'); });
    run.step([&] {
        const QString hex = qor::StringToHex(run.workA);
        run.Printf(QStringLiteral("HexStr (above)=[") + hex + u']');
    });
    run.step([&] { run.workB = qor::DecodeString64(run.workA, run.loopCounter); });
    run.step([&] { rt::TrimAtNul(run.workB); });
    run.step([&] { run.Printf(QStringLiteral("DecodeBase64 (above)=[") + run.workB + u']'); });
    run.step([&] {
        const QString hex = qor::StringToHex(run.workB);
        run.Printf(QStringLiteral("HexStr (above)=[") + hex + u']');
    });
    run.step([&] { run.timing(QStringLiteral("2")); });

    // The throughput loop: its own start time, so the figure covers the joining, the line
    // below and the 1000 encodings.
    float loopStart = 0;
    run.step([&] { loopStart = rt::timer(); });
    run.step([&] { run.workA = QString(); });
    for (run.counter = 1; run.counter <= 100; ++run.counter)
        run.step([&] { run.workA += run.sample; });
    run.step([&] {
        run.Printf(QStringLiteral("Base 64 encoding QBF string (x 100) (of length=") +
                   rt::textOf(run.workA.size()) + QStringLiteral(" chars) for 1000 times ..."));
    });
    for (run.counter = 1; run.counter <= 1000; ++run.counter)
        run.step([&] { run.workB = qor::EncodeString64(run.workA, 20); });
    run.step([&] {
        const float elapsed = rt::timer() - loopStart;
        run.Printf(QStringLiteral("Looped in ") + vary::signedTiming(signedSeconds(elapsed)) +
                   QStringLiteral(" secs"));
    });
    run.step([&] { run.timing(QStringLiteral("3")); });

    run.step([&] {
        QString hello = QStringLiteral("Hello world");
        QString encoded = qor::EncodeString64(hello, 0);
        const QString decoded = qor::DecodeString64(encoded, run.counter);
        run.Printf(QStringLiteral("DecodeString64(EncodeString64('Hello world'),i)=[") + decoded +
                   u']');
    });
    run.step([&] {
        const QString decoded = qor::DecodeString64(run.workB, run.loopCounter);
        run.Printf(QStringLiteral("Decode check = ") + decoded.left(100) + QStringLiteral(" ..."));
    });
    run.step([&] { run.workB = QString(); });
}

void weakEncryption(Run &run) {
    run.step([&] { run.banner(QStringLiteral("Weak Encryption Tests ")); });
    run.step([&] { run.workA = run.sample; });
    // The buffer is changed in place; the binding copies it back into work text A by
    // length, so NUL bytes in the scrambled text do not shorten it.
    run.step([&] { qor::EncryptString(run.workA, textLength(run.sample), "mangel", -1, nullptr); });
    run.step([&] {
        const QString hex = qor::StringToHex(run.workA);
        run.Printf(QStringLiteral("Encode:EncryptString(qbf,len(qbf),mangel)=(hex)") + hex);
    });
    run.step([&] { qor::EncryptString(run.workA, textLength(run.sample), "mangel", -1, nullptr); });
    // Printed as plain text despite the "(hex)" of the label.
    run.step([&] {
        run.Printf(QStringLiteral("Decode:EncryptString(qbf,len(qbf),mangel)=(hex)") + run.workA);
    });
}

// Mode values of RandomStr.
enum RandomMode : std::int32_t {
    RandomStringMixedCase = 0,
    RandomStringLower = 1,
    RandomStringUpper = 2,
    RandomStringNumeric = 3,
    RandomStringAll = 4,
    RandomStringBinary = 5,
    RandomStringHex = 6,
};

void randomTexts(Run &run) {
    run.step([&] { run.banner(QStringLiteral("Random Function Tests ")); });
    run.step([&] { qor::Randomise(0); });

    using vary::Characters;
    struct Row {
        const char *label;
        RandomMode mode;
        Characters characters;
    };
    static constexpr Row rows[] = {
        {"RandomStr(50,RandomStringMixedCase)=", RandomStringMixedCase, Characters::Letters},
        {"RandomStr(50,RandomStringUpper)=", RandomStringUpper, Characters::Upper},
        {"RandomStr(50,RandomStringLower)=", RandomStringLower, Characters::Lower},
        {"RandomStr(50,RandomStringNumeric)=", RandomStringNumeric, Characters::Digits},
        {"RandomStr(50,RandomStringHex)=", RandomStringHex, Characters::Hex},
        {"RandomStr(50,RandomStringAll)=", RandomStringAll, Characters::Printable},
    };
    for (const Row &row : rows) {
        run.step([&] {
            const QString text = qor::RandomStr(50, row.mode);
            run.Printf(QString::fromLatin1(row.label) + vary::randomText(text, row.characters));
        });
    }
    // The binary text goes from 8-bit text to the report's text and back before the hex
    // conversion; every byte value survives both conversions.
    run.step([&] {
        const QString hex = qor::StringToHex(qor::RandomStr(50, RandomStringBinary));
        run.Printf(QStringLiteral("StringToHex(RandomStr(50,RandomStringBinary))=") +
                   vary::randomBytesHex(hex));
    });

    run.step([&] { run.Printf(QStringLiteral("Testing ordinals...")); });
    // Fragments: the trailing ";" keeps all 25 on one line, which the timing line closes.
    for (run.counter = 1; run.counter <= 25; ++run.counter) {
        run.step([&] {
            const QString suffix = qor::NumOrd(rt::toInt16(std::int64_t{run.counter}));
            run.Printf(rt::textOf(run.counter) + suffix + QStringLiteral("  ;"));
        });
    }
    run.step([&] { run.timing(QStringLiteral("5")); });
}

}  // namespace

void Base64EncryptionRandom(Run &run) {
    base64(run);
    weakEncryption(run);
    randomTexts(run);
}

}  // namespace suite
