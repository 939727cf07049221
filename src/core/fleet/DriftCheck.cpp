#include "fleet/DriftCheck.h"

#include <algorithm>
#include <ctime>

#include "files/BankFields.h"
#include "files/BankFile.h"
#include "files/BankImport.h"
#include "files/ProfileFile.h"

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

// The set as a bank file would carry it: what the writer stores in place of an empty
// value (a threshold of 0 as 18, for one) is then the same on both sides.
SettingsData asBankFileHolds(const SettingsData& set) {
    const bankfile::BankFileText file = bankfile::formatBankFile(set, "", "", std::tm{});
    if (!file.ok) {
        return set;  // a value no file can hold: compared as it is, so it shows as changed
    }
    const bankfile::BlockRead blocks = bankfile::readBlocks(bankfile::BankFileEntries::fromText(file.text));
    SettingsData decoded;
    if (!blocks.ok() || bankfile::decodeBlocks(blocks.texts, decoded) != codec::DecodeResult::Ok) {
        return set;
    }
    return decoded;
}

void clearMissingBeams(SettingsData& set) {
    const int joint = std::clamp(set.general.jointNum, 0, kChannelCount);
    for (int c = 0; c < kChannelCount; ++c) {
        ChannelRecord& ch = set.channel(c);
        const int beams = c < joint ? std::clamp(ch.beamCount, 0, kMaxBeams) : 0;
        for (BeamTable* table : {&ch.fixAxis, &ch.setAxis, &ch.axisTh, &ch.zero}) {
            std::fill(table->begin() + beams, table->end(), 0);
        }
    }
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
    SettingsData a = asBankFileHolds(golden);
    SettingsData b = asBankFileHolds(live);
    result.mismatch = controllerMismatch(a, b);
    if (!result.mismatch.empty()) {
        return result;
    }
    clearMissingBeams(a);
    clearMissingBeams(b);
    const std::vector<bankfile::Field> fa = bankfile::bankFields(a);
    const std::vector<bankfile::Field> fb = bankfile::bankFields(b);
    for (size_t i = 0; i < fa.size() && i < fb.size(); ++i) {
        if (fa[i].value != fb[i].value) {
            result.changes.push_back({fa[i].name, fa[i].value, fb[i].value});
        }
    }
    return result;
}

}  // namespace qavix::fleet
