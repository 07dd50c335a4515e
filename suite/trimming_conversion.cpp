// The trimming section (stripping characters from either end of a text) and the data
// conversion section (bases, bytes and hexadecimal, packed binary texts, text to hex and
// back). Labels are printed as written, also where they show other arguments than the
// call gets.
#include "conversions.h"
#include "qorbind.h"
#include "sections.h"

namespace suite {

namespace {

// One step whose line is a fixed label followed by the text `call` returns.
template <typename F>
void textLine(Run &run, const char *label, F &&call) {
    run.step([&] {
        const QString result = call();
        run.Printf(QString::fromLatin1(label) + result);
    });
}

// One step whose line is a fixed label followed by the general text form of what `call`
// returns (bytes as decimal numbers), then an optional note.
template <typename F>
void numberLine(Run &run, const char *label, F &&call, const char *note = "") {
    run.step([&] {
        const auto result = call();
        run.Printf(QString::fromLatin1(label) + rt::textOf(result) + QString::fromLatin1(note));
    });
}

void trimming(Run &run) {
    run.step([&] { run.banner(QStringLiteral("String Trimming Tests ")); });
    textLine(run, "StripL('hhhello world','h')=", [] { return qor::StripL("hhhello world", "h"); });
    textLine(run, "StripL('hello world','h')=", [] { return qor::StripL("hello world", "h"); });
    textLine(run, "StripR('hello world','d')=", [] { return qor::StripR(" hello world", "d"); });

    // Plain assignments, no call: both places of the line show the same text.
    run.step([&] { run.workA = QStringLiteral("hhhhello World"); });
    run.step([&] { run.workB = run.workA; });
    run.step([&] {
        run.Printf(
            QStringLiteral("StripL  '") + run.workB + QStringLiteral(",h =") + run.workA +
            QStringLiteral(" (non-function-call/ or command-type syntax returns will fail!)"));
    });

    textLine(run, "StripLStr(' hello world',' d')=", [] {
        return qor::StripLStr(" hello world", " h");
    });
    textLine(run, "StripLStr('hello world','qleh')=", [] {
        return qor::StripLStr("hello world", "qleh");
    });
    textLine(run, "StripLStr(' hello world',' d')=", [] {
        return qor::StripLStr(" hello world", " h");
    });
    textLine(run,
             "StripRStr('hello world ',' d')=", [] { return qor::StripRStr("hello world", " d"); });
}

void bases(Run &run) {
    textLine(run, "BaseConv(666,2)=", [] { return qor::BaseConv(666, 2); });
    textLine(run, "BaseConv(666,4)=", [] { return qor::BaseConv(666, 4); });
    textLine(run, "BaseConv(666,8)=", [] { return qor::BaseConv(666, 8); });
    textLine(run, "BaseConv(666,10)=", [] { return qor::BaseConv(666, 10); });
    textLine(run, "BaseConv(666,16)=", [] { return qor::BaseConv(666, 16); });
    numberLine(run, "BinToDec(1001001)=", [] { return qor::BinToDec("1001001"); });
    textLine(run, "CharToHex(BinToDec(1001001))=", [] {
        // The number's own text form is the digits; the result must fit a byte (else
        // overflow, and the step writes no line).
        const std::int32_t value = qor::BinToDec(rt::textOf(1001001));
        return qor::CharToHex(rt::toByte(static_cast<std::int64_t>(value)));
    });
}

void bytesAndHex(Run &run) {
    textLine(run, "CharToHex(42)=", [] { return qor::CharToHex(42); });
    numberLine(run, "HexToChar(2A)=", [] { return qor::HexToChar("2A"); });
    numberLine(run, "HexToChar(0)=", [] { return qor::HexToChar("0"); });
    numberLine(run, "HexToChar(00)=", [] { return qor::HexToChar("00"); });
    numberLine(
        run, "HexToChar(QF)=", [] { return qor::HexToChar("QF"); }, " (error check)");
    numberLine(
        run, "HexToChar(Chr$(9)&F)=", [] { return qor::HexToChar("\tF"); }, " (error check)");
    numberLine(run, "HexToChar(FF)=", [] { return qor::HexToChar("FF"); });
    // An empty text, not a null one.
    numberLine(run, "HexToChar(NULL)=", [] { return qor::HexToChar(""); });
    textLine(run, "IntToHex(23457)=", [] { return qor::IntToHex(23457); });
    textLine(run, "IntToHex(32767)=", [] { return qor::IntToHex(32767); });
    textLine(run, "IntToHex(-1)=", [] { return qor::IntToHex(-1); });
    textLine(run, "LongToHex(32766)=", [] { return qor::LongToHex(32766.0); });
    textLine(run, "LongToHex(65535)=", [] { return qor::LongToHex(65535.0); });
    textLine(run, "LongToHex(-1&)=", [] { return qor::LongToHex(-1.0); });
    textLine(run, "VB Built-In Function Hex(42)=", [] { return rt::hexText(42); });
}

// The packed text travels through the rig's own text and back before it is unpacked.
void packing(Run &run) {
    numberLine(run, "Cvi(Mki(6666))=", [] { return qor::Cvi(qor::Mki(6666)); });
    numberLine(run, "Cvl(Mkl(1818181818))=", [] { return qor::Cvl(qor::Mkl(1818181818)); });
    run.step([&] { run.Printf(QStringLiteral("(Note rounding errors possible using floats)")); });
    numberLine(run, "Cvf(Mkf(66666.666))=", [] { return qor::Cvf(qor::Mkf(66666.666f)); });
    numberLine(run,
               "Cvd(Mkd(66666666666.666))=", [] { return qor::Cvd(qor::Mkd(6666666666.666)); });
}

void hexConversion(Run &run) {
    run.step([&] { run.Printf(QStringLiteral("Hex Conversion:")); });
    textLine(run, "StringToHex(Hello World)=", [] { return qor::StringToHex("Hello World"); });
    textLine(run, "HexToStr(StringToHex(Hello World))=", [] {
        return qor::HexToStr(qor::StringToHex("Hello World"));
    });
}

}  // namespace

void TrimmingAndConversion(Run &run) {
    trimming(run);
    run.step([&] { run.banner(QStringLiteral("Data Conversion Tests ")); });
    bases(run);
    bytesAndHex(run);
    packing(run);
    hexConversion(run);
}

}  // namespace suite
