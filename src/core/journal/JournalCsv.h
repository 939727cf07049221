#pragma once
// The change journal's writes as CSV lines, as the 変更履歴 window saves them: a header,
// then one row per changed field with the write's columns repeated (a write that changed
// no field has one row), in the order given.

#include <string>
#include <vector>

#include "journal/JournalReader.h"

namespace qavix::journal {

std::vector<std::string> journalCsvLines(const std::vector<JournalEntry>& entries);

// One CSV value: quoted when it holds a comma, a quote or a line break (RFC 4180).
std::string csvValue(const std::string& text);

}  // namespace qavix::journal
