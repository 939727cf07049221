#include "model/PageRequests.h"

namespace qavix {

PageRead channelRead(int readCode, int channel, int beams, int timeoutMs) {
    const code::CodeSpec* spec = code::find(readCode);
    const code::Address at =
        spec != nullptr ? code::channelAddress(*spec, channel, beams) : code::Address{};
    return {readCode, channel, at.start, at.count, timeoutMs};
}

void applyWrittenPuts(const std::vector<codec::PutRequest>& puts, SettingsData& set) {
    for (const codec::PutRequest& p : puts) {
        codec::applyOffline(p.code, p.channel, p.start, p.text, set);
    }
}

}  // namespace qavix
