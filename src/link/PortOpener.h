#pragma once
// Opens what a port name resolves to: a serial device or the built-in emulator.

#include <memory>
#include <string>

#include "LinkFailure.h"
#include "PortSettings.h"
#include "Transport.h"

namespace qavix::link {

std::unique_ptr<Transport> openPort(const std::string& name, const PortSettings& settings,
                                    LinkFailure& failure);

}  // namespace qavix::link
