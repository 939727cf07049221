#pragma once
// The machine's serial devices in the order COM1, COM2, ... map onto: /dev/serial/by-id
// entries first (stable across reboots and re-plugging), then ttyUSB, ttyACM and the ttyS
// devices that are real UARTs, each group in numeric order, none listed twice.

#include <string>
#include <vector>

namespace qavix::link {

std::vector<std::string> listSerialDevices();

}  // namespace qavix::link
