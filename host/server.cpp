#include "server.h"

#include <filesystem>

#include "platform.h"
#include "wire.h"

namespace qorhost {

namespace {

using Serve = void (*)(void *function, const Allocator &, Reader &, Writer &);

template <ExportId Id>
void serve(void *function, const Allocator &allocator, Reader &r, Writer &w) {
    using Signature = typename Export<Id>::Signature;
    serveCall<Id>(reinterpret_cast<Signature *>(function), allocator, r, w);
}

constexpr Serve SERVE[] = {
#define QORHOST_SERVE(name) &serve<ExportId::name>,
    QORLIB145_FUNCTIONS(QORHOST_SERVE)
#undef QORHOST_SERVE
};
static_assert(std::size(SERVE) == EXPORT_COUNT);

std::filesystem::path fromUtf8(const std::string &text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string toUtf8(const std::filesystem::path &path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string failed(const Failure &failure) {
    Writer w;
    writeFailure(w, failure);
    return std::move(w.bytes());
}

}  // namespace

Server::Server(Symbols symbols) : given_(true) {
    adopt(std::move(symbols));
}

void Server::adopt(Symbols symbols) {
    symbols_ = std::move(symbols);
    allocator_ = Allocator::of(symbols_);
}

std::string Server::handle(std::string_view request) {
    Reader r(request);
    switch (r.kind({Kind::Load, Kind::Call, Kind::Probe, Kind::Lookup})) {
        case Kind::Load:
            return load(r);
        case Kind::Probe:
            r.end();
            return encodeProbed();
        case Kind::Lookup: {
            r.end();
            if (!symbols_)
                throw Malformed{"a look-up before a library is loaded"};
            std::vector<std::uint16_t> missing;
            for (std::uint16_t i = 0; i < EXPORT_COUNT; ++i)
                if (!address(i))
                    missing.push_back(i);
            return encodeMissing(missing);
        }
        default:
            return call(r);
    }
}

std::string Server::load(Reader &r) {
    const LoadRequest request = decodeLoad(r);
    if (symbols_ && !given_)
        throw Malformed{"a second library"};
    std::string path = request.path;
    if (!given_) {
        namespace platform = qorbind::platform;
        const auto paths = [](const std::vector<std::string> &list) {
            std::vector<platform::Path> out;
            for (const std::string &item : list)
                out.push_back(fromUtf8(item));
            return out;
        };
        const platform::Opened opened =
            request.search ? platform::search(paths(request.names), paths(request.before),
                                              paths(request.after))
                           : platform::open(fromUtf8(request.path));
        if (!opened.handle)
            return failed(
                {opened.fileFound ? Failure::LoadFailed : Failure::NotFound, opened.error});
        void *handle = opened.handle;
        adopt([handle](const char *name) { return platform::symbol(handle, name); });
        path = toUtf8(opened.path);
    }
    Writer w;
    w.kind(Kind::Loaded);
    w.string(path);
    return std::move(w.bytes());
}

std::string Server::call(Reader &r) {
    if (!symbols_)
        throw Malformed{"a call before a library is loaded"};
    const auto index = r.scalar<std::uint16_t>();
    if (index >= EXPORT_COUNT)
        throw Malformed{"an export of no known number"};
    const auto id = static_cast<ExportId>(index);
    void *function = address(index);
    if (!function)
        return failed({Failure::MissingExport, exportName(id)});
    Writer w;
    try {
        SERVE[index](function, allocator_, r, w);
    } catch (const Failure &failure) {
        return failed(failure);
    }
    return std::move(w.bytes());
}

void *Server::address(std::uint16_t index) {
    // A missing export is looked up once: a broken library is called many times over.
    static char missing;
    void *&known = addresses_[index];
    if (!known) {
        known = symbols_(exportName(static_cast<ExportId>(index)));
        if (!known)
            known = &missing;
    }
    return known == &missing ? nullptr : known;
}

}  // namespace qorhost
