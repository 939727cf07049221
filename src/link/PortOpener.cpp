#include "PortOpener.h"

#include "Emulator.h"
#include "IniText.h"
#include "PortProblem.h"
#include "PortResolver.h"
#include "SerialTransport.h"

namespace qavix::link {

std::unique_ptr<Transport> openPort(const std::string& name, const PortSettings& settings,
                                    LinkFailure& failure) {
    const auto target = resolvePort(name);
    const std::string portName = comPortNumber(name) ? name : std::string();
    if (!target) {
        const PortProblem problem = diagnosePort(PortProblemKind::NoDevice, name, name);
        failure = {portProblemCode(problem.kind), portProblemText(problem)};
        return nullptr;
    }
    if (target->emulator) {
        std::string error;
        auto transport = openEmulator(target->emulatorOptions, settings, error);
        if (!transport) {
            failure = {"SIMOPT", "Emulator: " + ini::printable(error)};
        }
        return transport;
    }
    PortProblemKind reason = PortProblemKind::Io;
    std::string detail;
    auto transport = SerialTransport::open(target->device, settings, reason, detail);
    if (!transport) {
        PortProblem problem = diagnosePort(reason, portName, target->device);
        problem.detail = detail;
        failure = {portProblemCode(reason), portProblemText(problem)};
    }
    return transport;
}

}  // namespace qavix::link
