#pragma once
// The requests a setting page makes: the reads that refresh what it shows, and what a
// successful write leaves in the working set.

#include <vector>

#include "model/Codec.h"
#include "model/ControllerCodes.h"
#include "model/DeviceData.h"
#include "model/DeviceModel.h"

namespace qavix {

// One read of a page: request code, argument 1, start, count and the controller's time-out.
struct PageRead {
    int code = 0;
    int arg1 = 0;
    int start = 0;
    int count = 0;
    int timeoutMs = 0;
    bool operator==(const PageRead& o) const {
        return code == o.code && arg1 == o.arg1 && start == o.start && count == o.count &&
               timeoutMs == o.timeoutMs;
    }
};

// The read of a per-channel code for channel 1..3, addressed as the code table says: the
// channel's value, or its first `beams` beams.
PageRead channelRead(int readCode, int channel, int beams = 0, int timeoutMs = kRequestTimeoutMs);

// The controller keeps what a write sent, but the working set only learns it from a read;
// a successful write of the current values puts the sent texts into it the way an offline
// apply does, so the page compares against what the controller now holds.
void applyWrittenPuts(const std::vector<codec::PutRequest>& puts, SettingsData& set);

// While a bank is selected the working set holds that bank's settings: the puts go into it
// and mark the bank edited, for the bank write to send later. A put without a read pair
// carries nothing a bank keeps and leaves the bank unmarked.
void applyBankEdit(const std::vector<codec::PutRequest>& puts, DeviceModel& model);

}  // namespace qavix
