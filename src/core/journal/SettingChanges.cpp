#include "journal/SettingChanges.h"

#include "files/ComparableSettings.h"

namespace qavix::journal {

namespace {

// The settings beside the bank file's, in the form bankFields gives its own.
std::vector<bankfile::Field> unitFields(const SettingsData& set) {
    std::vector<bankfile::Field> fields;
    for (int c = 0; c < kChannelCount; ++c) {
        fields.push_back({"CH" + std::to_string(c + 1) + ".ID",
                          bankfile::printableText(set.channel(c).sensorId), "", 1});
    }
    fields.push_back({"CONTROLLER.ID", bankfile::printableText(set.general.idText), "", 1});
    fields.push_back({"CONTROLLER.BANK_FUNCTION", std::to_string(set.general.bankFunction), "", 1});
    return fields;
}

}  // namespace

std::vector<bankfile::FieldChange> settingChanges(const SettingsData& before,
                                                  const SettingsData& after) {
    std::vector<bankfile::FieldChange> changes =
        bankfile::fieldChanges(bankfile::asBankFileHolds(before), bankfile::asBankFileHolds(after));
    for (bankfile::FieldChange& c : bankfile::fieldChanges(unitFields(before), unitFields(after))) {
        changes.push_back(std::move(c));
    }
    return changes;
}

}  // namespace qavix::journal
