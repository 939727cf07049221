#include "files/BankDialogRules.h"

#include "state/UiText.h"

namespace qavix::bankrules {

std::string setLabel(int set) {
    return set == kCurrentSet ? uiText("qavix::BankDialogRules", "現在値")
                              : "Bank " + std::to_string(set);
}

std::vector<int> copySources(const DeviceModel& model) {
    std::vector<int> sources{kCurrentSet};
    for (int b = 1; b <= kBankCount; ++b) {
        if (model.storedSet(b).compatible != 0) {
            sources.push_back(b);
        }
    }
    return sources;
}

std::vector<int> copyDestinations(int source, int selected) {
    std::vector<int> destinations;
    if (source != kCurrentSet) {
        destinations.push_back(kCurrentSet);
    }
    for (int b = 1; b <= kBankCount; ++b) {
        if (b != source && b != selected) {
            destinations.push_back(b);
        }
    }
    return destinations;
}

SetFlags eraseOffered(int selected) {
    SetFlags offered{};
    for (int b = 1; b <= kBankCount; ++b) {
        offered[static_cast<size_t>(b)] = b != selected;
    }
    return offered;
}

SetFlags importTargets(bool dataReady, int selected) {
    SetFlags targets{};
    targets[kCurrentSet] = true;
    for (int b = 1; b <= kBankCount; ++b) {
        targets[static_cast<size_t>(b)] = dataReady && b != selected;
    }
    return targets;
}

SetFlags exportSources(const DeviceModel& model, bool dataReady, bool savingEdits) {
    SetFlags sources{};
    const int selected = model.selectedSet();
    sources[kCurrentSet] = true;
    for (int b = 1; b <= kBankCount; ++b) {
        sources[static_cast<size_t>(b)] = dataReady && model.storedSet(b).compatible != 0;
    }
    if (savingEdits) {
        for (int s = 0; s <= kBankCount; ++s) {
            sources[static_cast<size_t>(s)] = s == selected;
        }
    }
    return sources;
}

}  // namespace qavix::bankrules
