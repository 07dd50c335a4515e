// Substring search in three stages. While the needle's rarest byte is rare in the text too,
// memchr finds the places worth comparing. Otherwise a word-at-a-time filter looks for starts
// where the needle's first and last bytes both fit, which in ordinary text are few. When
// candidates keep failing late (periodic texts and needles), the work they cost is capped:
// past a budget linear in the bytes scanned, the Two-Way search takes over where the filters
// stand, so every search is linear in the text and the needle.
#include "search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "internal.h"

namespace qorlib {
namespace {

using TwoWay = Finder::TwoWay;
constexpr size_t npos = Finder::npos;

constexpr uint64_t kOnes = 0x0101010101010101u;

// The text bytes that may stand for one needle byte: b with (b | mask) == value. Folding
// only ever sets bit 5, so a letter and its other case differ in that bit alone.
struct ByteSet {
    unsigned char mask, value;
    uint64_t mask8, value8;
};

ByteSet byte_set(unsigned char c, bool fold) noexcept {
    auto other = static_cast<unsigned char>(c ^ 0x20);
    unsigned char mask = fold && fold_case(other) == fold_case(c) ? 0x20 : 0;
    auto value = static_cast<unsigned char>(c | mask);
    return {mask, value, mask * kOnes, value * kOnes};
}

// The high bit of each byte of `w` in the set, and no other bit: no carry crosses bytes.
inline uint64_t in_set(uint64_t w, const ByteSet &set) noexcept {
    return zero_bytes((w | set.mask8) ^ set.value8);
}

inline bool in_set(unsigned char c, const ByteSet &set) noexcept {
    return (c | set.mask) == set.value;
}

template <bool Fold>
inline unsigned char canonical(unsigned char c) noexcept {
    if constexpr (Fold)
        return fold_case(c);
    else
        return c;
}

template <bool Fold>
bool same(const unsigned char *a, const unsigned char *b, size_t n) noexcept {
    if constexpr (!Fold)
        return n == 0 || std::memcmp(a, b, n) == 0;
    for (size_t i = 0; i < n; ++i)
        if (fold_case(a[i]) != fold_case(b[i]))
            return false;
    return true;
}

// How much failed comparing the filter may do before it gives way: twice the bytes it has
// scanned, plus a start-up allowance that keeps short searches away from the set-up cost.
inline bool over_budget(size_t work, size_t scanned, size_t needle) noexcept {
    return work > 2 * scanned + needle + 256;
}

// How common each byte is in ordinary text, higher for more common: the blank, then lower
// case letters by their frequency in English, upper case, digits, punctuation, the rest.
constexpr std::array<uint8_t, 256> kCommon = [] {
    std::array<uint8_t, 256> rank{};
    for (int c = 0; c < 256; ++c)
        rank[c] = c >= 0x80 ? 40 : c < 0x20 ? 20 : 80;  // Latin-1, controls, punctuation
    rank['\n'] = rank['\r'] = rank['\t'] = 100;
    rank[','] = rank['.'] = 120;
    for (int c = '0'; c <= '9'; ++c)
        rank[c] = 110;
    const char by_frequency[] = "etaoinshrdlcumwfgypbvkjxqz";
    for (int i = 0; i < 26; ++i) {
        rank[static_cast<unsigned char>(by_frequency[i])] = static_cast<uint8_t>(250 - 4 * i);
        rank[static_cast<unsigned char>(by_frequency[i] - 32)] = static_cast<uint8_t>(150 - 2 * i);
    }
    rank[' '] = 255;
    return rank;
}();

// A text or needle read in search order, forward or backward from its end, canonical bytes.
template <bool Fold, bool Back>
struct Bytes {
    const unsigned char *data;
    size_t size;
    unsigned char operator[](size_t i) const noexcept {
        return canonical<Fold>(data[Back ? size - 1 - i : i]);
    }
};

// Start and period of the maximal suffix of x under the byte order (or its reverse).
template <class B>
size_t max_suffix(const B &x, size_t m, bool reverse, size_t &period) noexcept {
    // Positions shifted by one so that "before the first byte" is 0.
    size_t start = 0, j = 1, k = 1, p = 1;
    while (j + k <= m) {
        unsigned char a = x[j + k - 1], b = x[start + k - 1];
        if (reverse ? a > b : a < b) {
            j += k;
            k = 1;
            p = j - start;
        } else if (a == b) {
            if (k != p) {
                ++k;
            } else {
                j += p;
                k = 1;
            }
        } else {
            start = j++;
            k = p = 1;
        }
    }
    period = p;
    return start;
}

template <class B>
void prepare(TwoWay &tw, const B &x, size_t m) noexcept {
    size_t p, q;
    size_t a = max_suffix(x, m, false, p), b = max_suffix(x, m, true, q);
    tw.suffix = std::max(a, b);  // the critical factorization x = x[0, suffix) x[suffix, m)
    size_t period = a > b ? p : q;
    tw.periodic = true;
    for (size_t i = 0; i < tw.suffix && tw.periodic; ++i)
        tw.periodic = x[i] == x[i + period];
    if (tw.periodic) {
        tw.period = period;
    } else {
        tw.period = std::max(tw.suffix, m - tw.suffix) + 1;
        std::fill(std::begin(tw.shift), std::end(tw.shift), static_cast<uint32_t>(m));
        for (size_t i = 0; i < m; ++i)
            tw.shift[x[i]] = static_cast<uint32_t>(m - 1 - i);
    }
    tw.ready = true;
}

// The first occurrence of x in y at or after `from` (m <= n).
template <class B>
size_t two_way(const TwoWay &tw, const B &x, size_t m, const B &y, size_t n, size_t from) noexcept {
    const size_t suffix = tw.suffix, period = tw.period;
    size_t j = from;
    if (tw.periodic) {
        // `known`: a prefix of x already matched at j, from the previous window.
        size_t known = 0;
        while (j <= n - m) {
            size_t i = std::max(suffix, known);
            while (i < m && x[i] == y[i + j])
                ++i;
            if (i < m) {
                j += i - suffix + 1;
                known = 0;
                continue;
            }
            size_t k = suffix;
            while (k > known && x[k - 1] == y[k - 1 + j])
                --k;
            if (k <= known)
                return j;
            j += period;
            known = m - period;
        }
        return npos;
    }
    // Without a period to remember, the window may also skip by its last byte.
    while (j <= n - m) {
        if (uint32_t shift = tw.shift[y[j + m - 1]]) {
            j += shift;
            continue;
        }
        size_t i = suffix;
        while (i < m - 1 && x[i] == y[i + j])
            ++i;
        if (i < m - 1) {
            j += i - suffix + 1;
            continue;
        }
        size_t k = suffix;
        while (k > 0 && x[k - 1] == y[k - 1 + j])
            --k;
        if (k == 0)
            return j;
        j += period;
    }
    return npos;
}

}  // namespace

template <bool Fold>
size_t Finder::find_forward(std::string_view text, size_t from) noexcept {
    const auto *t = reinterpret_cast<const unsigned char *>(text.data());
    const auto *p = reinterpret_cast<const unsigned char *>(needle_.data());
    const size_t n = text.size(), m = needle_.size();
    if (m > n || from > n - m)
        return npos;
    if (m == 0)
        return from;
    if (!Fold && m == 1) {
        const void *at = std::memchr(t + from, p[0], n - from);
        return at ? static_cast<size_t>(static_cast<const unsigned char *>(at) - t) : npos;
    }
    size_t s = from, work = 0;
    // While the needle's rarest byte is rare in the text as well, the C library's memchr
    // finds the places worth comparing fastest.
    if (const size_t rare = rare_index(); rare != kNoRare) {
        for (size_t tried = 0;;) {
            const void *hit = std::memchr(t + s + rare, p[rare], n - m + 1 - s);
            if (!hit)
                return npos;
            const size_t at =
                static_cast<size_t>(static_cast<const unsigned char *>(hit) - t) - rare;
            if (same<Fold>(t + at, p, m))
                return at;
            s = at + 1;
            work += m;
            if (s > n - m)
                return npos;
            if (over_budget(work, s - from, m))
                return two_way_forward<Fold>(text, s);
            if (++tried >= 4 && tried * 32 > s - from)
                break;  // common after all: the word filter below does better
        }
    }
    const ByteSet first = byte_set(p[0], Fold), last = byte_set(p[m - 1], Fold);
    const size_t middle = m > 2 ? m - 2 : 0;
    // Eight starts at a time: s .. s + 7, whose last bytes end before n.
    for (; s + m + 7 <= n; s += 8) {
        uint64_t hits = in_set(load_le64(t + s), first) & in_set(load_le64(t + s + m - 1), last);
        for (; hits; hits &= hits - 1) {
            size_t at = s + static_cast<size_t>(std::countr_zero(hits)) / 8;
            if (same<Fold>(t + at + 1, p + 1, middle))
                return at;
            work += middle;
        }
        if (over_budget(work, s + 8 - from, m))
            return two_way_forward<Fold>(text, s + 8);
    }
    for (; s + m <= n; ++s)
        if (in_set(t[s], first) && in_set(t[s + m - 1], last) &&
            same<Fold>(t + s + 1, p + 1, middle))
            return s;
    return npos;
}

template <bool Fold>
size_t Finder::two_way_forward(std::string_view text, size_t from) noexcept {
    Bytes<Fold, false> x{reinterpret_cast<const unsigned char *>(needle_.data()), needle_.size()},
        y{reinterpret_cast<const unsigned char *>(text.data()), text.size()};
    if (!forward_.ready)
        prepare(forward_, x, x.size);
    return two_way(forward_, x, x.size, y, y.size, from);
}

template <bool Fold>
size_t Finder::two_way_backward(std::string_view text, size_t below) noexcept {
    // The reversed needle in the reversed text: logical position r is the start n - m - r.
    const size_t n = text.size(), m = needle_.size();
    Bytes<Fold, true> x{reinterpret_cast<const unsigned char *>(needle_.data()), m},
        y{reinterpret_cast<const unsigned char *>(text.data()), n};
    if (!backward_.ready)
        prepare(backward_, x, m);
    size_t r = two_way(backward_, x, m, y, n, n - m + 1 - below);
    return r == npos ? npos : n - m - r;
}

template <bool Fold>
size_t Finder::find_backward(std::string_view text) noexcept {
    const auto *t = reinterpret_cast<const unsigned char *>(text.data());
    const auto *p = reinterpret_cast<const unsigned char *>(needle_.data());
    const size_t n = text.size(), m = needle_.size();
    if (m > n)
        return npos;
    if (m == 0)
        return n;
    const ByteSet first = byte_set(p[0], Fold), last = byte_set(p[m - 1], Fold);
    const size_t middle = m > 2 ? m - 2 : 0;
    // Every start at or above `top` is ruled out; eight starts below it at a time.
    size_t top = n - m + 1, work = 0;
    for (; top >= 8; top -= 8) {
        size_t s = top - 8;
        uint64_t hits = in_set(load_le64(t + s), first) & in_set(load_le64(t + s + m - 1), last);
        while (hits) {
            int bit = 63 - std::countl_zero(hits);
            size_t at = s + static_cast<size_t>(bit) / 8;
            if (same<Fold>(t + at + 1, p + 1, middle))
                return at;
            hits ^= uint64_t{1} << bit;
            work += middle;
        }
        if (over_budget(work, n - m + 1 - s, m))
            return two_way_backward<Fold>(text, s);
    }
    while (top-- > 0)
        if (in_set(t[top], first) && in_set(t[top + m - 1], last) &&
            same<Fold>(t + top + 1, p + 1, middle))
            return top;
    return npos;
}

size_t Finder::rare_index() noexcept {
    if (rare_ == kUnknown) {
        rare_ = kNoRare;
        for (size_t i = 0; i < needle_.size(); ++i) {
            auto c = static_cast<unsigned char>(needle_[i]);
            if (byte_set(c, fold_).mask == 0 &&
                (rare_ == kNoRare ||
                 kCommon[c] < kCommon[static_cast<unsigned char>(needle_[rare_])]))
                rare_ = i;
        }
    }
    return rare_;
}

size_t Finder::find(std::string_view text, size_t from) noexcept {
    return fold_ ? find_forward<true>(text, from) : find_forward<false>(text, from);
}

size_t Finder::rfind(std::string_view text) noexcept {
    return fold_ ? find_backward<true>(text) : find_backward<false>(text);
}

size_t Finder::find_two_way(std::string_view text, size_t from) noexcept {
    if (needle_.size() > text.size() || from > text.size() - needle_.size())
        return npos;
    if (needle_.empty())
        return from;
    return fold_ ? two_way_forward<true>(text, from) : two_way_forward<false>(text, from);
}

size_t Finder::rfind_two_way(std::string_view text) noexcept {
    if (needle_.size() > text.size())
        return npos;
    if (needle_.empty())
        return text.size();
    const size_t below = text.size() - needle_.size() + 1;
    return fold_ ? two_way_backward<true>(text, below) : two_way_backward<false>(text, below);
}

}  // namespace qorlib
