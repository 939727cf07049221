#pragma once
// The operation settings of one sensor channel as its page edits them: identification,
// the OUT2 and OUT3 functions (CH1), the ON and OFF thresholds with their limits, floating
// blanking and fixed blanking; what the page reads and what a write sends.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Codec.h"
#include "model/DeviceData.h"
#include "model/PageRequests.h"

namespace qavix {

constexpr int kSensorIdMaxLength = 4;
// An OFF threshold above kMaxOnThreshold falls back to this value, not to the limit.
constexpr int32_t kOffThresholdFallback = 90;
// FLO_CONF: the number of floating-blanking beams in the low bits, switches above.
constexpr int32_t kFloatingBeamsMask = 0x0F;

struct ThresholdPair {
    int32_t on = 0;
    int32_t off = 0;
    bool operator==(const ThresholdPair& o) const { return on == o.on && off == o.off; }
};

// The decimal value a threshold box's text starts with; 0 when it starts with no digit.
int32_t thresholdTextValue(std::string_view text);
// The ON box left with `typed`: ON limited to kMinOnThreshold..kMaxOnThreshold, OFF = ON -
// difference.
ThresholdPair onThresholdEntered(int32_t typed, int32_t difference);
// The OFF box left with `typed`: raised to kMinOffThreshold, above kMaxOnThreshold set to
// kOffThresholdFallback; ON = OFF + difference.
ThresholdPair offThresholdEntered(int32_t typed, int32_t difference);

// Choices of the on/off lists (floating and fixed blanking) and of the operation mode.
enum EnableChoice : int { kChoiceEnabled = 0, kChoiceDisabled = 1 };
enum ModeChoice : int { kChoiceContinuous = 0, kChoiceNonContinuous = 1 };
constexpr int kFloatingBeamChoices = 4;  // "-", "1", "2", "3"

// What the page shows for one channel.
struct SensorOperationValues {
    std::string id;
    // List indexes; an index past the offered functions stands for the stored code the
    // lists do not offer, which the page shows as an extra entry.
    int out2 = 0;
    int out3 = 0;
    ThresholdPair thresholds;
    int floating = kChoiceDisabled;
    int mode = kChoiceNonContinuous;
    int floatingBeams = 0;
    int fixed = kChoiceDisabled;
    bool operator==(const SensorOperationValues& o) const;
    bool operator!=(const SensorOperationValues& o) const { return !(*this == o); }
};
SensorOperationValues sensorOperationValues(const ChannelRecord& channel);

// The list index that stands for a stored OUT2/OUT3 code.
int sensorOutputEntry(int32_t code);

// "%04X" of the ID text read as a hexadecimal number.
std::string sensorIdWriteText(std::string_view text);
// Whether the box's text names the stored identification.
bool sensorIdMatches(std::string_view text, const std::string& stored);

// Where a write goes: channel 1..3, the connected sensors, and whether the threshold and
// blanking settings are written (extended mode only).
struct SensorWriteTarget {
    int channel = 1;
    int jointNum = 1;
    bool extended = false;
    // The identification is the sensor's own, held by the controller: neither a bank nor a
    // bank file has a place for it, so a page showing one neither offers nor writes it.
    bool withoutId = false;
};

// The writes of the page in order: ID (8), OUT2 (10) and OUT3 (11) for CH1, then in the
// extended mode the thresholds (6, 7, 27), floating blanking (19), mode (20), number of
// beams (22) and fixed blanking (16); only values that differ from `channels`, except that
// the page of CH1 passes both blanking switches on to every further connected sensor.
std::vector<codec::PutRequest> sensorOperationPuts(const SensorOperationValues& shown,
                                                   const SensorWriteTarget& target,
                                                   const SettingsData& set);

// What the page reads for channel 1..3 each time it fills the channel.
std::vector<PageRead> sensorOperationReads(int channel);

// The sensor's own identification for channel 1..3: emitter and receiver serial numbers
// and ID. The read of all settings leaves them out; whatever shows them reads these first.
std::vector<PageRead> sensorIdentityReads(int channel);

// The command bar's "ﾃﾞﾌｫﾙﾄ": the values it sets on `values`.
void applySensorDefaults(SensorOperationValues& values, int channel, bool extended);

}  // namespace qavix
