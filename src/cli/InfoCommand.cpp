#include "InfoCommand.h"

#include <algorithm>
#include <iostream>

#include "DeviceSession.h"
#include "ExitCodes.h"
#include "files/Fingerprint.h"
#include "model/BasicInformation.h"

namespace qavix::cli {

namespace {

constexpr int kSerialCode = 61;
constexpr int kSensorVersionCode = 60;

// Read all leaves out the controller's serial and the sensors' version numbers; the basic
// information page reads them itself.
int readPageExtras(DeviceSession& session) {
    CCommLink& link = session.link();
    if (link.request(kSerialCode) != kRequestOk) {
        return kRequestFailed;
    }
    const int joint = std::clamp(session.model().working().general.jointNum, 0, kChannelCount);
    for (int c = 1; c <= joint; ++c) {
        if (link.request(kSensorVersionCode, c, c - 1, 1) != kRequestOk) {
            return kRequestFailed;
        }
    }
    return kRequestOk;
}

void printItem(const std::string& label, const std::string& value) {
    std::cout << label << ": " << value << '\n';
}

void printSensors(const SettingsData& set) {
    const int joint = std::clamp(set.general.jointNum, 0, kChannelCount);
    for (int c = 0; c < joint; ++c) {
        const ChannelRecord& ch = set.channel(c);
        const std::string prefix = "CH" + std::to_string(c + 1) + " ";
        printItem(prefix + "光軸数", std::to_string(ch.beamCount));
        printItem(prefix + "ピッチ", ch.pitchText);
        printItem(prefix + "バージョン", ch.versionText);
        printItem(prefix + "VER_R", ch.verR);
        printItem(prefix + "VER_E", ch.verE);
    }
}

}  // namespace

int runInfo(const DeviceOptions& options) {
    DeviceSession session(options);
    const int connected = session.connect();
    if (connected != kExitOk) {
        return connected;
    }
    if (session.transactions().readAll() != kRequestOk || readPageExtras(session) != kRequestOk) {
        return session.failureExit();
    }
    const SettingsData& set = session.model().working();
    for (const auto& [label, value] : basicInformationItems(basicInformation(set))) {
        printItem(label, value);
    }
    printItem(kFingerprintLabel, settingsFingerprint(set).shortForm());
    printSensors(set);
    return kExitOk;
}

}  // namespace qavix::cli
