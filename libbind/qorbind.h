// The rig's declarations of the utility library's exports, with the rig's own kinds:
// texts are QStrings, passed by value (TextArg: variables are copied back after the call)
// or by reference (QString&). Each call binds its export lazily and raises rt::RigError
// when the library or the export is missing.
#pragma once

#include <QString>
#include <cstdint>

#include "marshal.h"

namespace qor {

using qorbind::TextArg;
using qorbind::Variant;

// Library and system
std::int32_t LibVersion();
QString WindowsVersion();
QString WindowsSubVersion();
std::int32_t GetPID();
std::int32_t GetProcessMemoryUsed(std::int32_t pid);

// Text
QString StrRev(TextArg text);
std::int32_t InChr(TextArg text, std::int16_t code);
std::int32_t InChrRev(TextArg text, std::int16_t code);
std::int32_t InStrI(TextArg text, TextArg find);
std::int32_t InStrRev(TextArg text, TextArg find);
QString StripL(TextArg text, TextArg character);
QString StripR(TextArg text, TextArg character);
QString StripLStr(TextArg text, TextArg set);
QString StripRStr(TextArg text, TextArg set);
QString Replace(TextArg subject, TextArg find, TextArg replacement);

// Hexadecimal
QString StringToHex(TextArg text);
QString HexToStr(TextArg hex);
QString CharToHex(std::uint8_t value);
std::uint8_t HexToChar(TextArg hex);
QString IntToHex(std::int16_t value);
QString LongToHex(double value);
double HexToLong(TextArg hex);
double HexToDouble(TextArg hex);

// Base64
QString EncodeString64(QString &text, std::int32_t lineLength);
QString DecodeString64(QString &text, std::int32_t &count);

// Numbers
std::int16_t Min(std::int16_t a, std::int16_t b);
std::int16_t Max(std::int16_t a, std::int16_t b);
std::int32_t Gcd(std::int32_t a, std::int32_t b);
QString BaseConv(std::int32_t value, std::int32_t base);
std::int32_t BinToDec(TextArg digits);
QString Mki(std::int16_t value);
std::int16_t Cvi(TextArg bytes);
QString Mkl(std::int32_t value);
std::int32_t Cvl(TextArg bytes);
QString Mkf(float value);
float Cvf(TextArg bytes);
QString Mkd(double value);
double Cvd(TextArg bytes);

// Number formatting
QString CommaStr(TextArg number, std::int32_t decimals);
QString Comma(double value, std::int32_t decimals);
QString NumOrd(std::int16_t value);

// Bits
QString BitPack(TextArg number, std::int32_t flags);
QString BitUnPack(TextArg packed, std::int32_t flags);
std::int32_t RotateLong(std::int32_t &value);
std::int16_t RotateInt(std::int16_t &value);
std::uint8_t RotateByte(std::uint8_t &value);

// Web
QString URLEncode(TextArg text);
QString URLDecode(TextArg text);

// Encryption and random text. EncryptString raises RigError 5 when `length` exceeds the
// buffer, since the library would otherwise read and write past it.
void EncryptString(TextArg buffer, std::int32_t length, TextArg password, std::int32_t mode,
                   TextArg salt);
void Randomise(std::int32_t seed);
QString RandomStr(std::int32_t length, std::int32_t mode);

// Dates
QString PHPDate(double date, TextArg format);
double DSTAdjust(double date);
QString VBDate(double date);
double VBDateToCTime(double date);
double CTimeToVBDate(double seconds);
QString DateToHex(double date);
double HexToDate(TextArg hex);

// IPv4
double IPToLong(TextArg address);
QString LongToIP(double value);
std::int16_t MatchCIDR(TextArg block, TextArg address);
std::int16_t IPMatch(TextArg pattern, TextArg address);

// Files
std::int16_t FileExists(TextArg path);
QString GetWindowsDir();
QString _readfile(TextArg path, std::int32_t flags);
std::int32_t GetArrayDimensions(Variant &variant);
Variant ListFiles(TextArg folder, TextArg patterns, std::int32_t flags);

// Disks (GetDiskSize: the value times 10,000, a currency value)
double DiskFree(TextArg drive);
std::int16_t IsValidDisk(TextArg drive);
std::int16_t IsHardDisk(TextArg drive);
std::int16_t IsCDROMDisk(TextArg drive);
std::int64_t GetDiskSize(TextArg drive, std::int32_t flags);
std::int32_t GetDiskSizeMb(TextArg drive);
double GetDiskSizeGb(TextArg drive);

// Memory
double GetTotalPhysicalMemory();
double GetAvailablePhysicalMemory();
double GetTotalVirtualMemory();
double GetAvailableVirtualMemory();
double GetTotalSwapfileMemory();
double GetAvailableSwapfileMemory();

// Run-length compression. Both raise RigError 5 when the length they would make the library
// read exceeds the text passed.
QString RLECompress(TextArg text, std::int32_t length, std::int32_t &packedLength);
QString RLEUncompress(TextArg packed, std::int32_t &packedLength);

}  // namespace qor
