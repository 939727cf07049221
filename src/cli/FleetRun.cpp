#include "FleetRun.h"

#include <chrono>
#include <iostream>

#include "ExitCodes.h"
#include "PortSelection.h"
#include "StopSignals.h"
#include "Translate.h"
#include "files/PortSettings.h"
#include "files/ProfileFile.h"
#include "fleet/LinePlan.h"
#include "fleet/LineScheduler.h"
#include "fleet/PlantLink.h"

namespace qavix::cli {

namespace {

constexpr std::chrono::milliseconds kWatchSlice{100};

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
    // Before any worker exists, so that every one inherits the block and no read of theirs
    // is cut short by a signal; this thread takes them once the workers run.
    StopSignals signals;
    {
        fleet::LineScheduler scheduler(lines, workers);
        scheduler.start([&](size_t index) { work(index, stop); });
        signals.listen();
        // The end of the work is seen at once; a signal within a slice.
        while (!scheduler.waitFinished(kWatchSlice)) {
            if (stopRequested() && !stop.exchange(true)) {
                scheduler.requestStop();
                progress.note(
                    QX_("中断: 新しいコントローラは始めません。読込み中のものは今のファイルを"
                        "終えます"));
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
