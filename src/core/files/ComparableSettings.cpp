#include "files/ComparableSettings.h"

#include <algorithm>
#include <ctime>

#include "files/BankFile.h"
#include "files/BankImport.h"

namespace qavix::bankfile {

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
