#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (all but the two RLE ones, whose seeds are
made separately): structured inputs at the edges each parser treats specially. Run by hand
after changing a target's input layout, and commit the output:

    python3 qorlib/fuzz/corpus/make_seeds.py

Each target's folder is replaced as a whole. The layouts are described at the top of
each fuzz_<name>.cpp.
"""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
NUL = b"\0"


def b(text):
    return text.encode("latin-1") if isinstance(text, str) else text


def f64(value):
    return struct.pack("<d", value)


def i32(value):
    return struct.pack("<i", value)


def write(target, seeds):
    folder = os.path.join(HERE, target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for index, seed in enumerate(seeds):
        with open(os.path.join(folder, f"seed-{index:03d}"), "wb") as file:
            file.write(b(seed))


def texts(*parts):
    return NUL.join(b(p) for p in parts)


# ---- Numbers and hexadecimal -------------------------------------------------------------

write("fuzz_bintodec", [
    "1001001", "12", "", " \t101", "1" * 32, "1" * 33, "0" * 40 + "1", "10" * 20, "-101",
    "+1", "0b101", "1 1", "\t\t", "1" * 31 + "0" * 8,
] + [texts("101", i32(v) + bytes([base % 256])) for v, base in [
    (666, 16), (-2147483648, 16), (2147483647, 36), (-1, 2), (0, 10), (35, 36), (5, 1),
    (5, 37), (5, 0), (5, -2), (-123456, 7)]])

def bits(mode, flags, text):
    return bytes([mode]) + i32(flags) + b(text)


write("fuzz_bitunpack", [bits(0, 0, t) for t in [
    b"\x12\x3f", b"\x1b\x23\x45\x67\x89\xaf", b"\xf1\x23", b"\x01\x23", b"\xe1\xd2\xc3",
    b"\xff", b"\x1f\x23", b"\xbc\xde\xbf", "0.12345656789", "+0.12345656789", "1e5",
    "-1.5E-3", "abc", "12345678901234567890"]] + [
    bits(1, 0, bytes(range(1, 240, 7))), bits(1, -1, bytes(range(239, 0, -3))),
    bits(1, 12345, b"\x05" * 301), bits(1, 0, b"\x01\x02\x03\xf5\x04\x05"),
    bits(0, 7, "-0.5e+10"), bits(1, 0, bytes(range(30)) + b"\xff")])

def comma(decimals, scaled, text):
    return bytes([decimals % 256, scaled]) + b(text)


write("fuzz_commastr", [comma(d, 0, n) for d, n in [
    (3, "1234567890123456789012345678901.234"), (2, "2.675"), (0, "-0.4"), (15, ".5"),
    (-1, "5."), (16, " +12 "), (2, "1e5"), (3, "--1"), (2, ""), (2, "   "), (1, "999.95"),
    (0, "0000123"), (127, "-0.000"), (-128, "\t-1234.5\t"), (4, "1.2.3"), (2, "+."),
    (2, "-0.005"), (0, "9" * 400 + ".5"), (15, "0." + "9" * 16), (3, "1234567.8915"),
    (1, "-0.05"), (2, "\t 1.005 \t")]] +
    [comma(d, 1, n) for d, n in [(1, "2.675"), (-1, "-5.5"), (-128, "12.5"), (127, "0.1")]] +
    [comma(d, 0, f64(v)) for d, v in [
        (2, 2.675), (3, 1234567.8915), (2, float("nan")), (2, float("inf")),
        (2, float("-inf")), (0, -0.0), (15, 1e308), (15, 5e-324), (0, 0.5), (0, -0.5),
        (2, -999.995), (15, 0.1), (0, 1e23), (15, 2.2250738585072014e-308), (1, 0.05),
        (0, 4503599627370496.5), (2, -1e-3)]])

write("fuzz_cv", [
    b"\x0a\x1a", b"\xba\x2d\x5f\x6c", struct.pack("<f", 66666.664), f64(6666666666.666),
    b"\x01\x00\x02", b"", b"\x01\x02\x03\x04\x00\x06\x07\x08", b"\xff" * 8, b"\x80",
    f64(float("nan")), f64(float("-inf")),
])

write("fuzz_hextochar", ["2A", "2a", "123", "QF", "\tF", "", "F", "fG", "0", "ff", " 1",
                         "0x1"])

write("fuzz_hextodate", [b"\0" + b(t) for t in [
    "B497D05EE222E240", "b497d05ee222e240", "000000000000F87F", "0000000000000080",
    "B497D05EE222E24", "B497D05EE222E2400", " B497D05EE222E24", "0x97D05EE222E240",
    "B497D05EE222E24G", b"B497D05E\0E22E240", "000000000000F07F", "0100000000000000"]] + [
    b"\x01" + bytes(range(16)), b"\x03" + bytes(range(100, 130)), b"\x01" + bytes(range(15)),
    b"\x01" + bytes(range(17)), b"\x03" + f64(37143.07407407407) + b"\x10" * 8,
    b"\x00" + f64(float("nan")), b"\x00" + b"\x01\x00\x00\x00\x00\x00\xf0\x7f",
    b"\x02" + f64(-0.0) + b"X"])

HEX_VALUES = ["7FFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFFF", "0x1F", "&hFF", "&HFF", " \t0X10",
              "0x", "-1", "12G4", "ffffffffffffffff", "1fffffffffffff", "20000000000001",
              "0x0x1", "", "x1", "00000000F", "FFFFFFFF", "123456789", "\t&HA", "0X",
              "&h", "  0000000000000000001"]
write("fuzz_hextodouble", HEX_VALUES)
write("fuzz_hextolong", HEX_VALUES + [texts("7FFE", f64(v)) for v in [
    32766.0, -1.0, 4294967296.0, 2.5, -2.5, 4294967295.5, -0.5, float("nan"), float("-inf"),
    1e300, -4294967296.5]] + [texts("", struct.pack("<q", (q << 12) | lo)) for q, lo in [
    (2, 0x5BA1), (-2, 0xFFFF), (4 * 4294967295 + 2, 0), (-(4 * 2147483648) - 2, 0x8000)]])

def hexstr(mode, at, junk, text):
    return bytes([mode, at >> 8, at & 255, junk]) + b(text)


write("fuzz_hextostr", [hexstr(0, 0, 0, t) for t in [
    "48656C6C6F20576F726C64", "4865A", "48656c6C", "00", "0001FF", "4G", "zz", "", "486",
    "aB" * 40, "0", "FFfF00ff", "48 65"]] + [
    hexstr(1, 0, 0, "Hello World"), hexstr(3, 5, 0, "\xff\x80\x01" * 20),
    hexstr(5, 17, ord("G"), "The quick brown fox jumped"), hexstr(5, 8, ord(" "), "a" * 40),
    hexstr(9, 63, 0, "0123456789abcdefghijklmnopqrstuvwxyz"), hexstr(13, 30, 0, "b" * 33),
    hexstr(7, 71, ord("x"), bytes(range(1, 100))), hexstr(1, 0, 0, bytes(range(1, 256)))])

# ---- Internet ------------------------------------------------------------------------------

write("fuzz_iptolong", [
    "192.168.2.101", "255.255.255.255", "256.0.0.0", "1.2.3.4.5", "192.", "10.1",
    "010.001.1.1", "1..2.3", " 1.2.3.4", "+1.2.3.4", "1234.1.1.1", "0.0.0.0", "4294967295",
    "1.2.3.4.", "", "1.2.3.999", ".1.2.3", "1.2.3.4 ", "0x1.2.3.4", "255.255.255.256"] + [
    texts("1.2.3.", f64(v)) for v in [3232236133.0, 4294967295.0, 4294967296.0, -1.0, 0.5,
                                      float("nan"), float("inf"), -0.0, 1e300, 255.0]] + [
    texts("1", i32(-1)), texts("0.0", i32(0x0a000001))])

write("fuzz_ipmatch", [b"\0" + texts(p, a) for p, a in [
    ("192.168.*.*", "192.168.2.101"), ("192.", "192.2.8.1"), ("*", "1.2.3.4"),
    ("1?2.*", "102.0.0.1"), ("1*2", "132.1.1.1"), ("", "1.2.3.4"),
    ("1.2.3.4.5", "1.2.3.4"), ("192.168.2.101", "192.168.2.101"), ("*.*.*.*", "256.1.1.1"),
    ("10.*", "010.0.0.1"), ("1.2.3.4", "1.2.3"), ("**.?*", "1.22.3.4"),
    ("*.*.*.*.", "1.2.3.4"), ("???.???.???.???", "255.255.255.255"), ("1.2.3.4", ""),
    ("1..", "1.2.3.4"), (".", "1.2.3.4"), ("192.168.2.101.", "192.168.2.101")]] + [
    bytes([1]) + texts("10.*", b"\x01\x00\x00\x0a"), bytes([3]) + texts("*.0.0.1", b"\x01\x00\x00\x0a"),
    bytes([5]) + texts(b"\x00\x02\x03\x00\x04\x05\x0b", b"\x65\x02\xa8\xc0"),
    bytes([7 | 8]) + texts(b"\x03\x03\x03\x00\x02", "192.168.2.101"),
    bytes([5 | 16]) + texts(b"\x00\x00\x00\x00", "10.0.0.1"),
    bytes([4]) + texts(b"\x04\x04\x04\x00\x04\x04\x00", "255.255.255.255")])

def cidr(shape, flip, parts, n, address):
    return bytes([shape]) + texts(bytes([flip, parts, n]), address)


write("fuzz_matchcidr", [b"\0" + texts(blk, a) for blk, a in [
    ("192.168.13.66/16", "192.168.2.1"), ("10/8", "10.1.2.3"), ("0.0.0.0/0", "1.2.3.4"),
    ("1.2.3.4/32", "1.2.3.4"), ("1.2.3.4/33", "1.2.3.4"), ("1.2.3.4/-1", "1.2.3.4"),
    ("192.", "192.1.1.1"), ("1.2.3.4/", "1.2.3.4"), ("1.2.3.4/032", "1.2.3.4"),
    ("1.2.3.4/1/2", "1.2.3.4"), ("256.0.0.0/8", "256.0.0.1"), ("1.2.3.0/24", "1.2.3"),
    ("10.0.0.0/8 ", "10.1.1.1"), ("/8", "10.1.1.1"), ("1.2.3.4/0", "255.255.255.255"),
    ("1.2.3.4./32", "1.2.3.4"), ("1.2.3./24", "1.2.3.4"), ("1.2.3.4/08", "1.2.3.4")]] + [
    cidr(1 | 4 | 8, 7, 3, 25, b"\x04\x03\x02\x01"), cidr(1 | 4 | 8, 8, 3, 24, b"\x04\x03\x02\x01"),
    cidr(3 | 4 | 8 | 16, 31, 0, 1, b"\xff\x00\x00\x80"), cidr(1 | 4, 32, 1, 0, b"\x0a\x00\x00\x0a"),
    cidr(1 | 4 | 32, 24, 2, 0, b"\x01\x01\xa8\xc0"), cidr(1 | 4 | 8, 0, 3, 32, b"\x01\x02\x03\x04"),
    cidr(4 | 8, 12, 3, 33, "192.168.2.1"), cidr(4 | 8, 32, 3, 34, "10.0.0.1")])

def url(mode, at, times, text):
    return bytes([mode, at >> 8, at & 255, times]) + b(text)


write("fuzz_urldecode", [url(0, 0, 0, t) for t in [
    "%41%42", "%4", "%", "%%41", "%zz", "+a+b", "%00x", "%e9%E9",
    " #$%&/;:<=>?@[^`{|}~", "a%2", "100%", "%2B+%2b", "\xe9\x01~-_.", "%G1%1G"]] + [
    url(0, 0, 200, "abcdefg "), url(0, 0, 50, "Plain text, with a %41 here "),
    url(1, 0, 0, " #$%&/;:<=>?@[^`{|}~"), url(3, 9, 10, "\xe9t\xe9 \xff"),
    url(5, 7, 0, "a/b"), url(5, 8, 0, "a/b"), url(5, 301, 30, "0123456789abc%"),
    url(1, 0, 255, "The quick brown fox "), url(7, 1000, 100, "\x01\x02 x")])

# ---- Text ----------------------------------------------------------------------------------

def replace(shape, subject_times, needle_times, subject, needle, tail, replacement,
            subject_tail=""):
    return bytes([shape, subject_times, needle_times]) + texts(subject, subject_tail, needle,
                                                               tail, replacement)


write("fuzz_replace", [replace(0, 0, 0, s, f, "", r) for s, f, r in [
    ("aaa", "aa", "b"), ("hello world", "o", ""), ("abc", "", "x"), ("aaaa", "a", "aa"),
    ("The quick brown fox", "quick", "slow"), ("", "a", "b"), ("xyz", "xyz", ""),
    ("ababab", "aba", "X"), ("a" * 100, "a" * 10, "bb"), ("abc", "", ""), ("abc", "c", "")]] + [
    replace(1, 255, 255, "a" * 64, "aaaa", "b", "X"),  # 64 KiB of "a", 1024 "a" + "b"
    replace(3, 255, 255, "a" * 64, "aaaa", "b", "X"),
    replace(1, 255, 200, "ab" * 32, "ab" * 4, "a", "-"),
    replace(3, 100, 100, "abcabd", "abcab", "c", ""),
    replace(3, 200, 30, "The quick brown fox ", "quick brown fox The ", "quick", "slow"),
    replace(1, 255, 0, "a" * 64, "a", "", "aa"),
    # Periodic needles after a prelude of near misses long enough to change the strategy.
    replace(1, 255, 2, "ab", "aba", "", "+", subject_tail="aabaababaabaab"),
    replace(1, 255, 3, "aab", "aab", "", "+", subject_tail="abaabbaabaab"),
    replace(1, 100, 5, "abc", "abc", "ab", "#", subject_tail="abcabdabcabcab"),
    replace(4, 0, 0, "subject", "b", "", "x"), replace(8, 0, 0, "subject", "b", "", "x"),
    replace(16, 0, 0, "abc", "b", "", "x")])

write("fuzz_strrev", ["abc", "", "The quick brown fox jumped uber the lazy dog",
                      "\xff\x80\x01", "a", "ab" * 64, texts("ab", "cd")])


def search(shape, code, text_times, needle_times, text, needle, tail="", text_tail=""):
    return bytes([shape]) + struct.pack("<h", code) + bytes([text_times, needle_times]) + \
        texts(text, needle, tail, *([text_tail] if text_tail else []))


write("fuzz_search", [
    search(0, ord("o"), 0, 0, "The quick brown fox", "QUICK"),
    search(1, ord("a"), 255, 15, "a", "a", "b"),  # "a" x 256 against "a" x 16 + "b"
    search(1, ord("b"), 100, 3, "ab", "ab", "a"),
    search(2, 0xC4, 0, 0, "\xc4rger \xc4RGER", "\xe4RGER"),
    search(0, -1, 0, 0, "\xff\xfe", "\xfe"),
    search(0, 256, 0, 0, "\x00abc", "abc"),
    search(0, 0, 0, 0, "abc", "c"),
    search(3, ord("d"), 20, 1, "abcabcabd", "abcabd"),
    # Periodic needles after a prelude of near misses long enough to change the strategy.
    search(1, ord("b"), 255, 2, "ab", "aba", "", "aabaababaabaab"),
    search(1, ord("a"), 255, 3, "aaab", "aaba", "", "abaabbaabaab"),
    search(0, ord("a"), 0, 0, "aaaa", "aa"),
    search(0, 0xD7, 0, 0, "\xd7\xf7", "\xf7"),
    search(0, ord("x"), 0, 0, "x", ""),
    search(1, 0xDF, 3, 2, "\xdf", "\xdf"),
    search(1, ord("A"), 200, 15, "aAaA", "Aa", "aB"),
    search(0, 32767, 0, 0, "needle longer", "needle longer than the text"),
])

write("fuzz_strip", [texts(t, s) for t, s in [
    ("hhhello world", "h"), ("hello world", "qleh"), ("   ", " "), ("abc", ""), ("", "abc"),
    ("xxxyyyxxx", "xy"), ("\xe9\xe9a\xe9", "\xe9"), ("aaa", "aaa"), ("hello", "ohel"),
    ("  padded  ", " \t")]])

# ---- Files and drives ----------------------------------------------------------------------

FILES = [
    "c:\\boot.ini", "C:/BOOT.INI", "c:boot.ini", "c:\\*.sys", "C:\\?OOT.INI", "c:\\Boot.ini",
    "c:\\sub.ini", "c:\\sub.ini\\inner.sys", "c:\\link.ini", "c:\\broken.ini",
    "c:\\dirlink.ini", "c:\\fifo.log", "c:\\null.sys", "c:\\zero.bat", "c:\\huge.log",
    "c:\\cap.log", "c:\\config.sys", "c:\\\xe4RGER.INI", "c:\\*rger.ini", "c:\\x*y.ini",
    "c:\\q?.sys", "x:\\boot.ini", "e:\\x", "f:\\x", "g:\\boot.ini", "q:\\file.txt",
    "Q:/FILE.TXT", "boot.ini", "/boot.ini", "c:\\", "c:", "&:\\x", "c:\\*", "c:\\*\\inner.sys",
    "c:\\sub.ini\\*", "c:\\*.log\\", "c:\\\\boot.ini", "c:\\..\\c\\boot.ini",
    texts("c:\\boot.ini", "\xff\xff\xff\xff"), texts("c:\\*.BAT", "\x01"),
]
write("fuzz_files", FILES)

write("fuzz_listfiles", [texts(*parts) for parts in [
    ("c:\\", "*.sys, *.ini, *.log, *.bat"), ("c:\\", "*"), ("C:/", "NOTES.LOG"),
    ("c:", " , ,\t,"), ("c:\\", "*.INI"), ("c:\\sub.ini", "*"), ("c:\\dirlink.ini", "*.sys"),
    ("c:\\boot.ini", "*"), ("x:\\", "*"), ("e:\\", "*"), ("d:\\", "*"), ("q:", "*.txt"),
    ("g:\\", "*.ini"), ("c:\\", "?????.???"), ("c:\\", "*rger*"), ("c:\\", "x*y.ini,q?.sys"),
    ("c:\\", "\t*.log\t,  *.BAT "), ("c:\\", "**,*?*"), ("c:\\", "*.ini", "\x01\x00\x00\x00"),
    ("f:\\", "*"), ("c:\\fifo.log", "*"), ("c:\\", ".*"), ("c:\\", "notes.log,NOTES.LOG")]])

write("fuzz_drives", [
    "C", "c", "C:", "C:\\", "C:/", "c:\\\\", "C\\", "C/", "CC", "&", "E:", "F", "G:\\", "q",
    "Q:/", "D", "Z:", "1", ":", "C:x", "", texts("C", "\xff\xff\xff\xff"),
    texts("c:\\", "\0\0\0\0"), texts("D:", "\x01"),
])

# ---- Random text ---------------------------------------------------------------------------


def random_calls(seed, calls):
    out = i32(seed)
    for length, kind, mode in calls:
        out += struct.pack("<H", length) + bytes([kind, mode % 256])
    return out


write("fuzz_randomstr", [
    random_calls(42, [(10, 0, m) for m in range(10)] + [(10, 0, -1), (10, 0, 127)]),
    random_calls(1, [(n, 0, 8) for n in range(1, 14)] + [(1000, 0, 8)]),
    random_calls(-7, [(5, 0x80, 0), (0, 0, 3), (7, 0xC0, 5), (300, 0, 5)]),
    random_calls(99, [(3, 0x40, 8), (65535, 0, 4)]),
    random_calls(0, [(50, 0, 6), (50, 0, 8)]),
    random_calls(2147483647, [(1, 0, 2), (2, 0, 1), (64, 0, 8)]),
])

# ---- Dates ---------------------------------------------------------------------------------

ZONES = {"unset": 0, "UTC": 1, "Europe/Berlin": 2, "America/New_York": 3,
         "Australia/Lord_Howe": 4, "Asia/Kathmandu": 5, "posix": 6, "Europe/Dublin": 7}
DATES = [25569.0, 37143.07407407407, 39619.8489467593, 0.0, -1.25, -657434.0,
         -657434.999, 2958465.999988426, 44283.104166666664, 44500.104166666664,
         44269.104166666664, 44507.0625, 2.501377314814815, 49739.50137731482,
         float("nan"), float("inf"), -657435.5, 2958466.0, 1e300]
FORMATS = ["Y-m-d H:i:s", "r", "c", "C", "a b c d e f g h i j k l m n o p q r s t u v w x y z",
           "A B C D E F G H I J K L M N O P Q R S T U V W X Y Z", "\\i\\t \\i\\s jS \\d\\a\\y.",
           "Y\\", "\\\\", "U e T I O P p Z", "W o N w z", "u v B", "x X y L t S",
           "(\\t\\h\\e \\t\\i\\m\\e \\i\\s h:i:s \\h\\r\\s on j-m-Y, \\i\\t \\i\\s w Day z )"]


def date_seed(zone, date, fmt, split=3):
    return bytes([split << 4 | ZONES[zone] << 1]) + f64(date) + b(fmt)


phpdate = []
for i, date in enumerate(DATES):
    zone = list(ZONES)[i % len(ZONES)]
    phpdate.append(date_seed(zone, date, FORMATS[i % len(FORMATS)]))
for zone in ["Europe/Berlin", "America/New_York", "Australia/Lord_Howe", "Europe/Dublin"]:
    for date in DATES[8:12]:  # around changes of offset
        phpdate.append(date_seed(zone, date, "U|Y-m-d H:i:s|T|I"))
phpdate += [date_seed("UTC", 25569.0, f, 15) for f in FORMATS[:6]]
phpdate.append(bytes([1]) + b"\x12\x34\x56\x78\x9a\xbc\xde\xf0" + b"r")  # folded into range
write("fuzz_phpdate", phpdate)


# ---- Base64 and the cipher -----------------------------------------------------------------

def base64(line, repeats, noise, data, scale=False):
    return bytes([line % 256, (0x80 if scale else 0) | repeats, noise]) + b(data)


# Noise: stride in the low five bits, junk in the high three: CR LF, blank, tab, "!", 0xFF,
# "=", "-_", NUL.
write("fuzz_decodestring64", [base64(0, 0, 0, t) for t in [
    "SGVsbG8gV29ybGQ=", "SGVsbG8gV29ybGQ", "SGVsbA==", "SGVsbA=", "SGVs\r\nbG8=", "====",
    "A", "AB", "ABC", "AB=C", "!!!QUJD", "QUJD PT0=", "-_-_", "\x14VGhlIHF1aWNrIGJyb3du\r\n"
    "IGZveCBqdW1wZWQgdWJl\r\nciB0aGUgbGF6eSBkb2c=", "AAAA" * 30, "QQ==QQ==", "\xff\xfe\x00QUJD"]] + [
    base64(76, 0, 0, bytes(range(256))), base64(20, 99, 0, "The quick brown fox jumped uber the"),
    base64(64, 63, 0, bytes(range(48))), base64(3, 127, 0, bytes(range(40))),
    base64(1, 3, 0, "ab"), base64(-1, 0, 0, "no lines"), base64(4, 0, 0, "abc"),
    base64(7, 99, 0, "x" * 41, scale=True), base64(67, 127, 0, bytes(range(32)), scale=True),
    base64(0, 5, 0 << 5 | 5, "carriage returns"), base64(0, 0, 5 << 5 | 3, "padding inside"),
    base64(0, 9, 7 << 5 | 1, "\0\0\0NULs"), base64(0, 3, 3 << 5 | 31, bytes(range(200))),
    base64(-128, 0, 1 << 5 | 8, "a")])


def cipher(password, salt, text, shape=0, mode=-1):
    return bytes([len(password), len(salt) | shape]) + i32(mode) + b(password) + b(salt) + b(text)


# Shape: bit 3 a null salt, bit 4 the password from inside the buffer, bit 5 the salt.
write("fuzz_encryptstring", [
    cipher("pass", "sa", "The quick brown fox"), cipher("", "", "no password"),
    cipher("key", "", "with\0NULs\0inside"), cipher("k" * 31, "s" * 7, "long key and salt"),
    cipher("\xff\x01", "\x00", "\xff\xfe\xfd"), cipher("x", "y", ""),
    cipher("pass", "", "salt null", 8), cipher("pass", "sa", "salt given, passed null", 8),
    cipher("abc", "", "password\0inside", 0x10), cipher("abc", "xy", "salt inside\0", 0x20),
    cipher("abcd", "", "both inside", 0x30, 12345), cipher("p", "", "\x01" * 64, 0, 0),
    cipher("p", "s", bytes(range(256)) * 4, 0, -2147483648),
])


# The library host's channel (host/fuzz_host_messages.cpp). Messages are little-endian: a
# u8 kind, then for a call a u16 export number, what to measure (0 nothing, 1 time, 2 time
# and memory) and each argument by its C kind; an answer to a call starts with the call's
# time and memory. Sizes and those two figures are written in 7-bit groups, low first.
def export_names():
    header = os.path.join(HERE, "..", "..", "include", "qorlib145.h")
    names = []
    for line in open(header, encoding="latin-1"):
        if line.startswith("QOR_API "):
            name = line.split("(")[0].split()[-1].lstrip("*")
            if not name.startswith("qor_"):
                names.append(name)
    return names


EXPORTS = export_names()


def export_number(name):
    return struct.pack("<H", EXPORTS.index(name))


def digest():
    value = 14695981039346656037
    for name in EXPORTS:
        for c in name.encode() + b";":
            value = ((value ^ c) * 1099511628211) % 2**64
    return struct.pack("<Q", value)


def count(value):
    out = bytearray()
    while value >= 0x80:
        out.append(value & 0x7F | 0x80)
        value >>= 7
    return bytes(out + bytes([value]))


def wire_text(text):
    return b"\0" if text is None else b"\1" + count(len(b(text))) + b(text)


def wire_variant(kind, lower, items):
    return (struct.pack("<iii", kind, lower, 0) + f64(0) + wire_text(None) +
            struct.pack("<I", len(items)) + b"".join(wire_text(t) for t in items))


def load(path):
    empty = struct.pack("<I", 0)
    return b"\1" + digest() + b"\0" + count(len(path)) + b(path) + empty * 3


def call(name, *arguments, probe=False):
    return b"\2" + export_number(name) + bytes([2 if probe else 0]) + b"".join(arguments)


def answer(*fields):
    return b"\3" + count(1200) + count(4 << 20) + b"".join(fields)


def source(name, *values):
    return b"\2" + export_number(name) + b"".join(b(v) for v in values)


def short_text(text):
    return bytes([len(b(text))]) + b(text)


host_calls = [
    load("/usr/lib/libqorlib145.so"),
    call("StrRev", wire_text("hello")), call("StrRev", wire_text(None), probe=True),
    call("InChr", wire_text("abc"), struct.pack("<h", 98)),
    call("EncryptString", wire_text("secret"), i32(6), wire_text("pw"), i32(1), wire_text("s")),
    call("EncryptString", wire_text("secret"), i32(600), wire_text("pw"), i32(1), wire_text("s")),
    call("EncodeString64", wire_text("abc"), i32(76)),
    call("DecodeString64", wire_text("YWJj"), i32(0)),
    call("GetArrayDimensions", wire_variant(4, 1, ["a", "b\0c"])),
    call("ListFiles", wire_variant(0, 0, []), wire_text("c:\\"), wire_text("*.ini"), i32(0)),
    call("RLEUncompress", wire_text("\x03a"), i32(9)),
    call("RotateByte", b"\x81"), call("Comma", f64(1234.5), i32(2)),
]
write("fuzz_host_messages", [b"\0" + m for m in host_calls] + [
    b"\0" + host_calls[1][:7], b"\0\x09junk",
    b"\0" + call("StrRev", b"\1" + count(2**40) + b"x"),
    b"\0" + call("StrRev", b"\1\x85\x00hello"), b"\0" + call("StrRev", b"\1" + b"\xff" * 10 + b"\1x"),
    b"\0" + call("GetArrayDimensions", wire_variant(7, 0, [])),
    b"\0\6", b"\0\6x", b"\0\x08",
    b"\0" + call("StrRev", b"\2", wire_text("x")),
    b"\1" + export_number("StrRev") + answer(wire_text("olleh") + b"\0" + wire_text("x")),
    b"\1" + export_number("StrRev") + answer(b"\0", wire_text("x")),
    b"\1" + export_number("StrRev") + b"\3" + b"\0" * 5,
    b"\1" + export_number("StrRev") + b"\3\x80\x80\x80\x80\x80\x80\x80\x80\x80\x02\0\0\0",
    b"\1" + export_number("ListFiles") + b"\5" + struct.pack("<I", 0) + wire_text("no"),
    source("StrRev", short_text("hello")), source("EncryptString", short_text("text"), i32(4),
                                                   short_text("pw"), i32(2), short_text("salt")),
    source("EncryptString", short_text("text"), i32(40)), source("Replace", "\xff", "\0", "\x03abc"),
    source("EncodeString64", short_text("abc"), i32(3)), source("DecodeString64", short_text("YQ=="), i32(0)),
    source("GetArrayDimensions", "\x04\x01", i32(0), "\xff\x02", short_text("a"), short_text("")),
    source("ListFiles", "\0", "\0" * 5, "\xff\0", short_text("c:\\"), short_text("*.*"), i32(1)),
    source("RLECompress", short_text("aaaab"), i32(5), i32(0)),
    source("RLEUncompress", short_text("\x02a"), i32(2)), source("RotateLong", i32(-1)),
    source("Mkf", struct.pack("<f", 1.5)), source("GetDiskSize", short_text("C"), i32(1)),
    b"\3\0" + struct.pack("<II", 5, 5) + b"hello", b"\3\0" + struct.pack("<II", 4, 9) + b"hell",
    b"\3\1" + struct.pack("<II", 0, 0), b"\3\0" + struct.pack("<II", 2**31, 2**31),
    b"\3\0" + struct.pack("<II", 60, 60) + bytes(range(60)),
])
