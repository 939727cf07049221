#include "model/OptionSwitches.h"

#include "Translate.h"

namespace qavix {

namespace {

// Ticking the overall judgement or the parallel outputs on selects the separate
// arrangement (value 2) of their pages.
constexpr std::array<OptionSwitch, kOptionSwitchCount> kSwitches = {{
    {N_("Fix Blanking Teach 機能"), code::kPutTchCnf, 0x11, &GeneralBlock::tchCnf},
    {N_("Bank　機能"), code::kPutBankFunction, 0x10, &GeneralBlock::bankFunction},
    {N_("グループ判定"), code::kPutGrpCnf, 0x02, &GeneralBlock::grpCnf},
    {N_("総合ON/OFF判定"), code::kPutAllOnOffCnf, 0x02, &GeneralBlock::allOnOffCnf},
    {N_("パラレル出力"), code::kPutParaCnf, 0x02, &GeneralBlock::paraCnf},
}};

}  // namespace

const std::array<OptionSwitch, kOptionSwitchCount>& optionSwitches() {
    return kSwitches;
}

OptionStates optionStates(const GeneralBlock& general) {
    OptionStates states{};
    for (size_t i = 0; i < kSwitches.size(); ++i) {
        states[i] = general.*kSwitches[i].field != 0;
    }
    return states;
}

std::vector<codec::PutRequest> optionPuts(const OptionStates& shown, const GeneralBlock& general) {
    const OptionStates stored = optionStates(general);
    SettingsData set;
    set.general = general;
    std::vector<codec::PutRequest> puts;
    for (size_t i = 0; i < kSwitches.size(); ++i) {
        if (shown[i] == stored[i]) {
            continue;
        }
        const OptionSwitch& s = kSwitches[i];
        set.general.*s.field = shown[i] ? s.onValue : 0;
        puts.push_back(codec::encodePut(s.putCode, 0, set));
    }
    return puts;
}

std::vector<PageRead> optionReads() {
    std::vector<PageRead> reads;
    for (int c : {code::kReadTchCnf, code::kReadBankFunction, code::kReadAllOnOffCnf,
                  code::kReadGrpCnf, code::kReadParaCnf}) {
        reads.push_back({c, 0, 0, 0, kRequestTimeoutMs});
    }
    return reads;
}

}  // namespace qavix
