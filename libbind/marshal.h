// Passing the rig's texts and variants to the library and taking its results back.
// The rig's texts are QStrings; the library sees 8-bit Latin-1 bytes: every character
// U+0000..U+00FF is one byte, any other character becomes "?". Every byte the library
// returns survives the trip to a QString and back unchanged.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>
#include <cstddef>
#include <cstdint>

#include "calls.h"

namespace qorbind {

// A text passed by value: a NUL-terminated 8-bit copy of the whole text (embedded NULs
// included). When made from a variable, the wrapper copies the buffer back into that
// variable after the call, by length, so a function that changes its buffer in place
// changes the variable. Literals and temporaries are not copied back.
class TextArg {
  public:
    TextArg(QString &variable) : variable_(&variable) { assign(variable); }
    TextArg(const QString &value) { assign(value); }
    TextArg(QString &&value) { assign(value); }
    TextArg(const char *latin1);
    TextArg(std::nullptr_t) : null_(true) {}

    // The pointer the library receives: nullptr for a null text.
    char *data() {
        if (null_)
            return nullptr;
        return bytes_.data();
    }
    // The number of bytes, without the terminating NUL.
    std::int64_t size() const { return bytes_.size() - 1; }
    // The buffer as the library receives it.
    qorhost::Buffer buffer() { return {data(), static_cast<std::size_t>(size())}; }
    void copyBack();

  private:
    void assign(QStringView text);

    // Short texts, the usual case, need no allocation. Always NUL-terminated, so an empty
    // text is a pointer to a lone NUL, never a null pointer.
    QVarLengthArray<char, 256> bytes_;
    QString *variable_ = nullptr;
    bool null_ = false;
};

// A text for the library and back: Latin-1 bytes, any other character as "?".
qorhost::Text toText(QStringView text);
QString fromText(const qorhost::Text &text);

// The rig's variant: empty, a scalar, or a one-dimensional array of texts.
class Variant {
  public:
    enum class Type { Empty, Int32, Double, Text, TextArray };

    Type type() const { return type_; }
    bool isEmpty() const { return type_ == Type::Empty; }
    bool isArray() const { return type_ == Type::TextArray; }

    // Bounds and elements of an array; RigError 13 (type mismatch) for a variant that is
    // not an array, RigError 9 (subscript out of range) for an index outside the bounds.
    std::int32_t lowerBound() const;
    std::int32_t upperBound() const;
    QString element(std::int64_t index) const;
    // The text form of a scalar (RigError 13 for an empty variant or an array).
    QString text() const;

    static Variant empty() { return {}; }
    static Variant fromInt32(std::int32_t value);
    static Variant fromDouble(double value);
    static Variant fromText(QString value);
    static Variant fromArray(QStringList items, std::int32_t lowerBound = 0);

    // Conversion from and to the value the library receives.
    static Variant fromValue(const qorhost::VariantValue &value);
    qorhost::VariantValue toValue() const;

  private:
    Type type_ = Type::Empty;
    std::int32_t int32_ = 0;
    double double_ = 0;
    QString text_;
    QStringList items_;
    std::int32_t lowerBound_ = 0;
};

}  // namespace qorbind
