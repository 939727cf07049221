#pragma once
// What the bank dialogs offer: the entries of the copy dialog's lists, the banks the erase
// dialog lets be ticked, the targets of an import and the sources of an export. No Qt here
// so the rules are tested without a dialog.

#include <array>
#include <string>
#include <vector>

#include "model/DeviceModel.h"

namespace qavix::bankrules {

// One flag per stored set 0..4 (current values, Bank 1..4).
using SetFlags = std::array<bool, kBankCount + 1>;

// "現在値" or "Bank n", as the copy dialog lists them.
std::string setLabel(int set);

// The copy sources: the current values, then every bank that holds settings for this
// controller.
std::vector<int> copySources(const DeviceModel& model);
// The copy destinations for `source`: the current values first when the source is a bank,
// then every bank that is neither the source nor the bank shown.
std::vector<int> copyDestinations(int source, int selected);

// The banks the erase dialog lets be ticked: never the one shown.
SetFlags eraseOffered(int selected);

// Import targets that may be chosen: not the bank shown (it would be replaced under the
// pages), and no bank before the controller's data has been read.
SetFlags importTargets(bool dataReady, int selected);

// Export sources that may be chosen: the current values, and the banks that hold settings
// for this controller; when saving a bank's edits, only that bank.
SetFlags exportSources(const DeviceModel& model, bool dataReady, bool savingEdits);

}  // namespace qavix::bankrules
