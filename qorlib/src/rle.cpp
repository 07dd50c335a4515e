// Run-length compression in the byte-oriented PackBits format.
//
// A packed text is a series of runs, each opening with a header byte n read as signed:
//   0..127     n + 1 literal bytes follow;
//   -127..-1   the next byte stands for 1 - n copies of itself (2..128);
//   -128       no operation.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "internal.h"

namespace {

constexpr std::uint32_t MAX_RUN = 128;
// The encoder plans this many input bytes at a time, so its working memory stays small
// however long the text; a run crossing a block edge costs at most one extra header.
constexpr std::size_t BLOCK = 65536;

// The largest packed size of `n` bytes: all literal runs.
constexpr std::size_t packed_bound(std::size_t n) {
    return n + (n + MAX_RUN - 1) / MAX_RUN;
}

// Where literal runs may end, with their costs j + best(j), for the byte being planned:
// a ring of plateaus, each a range of neighbouring ends of equal cost. Costs rise from
// the head (furthest ends) to the tail, so the head's furthest end within reach is the
// cheapest and then longest choice. A text of single bytes makes long plateaus, which
// cost nothing to extend. After each expire() the ring holds at most 128 ends.
class EndQueue {
  public:
    struct End {
        std::uint32_t at, cost;
    };
    // The cheapest, then furthest, end.
    End front() const { return {ring_[head_].hi, ring_[head_].cost}; }
    // Drops the ends beyond `reach`.
    void expire(std::uint32_t reach) {
        while (ring_[head_].lo > reach)
            head_ = (head_ + 1) & 255;
        if (ring_[head_].hi > reach)
            ring_[head_].hi = reach;
    }
    // Adds the ends from `lo` to `hi`, before all others, each costing `cost`.
    void push(std::uint32_t lo, std::uint32_t hi, std::uint32_t cost) {
        while (tail_ != head_ && ring_[(tail_ - 1) & 255].cost > cost)
            tail_ = (tail_ - 1) & 255;
        Plateau &last = ring_[(tail_ - 1) & 255];
        if (tail_ != head_ && last.cost == cost && last.lo == hi + 1) {
            last.lo = lo;
            return;
        }
        ring_[tail_] = {lo, hi, cost};
        tail_ = (tail_ + 1) & 255;
    }
    void push(std::uint32_t at, std::uint32_t cost) { push(at, at, cost); }
    // Plans the single bytes from `from` up to `to`, the last first: each opens a literal
    // run, whose length goes to lengths[], and becomes an end itself. Returns the cost of
    // the end at `from`. A cheapest end stays so for up to 128 bytes, done in one go.
    std::uint32_t add_singles(std::uint32_t from, std::uint32_t to, std::uint8_t *lengths) {
        std::uint32_t cost = 0;
        for (std::uint32_t p = to; p > from;) {
            expire(p - 1 + MAX_RUN);
            const Plateau head = ring_[head_];
            const std::uint32_t low = head.lo > from + MAX_RUN ? head.lo - MAX_RUN : from;
            // Sixteen at a time, down from p: bytes below `low` are written again later
            // (lengths has 16 bytes of slack before it), which spares a branch per byte.
            for (std::uint32_t q = p;; q -= 16) {
                std::uint8_t chunk[16];
                for (std::uint32_t i = 0; i < 16; ++i) {
                    const std::uint32_t reach = head.hi - (q - 16 + i);
                    chunk[i] = static_cast<std::uint8_t>(reach < MAX_RUN ? reach : MAX_RUN);
                }
                std::memcpy(lengths + q - 16, chunk, 16);
                if (q <= low + 16)
                    break;
            }
            cost = head.cost + 1;
            push(low, p - 1, cost);
            p = low;
        }
        return cost;
    }
    // Leaves `at` as the only end.
    void reset(std::uint32_t at, std::uint32_t cost) {
        ring_[0] = {at, at, cost};
        head_ = 0;
        tail_ = 1;
    }

  private:
    struct Plateau {
        std::uint32_t lo, hi, cost;
    };
    Plateau ring_[256];
    unsigned head_ = 0, tail_ = 0;
};

// A run of two or more equal bytes: [start, end).
struct Run {
    std::uint32_t start, end;
};

// Bit k set where byte k of the 16 at `p` differs from byte k of the 16 at `q`.
unsigned differing16(const unsigned char *p, const unsigned char *q) {
#if defined(__SSE2__)
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(q));
    return ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b))) & 0xFFFF;
#else
    // Eight bytes at a time, as numbers whose lowest byte is the first.
    auto differing8 = [](const unsigned char *a, const unsigned char *b) {
        std::uint64_t x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        x ^= y;
        if constexpr (std::endian::native == std::endian::big)
            x = __builtin_bswap64(x);
        constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
        const std::uint64_t marks = ((((x & low7) + low7) | x) & ~low7) >> 7;  // bit 8k
        return static_cast<unsigned>((marks * 0x0102040810204080ull) >> 56);
    };
    return differing8(p, q) | differing8(p + 8, q + 8) << 8;
#endif
}

// Bit k set where byte k of the 16 at `p` is not `c`.
unsigned differing16(const unsigned char *p, unsigned char c) {
    unsigned char same[16];
    std::memset(same, c, 16);
    return differing16(p, same);
}

// Stores the runs of two or more equal bytes in `runs`, in order; returns how many.
std::uint32_t find_runs(const unsigned char *s, std::uint32_t n, Run *runs) {
    std::uint32_t count = 0;
    std::uint32_t i = 1;
    // Sixteen neighbours at a time: bit k of `same` is set where s[i + k] == s[i + k - 1].
    // A run starts a byte before the first of a group of such bits and ends after the last.
    unsigned carry = 0;  // 1 when the byte before these continues a run
    for (; i + 16 <= n; i += 16) {
        const unsigned same = ~differing16(s + i, s + i - 1) & 0xFFFF;
        const unsigned before = (same << 1 | carry) & 0xFFFF;
        carry = same >> 15;
        if (!(same | before))
            continue;
        std::uint32_t open = count - (before & 1);
        for (unsigned m = same & ~before; m; m &= m - 1)
            runs[count++].start = i + static_cast<std::uint32_t>(std::countr_zero(m)) - 1;
        for (unsigned m = ~same & before; m; m &= m - 1)
            runs[open++].end = i + static_cast<std::uint32_t>(std::countr_zero(m));
    }
    bool open = carry != 0;
    for (; i < n; ++i) {
        const bool same = s[i] == s[i - 1];
        if (same && !open)
            runs[count++].start = i - 1;
        else if (!same && open)
            runs[count - 1].end = i;
        open = same;
    }
    if (open)
        runs[count - 1].end = n;
    return count;
}

// Plans the shortest PackBits coding of a stretch of input, then writes it.
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
    // Plans the `n` bytes at `s` (1 <= n <= BLOCK), which a free end follows.
    void plan(const unsigned char *s, std::uint32_t n);
    // Writes the planned coding to `out`, which has room for it and 16 bytes more, and
    // returns the end of what it wrote.
    unsigned char *write(unsigned char *out) const;

  private:
    const unsigned char *s_ = nullptr;
    std::uint32_t n_ = 0;
    std::uint32_t count_ = 0;  // runs of two or more bytes
    std::size_t capacity_ = 0;
    // One allocation: the runs of two or more bytes, then, at every byte where a literal
    // run may open (single bytes and last bytes of runs), the length of the best one.
    std::unique_ptr<std::uint32_t[]> memory_;
    Run *runs_ = nullptr;
    std::uint8_t *lengths_ = nullptr;
};

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
        queue.push(b - r, b - r + best(r));
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

void Planner::plan(const unsigned char *s, std::uint32_t n) {
    s_ = s;
    n_ = n;
    if (capacity_ < n) {
        // Uninitialised: every entry that is read is written first.
        static_assert(sizeof(Run) == 2 * sizeof(std::uint32_t));
        // At most n / 2 runs of two or more bytes (two numbers each), then 16 bytes of slack
        // and a byte per byte.
        const std::size_t run_words = 2 * (n / 2 + 1);
        memory_.reset(new std::uint32_t[run_words + 4 + n / 4 + 1]);
        runs_ = reinterpret_cast<Run *>(memory_.get());
        lengths_ = reinterpret_cast<std::uint8_t *>(memory_.get() + run_words + 4);
        capacity_ = n;
    }
    const std::uint32_t count = count_ = find_runs(s, n, runs_);
    const Run *runs = runs_;
    std::uint8_t *lengths = lengths_;

    EndQueue queue;
    queue.reset(n, n);
    std::uint32_t after = 0;  // best(b)
    for (std::uint32_t k = count, b = n;; --k) {
        // Single bytes from the end of run k - 1 up to b: each opens a literal run.
        const std::uint32_t single = k ? runs[k - 1].end : 0;
        if (b > single)
            after = queue.add_singles(single, b, lengths) - single;
        if (k == 0)
            break;
        const std::uint32_t a = runs[k - 1].start, length = runs[k - 1].end - a;
        b = runs[k - 1].end;
        // The run's last byte opens a literal run.
        const std::uint32_t last = b - 1;
        queue.expire(last + MAX_RUN);
        const EndQueue::End end = queue.front();
        lengths[last] = static_cast<std::uint8_t>(end.at - last);
        const std::uint32_t leftover = end.cost - last + 1;  // best(b - 1)
        if (length <= MAX_RUN) {
            // From three bytes on, the end at the run's start is cheaper than the one at
            // its last byte, and would drop it from the queue at once.
            if (length == 2)
                queue.push(last, last + leftover);
            after += 2;
            queue.push(a, a + after);
        } else {
            after = plan_long_run(queue, b, length, after, leftover);
        }
        b = a;
    }
}

unsigned char *Planner::write(unsigned char *out) const {
    const unsigned char *s = s_;
    const std::uint32_t n = n_, count = count_;
    const std::uint8_t *lengths = lengths_;
    const Run *runs = runs_;
    std::uint32_t k = 0;  // the first run of two or more bytes that ends after `at`
    for (std::uint32_t at = 0; at < n;) {
        std::uint32_t from = at;
        if (k < count && runs[k].start <= at) {
            std::uint32_t r = runs[k].end - at;
            for (; r >= 2; r -= r < MAX_RUN ? r : MAX_RUN) {
                const std::uint32_t repeat = r < MAX_RUN ? r : MAX_RUN;
                *out++ = static_cast<unsigned char>(1 - static_cast<int>(repeat));
                *out++ = s[at];
            }
            at = runs[k++].end;
            if (r == 0)
                continue;
            from = at - 1;
        }
        const std::uint32_t length = lengths[from], to = from + length;
        *out++ = static_cast<unsigned char>(length - 1);
        if (length <= 16 && from + 16 <= n)
            std::memcpy(out, s + from, 16);  // into the slack at worst
        else
            std::memcpy(out, s + from, length);
        out += length;
        at = to;
        while (k < count && runs[k].end <= at)
            ++k;
    }
    return out;
}

// Where the run of equal bytes that holds `at` ends.
std::uint32_t run_end(const unsigned char *s, std::uint32_t at, std::uint32_t n) {
    std::uint32_t b = at + 1;
    // Sixteen bytes a step, with no branch on where in them the run ends: most runs are
    // short, and where they end is as good as random.
    for (; b + 16 <= n; b += 16) {
        const auto equal =
            static_cast<std::uint32_t>(std::countr_zero(differing16(s + b, s[at]) | 1u << 16));
        if (equal < 16)
            return b + equal;
    }
    while (b < n && s[b] == s[at])
        ++b;
    return b;
}

// Stores where each run of equal bytes begins, and then `n`, in `starts`, which holds
// n + 17 entries; returns the number of runs.
std::uint32_t find_starts(const unsigned char *s, std::uint32_t n, std::uint32_t *starts) {
    std::uint32_t count = 0;
    starts[count++] = 0;
    std::uint32_t i = 1;
    for (; i + 16 <= n; i += 16) {
        unsigned found = differing16(s + i, s + i - 1);
        // std::popcount may be a library call on machines not known to count bits.
        std::uint32_t runs = found - ((found >> 1) & 0x5555);
        runs = (runs & 0x3333) + ((runs >> 2) & 0x3333);
        runs = (runs + (runs >> 4)) & 0x0F0F;
        runs = (runs + (runs >> 8)) & 0x1F;
        // Eight stores whatever the count, so as not to branch on it; those past the count
        // are written over by the next ones. (1 << 16 marks the end of the bits.)
        std::uint32_t *to = starts + count;
        for (int k = 0; k < 8; ++k, found &= found - 1)
            to[k] = i + static_cast<std::uint32_t>(std::countr_zero(found | 1u << 16));
        if (runs > 8)
            for (int k = 8; k < 16; ++k, found &= found - 1)
                to[k] = i + static_cast<std::uint32_t>(std::countr_zero(found | 1u << 16));
        count += runs;
    }
    for (; i < n; ++i)
        if (s[i] != s[i - 1])
            starts[count++] = i;
    starts[count] = n;
    return count;
}

// Where the first run of 4 to 128 equal bytes at or after `at` begins (`at` begins a run),
// or `n`.
std::uint32_t next_barrier(const unsigned char *s, std::uint32_t at, std::uint32_t n) {
    while (at + 3 < n) {
        // Bit k of `four` is set where s[at + k .. at + k + 4) are equal; the first such k
        // begins its run, as `at` begins one.
        std::uint32_t found = n;
        for (; at + 19 <= n; at += 16) {
            const unsigned four =
                ~(differing16(s + at, s + at + 1) | differing16(s + at + 1, s + at + 2) |
                  differing16(s + at + 2, s + at + 3)) &
                0xFFFF;
            if (four) {
                found = at + static_cast<std::uint32_t>(std::countr_zero(four));
                break;
            }
        }
        if (found == n)
            for (; at + 3 < n; ++at)
                if (s[at] == s[at + 1] && s[at] == s[at + 2] && s[at] == s[at + 3]) {
                    found = at;
                    break;
                }
        if (found == n)
            return n;
        const std::uint32_t end = run_end(s, found, n);
        if (end - found <= MAX_RUN)
            return found;
        at = end;
    }
    return n;
}

// Writes a stretch of at most 128 bytes made of runs of one to three bytes: nothing
// within reach is cheaper to end a literal run at than the stretch's end, which is free.
// So a literal run opening at a single byte ends at the cheapest (then furthest) start of
// a run of two or three bytes after it, or at the end; best(j) + j is tracked from the
// end back, and each such run is one repeat. `n` bytes at `s` may be read; `out` has 16
// bytes of slack.
unsigned char *write_short_stretch(const unsigned char *s, std::uint32_t n, const Run *runs,
                                   std::uint32_t count, unsigned char *out) {
    std::uint32_t ends[MAX_RUN];  // for each single byte, where its literal run ends
    std::uint32_t cheapest = runs[count - 1].end, cost = cheapest, next = cheapest;
    for (std::uint32_t k = count; k-- > 0;) {
        const std::uint32_t a = runs[k].start, b = runs[k].end;
        if (b - a == 1) {
            ends[k] = cheapest;
            next = cost + 1;
        } else {
            next = a + 2 + (next - b);
            if (next < cost) {
                cost = next;
                cheapest = a;
            }
        }
    }
    for (std::uint32_t k = 0; k < count;) {
        const std::uint32_t a = runs[k].start, b = runs[k].end;
        if (b - a >= 2) {
            *out++ = static_cast<unsigned char>(1 - static_cast<int>(b - a));
            *out++ = s[a];
            ++k;
            continue;
        }
        const std::uint32_t length = ends[k] - a;
        *out++ = static_cast<unsigned char>(length - 1);
        if (length <= 16 && a + 16 <= n)
            std::memcpy(out, s + a, 16);  // into the slack at worst
        else
            std::memcpy(out, s + a, length);
        out += length;
        while (k < count && runs[k].start < a + length)
            ++k;
    }
    return out;
}

// Codes blocks of input. A run of 4 to 128 bytes is always one repeat, and a literal run
// never reaches past its start (ending there is cheaper than any end beyond), so such runs
// cut a block into stretches coded on their own, each ending at a free end. Stretches of
// up to 128 bytes are solved in one pass; longer ones go to the Planner.
class Encoder {
  public:
    // Writes the coding of the `n` bytes at `s` (1 <= n <= BLOCK) to `out`, which has room
    // for packed_bound(n) bytes and 16 more; returns the end of what it wrote.
    unsigned char *encode(const unsigned char *s, std::uint32_t n, unsigned char *out);

  private:
    template <typename Runs>
    unsigned char *code(const unsigned char *s, std::uint32_t n, Runs runs, unsigned char *out);

    Planner planner_;
};

// The runs of a short block, found 16 bytes at a time before coding starts, so that
// moving from one run to the next waits on nothing. A small view, copied into the coding
// loop so that its place stays in a register.
class ListedRuns {
  public:
    static constexpr std::uint32_t MAX_BLOCK = 2048;
    // `starts` holds MAX_BLOCK + 17 entries.
    ListedRuns(const unsigned char *s, std::uint32_t n, std::uint32_t *starts)
        : starts_(starts), count_(find_starts(s, n, starts)) {}
    bool more() const { return k_ < count_; }
    std::uint32_t start() const { return starts_[k_]; }
    std::uint32_t end() const { return starts_[k_ + 1]; }
    void next() { ++k_; }
    // On to the run that starts at `at`: found by halving, as a planned stretch may pass
    // over most of the block's runs (a random text is a thousand runs of one byte).
    void skip_to(std::uint32_t at) {
        k_ = static_cast<std::uint32_t>(std::lower_bound(starts_ + k_, starts_ + count_, at) -
                                        starts_);
    }

  private:
    const std::uint32_t *starts_;
    std::uint32_t count_, k_ = 0;
};

// The runs of a longer block, measured one after another, in no extra memory.
class MeasuredRuns {
  public:
    MeasuredRuns(const unsigned char *s, std::uint32_t n) : s_(s), n_(n) { skip_to(0); }
    bool more() const { return at_ < n_; }
    std::uint32_t start() const { return at_; }
    std::uint32_t end() const { return end_; }
    void next() { skip_to(end_); }
    void skip_to(std::uint32_t at) {
        at_ = at;
        end_ = at < n_ ? run_end(s_, at, n_) : n_;
    }

  private:
    const unsigned char *s_;
    std::uint32_t n_, at_ = 0, end_ = 0;
};

unsigned char *Encoder::encode(const unsigned char *s, std::uint32_t n, unsigned char *out) {
    // Without a run of 4 to 128 bytes a block longer than 128 bytes is one stretch for the
    // planner (random bytes, most prose): its runs need not be listed or gathered first.
    if (n > MAX_RUN && next_barrier(s, 0, n) == n) {
        planner_.plan(s, n);
        return planner_.write(out);
    }
    if (n <= ListedRuns::MAX_BLOCK) {
        std::uint32_t starts[ListedRuns::MAX_BLOCK + 17];
        return code(s, n, ListedRuns(s, n, starts), out);
    }
    return code(s, n, MeasuredRuns(s, n), out);
}

template <typename Runs>
unsigned char *Encoder::code(const unsigned char *s, std::uint32_t n, Runs runs,
                             unsigned char *out) {
    Run stretch[MAX_RUN];
    while (runs.more()) {
        const std::uint32_t from = runs.start(), length = runs.end() - from;
        if (length >= 4 && length <= MAX_RUN) {
            *out++ = static_cast<unsigned char>(1 - static_cast<int>(length));
            *out++ = s[from];
            runs.next();
            continue;
        }
        // Gather the runs of a stretch, up to a run of 4 to 128 bytes or the end.
        std::uint32_t count = 0;
        for (; runs.more(); runs.next()) {
            const std::uint32_t a = runs.start(), b = runs.end();
            if (b - a >= 4 && b - a <= MAX_RUN)
                break;
            if (b - a > 3 || b - from > MAX_RUN) {
                const std::uint32_t barrier = next_barrier(s, b, n);
                planner_.plan(s + from, barrier - from);
                out = planner_.write(out);
                runs.skip_to(barrier);
                count = 0;
                break;
            }
            stretch[count++] = {a, b};
        }
        if (count == 1) {
            // One run of up to three bytes: a repeat, or a literal run of one byte, both
            // a header of 1 - length and the byte.
            *out++ = static_cast<unsigned char>(1 - static_cast<int>(length));
            *out++ = s[from];
        } else if (count) {
            out = write_short_stretch(s, n, stretch, count, out);
        }
    }
    return out;
}

// What a unit opening with header byte `h` adds to the text, and how many packed bytes it
// takes, header included, when the input does not end inside it. Written to compile to
// conditional moves: which kind of unit comes next is often as good as random.
constexpr size_t unit_output(unsigned h) {
    const size_t repeat = h == 128 ? 0 : 257 - h;
    return h < 128 ? h + 1 : repeat;
}
constexpr size_t unit_input(unsigned h) {
    const size_t repeat = h == 128 ? 1 : 2;
    return h < 128 ? h + 2 : repeat;
}
// Up to this packed size, the room for the largest text it can unpack to (64 times as
// much) costs less than a pass to find the size first.
constexpr size_t SMALL_PACKED = 1024;
// Up to this many units, finding the size first costs less than that room.
constexpr size_t FEW_UNITS = 16;

// The last unit, when the input ends inside it: a literal run cut short keeps the bytes
// present, a repeat header without its byte ends the text. Writes to `out` unless it is
// null; returns what it adds.
size_t cut_unit(const unsigned char *p, size_t i, size_t n, char *out) {
    const unsigned h = p[i++];
    if (h >= 128 || i == n)
        return 0;
    if (out)
        std::memcpy(out, p + i, n - i);
    return n - i;
}

// The size the packed bytes unpack to; SIZE_MAX when they hold more than `units` units.
size_t unpacked_size(const unsigned char *p, size_t n, size_t units = SIZE_MAX) {
    size_t size = 0;
    for (size_t i = 0; i < n; i += unit_input(p[i])) {
        if (units-- == 0)
            return SIZE_MAX;
        if (unit_input(p[i]) > n - i)
            return size + cut_unit(p, i, n, nullptr);
        size += unit_output(p[i]);
    }
    return size;
}

// Writes what the packed bytes unpack to and returns its end; `out` holds unpacked_size()
// bytes and 16 more of slack. A unit of up to 16 bytes, literal or repeat, is one 16-byte
// store, chosen without a branch.
char *unpack(const unsigned char *p, size_t n, char *out) {
    for (size_t i = 0; i < n; i += unit_input(p[i])) {
        const unsigned h = p[i];
        const size_t input = unit_input(h), output = unit_output(h);
        if (input > n - i)
            return out + cut_unit(p, i, n, out);
        if (output <= 16 && n - i >= 17) {
            std::uint64_t low, high;
            std::memcpy(&low, p + i + 1, 8);
            std::memcpy(&high, p + i + 9, 8);
            const std::uint64_t repeat = 0 - std::uint64_t{h >> 7};  // all ones for a repeat
            const std::uint64_t copies = p[i + 1] * 0x0101010101010101ull;
            low = (low & ~repeat) | (copies & repeat);
            high = (high & ~repeat) | (copies & repeat);
            std::memcpy(out, &low, 8);
            std::memcpy(out + 8, &high, 8);
        } else if (h < 128 && n - i > ((output + 15) & ~size_t{15})) {
            // Longer units in 16-byte steps too, the last one into the next unit's room.
            for (size_t k = 0; k < output; k += 16)
                std::memcpy(out + k, p + i + 1 + k, 16);
        } else if (h < 128) {
            std::memcpy(out, p + i + 1, output);
        } else if (h > 128) {
            const std::uint64_t copies = p[i + 1] * 0x0101010101010101ull;
            for (size_t k = 0; k < output; k += 8)
                std::memcpy(out + k, &copies, 8);
        }
        out += output;
    }
    return out;
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
        // Written into a block that holds any coding, then cut to size in place.
        const size_t capacity = packed_bound(n) < QOR_TEXT_MAX ? packed_bound(n) : QOR_TEXT_MAX;
        std::unique_ptr<qor_text, decltype(&qor_text_free)> result(qorlib::new_text(capacity, 16),
                                                                   &qor_text_free);
        if (!result)
            return nullptr;
        auto *const begin = reinterpret_cast<unsigned char *>(result->data);
        unsigned char *out = begin;
        Encoder encoder;
        for (size_t start = 0; start < n; start += BLOCK) {
            const auto size = static_cast<std::uint32_t>(n - start < BLOCK ? n - start : BLOCK);
            const size_t room = capacity - static_cast<size_t>(out - begin);
            if (packed_bound(size) <= room) {
                out = encoder.encode(s + start, size, out);
                continue;
            }
            // Only past 1 GiB of packed text: code the block aside, and keep it if it fits.
            std::unique_ptr<unsigned char[]> aside(new unsigned char[packed_bound(size) + 16]);
            const auto coded =
                static_cast<size_t>(encoder.encode(s + start, size, aside.get()) - aside.get());
            if (coded > room)
                return nullptr;
            out = static_cast<unsigned char *>(std::memcpy(out, aside.get(), coded)) + coded;
        }
        const auto size = static_cast<size_t>(out - begin);
        qor_text *packed = qorlib::shrink_text(result.release(), size);
        set_length(packed_length, size);
        return packed;
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
    qor_text *result;
    // Few units (long literal runs) are measured at once, which costs less than room for 64
    // times the packed size given back afterwards.
    const size_t few = n <= SMALL_PACKED ? unpacked_size(p, n, FEW_UNITS) : SIZE_MAX;
    if (few == SIZE_MAX && n <= SMALL_PACKED) {
        // Unpacked in one pass into room for the largest text it can be, then cut to size.
        result = qorlib::new_text(64 * n, 16);
        if (!result)
            return nullptr;
        const auto size = static_cast<size_t>(unpack(p, n, result->data) - result->data);
        result = qorlib::shrink_text(result, size);
    } else {
        result = qorlib::new_text(few != SIZE_MAX ? few : unpacked_size(p, n), 16);
        if (!result)
            return nullptr;
        unpack(p, n, result->data);
        result->data[result->length] = '\0';
    }
    set_length(packed_length, result->length);
    return result;
}
