#pragma once
// The addresses of a device server's host, looked up within the open's deadline. The
// system's resolver waits for a slow or silent name server as long as its own settings say
// (seconds per server and attempt), so the lookup runs asynchronously and is given up at
// the deadline; the open then fails as one that got no answer in time.

#include <netdb.h>

#include <memory>
#include <string>

#include "Deadline.h"
#include "PortProblem.h"

namespace qavix::link {

struct AddressListFree {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListFree>;

// Stream socket addresses of `host` and `port`; null with the reason and its detail when
// the name is unknown, the lookup failed or the deadline came first (NoAnswer).
AddressList lookUpHost(const std::string& host, int port, Clock::time_point deadline,
                       PortProblemKind& failure, std::string& detail);

}  // namespace qavix::link
