#pragma once
// The one rule for what is well-formed UTF-8, shared by every reader and writer of text
// that must stay UTF-8: JSON, settings texts, names that end up in topics and folders,
// and what is shown on a terminal.

#include <cstddef>
#include <string_view>

namespace qavix::utf8 {

// Length (1..4) of the well-formed sequence that starts at `at`, or 0 when none does: a
// stray continuation byte, a cut-off sequence, an overlong form, a surrogate or a code
// point beyond U+10FFFF. Overlong forms matter: C0 AF would otherwise pass as a hidden '/'.
std::size_t sequenceLength(std::string_view text, std::size_t at);

// The offset of the first byte that starts no well-formed sequence, or npos.
std::size_t firstInvalid(std::string_view text);

inline bool isValid(std::string_view text) {
    return firstInvalid(text) == std::string_view::npos;
}

}  // namespace qavix::utf8
