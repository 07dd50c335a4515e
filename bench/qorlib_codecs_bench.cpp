// The streaming text codecs against the plain code a caller would otherwise write: Base64
// against OpenSSL's block coder, hexadecimal against a 256-entry pair table, the form
// encoding against a class-table loop and StrRev against a byte loop. Every reference
// returns a freshly allocated result, as the exports do. Sizes sweep 1 KiB .. 16 MiB.
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qorlib145.h"
#include "qorlib_ratio.h"

#ifdef BENCH_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

using namespace qorbench;

// A by-reference argument made once per benchmark.
struct RefArg {
    explicit RefArg(const std::string &bytes) : text(qor_text_new(bytes.data(), bytes.size())) {}
    ~RefArg() { qor_text_free(text); }
    qor_text *text;
};

template <class Call>
void lib_loop(benchmark::State &state, size_t bytes, Call call) {
    for (auto _ : state) {
        qor_text *result = call();
        benchmark::DoNotOptimize(result);
        qor_text_free(result);
    }
    set_bytes(state, bytes);
}

template <class Call>
void ref_loop(benchmark::State &state, size_t bytes, Call call) {
    for (auto _ : state) {
        char *result = call();
        benchmark::DoNotOptimize(result);
        std::free(result);
    }
    set_bytes(state, bytes);
}

constexpr char kHex[] = "0123456789ABCDEF";

constexpr std::array<std::array<char, 2>, 256> kPairs = [] {
    std::array<std::array<char, 2>, 256> pairs{};
    for (int b = 0; b < 256; ++b)
        pairs[b] = {kHex[b >> 4], kHex[b & 15]};
    return pairs;
}();

constexpr std::array<int8_t, 256> kNibble = [] {
    std::array<int8_t, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = c >= '0' && c <= '9'   ? static_cast<int8_t>(c - '0')
                   : c >= 'A' && c <= 'F' ? static_cast<int8_t>(c - 'A' + 10)
                   : c >= 'a' && c <= 'f' ? static_cast<int8_t>(c - 'a' + 10)
                                          : -1;
    return table;
}();

enum : uint8_t { kKeep, kPlus, kEscape };
constexpr std::array<uint8_t, 256> kUrlClass = [] {
    std::array<uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_' || c == '.' || c == '~';
        table[c] = keep ? kKeep : c == ' ' ? kPlus : kEscape;
    }
    return table;
}();

char *ref_to_hex(const char *text) {
    size_t n = std::strlen(text);
    char *out = static_cast<char *>(std::malloc(2 * n + 1));
    for (size_t i = 0; i < n; ++i)
        std::memcpy(out + 2 * i, kPairs[static_cast<unsigned char>(text[i])].data(), 2);
    out[2 * n] = '\0';
    return out;
}

char *ref_from_hex(const char *hex) {
    size_t n = std::strlen(hex), j = 0;
    char *out = static_cast<char *>(std::malloc(n / 2 + 1));
    for (size_t i = 0; i + 1 < n; i += 2) {
        int high = kNibble[static_cast<unsigned char>(hex[i])];
        int low = kNibble[static_cast<unsigned char>(hex[i + 1])];
        if ((high | low) < 0)
            break;
        out[j++] = static_cast<char>(high << 4 | low);
    }
    out[j] = '\0';
    return out;
}

char *ref_url_encode(const char *text) {
    size_t n = std::strlen(text), j = 0;
    char *out = static_cast<char *>(std::malloc(3 * n + 1));
    for (size_t i = 0; i < n; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        switch (kUrlClass[c]) {
            case kKeep:
                out[j++] = static_cast<char>(c);
                break;
            case kPlus:
                out[j++] = '+';
                break;
            default:
                out[j] = '%';
                out[j + 1] = kHex[c >> 4];
                out[j + 2] = kHex[c & 15];
                j += 3;
        }
    }
    out[j] = '\0';
    return out;
}

char *ref_url_decode(const char *text) {
    size_t n = std::strlen(text), j = 0;
    char *out = static_cast<char *>(std::malloc(n + 1));
    for (size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c == '+') {
            c = ' ';
        } else if (c == '%' && i + 2 < n) {
            int high = kNibble[static_cast<unsigned char>(text[i + 1])];
            int low = kNibble[static_cast<unsigned char>(text[i + 2])];
            if ((high | low) >= 0) {
                c = static_cast<char>(high << 4 | low);
                i += 2;
            }
        }
        out[j++] = c;
    }
    out[j] = '\0';
    return out;
}

char *ref_reverse(const char *text) {
    size_t n = std::strlen(text);
    char *out = static_cast<char *>(std::malloc(n + 1));
    for (size_t i = 0; i < n; ++i)
        out[i] = text[n - 1 - i];
    out[n] = '\0';
    return out;
}

#ifdef BENCH_HAVE_OPENSSL
// Whole lines of `line` characters (a multiple of 4) with CR LF between them.
char *ref_base64(const std::string &bytes, int line) {
    auto in = reinterpret_cast<const unsigned char *>(bytes.data());
    size_t n = bytes.size(), chars = (n + 2) / 3 * 4;
    if (line <= 0) {
        auto out = static_cast<unsigned char *>(std::malloc(chars + 1));
        EVP_EncodeBlock(out, in, static_cast<int>(n));
        return reinterpret_cast<char *>(out);
    }
    size_t per_line = static_cast<size_t>(line) / 4 * 3;
    auto out = static_cast<unsigned char *>(std::malloc(chars + 2 * (chars / line) + 3));
    unsigned char *at = out;
    for (size_t i = 0; i < n; i += per_line) {
        if (i) {
            *at++ = '\r';
            *at++ = '\n';
        }
        at += EVP_EncodeBlock(at, in + i, static_cast<int>(std::min(per_line, n - i)));
    }
    *at = '\0';
    return reinterpret_cast<char *>(out);
}

char *ref_unbase64(const std::string &encoded) {
    auto out = static_cast<unsigned char *>(std::malloc(encoded.size() / 4 * 3 + 1));
    EVP_DecodeBlock(out, reinterpret_cast<const unsigned char *>(encoded.data()),
                    static_cast<int>(encoded.size()));
    return reinterpret_cast<char *>(out);
}

std::string base64_of(const std::string &bytes) {
    std::string out((bytes.size() + 2) / 3 * 4 + 1, '\0');
    int n = EVP_EncodeBlock(reinterpret_cast<unsigned char *>(out.data()),
                            reinterpret_cast<const unsigned char *>(bytes.data()),
                            static_cast<int>(bytes.size()));
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string binary(size_t size) {
    std::string bytes = random_text(size, 3);
    for (size_t i = 0; i < size; i += 7)
        bytes[i] = '\0';  // Base64 texts are counted: NULs are data like any other byte
    return bytes;
}

void register_base64() {
    benchmark::RegisterBenchmark("EncodeString64/lib", [](benchmark::State &state) {
        RefArg arg(binary(static_cast<size_t>(state.range(0))));
        lib_loop(state, arg.text->length, [&] { return EncodeString64(&arg.text, 0); });
    })->Apply(sweep);
    benchmark::RegisterBenchmark("EncodeString64/ref", [](benchmark::State &state) {
        std::string bytes = binary(static_cast<size_t>(state.range(0)));
        ref_loop(state, bytes.size(), [&] { return ref_base64(bytes, 0); });
    })->Apply(sweep);

    // The run's Base64 loop: the 100-fold sample sentence, 20 characters a line.
    for (int line : {20, 76}) {
        std::string name = "EncodeString64_4400B_line" + std::to_string(line);
        benchmark::RegisterBenchmark((name + "/lib").c_str(), [line](benchmark::State &state) {
            std::string text;
            for (int i = 0; i < 100; ++i)
                text += "The quick brown fox jumped uber the lazy dog";
            RefArg arg(text);
            lib_loop(state, text.size(), [&] { return EncodeString64(&arg.text, line); });
        });
        benchmark::RegisterBenchmark((name + "/ref").c_str(), [line](benchmark::State &state) {
            std::string text;
            for (int i = 0; i < 100; ++i)
                text += "The quick brown fox jumped uber the lazy dog";
            ref_loop(state, text.size(), [&] { return ref_base64(text, line); });
        });
    }

    benchmark::RegisterBenchmark("DecodeString64/lib", [](benchmark::State &state) {
        std::string encoded = base64_of(binary(static_cast<size_t>(state.range(0)) / 4 * 3));
        RefArg arg(encoded);
        int32_t count = 0;
        lib_loop(state, encoded.size(), [&] { return DecodeString64(&arg.text, &count); });
    })->Apply(sweep);
    benchmark::RegisterBenchmark("DecodeString64/ref", [](benchmark::State &state) {
        std::string encoded = base64_of(binary(static_cast<size_t>(state.range(0)) / 4 * 3));
        ref_loop(state, encoded.size(), [&] { return ref_unbase64(encoded); });
    })->Apply(sweep);
}
#endif

// A case whose export and reference both take one text by value.
template <class Make>
void register_by_value(const char *name, qor_text *(*export_fn)(const char *),
                       char *(*reference)(const char *), Make make) {
    std::string base = name;
    benchmark::RegisterBenchmark((base + "/lib").c_str(), [=](benchmark::State &state) {
        std::string text = make(static_cast<size_t>(state.range(0)));
        lib_loop(state, text.size(), [&] { return export_fn(text.c_str()); });
    })->Apply(sweep);
    benchmark::RegisterBenchmark((base + "/ref").c_str(), [=](benchmark::State &state) {
        std::string text = make(static_cast<size_t>(state.range(0)));
        ref_loop(state, text.size(), [&] { return reference(text.c_str()); });
    })->Apply(sweep);
}

std::string hex_of(size_t size) {
    char *hex = ref_to_hex(random_text(size / 2, 4).c_str());
    std::string out(hex);
    std::free(hex);
    return out;
}

std::string url_encoded(size_t size) {
    char *encoded = ref_url_encode(english(size, 5).c_str());
    std::string out(encoded, size);  // form-encoded English is longer than the English
    std::free(encoded);
    return out;
}

[[maybe_unused]] const int registered = [] {
#ifdef BENCH_HAVE_OPENSSL
    register_base64();
#endif
    register_by_value("StringToHex", StringToHex, ref_to_hex,
                      [](size_t n) { return random_text(n); });
    register_by_value("HexToStr", HexToStr, ref_from_hex, hex_of);
    register_by_value("URLEncode_english", URLEncode, ref_url_encode,
                      [](size_t n) { return english(n); });
    register_by_value("URLEncode_binary", URLEncode, ref_url_encode,
                      [](size_t n) { return random_text(n); });
    register_by_value("URLDecode", URLDecode, ref_url_decode, url_encoded);
    register_by_value("StrRev", StrRev, ref_reverse, [](size_t n) { return english(n); });
    return 0;
}();

}  // namespace

int main(int argc, char **argv) {
    return qorbench::run_benchmarks(argc, argv);
}
