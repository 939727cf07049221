#pragma once
// Why the last call of the link library failed, as KRYL_GetLastError reports it.

#include <string>

namespace qavix::link {

struct LinkFailure {
    std::string code;     // fewer than 8 characters, e.g. "TIMEOUT"
    std::string message;  // fewer than 128 characters once cut to the caller's buffer
};

}  // namespace qavix::link
