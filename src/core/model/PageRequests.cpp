#include "model/PageRequests.h"

namespace qavix {

PageRead channelRead(int readCode, int channel, int beams, int timeoutMs) {
    const code::CodeRow* entry = code::find(readCode);
    const code::Address at =
        entry != nullptr ? code::channelAddress(*entry, channel, beams) : code::Address{};
    return {readCode, channel, at.start, at.count, timeoutMs};
}

void applyWrittenPuts(const std::vector<codec::PutRequest>& puts, SettingsData& set) {
    for (const codec::PutRequest& p : puts) {
        codec::applyOffline(p.code, p.channel, p.start, p.text, set);
    }
}

void applyBankEdit(const std::vector<codec::PutRequest>& puts, DeviceModel& model) {
    for (const codec::PutRequest& p : puts) {
        if (codec::pairedReadCode(p.code) == 0) {
            continue;
        }
        codec::applyOffline(p.code, p.channel, p.start, p.text, model.working());
        model.markEdited(model.selectedSet());
    }
}

}  // namespace qavix
