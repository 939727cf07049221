#pragma once
// Text files as the program keeps them on disk: Shift-JIS (CP932) with CR LF line ends,
// UTF-8 in memory. Reading also accepts LF-only files.

#include <string>
#include <string_view>
#include <vector>

#include "files/FileIo.h"

namespace qavix::textfile {

struct TextReadResult {
    fileio::ReadStatus status = fileio::ReadStatus::Failed;
    std::string text;    // UTF-8, line ends as they were in the file
    bool lossy = false;  // some bytes were not Shift-JIS and were replaced by '?'
    std::string error;

    bool ok() const { return status == fileio::ReadStatus::Ok; }
};

TextReadResult readText(const std::string& path);

// Splits at CR LF, LF or a lone CR. A final line end does not start another line.
std::vector<std::string> splitLines(std::string_view text);

// Every line followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

// UTF-8 `text` as the bytes a text file holds: Shift-JIS, every line end CR LF. ok is false
// when some character has no Shift-JIS form.
struct EncodedText {
    bool ok = false;
    std::string bytes;
};

EncodedText encodeText(std::string_view text);

// Writes UTF-8 `text` as Shift-JIS with every line end made CR LF, atomically. Text that
// has no Shift-JIS form is refused (nothing is written) rather than silently altered.
fileio::WriteResult writeText(const std::string& path, std::string_view text);
fileio::WriteResult writeLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace qavix::textfile
