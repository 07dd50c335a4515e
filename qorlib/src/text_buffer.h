// Text results written in place: an export that knows (or bounds) the size of its result
// allocates it once and writes into it, rather than building a copy first.
#pragma once

#include <cstddef>

#include "qorlib145.h"

namespace qorlib {

// A text result of `length` bytes for the caller to write, terminated already. `slack`
// bytes beyond the terminating NUL may be written too (wide stores near the end); whoever
// writes there terminates the text again. nullptr when memory runs out or `length`
// exceeds QOR_TEXT_MAX.
qor_text *new_text(std::size_t length, std::size_t slack = 0) noexcept;

// Cuts a text from new_text() down to its first `length` bytes and terminates it, giving
// the rest of its block back. The text may move; when the block cannot be shrunk it stays.
qor_text *shrink_text(qor_text *text, std::size_t length) noexcept;

}  // namespace qorlib
