#pragma once
// Turns the controller's error block into the message the operator sees and into what the
// program does next: setting errors let the operator correct the settings, every other
// error ends the program.

#include <optional>
#include <string>
#include <string_view>

#include "model/ControllerCodes.h"

namespace qavix {

enum class ErrorKind : int {
    Unidentified = 0,  // ends the program
    Setting = 1,       // shown once, the program goes on
    Installation = 2,  // ends the program
    Dealer = 3,        // ends the program
};

struct ControllerError {
    int number = 0;
    ErrorKind kind = ErrorKind::Unidentified;
    std::string message;     // in the language of the texts
    std::string statusText;  // the short text, for setting errors only; translated
    // The short text the message names, for every error, as written (Japanese): what the
    // monitor publishes; shown through i18n::translate.
    std::string text;
};

// The error block (code::kReadErrorLog) is read with this time-out, once, without retries.
constexpr int kErrorBlockTimeoutMs = 500;

ControllerError evaluateControllerError(int number);

// Nothing when the reply is too short or its characters 14-15 are not hexadecimal: the
// caller treats that as a failed read and polls again.
std::optional<ControllerError> evaluateErrorBlock(std::string_view reply);

inline bool endsProgram(ErrorKind kind) {
    return kind != ErrorKind::Setting;
}

}  // namespace qavix
