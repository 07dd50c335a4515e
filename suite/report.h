// The rules of Printf, kept apart from any widget so every host appends the same way.
#pragma once

#include <QString>

namespace suite {

// What Printf appends to the report for `text`: a text whose last character is ";" without
// that ";" and without a line break, any other text followed by CR LF. The report cannot
// hold a NUL, so the piece ends at its first NUL (its line break is lost with the rest).
QString printfPiece(const QString &text);

}  // namespace suite
