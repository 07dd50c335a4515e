// Section (13): 10,000 random texts packed and unpacked by the library, every mismatch
// shown, and a summary of the passes and the largest saving.
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

void RleCompression(Run &run) {
    constexpr std::int32_t PASSES = 10000;
    // Mode 8 is none of the named modes; the library makes runs of letters with it.
    constexpr std::int32_t RANDOM_MODE = 8;

    std::int16_t requested = 0;
    std::int32_t pass = 1;
    QString source, packed, unpacked;
    // Set by the library and never reset between passes.
    std::int32_t packedLength = 0;
    std::int16_t gain = 0;
    std::int16_t largestGain = 0;
    std::int16_t passCount = 0;
    std::int32_t failureCount = 0;

    run.step([&] { run.banner(QStringLiteral("RLE Compression Tests ")); });
    run.step([&] { requested = 1000; });
    for (pass = 1; pass <= PASSES; ++pass) {
        run.step([&] { source = qor::RandomStr(requested, RANDOM_MODE); });
        run.step([&] {
            packed =
                qor::RLECompress(source, static_cast<std::int32_t>(source.size()), packedLength);
        });
        // Zero or less: the library did not pack this text.
        if (run.test([&] { return packedLength <= 0; }))
            continue;
        run.step([&] {
            const std::int64_t saving = static_cast<std::int64_t>(source.size()) - packedLength;
            gain = rt::toInt16(saving);
        });
        run.step([&] { largestGain = qor::Max(largestGain, gain); });
        run.step([&] { unpacked = qor::RLEUncompress(packed, packedLength); });
        if (run.test([&] { return source != unpacked; })) {
            run.step([&] { run.Printf(QStringLiteral("* RLE Compression FAILED*")); });
            run.step([&] { ++failureCount; });
            run.step([&] {
                run.Printf(QStringLiteral("[") +
                           vary::randomText(source, vary::Characters::Letters) +
                           QStringLiteral("]"));
            });
            run.step([&] {
                run.Printf(QStringLiteral("[") +
                           vary::randomText(unpacked, vary::Characters::Letters) +
                           QStringLiteral("]"));
            });
        } else {
            run.step([&] { passCount = rt::toInt16(static_cast<std::int64_t>(passCount) + 1); });
        }
    }
    run.step([&] {
        run.Printf(QStringLiteral("RLE Test Done - ") +
                   vary::fromRandomTexts(rt::textOf(passCount)) + QStringLiteral(" of ") +
                   rt::textOf(pass - 1) + QStringLiteral(" strings were compressed"));
    });
    run.step([&] {
        const float percent =
            static_cast<float>(largestGain) / static_cast<float>(requested) * 100.0f;
        run.Printf(QStringLiteral("Max gain was ") +
                   vary::fromRandomTexts(rt::textOf(largestGain)) + QStringLiteral(" byte(s) of ") +
                   rt::textOf(requested) + QStringLiteral(" byte(s) (") +
                   vary::fromRandomTexts(rt::textOf(percent)) + QStringLiteral("%)"));
    });
    if (run.test([&] { return failureCount == 0; })) {
        run.step([&] { run.Printf(QStringLiteral("All compresion tests passed OK")); });
    } else {
        run.step([&] {
            run.Printf(vary::fromRandomTexts(rt::textOf(failureCount)) +
                       QStringLiteral(" tests *FAILED*"));
        });
    }
    run.step([&] { run.timing(QStringLiteral("13")); });
}

}  // namespace suite
