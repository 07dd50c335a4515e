// Run-length compression in the byte-oriented PackBits format.
//
// A packed text is a series of runs, each opening with a header byte n read as signed:
//   0..127     n + 1 literal bytes follow;
//   -127..-1   the next byte stands for 1 - n copies of itself (2..128);
//   -128       no operation.
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "internal.h"
#include "text_buffer.h"

namespace {

constexpr std::uint32_t MAX_RUN = 128;
// The encoder plans this many input bytes at a time, so its working memory stays small
// however long the text; a run crossing a block edge costs at most one extra header.
constexpr std::size_t BLOCK = 65536;

// The largest packed size of `n` bytes: all literal runs.
constexpr std::size_t packed_bound(std::size_t n) {
    return n + (n + MAX_RUN - 1) / MAX_RUN;
}

// The ends of literal runs within reach of the byte being planned, with their costs
// j + best(j), as a ring: costs rise from the head (furthest end) to the tail, equal costs
// keeping the further end first, so the head is the cheapest and then longest choice.
// After each expire() it holds at most 128 ends; a run of up to 128 bytes adds two.
class EndQueue {
  public:
    struct End {
        std::uint32_t at, cost;
    };
    const End &front() const { return ring_[head_]; }
    void expire(std::uint32_t reach) {
        while (ring_[head_].at > reach)
            head_ = (head_ + 1) & 255;
    }
    void push(std::uint32_t at, std::uint32_t best) {
        const std::uint32_t cost = at + best;
        while (tail_ != head_ && ring_[(tail_ - 1) & 255].cost > cost)
            tail_ = (tail_ - 1) & 255;
        ring_[tail_] = {at, cost};
        tail_ = (tail_ + 1) & 255;
    }

  private:
    End ring_[256];
    unsigned head_ = 0, tail_ = 0;
};

// Plans the shortest PackBits coding of a block, then writes it.
//
// The plan works on runs of equal bytes, not on single bytes. With best(i) the size of the
// shortest coding of the bytes from i on, and a run of one byte ending at b with r bytes of
// it left at i:
//  - r >= 2: a repeat of min(r, 128) bytes is always part of a shortest coding, so
//    best(i) = best(b) + 2 * ceil(r / 128), except when r % 128 == 1, where the last byte
//    is left over: best(i) = best(b - 1) + 2 * (r / 128).
//  - r == 1: a literal run of 1 to 128 bytes must start here; it costs
//    1 + min over its ends j of (j + best(j)) - i.
// best(j) + j grows across the middle of a run, so a cheapest literal run ends at a run's
// first byte, its last byte, or 128 * k or 128 * k + 1 bytes before its end; only those
// ends are kept, in an EndQueue.
//
// Among equal codings, read from the start: a repeat where one is part of a shortest
// coding, then the longest literal run that still is.
class Planner {
  public:
    // Plans the `n` bytes at `s` (1 <= n <= BLOCK) and returns the size of their coding.
    std::size_t plan(const unsigned char *s, std::uint32_t n);
    // Writes the planned coding to `out`, which has 16 bytes of slack after that size, and
    // returns the end of what it wrote.
    unsigned char *write(unsigned char *out) const;

  private:
    const unsigned char *s_ = nullptr;
    std::uint32_t n_ = 0;
    std::uint32_t runs_ = 0;
    std::size_t capacity_ = 0;
    // starts_[t] is where run t begins (starts_[runs_] == n_); ends_[t] where the literal
    // run that opens at the last byte of run t ends. One allocation holds both.
    std::unique_ptr<std::uint32_t[]> memory_;
    std::uint32_t *starts_ = nullptr, *ends_ = nullptr;
};

// Stores where each run of equal bytes begins, then `n`; returns the number of runs.
std::uint32_t find_runs(const unsigned char *s, std::uint32_t n, std::uint32_t *starts) {
    std::uint32_t runs = 0;
    starts[runs++] = 0;
    std::uint32_t i = 1;
    // Eight neighbours at a time: a byte of x ^ y is non-zero where a new run begins.
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, s + i, 8);
        std::memcpy(&y, s + i - 1, 8);
        const std::uint64_t d = x ^ y;
        std::uint64_t marks = (((d & low7) + low7) | d) & ~low7;
        if constexpr (std::endian::native == std::endian::big)
            marks = __builtin_bswap64(marks);
        while (marks) {
            starts[runs++] = i + static_cast<std::uint32_t>(std::countr_zero(marks) >> 3);
            marks &= marks - 1;
        }
    }
    for (; i < n; ++i)
        if (s[i] != s[i - 1])
            starts[runs++] = i;
    starts[runs] = n;
    return runs;
}

// Offers the ends within a run of more than 128 bytes ending at `b`, from its end back to
// its start, and returns best() of its start.
std::uint32_t plan_long_run(EndQueue &queue, std::uint32_t b, std::uint32_t length,
                            std::uint32_t after, std::uint32_t leftover) {
    auto best = [&](std::uint32_t r) {
        return r % MAX_RUN == 1 ? leftover + 2 * (r / MAX_RUN)
                                : after + 2 * ((r + MAX_RUN - 1) / MAX_RUN);
    };
    auto offer = [&](std::uint32_t r) {
        queue.expire(b - r + MAX_RUN);
        queue.push(b - r, best(r));
    };
    offer(1);
    for (std::uint32_t r = MAX_RUN; r < length; r += MAX_RUN) {
        offer(r);
        if (r + 1 < length)
            offer(r + 1);
    }
    offer(length);
    return best(length);
}

std::size_t Planner::plan(const unsigned char *s, std::uint32_t n) {
    s_ = s;
    n_ = n;
    if (capacity_ < n + 1u) {
        // Uninitialised: find_runs() and the loop below write every entry that is read.
        memory_.reset(new std::uint32_t[2 * std::size_t{n} + 1]);
        starts_ = memory_.get();
        ends_ = starts_ + n + 1;
        capacity_ = n + 1u;
    }
    const std::uint32_t runs = runs_ = find_runs(s, n, starts_);
    const std::uint32_t *starts = starts_;
    std::uint32_t *ends = ends_;

    EndQueue queue;
    queue.push(n, 0);
    std::uint32_t after = 0;  // best(b) of the run being planned
    for (std::uint32_t t = runs; t-- > 0;) {
        const std::uint32_t a = starts[t], b = starts[t + 1], length = b - a;
        // The run's last byte opens a literal run.
        const std::uint32_t last = b - 1;
        queue.expire(last + MAX_RUN);
        ends[t] = queue.front().at;
        const std::uint32_t leftover = queue.front().cost - last + 1;  // best(b - 1)
        if (length == 1) {
            queue.push(last, leftover);
            after = leftover;
        } else if (length <= MAX_RUN) {
            // From three bytes on, the end at the run's start is cheaper than the one at
            // its last byte, and would drop it from the queue at once.
            if (length == 2)
                queue.push(last, leftover);
            after += 2;
            queue.push(a, after);
        } else {
            after = plan_long_run(queue, b, length, after, leftover);
        }
    }
    return after;
}

unsigned char *Planner::write(unsigned char *out) const {
    const unsigned char *s = s_;
    const std::uint32_t n = n_, runs = runs_, *starts = starts_, *ends = ends_;
    std::uint32_t at = 0;
    for (std::uint32_t t = 0; t < runs;) {
        const std::uint32_t b = starts[t + 1];
        std::uint32_t r = b - at;
        for (; r >= 2; r -= r < MAX_RUN ? r : MAX_RUN) {
            const std::uint32_t count = r < MAX_RUN ? r : MAX_RUN;
            *out++ = static_cast<unsigned char>(1 - static_cast<int>(count));
            *out++ = s[at];
        }
        if (r == 0) {
            at = b;
            ++t;
            continue;
        }
        const std::uint32_t from = b - 1, to = ends[t], count = to - from;
        *out++ = static_cast<unsigned char>(count - 1);
        if (count <= 16 && from + 16 <= n)
            std::memcpy(out, s + from, 16);  // into the slack at worst
        else
            std::memcpy(out, s + from, count);
        out += count;
        at = to;
        while (t < runs && starts[t + 1] <= at)
            ++t;
    }
    return out;
}

// What a unit opening with header byte `h` adds to the text, and how many packed bytes it
// takes, header included, when the input does not end inside it.
constexpr size_t unit_output(unsigned h) {
    return h < 128 ? h + 1 : h == 128 ? 0 : 257 - h;
}
constexpr size_t unit_input(unsigned h) {
    return h < 128 ? h + 2 : h == 128 ? 1 : 2;
}
// From this many bytes before the end on, a unit may be cut short.
constexpr size_t WHOLE_UNIT = 1 + MAX_RUN;

// Unpacks the units from `i` to the end with every malformed case handled exactly: a
// literal run cut short keeps the bytes present, a repeat header without its byte ends
// the text. Writes to `out` unless it is null; returns the size of what they unpack to.
size_t unpack_tail(const unsigned char *p, size_t i, size_t n, char *out) {
    size_t size = 0;
    while (i < n) {
        const unsigned h = p[i++];
        if (h < 128) {
            const size_t count = h + 1 < n - i ? h + 1 : n - i;
            if (out)
                std::memcpy(out + size, p + i, count);
            size += count;
            i += count;
        } else if (h != 128) {
            if (i == n)
                break;
            if (out)
                std::memset(out + size, p[i], 257 - h);
            size += 257 - h;
            ++i;
        }
    }
    return size;
}

// The size the packed bytes unpack to.
size_t unpacked_size(const unsigned char *p, size_t n) {
    size_t size = 0, i = 0;
    for (; i + WHOLE_UNIT <= n; i += unit_input(p[i]))
        size += unit_output(p[i]);
    return size + unpack_tail(p, i, n, nullptr);
}

// Writes what the packed bytes unpack to; `out` holds unpacked_size() bytes and 16 more
// of slack. Units of up to 16 bytes are written as one 16-byte store, whatever their kind.
void unpack(const unsigned char *p, size_t n, char *out) {
    size_t i = 0;
    for (; i + WHOLE_UNIT <= n; i += unit_input(p[i])) {
        const unsigned h = p[i];
        const size_t count = unit_output(h);
        if (count <= 16) {
            std::uint64_t low, high;
            std::memcpy(&low, p + i + 1, 8);
            std::memcpy(&high, p + i + 9, 8);
            if (h >= 128)
                low = high = p[i + 1] * 0x0101010101010101ull;
            std::memcpy(out, &low, 8);
            std::memcpy(out + 8, &high, 8);
        } else if (h < 128) {
            std::memcpy(out, p + i + 1, count);
        } else {
            std::memset(out, p[i + 1], count);
        }
        out += count;
    }
    unpack_tail(p, i, n, out);
}

void set_length(int32_t *length, size_t value) {
    if (length)
        *length = static_cast<int32_t>(value);
}

}  // namespace

extern "C" QOR_API qor_text *RLECompress(const char *text, int32_t length, int32_t *packed_length) {
    set_length(packed_length, 0);
    if (!text || length <= 0)
        return qorlib::make_text({});
    try {
        const auto *s = reinterpret_cast<const unsigned char *>(text);
        const auto n = static_cast<size_t>(length);
        Planner planner;
        const auto first = static_cast<std::uint32_t>(n < BLOCK ? n : BLOCK);
        size_t planned = planner.plan(s, first);
        // One block is written at the size planned; a longer text goes into a block that
        // holds any coding and is cut to size at the end.
        size_t capacity = n == first ? planned : packed_bound(n);
        if (capacity > QOR_TEXT_MAX)
            capacity = QOR_TEXT_MAX;
        qor_text *result = qorlib::new_text(capacity, 16);
        if (!result)
            return nullptr;
        auto *const begin = reinterpret_cast<unsigned char *>(result->data);
        unsigned char *out = begin;
        for (size_t start = first;; start += BLOCK) {
            if (planned > capacity - static_cast<size_t>(out - begin)) {
                qor_text_free(result);
                return nullptr;
            }
            out = planner.write(out);
            if (start >= n)
                break;
            planned = planner.plan(
                s + start, static_cast<std::uint32_t>(n - start < BLOCK ? n - start : BLOCK));
        }
        const auto size = static_cast<size_t>(out - begin);
        if (size != capacity)
            result = qorlib::shrink_text(result, size);
        result->data[size] = '\0';
        set_length(packed_length, size);
        return result;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

extern "C" QOR_API qor_text *RLEUncompress(const char *packed, int32_t *packed_length) {
    if (!packed_length)
        return qorlib::make_text({});
    const int32_t length = *packed_length;
    set_length(packed_length, 0);
    if (!packed || length <= 0)
        return qorlib::make_text({});
    const auto *p = reinterpret_cast<const unsigned char *>(packed);
    const auto n = static_cast<size_t>(length);
    const size_t size = unpacked_size(p, n);
    qor_text *result = qorlib::new_text(size, 16);
    if (!result)
        return nullptr;
    unpack(p, n, result->data);
    result->data[size] = '\0';
    set_length(packed_length, size);
    return result;
}
