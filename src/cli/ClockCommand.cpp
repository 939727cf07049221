#include "ClockCommand.h"

#include <chrono>
#include <ctime>
#include <iostream>
#include <thread>

#include "DeviceSession.h"
#include "ExitCodes.h"
#include "model/ClockText.h"

namespace qavix::cli {

namespace {

// The clock page sends the time within the first tick of a second, so the seconds it sends
// are current; this waits for the next second to begin instead.
std::tm startOfNextSecond() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto next = ceil<seconds>(now);
    std::this_thread::sleep_until(next);
    const std::time_t t = system_clock::to_time_t(next);
    std::tm when{};
    localtime_r(&t, &when);
    return when;
}

int syncClock(DeviceSession& session) {
    return session.transactions().setClock(startOfNextSecond);
}

int printClock(DeviceSession& session) {
    if (session.link().request(kCodeClock) != kRequestOk) {
        return session.failureExit();
    }
    const auto shown = formatControllerClock(session.model().working().general);
    if (!shown) {
        std::cerr << "the controller's clock holds no valid date\n";
        return kExitFailed;
    }
    std::cout << *shown << '\n';
    return kExitOk;
}

}  // namespace

int runClock(const DeviceOptions& options, bool sync) {
    DeviceSession session(options);
    const int connected = session.connect();
    if (connected != kExitOk) {
        return connected;
    }
    if (sync && syncClock(session) != kRequestOk) {
        return session.failureExit();
    }
    return printClock(session);
}

}  // namespace qavix::cli
