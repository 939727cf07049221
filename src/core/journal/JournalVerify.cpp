#include "journal/JournalVerify.h"

#include <optional>

#include "Translate.h"
#include "files/Json.h"
#include "journal/JournalLines.h"
#include "journal/JournalRecord.h"

namespace qavix::journal {

namespace {

Break lineBreak(const JournalLine& line, const std::string& expectedPrev) {
    if (!line.terminated) {
        return Break::CutShort;
    }
    if (!recordIntact(line.bytes)) {
        return Break::NotARecord;
    }
    std::string error;
    const std::optional<json::Value> parsed = json::parse(line.bytes, error);
    if (!parsed || parsed->stringOf("prev") != expectedPrev) {
        return Break::ChainBroken;
    }
    return Break::None;
}

}  // namespace

std::string breakText(Break kind) {
    switch (kind) {
        case Break::CutShort:
            return QX_("記録が途中で切れています（追記中の電源断など）");
        case Break::NotARecord:
            return QX_(
                "記録の内容がハッシュと一致しません（書き換えられたか、記録ではありません）");
        case Break::ChainBroken:
            return QX_(
                "直前の記録とつながっていません（前の記録が書き換え・削除・入れ替えられて"
                "います）");
        case Break::None:
            break;
    }
    return {};
}

VerifyResult verifyJournal(const std::string& folder) {
    VerifyResult result;
    std::string expectedPrev = kNoPreviousRecord;
    const bool read = forEachLine(
        folder,
        [&](const JournalLine& line) {
            ++result.lines;
            const Break found = lineBreak(line, expectedPrev);
            if (found != Break::None) {
                ++result.broken;
                if (result.firstBreak == Break::None) {
                    result.firstBreak = found;
                    result.file = line.file;
                    result.line = line.number;
                }
            }
            // Whatever the line holds, the next record names these bytes.
            expectedPrev = lineDigest(line.bytes);
            return true;
        },
        result.error);
    result.readable = read;
    result.head = result.lines == 0 ? std::string() : expectedPrev;
    return result;
}

}  // namespace qavix::journal
