#pragma once
// Saving the settings report as a text file: the text as shown, in Shift-JIS.

#include <string>
#include <string_view>

namespace qavix::report {

// Writes `reportText` (UTF-8, lines joined with CR LF; a bare LF or CR would become CR LF)
// to `path` in Shift-JIS, replacing the file atomically. Returns false and sets `error` when a
// character has no Shift-JIS form or the file cannot be written; the previous file is then
// untouched.
bool exportReportText(const std::string& path, std::string_view reportText, std::string& error);

}  // namespace qavix::report
