#pragma once
// The rules of the controller status check: which operating state, in which mode of the
// caller, goes on, is asked about, is reset and looked at again, or ends the program.
// It runs on the communication worker but needs no thread of its own: everything it reads
// from the controller or changes outside goes through a StatusLine.

#include <chrono>
#include <optional>
#include <string>

#include "comm/CommHost.h"
#include "comm/CommTimings.h"

namespace qavix {

// Status check modes, chosen by the caller.
enum StatusMode : int {
    kStatusFirstConnection = 1,
    kStatusIdle = 2,  // also every read, teach and zero reset
    kStatusBeforeWrite = 4,
    kStatusDuringWrite = 5,
    kStatusFactoryMode = 7,
};

// Operating states reported by the controller's status reply.
enum ControllerState : int {
    kStateNormal = 0,
    kStateSetting = 1,
    kStateError = 2,
    kStateFactory = 30,
};

// What the check needs from the connection it runs on.
class StatusLine {
  public:
    virtual ~StatusLine() = default;

    // One read of the status reply; nothing when the controller did not answer.
    virtual std::optional<std::string> readStatus() = 0;
    // One read of the error block; nothing when it did not come.
    virtual std::optional<std::string> readErrorBlock() = 0;
    // False when the reset was not made (the change journal could not record it; its
    // message has been shown): the check ends as if the question had been answered Cancel.
    virtual bool resetController() = 0;
    virtual void pause(std::chrono::milliseconds duration) = 0;
    // The worker is ending: a check that would look again returns instead.
    virtual bool stopping() const = 0;
    // Opening a port: a controller that stopped answering is not announced, the caller
    // decides what to tell.
    virtual bool connecting() const = 0;
    virtual void setConnected(bool connected) = 0;
    virtual void setStatusText(const std::string& text) = 0;
    // Why the last open failed, in the operator's words; empty when it did not.
    virtual std::string openProblem() const = 0;
    // What to tell of a port that opened but where nothing answered (which port, where it
    // leads, what to check); empty when the line cannot say.
    virtual std::string silenceText() const { return {}; }
    // Announces a lost connection with this cause; gives kWorkerLost.
    virtual int lost(const char* cause) = 0;
};

class StatusCheck {
  public:
    StatusCheck(StatusLine& line, CommHost& host, const CommTimings& timings);

    // One status check of the given mode, looked at again as long as the rules say so
    // (after a reset, after the communication settings, while the error block is late).
    int run(int mode);

  private:
    int once(int mode, bool& again);
    std::optional<std::string> readStatus();
    int unanswered(int mode, bool& again);
    int evaluateState(int state, int mode, bool& again);
    int evaluateErrorState(int mode, bool& again);
    int askReset(Question question, const char* text, bool& again);

    StatusLine& m_line;
    CommHost& m_host;
    CommTimings m_timings;
    // The setting error last shown: it is shown once until the controller is normal again.
    int m_lastErrorShown = -1;
    // Error-block reads that failed in a row within one check.
    int m_errorBlockMisses = 0;
};

}  // namespace qavix
