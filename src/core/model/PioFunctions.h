#pragma once
// What a P-I/O terminal does, read from and written as the four-character code the
// controller stores for it (PIO_01..PIO_16): kind in the third character, index in the
// fourth. The settings report and the P-I/O assignment page read the same tables.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Codec.h"
#include "model/DeviceData.h"
#include "model/PageRequests.h"

namespace qavix {

// The kind digit of a terminal code.
enum PioKind : int {
    kKindUnassigned = 0,
    kKindOverall = 1,
    kKindGroupBlocked = 3,
    kKindGroupIncident = 4,
    kKindParallel1 = 5,
    kKindParallel2 = 6,
};

// The function name the settings report shows for a terminal code, e.g. "804F" ->
// "グループ16   　入光". An empty code is the unassigned "0000"; a code of a kind the
// controller does not define shows "該当無".
std::string pioFunctionName(std::string_view code);

// The function a terminal is given on the assignment page.
enum PioFunction : int {
    kPioUnassigned = 0,
    kPioOverall = 1,
    kPioGroup = 2,
    kPioParallel1 = 3,
    kPioParallel2 = 4,
};
constexpr int kPioFunctionCount = 5;

enum PioJudgement : int {
    kPioNoJudgement = 0,
    kPioBlocked = 1,
    kPioIncident = 2,
};

constexpr int kPioChannelNumbers = kChannelCount;  // overall output: CH1..CH3
constexpr int kPioGroupNumbers = kGroupCount;      // group: Gr.1..Gr.16
constexpr int kPioBitNumbers = 12;                 // parallel output: 0bit..11bit

// One terminal as the page shows it. `number` counts from 1 (CH1, Gr.1, 0bit); 0 is "-".
struct PioAssignment {
    int function = kPioUnassigned;
    int judgement = kPioNoJudgement;
    int number = 0;
    bool operator==(const PioAssignment& o) const {
        return function == o.function && judgement == o.judgement && number == o.number;
    }
    bool operator!=(const PioAssignment& o) const { return !(*this == o); }
};

struct PioTerminal {
    PioAssignment assignment;
    int inversion = 0;  // 0 "無効", 1 "有効"
    bool operator==(const PioTerminal& o) const {
        return assignment == o.assignment && inversion == o.inversion;
    }
    bool operator!=(const PioTerminal& o) const { return !(*this == o); }
};
using PioTable = std::array<PioTerminal, kPioCount>;

// The assignment a code stands for; nothing for a code whose kind the page does not know
// (the row then stays as it was).
std::optional<PioAssignment> pioAssignmentOfCode(std::string_view code);
// The code of an assignment: "8000" unassigned, "8010".."8015" overall output, "8030".."804F"
// group, "8050".."806B" parallel output, "0000" for a function outside the table. A number
// of 0 counts as 1.
std::string pioCode(const PioAssignment& a);
// The judgement and number a newly chosen function starts with.
PioAssignment pioFunctionDefaults(int function);

// The page's table from the general block: codes of unknown kind read as unassigned.
PioTable pioTableOf(const GeneralBlock& general);

// Column texts, translated.
std::string pioPortName(int terminal);  // "D00".."D15"
const char* pioFunctionText(int function);
const char* pioJudgementText(int judgement);
std::string pioNumberText(int function, int number);
const char* pioInversionText(int inversion);

// The functions offered for a terminal: unassigned always, the others while their
// measurement processing is switched on (ALL_ONOFF_CNF, GRP_CNF, PARA_CNF).
std::vector<int> pioFunctionChoices(const GeneralBlock& general);
// The judgements offered for a function (none for unassigned and parallel outputs).
std::vector<int> pioJudgementChoices(int function);
// The numbers offered for a function: channels up to JOINT_NUM, sixteen groups, twelve bits.
std::vector<int> pioNumberChoices(int function, int jointNum);

// What a write of the page sends between start and enable setting: put 3 when an assignment
// differs from `stored`, put 4 when an inversion does. A terminal whose assignment is the
// one `stored` holds keeps its stored code, so a code the page cannot show is not rewritten
// behind the user's back.
std::vector<codec::PutRequest> pioPuts(const PioTable& table, const GeneralBlock& stored);

// The page's reads: the assignments, the inversions, then the three measurement-processing
// switches that decide which functions are offered.
std::vector<PageRead> pioReads();

}  // namespace qavix
