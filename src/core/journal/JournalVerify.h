#pragma once
// `journal verify`: walks the chain of a journal folder and names the first record that
// breaks it. A record breaks it when it is no whole record (cut short, changed, not written
// by the journal) or when its "prev" is not the digest of the line before it (a record
// before it was changed, removed or moved).

#include <cstddef>
#include <string>

namespace qavix::journal {

enum class Break {
    None,
    CutShort,     // the last line of a file without its line break
    NotARecord,   // a line whose own hash does not match it, or no record at all
    ChainBroken,  // "prev" does not name the line before it
};

struct VerifyResult {
    bool readable = true;  // false: a file could not be read (error says why)
    std::string error;
    size_t lines = 0;   // lines looked at
    size_t broken = 0;  // lines that break the chain
    // The first break.
    Break firstBreak = Break::None;
    std::string file;
    size_t line = 0;
    // The digest of the last line: the next record's "prev". Noted elsewhere, it shows a
    // journal that lost records at its end, which no chain can show by itself.
    std::string head;

    bool intact() const { return readable && broken == 0; }
};

VerifyResult verifyJournal(const std::string& folder);

// The break in the operator's words.
std::string breakText(Break kind);

}  // namespace qavix::journal
