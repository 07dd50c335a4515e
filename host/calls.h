// One list of exports, two ways to call them. Every export of qorlib145.h gets an id, and
// its signature is the header's own prototype (decltype), so a caller that disagrees with
// the header does not compile. A call's arguments are first "prepared" into plain values
// (Buffer, Text, VariantValue, scalars); callDirect() then lowers them onto the C ABI of a
// loaded library, and the wire codec (wire.h) carries the very same values to a host
// process, which calls callDirect() in its turn. Standard C++ only: both ends use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "qorlib145_exports.h"
#include "running.h"

namespace qorhost {

enum class ExportId : std::uint16_t {
#define QORHOST_ID(name) name,
    QORLIB145_FUNCTIONS(QORHOST_ID)
#undef QORHOST_ID
};

#define QORHOST_COUNT(name) +1
inline constexpr std::size_t EXPORT_COUNT = 0 QORLIB145_FUNCTIONS(QORHOST_COUNT);
#undef QORHOST_COUNT

// The export's name and C signature, as the header declares them.
template <ExportId Id>
struct Export;
#define QORHOST_EXPORT(export_name)                       \
    template <>                                           \
    struct Export<ExportId::export_name> {                \
        using Signature = decltype(::export_name);        \
        static constexpr const char *name = #export_name; \
    };
QORLIB145_FUNCTIONS(QORHOST_EXPORT)
#undef QORHOST_EXPORT

const char *exportName(ExportId id);

// A failure of a call that is not the library's answer.
struct Failure {
    enum Kind {
        MissingExport,  // the library lacks the export named in `detail`
        OutOfMemory,    // a text for the library could not be made
        InvalidCall,    // the arguments would make the library read past the rig's copy
        NotFound,       // no library file where it was looked for
        LoadFailed,     // a file is there but does not load; `detail` is the loader's reason
        HostFailed,     // the host cannot be started, or broke the channel
        Crashed,        // the host died during the call; `detail` is the cause
        TimedOut,       // the call ran past its limit
    };
    Kind kind;
    std::string detail;
};

// ---- Prepared values ----

// A counted text that may hold NULs, or the null text.
struct Text {
    bool null = true;
    std::string bytes;

    static Text of(std::string bytes) { return {false, std::move(bytes)}; }
    friend bool operator==(const Text &, const Text &) = default;
};

// A text passed by value: `size` bytes at `data` followed by a NUL, owned by the caller,
// which the library may change in place; a null `data` is the null text.
struct Buffer {
    char *data = nullptr;
    std::size_t size = 0;
};

// A variant: the fields that its type gives meaning to.
struct VariantValue {
    std::int32_t type = QOR_VARIANT_EMPTY;
    std::int32_t lowerBound = 0;
    std::int32_t int32Value = 0;
    double doubleValue = 0;
    Text text;                // QOR_VARIANT_TEXT
    std::vector<Text> items;  // QOR_VARIANT_TEXT_ARRAY
    friend bool operator==(const VariantValue &, const VariantValue &) = default;
};

template <class T>
concept Scalar = std::is_arithmetic_v<T>;
// A number passed by reference; a pointer to char is a text.
template <class T>
concept ScalarReference = Scalar<T> && !std::is_same_v<std::remove_cv_t<T>, char>;

// What a caller prepares for a parameter of C type P, and what it gets back for a result.
template <class P>
struct Param;
template <Scalar S>
struct Param<S> {
    using type = S;
};
template <>
struct Param<const char *> {
    using type = Buffer;
};
template <>
struct Param<char *> {
    using type = Buffer;
};
template <ScalarReference S>
struct Param<S *> {
    using type = S *;
};
template <>
struct Param<qor_text **> {
    using type = Text *;
};
template <>
struct Param<const qor_variant *> {
    using type = VariantValue *;
};
template <>
struct Param<qor_variant *> {
    using type = VariantValue *;
};

template <class R>
struct Result {
    using type = R;
};
template <>
struct Result<qor_text *> {
    using type = Text;  // null when the library ran out of memory
};

template <class P>
using ParamOf = typename Param<P>::type;
template <class R>
using ResultOf = typename Result<R>::type;

// ---- Arguments the library reads beyond their NUL ----

// EncryptString and RLECompress read `length` bytes of their buffer, RLEUncompress as many
// as its packed length says. More than the prepared buffer holds would make the library
// read (and EncryptString write) past it, so neither end lets such a call through.
template <ExportId Id, class... P>
bool argumentsFit(const P &...args) {
    const auto tied = std::tie(args...);
    const auto fits = [](const Buffer &buffer, std::int64_t length) {
        return length <= static_cast<std::int64_t>(buffer.size);
    };
    if constexpr (Id == ExportId::EncryptString || Id == ExportId::RLECompress)
        return fits(std::get<0>(tied), std::get<1>(tied));
    else if constexpr (Id == ExportId::RLEUncompress)
        return std::get<1>(tied) != nullptr && fits(std::get<0>(tied), *std::get<1>(tied));
    else
        return true;
}

// ---- Direct calls ----

// The library's allocator, which every text it receives or returns goes through.
struct Allocator {
    qor_text *(*textNew)(const void *, std::size_t) = nullptr;
    void (*textFree)(qor_text *) = nullptr;
    void (*variantClear)(qor_variant *) = nullptr;

    // The three functions of a library, looked up by `symbol(name)`; a missing one stays
    // null and fails only when it is needed.
    template <class Lookup>
    static Allocator of(Lookup &&symbol) {
        return {reinterpret_cast<decltype(textNew)>(symbol("qor_text_new")),
                reinterpret_cast<decltype(textFree)>(symbol("qor_text_free")),
                reinterpret_cast<decltype(variantClear)>(symbol("qor_variant_clear"))};
    }

    qor_text *make(const Text &text) const;  // nullptr for the null text
    Text take(qor_text *text) const;         // converts and releases
    void release(qor_text *text) const;
};

// Builds the library's variant from `value` and back; the variant is the library's to clear.
void lowerVariant(const Allocator &allocator, const VariantValue &value, qor_variant &raw);
VariantValue raiseVariant(const qor_variant &raw);
void clearVariant(const Allocator &allocator, qor_variant &raw);

namespace detail {

// A prepared value on its way to the C ABI and back: get() is the C argument, finish()
// takes back what the library left, the destructor releases what was made for it.
template <class P>
struct Lower;

template <Scalar S>
struct Lower<S> {
    S value;
    Lower(const Allocator &, S v) : value(v) {}
    S get() const { return value; }
    void finish() {}
};

template <class C>
requires std::is_same_v<C, const char *> || std::is_same_v<C, char *>
struct Lower<C> {
    Buffer buffer;
    Lower(const Allocator &, Buffer b) : buffer(b) {}
    C get() const { return buffer.data; }
    void finish() {}
};

template <ScalarReference S>
struct Lower<S *> {
    S *pointer;
    Lower(const Allocator &, S *p) : pointer(p) {}
    S *get() const { return pointer; }
    void finish() {}
};

template <>
struct Lower<qor_text **> {
    const Allocator &allocator;
    Text *text;
    qor_text *raw;
    Lower(const Allocator &a, Text *t) : allocator(a), text(t), raw(a.make(*t)) {}
    Lower(Lower &&other) noexcept
        : allocator(other.allocator), text(other.text), raw(std::exchange(other.raw, nullptr)) {}
    ~Lower() { allocator.release(raw); }
    qor_text **get() { return &raw; }
    void finish() { *text = allocator.take(std::exchange(raw, nullptr)); }
};

template <class V>
requires std::is_same_v<V, const qor_variant *> || std::is_same_v<V, qor_variant *>
struct Lower<V> {
    const Allocator &allocator;
    VariantValue *value;
    qor_variant raw{};
    bool owned = true;
    Lower(const Allocator &a, VariantValue *v) : allocator(a), value(v) {
        lowerVariant(a, *v, raw);
    }
    Lower(Lower &&other) noexcept
        : allocator(other.allocator),
          value(other.value),
          raw(other.raw),
          owned(std::exchange(other.owned, false)) {}
    ~Lower() {
        if (owned)
            clearVariant(allocator, raw);
    }
    qor_variant *get() { return &raw; }
    void finish() { *value = raiseVariant(raw); }
};

}  // namespace detail

// Calls `function` with the prepared arguments and takes back what it changed and returned.
// Marks the export as running for the crash handlers while it runs.
template <ExportId Id, class R, class... A>
ResultOf<R> callDirect(R (*function)(A...), const Allocator &allocator, ParamOf<A>... args) {
    if (!argumentsFit<Id>(args...))
        throw Failure{Failure::InvalidCall, {}};
    // Making and releasing the library's texts runs library code too.
    const RunningExport running(Export<Id>::name);
    std::tuple<detail::Lower<A>...> lowered{detail::Lower<A>(allocator, args)...};
    const auto finish = [&] { std::apply([](auto &...l) { (l.finish(), ...); }, lowered); };
    if constexpr (std::is_void_v<R>) {
        std::apply([&](auto &...l) { function(l.get()...); }, lowered);
        finish();
    } else {
        const R result = std::apply([&](auto &...l) { return function(l.get()...); }, lowered);
        finish();
        if constexpr (std::is_same_v<R, qor_text *>)
            return allocator.take(result);
        else
            return result;
    }
}

}  // namespace qorhost
