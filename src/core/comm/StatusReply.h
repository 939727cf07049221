#pragma once
// The controller's status reply: its operating state and the number of connected sensors,
// two decimal digits each. The status check and the plant monitor read it the same way.

#include <optional>
#include <string_view>

namespace qavix {

struct StatusReply {
    int state = 0;    // ControllerState (StatusCheck.h)
    int sensors = 0;  // JOINT_NUM
};

// Nothing when the reply is too short or its first four characters are not digits.
std::optional<StatusReply> parseStatusReply(std::string_view reply);

}  // namespace qavix
