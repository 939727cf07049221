#pragma once
// The two kinds of answer the controller's handlers give. Internal to the emulator.

#include <string>
#include <utility>

#include "sim/Command.h"

namespace qavix::sim {

inline Response fail(int error) {
    return Response{error, {}};
}

inline Response reply(std::string text) {
    return Response{kOk, std::move(text)};
}

}  // namespace qavix::sim
