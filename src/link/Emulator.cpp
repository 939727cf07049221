#include "Emulator.h"

#include <fstream>

#include "FrameServer.h"
#include "SimTransport.h"
#include "Translate.h"
#include "sim/Options.h"
#include "sim/UnitBus.h"

namespace qavix::link {

std::unique_ptr<Transport> openEmulator(const std::string& options, const PortSettings& settings,
                                        std::string& error) {
    sim::Options parsed;
    if (!sim::parseOptionText(options, parsed, error)) {
        return nullptr;
    }
    std::shared_ptr<sim::UnitBus> controllers = sim::UnitBus::create(parsed, error);
    if (!controllers) {
        return nullptr;
    }
    std::unique_ptr<std::ofstream> log;
    if (!parsed.logFile.empty()) {
        log = std::make_unique<std::ofstream>(parsed.logFile, std::ios::trunc);
        if (!*log) {
            error = i18n::fill(QX_("%1 に書き込めません"), {parsed.logFile});
            return nullptr;
        }
    }
    LineFaults faults;
    faults.dropEvery = parsed.dropEvery;
    faults.corruptEvery = parsed.corruptEvery;
    faults.hangAfter = parsed.hangAfter;
    faults.logTimes = parsed.logTimes;
    LineModel line;
    line.enabled = parsed.lineRate != 0;
    // "--line-rate tty": the rate the port was opened with.
    line.baud = parsed.lineRate == sim::kLineRateFromTerminal ? settings.baud : parsed.lineRate;
    line.bitsPerCharacter = parsed.bitsPerCharacter;
    line.instantTimeout = parsed.instantTimeout;
    auto handler = [controllers](const sim::Command& command) {
        return controllers->execute(command);
    };
    return std::make_unique<SimTransport>(handler, faults, line, std::move(log));
}

}  // namespace qavix::link
