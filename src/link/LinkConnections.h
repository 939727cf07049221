#pragma once
// The link library's connections. Connection 0 is shared by every thread, as the library
// always was; a program that talks to several controllers at once asks for more, and each
// of its threads chooses the one its calls go to.

#include <memory>

#include "LinkLibrary.h"

namespace qavix::link {

// Enough for one connection per serial line a machine can carry; each costs one open
// device at most. Connection 0 counts among them.
constexpr int kMaxConnections = 256;

// The connection the calling thread works on. A thread that chose a connection which has
// since been ended gets one that refuses every call, KRYL_Initialize included, never
// another thread's line.
std::shared_ptr<LinkLibrary> currentConnection();

// A new connection, initialised and with no port open; its number is above 0. False when
// kMaxConnections are in use.
bool newConnection(int& number);

// Makes the calling thread's later calls go to connection `number` (0: the shared one).
// False when no such connection exists; the thread's choice is then unchanged.
bool useConnection(int number);

// Closes the connection's port and forgets it. Connection 0 cannot be ended.
bool endConnection(int number);

}  // namespace qavix::link
