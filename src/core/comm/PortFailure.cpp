#include "comm/PortFailure.h"

#include <array>

#include "PortProblem.h"

namespace qavix {

std::string openFailureText(const LinkApi& api, const std::string& port, const std::string& iniPath,
                            const std::string& shownPort) {
    if (api.getLastError == nullptr) {
        return {};
    }
    std::array<char, kErrorCodeTextSize> code{};
    std::array<char, kErrorMessageTextSize> message{};
    if (api.getLastError(code.data(), message.data()) != 1 || code[0] == '\0') {
        return {};
    }
    // The library's message is cut to its buffer; the full text is built again here from
    // the code and what the device shows now.
    if (auto problem = link::describeOpenFailure(port, code.data(), iniPath, message.data())) {
        if (problem->port.empty()) {
            problem->port = shownPort;
        }
        return link::portProblemText(*problem);
    }
    return message.data();
}

std::string lineFailureText(const LinkApi& api, const std::string& port,
                            const std::string& iniPath) {
    if (api.getLastError == nullptr) {
        return {};
    }
    std::array<char, kErrorCodeTextSize> code{};
    std::array<char, kErrorMessageTextSize> message{};
    if (api.getLastError(code.data(), message.data()) != 1) {
        return {};
    }
    const auto kind = link::portProblemKindFromCode(code.data());
    if (kind != link::PortProblemKind::Dropped && kind != link::PortProblemKind::Busy) {
        return {};
    }
    const auto problem = link::describeOpenFailure(port, code.data(), iniPath, message.data());
    return problem ? link::portProblemText(*problem) : std::string(message.data());
}

}  // namespace qavix
