// The messages between the rig and the library host. A request names an export by id and
// carries its prepared arguments; the answer carries what the call changed and returned.
// Both ends take every layout from the export's C signature (calls.h), so the two cannot
// drift apart. Every read is checked: a message that is cut, too long, names an unknown
// export or holds a value of the wrong kind raises Malformed, and nothing is trusted.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "calls.h"
#include "call_cost.h"

namespace qorhost {

// Raised by the reader of a message that breaks the format.
struct Malformed {
    std::string reason;
};

// The first bytes of the first message: a host built from another header refuses the rig.
std::uint64_t exportListDigest();

enum class Kind : std::uint8_t {
    Load = 1,    // rig: load a library; host: Loaded or a failure
    Call = 2,    // rig: call an export; host: Answer or a failure
    Answer = 3,  // host: the call's results
    Loaded = 4,  // host: the path it loaded
    Failed = 5,  // host: a Failure (kind and detail)
    Probe = 6,   // rig: how much memory is resident in the host now
    Probed = 7,  // host: that figure
    Lookup = 8,  // rig: which exports does the library lack?
    Missing = 9, // host: their numbers
};

// What the host measured of one call: its time, and when the rig asked for it, the memory
// resident in the host just before it.
struct CallCost {
    std::uint64_t nanoseconds = 0;
    std::uint64_t memoryBefore = 0;  // 0 when not asked
};

class Writer {
  public:
    // Room for a usual call or answer at once, instead of growing through several.
    Writer() { bytes_.reserve(128); }

    template <Scalar S>
    void scalar(S value) {
        raw(&value, sizeof value);
    }
    void raw(const void *data, std::size_t size) {
        bytes_.append(static_cast<const char *>(data), size);
    }
    // A size or figure in 7-bit groups, low first: most are small, and a short call and its
    // answer then fit in the channel's first cache line.
    void count(std::uint64_t value) {
        for (; value >= 0x80; value >>= 7)
            scalar<std::uint8_t>(static_cast<std::uint8_t>(value | 0x80));
        scalar<std::uint8_t>(static_cast<std::uint8_t>(value));
    }
    void string(std::string_view text) {
        count(text.size());
        raw(text.data(), text.size());
    }
    void text(const Text &text) {
        scalar<std::uint8_t>(text.null ? 0 : 1);
        if (!text.null)
            string(text.bytes);
    }
    void variant(const VariantValue &value);
    void kind(Kind kind) { scalar(static_cast<std::uint8_t>(kind)); }

    std::string &bytes() { return bytes_; }

  private:
    std::string bytes_;
};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    template <Scalar S>
    S scalar() {
        S value;
        std::memcpy(&value, take(sizeof value).data(), sizeof value);
        return value;
    }
    std::string_view take(std::size_t size) {
        if (size > rest_.size())
            throw Malformed{"cut short"};
        const std::string_view taken = rest_.substr(0, size);
        rest_.remove_prefix(size);
        return taken;
    }
    bool flag() {
        const auto value = scalar<std::uint8_t>();
        if (value > 1)
            throw Malformed{"a flag that is neither 0 nor 1"};
        return value == 1;
    }
    std::uint64_t count();
    std::string_view string() {
        const auto size = count();
        if (size > QOR_TEXT_MAX)
            throw Malformed{"a text longer than the library makes"};
        return take(size);
    }
    Text text() { return flag() ? Text::of(std::string(string())) : Text{}; }
    VariantValue variant();
    Kind kind(std::initializer_list<Kind> expected);
    void end() const {
        if (!rest_.empty())
            throw Malformed{"bytes after the end"};
    }

  private:
    std::string_view rest_;
};

// How each parameter kind travels. put()/takeBack() run in the rig, take()/view()/putBack()
// in the host, around a callDirect() there.
template <class P>
struct Wire;

template <Scalar S>
struct Wire<S> {
    using Held = S;
    static void put(Writer &w, S value) { w.scalar(value); }
    static Held take(Reader &r) { return r.scalar<S>(); }
    static S view(Held &held) { return held; }
    static void putBack(Writer &, const Held &) {}
    static void takeBack(Reader &, S) {}
};

// A text by value goes over whole; it comes back only when the library changed it in place,
// and then with exactly its size.
template <class C>
requires std::is_same_v<C, const char *> || std::is_same_v<C, char *>
struct Wire<C> {
    struct Held {
        bool null = true;
        std::string bytes;  // the text and its NUL
        std::string_view sent;
    };
    static void put(Writer &w, Buffer buffer) {
        w.scalar<std::uint8_t>(buffer.data ? 1 : 0);
        if (buffer.data)
            w.string({buffer.data, buffer.size});
    }
    static Held take(Reader &r) {
        Held held;
        held.null = !r.flag();
        if (!held.null) {
            held.sent = r.string();
            held.bytes.reserve(held.sent.size() + 1);
            held.bytes.append(held.sent).push_back('\0');
        }
        return held;
    }
    static Buffer view(Held &held) {
        return held.null ? Buffer{} : Buffer{held.bytes.data(), held.sent.size()};
    }
    static void putBack(Writer &w, const Held &held) {
        const bool changed =
            !held.null && std::memcmp(held.bytes.data(), held.sent.data(), held.sent.size()) != 0;
        w.scalar<std::uint8_t>(changed ? 1 : 0);
        if (changed)
            w.raw(held.bytes.data(), held.sent.size());
    }
    static void takeBack(Reader &r, Buffer buffer) {
        if (!r.flag())
            return;
        if (!buffer.data)
            throw Malformed{"a change to the null text"};
        const std::string_view changed = r.take(buffer.size);
        std::memcpy(buffer.data, changed.data(), buffer.size);
    }
};

template <ScalarReference S>
struct Wire<S *> {
    using Held = S;
    static void put(Writer &w, S *value) { w.scalar(*value); }
    static Held take(Reader &r) { return r.scalar<S>(); }
    static S *view(Held &held) { return &held; }
    static void putBack(Writer &w, const Held &held) { w.scalar(held); }
    static void takeBack(Reader &r, S *value) { *value = r.scalar<S>(); }
};

template <>
struct Wire<qor_text **> {
    using Held = Text;
    static void put(Writer &w, Text *text) { w.text(*text); }
    static Held take(Reader &r) { return r.text(); }
    static Text *view(Held &held) { return &held; }
    static void putBack(Writer &w, const Held &held) { w.text(held); }
    static void takeBack(Reader &r, Text *text) { *text = r.text(); }
};

template <class V>
requires std::is_same_v<V, const qor_variant *> || std::is_same_v<V, qor_variant *>
struct Wire<V> {
    using Held = VariantValue;
    static void put(Writer &w, VariantValue *value) { w.variant(*value); }
    static Held take(Reader &r) { return r.variant(); }
    static VariantValue *view(Held &held) { return &held; }
    static void putBack(Writer &w, const Held &held) { w.variant(held); }
    static void takeBack(Reader &r, VariantValue *value) { *value = r.variant(); }
};

template <class R>
void putResult(Writer &w, const ResultOf<R> &result) {
    if constexpr (std::is_same_v<R, qor_text *>)
        w.text(result);
    else
        w.scalar(result);
}

template <class R>
ResultOf<R> takeResult(Reader &r) {
    if constexpr (std::is_same_v<R, qor_text *>)
        return r.text();
    else
        return r.scalar<R>();
}

// ---- The rig's end ----

// What the host measures of a call besides making it: reading the clock and the memory is
// work on every call, done only for a rig that counts the cost.
enum class Measure : std::uint8_t { Nothing = 0, Time = 1, TimeAndMemory = 2 };

template <ExportId Id, class R, class... A>
std::string encodeCall(std::type_identity<R(A...)>, Measure measure, const ParamOf<A> &...args) {
    Writer w;
    w.kind(Kind::Call);
    w.scalar(static_cast<std::uint16_t>(Id));
    w.scalar(static_cast<std::uint8_t>(measure));
    (Wire<A>::put(w, args), ...);
    return std::move(w.bytes());
}

// Reads an Answer into the prepared arguments and returns the result, or raises the Failure
// the host sent.
void raiseFailure(Reader &r);
template <class R, class... A>
ResultOf<R> decodeAnswer(std::type_identity<R(A...)>, std::string_view answer, CallCost &cost,
                         const ParamOf<A> &...args) {
    Reader r(answer);
    if (r.kind({Kind::Answer, Kind::Failed}) == Kind::Failed)
        raiseFailure(r);
    cost.nanoseconds = r.count();
    cost.memoryBefore = r.count();
    (Wire<A>::takeBack(r, args), ...);
    if constexpr (std::is_void_v<R>) {
        r.end();
    } else {
        ResultOf<R> result = takeResult<R>(r);
        r.end();
        return result;
    }
}

// ---- The host's end ----

// Decodes a call of export Id from `r` (after its number), makes it on `function` and
// writes the Answer with the call's cost.
template <ExportId Id, class R, class... A>
void serveCall(R (*function)(A...), const Allocator &allocator, Reader &r, Writer &w) {
    const auto measure = static_cast<Measure>(r.scalar<std::uint8_t>());
    if (measure > Measure::TimeAndMemory)
        throw Malformed{"a call that asks for no known measurement"};
    // Braces: the arguments are read in order.
    std::tuple<typename Wire<A>::Held...> held{Wire<A>::take(r)...};
    r.end();
    const bool fits =
        std::apply([](auto &...h) { return argumentsFit<Id>(Wire<A>::view(h)...); }, held);
    if (!fits)
        throw Malformed{std::string("lengths past the texts of ") + Export<Id>::name};
    const std::uint64_t memory = measure == Measure::TimeAndMemory ? residentBytes() : 0;
    const auto answer = [&](std::uint64_t nanoseconds) {
        w.kind(Kind::Answer);
        w.count(nanoseconds);
        w.count(memory);
        std::apply([&](auto &...h) { (Wire<A>::putBack(w, h), ...); }, held);
    };
    const CallClock clock(measure != Measure::Nothing);
    if constexpr (std::is_void_v<R>) {
        std::apply([&](auto &...h) { callDirect<Id>(function, allocator, Wire<A>::view(h)...); },
                   held);
        answer(clock.elapsed());
    } else {
        const ResultOf<R> result = std::apply(
            [&](auto &...h) { return callDirect<Id>(function, allocator, Wire<A>::view(h)...); },
            held);
        answer(clock.elapsed());
        putResult<R>(w, result);
    }
}

// ---- Probes between calls ----

// A request for the memory resident in the host, its answer, and the figure it carries.
std::string encodeProbe();
std::string encodeProbed();
std::uint64_t decodeProbed(std::string_view answer);

// A request for the exports the loaded library lacks, its answer, and their numbers.
std::string encodeLookup();
std::string encodeMissing(const std::vector<std::uint16_t> &missing);
std::vector<std::uint16_t> decodeMissing(std::string_view answer);

void writeFailure(Writer &w, const Failure &failure);

// ---- Loading ----

// The library to load: a file, or the first loadable of `names` in `before`, the system's
// folders and `after` (UTF-8 paths).
struct LoadRequest {
    bool search = false;
    std::string path;
    std::vector<std::string> names, before, after;
};
std::string encodeLoad(const LoadRequest &request);
LoadRequest decodeLoad(Reader &r);  // after the kind
// The path the host loaded, or the Failure it sent raised.
std::string decodeLoaded(std::string_view answer);

}  // namespace qorhost
