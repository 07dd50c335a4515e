// The channel to the library host, from both ends, against a stub library whose every
// export is a deterministic function of all its arguments.
//
// Input: one mode byte, then
//   mode 0  a request for the host: it is answered or refused as malformed, and an answer
//           to a call, a probe or a look-up reads back cleanly at the rig's end;
//   mode 1  two bytes of export number, then an answer for the rig's reader of that export;
//   mode 2  two bytes of export number, then the source of the call's argument values: the
//           call made directly and the call made through the host give the same result and
//           leave the same values in every argument, or fail the same way; the host's answer
//           carries the memory figure exactly when the call asked for it, and no time when
//           it asked for nothing;
//   mode 3  a mailbox (its header fields, then data) read as a message by the rig.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "channel.h"
#include "server.h"
#include "wire.h"

#define FUZZ_REQUIRE(condition) ((condition) ? (void)0 : broken(#condition, __FILE__, __LINE__))

namespace {

using namespace qorhost;

[[noreturn]] void broken(const char *promise, const char *file, int line) {
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, promise);
    std::abort();
}

// ---- The stub library ----

struct Hash {
    std::uint64_t value = 1469598103934665603ull;
    void bytes(const void *data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            value = (value ^ static_cast<const unsigned char *>(data)[i]) * 1099511628211ull;
        value = (value ^ 0x5a) * 1099511628211ull;
    }
    template <Scalar S>
    void add(S v) {
        bytes(&v, sizeof v);
    }
    void add(const char *text) { text ? bytes(text, std::strlen(text)) : add(0xffff); }
    template <ScalarReference S>
    void add(S *v) {
        add(*v);
    }
    void add(qor_text **text) { *text ? bytes((*text)->data, (*text)->length) : add(0xfffe); }
    void add(const qor_variant *v) {
        add(v->type);
        if (v->type == QOR_VARIANT_TEXT_ARRAY && v->items)
            for (std::int32_t i = 0; i < v->count; ++i)
                add(&v->items[i]);
    }
};

qor_text *madeText(std::uint64_t h) {
    std::string text = std::to_string(h);
    text.resize(h % 23, static_cast<char>(h >> 16));  // may hold NULs
    return qor_text_new(text.data(), text.size());
}

template <class P>
void effect(std::uint64_t h, P argument) {
    if constexpr (std::is_same_v<P, char *>) {
        if (argument && *argument)
            argument[0] = static_cast<char>(h | 1);
    } else if constexpr (std::is_same_v<P, qor_text **>) {
        qor_text_free(*argument);
        *argument = h % 11 == 0 ? nullptr : madeText(h);
    } else if constexpr (std::is_same_v<P, qor_variant *>) {
        qor_variant_clear(argument);
        if (h & 1) {
            argument->type = QOR_VARIANT_TEXT_ARRAY;
            argument->lower_bound = static_cast<std::int32_t>(h >> 8) % 5;
            argument->count = static_cast<std::int32_t>(h % 3);
            argument->items = static_cast<qor_text **>(std::calloc(3, sizeof(qor_text *)));
            for (std::int32_t i = 0; i < argument->count; ++i)
                argument->items[i] = madeText(h + static_cast<std::uint64_t>(i));
        }
    } else if constexpr (std::is_pointer_v<P> && ScalarReference<std::remove_pointer_t<P>>) {
        *argument = static_cast<std::remove_pointer_t<P>>(h % 1000);
    }
}

template <class Signature>
struct Stub;
template <class R, class... A>
struct Stub<R(A...)> {
    static R call(A... arguments) {
        Hash hash;
        (hash.add(arguments), ...);
        (effect(hash.value, arguments), ...);
        if constexpr (std::is_same_v<R, qor_text *>)
            return hash.value % 13 == 0 ? nullptr : madeText(hash.value);
        else if constexpr (!std::is_void_v<R>)
            return static_cast<R>(hash.value % 100003);
    }
};

void *stubSymbol(const char *name) {
#define QORHOST_STUB(export_name)         \
    if (!std::strcmp(name, #export_name)) \
        return reinterpret_cast<void *>(&Stub<decltype(::export_name)>::call);
    QORLIB145_FUNCTIONS(QORHOST_STUB)
#undef QORHOST_STUB
    if (!std::strcmp(name, "qor_text_new"))
        return reinterpret_cast<void *>(&qor_text_new);
    if (!std::strcmp(name, "qor_text_free"))
        return reinterpret_cast<void *>(&qor_text_free);
    if (!std::strcmp(name, "qor_variant_clear"))
        return reinterpret_cast<void *>(&qor_variant_clear);
    return nullptr;
}

const Allocator STUB_ALLOCATOR{&qor_text_new, &qor_text_free, &qor_variant_clear};

// ---- Argument values from the input ----

struct Source {
    const std::uint8_t *data;
    std::size_t size;
    std::uint8_t byte() {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    template <Scalar S>
    S scalar() {
        S value{};
        for (std::size_t i = 0; i < sizeof value; ++i)
            reinterpret_cast<std::uint8_t *>(&value)[i] = byte();
        return value;
    }
    Text text() {
        const std::uint8_t length = byte();
        if (length == 255)
            return {};
        std::string bytes;
        for (std::uint8_t i = 0; i < length; ++i)
            bytes.push_back(static_cast<char>(byte()));
        return Text::of(std::move(bytes));
    }
};

// A prepared argument and the storage it points into.
template <class P>
struct Made {
    explicit Made(Source &s) : value(s.scalar<P>()) {}
    P param() { return value; }
    P value;
    bool operator==(const Made &o) const {
        return std::memcmp(&value, &o.value, sizeof value) == 0;
    }
};
template <class C>
requires std::is_same_v<C, const char *> || std::is_same_v<C, char *>
struct Made<C> {
    explicit Made(Source &s) : text(s.text()) { text.bytes.push_back('\0'); }
    Buffer param() {
        return text.null ? Buffer{} : Buffer{text.bytes.data(), text.bytes.size() - 1};
    }
    Text text;
    bool operator==(const Made &) const = default;
};
template <ScalarReference S>
struct Made<S *> {
    explicit Made(Source &s) : value(s.scalar<S>()) {}
    S *param() { return &value; }
    S value;
    bool operator==(const Made &o) const {
        return std::memcmp(&value, &o.value, sizeof value) == 0;
    }
};
template <>
struct Made<qor_text **> {
    explicit Made(Source &s) : text(s.text()) {}
    Text *param() { return &text; }
    Text text;
    bool operator==(const Made &) const = default;
};
template <class V>
requires std::is_same_v<V, const qor_variant *> || std::is_same_v<V, qor_variant *>
struct Made<V> {
    explicit Made(Source &s) {
        value.type = s.byte() % 5;
        value.lowerBound = s.scalar<std::int8_t>();
        value.int32Value = s.scalar<std::int32_t>();
        value.text = s.text();
        for (std::uint8_t n = s.byte() % 4; n > 0; --n)
            value.items.push_back(s.text());
    }
    VariantValue *param() { return &value; }
    VariantValue value;
    bool operator==(const Made &) const = default;
};

template <class R>
using Kept = std::conditional_t<std::is_void_v<R>, char, ResultOf<R>>;

template <class R>
bool sameResult(const Kept<R> &a, const Kept<R> &b) {
    if constexpr (std::is_void_v<R>)
        return true;
    else if constexpr (std::is_same_v<R, qor_text *>)
        return a == b;
    else
        return std::memcmp(&a, &b, sizeof a) == 0;
}

template <class R>
struct Outcome {
    int failure = -1;
    Kept<R> result{};
};

// Modes 1 and 2 for export Id.
template <ExportId Id, class R, class... A>
void exercise(std::type_identity<R(A...)> signature, bool differential, Source source) {
    Source again = source;
    std::tuple<Made<A>...> direct{Made<A>(source)...};
    std::tuple<Made<A>...> remote{Made<A>(again)...};
    const auto stub = &Stub<R(A...)>::call;
    if (!differential) {
        // `source` is what is left after the arguments: the answer.
        std::apply(
            [&](auto &...m) {
                try {
                    CallCost cost;
                    decodeAnswer(signature,
                                 {reinterpret_cast<const char *>(source.data), source.size},
                                 cost, m.param()...);
                } catch (const Malformed &) {
                } catch (const Failure &) {
                }
            },
            remote);
        return;
    }
    Outcome<R> ours, theirs;
    std::apply(
        [&](auto &...m) {
            try {
                if constexpr (std::is_void_v<R>)
                    callDirect<Id>(stub, STUB_ALLOCATOR, m.param()...);
                else
                    ours.result = callDirect<Id>(stub, STUB_ALLOCATOR, m.param()...);
            } catch (const Failure &f) {
                ours.failure = f.kind;
            }
        },
        direct);
    std::apply(
        [&](auto &...m) {
            if (!argumentsFit<Id>(m.param()...)) {
                theirs.failure = Failure::InvalidCall;  // the rig never sends such a call
                return;
            }
            Server server(&stubSymbol);
            // Measured or not, the call's values are the same.
            const auto measure = static_cast<Measure>(again.size % 3);
            const std::string answer =
                server.handle(encodeCall<Id>(signature, measure, m.param()...));
            CallCost cost;
            try {
                if constexpr (std::is_void_v<R>)
                    decodeAnswer(signature, answer, cost, m.param()...);
                else
                    theirs.result = decodeAnswer(signature, answer, cost, m.param()...);
                FUZZ_REQUIRE((measure == Measure::TimeAndMemory) == (cost.memoryBefore != 0));
                FUZZ_REQUIRE(measure != Measure::Nothing || cost.nanoseconds == 0);
            } catch (const Failure &f) {
                theirs.failure = f.kind;
            }
        },
        remote);
    FUZZ_REQUIRE(ours.failure == theirs.failure);
    FUZZ_REQUIRE(ours.failure != -1 || sameResult<R>(ours.result, theirs.result));
    FUZZ_REQUIRE(direct == remote);
}

using Exercise = void (*)(bool, Source);
template <ExportId Id>
void exerciseExport(bool differential, Source source) {
    exercise<Id>(std::type_identity<typename Export<Id>::Signature>{}, differential, source);
}
constexpr Exercise EXERCISE[] = {
#define QORHOST_EXERCISE(name) &exerciseExport<ExportId::name>,
    QORLIB145_FUNCTIONS(QORHOST_EXERCISE)
#undef QORHOST_EXERCISE
};

class NoSignal final : public Signal {
  public:
    void notify() override {}
    Wait wait(Clock::time_point) override { return Wait::PeerGone; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0] % 4;
    const std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    if (mode == 0) {
        Server server(&stubSymbol);
        std::string answer;
        try {
            answer = server.handle(rest);
        } catch (const Malformed &) {
            return 0;
        }
        Reader r(answer);
        const Kind kind =
            r.kind({Kind::Answer, Kind::Loaded, Kind::Failed, Kind::Probed, Kind::Missing});
        if (kind == Kind::Probed) {
            FUZZ_REQUIRE(decodeProbed(answer) != 0);
        } else if (kind == Kind::Missing) {
            // The stub lacks none of the exports.
            FUZZ_REQUIRE(decodeMissing(answer).empty());
        } else if (kind == Kind::Failed) {
            try {
                raiseFailure(r);
            } catch (const Failure &) {
            }
        } else if (kind == Kind::Loaded) {
            FUZZ_REQUIRE(decodeLoaded(answer).size() < rest.size());
        }
        return 0;
    }
    if (mode == 1 || mode == 2) {
        if (size < 3)
            return 0;
        const std::size_t index = (data[1] | data[2] << 8) % EXPORT_COUNT;
        EXERCISE[index](mode == 2, Source{data + 3, size - 3});
        return 0;
    }
    // Mode 3: whatever the other side leaves in the mailbox, the reader copes.
    alignas(Mailbox) static char memory[MAILBOX_DATA + 4096];
    NoSignal signal;
    Channel rig(memory, sizeof memory, Channel::Rig, signal);
    Mailbox &box = *reinterpret_cast<Mailbox *>(memory);
    Source source{data + 1, size - 1};
    box.turn.store(source.byte() % 4);
    box.chunk = source.scalar<std::uint32_t>() % (2 * sizeof memory);
    box.total = source.scalar<std::uint32_t>() % (4 * sizeof memory);
    std::memcpy(memory + MAILBOX_DATA, source.data,
                std::min(source.size, sizeof memory - MAILBOX_DATA));
    std::string message;
    try {
        if (rig.receive(message) == Wait::Ready)
            FUZZ_REQUIRE(message.size() == box.total && message.size() <= sizeof memory);
    } catch (const Malformed &) {
    }
    return 0;
}
