#pragma once
// A page's write, wherever it goes: to the controller while the working set holds its
// current values, into the selected bank while a bank is edited. Either way what was
// written then stands in the working set, so the page compares against it afterwards.

#include <vector>

#include "comm/CCommLink.h"
#include "comm/JournaledWrite.h"
#include "model/Codec.h"
#include "model/DeviceModel.h"

namespace qavix {

enum class WriteTarget {
    Controller,    // start setting, the puts, enable setting with verification
    SelectedBank,  // the working set only; the bank write sends it later
};

struct PageWriteResult {
    bool ok = false;
    WriteTarget target = WriteTarget::Controller;
};

// Where a page's write goes with the model's present selection.
WriteTarget pageWriteTarget(const DeviceModel& model);

// Writes `puts` to the target and, when that succeeded, applies them to the working set.
// A failure leaves the working set as the controller last reported it, so the page still
// holds its edits to retry or cancel. `startTimeoutMs` is what the start setting carries;
// `what` names the write in the change journal (the page's name as its detail).
PageWriteResult writePage(CCommLink& link, DeviceModel& model,
                          const std::vector<codec::PutRequest>& puts,
                          int startTimeoutMs = kRequestTimeoutMs,
                          const WriteDescription& what = WriteDescription{});

}  // namespace qavix
