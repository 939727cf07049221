#pragma once
// The overall ON/OFF judgement: how many beams must be blocked or receive light, once for
// all sensors together or per sensor, and fixed blanking per sensor. The values, their
// checks with the messages the page shows, and the blocks a write sends.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Codec.h"
#include "model/DeviceData.h"
#include "model/PageRequests.h"

namespace qavix {

// ALL_ONOFF_CNF and PARA_CNF: 0 off, then the arrangement drop-down's index + 1.
enum Arrangement : int32_t {
    kArrangementOff = 0,
    kArrangementTogether = 1,
    kArrangementSeparate = 2,
};
// "無効", "センサ一括処理", "センサ個別処理"; "該当無" for any other value; translated.
const char* arrangementText(int32_t value);

// The arrangement drop-down of the page: index 0 together, 1 separate.
// The page's reads and its start setting wait less than the usual request.
constexpr int kOverallJudgementTimeoutMs = 500;

constexpr int kTogetherIndex = 0;
constexpr int kSeparateIndex = 1;
int arrangementIndexOf(int32_t allOnOffCnf);

enum class BeamJudgement { Blocked, Incident };

// The rows a layout shows: one (the overall row) together, one per sensor separately.
int overallRowCount(int arrangementIndex, int jointNum);

// The page's controls: number texts as typed and the FIX switch indexes, per channel.
struct OverallJudgementValues {
    int arrangementIndex = kTogetherIndex;
    std::array<std::string, kChannelCount> blocked;   // 遮光判定光軸数
    std::array<std::string, kChannelCount> incident;  // 入光判定光軸数
    std::array<int, kChannelCount> fix{};             // 0 無効, 1 有効
};

// The working set's values, numbers in decimal.
OverallJudgementValues overallJudgementOf(const GeneralBlock& general);

// Checks one number box of row `channel` (0..2): digits only, not above its limit, at least
// 1; the message of the first failing check, or nothing when valid or not checked (a sensor
// without beams; CH2 and CH3 outside the separate arrangement). `validatingChange` is set
// while a change of arrangement is checked: the first row is then held to all beams.
std::optional<std::string> checkOverallBox(BeamJudgement kind, int channel, const std::string& text,
                                           int arrangementIndex,
                                           const std::array<int32_t, kChannelCount>& beams,
                                           bool validatingChange = false);

// The six boxes in the order a write checks them: 遮光 CH1..CH3, then 入光 CH1..CH3.
struct OverallBox {
    BeamJudgement kind;
    int channel;
};
extern const std::array<OverallBox, 2 * kChannelCount> kOverallCheckOrder;

// The reads of the page's first showing, each with the controller's short time-out.
std::vector<PageRead> overallJudgementReads();

// What a write sends between start and enable setting: the arrangement when it changed,
// the blocked and incident counts, and the FIX switches (separately only when one changed;
// together the first row's switch for all three sensors, always). Numbers that do not parse
// are sent as 0; the page checks them first.
std::vector<codec::PutRequest> overallJudgementPuts(const OverallJudgementValues& values,
                                                    const GeneralBlock& stored);

// Where a "ブランキング光軸設定" button leads: the blanking page (9) or, with the `Blanking`
// option 1, the beam designation page (19), for the sensor's channel (0..2) or, together,
// for all sensors (channel 3, blanking channel 4).
struct BlankingTarget {
    int page = 0;
    int channel = 0;
    int blankingChannel = 0;
};
BlankingTarget blankingTarget(int arrangementIndex, int sensor, int blankingOption);

}  // namespace qavix
