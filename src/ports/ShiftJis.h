#pragma once
// Conversion between the UTF-8 held in memory and the Shift-JIS (code page 932) of every
// file the program reads or writes, and the byte width that the report's columns count.

#include <cstddef>
#include <string>
#include <string_view>

namespace qavix::sjis {

// The outcome of a conversion. `complete` is false when some input could not be converted;
// `firstFailure` is then the byte offset in the input where the first such sequence starts.
struct Conversion {
    std::string text;
    bool complete = true;
    size_t firstFailure = std::string::npos;
};

// Every character that has no code in CP932 (and every byte that is not valid UTF-8) is
// replaced by '?' in `text` and reported through `complete`.
Conversion toCp932(std::string_view utf8);

// Every byte sequence that is not valid CP932 is replaced by '?' and reported.
Conversion fromCp932(std::string_view cp932);

// True when `utf8` converts to CP932 without loss.
bool representable(std::string_view utf8);

// Bytes that `utf8` takes in CP932: a full-width character counts 2, ASCII and half-width
// katakana 1. A character without a CP932 code counts 1, as the '?' that replaces it.
size_t byteWidth(std::string_view utf8);

}  // namespace qavix::sjis
