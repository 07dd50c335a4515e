#include "calls.h"

namespace qorhost {

const char *exportName(ExportId id) {
    static constexpr const char *names[] = {
#define QORHOST_NAME(name) #name,
        QORLIB145_FUNCTIONS(QORHOST_NAME)
#undef QORHOST_NAME
    };
    const auto index = static_cast<std::size_t>(id);
    return index < EXPORT_COUNT ? names[index] : "?";
}

qor_text *Allocator::make(const Text &text) const {
    if (text.null)
        return nullptr;
    if (!textNew)
        throw Failure{Failure::MissingExport, "qor_text_new"};
    qor_text *made = textNew(text.bytes.data(), text.bytes.size());
    if (!made)
        throw Failure{Failure::OutOfMemory, {}};
    return made;
}

Text Allocator::take(qor_text *text) const {
    if (!text)
        return {};
    if (!textFree)
        throw Failure{Failure::MissingExport, "qor_text_free"};
    Text taken = Text::of(std::string(text->data, text->length));
    textFree(text);
    return taken;
}

void Allocator::release(qor_text *text) const {
    // A library without its release function cannot take the memory back.
    if (text && textFree)
        textFree(text);
}

void lowerVariant(const Allocator &allocator, const VariantValue &value, qor_variant &raw) {
    raw = qor_variant{};
    try {
        switch (value.type) {
            case QOR_VARIANT_INT32:
                raw.type = QOR_VARIANT_INT32;
                raw.int32_value = value.int32Value;
                break;
            case QOR_VARIANT_DOUBLE:
                raw.type = QOR_VARIANT_DOUBLE;
                raw.double_value = value.doubleValue;
                break;
            case QOR_VARIANT_TEXT:
                raw.type = QOR_VARIANT_TEXT;
                raw.text = allocator.make(value.text);
                break;
            case QOR_VARIANT_TEXT_ARRAY:
                raw.type = QOR_VARIANT_TEXT_ARRAY;
                raw.lower_bound = value.lowerBound;
                // The library releases the array with free(), so it is allocated with calloc().
                raw.items = static_cast<qor_text **>(
                    std::calloc(value.items.size() + 1, sizeof(qor_text *)));
                if (!raw.items)
                    throw Failure{Failure::OutOfMemory, {}};
                for (const Text &item : value.items)
                    raw.items[raw.count++] = allocator.make(item);
                break;
            default:
                break;
        }
    } catch (...) {
        clearVariant(allocator, raw);
        throw;
    }
}

VariantValue raiseVariant(const qor_variant &raw) {
    VariantValue value;
    const auto text = [](const qor_text *t) {
        return t ? Text::of(std::string(t->data, t->length)) : Text{};
    };
    switch (raw.type) {
        case QOR_VARIANT_INT32:
            value.type = raw.type;
            value.int32Value = raw.int32_value;
            break;
        case QOR_VARIANT_DOUBLE:
            value.type = raw.type;
            value.doubleValue = raw.double_value;
            break;
        case QOR_VARIANT_TEXT:
            value.type = raw.type;
            value.text = text(raw.text);
            break;
        case QOR_VARIANT_TEXT_ARRAY:
            value.type = raw.type;
            value.lowerBound = raw.lower_bound;
            for (std::int32_t i = 0; raw.items && i < raw.count; ++i)
                value.items.push_back(text(raw.items[i]));
            break;
        default:
            break;  // anything else reads as empty
    }
    return value;
}

void clearVariant(const Allocator &allocator, qor_variant &raw) {
    if (raw.type == QOR_VARIANT_EMPTY && !raw.items && !raw.text)
        return;
    // Without the library's release function its memory cannot go back.
    if (allocator.variantClear)
        allocator.variantClear(&raw);
    raw = qor_variant{};
}

}  // namespace qorhost
