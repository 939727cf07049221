#pragma once
// The rows of the scan monitor's time chart: which beam each row stands for, and the cells
// one sample gives them.

#include <cstdint>
#include <optional>
#include <vector>

#include "model/DeviceData.h"

namespace qavix::scan {

// A chart cell: never sampled, beam bit set, beam bit clear.
enum Cell : uint8_t { kCellEmpty = 0, kCellSet = 1, kCellClear = 2 };

// The most rows one sample stores: every beam of three full sensors.
constexpr int kMaxRowsStored = kChannelCount * kMaxBeams;

struct BeamRef {
    int sensor = 0;  // 1..3
    int beam = 0;    // 1..128
};

class ScanRows {
  public:
    ScanRows() = default;
    // One channel (0..2): its beams. All sensors (kAllChannels): the beams of CH1, then CH2,
    // then CH3, as far as the sensors are connected.
    ScanRows(const SettingsData& set, int channel);

    int count() const { return static_cast<int>(m_rows.size()); }
    std::optional<BeamRef> beamAt(int row) const;

    // One sample's cells, `count()` of them, from the monitoring tables of `set`.
    void fillColumn(const SettingsData& set, uint8_t* cells) const;

    bool operator==(const ScanRows& o) const { return m_rows == o.m_rows; }
    bool operator!=(const ScanRows& o) const { return !(*this == o); }

  private:
    struct Row {
        uint8_t channel;
        uint8_t beam;
        bool operator==(const Row& o) const { return channel == o.channel && beam == o.beam; }
    };
    std::vector<Row> m_rows;
};

}  // namespace qavix::scan
