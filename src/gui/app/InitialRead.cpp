#include "app/InitialRead.h"

#include "app/CInitialReadDlg.h"
#include "app/QtCommHost.h"
#include "comm/Transactions.h"

namespace qavix {

InitialReadOutcome runInitialReadWindow(Transactions& transactions, QtCommHost& host,
                                        InitialReadTimings timings, QWidget* parent,
                                        const std::function<bool()>& ending) {
    // One bar for both reads: the banks' requests follow those of the current set, whose
    // count is known only once the beam counts are in.
    int currentSetTotal = 0;
    bool banksPhase = false;
    CInitialReadDlg dlg(
        [&] {
            if (transactions.readAll() != kRequestOk || ending()) {
                return false;
            }
            banksPhase = true;
            return transactions.readBanks() == kRequestOk;
        },
        timings.startDelayMs, timings.blinkMs, parent);
    transactions.setObserver(
        {nullptr, nullptr, [&](int done, int total) {
             if (!banksPhase) {
                 currentSetTotal = total;
                 dlg.setProgress(done, total + Transactions::kBankReadRequests);
             } else {
                 dlg.setProgress(currentSetTotal + done, currentSetTotal + total);
             }
         }});
    host.setDialogParent(&dlg);
    dlg.exec();
    host.setDialogParent(parent);
    transactions.setObserver({});
    return {dlg.succeeded(), {dlg.progressBar()->value(), dlg.progressBar()->maximum()}};
}

}  // namespace qavix
