#include "model/BeamThresholds.h"

namespace qavix {

BeamOnOff beamOnOff(const ChannelRecord& channel, int beam) {
    const int32_t entry = channel.axisTh.at(static_cast<size_t>(beam));
    if (channel.thCnf == 0) {
        return {entry + channel.hys, entry};
    }
    return {entry, entry - channel.hys};
}

}  // namespace qavix
