#pragma once
// What the JSON writer and reader share, kept out of the public Json.h.

#include <cstddef>
#include <string_view>

namespace qavix::json::detail {

// Length of a valid UTF-8 sequence starting at `at`, or 0.
size_t utf8Length(std::string_view s, size_t at);

}  // namespace qavix::json::detail
