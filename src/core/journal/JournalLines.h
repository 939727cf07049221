#pragma once
// The lines of a journal folder in order: file by file in the order of their names, line
// by line. The last line of a file may lack its line break (an append cut short).

#include <cstddef>
#include <functional>
#include <string>

namespace qavix::journal {

struct JournalLine {
    std::string file;   // the file's name in the folder ("2026-12.jsonl")
    size_t number = 0;  // 1 for a file's first line
    std::string bytes;  // without the line break
    bool terminated = true;
};

// Calls `visit` for every line; false from it stops the walk. False with `error` when a file
// cannot be read.
bool forEachLine(const std::string& folder, const std::function<bool(const JournalLine&)>& visit,
                 std::string& error);

}  // namespace qavix::journal
