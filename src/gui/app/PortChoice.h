#pragma once
// The port settings of Qavix.ini as start-up and the status bar use them. Kept apart from
// the link settings header: both the settings module and the link settings name the
// number of ports, so no file includes both.

#include <array>
#include <string>

namespace qavix {

class ProfileFile;

struct PortChoice {
    static constexpr int kPorts = 6;
    int activePort = 0;     // 0..5: COM1..COM6
    int activeMachine = 0;  // unit number
    std::array<int, kPorts> baudIndex{};
    // The six-word block opening each port takes.
    std::array<std::array<int, 6>, kPorts> blocks{};

    int activeBaudIndex() const { return baudIndex[static_cast<size_t>(activePort)]; }
};

PortChoice loadPortChoice(const ProfileFile& profile);
// ActivePort and ActiveMachine, as the main frame writes them when it goes.
void savePortChoice(ProfileFile& profile, const PortChoice& choice);

}  // namespace qavix
