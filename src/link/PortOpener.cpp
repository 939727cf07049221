#include "PortOpener.h"

#include "Emulator.h"
#include "IniText.h"
#include "PortProblem.h"
#include "PortResolver.h"
#include "Rfc2217Transport.h"
#include "SerialTransport.h"
#include "TcpTransport.h"
#include "Translate.h"
#include "qavlink.h"

namespace qavix::link {

namespace {

// What KRYL_GetLastError can carry of the problem's text.
std::string problemMessage(const PortProblem& problem) {
    return portProblemMessage(problem, KRYL_ERROR_TEXT_SIZE);
}

std::unique_ptr<Transport> openNetwork(const PortTarget& target, const std::string& portName,
                                       const PortSettings& settings, LinkFailure& failure) {
    PortProblem problem;
    problem.port = portName;
    problem.device = target.value;
    std::unique_ptr<Transport> transport;
    if (!target.network) {
        problem.kind = PortProblemKind::BadAddress;
        problem.detail = addressProblemText(target.addressProblem);
    } else if (target.network->protocol == NetProtocol::Tcp) {
        transport = TcpTransport::open(*target.network, target.value, connectTimeout(),
                                       problem.kind, problem.detail);
    } else {
        transport = Rfc2217Transport::open(*target.network, target.value, settings,
                                           connectTimeout(), problem.kind, problem.detail);
    }
    if (!transport) {
        failure = {portProblemCode(problem.kind), problemMessage(problem)};
    }
    return transport;
}

}  // namespace

std::unique_ptr<Transport> openPort(const std::string& name, const PortSettings& settings,
                                    LinkFailure& failure) {
    const auto target = resolvePort(name);
    const std::string portName = comPortNumber(name) ? name : std::string();
    if (!target) {
        const PortProblem problem = diagnosePort(PortProblemKind::NoDevice, name, name);
        failure = {portProblemCode(problem.kind), problemMessage(problem)};
        return nullptr;
    }
    if (target->emulator) {
        std::string error;
        auto transport = openEmulator(target->emulatorOptions, settings, error);
        if (!transport) {
            failure = {"SIMOPT", i18n::fill(QX_("エミュレータ: %1"), {ini::printable(error)})};
        }
        return transport;
    }
    if (target->onNetwork()) {
        return openNetwork(*target, portName, settings, failure);
    }
    PortProblemKind reason = PortProblemKind::Io;
    std::string detail;
    auto transport = SerialTransport::open(target->device, settings, reason, detail);
    if (!transport) {
        PortProblem problem = diagnosePort(reason, portName, target->device);
        problem.detail = detail;
        failure = {portProblemCode(reason), problemMessage(problem)};
    }
    return transport;
}

}  // namespace qavix::link
