#pragma once
// The sixteen beam groups: each a range from a lower to an upper end, each end a channel and
// a beam number, so a group may span sensors. The controller keeps them as two tables of 32
// bytes (GRP_LOW and GRP_UP: sixteen beams, then sixteen channels).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/Codec.h"
#include "model/DeviceData.h"
#include "model/PageRequests.h"

namespace qavix {

struct GroupEnd {
    int channel = 1;  // 1..3; 0 where a cleared controller holds nothing
    int beam = 1;     // counted from 1
    bool operator==(const GroupEnd& o) const { return channel == o.channel && beam == o.beam; }
    bool operator!=(const GroupEnd& o) const { return !(*this == o); }
};

struct GroupRange {
    GroupEnd lower;
    GroupEnd upper;
    bool operator==(const GroupRange& o) const { return lower == o.lower && upper == o.upper; }
    bool operator!=(const GroupRange& o) const { return !(*this == o); }
};
using GroupTable = std::array<GroupRange, kGroupCount>;

GroupTable groupTableOf(const GeneralBlock& general);
void storeGroupTable(const GroupTable& table, GeneralBlock& general);

// Beams of the channel 1..3 in `beams`; a channel outside 1..3 has none.
int32_t beamsOfChannel(int channel, const std::array<int32_t, kChannelCount>& beams);

// A group is valid when its lower channel is not above its upper one, its lower beam not
// above its upper beam within one sensor, and each beam lies on its sensor.
bool groupRangeValid(const GroupRange& range, const std::array<int32_t, kChannelCount>& beams);
// Group numbers 1..16 of the invalid groups, in order.
std::vector<int> invalidGroups(const GroupTable& table,
                               const std::array<int32_t, kChannelCount>& beams);
// "範囲指定が異常です\n\nＧｒ.03，Ｇｒ.11" for groups 3 and 11.
std::string groupRangeMessage(const std::vector<int>& invalid);

// Texts of the list: "CH2" and "26"; "-" for an end a cleared controller left at 0.
std::string groupChannelText(int channel);
std::string groupBeamText(int beam);
// Channels offered for an end (CH1 up to JOINT_NUM) and beams (1 up to the channel's beams).
std::vector<int> groupChannelChoices(int jointNum);
std::vector<int> groupBeamChoices(int channel, const std::array<int32_t, kChannelCount>& beams);

// The page's reads: the upper ends, then the lower ends.
std::vector<PageRead> groupReads();
// Put 38 (upper ends) and put 39 (lower ends), sixteen beams then sixteen channels each.
std::vector<codec::PutRequest> groupPuts(const GroupTable& table);

}  // namespace qavix
