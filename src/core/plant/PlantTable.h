#pragma once
// Every controller a plant's monitors speak of, one row each, kept from their messages.
// A message that cannot be read is counted and its reason kept, never half applied; a
// happening that needs a person (a monitor gone offline, a margin-low alert, a new
// error-log entry) is marked on its row until acknowledged and handed out as an event, so
// the view can notify. Retained messages tell the past, not the present: they mark nothing.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "broker/ReceivedMessage.h"
#include "plant/PlantRow.h"

namespace qavix::plant {

// A plant larger than this is no plant but a flood: further names are counted as skipped.
constexpr size_t kMaxPlantRows = 5000;
// The largest payload a monitor makes is some 5 kB (3 x 128 beams); far larger is no
// monitor's and is not parsed.
constexpr size_t kMaxPayloadBytes = 64 * 1024;

struct PlantEvent {
    AttentionMark mark = kMarkWentOffline;
    std::string name;
    std::string detail;  // the alert's or error entry's words; empty for offline
};

class PlantTable {
  public:
    explicit PlantTable(std::string root);

    // Applies one message that came at `now`; the events it raised go to `events`. Returns
    // whether a row changed.
    bool apply(const broker::ReceivedMessage& message, std::time_t now,
               std::vector<PlantEvent>* events = nullptr);
    // Clears the row's marks; false when there is no such row.
    bool acknowledge(const std::string& name);
    void acknowledgeAll();

    const std::map<std::string, PlantRow>& rows() const { return m_rows; }
    const PlantRow* row(const std::string& name) const;
    // Messages that could not be read (or no room was left for): how many, and the newest
    // reason with its topic.
    std::uint64_t skipped() const { return m_skipped; }
    const std::string& lastSkip() const { return m_lastSkip; }
    // Every message applied or skipped under the root.
    std::uint64_t received() const { return m_received; }
    const std::string& root() const { return m_root; }

  private:
    bool skip(const std::string& topic, const std::string& reason);
    void applyOnline(PlantRow& row, bool online, bool live, std::vector<PlantEvent>* events);
    void applyAlert(PlantRow& row, const AlertMessage& alert, std::time_t now, bool live,
                    std::vector<PlantEvent>* events);
    void applyError(PlantRow& row, const ErrorEntryMessage& entry, std::time_t now, bool live,
                    std::vector<PlantEvent>* events);

    std::string m_root;
    std::map<std::string, PlantRow> m_rows;
    std::uint64_t m_skipped = 0;
    std::uint64_t m_received = 0;
    std::uint64_t m_revision = 0;
    std::string m_lastSkip;
};

}  // namespace qavix::plant
