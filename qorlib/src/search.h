// Substring search in time linear in the text and the needle, whatever both hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qorlib {

// One needle, searched for in any number of texts. Bytes compare exactly, or with letters
// folded by fold_case(). Keep the needle's bytes alive as long as the finder.
class Finder {
  public:
    static constexpr size_t npos = std::string_view::npos;

    Finder(std::string_view needle, bool fold) noexcept : needle_(needle), fold_(fold) {}

    // The start of the first occurrence that starts at or after `from`; npos when there is
    // none. An empty needle is found at `from` (when from <= text.size()).
    size_t find(std::string_view text, size_t from = 0) noexcept;

    // The start of the last occurrence (occurrences may overlap); npos when there is none.
    // An empty needle is found at the end of the text.
    size_t rfind(std::string_view text) noexcept;

    // The same two searches by Two-Way alone, which they fall back on: linear whatever the
    // input, but slower on ordinary text.
    size_t find_two_way(std::string_view text, size_t from = 0) noexcept;
    size_t rfind_two_way(std::string_view text) noexcept;

    // Critical factorization and shift table of the needle read in one direction, made the
    // first time the quick filter gives way to the Two-Way search.
    struct TwoWay {
        bool ready = false;
        bool periodic = false;
        size_t suffix = 0;  // start of the right half
        size_t period = 0;
        uint32_t shift[256];  // non-periodic needles: Horspool shift by the window's last byte
    };

  private:
    template <bool Fold>
    size_t find_forward(std::string_view text, size_t from) noexcept;
    template <bool Fold>
    size_t find_backward(std::string_view text) noexcept;
    // Two-Way from where the filters give way: forward from `from`, backward from the
    // starts below `below`.
    template <bool Fold>
    size_t two_way_forward(std::string_view text, size_t from) noexcept;
    template <bool Fold>
    size_t two_way_backward(std::string_view text, size_t below) noexcept;

    // The needle byte that ordinary text holds least often, among those that match only
    // themselves (with folding, no letter); kNoRare when there is none.
    static constexpr size_t kUnknown = npos - 1, kNoRare = npos;
    size_t rare_index() noexcept;

    std::string_view needle_;
    bool fold_;
    size_t rare_ = kUnknown;
    TwoWay forward_, backward_;
};

}  // namespace qorlib
