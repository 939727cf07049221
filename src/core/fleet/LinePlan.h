#pragma once
// Which controllers of a plant share a line: those must be read one after the other, while
// controllers on different lines may be read at once.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "PortResolver.h"

namespace qavix::fleet {

// The most lines read at once, by default or asked for: a worker mostly waits on its line,
// so one per line costs little, yet a plant file of hundreds of lines should not open
// hundreds of connections at once.
constexpr int kMaxJobs = 64;

// What a port name leads to (the link library's own rule), injectable for tests.
using PortLookup = std::function<std::optional<link::PortTarget>(const std::string& port)>;

// The rule of the link library with ./Qavix.ini; a device is named by its real path, so a
// /dev/serial/by-id link and the tty it points to are one line.
PortLookup systemPortLookup();

// The line controller `index` with `port` is on, from what the port resolves to. Two
// controllers share a line when their keys are equal: the same device, or the same device
// server port (host and port, whether reached as tcp: or rfc2217:, written directly or
// through a COMn mapped to it). Every opening of the emulator makes a new one, so each
// emulator port is a line of its own.
std::string lineKey(const std::string& port, size_t index, const PortLookup& lookup);

// Indexes into `ports` grouped by line: lines in the order their first controller appears,
// the controllers of a line in plant order.
std::vector<std::vector<size_t>> groupByLine(const std::vector<std::string>& ports,
                                             const PortLookup& lookup);

// One worker per line, at most kMaxJobs, at least one.
int defaultJobs(size_t lineCount);

}  // namespace qavix::fleet
