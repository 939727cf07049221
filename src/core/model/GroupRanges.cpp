#include "model/GroupRanges.h"

#include <algorithm>
#include <cstdio>

#include "Translate.h"

namespace qavix {

namespace {

constexpr const char* kRangeMessage = N_("範囲指定が異常です\n\n");

GroupEnd endOf(const std::array<int32_t, kGroupTableSize>& table, size_t group) {
    GroupEnd end;
    end.beam = table[group];
    end.channel = table[group + kGroupCount];
    return end;
}

void storeEnd(const GroupEnd& end, size_t group, std::array<int32_t, kGroupTableSize>& table) {
    table[group] = end.beam;
    table[group + kGroupCount] = end.channel;
}

std::vector<int> oneTo(int last) {
    std::vector<int> v;
    for (int i = 1; i <= last; ++i) {
        v.push_back(i);
    }
    return v;
}

}  // namespace

GroupTable groupTableOf(const GeneralBlock& general) {
    GroupTable table;
    for (size_t g = 0; g < kGroupCount; ++g) {
        table[g].lower = endOf(general.grpLow, g);
        table[g].upper = endOf(general.grpUp, g);
    }
    return table;
}

void storeGroupTable(const GroupTable& table, GeneralBlock& general) {
    for (size_t g = 0; g < kGroupCount; ++g) {
        storeEnd(table[g].lower, g, general.grpLow);
        storeEnd(table[g].upper, g, general.grpUp);
    }
}

int32_t beamsOfChannel(int channel, const std::array<int32_t, kChannelCount>& beams) {
    if (channel < 1 || channel > kChannelCount) {
        return 0;
    }
    return beams[static_cast<size_t>(channel - 1)];
}

bool groupRangeValid(const GroupRange& r, const std::array<int32_t, kChannelCount>& beams) {
    if (r.lower.channel > r.upper.channel) {
        return false;
    }
    if (r.lower.channel == r.upper.channel && r.lower.beam > r.upper.beam) {
        return false;
    }
    return r.lower.beam <= beamsOfChannel(r.lower.channel, beams) &&
           r.upper.beam <= beamsOfChannel(r.upper.channel, beams);
}

std::vector<int> invalidGroups(const GroupTable& table,
                               const std::array<int32_t, kChannelCount>& beams) {
    std::vector<int> invalid;
    for (size_t g = 0; g < table.size(); ++g) {
        if (!groupRangeValid(table[g], beams)) {
            invalid.push_back(static_cast<int>(g) + 1);
        }
    }
    return invalid;
}

std::string groupRangeMessage(const std::vector<int>& invalid) {
    std::string text = i18n::translate(kRangeMessage);
    for (size_t i = 0; i < invalid.size(); ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%02d", invalid[i]);
        if (i > 0) {
            text += QX_("，");
        }
        text += i18n::fill(QX_("Ｇｒ.%1"), {number});
    }
    return text;
}

std::string groupChannelText(int channel) {
    return channel >= 1 && channel <= kChannelCount ? "CH" + std::to_string(channel) : "-";
}

std::string groupBeamText(int beam) {
    return beam >= 1 ? std::to_string(beam) : "-";
}

std::vector<int> groupChannelChoices(int jointNum) {
    return oneTo(std::clamp(jointNum, 0, kChannelCount));
}

std::vector<int> groupBeamChoices(int channel, const std::array<int32_t, kChannelCount>& beams) {
    return oneTo(std::min<int32_t>(beamsOfChannel(channel, beams), kMaxBeams));
}

std::vector<PageRead> groupReads() {
    return {
        {code::kReadGrpUp, 0, 0, kGroupTableSize, kRequestTimeoutMs},
        {code::kReadGrpLow, 0, 0, kGroupTableSize, kRequestTimeoutMs},
    };
}

std::vector<codec::PutRequest> groupPuts(const GroupTable& table) {
    SettingsData sent;
    storeGroupTable(table, sent.general);
    return {codec::encodePut(code::kPutGrpUp, 0, sent),
            codec::encodePut(code::kPutGrpLow, 0, sent)};
}

}  // namespace qavix
