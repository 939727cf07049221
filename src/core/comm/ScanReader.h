#pragma once
// The scan monitor's sample read. It calls the link library directly on the caller's thread
// (the worker's hand-off would cost more than a 25 ms interval allows), so the caller must
// have suspended the worker's polling first: the library takes one caller at a time.

#include "comm/CommTimings.h"
#include "comm/LinkApi.h"
#include "model/DeviceData.h"
#include "model/ScanReply.h"

namespace qavix::scan {

// The entry takes no buffer size: the library may fill as much as any parameter read's
// buffer holds, so this one is as large, although the answer is at most 96 characters.
constexpr int kScanReplyBufferSize = kReplyBufferSize;
// Calls per read: the first and at most two immediate repeats.
constexpr int kScanReadAttempts = 3;
// Consecutive failed reads after which sampling stops.
constexpr int kFailuresToStop = 2;

enum class SampleOutcome {
    Taken,    // the monitoring tables hold the new sample
    Skipped,  // this read failed; no column is added
    Stop,     // the second failure in a row: the line is gone, sampling must end
    // Nothing came back at all (the call timed out, or the device went away), and this is
    // no second failure in a row. Calling again at once would only wait out the time-out
    // again: whether the line is gone is for the connection's status check to say, as for
    // every other read; a caller without one skips the sample.
    Silent,
};

// The link library's failure codes that mean no answer came at all.
bool isSilentLineCode(const char* code);

class ScanReader {
  public:
    explicit ScanReader(const LinkApi& api, int timeoutMs = kRequestTimeoutMs)
        : m_api(api), m_timeoutMs(timeoutMs) {}

    // One read of `range` into the monitoring tables of `set`, counting failures in a row.
    SampleOutcome sample(const ScanRange& range, SettingsData& set);
    // Forgets earlier failures (a new start).
    void resetFailures() { m_failures = 0; }
    int failures() const { return m_failures; }

  private:
    enum class Read { Answered, Failed, Silent };
    Read readOnce(const ScanRange& range, SettingsData& set);
    bool lineSilent() const;

    const LinkApi& m_api;
    int m_timeoutMs;
    int m_failures = 0;
};

}  // namespace qavix::scan
