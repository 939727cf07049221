#pragma once
// One command as the controller receives it after the frame layer has taken it apart,
// and its answer. Shared by the link library's built-in emulator transport and qavix-sim.

#include <string>

namespace qavix::sim {

// One operation per KRYL_ entry that reaches the controller.
enum class Op {
    GetStatus,      // KRYL_GetStatus
    GetControl,     // KRYL_GetControlData / ...Wait: id
    PutControl,     // KRYL_PutControlData / ...Wait: id, text
    GetString,      // KRYL_GetStringData / ...Wait: id, arg1 (start), arg2 (count)
    PutString,      // KRYL_PutStringData / ...Wait: id, arg1, arg2, text
    GetParameter,   // KRYL_GetParameterData / ...Wait: id, start, count
    PutParameter,   // KRYL_PutParameterData / ...Wait: id, start, count, text
    StartSetting,   // KRYL_StartSetting
    EnableSetting,  // KRYL_EnableSetting
    Reset,          // KRYL_Reset
    ClearBank,      // KRYL_ClearBank: arg1 bank index 0..3
    ZeroReset,      // KRYL_ZeroReset: arg1 channel or sub-code
    TeachRatio,     // KRYL_TeachRasio: arg1, arg2, arg3 in the order the program passes them
    FactStart,      // KRYL_FACTStart
    FactEnd,        // KRYL_FACTEnd
};

struct Command {
    Op op = Op::GetStatus;
    int unit = 0;
    int id = 0;     // identifier (request code) for Get/Put operations
    int start = 0;  // or the first operation-specific argument
    int count = 0;  // or the second
    int arg3 = 0;   // third operation-specific argument (teach)
    std::string text;
};

// Error codes of a refused command; 0 when accepted.
enum ErrorCode : int {
    kOk = 0,
    kUnknownId = 1,   // the identifier is not one the controller knows
    kBadRange = 2,    // start/count outside the identifier's area
    kBadData = 3,     // the text is not of the identifier's form
    kWrongState = 4,  // the operation is not allowed in the present state
    kBadUnit = 5,     // not addressed to this controller (no answer is sent)
};

struct Response {
    int error = kOk;
    std::string text;  // the reply text of a Get, empty otherwise
    bool ok() const { return error == kOk; }
};

}  // namespace qavix::sim
