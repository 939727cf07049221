#include "FleetRun.h"

#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <ctime>
#include <iostream>

#include "ExitCodes.h"
#include "PortSelection.h"
#include "files/PortSettings.h"
#include "files/ProfileFile.h"
#include "fleet/LinePlan.h"
#include "fleet/LineScheduler.h"
#include "fleet/PlantLink.h"

namespace qavix::cli {

namespace {

constexpr std::chrono::milliseconds kWatchSlice{100};

// Ctrl+C and SIGTERM while the workers run. They are blocked in this thread before any
// worker exists, so every thread started after inherits the block and no read is cut short
// by a signal; this thread takes them from the queue between its waits. The previous mask
// comes back when the watch ends.
class InterruptWatch {
  public:
    InterruptWatch() {
        sigemptyset(&m_signals);
        sigaddset(&m_signals, SIGINT);
        sigaddset(&m_signals, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &m_signals, &m_previous);
    }
    ~InterruptWatch() {
        // A signal still pending is the user's: it is taken here rather than ending the
        // program after the manifest was promised.
        timespec none{};
        while (sigtimedwait(&m_signals, nullptr, &none) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // True when one of the signals came within `timeout`.
    bool wait(std::chrono::milliseconds timeout) {
        timespec t{};
        t.tv_sec = static_cast<time_t>(timeout.count() / 1000);
        t.tv_nsec = static_cast<long>((timeout.count() % 1000) * 1000000);
        return sigtimedwait(&m_signals, nullptr, &t) > 0;
    }

  private:
    sigset_t m_signals{};
    sigset_t m_previous{};
};

}  // namespace

int loadPlant(const std::string& path, fleet::Plant& plant) {
    plant = fleet::readPlantFile(path);
    if (!plant.ok()) {
        std::cerr << fleet::describeProblems(plant, path);
        return kExitFileError;
    }
    return kExitOk;
}

int plantLinks(const std::vector<fleet::PlantController>& controllers,
               std::vector<LinkSettings>& links) {
    ProfileFile profile;
    std::string error;
    if (!profile.load(kSettingsFileName, &error)) {
        std::cerr << kSettingsFileName << ": " << error << '\n';
        return kExitFileError;
    }
    const PortSettings ini = PortSettings::load(profile);
    links.clear();
    for (const fleet::PlantController& c : controllers) {
        links.push_back(fleet::plantLinkSettings(c, ini));
    }
    return kExitOk;
}

FleetRunResult runOnLines(const std::vector<fleet::PlantController>& controllers, int jobs,
                          FleetProgress& progress, const FleetWork& work) {
    std::vector<std::string> ports;
    for (const fleet::PlantController& c : controllers) {
        ports.push_back(c.port);
    }
    const auto lines = fleet::groupByLine(ports, fleet::systemPortLookup());
    const int workers = jobs > 0 ? jobs : fleet::defaultJobs(lines.size());

    FleetRunResult result;
    std::atomic<bool> stop{false};
    InterruptWatch interrupts;
    {
        fleet::LineScheduler scheduler(lines, workers);
        scheduler.start([&](size_t index) { work(index, stop); });
        // The end of the work is seen at once; a signal within a slice.
        while (!scheduler.waitFinished(kWatchSlice)) {
            if (interrupts.wait(std::chrono::milliseconds(0)) && !stop.exchange(true)) {
                scheduler.requestStop();
                progress.note(
                    "interrupted: no further controller starts; the ones being "
                    "read finish their current file");
            }
        }
        result.notStarted = scheduler.notStarted();
    }
    result.stopped = stop;
    return result;
}

std::string oneLine(const std::vector<std::string>& messages) {
    std::string text;
    for (const std::string& m : messages) {
        std::string line;
        for (const char c : m) {
            if (c == '\n' || c == '\r') {
                if (!line.empty() && line.back() != ' ') {
                    line += ' ';
                }
            } else {
                line += c;
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        if (!line.empty()) {
            text += (text.empty() ? "" : " / ") + line;
        }
    }
    return text;
}

}  // namespace qavix::cli
