#include "model/OverallJudgement.h"

#include <algorithm>
#include <climits>
#include <numeric>

#include "Translate.h"

namespace qavix {

namespace {

constexpr int kBlankingPage = 9;
constexpr int kBeamDesignationPage = 19;
constexpr int kAllSensorsChannel = 3;
constexpr int kAllSensorsBlankingChannel = 4;
constexpr int32_t kTooLarge = INT32_MAX;

// The decimal value of an all-digit text (empty is 0), saturated so a long text is too large
// rather than wrapping round; nothing when a character is not a digit.
std::optional<int32_t> digitValue(const std::string& text) {
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min<int64_t>(value * 10 + (c - '0'), kTooLarge);
    }
    return static_cast<int32_t>(value);
}

// The box a message names: "総合" when the sensors are judged together, else its sensor.
std::string boxPlace(int channel, bool together) {
    return together ? std::string(QX_("総合")) : "CH" + std::to_string(channel + 1);
}

// Which of the box's values is wrong, the whole sentence per kind so that each language can
// put the words in its own order: %1 the box's place.
struct BoxMessages {
    const char* invalid;
    const char* tooLarge;
    const char* tooSmall;
};

constexpr BoxMessages kBlockedMessages = {
    N_("%1遮光光軸数の値が無効です"),
    N_("%1遮光光軸数の値が大きすぎます"),
    N_("%1遮光光軸数の値が小さすぎます。\n1 以上の値を入力してください"),
};
constexpr BoxMessages kIncidentMessages = {
    N_("%1入光光軸数の値が無効です"),
    N_("%1入光光軸数の値が大きすぎます"),
    N_("%1入光光軸数の値が小さすぎます。\n1 以上の値を入力してください"),
};

}  // namespace

const char* arrangementText(int32_t value) {
    switch (value) {
        case kArrangementOff:
            return QX_("無効");
        case kArrangementTogether:
            return QX_("センサ一括処理");
        case kArrangementSeparate:
            return QX_("センサ個別処理");
        default:
            return QX_("該当無");
    }
}

int arrangementIndexOf(int32_t allOnOffCnf) {
    return allOnOffCnf == kArrangementTogether ? kTogetherIndex : kSeparateIndex;
}

int overallRowCount(int arrangementIndex, int jointNum) {
    if (arrangementIndex == kTogetherIndex) {
        return 1;
    }
    return std::max(1, std::min(jointNum, kChannelCount));
}

OverallJudgementValues overallJudgementOf(const GeneralBlock& general) {
    OverallJudgementValues v;
    v.arrangementIndex = arrangementIndexOf(general.allOnOffCnf);
    for (size_t c = 0; c < kChannelCount; ++c) {
        v.blocked[c] = std::to_string(general.allOff[c]);
        v.incident[c] = std::to_string(general.allOn[c]);
        v.fix[c] = general.fixCnf[c] != 0 ? 1 : 0;
    }
    return v;
}

std::optional<std::string> checkOverallBox(BeamJudgement kind, int channel, const std::string& text,
                                           int arrangementIndex,
                                           const std::array<int32_t, kChannelCount>& beams,
                                           bool validatingChange) {
    const bool together = arrangementIndex == kTogetherIndex;
    const int32_t own = beams.at(static_cast<size_t>(channel));
    if (own <= 0 || (channel > 0 && together)) {
        return std::nullopt;
    }
    int32_t limit = own;
    if (channel == 0 && (together || validatingChange)) {
        limit = std::accumulate(beams.begin(), beams.end(), 0);
    }
    const std::string place = boxPlace(channel, together && channel == 0);
    const BoxMessages& messages =
        kind == BeamJudgement::Blocked ? kBlockedMessages : kIncidentMessages;
    const std::optional<int32_t> value = digitValue(text);
    if (!value) {
        return i18n::fill(i18n::translate(messages.invalid), {place});
    }
    if (*value > limit) {
        return i18n::fill(i18n::translate(messages.tooLarge), {place});
    }
    if (*value < 1) {
        return i18n::fill(i18n::translate(messages.tooSmall), {place});
    }
    return std::nullopt;
}

const std::array<OverallBox, 2 * kChannelCount> kOverallCheckOrder = {{
    {BeamJudgement::Blocked, 0},
    {BeamJudgement::Blocked, 1},
    {BeamJudgement::Blocked, 2},
    {BeamJudgement::Incident, 0},
    {BeamJudgement::Incident, 1},
    {BeamJudgement::Incident, 2},
}};

std::vector<PageRead> overallJudgementReads() {
    return {
        {code::kReadAllOnOffCnf, 0, 0, 1, kOverallJudgementTimeoutMs},
        {code::kReadFixCnf, 1, 0, kChannelCount, kOverallJudgementTimeoutMs},
        {code::kReadAllOn, 1, 0, kChannelCount, kOverallJudgementTimeoutMs},
        {code::kReadAllOff, 1, 0, kChannelCount, kOverallJudgementTimeoutMs},
    };
}

std::vector<codec::PutRequest> overallJudgementPuts(const OverallJudgementValues& values,
                                                    const GeneralBlock& stored) {
    SettingsData sent;
    GeneralBlock& g = sent.general;
    g.allOnOffCnf = values.arrangementIndex + 1;
    for (size_t c = 0; c < kChannelCount; ++c) {
        g.allOff[c] = digitValue(values.blocked[c]).value_or(0);
        g.allOn[c] = digitValue(values.incident[c]).value_or(0);
    }
    std::vector<codec::PutRequest> puts;
    if (g.allOnOffCnf != stored.allOnOffCnf) {
        puts.push_back(codec::encodePut(code::kPutAllOnOffCnf, 0, sent));
    }
    puts.push_back(codec::encodePut(code::kPutAllOff, 0, sent));
    puts.push_back(codec::encodePut(code::kPutAllOn, 0, sent));
    if (values.arrangementIndex == kTogetherIndex) {
        g.fixCnf.fill(values.fix[0]);
        puts.push_back(codec::encodePut(code::kPutFixCnf, 0, sent));
    } else {
        bool changed = false;
        for (size_t c = 0; c < kChannelCount; ++c) {
            g.fixCnf[c] = values.fix[c];
            changed = changed || g.fixCnf[c] != (stored.fixCnf[c] != 0 ? 1 : 0);
        }
        if (changed) {
            puts.push_back(codec::encodePut(code::kPutFixCnf, 0, sent));
        }
    }
    return puts;
}

BlankingTarget blankingTarget(int arrangementIndex, int sensor, int blankingOption) {
    BlankingTarget t;
    t.page = blankingOption == 1 ? kBeamDesignationPage : kBlankingPage;
    if (arrangementIndex == kTogetherIndex) {
        t.channel = kAllSensorsChannel;
        t.blankingChannel = kAllSensorsBlankingChannel;
    } else {
        t.channel = sensor;
        t.blankingChannel = sensor;
    }
    return t;
}

}  // namespace qavix
