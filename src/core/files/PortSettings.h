#pragma once
// Serial settings of COM1..COM6 and the selected port and unit, as Qavix.ini keeps them,
// and the six-word block that opening a port takes.

#include <array>
#include <cstdint>
#include <string>

namespace qavix {

class ProfileFile;

constexpr int kPortCount = 6;
constexpr std::array<int32_t, 6> kBaudRates = {9600, 14400, 19200, 38400, 57600, 115200};

// The words of the block handed to the link library when a port is opened.
using PortBlock = std::array<int32_t, 6>;

struct PortSetting {
    int baudIndex = 0;  // into kBaudRates
    int bytesize = 1;   // 1: 7 data bits, 0: 8
    int parity = 1;     // 1: even, 0: none
    int stopbit = 1;    // 1: two stop bits, otherwise one

    int32_t baudRate() const { return kBaudRates[static_cast<size_t>(baudIndex)]; }
    std::string baudText() const { return std::to_string(baudRate()); }
    // {baud rate, data bits 7/8, parity 2 (even) or 0, stop bits 2 or 0 (one), 0, unit}
    PortBlock block(int unit) const;
};

struct PortSettings {
    static constexpr const char* kMainSection = "Qavix_Section";

    int activePort = 0;     // 0..5: COM1..COM6
    int activeMachine = 0;  // unit number (号機)
    std::array<PortSetting, kPortCount> ports{};

    PortSetting& active() { return ports[static_cast<size_t>(activePort)]; }
    const PortSetting& active() const { return ports[static_cast<size_t>(activePort)]; }

    // Values the program cannot use are replaced as they are read: a negative unit, a port
    // index outside 0..5 and a baud index outside 0..5 become 0, and so do a byte size or
    // parity other than 0 or 1, which a later save then stores back.
    static PortSettings load(const ProfileFile& profile);

    // ActivePort, ActiveMachine and the four keys of every port section.
    void save(ProfileFile& profile) const;
    // The four keys of one port section (0..5).
    void savePort(ProfileFile& profile, int port) const;
    // What the communication settings dialog keeps when the user confirms it: the active
    // port's section with its port index (only when the machine has a port at all) and unit
    // number, then ActiveMachine and ActivePort.
    void saveChosenPort(ProfileFile& profile, bool anyPortPresent) const;
};

// "COM1_SETTING" for port index 0.
std::string portSectionName(int port);

}  // namespace qavix
