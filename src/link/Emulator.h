#pragma once
// The built-in emulator port: a controller of the emulator core behind the frame server,
// configured by the same options as qavix-sim (those after "sim:").

#include <memory>
#include <string>

#include "PortSettings.h"
#include "Transport.h"

namespace qavix::link {

// Null with a reason when the options are not understood.
std::unique_ptr<Transport> openEmulator(const std::string& options, const PortSettings& settings,
                                        std::string& error);

}  // namespace qavix::link
