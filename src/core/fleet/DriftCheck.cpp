#include "fleet/DriftCheck.h"

#include <algorithm>

#include "files/BankFields.h"
#include "files/ComparableSettings.h"

namespace qavix::fleet {

const std::vector<std::string> kUncomparedIdentity = {"controller ID", "controller serial number",
                                                      "sensor IDs", "sensor serial numbers"};

namespace {

std::string trimmed(const std::string& s) {
    const size_t last = s.find_last_not_of(" \t");
    return last == std::string::npos ? std::string() : s.substr(0, last + 1);
}

std::string goldenLive(const std::string& golden, const std::string& live) {
    return "golden " + golden + ", live " + live;
}

}  // namespace

std::string controllerMismatch(const SettingsData& golden, const SettingsData& live) {
    const GeneralBlock& g = golden.general;
    const GeneralBlock& l = live.general;
    if (g.type != l.type) {
        return "another controller type: " + goldenLive(trimmed(g.type), trimmed(l.type));
    }
    if (g.versionText != l.versionText) {
        return "another controller version: " + goldenLive(g.versionText, l.versionText);
    }
    if (g.jointNum != l.jointNum) {
        return "another number of sensors: " +
               goldenLive(std::to_string(g.jointNum), std::to_string(l.jointNum));
    }
    const int joint = std::clamp(g.jointNum, 0, kChannelCount);
    for (int c = 0; c < joint; ++c) {
        const ChannelRecord& a = golden.channel(c);
        const ChannelRecord& b = live.channel(c);
        const std::string sensor = "another sensor on CH" + std::to_string(c + 1) + ": ";
        if (a.beamCount != b.beamCount) {
            return sensor + goldenLive(std::to_string(a.beamCount) + " beams",
                                       std::to_string(b.beamCount) + " beams");
        }
        if (a.type2 != b.type2 || a.type3 != b.type3) {
            return sensor +
                   goldenLive("type " + std::to_string(a.type2) + "/" + std::to_string(a.type3),
                              "type " + std::to_string(b.type2) + "/" + std::to_string(b.type3));
        }
        if (a.verR != b.verR || a.verE != b.verE) {
            return sensor + goldenLive("versions " + a.verR + "/" + a.verE,
                                       "versions " + b.verR + "/" + b.verE);
        }
    }
    return {};
}

DriftResult compareWithGolden(const SettingsData& golden, const SettingsData& live) {
    DriftResult result;
    SettingsData a = bankfile::asBankFileHolds(golden);
    SettingsData b = bankfile::asBankFileHolds(live);
    result.mismatch = controllerMismatch(a, b);
    if (!result.mismatch.empty()) {
        return result;
    }
    bankfile::clearMissingBeams(a);
    bankfile::clearMissingBeams(b);
    for (bankfile::FieldChange& change : bankfile::fieldChanges(a, b)) {
        result.changes.push_back(
            {std::move(change.name), std::move(change.before), std::move(change.after)});
    }
    return result;
}

}  // namespace qavix::fleet
