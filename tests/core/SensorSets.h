#pragma once
// A settings set that holds nothing but its sensors: their beam counts and their number.

#include <initializer_list>

#include "model/DeviceData.h"

namespace qavix::test {

inline SettingsData withSensors(std::initializer_list<int> beams) {
    SettingsData set;
    int sensor = 0;
    for (int count : beams) {
        set.channel(sensor++).beamCount = count;
    }
    set.general.jointNum = sensor;
    return set;
}

}  // namespace qavix::test
