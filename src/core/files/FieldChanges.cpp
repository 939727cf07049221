#include "files/FieldChanges.h"

#include <algorithm>
#include <ctime>

#include "files/BankFile.h"
#include "files/BankImport.h"

namespace qavix::bankfile {

std::vector<FieldChange> fieldChanges(const std::vector<Field>& before,
                                      const std::vector<Field>& after) {
    std::vector<FieldChange> changes;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (before[i].value != after[i].value) {
            changes.push_back({before[i].name, before[i].value, after[i].value});
        }
    }
    return changes;
}

std::vector<FieldChange> changedBankFields(const SettingsData& before, const SettingsData& after) {
    return fieldChanges(bankFields(before), bankFields(after));
}

std::string changeLine(const FieldChange& change) {
    return change.name + ": " + change.before + " -> " + change.after;
}

SettingsData asBankFileHolds(const SettingsData& set) {
    const BankFileText file = formatBankFile(set, "", "", std::tm{});
    if (!file.ok) {
        return set;  // a value no file can hold: compared as it is, so it shows as changed
    }
    const BlockRead blocks = readBlocks(BankFileEntries::fromText(file.text));
    SettingsData decoded;
    if (!blocks.ok() || decodeBlocks(blocks.texts, decoded) != codec::DecodeResult::Ok) {
        return set;
    }
    return decoded;
}

void clearMissingBeams(SettingsData& set) {
    const int joint = std::clamp(set.general.jointNum, 0, kChannelCount);
    for (int c = 0; c < kChannelCount; ++c) {
        ChannelRecord& ch = set.channel(c);
        const int beams = c < joint ? std::clamp(ch.beamCount, 0, kMaxBeams) : 0;
        for (BeamTable* table : {&ch.fixAxis, &ch.setAxis, &ch.axisTh, &ch.zero}) {
            std::fill(table->begin() + beams, table->end(), 0);
        }
    }
}

}  // namespace qavix::bankfile
