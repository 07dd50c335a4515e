// Plain coders written from the formats, byte by byte, for the fuzz targets and the unit
// tests to compare the library's hexadecimal, Base64 and URL coding and its case folding
// with. They share no code with it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace reference {

// ASCII and Latin-1 letters to lower case (Latin-1 capitals are C0..DE but for D7, x).
inline unsigned char fold(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 32);
    return c;
}

// The value of a hexadecimal digit of either case; -1 for any other character.
inline int hex_value(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// Every byte as two upper-case hexadecimal digits.
inline std::string hex_upper(const std::string &bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += "0123456789ABCDEF"[byte >> 4];
        out += "0123456789ABCDEF"[byte & 15];
    }
    return out;
}

// Pairs of hexadecimal digits (either case) to bytes, up to the first other character or an
// odd last digit.
inline std::string hex_pairs(const std::string &hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hex_value(hex[i]), low = hex_value(hex[i + 1]);
        if (high < 0 || low < 0)
            break;
        bytes += static_cast<char>(16 * high + low);
    }
    return bytes;
}

inline constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Three bytes to four characters, "=" padding, then a CR LF after every `line` characters
// but the last line; one line when `line` <= 0.
inline std::string base64_encode(const std::string &bytes, std::int32_t line) {
    std::string chars;
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; i += 3) {
        auto at = [&](std::size_t k) -> std::uint32_t {
            return k < n ? static_cast<unsigned char>(bytes[k]) : 0u;
        };
        const std::uint32_t group = at(i) << 16 | at(i + 1) << 8 | at(i + 2);
        chars += kBase64Alphabet[group >> 18];
        chars += kBase64Alphabet[group >> 12 & 63];
        chars += i + 1 < n ? kBase64Alphabet[group >> 6 & 63] : '=';
        chars += i + 2 < n ? kBase64Alphabet[group & 63] : '=';
    }
    if (line <= 0)
        return chars;
    std::string lines;
    for (std::size_t at = 0; at < chars.size(); at += static_cast<std::size_t>(line))
        lines += (at ? "\r\n" : "") + chars.substr(at, static_cast<std::size_t>(line));
    return lines;
}

// Six bits a character back to bytes: characters outside the alphabet skipped, a stop at the
// first "=", left-over bits dropped.
inline std::string base64_decode(const std::string &text) {
    std::string bytes;
    std::uint32_t bits = 0;
    int have = 0;
    for (const char c : text) {
        if (c == '=')
            break;
        const char *at = c ? std::strchr(kBase64Alphabet, c) : nullptr;
        if (!at)
            continue;
        bits = bits << 6 | static_cast<std::uint32_t>(at - kBase64Alphabet);
        have += 6;
        if (have >= 8) {
            have -= 8;
            bytes += static_cast<char>(bits >> have);
        }
    }
    return bytes;
}

// A-Z, a-z, 0-9, "-", "_", "." and "~" stay, a blank becomes "+", every other byte "%XX"
// in upper case.
inline std::string url_encode(const std::string &text) {
    static const std::string kept =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.~";
    std::string out;
    for (const char c : text) {
        if (c == ' ')
            out += '+';
        else if (kept.find(c) != std::string::npos)
            out += c;
        else
            out += '%' + hex_upper(std::string(1, c));
    }
    return out;
}

// "+" becomes a blank and "%XX" (hex digits in either case) its byte, NUL included; a "%"
// without two hex digits after it stays, as does every other byte.
inline std::string url_decode(const std::string &text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hex_value(text[i + 1]) >= 0 &&
                   hex_value(text[i + 2]) >= 0) {
            out += static_cast<char>(16 * hex_value(text[i + 1]) + hex_value(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace reference
