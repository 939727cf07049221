#include "PortOpener.h"

#include "Emulator.h"
#include "PortResolver.h"
#include "SerialTransport.h"

namespace qavix::link {

namespace {

const char* failureCode(OpenFailure failure) {
    switch (failure) {
        case OpenFailure::Absent:
            return "NOPORT";
        case OpenFailure::Busy:
            return "BUSY";
        case OpenFailure::Settings:
            return "SETTING";
        default:
            return "IOERR";
    }
}

}  // namespace

std::unique_ptr<Transport> openPort(const std::string& name, const PortSettings& settings,
                                    LinkFailure& failure) {
    const auto target = resolvePort(name);
    if (!target) {
        failure = {"NOPORT", "No device for port " + name};
        return nullptr;
    }
    if (target->emulator) {
        std::string error;
        auto transport = openEmulator(target->emulatorOptions, settings, error);
        if (!transport) {
            failure = {"SIMOPT", "Emulator: " + error};
        }
        return transport;
    }
    OpenFailure reason = OpenFailure::None;
    std::string detail;
    auto transport = SerialTransport::open(target->device, settings, reason, detail);
    if (!transport) {
        failure = {failureCode(reason), detail};
    }
    return transport;
}

}  // namespace qavix::link
