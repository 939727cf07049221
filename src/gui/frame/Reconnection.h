#pragma once
// The communication settings command (32780, and a double click on status pane 3): the
// settings dialog through the connection's owner, then, when the port or unit changed, the
// link opened again. Bank edits applied but not written pass the editing guard first.

#include <functional>

#include "frame/StatusPanes.h"

namespace qavix {

class AppState;
class CBankManager;

// What the frame asks of the connection's owner for the communication settings command.
struct ConnectionHooks {
    // Runs the communication settings dialog through the connection (polling held).
    std::function<void()> commSettings;
    // Opens the link again after a change of port or unit and reads everything anew.
    std::function<bool()> reconnect;
};

class Reconnection {
  public:
    Reconnection(AppState& state, CBankManager& banks, std::function<StatusInputs()> status)
        : m_state(state), m_banks(banks), m_status(std::move(status)) {}

    void setHooks(ConnectionHooks hooks) { m_hooks = std::move(hooks); }
    // true when the port or unit changed and the link was opened again: everything shown
    // must be refreshed.
    bool run();

  private:
    AppState& m_state;
    CBankManager& m_banks;
    std::function<StatusInputs()> m_status;
    ConnectionHooks m_hooks;
};

}  // namespace qavix
