#include "files/PortSettings.h"

#include "files/ProfileFile.h"

namespace qavix {

namespace {

constexpr int32_t kSevenDataBits = 7;
constexpr int32_t kEightDataBits = 8;
constexpr int32_t kEvenParity = 2;
constexpr int32_t kNoParity = 0;
constexpr int32_t kTwoStopBits = 2;
constexpr int32_t kOneStopBit = 0;

int zeroOrOne(int value) {
    return value == 1 ? 1 : 0;
}

int inRangeOrZero(int value, int count) {
    return value >= 0 && value < count ? value : 0;
}

}  // namespace

PortBlock PortSetting::block(int unit) const {
    return PortBlock{baudRate(),
                     bytesize == 1 ? kSevenDataBits : kEightDataBits,
                     parity == 1 ? kEvenParity : kNoParity,
                     stopbit == 1 ? kTwoStopBits : kOneStopBit,
                     0,
                     unit};
}

std::string portSectionName(int port) {
    return "COM" + std::to_string(port + 1) + "_SETTING";
}

PortSettings PortSettings::load(const ProfileFile& profile) {
    PortSettings s;
    s.activePort = inRangeOrZero(profile.getInt(kMainSection, "ActivePort", 0), kPortCount);
    const int machine = profile.getInt(kMainSection, "ActiveMachine", 0);
    s.activeMachine = machine < 0 ? 0 : machine;
    for (int port = 0; port < kPortCount; ++port) {
        const std::string section = portSectionName(port);
        PortSetting& p = s.ports[static_cast<size_t>(port)];
        p.baudIndex = inRangeOrZero(profile.getInt(section, "Baudrate", 0),
                                    static_cast<int>(kBaudRates.size()));
        p.bytesize = zeroOrOne(profile.getInt(section, "Bytesize", 1));
        p.parity = zeroOrOne(profile.getInt(section, "Parity", 1));
        p.stopbit = profile.getInt(section, "Stopbit", 1);
    }
    return s;
}

void PortSettings::savePort(ProfileFile& profile, int port) const {
    const std::string section = portSectionName(port);
    const PortSetting& p = ports.at(static_cast<size_t>(port));
    profile.setInt(section, "Baudrate", p.baudIndex);
    profile.setInt(section, "Bytesize", p.bytesize);
    profile.setInt(section, "Parity", p.parity);
    profile.setInt(section, "Stopbit", p.stopbit);
}

void PortSettings::saveChosenPort(ProfileFile& profile, bool anyPortPresent) const {
    const std::string section = portSectionName(activePort);
    const PortSetting& p = active();
    if (anyPortPresent) {
        profile.setInt(section, "Port", activePort);
    }
    profile.setInt(section, "Baudrate", p.baudIndex);
    profile.setInt(section, "Parity", p.parity);
    profile.setInt(section, "Bytesize", p.bytesize);
    profile.setInt(section, "Stopbit", p.stopbit);
    profile.setInt(section, "Machine", activeMachine);
    profile.setInt(kMainSection, "ActiveMachine", activeMachine);
    profile.setInt(kMainSection, "ActivePort", activePort);
}

void PortSettings::save(ProfileFile& profile) const {
    profile.setInt(kMainSection, "ActivePort", activePort);
    profile.setInt(kMainSection, "ActiveMachine", activeMachine);
    for (int port = 0; port < kPortCount; ++port) {
        savePort(profile, port);
    }
}

}  // namespace qavix
