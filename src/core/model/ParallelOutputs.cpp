#include "model/ParallelOutputs.h"

#include <algorithm>

#include "Translate.h"
#include "model/OverallJudgement.h"

namespace qavix {

namespace {

constexpr int32_t kSensorStride = 16;
constexpr int32_t kModeStride = 2;

}  // namespace

int32_t parallelOutputCode(const ParallelTarget& target) {
    const int sensor = target.sensor == kChannelCount ? 0 : target.sensor;
    return 1 + target.state + kModeStride * target.mode + kSensorStride * sensor;
}

bool parallelTargetOf(int32_t code, ParallelTarget& target) {
    if (code < 1) {
        return false;
    }
    const int32_t packed = code - 1;
    const ParallelTarget t{packed / kSensorStride, (packed % kSensorStride) / kModeStride,
                           packed % kModeStride};
    if (t.sensor >= kChannelCount || t.mode >= static_cast<int>(kParallelModeNames.size())) {
        return false;
    }
    target = t;
    return true;
}

std::string parallelTargetName(int32_t code) {
    ParallelTarget t;
    if (!parallelTargetOf(code, t)) {
        return QX_("該当無");
    }
    return "CH" + std::to_string(t.sensor + 1) + "  " +
           i18n::translate(kParallelStateNames[static_cast<size_t>(t.state)]) + "  " +
           i18n::translate(kParallelModeNames[static_cast<size_t>(t.mode)]);
}

ParallelOutputChoice parallelOutputChoice(int32_t code, int32_t format, int jointNum) {
    ParallelOutputChoice c;
    const int connected = std::max(1, std::min(jointNum, kChannelCount));
    for (int s = 0; s < connected; ++s) {
        c.sensors.push_back(s);
    }
    ParallelTarget t;
    if (parallelTargetOf(code, t)) {
        if (t.sensor >= connected) {
            c.sensors.push_back(t.sensor);
        }
        c.sensorEntry = t.sensor >= connected ? connected : t.sensor;
        c.mode = t.mode;
        c.state = t.state;
    }
    c.format = format == 1 ? 1 : 0;
    return c;
}

ParallelOutputPage parallelOutputPage(const GeneralBlock& general) {
    ParallelOutputPage page;
    page.arrangement = arrangementIndexOf(general.paraCnf);
    for (size_t i = 0; i < kParallelOutputCount; ++i) {
        page.outputs[i] =
            parallelOutputChoice(general.paraRes[i], general.paraType[i], general.jointNum);
    }
    return page;
}

std::vector<codec::PutRequest> parallelOutputPuts(const ParallelOutputPage& page,
                                                  const GeneralBlock& general) {
    const ParallelOutputPage stored = parallelOutputPage(general);
    SettingsData set;
    set.general = general;
    GeneralBlock& g = set.general;
    if (page.arrangement != stored.arrangement) {
        g.paraCnf =
            page.arrangement == kSeparateIndex ? kArrangementSeparate : kArrangementTogether;
    }
    for (size_t i = 0; i < kParallelOutputCount; ++i) {
        const ParallelOutputChoice& shown = page.outputs[i];
        const ParallelOutputChoice& was = stored.outputs[i];
        if (shown.sensorEntry != was.sensorEntry || shown.mode != was.mode ||
            shown.state != was.state) {
            const size_t entry = static_cast<size_t>(shown.sensorEntry);
            const int sensor = entry < shown.sensors.size() ? shown.sensors[entry] : 0;
            g.paraRes[i] = parallelOutputCode({sensor, shown.mode, shown.state});
        }
        if (shown.format != was.format) {
            g.paraType[i] = shown.format;
        }
    }
    return {codec::encodePut(code::kPutParaCnf, 0, set),
            codec::encodePut(code::kPutParaRes, 0, set),
            codec::encodePut(code::kPutParaType, 0, set)};
}

std::vector<PageRead> parallelOutputReads() {
    return {{code::kReadParaCnf, 0, 0, 0, kRequestTimeoutMs},
            {code::kReadParaType, 0, 0, 2, kRequestTimeoutMs},
            {code::kReadParaRes, 0, 0, 2, kRequestTimeoutMs},
            {code::kReadParaUnit, 0, 0, 2, kRequestTimeoutMs}};
}

}  // namespace qavix
