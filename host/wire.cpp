#include "wire.h"

namespace qorhost {

std::uint64_t exportListDigest() {
    // FNV-1a over the names in order: a host from another header has other ids.
    std::uint64_t digest = 14695981039346656037ull;
    for (std::size_t i = 0; i < EXPORT_COUNT; ++i) {
        for (const char *c = exportName(static_cast<ExportId>(i)); *c; ++c)
            digest = (digest ^ static_cast<unsigned char>(*c)) * 1099511628211ull;
        digest = (digest ^ ';') * 1099511628211ull;
    }
    return digest;
}

void Writer::variant(const VariantValue &value) {
    scalar(value.type);
    scalar(value.lowerBound);
    scalar(value.int32Value);
    scalar(value.doubleValue);
    text(value.text);
    scalar(static_cast<std::uint32_t>(value.items.size()));
    for (const Text &item : value.items)
        text(item);
}

VariantValue Reader::variant() {
    VariantValue value;
    value.type = scalar<std::int32_t>();
    if (value.type < QOR_VARIANT_EMPTY || value.type > QOR_VARIANT_TEXT_ARRAY)
        throw Malformed{"a variant of no known type"};
    value.lowerBound = scalar<std::int32_t>();
    value.int32Value = scalar<std::int32_t>();
    value.doubleValue = scalar<double>();
    value.text = text();
    const auto count = scalar<std::uint32_t>();
    // Every element takes at least its flag byte: a count the message cannot hold is a lie.
    if (count > rest_.size() || count > INT32_MAX)
        throw Malformed{"more array elements than the message holds"};
    value.items.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        value.items.push_back(text());
    return value;
}

std::uint64_t Reader::count() {
    std::uint64_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto group = scalar<std::uint8_t>();
        // The tenth group holds the top bit alone; a longer or wider one is no figure.
        if (shift == 63 && group > 1)
            throw Malformed{"a figure past 64 bits"};
        value |= static_cast<std::uint64_t>(group & 0x7f) << shift;
        if (!(group & 0x80)) {
            // One way to write each figure, so a message reads back as it was written.
            if (group == 0 && shift > 0)
                throw Malformed{"a figure in more groups than it needs"};
            return value;
        }
    }
}

Kind Reader::kind(std::initializer_list<Kind> expected) {
    const auto kind = static_cast<Kind>(scalar<std::uint8_t>());
    for (Kind k : expected)
        if (k == kind)
            return kind;
    throw Malformed{"a message of the wrong kind"};
}

void writeFailure(Writer &w, const Failure &failure) {
    w.kind(Kind::Failed);
    w.scalar(static_cast<std::uint32_t>(failure.kind));
    w.string(failure.detail);
}

void raiseFailure(Reader &r) {
    const auto kind = r.scalar<std::uint32_t>();
    if (kind > Failure::TimedOut)
        throw Malformed{"a failure of no known kind"};
    Failure failure{static_cast<Failure::Kind>(kind), std::string(r.string())};
    r.end();
    throw failure;
}

namespace {

void putList(Writer &w, const std::vector<std::string> &list) {
    w.scalar(static_cast<std::uint32_t>(list.size()));
    for (const std::string &item : list)
        w.string(item);
}

std::vector<std::string> takeList(Reader &r) {
    const auto count = r.scalar<std::uint32_t>();
    std::vector<std::string> list;
    for (std::uint32_t i = 0; i < count; ++i)
        list.emplace_back(r.string());  // each read is checked, so a false count runs out
    return list;
}

}  // namespace

std::string encodeLoad(const LoadRequest &request) {
    Writer w;
    w.kind(Kind::Load);
    w.scalar(exportListDigest());
    w.scalar<std::uint8_t>(request.search ? 1 : 0);
    w.string(request.path);
    putList(w, request.names);
    putList(w, request.before);
    putList(w, request.after);
    return std::move(w.bytes());
}

LoadRequest decodeLoad(Reader &r) {
    if (r.scalar<std::uint64_t>() != exportListDigest())
        throw Malformed{"the rig was built from another qorlib145.h"};
    LoadRequest request;
    request.search = r.flag();
    request.path = r.string();
    request.names = takeList(r);
    request.before = takeList(r);
    request.after = takeList(r);
    r.end();
    return request;
}

std::string decodeLoaded(std::string_view answer) {
    Reader r(answer);
    if (r.kind({Kind::Loaded, Kind::Failed}) == Kind::Failed)
        raiseFailure(r);
    std::string path(r.string());
    r.end();
    return path;
}

std::string encodeProbe() {
    Writer w;
    w.kind(Kind::Probe);
    return std::move(w.bytes());
}

std::string encodeProbed() {
    Writer w;
    w.kind(Kind::Probed);
    w.scalar<std::uint64_t>(residentBytes());
    return std::move(w.bytes());
}

std::uint64_t decodeProbed(std::string_view answer) {
    Reader r(answer);
    r.kind({Kind::Probed});
    const auto bytes = r.scalar<std::uint64_t>();
    r.end();
    return bytes;
}

std::string encodeLookup() {
    Writer w;
    w.kind(Kind::Lookup);
    return std::move(w.bytes());
}

std::string encodeMissing(const std::vector<std::uint16_t> &missing) {
    Writer w;
    w.kind(Kind::Missing);
    w.scalar(static_cast<std::uint32_t>(missing.size()));
    for (std::uint16_t index : missing)
        w.scalar(index);
    return std::move(w.bytes());
}

std::vector<std::uint16_t> decodeMissing(std::string_view answer) {
    Reader r(answer);
    if (r.kind({Kind::Missing, Kind::Failed}) == Kind::Failed)
        raiseFailure(r);
    const auto count = r.scalar<std::uint32_t>();
    if (count > EXPORT_COUNT)
        throw Malformed{"more missing exports than there are"};
    std::vector<std::uint16_t> missing;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto index = r.scalar<std::uint16_t>();
        if (index >= EXPORT_COUNT || (!missing.empty() && index <= missing.back()))
            throw Malformed{"an export of no known number, or out of order"};
        missing.push_back(index);
    }
    r.end();
    return missing;
}

}  // namespace qorhost
