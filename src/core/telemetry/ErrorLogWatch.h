#pragma once
// Which entries of the controller's error log are new. The log holds the twenty newest
// entries, newest first; the monitor publishes each new one once. The first look only
// remembers what is there, and what was last delivered survives a restart in a small state
// file, so neither a new monitor nor a restarted one repeats old entries.

#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/DeviceData.h"

namespace qavix::telemetry {

// An entry's identity: "yymmddhhmmss rr CC SSSSSSSS" of its fields.
std::string errorEntryKey(const ErrorHistoryEntry& entry);

class ErrorLogWatch {
  public:
    // What was last seen (or delivered) before, from the state file; "" means the log was
    // empty. Without it the next look publishes nothing and only remembers.
    void restore(std::optional<std::string> lastKey);

    // The indices (0..19) of the entries that are new since the last look, oldest first.
    // An entry counts as new when it stands above the last one seen; when that one is gone
    // from the log (more than twenty entries since, or the log was cleared), every entry
    // dated after it is new, and of its own second every entry not seen before.
    std::vector<int> look(const std::array<ErrorHistoryEntry, kErrorHistoryCount>& history);

    const std::optional<std::string>& last() const { return m_last; }

  private:
    bool newSinceGone(const std::string& key) const;
    void remember(const std::vector<std::string>& keys);

    std::optional<std::string> m_last;
    // The keys seen of the newest second: a controller logs several errors in one second.
    std::set<std::string> m_lastSecond;
};

// The state file: "last-error = KEY" (an empty KEY: the log was empty). A missing file is
// no error (nullopt with an empty `error`); an unreadable or malformed one is.
std::optional<std::string> loadErrorState(const std::string& path, std::string& error);
// Written beside the target and renamed over it.
bool saveErrorState(const std::string& path, const std::string& lastKey, std::string& error);

}  // namespace qavix::telemetry
