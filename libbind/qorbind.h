// The rig's bindings of the utility library's exports, made from the header's prototypes:
// qor::StrRev and its 81 siblings take each C parameter as the rig's own kind, so a call
// that disagrees with qorlib145.h does not compile.
//
//   C parameter                  the rig passes
//   number (int16_t, double...)  the number
//   const char *, char *         TextArg: a text by value, copied back into a variable
//   number *                     a reference to a number variable
//   qor_text **                  QString &: a text by reference
//   qor_variant *                Variant &; a leading qor_variant * of a function returning
//                                void is its hidden result, returned as a Variant
//   result qor_text *            QString (RigError 7 when the library runs out of memory)
//
// Each call goes to the library loaded in this process or in its host (library.h), and
// raises rt::RigError when the library or the export is missing, the arguments would make
// the library read past the texts passed, or the library crashed or hung in its host.
#pragma once

#include <QString>
#include <cstdint>
#include <tuple>
#include <type_traits>

#include "calls.h"
#include "library.h"
#include "marshal.h"
#include "rigerror.h"
#include "wire.h"

namespace qorbind {

// The rig's kind for a C parameter P: what a caller passes and what reaches the library.
template <class P>
struct Rig;

template <qorhost::Scalar S>
struct Rig<S> {
    using Arg = S;
    struct Slot {
        S value;
        explicit Slot(S v) : value(v) {}
        S prepared() { return value; }
        void back() {}
    };
};

template <class C>
requires std::is_same_v<C, const char *> || std::is_same_v<C, char *>
struct Rig<C> {
    using Arg = TextArg;
    struct Slot {
        TextArg &text;
        explicit Slot(TextArg &t) : text(t) {}
        qorhost::Buffer prepared() { return text.buffer(); }
        void back() { text.copyBack(); }
    };
};

template <qorhost::ScalarReference S>
struct Rig<S *> {
    using Arg = S &;
    struct Slot {
        S &variable;
        explicit Slot(S &v) : variable(v) {}
        S *prepared() { return &variable; }
        void back() {}
    };
};

template <>
struct Rig<qor_text **> {
    using Arg = QString &;
    struct Slot {
        QString &variable;
        qorhost::Text text;
        explicit Slot(QString &v) : variable(v), text(toText(v)) {}
        qorhost::Text *prepared() { return &text; }
        void back() { variable = fromText(text); }
    };
};

template <class V>
requires std::is_same_v<V, const qor_variant *> || std::is_same_v<V, qor_variant *>
struct Rig<V> {
    using Arg = Variant &;
    struct Slot {
        Variant &variable;
        qorhost::VariantValue value;
        explicit Slot(Variant &v) : variable(v), value(v.toValue()) {}
        qorhost::VariantValue *prepared() { return &value; }
        // The library may not change the variant; the rig takes back whatever it holds.
        void back() { variable = Variant::fromValue(value); }
    };
};

// Calls export Id with prepared arguments, in this process or in the host.
template <qorhost::ExportId Id, class R, class... A>
qorhost::ResultOf<R> call(qorhost::ParamOf<A>... args) {
    Library &library = Library::instance();
    try {
        // Before the look-up, so both ways refuse such a call alike, even to a library that
        // lacks the export (callDirect() checks again for its other callers).
        if (!qorhost::argumentsFit<Id>(args...))
            throw qorhost::Failure{qorhost::Failure::InvalidCall, {}};
        const bool probe = library.profiling() && library.profile().wantsProbe(Id);
        if (!library.isolated()) {
            const auto function = reinterpret_cast<R (*)(A...)>(library.address(Id));
            if (!library.profiling())
                return qorhost::callDirect<Id>(function, library.allocator(), args...);
            const std::uint64_t memory = probe ? qorhost::residentBytes() : 0;
            const qorhost::CallClock clock;
            const auto record = [&] { library.profile().record(Id, clock.elapsed(), probe, memory); };
            if constexpr (std::is_void_v<R>) {
                qorhost::callDirect<Id>(function, library.allocator(), args...);
                record();
            } else {
                auto result = qorhost::callDirect<Id>(function, library.allocator(), args...);
                record();
                return result;
            }
        } else {
            constexpr std::type_identity<R(A...)> signature;
            using qorhost::Measure;
            const Measure measure = !library.profiling() ? Measure::Nothing
                                    : probe              ? Measure::TimeAndMemory
                                                         : Measure::Time;
            const std::string &answer =
                library.exchange(qorhost::encodeCall<Id>(signature, measure, args...), Id);
            qorhost::CallCost cost;
            const auto record = [&] {
                if (library.profiling())
                    library.profile().record(Id, cost.nanoseconds, probe, cost.memoryBefore);
            };
            try {
                if constexpr (std::is_void_v<R>) {
                    qorhost::decodeAnswer(signature, answer, cost, args...);
                    record();
                } else {
                    auto result = qorhost::decodeAnswer(signature, answer, cost, args...);
                    record();
                    return result;
                }
            } catch (const qorhost::Malformed &malformed) {
                library.brokenAnswer(malformed.reason, Id);
            }
        }
    } catch (const qorhost::Failure &failure) {
        library.raise(failure, Id);
    }
}

template <class R>
auto rigResult(qorhost::ResultOf<R> &&result) {
    if constexpr (std::is_same_v<R, qor_text *>) {
        if (result.null)
            throw rt::RigError::outOfMemory();
        return fromText(result);
    } else {
        return result;
    }
}

template <qorhost::ExportId Id, class Signature = typename qorhost::Export<Id>::Signature>
class Binding;

template <qorhost::ExportId Id, class R, class... A>
class Binding<Id, R(A...)> {
  public:
    auto operator()(typename Rig<A>::Arg... args) const {
        std::tuple<typename Rig<A>::Slot...> held{typename Rig<A>::Slot(args)...};
        const auto back = [&] { std::apply([](auto &...s) { (s.back(), ...); }, held); };
        if constexpr (std::is_void_v<R>) {
            std::apply([](auto &...s) { call<Id, R, A...>(s.prepared()...); }, held);
            back();
        } else {
            auto result =
                std::apply([](auto &...s) { return call<Id, R, A...>(s.prepared()...); }, held);
            back();
            return rigResult<R>(std::move(result));
        }
    }
};

// A function that fills a caller's variant through its first parameter returns it.
template <qorhost::ExportId Id, class... A>
class Binding<Id, void(qor_variant *, A...)> {
  public:
    Variant operator()(typename Rig<A>::Arg... args) const {
        std::tuple<typename Rig<A>::Slot...> held{typename Rig<A>::Slot(args)...};
        qorhost::VariantValue result;
        std::apply(
            [&](auto &...s) { call<Id, void, qor_variant *, A...>(&result, s.prepared()...); },
            held);
        std::apply([](auto &...s) { (s.back(), ...); }, held);
        return Variant::fromValue(result);
    }
};

}  // namespace qorbind

namespace qor {

using qorbind::TextArg;
using qorbind::Variant;

#define QORBIND_DECLARE(name) inline constexpr qorbind::Binding<qorhost::ExportId::name> name{};
QORLIB145_FUNCTIONS(QORBIND_DECLARE)
#undef QORBIND_DECLARE

}  // namespace qor
