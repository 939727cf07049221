#include "comm/PageWrite.h"

#include "comm/Transactions.h"
#include "model/PageRequests.h"

namespace qavix {

WriteTarget pageWriteTarget(const DeviceModel& model) {
    return model.selectedSet() == kCurrentSet ? WriteTarget::Controller : WriteTarget::SelectedBank;
}

PageWriteResult writePage(CCommLink& link, DeviceModel& model,
                          const std::vector<codec::PutRequest>& puts, int startTimeoutMs,
                          const WriteDescription& what) {
    PageWriteResult result;
    result.target = pageWriteTarget(model);
    if (result.target == WriteTarget::SelectedBank) {
        applyBankEdit(puts, model);
        result.ok = true;
        return result;
    }
    Transactions transactions(link, model);
    result.ok = transactions.writeCurrentSet(puts, what, startTimeoutMs) == kRequestOk;
    if (result.ok) {
        // The controller keeps what it was sent; the working set learns it only here.
        applyWrittenPuts(puts, model.working());
    }
    return result;
}

}  // namespace qavix
