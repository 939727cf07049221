#include "model/PageRequests.h"

namespace qavix {

void applyWrittenPuts(const std::vector<codec::PutRequest>& puts, SettingsData& set) {
    for (const codec::PutRequest& p : puts) {
        codec::applyOffline(p.code, p.channel, p.start, p.text, set);
    }
}

}  // namespace qavix
