#pragma once
// Every device value the program holds: channel records, the general block, stored sets,
// the working set and the controller's error history. Plain values: a copy is a whole copy.

#include <array>
#include <cstdint>
#include <string>

#include "model/ControllerLimits.h"

namespace qavix {

constexpr int kMaxBeams = 128;
constexpr int kChannelCount = 3;
constexpr int kBankCount = 4;
constexpr int kStoredSetCount = 6;
constexpr int kCurrentSet = 0;  // the controller's current set (現在値)
constexpr int kSpareSet = 5;    // receives an imported bank file before it is checked
constexpr int kPageEditedFlagCount = 13;
constexpr int kErrorHistoryCount = 20;
constexpr int kPioCount = 16;
constexpr int kGroupCount = 16;
constexpr int kGroupTableSize = 32;  // 16 beam numbers followed by 16 channel numbers

using BeamTable = std::array<int32_t, kMaxBeams>;

// Beam flag tables hold, per beam, either 0 or the beam's bit weight in its byte.
constexpr int32_t beamBitWeight(int beam) {
    return 1 << (beam % 8);
}
constexpr int flagByteCount(int beams) {
    return (beams + 7) / 8;
}

struct ChannelRecord {
    std::string modelText;       // read code 58
    std::string versionText;     // read code 60, "major.minor"
    std::string verR;            // VER_R, four characters
    std::string verE;            // VER_E, four characters
    std::string sensorId;        // read code 69
    std::string receiverSerial;  // read code 70
    std::string emitterSerial;   // read code 82
    std::string pitchText;       // from the low nibble of TYPE_2

    int32_t type2 = 0;
    int32_t type3 = 0;
    int32_t beamCount = 0;  // TYPE_1
    int32_t onTh = 0;
    int32_t offTh = 0;
    int32_t function = 0;
    int32_t subConf = 0;
    int32_t almConf = 0;
    int32_t timeConf = 0;
    int32_t countConf = 0;
    int32_t setting77 = 0;  // three one-byte settings known only by their read codes
    int32_t setting81 = 0;
    int32_t setting79 = 0;

    BeamTable setAxis{};
    BeamTable absLevel{};
    BeamTable ratioLevel{};
    BeamTable zero{};
    BeamTable absOnTh{};
    BeamTable absOffTh{};
    BeamTable ratioOnTh{};
    BeamTable ratioOffTh{};
    BeamTable beamState{};
    BeamTable axisTh{};

    int32_t hys = 0;
    int32_t thCnf = 0;
    int32_t reserved = 0;
    int32_t onOffDiff = 0;
    int32_t functionBit1 = 0;
    int32_t fixConf = 0;

    BeamTable fixAxis{};

    int32_t functionBit2 = 0;
    int32_t floConfBit4 = 0;
    int32_t floConfBit5 = 0;
    int32_t floConf = 0;

    bool operator==(const ChannelRecord&) const;
    bool operator!=(const ChannelRecord& o) const { return !(*this == o); }
};

struct GeneralBlock {
    std::string type;         // 20 characters
    std::string versionText;  // "VER" + SFT_VER
    std::string text3;        // third text of read code 46

    // words[0] from read code 47; words[2..8] the clock of read code 49:
    // year (four digits), month, day, hour, minute, second, weekday.
    std::array<int32_t, 9> words{};

    std::string text1;
    std::string serialText;  // read code 61
    std::string idText;      // read code 62, written by put code 2
    std::string text59;      // read code 59, written by put code 1

    std::array<int32_t, 16> words16{};
    std::array<std::string, kPioCount> pio;  // PIO_01..PIO_16, four-character codes
    std::array<int32_t, kPioCount> pioInv{};

    int32_t allOnOffCnf = 0;
    int32_t word1 = 0;
    std::array<int32_t, kChannelCount> fixCnf{};
    std::array<int32_t, kChannelCount> allOn{};
    std::array<int32_t, kChannelCount> allOff{};

    std::array<int32_t, 6> paraWords{};  // read codes 131 (first three) and 132 (last three)
    int32_t paraCnf = 0;
    std::array<int32_t, 2> paraSpare{};
    std::array<int32_t, 2> paraType{};
    std::array<int32_t, 2> paraRes{};
    std::array<int32_t, 2> paraUnit{};

    std::array<int32_t, 18> groupWords{};  // read codes 137..142, three each
    int32_t grpCnf = 0;
    std::array<int32_t, kGroupTableSize> grpUp{};   // GRP_UP_AX[16], GRP_UP_CH[16]
    std::array<int32_t, kGroupTableSize> grpLow{};  // GRP_LOW_AX[16], GRP_LOW_CH[16]

    std::array<int32_t, 16> table146{};
    std::array<int32_t, 16> table147{};

    int32_t tchCnf = 0;
    int32_t bankFunction = 0;  // read code 149
    int32_t jointNum = 0;      // connected sensors, 1..3

    // SFT_VER: the version text from its fourth character on.
    std::string softwareVersion() const;

    bool operator==(const GeneralBlock&) const;
    bool operator!=(const GeneralBlock& o) const { return !(*this == o); }
};

// The settings of one controller: what a stored set holds and the working set shows.
struct SettingsData {
    std::array<ChannelRecord, kChannelCount> channels;
    GeneralBlock general;

    ChannelRecord& channel(int index) { return channels.at(static_cast<size_t>(index)); }
    const ChannelRecord& channel(int index) const {
        return channels.at(static_cast<size_t>(index));
    }
};

struct StoredSet : SettingsData {
    int32_t compatible = 0;
    int32_t edited = 0;
    int32_t writeAll = 0;
    int32_t loaded = 0;
};

struct WorkingSet : SettingsData {
    int selectedSet = kCurrentSet;
    std::array<bool, kPageEditedFlagCount> pageEdited{};

    bool anyPageEdited() const;
};

struct ErrorHistoryEntry {
    int32_t year = 0;  // two digits; 2000 is added when shown
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t reserved = 0;
    std::string codeText;
    std::string serialText;

    bool isEmpty() const;
    bool hasDate() const;
};

}  // namespace qavix
