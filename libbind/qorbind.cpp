#include "qorbind.h"

#include "library.h"
#include "qorlib145.h"
#include "rigerror.h"

namespace qorbind {
void clearLibraryVariant(qor_variant &variant);
}

namespace qor {

namespace {

// Releases a variant filled for or by the library with the library's own allocator.
class VariantGuard {
  public:
    explicit VariantGuard(qor_variant &variant) : variant_(variant) {}
    ~VariantGuard() {
        if (variant_.type == QOR_VARIANT_EMPTY && !variant_.items && !variant_.text)
            return;
        try {
            qorbind::clearLibraryVariant(variant_);
        } catch (const rt::RigError &) {
            // A library without its release function cannot take the memory back.
        }
    }
    VariantGuard(const VariantGuard &) = delete;
    VariantGuard &operator=(const VariantGuard &) = delete;

  private:
    qor_variant &variant_;
};

}  // namespace

std::int32_t LibVersion() {
    static const qorbind::Export<int32_t()> fn("LibVersion");
    return fn();
}

QString WindowsVersion() {
    static const qorbind::Export<qor_text *()> fn("WindowsVersion");
    qor_text *result = fn();
    return qorbind::takeText(result);
}

QString WindowsSubVersion() {
    static const qorbind::Export<qor_text *()> fn("WindowsSubVersion");
    qor_text *result = fn();
    return qorbind::takeText(result);
}

std::int32_t GetPID() {
    static const qorbind::Export<int32_t()> fn("GetPID");
    return fn();
}

std::int32_t GetProcessMemoryUsed(std::int32_t pid) {
    static const qorbind::Export<int32_t(int32_t)> fn("GetProcessMemoryUsed");
    return fn(pid);
}

QString StrRev(TextArg text) {
    static const qorbind::Export<qor_text *(const char *)> fn("StrRev");
    qor_text *result = fn(text.data());
    text.copyBack();
    return qorbind::takeText(result);
}

std::int32_t InChr(TextArg text, std::int16_t code) {
    static const qorbind::Export<int32_t(const char *, int16_t)> fn("InChr");
    const auto result = fn(text.data(), code);
    text.copyBack();
    return result;
}

std::int32_t InChrRev(TextArg text, std::int16_t code) {
    static const qorbind::Export<int32_t(const char *, int16_t)> fn("InChrRev");
    const auto result = fn(text.data(), code);
    text.copyBack();
    return result;
}

std::int32_t InStrI(TextArg text, TextArg find) {
    static const qorbind::Export<int32_t(const char *, const char *)> fn("InStrI");
    const auto result = fn(text.data(), find.data());
    text.copyBack();
    find.copyBack();
    return result;
}

std::int32_t InStrRev(TextArg text, TextArg find) {
    static const qorbind::Export<int32_t(const char *, const char *)> fn("InStrRev");
    const auto result = fn(text.data(), find.data());
    text.copyBack();
    find.copyBack();
    return result;
}

QString StripL(TextArg text, TextArg character) {
    static const qorbind::Export<qor_text *(const char *, const char *)> fn("StripL");
    qor_text *result = fn(text.data(), character.data());
    text.copyBack();
    character.copyBack();
    return qorbind::takeText(result);
}

QString StripR(TextArg text, TextArg character) {
    static const qorbind::Export<qor_text *(const char *, const char *)> fn("StripR");
    qor_text *result = fn(text.data(), character.data());
    text.copyBack();
    character.copyBack();
    return qorbind::takeText(result);
}

QString StripLStr(TextArg text, TextArg set) {
    static const qorbind::Export<qor_text *(const char *, const char *)> fn("StripLStr");
    qor_text *result = fn(text.data(), set.data());
    text.copyBack();
    set.copyBack();
    return qorbind::takeText(result);
}

QString StripRStr(TextArg text, TextArg set) {
    static const qorbind::Export<qor_text *(const char *, const char *)> fn("StripRStr");
    qor_text *result = fn(text.data(), set.data());
    text.copyBack();
    set.copyBack();
    return qorbind::takeText(result);
}

QString Replace(TextArg subject, TextArg find, TextArg replacement) {
    static const qorbind::Export<qor_text *(const char *, const char *, const char *)> fn(
        "Replace");
    qor_text *result = fn(subject.data(), find.data(), replacement.data());
    subject.copyBack();
    find.copyBack();
    replacement.copyBack();
    return qorbind::takeText(result);
}

QString StringToHex(TextArg text) {
    static const qorbind::Export<qor_text *(const char *)> fn("StringToHex");
    qor_text *result = fn(text.data());
    text.copyBack();
    return qorbind::takeText(result);
}

QString HexToStr(TextArg hex) {
    static const qorbind::Export<qor_text *(const char *)> fn("HexToStr");
    qor_text *result = fn(hex.data());
    hex.copyBack();
    return qorbind::takeText(result);
}

QString CharToHex(std::uint8_t value) {
    static const qorbind::Export<qor_text *(uint8_t)> fn("CharToHex");
    qor_text *result = fn(value);
    return qorbind::takeText(result);
}

std::uint8_t HexToChar(TextArg hex) {
    static const qorbind::Export<uint8_t(const char *)> fn("HexToChar");
    const auto result = fn(hex.data());
    hex.copyBack();
    return result;
}

QString IntToHex(std::int16_t value) {
    static const qorbind::Export<qor_text *(int16_t)> fn("IntToHex");
    qor_text *result = fn(value);
    return qorbind::takeText(result);
}

QString LongToHex(double value) {
    static const qorbind::Export<qor_text *(double)> fn("LongToHex");
    qor_text *result = fn(value);
    return qorbind::takeText(result);
}

double HexToLong(TextArg hex) {
    static const qorbind::Export<double(const char *)> fn("HexToLong");
    const auto result = fn(hex.data());
    hex.copyBack();
    return result;
}

double HexToDouble(TextArg hex) {
    static const qorbind::Export<double(const char *)> fn("HexToDouble");
    const auto result = fn(hex.data());
    hex.copyBack();
    return result;
}

QString EncodeString64(QString &text, std::int32_t lineLength) {
    static const qorbind::Export<qor_text *(qor_text **, int32_t)> fn("EncodeString64");
    qorbind::TextRef textRef(text);
    qor_text *result = fn(textRef.data(), lineLength);
    textRef.copyBack();
    return qorbind::takeText(result);
}

QString DecodeString64(QString &text, std::int32_t &count) {
    static const qorbind::Export<qor_text *(qor_text **, int32_t *)> fn("DecodeString64");
    qorbind::TextRef textRef(text);
    qor_text *result = fn(textRef.data(), &count);
    textRef.copyBack();
    return qorbind::takeText(result);
}

std::int16_t Min(std::int16_t a, std::int16_t b) {
    static const qorbind::Export<int16_t(int16_t, int16_t)> fn("Min");
    return fn(a, b);
}

std::int16_t Max(std::int16_t a, std::int16_t b) {
    static const qorbind::Export<int16_t(int16_t, int16_t)> fn("Max");
    return fn(a, b);
}

std::int32_t Gcd(std::int32_t a, std::int32_t b) {
    static const qorbind::Export<int32_t(int32_t, int32_t)> fn("Gcd");
    return fn(a, b);
}

QString BaseConv(std::int32_t value, std::int32_t base) {
    static const qorbind::Export<qor_text *(int32_t, int32_t)> fn("BaseConv");
    qor_text *result = fn(value, base);
    return qorbind::takeText(result);
}

std::int32_t BinToDec(TextArg digits) {
    static const qorbind::Export<int32_t(const char *)> fn("BinToDec");
    const auto result = fn(digits.data());
    digits.copyBack();
    return result;
}

QString Mki(std::int16_t value) {
    static const qorbind::Export<qor_text *(int16_t)> fn("Mki");
    qor_text *result = fn(value);
    return qorbind::takeText(result);
}

std::int16_t Cvi(TextArg bytes) {
    static const qorbind::Export<int16_t(const char *)> fn("Cvi");
    const auto result = fn(bytes.data());
    bytes.copyBack();
    return result;
}

QString Mkl(std::int32_t value) {
    static const qorbind::Export<qor_text *(int32_t)> fn("Mkl");
    qor_text *result = fn(value);
    return qorbind::takeText(result);
}

std::int32_t Cvl(TextArg bytes) {
    static const qorbind::Export<int32_t(const char *)> fn("Cvl");
    const auto result = fn(bytes.data());
    bytes.copyBack();
    return result;
}

QString Mkf(float value) {
    static const qorbind::Export<qor_text *(float)> fn("Mkf");
    qor_text *result = fn(value);
    return qorbind::takeText(result);
}

float Cvf(TextArg bytes) {
    static const qorbind::Export<float(const char *)> fn("Cvf");
    const auto result = fn(bytes.data());
    bytes.copyBack();
    return result;
}

QString Mkd(double value) {
    static const qorbind::Export<qor_text *(double)> fn("Mkd");
    qor_text *result = fn(value);
    return qorbind::takeText(result);
}

double Cvd(TextArg bytes) {
    static const qorbind::Export<double(const char *)> fn("Cvd");
    const auto result = fn(bytes.data());
    bytes.copyBack();
    return result;
}

QString CommaStr(TextArg number, std::int32_t decimals) {
    static const qorbind::Export<qor_text *(const char *, int32_t)> fn("CommaStr");
    qor_text *result = fn(number.data(), decimals);
    number.copyBack();
    return qorbind::takeText(result);
}

QString Comma(double value, std::int32_t decimals) {
    static const qorbind::Export<qor_text *(double, int32_t)> fn("Comma");
    qor_text *result = fn(value, decimals);
    return qorbind::takeText(result);
}

QString NumOrd(std::int16_t value) {
    static const qorbind::Export<qor_text *(int16_t)> fn("NumOrd");
    qor_text *result = fn(value);
    return qorbind::takeText(result);
}

QString BitPack(TextArg number, std::int32_t flags) {
    static const qorbind::Export<qor_text *(const char *, int32_t)> fn("BitPack");
    qor_text *result = fn(number.data(), flags);
    number.copyBack();
    return qorbind::takeText(result);
}

QString BitUnPack(TextArg packed, std::int32_t flags) {
    static const qorbind::Export<qor_text *(const char *, int32_t)> fn("BitUnPack");
    qor_text *result = fn(packed.data(), flags);
    packed.copyBack();
    return qorbind::takeText(result);
}

std::int32_t RotateLong(std::int32_t &value) {
    static const qorbind::Export<int32_t(int32_t *)> fn("RotateLong");
    return fn(&value);
}

std::int16_t RotateInt(std::int16_t &value) {
    static const qorbind::Export<int16_t(int16_t *)> fn("RotateInt");
    return fn(&value);
}

std::uint8_t RotateByte(std::uint8_t &value) {
    static const qorbind::Export<uint8_t(uint8_t *)> fn("RotateByte");
    return fn(&value);
}

QString URLEncode(TextArg text) {
    static const qorbind::Export<qor_text *(const char *)> fn("URLEncode");
    qor_text *result = fn(text.data());
    text.copyBack();
    return qorbind::takeText(result);
}

QString URLDecode(TextArg text) {
    static const qorbind::Export<qor_text *(const char *)> fn("URLDecode");
    qor_text *result = fn(text.data());
    text.copyBack();
    return qorbind::takeText(result);
}

void EncryptString(TextArg buffer, std::int32_t length, TextArg password, std::int32_t mode,
                   TextArg salt) {
    static const qorbind::Export<void(char *, int32_t, const char *, int32_t, const char *)> fn(
        "EncryptString");
    // The library works on `length` bytes of the buffer; more than the buffer holds would
    // make it read and write past the rig's copy.
    if (length > buffer.size())
        throw rt::RigError::invalidCall();
    fn(buffer.data(), length, password.data(), mode, salt.data());
    buffer.copyBack();
    password.copyBack();
    salt.copyBack();
}

void Randomise(std::int32_t seed) {
    static const qorbind::Export<void(int32_t)> fn("Randomise");
    fn(seed);
}

QString RandomStr(std::int32_t length, std::int32_t mode) {
    static const qorbind::Export<qor_text *(int32_t, int32_t)> fn("RandomStr");
    qor_text *result = fn(length, mode);
    return qorbind::takeText(result);
}

QString PHPDate(double date, TextArg format) {
    static const qorbind::Export<qor_text *(double, const char *)> fn("PHPDate");
    qor_text *result = fn(date, format.data());
    format.copyBack();
    return qorbind::takeText(result);
}

double DSTAdjust(double date) {
    static const qorbind::Export<double(double)> fn("DSTAdjust");
    return fn(date);
}

QString VBDate(double date) {
    static const qorbind::Export<qor_text *(double)> fn("VBDate");
    qor_text *result = fn(date);
    return qorbind::takeText(result);
}

double VBDateToCTime(double date) {
    static const qorbind::Export<double(double)> fn("VBDateToCTime");
    return fn(date);
}

double CTimeToVBDate(double seconds) {
    static const qorbind::Export<double(double)> fn("CTimeToVBDate");
    return fn(seconds);
}

QString DateToHex(double date) {
    static const qorbind::Export<qor_text *(double)> fn("DateToHex");
    qor_text *result = fn(date);
    return qorbind::takeText(result);
}

double HexToDate(TextArg hex) {
    static const qorbind::Export<double(const char *)> fn("HexToDate");
    const auto result = fn(hex.data());
    hex.copyBack();
    return result;
}

double IPToLong(TextArg address) {
    static const qorbind::Export<double(const char *)> fn("IPToLong");
    const auto result = fn(address.data());
    address.copyBack();
    return result;
}

QString LongToIP(double value) {
    static const qorbind::Export<qor_text *(double)> fn("LongToIP");
    qor_text *result = fn(value);
    return qorbind::takeText(result);
}

std::int16_t MatchCIDR(TextArg block, TextArg address) {
    static const qorbind::Export<int16_t(const char *, const char *)> fn("MatchCIDR");
    const auto result = fn(block.data(), address.data());
    block.copyBack();
    address.copyBack();
    return result;
}

std::int16_t IPMatch(TextArg pattern, TextArg address) {
    static const qorbind::Export<int16_t(const char *, const char *)> fn("IPMatch");
    const auto result = fn(pattern.data(), address.data());
    pattern.copyBack();
    address.copyBack();
    return result;
}

std::int16_t FileExists(TextArg path) {
    static const qorbind::Export<int16_t(const char *)> fn("FileExists");
    const auto result = fn(path.data());
    path.copyBack();
    return result;
}

QString GetWindowsDir() {
    static const qorbind::Export<qor_text *()> fn("GetWindowsDir");
    qor_text *result = fn();
    return qorbind::takeText(result);
}

QString _readfile(TextArg path, std::int32_t flags) {
    static const qorbind::Export<qor_text *(const char *, int32_t)> fn("_readfile");
    qor_text *result = fn(path.data(), flags);
    path.copyBack();
    return qorbind::takeText(result);
}

std::int32_t GetArrayDimensions(Variant &variant) {
    static const qorbind::Export<int32_t(const qor_variant *)> fn("GetArrayDimensions");
    qor_variant raw{};
    VariantGuard guard(raw);
    variant.toLibrary(raw);
    const std::int32_t result = fn(&raw);
    // The library may not change the variant; the rig takes back whatever it holds.
    variant = Variant::fromLibrary(raw);
    return result;
}

Variant ListFiles(TextArg folder, TextArg patterns, std::int32_t flags) {
    static const qorbind::Export<void(qor_variant *, const char *, const char *, int32_t)> fn(
        "ListFiles");
    qor_variant raw{};
    VariantGuard guard(raw);
    fn(&raw, folder.data(), patterns.data(), flags);
    folder.copyBack();
    patterns.copyBack();
    return Variant::fromLibrary(raw);
}

double DiskFree(TextArg drive) {
    static const qorbind::Export<double(const char *)> fn("DiskFree");
    const auto result = fn(drive.data());
    drive.copyBack();
    return result;
}

std::int16_t IsValidDisk(TextArg drive) {
    static const qorbind::Export<int16_t(const char *)> fn("IsValidDisk");
    const auto result = fn(drive.data());
    drive.copyBack();
    return result;
}

std::int16_t IsHardDisk(TextArg drive) {
    static const qorbind::Export<int16_t(const char *)> fn("IsHardDisk");
    const auto result = fn(drive.data());
    drive.copyBack();
    return result;
}

std::int16_t IsCDROMDisk(TextArg drive) {
    static const qorbind::Export<int16_t(const char *)> fn("IsCDROMDisk");
    const auto result = fn(drive.data());
    drive.copyBack();
    return result;
}

std::int64_t GetDiskSize(TextArg drive, std::int32_t flags) {
    static const qorbind::Export<int64_t(const char *, int32_t)> fn("GetDiskSize");
    const auto result = fn(drive.data(), flags);
    drive.copyBack();
    return result;
}

std::int32_t GetDiskSizeMb(TextArg drive) {
    static const qorbind::Export<int32_t(const char *)> fn("GetDiskSizeMb");
    const auto result = fn(drive.data());
    drive.copyBack();
    return result;
}

double GetDiskSizeGb(TextArg drive) {
    static const qorbind::Export<double(const char *)> fn("GetDiskSizeGb");
    const auto result = fn(drive.data());
    drive.copyBack();
    return result;
}

double GetTotalPhysicalMemory() {
    static const qorbind::Export<double()> fn("GetTotalPhysicalMemory");
    return fn();
}

double GetAvailablePhysicalMemory() {
    static const qorbind::Export<double()> fn("GetAvailablePhysicalMemory");
    return fn();
}

double GetTotalVirtualMemory() {
    static const qorbind::Export<double()> fn("GetTotalVirtualMemory");
    return fn();
}

double GetAvailableVirtualMemory() {
    static const qorbind::Export<double()> fn("GetAvailableVirtualMemory");
    return fn();
}

double GetTotalSwapfileMemory() {
    static const qorbind::Export<double()> fn("GetTotalSwapfileMemory");
    return fn();
}

double GetAvailableSwapfileMemory() {
    static const qorbind::Export<double()> fn("GetAvailableSwapfileMemory");
    return fn();
}

QString RLECompress(TextArg text, std::int32_t length, std::int32_t &packedLength) {
    static const qorbind::Export<qor_text *(const char *, int32_t, int32_t *)> fn("RLECompress");
    // The library reads `length` bytes of the buffer, NULs included.
    if (length > text.size())
        throw rt::RigError::invalidCall();
    qor_text *result = fn(text.data(), length, &packedLength);
    text.copyBack();
    return qorbind::takeText(result);
}

QString RLEUncompress(TextArg packed, std::int32_t &packedLength) {
    static const qorbind::Export<qor_text *(const char *, int32_t *)> fn("RLEUncompress");
    // The library reads as many bytes as the packed length says, NULs included.
    if (packedLength > packed.size())
        throw rt::RigError::invalidCall();
    qor_text *result = fn(packed.data(), &packedLength);
    packed.copyBack();
    return qorbind::takeText(result);
}

}  // namespace qor
