/*
 * qorlib145.h -- public interface of the qorlib145 utility library.
 *
 * qorlib145 offers text, number, hexadecimal, Base64, weak-encryption, random-text,
 * PHP-style date, IPv4/CIDR, disk, memory, file-listing and run-length-compression
 * functions behind a plain C ABI, so that programs in any language can load it at run
 * time and call its exports by name.
 *
 * CONVENTIONS THAT HOLD FOR EVERY EXPORT
 *
 * Kinds
 *   byte      uint8_t
 *   integer   int16_t or int32_t, signed, as each prototype says
 *   single    float (IEEE 754 binary32)
 *   double    double (IEEE 754 binary64)
 *   date      double: days since 1899-12-30 00:00:00, the fraction being the time of
 *             day; 25569.0 is 1970-01-01 00:00:00. A date is local wall-clock time.
 *   currency  int64_t holding the value times 10,000 (four implied decimals).
 *   yes/no    int16_t: 0 means no; the library returns QOR_YES (-1) for yes and
 *             treats any non-zero argument as yes.
 *
 * Texts passed in ("text by value")
 *   A pointer to a NUL-terminated 8-bit buffer owned by the caller. A function reads it
 *   up to its first NUL unless it also takes a length argument, and never writes past
 *   that length. Only functions whose parameter is `char *` (not `const char *`) write
 *   into the buffer. A null pointer is a "null text": every function accepts it without
 *   crashing and, unless its documentation says otherwise, treats it like an empty text.
 *
 * Texts returned ("text results")
 *   A `qor_text *`: a counted 8-bit string that may contain NUL bytes, newly allocated
 *   by the library and owned by the caller from then on. Release it with
 *   qor_text_free(). A result is never NULL except when memory runs out.
 *
 * Texts passed by reference
 *   A `qor_text **`: the caller passes the address of its own qor_text pointer, made
 *   with qor_text_new() (or NULL for a null text). The function may release the text
 *   with qor_text_free() and store a new one in its place; the caller releases whatever
 *   the pointer holds afterwards.
 *
 * Variants
 *   A qor_variant is either empty or a one-dimensional array of texts with a lower
 *   bound (other kinds exist for callers that build their own). Functions that return
 *   a variant fill a caller-provided qor_variant through a result pointer; release its
 *   content with qor_variant_clear().
 *
 * Positions count from 1; 0 means "not found". Hexadecimal text is upper case, two
 * digits per byte, no separators. Case-insensitive comparisons fold ASCII and Latin-1
 * letters.
 *
 * Drives and paths
 *   File and drive functions accept native paths ("/etc/hosts") and drive paths
 *   ("c:\boot.ini", "C:/temp/x.tmp"). A drive letter, in either case, maps to a
 *   directory: C to "/" unless the environment variable QORLIB_DRIVES gives the map,
 *   for example "C=/srv/c;D=/media/cdrom". A letter the map does not name is no drive.
 *   In drive paths "\" and "/" both separate folders.
 *   On Windows paths are the system's own and drive letters are the real drives: the
 *   map is not read. Each Latin-1 byte of a path reaches the system's wide file API as
 *   the character of the same number (0xE9 as U+00E9, e acute), and a name that Latin-1
 *   cannot write comes back with "?" for each such character.
 *
 * Threads: every export may be called from any thread, except that Randomise() and
 * RandomStr() share one generator and must not be called concurrently.
 */
#ifndef QORLIB145_H
#define QORLIB145_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#if defined(QORLIB145_BUILDING)
#define QOR_API __declspec(dllexport)
#else
#define QOR_API __declspec(dllimport)
#endif
#else
#define QOR_API __attribute__((visibility("default")))
#endif

/* The version this header describes. LibVersion() reports the version of the library
 * actually loaded, which may be newer. */
#define QORLIB145_VERSION "1.25"
#define QORLIB145_VERSION_NUMBER 125

#define QOR_YES ((int16_t)-1)
#define QOR_NO ((int16_t)0)

/* ------------------------------------------------------------------------------------
 * Memory: texts and variants
 * ---------------------------------------------------------------------------------- */

/* A counted 8-bit string. `data` points to `length` bytes followed by one NUL byte;
 * the bytes may themselves contain NULs. Treat both fields as read-only. */
typedef struct qor_text {
    size_t length;
    char *data;
} qor_text;

/* The longest text the library makes: 1 GiB. A result that would be longer is
 * treated as running out of memory (NULL). */
#define QOR_TEXT_MAX ((size_t)1 << 30)

/* Allocates a text holding a copy of `length` bytes at `bytes` (zero bytes when `bytes`
 * is NULL). Returns NULL when memory runs out or `length` exceeds QOR_TEXT_MAX. */
QOR_API qor_text *qor_text_new(const void *bytes, size_t length);

/* Releases a text made by the library or by qor_text_new(). NULL is ignored. The library
 * keeps the memory of the last text of 32 to 64 MiB released for its next result of that
 * size, so that a caller making many such results does not map fresh memory for each; it
 * is returned to the system when the library is unloaded. */
QOR_API void qor_text_free(qor_text *text);

enum {
    QOR_VARIANT_EMPTY = 0,     /* no value */
    QOR_VARIANT_INT32 = 1,     /* int32_value */
    QOR_VARIANT_DOUBLE = 2,    /* double_value */
    QOR_VARIANT_TEXT = 3,      /* text (may be NULL for a null text) */
    QOR_VARIANT_TEXT_ARRAY = 4 /* count texts in items[0..count-1], indexed from lower_bound */
};

typedef struct qor_variant {
    int32_t type; /* one of QOR_VARIANT_* */
    int32_t lower_bound;
    int32_t count;
    int32_t int32_value;
    double double_value;
    qor_text *text;
    qor_text **items;
} qor_variant;

/* Releases everything a variant owns and leaves it empty (all fields zero): its text and
 * every element with qor_text_free(), and the `items` array itself with the C library's
 * free(), so a caller that builds an array variant allocates `items` with malloc() or
 * calloc(). NULL is ignored. */
QOR_API void qor_variant_clear(qor_variant *variant);

/* ------------------------------------------------------------------------------------
 * Library and system
 * ---------------------------------------------------------------------------------- */

/* The library's version with the decimal point removed: 125 means 1.25. */
QOR_API int32_t LibVersion(void);

/* The operating system's name and release, for example "Linux 6.1.0-18-amd64".
 * Never empty: "Unknown" when the system cannot tell.
 * Windows: "Windows " and major.minor.build as RtlGetVersion reports them, which no
 * compatibility setting of the calling program changes ("Windows 10.0.19045"). */
QOR_API qor_text *WindowsVersion(void);

/* The distribution's name (PRETTY_NAME of /etc/os-release), or else the kernel's build
 * text. Never empty: "Unknown" when neither can be read.
 * Windows: the product type, "Workstation", "Server" or "Domain controller", followed by
 * ", " and the service pack when one is installed ("Workstation, Service Pack 1"). */
QOR_API qor_text *WindowsSubVersion(void);

/* The calling process's id. */
QOR_API int32_t GetPID(void);

/* The resident memory (resident set size) of process `pid` in bytes, read from /proc.
 * -1 when it cannot be read: no such process, no permission, or pid <= 0. A figure of
 * 2 GiB or more does not fit the result and is reported as INT32_MAX (2147483647).
 * Windows: the process's working set (GetProcessMemoryInfo). */
QOR_API int32_t GetProcessMemoryUsed(int32_t pid);

/* ------------------------------------------------------------------------------------
 * Text
 * ---------------------------------------------------------------------------------- */

/* A new text holding the bytes of `text` in reverse order ("abc" gives "cba"). The
 * argument is left unchanged. A null or empty text gives an empty text. */
QOR_API qor_text *StrRev(const char *text);

/* The position of the first (InChr) or last (InChrRev) byte of `text` equal to `code`,
 * from 1; 0 when there is none. A code outside 1..255 is never found (0 would be the
 * terminator; no sign or wrap-around: -1 is not byte 255). A null text finds nothing. */
QOR_API int32_t InChr(const char *text, int16_t code);
QOR_API int32_t InChrRev(const char *text, int16_t code);

/* The position of the first occurrence of `find` in `text`, from 1, comparing ASCII and
 * Latin-1 letters without regard to case; 0 when absent or when `find` is empty or null. */
QOR_API int32_t InStrI(const char *text, const char *find);

/* The position where the last occurrence of `find` in `text` starts, from 1, case
 * sensitive; 0 when absent or when `find` is empty or null. Occurrences may overlap:
 * "aa" in "aaaa" is at 3. */
QOR_API int32_t InStrRev(const char *text, const char *find);

/* A new text: `text` without every leading (StripL) or trailing (StripR) copy of the
 * first character of `character`; its other characters are ignored. An empty or null
 * `character` leaves the text as it is. StripL("hhhello world", "h") is "ello world". */
QOR_API qor_text *StripL(const char *text, const char *character);
QOR_API qor_text *StripR(const char *text, const char *character);

/* A new text: `text` without its leading (StripLStr) or trailing (StripRStr) characters
 * that occur anywhere in `set`. An empty or null set leaves the text as it is.
 * StripLStr("hello world", "qleh") is "o world". */
QOR_API qor_text *StripLStr(const char *text, const char *set);
QOR_API qor_text *StripRStr(const char *text, const char *set);

/* A new text: `subject` with every occurrence of `find` replaced by `replacement`,
 * case sensitive, left to right without overlaps ("aaa", "aa", "b" gives "ba"); the
 * inserted text is not searched again. An empty or null `find` returns the subject
 * unchanged; a null replacement is empty. NULL when the result would exceed
 * QOR_TEXT_MAX (reported as running out of memory). */
QOR_API qor_text *Replace(const char *subject, const char *find, const char *replacement);

/* ------------------------------------------------------------------------------------
 * Hexadecimal
 * ---------------------------------------------------------------------------------- */

/* Every byte of `text` as two upper-case hexadecimal digits, without separators:
 * "Hello World" gives "48656C6C6F20576F726C64". A null or empty text gives "". */
QOR_API qor_text *StringToHex(const char *text);

/* The reverse of StringToHex: each pair of hexadecimal digits (either case) becomes one
 * byte, NUL included. Decoding ends at the first character that is not a hex digit and
 * before an odd last digit ("4865A" gives "He"); no prefix is accepted. */
QOR_API qor_text *HexToStr(const char *hex);

/* `value` as two upper-case hexadecimal digits: 42 gives "2A", 0 gives "00". */
QOR_API qor_text *CharToHex(uint8_t value);

/* The value of the one or two hexadecimal digits (either case) that `hex` starts with;
 * a third digit is not read ("123" gives 0x12). 0 when the text does not start with a
 * digit: nothing is skipped before it ("QF", tab + "F", "", null all give 0). */
QOR_API uint8_t HexToChar(const char *hex);

/* The 16 bits of `value` as four upper-case hexadecimal digits: 23457 gives "5BA1",
 * -1 gives "FFFF". */
QOR_API qor_text *IntToHex(int16_t value);

/* `value` rounded to a whole number (halves away from zero), taken modulo 2^32, as eight
 * upper-case hexadecimal digits: 32766 gives "00007FFE", -1 gives "FFFFFFFF",
 * 4294967296 gives "00000000". Every finite value has an answer; NaN and the infinities
 * give "00000000". */
QOR_API qor_text *LongToHex(double value);

/* The unsigned value of the hexadecimal digits (either case) at the start of `hex`:
 * HexToLong reads at most 8 digits, HexToDouble at most 16; digits beyond are ignored,
 * as is everything from the first non-digit on. Blanks (space, tab) before the digits
 * and one "0x", "0X", "&H" or "&h" prefix are skipped; no sign is accepted. A text
 * without leading digits gives 0. HexToLong("FFFFFFFF") is 4294967295; HexToDouble gives
 * the double nearest to the value, so "7FFFFFFFFFFFFFFF" gives 9223372036854775808. */
QOR_API double HexToLong(const char *hex);
QOR_API double HexToDouble(const char *hex);

/* ------------------------------------------------------------------------------------
 * Base64
 * ---------------------------------------------------------------------------------- */

/* Base64 (standard alphabet A-Z a-z 0-9 + /, "=" padding) of every byte of *text, all
 * `length` bytes, NULs included. When line_length > 0 a CR LF follows every line_length
 * output characters, but not the last line; line_length <= 0 gives a single line. The
 * argument is only read: *text is neither changed nor replaced. A null `text` or *text is
 * empty and gives "". NULL when the encoding would exceed QOR_TEXT_MAX. */
QOR_API qor_text *EncodeString64(qor_text **text, int32_t line_length);

/* The bytes that the Base64 text *text encodes. CR, LF, blanks and every other character
 * outside the alphabet are skipped; decoding stops at the first "="; bits left over after
 * the last whole byte are ignored, so a missing padding is harmless. *count receives the
 * number of bytes decoded (0 when memory runs out); `count` may be NULL. *text is neither
 * changed nor replaced. DecodeString64(EncodeString64(x)) is x for every byte string. */
QOR_API qor_text *DecodeString64(qor_text **text, int32_t *count);

/* ------------------------------------------------------------------------------------
 * Numbers
 * ---------------------------------------------------------------------------------- */

/* The smaller (Min) or larger (Max) of two 16-bit values. */
QOR_API int16_t Min(int16_t a, int16_t b);
QOR_API int16_t Max(int16_t a, int16_t b);

/* The greatest common divisor of |a| and |b|, never negative except in one case:
 * Gcd(18181818, 66666) is 6, Gcd(x, 0) is |x|, Gcd(0, 0) is 0. The only divisor that does
 * not fit an int32_t, 2147483648 (for -2147483648 with 0 or with itself), is returned as
 * its 32-bit pattern, -2147483648; read the result as unsigned to cover it. */
QOR_API int32_t Gcd(int32_t a, int32_t b);

/* `value` written in `base` 2 to 36, digits 0-9 then A-Z, with "-" before a negative
 * value: BaseConv(666, 16) is "29A", BaseConv(-2147483648, 16) is "-80000000". Any other
 * base gives an empty text. */
QOR_API qor_text *BaseConv(int32_t value, int32_t base);

/* The value of the binary digits (0 and 1) at the start of `digits`, after blanks (space,
 * tab); anything from the first other character on is ignored ("1001001" gives 73, "12"
 * gives 1, "" gives 0; no sign). The result is the low 32 bits of that number read as a
 * two's-complement int32_t: 32 ones give -1, and of a longer number only its last 32
 * digits count. */
QOR_API int32_t BinToDec(const char *digits);

/* Mki, Mkl, Mkf and Mkd return the little-endian bytes of a 16-bit integer, a 32-bit
 * integer, a single and a double: 2, 4, 4 and 8 bytes (Mki(6666) is 0A 1A). Cvi, Cvl, Cvf
 * and Cvd read a value back from the first 2, 4, 4 or 8 bytes of `bytes`; missing bytes,
 * a null or an empty text read as 0, extra bytes are ignored. Because a text passed by
 * value ends at its first NUL, every byte from a NUL on reads as 0: round trips are exact
 * when the packed bytes hold no NUL (Mkl(1818181818), Mkf(66666.664f) and
 * Mkd(6666666666.666) do; Mki(256) does not and reads back 0). */
QOR_API qor_text *Mki(int16_t value);
QOR_API int16_t Cvi(const char *bytes);
QOR_API qor_text *Mkl(int32_t value);
QOR_API int32_t Cvl(const char *bytes);
QOR_API qor_text *Mkf(float value);
QOR_API float Cvf(const char *bytes);
QOR_API qor_text *Mkd(double value);
QOR_API double Cvd(const char *bytes);

/* ------------------------------------------------------------------------------------
 * Number formatting
 * ---------------------------------------------------------------------------------- */

/* `number` written with its whole part grouped by "," every three digits and exactly
 * `decimals` decimals after a ".". The text may be of any length: an optional "-" or "+",
 * digits, and optionally "." and more digits (".5" and "5." are read too), with blanks
 * (spaces, tabs) around it. Extra decimals are rounded half away from zero, missing ones
 * padded with "0"; leading zeros of the whole part are dropped; a result that rounds to
 * zero carries no "-". `decimals` outside 0..15 is clamped to that range (0: no ".").
 * "1234567890123456789012345678901.234" with 3 gives
 * "1,234,567,890,123,456,789,012,345,678,901.234". A text that is not such a number
 * (exponents included: "1e5") is returned unchanged; a null text gives "". */
QOR_API qor_text *CommaStr(const char *number, int32_t decimals);

/* `value` as CommaStr() writes it: rounded half away from zero to `decimals` places
 * (0..15; others clamped), "," between groups of three, "." before the decimals, "-"
 * for negatives (never "-0"). The rounding works on the shortest decimal text that reads
 * back as the same double, so 2.675 with 2 gives "2.68" and 1234567.8915 with 3 gives
 * "1,234,567.892", as written, although neither double is exactly that decimal.
 * NaN gives "NaN", the infinities "Infinity" and "-Infinity". */
QOR_API qor_text *Comma(double value, int32_t decimals);

/* The English ordinal suffix of `value`: "st", "nd", "rd" or "th" (1st, 2nd, 3rd, 4th,
 * 11th, 12th, 13th, 21st, 111th, 0th). A negative value takes the suffix of its
 * magnitude (-1 gives "st", -32768 "th"). */
QOR_API qor_text *NumOrd(int16_t value);

/* ------------------------------------------------------------------------------------
 * Bits
 * ---------------------------------------------------------------------------------- */

/* Packs a number written as text into half as many bytes: each character becomes a 4-bit
 * code, digits 0-9 the codes 1-10, "." 11, "+" 12, "-" 13, "E" and "e" both 14; two codes
 * make a byte, the first character in the high half. An odd count is padded with the code
 * 15. No packed byte is ever NUL, so the result can itself be passed on as a text:
 * "0.12345656789" and "+0.12345656789" both pack into 7 bytes. Any sequence of those
 * characters packs (the text need not be a well-formed number). A text holding any other
 * character, an empty text and a null text give an empty text. `flags` is reserved: pass
 * 0; other values act like 0. Returns a new text, NULL only when memory runs out. */
QOR_API qor_text *BitPack(const char *number, int32_t flags);
/* The reverse of BitPack(): turns each byte of `packed` back into two characters, the high
 * half first, and stops at the first pad code (15) or unused code (0), so a pad in the
 * middle ends the number. The exponent code comes back as "E", also where "e" was packed.
 * An empty or null text gives an empty text. `flags` is reserved: pass 0; other values act
 * like 0. Returns a new text, NULL only when memory runs out. */
QOR_API qor_text *BitUnPack(const char *packed, int32_t flags);
/* Returns *value rotated by half its width (16 bits for RotateLong, 8 for RotateInt, 4 for
 * RotateByte), so that rotating the result again gives the value back: RotateLong of
 * 987654321 is 1756445406, of 1 is 65536; -1 and 0 stay as they are. The value is passed
 * by reference but left unchanged. A null pointer gives 0. */
QOR_API int32_t RotateLong(int32_t *value);
QOR_API int16_t RotateInt(int16_t *value);
QOR_API uint8_t RotateByte(uint8_t *value);

/* ------------------------------------------------------------------------------------
 * Web
 * ---------------------------------------------------------------------------------- */

/* The form encoding of web pages: A-Z, a-z, 0-9, "-", "_", "." and "~" stay as they are, a
 * blank becomes "+", every other byte "%XX" with upper-case hex digits (Latin-1 bytes
 * included: 0xE9 becomes "%E9"). " #$%&/;:<=>?@[^`{|}~" gives
 * "+%23%24%25%26%2F%3B%3A%3C%3D%3E%3F%40%5B%5E%60%7B%7C%7D~". A null text gives an empty
 * text. Returns a new text, NULL only when memory runs out. */
QOR_API qor_text *URLEncode(const char *text);
/* The reverse of URLEncode(): "+" becomes a blank and "%XX", with hex digits in either case,
 * the byte XX ("%00" gives a NUL byte inside the counted result). A "%" not followed by two
 * hex digits, also one at the very end, is kept as it is; every other byte is copied.
 * A null text gives an empty text. Returns a new text, NULL only when memory runs out. */
QOR_API qor_text *URLDecode(const char *text);

/* ------------------------------------------------------------------------------------
 * Encryption and random text
 * ---------------------------------------------------------------------------------- */

/* Scrambles the first `length` bytes of `buffer` in place with a keystream made from
 * `password` (read up to its NUL) and `salt`. THIS IS NOT CRYPTOGRAPHY: it keeps a text
 * from being read at a glance and nothing more; anyone with the output can recover the
 * input without the password. Use a real cipher for anything that matters.
 *   - Symmetric: a second call with the same arguments gives the text back exactly.
 *   - NUL bytes stay NUL, and no other byte becomes NUL, so a text without NULs stays
 *     without NULs and can still be read up to its terminator. (Each position maps a byte
 *     x with keystream byte k to x ^ k, except that 0 and k are left as they are; that
 *     map is its own inverse.)
 *   - Every byte of the password, and of the salt, changes the result.
 *   - Bytes past `length` are never read or written. The caller must make sure the
 *     buffer holds at least `length` bytes; the terminator is not needed. A length of 0
 *     or less, a null buffer, or a null or empty password leaves everything unchanged.
 *   - `mode`: -1 is the default cipher; every other value currently selects the same
 *     cipher (reserved for future ciphers).
 *   - `salt`: mixed into the keystream; null or "" means no salt.
 * The password and salt are read completely before the buffer changes, so they may
 * point into the buffer. */
QOR_API void EncryptString(char *buffer, int32_t length, const char *password, int32_t mode,
                           const char *salt);

/* Seeds the random generator of RandomStr() (xoshiro256**). 0 seeds it from the
 * system's entropy source (std::random_device, with the clock as a fallback); any other
 * value makes the sequence of texts reproducible: the same seed gives the same texts.
 * Without a call, the generator seeds itself from entropy on first use. */
QOR_API void Randomise(int32_t seed);

/* A random text of exactly `length` characters; 0 or less gives "". Lengths above
 * 16 MiB (16777216) are clamped to 16 MiB. `mode` picks the characters:
 *   0 letters A-Z and a-z        1 lower case a-z            2 upper case A-Z
 *   3 digits 0-9                 4 printable ASCII 33..126 (no space)
 *   5 any byte 1..255 (never NUL)                            6 upper-case hex 0-9 A-F
 *   8 letters in runs: each run repeats one letter 1 to 12 times, and neighbouring runs
 *     use different letters, so that run-length compression has something to find.
 *   7 and any other value: as 0.
 * Every character of the set is equally likely. Returns NULL only when memory runs out. */
QOR_API qor_text *RandomStr(int32_t length, int32_t mode);

/* ------------------------------------------------------------------------------------
 * Dates
 * ---------------------------------------------------------------------------------- */

/* How the date functions read a date value: as local wall-clock time, proleptic
 * Gregorian, rounded to the nearest millisecond (so 37143.07407407407, a hair below
 * 01:46:40, reads as 2001-09-09 01:46:40.000). Below zero the whole part counts days back
 * from 1899-12-30 and the fraction is still the time of day: -1.25 is 1899-12-29 06:00.
 * The text functions accept every value from 0100-01-01 00:00:00 to 9999-12-31 23:59:59.999
 * (after rounding); any other value, NaN or an infinity gives an empty text. Dates before
 * 1970 and after 2038 work like any other: the library uses 64-bit time. */

/* `date` formatted with the letters of PHP's date(), as PHP 8 writes them for a whole
 * second, in the local time zone of the process (TZ included, read afresh on every call;
 * with TZ unset, a change of the system's zone shows within a second):
 *   day     d (01-31)  D (Mon)  j (1-31)  l (Monday)  N (1 = Monday .. 7)  S (st nd rd th)
 *           w (0 = Sunday .. 6)  z (day of the year from 0)
 *   week    W (ISO 8601 week, 01-53)      o (ISO 8601 week-numbering year)
 *   month   F (January)  m (01-12)  M (Jan)  n (1-12)  t (days in the month)
 *   year    L (1 leap, else 0)  X (+2001)  x (2001)  Y (2001, at least 4 digits)  y (01)
 *   time    a (am/pm)  A (AM/PM)  B (Swatch beats)  g (1-12)  G (0-23)  h (01-12)
 *           H (00-23)  i (minutes)  s (seconds)  u (microseconds)  v (milliseconds)
 *   zone    e (zone name)  I (1 in daylight-saving time)  O (+0200)  P (+02:00)
 *           p (like P, "Z" in UTC)  T (abbreviation: CEST, or +03 where the zone has no
 *           letters)  Z (offset in seconds)
 *   whole   c (2001-09-09T01:46:40+00:00)  r (Sun, 09 Sep 2001 01:46:40 +0000)
 *           U (seconds since 1970-01-01 00:00:00 UTC)
 *   ours    C the C asctime() form without its line break: "Sun Sep  9 01:46:40 2001"
 *           (day padded with a blank, the year as it is).
 * u and v show the value's milliseconds (PHP's date() always writes zeros there): u is
 * the milliseconds times 1000 in 6 digits, v the milliseconds in 3.
 * The zone name e is TZ without a leading ":" (the part after "zoneinfo/" of a path), or,
 * without TZ, the name in /etc/timezone or the zone /etc/localtime links to; else "UTC".
 * The zone letters, B and U read the wall clock in the local zone. A wall-clock time the
 * clocks skip is read with the offset before the change and so shows the hour after it
 * (02:30 on a spring-forward night shows 03:30); an ambiguous one is resolved as PHP does.
 * A backslash makes the next byte literal; any other byte that is no letter above is
 * copied. A lone backslash at the very end is copied as a backslash (PHP writes a NUL
 * byte there, which would cut any text that carries the result).
 * format NULL means "Y-m-d H:i:s"; an empty format gives an empty text. A date outside
 * 0100-01-01 .. 9999-12-31, NaN or an infinity gives an empty text. The result belongs to
 * the caller; NULL only when memory runs out or it would exceed QOR_TEXT_MAX.
 * Windows: the local zone is the system's (the Win32 zone API; TZ and the C runtime's zone
 * are not read), with the rules Windows keeps for each year: years before 1601 take the
 * earliest ones, and where Windows keeps no history of a zone its rules of today hold for
 * every year (Berlin had no summer time in 1970; Windows does not know). A change of the
 * system's zone shows in the next call. e is the Windows zone's key name ("W. Europe
 * Standard Time"). Windows has no zone abbreviations: T is "UTC" in the zone named UTC and
 * else the offset as zones without letters show it ("+01", "+0530"), so p gives "Z" in the
 * zone named UTC only. */
QOR_API qor_text *PHPDate(double date, const char *format);

/* `date` moved forward by the daylight-saving offset in force at that local moment: the
 * zone's offset then minus the offset of the nearest standard-time period (normally one
 * hour; negative for a zone whose winter time is its daylight-saving time). That period
 * may lie any distance away (summer time kept through several years; the earlier one when
 * two are as near); where the zone's data lists its changes they are followed, and where a
 * yearly rule holds, standard time is looked for within 13 months. Outside daylight-saving
 * time, in zones without it or with no standard time found, and for dates outside
 * 0100-01-01 .. 9999-12-31 (NaN, infinities), `date` comes back unchanged.
 * Windows: the zone and its rules as PHPDate() reads them there. */
QOR_API double DSTAdjust(double date);

/* `date` as "yyyy-mm-dd hh:nn:ss" (ISO 8601 with a blank, 24-hour clock, seconds cut,
 * not rounded, after the millisecond reading above): 37143.07407407407 gives
 * "2001-09-09 01:46:40". Outside 0100-01-01 .. 9999-12-31, NaN or an infinity: an empty
 * text. The result belongs to the caller; NULL only when memory runs out. */
QOR_API qor_text *VBDate(double date);

/* Seconds from 1970-01-01 00:00:00 to the wall-clock value read as UTC (no zone, no
 * daylight-saving shift), rounded to the nearest second: 25569.0 gives 0,
 * 37143.07407407407 (2001-09-09 01:46:40) gives 1000000000. Any finite value is converted
 * by the same arithmetic; NaN and infinities come back unchanged. */
QOR_API double VBDateToCTime(double date);

/* The reverse of VBDateToCTime(): the date value nearest to 25569 + seconds / 86400 (in
 * the negative form above before 1899-12-30). NaN and infinities come back unchanged. */
QOR_API double CTimeToVBDate(double seconds);

/* The 8 bytes of the double `date` in little-endian order as 16 upper-case hexadecimal
 * digits: 37143.07407407407 gives "B497D05EE222E240". Every value, NaN included, has its
 * text. The result belongs to the caller; NULL only when memory runs out. */
QOR_API qor_text *DateToHex(double date);

/* The reverse of DateToHex(): the double whose bytes the 16 hexadecimal digits (either
 * case) give, bit for bit. A text that is not exactly 16 hexadecimal digits (NULL, empty,
 * shorter, longer, a blank or any other byte) gives 0. */
QOR_API double HexToDate(const char *hex);

/* ------------------------------------------------------------------------------------
 * IPv4
 * ---------------------------------------------------------------------------------- */

/* A dotted IPv4 address as its unsigned 32-bit value (0..4294967295) in a double.
 * One to four parts, each one to three decimal digits with a value 0..255 (leading zeros
 * are decimal: "010" is 10); a partial address, with or without a final ".", reads its
 * missing trailing parts as 0: "192." gives 3221225472, "10.1" gives 167837696.
 * Anything else gives -1: an empty or null text, blanks anywhere (" 1.2.3.4"), signs,
 * empty parts ("1..2.3"), a fifth part or a "." after the fourth, a part above 255 or
 * longer than three digits, or any other character. */
QOR_API double IPToLong(const char *address);

/* The dotted text of `value`, a whole number 0..4294967295 ("192.168.2.101"). Any other
 * value (fractions, negatives, larger values, NaN, infinities) gives "". */
QOR_API qor_text *LongToIP(double value);

/* Yes when `address` lies in `block`. The block is "a.b.c.d/n" with n 0..32 (one or two
 * digits); its host bits are ignored ("192.168.13.66/16" holds 192.168.2.1). The address
 * part of the block may be partial ("10/8"). A block without "/n" takes its prefix from
 * the parts written, eight bits each: "192." is 192.0.0.0/8, a full address is /32.
 * The address must be complete (four parts, as IPToLong() reads them). An empty, null or
 * malformed block or address, or n outside 0..32, gives no. */
QOR_API int16_t MatchCIDR(const char *block, const char *address);

/* Yes when `address` matches the wildcard `pattern`, part by part between the dots.
 * Within a part "*" matches any run of digits (so "*" alone matches any part), "?" exactly
 * one digit, and every other character itself. Each address part is compared in its
 * plain decimal form ("010" as "10"). A pattern with fewer than four parts, or ending in
 * ".", leaves the remaining parts free: "192." matches 192.2.8.1, and "*" alone matches
 * every valid address. An empty pattern or one with more than four parts matches
 * nothing, and an address that is not a complete valid address (see MatchCIDR()) never
 * matches. */
QOR_API int16_t IPMatch(const char *pattern, const char *address);

/* ------------------------------------------------------------------------------------
 * Files
 * ---------------------------------------------------------------------------------- */

/* Yes (-1) when `path` (native or drive path) names a regular file, or a link to one;
 * no (0) for folders, devices, FIFOs, missing files, unmapped drives, null and empty.
 * The last part of the path may hold "*" and "?" wildcards ("C:\*.sys"): yes when a
 * regular file in that folder matches, names compared without regard to case. Folder
 * parts are taken literally. A name without wildcards must match exactly.
 * Windows: a name without wildcards is compared as the file system compares (without
 * regard to case). The wildcards are the library's, as above, not the system's: they do
 * not match short 8.3 names, and "*.*" wants a dot. Device names ("NUL", "CON", "COM1",
 * also inside a folder: "C:\temp\nul") and the device namespace ("\\.\") are no
 * files. */
QOR_API int16_t FileExists(const char *path);

/* The system folder: the environment variable QORLIB_WINDIR when it is set and not
 * empty, else "/etc/". Always ends in a separator ("/" is appended unless it already
 * ends in "/" or "\"), so a file name can be appended directly.
 * Windows: the Windows folder (GetWindowsDirectoryW) with a "\": "C:\Windows\";
 * QORLIB_WINDIR is not read. */
QOR_API qor_text *GetWindowsDir(void);

/* The whole content of the regular file `path` (native or drive path), every byte, NULs
 * included. A missing or unreadable file, a folder, a device, a FIFO (never waited for),
 * an unmapped drive, a null or empty path, and a file larger than 64 MiB all give an
 * empty text (a larger file is not read at all rather than cut short). `flags` is
 * reserved: every value reads as 0. NULL only when memory runs out.
 * Windows: devices, as FileExists() names them, are refused without being opened. */
QOR_API qor_text *_readfile(const char *path, int32_t flags);
/* The number of dimensions of a variant: 1 for a text array (also one without elements),
 * 0 for an empty variant, a scalar, an unknown kind or a null pointer. */
QOR_API int32_t GetArrayDimensions(const qor_variant *variant);
/* Lists the regular files directly in `folder` (a drive path such as "c:\" or a native
 * path; subfolders are not searched) whose names match any pattern of `patterns`, a
 * comma-separated list such as "*.sys, *.ini" ("*" any run of characters, "?" one
 * character, letter case ignored, blanks around each pattern ignored, empty patterns
 * skipped). A symbolic link counts as what it points to: a link to a regular file is
 * listed under the link's name, a broken link or a link to a folder is not.
 *
 * `*result` receives a QOR_VARIANT_TEXT_ARRAY with lower bound 0 holding the names (not
 * paths), sorted without regard to letter case (names equal but for case in byte order),
 * or an empty variant when nothing matches, the pattern list is empty or holds only
 * commas and blanks, or the folder cannot be read (unmapped drive, no such folder, not a
 * folder, no permission, a read error part-way, out of memory): a partial list is never
 * returned. `*result` is overwritten without being read or released: clear a variant
 * that holds something with qor_variant_clear() before passing it. The caller releases
 * the result with qor_variant_clear(). A null `result` does nothing; null `folder` or
 * `patterns` read as empty texts. `flags` is reserved: pass 0; other values act like 0.
 * Windows: the folder is a Windows path ("c:" alone is the current folder of drive C,
 * as Windows reads it); patterns match the names as Latin-1 gives them, "?" standing
 * for each character Latin-1 cannot write (see "Drives and paths"). */
QOR_API void ListFiles(qor_variant *result, const char *folder, const char *patterns,
                       int32_t flags);

/* ------------------------------------------------------------------------------------
 * Disks
 * ---------------------------------------------------------------------------------- */

/* Drive functions take a drive name: a letter in either case, optionally followed by ":"
 * and a "\" or "/" ("C", "c", "C:", "C:\" all name drive C). A drive is valid when its
 * letter is mapped (see "Drives and paths") to a directory that exists; anything else,
 * the impossible name "&", a null or an empty text included, is no drive. Every figure is
 * that of the file system holding the mapped directory, read afresh on each call.
 * Windows: the drives are the system's drive letters (GetDriveTypeW), whether or not a
 * medium is in them, and the figures those of GetDiskFreeSpaceExW; a drive without a
 * medium is valid but has no figures (as for no drive: -1). Optical drives are those
 * Windows reports as CD-ROM drives (DVD and Blu-ray drives included). */

/* The bytes of the drive's file system that the calling user may still write (what
 * statvfs reports as available to unprivileged users). -1 for no drive. */
QOR_API double DiskFree(const char *drive);
/* Yes (-1) when `drive` names a valid drive, else no (0). */
QOR_API int16_t IsValidDisk(const char *drive);
/* Yes (-1) for a valid drive whose file system is not an optical disc's (see
 * IsCDROMDisk); no (0) for an optical drive or no drive. */
QOR_API int16_t IsHardDisk(const char *drive);
/* Yes (-1) for a valid drive whose file system is an optical disc's: ISO 9660 or UDF.
 * No (0) for any other file system or no drive. */
QOR_API int16_t IsCDROMDisk(const char *drive);
/* A size of the drive's file system in bytes, as a currency value (bytes times 10,000).
 * flags 0: the bytes free to the caller, as DiskFree; any other value (callers pass -1):
 * the total size. -1 (raw -10000) for no drive. A size of 922,337,203,685,478 bytes or
 * more does not fit and is reported as INT64_MAX. */
QOR_API int64_t GetDiskSize(const char *drive, int32_t flags);
/* The total size of the drive's file system in whole MiB (rounded down); INT32_MAX when
 * it does not fit; -1 for no drive. */
QOR_API int32_t GetDiskSizeMb(const char *drive);
/* The total size of the drive's file system in GiB, with its fraction; -1 for no drive. */
QOR_API double GetDiskSizeGb(const char *drive);

/* ------------------------------------------------------------------------------------
 * Memory
 * ---------------------------------------------------------------------------------- */

/* Memory figures in bytes, read from the system on every call; -1 when the figure
 * cannot be read.
 * Windows: every figure is GlobalMemoryStatusEx's. Physical memory is ullTotalPhys and
 * ullAvailPhys; virtual memory the user-mode address space of the calling process,
 * ullTotalVirtual and ullAvailVirtual; the swap-file figures are the page-file figures,
 * ullTotalPageFile and ullAvailPageFile, which Windows counts as its commit limit
 * (physical memory plus page files) and the part of it not yet committed. */

/* The machine's usable RAM (MemTotal of /proc/meminfo). */
QOR_API double GetTotalPhysicalMemory(void);
/* The RAM available to new work without swapping, free and reclaimable caches together
 * (MemAvailable of /proc/meminfo). */
QOR_API double GetAvailablePhysicalMemory(void);
/* The address space the calling process may use: its address-space limit (RLIMIT_AS)
 * when one is set, else the user-space address range of the architecture (2^47 bytes on
 * x86-64, 2^48 on AArch64, 3 GiB on 32-bit systems). */
QOR_API double GetTotalVirtualMemory(void);
/* GetTotalVirtualMemory() minus the address space the process has mapped already
 * (VmSize of /proc/self/status); 0 when a limit below that size is set. */
QOR_API double GetAvailableVirtualMemory(void);
/* The machine's swap space (SwapTotal of /proc/meminfo); 0 without swap. */
QOR_API double GetTotalSwapfileMemory(void);
/* The unused swap space (SwapFree of /proc/meminfo); 0 without swap. */
QOR_API double GetAvailableSwapfileMemory(void);

/* ------------------------------------------------------------------------------------
 * Run-length compression
 * ---------------------------------------------------------------------------------- */

/* Packed texts use the PackBits format: a series of runs, each opening with a header
 * byte n read as signed. 0..127: the next n + 1 bytes are literal; -127..-1: the next byte
 * stands for 1 - n copies of itself; -128: no operation. */

/* Packs the first `length` bytes at `text` (NULs included: the text is read by length,
 * not up to a NUL; the buffer must hold that many bytes). Returns the packed text, owned
 * by the caller, and stores its size in *packed_length. The packing is the shortest
 * PackBits coding of each 64 KiB of input. Where several codings are equally short, it is
 * the one that, read from the start, takes the longest repeat run wherever a repeat run is
 * part of a shortest coding, and otherwise the longest literal run that is: "AAB" packs
 * as a repeat of "AA" and a literal "B", "ABBBC" as one literal run. A packed text is at
 * most length + ceil(length / 128) bytes, slightly longer than the input when nothing
 * repeats. A null text or a length of 0 or less gives an empty text and a packed length
 * of 0. `packed_length` may be NULL.
 * NULL (packed length 0) when memory runs out or the result would exceed QOR_TEXT_MAX. */
QOR_API qor_text *RLECompress(const char *text, int32_t length, int32_t *packed_length);
/* Unpacks exactly *packed_length bytes at `packed` (NULs included; nothing beyond them is
 * read) and stores the unpacked size in *packed_length. Returns the unpacked text, owned
 * by the caller. Malformed input never fails: a literal run cut short by the end of the
 * input yields the bytes present, a repeat header with no byte after it ends the text, and
 * -128 headers are skipped. A null pointer or a packed length of 0 or less gives an empty
 * text and a packed length of 0. An unpacked text is at most 64 times the packed size;
 * NULL (packed length 0) when memory runs out or it would exceed QOR_TEXT_MAX. */
QOR_API qor_text *RLEUncompress(const char *packed, int32_t *packed_length);

#ifdef __cplusplus
}
#endif

#endif /* QORLIB145_H */
