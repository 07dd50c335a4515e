#include "marshal.h"

#include <cstdlib>
#include <cstring>

#include "rigerror.h"

namespace qorbind {

TextArg::TextArg(const char *latin1) {
    const std::size_t n = latin1 ? std::strlen(latin1) : 0;
    bytes_.resize(static_cast<qsizetype>(n) + 1);
    if (n)
        std::memcpy(bytes_.data(), latin1, n);
    bytes_[static_cast<qsizetype>(n)] = '\0';
}

void TextArg::assign(QStringView text) {
    bytes_.resize(text.size() + 1);
    char *out = bytes_.data();
    for (QChar c : text)
        *out++ = c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?';
    *out = '\0';
}

void TextArg::copyBack() {
    if (!variable_)
        return;
    // Most calls leave the buffer alone; comparing first spares an allocation per call.
    const QLatin1StringView buffer(bytes_.constData(), bytes_.size() - 1);
    if (*variable_ != buffer)
        *variable_ = buffer.toString();
}

qorhost::Text toText(QStringView text) {
    std::string bytes(static_cast<std::size_t>(text.size()), '\0');
    char *out = bytes.data();
    for (QChar c : text)
        *out++ = c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?';
    return qorhost::Text::of(std::move(bytes));
}

QString fromText(const qorhost::Text &text) {
    return text.null
               ? QString()
               : QString::fromLatin1(text.bytes.data(), static_cast<qsizetype>(text.bytes.size()));
}

std::int32_t Variant::lowerBound() const {
    if (!isArray())
        throw rt::RigError::typeMismatch();
    return lowerBound_;
}

std::int32_t Variant::upperBound() const {
    if (!isArray())
        throw rt::RigError::typeMismatch();
    return static_cast<std::int32_t>(lowerBound_ + items_.size() - 1);
}

QString Variant::element(std::int64_t index) const {
    if (!isArray())
        throw rt::RigError::typeMismatch();
    const std::int64_t position = index - lowerBound_;
    if (position < 0 || position >= items_.size())
        throw rt::RigError::subscriptOutOfRange();
    return items_.at(static_cast<qsizetype>(position));
}

QString Variant::text() const {
    switch (type_) {
        case Type::Int32:
            return QString::number(int32_);
        case Type::Double:
            return QString::number(double_, 'g', 15);
        case Type::Text:
            return text_;
        default:
            throw rt::RigError::typeMismatch();
    }
}

Variant Variant::fromInt32(std::int32_t value) {
    Variant v;
    v.type_ = Type::Int32;
    v.int32_ = value;
    return v;
}

Variant Variant::fromDouble(double value) {
    Variant v;
    v.type_ = Type::Double;
    v.double_ = value;
    return v;
}

Variant Variant::fromText(QString value) {
    Variant v;
    v.type_ = Type::Text;
    v.text_ = std::move(value);
    return v;
}

Variant Variant::fromArray(QStringList items, std::int32_t lowerBound) {
    Variant v;
    v.type_ = Type::TextArray;
    v.items_ = std::move(items);
    v.lowerBound_ = lowerBound;
    return v;
}

Variant Variant::fromValue(const qorhost::VariantValue &value) {
    switch (value.type) {
        case QOR_VARIANT_INT32:
            return fromInt32(value.int32Value);
        case QOR_VARIANT_DOUBLE:
            return fromDouble(value.doubleValue);
        case QOR_VARIANT_TEXT:
            return fromText(qorbind::fromText(value.text));
        case QOR_VARIANT_TEXT_ARRAY: {
            QStringList items;
            items.reserve(static_cast<qsizetype>(value.items.size()));
            for (const qorhost::Text &item : value.items)
                items << qorbind::fromText(item);
            return fromArray(std::move(items), value.lowerBound);
        }
        default:
            return empty();
    }
}

qorhost::VariantValue Variant::toValue() const {
    qorhost::VariantValue value;
    switch (type_) {
        case Type::Empty:
            break;
        case Type::Int32:
            value.type = QOR_VARIANT_INT32;
            value.int32Value = int32_;
            break;
        case Type::Double:
            value.type = QOR_VARIANT_DOUBLE;
            value.doubleValue = double_;
            break;
        case Type::Text:
            value.type = QOR_VARIANT_TEXT;
            value.text = toText(text_);
            break;
        case Type::TextArray:
            value.type = QOR_VARIANT_TEXT_ARRAY;
            value.lowerBound = lowerBound_;
            for (const QString &item : items_)
                value.items.push_back(toText(item));
            break;
    }
    return value;
}

}  // namespace qorbind
