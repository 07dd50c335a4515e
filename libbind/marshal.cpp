#include "marshal.h"

#include <cstdlib>
#include <cstring>

#include "library.h"
#include "qorlib145.h"
#include "rigerror.h"

namespace qorbind {

namespace {

const Export<qor_text *(const void *, size_t)> textNew{"qor_text_new"};
const Export<void(qor_text *)> textFree{"qor_text_free"};
const Export<void(qor_variant *)> variantClear{"qor_variant_clear"};

QString fromBytes(const qor_text *text) {
    return text ? QString::fromLatin1(text->data, static_cast<qsizetype>(text->length)) : QString();
}

qor_text *newText(const QString &value) {
    const QByteArray bytes = value.toLatin1();
    qor_text *text = textNew(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (!text)
        throw rt::RigError::outOfMemory();
    return text;
}

}  // namespace

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

TextRef::TextRef(QString &variable) : variable_(variable), text_(newText(variable)) {}

TextRef::~TextRef() {
    try {
        if (text_)
            textFree(text_);
    } catch (const rt::RigError &) {
        // A library without its release function cannot take the memory back.
    }
}

void TextRef::copyBack() {
    variable_ = fromBytes(text_);
    if (text_)
        textFree(text_);
    text_ = nullptr;
}

QString takeText(qor_text *result) {
    if (!result)
        throw rt::RigError::outOfMemory();
    QString text = fromBytes(result);
    textFree(result);
    return text;
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

Variant Variant::fromLibrary(const qor_variant &variant) {
    switch (variant.type) {
        case QOR_VARIANT_INT32:
            return fromInt32(variant.int32_value);
        case QOR_VARIANT_DOUBLE:
            return fromDouble(variant.double_value);
        case QOR_VARIANT_TEXT:
            return fromText(fromBytes(variant.text));
        case QOR_VARIANT_TEXT_ARRAY: {
            QStringList items;
            const std::int32_t count = variant.items ? variant.count : 0;
            for (std::int32_t i = 0; i < count; ++i)
                items << fromBytes(variant.items[i]);
            return fromArray(std::move(items), variant.lower_bound);
        }
        default:
            return empty();
    }
}

void Variant::toLibrary(qor_variant &variant) const {
    variant = qor_variant{};
    switch (type_) {
        case Type::Empty:
            break;
        case Type::Int32:
            variant.type = QOR_VARIANT_INT32;
            variant.int32_value = int32_;
            break;
        case Type::Double:
            variant.type = QOR_VARIANT_DOUBLE;
            variant.double_value = double_;
            break;
        case Type::Text:
            variant.type = QOR_VARIANT_TEXT;
            variant.text = newText(text_);
            break;
        case Type::TextArray: {
            variant.type = QOR_VARIANT_TEXT_ARRAY;
            variant.lower_bound = lowerBound_;
            // The library releases the array with free(), so it is allocated with malloc().
            variant.items = static_cast<qor_text **>(
                std::calloc(static_cast<size_t>(items_.size()) + 1, sizeof(qor_text *)));
            if (!variant.items)
                throw rt::RigError::outOfMemory();
            for (const QString &item : items_)
                variant.items[variant.count++] = newText(item);
            break;
        }
    }
}

// Releases a variant the library filled, through the library's own allocator.
void clearLibraryVariant(qor_variant &variant) {
    variantClear(&variant);
}

}  // namespace qorbind
