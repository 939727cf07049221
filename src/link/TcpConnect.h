#pragma once
// An outgoing TCP connection to a device server, bounded by one deadline: the name is looked
// up (HostLookup), then each of its addresses is tried in turn with a non-blocking connect
// until one accepts. Nothing here listens or connects anywhere but to the host given.

#include <string>

#include "NetworkAddress.h"
#include "PortProblem.h"
#include "Transport.h"

namespace qavix::link {

// A connected, non-blocking socket with Nagle's delay off (a frame is sent whole and waits
// for its answer); -1 with the reason and its detail when no address accepted in time.
int connectTcp(const NetworkAddress& address, Clock::time_point deadline, PortProblemKind& failure,
               std::string& detail);

}  // namespace qavix::link
