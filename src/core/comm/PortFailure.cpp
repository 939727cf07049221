#include "comm/PortFailure.h"

#include <array>

#include "PortProblem.h"
#include "PortResolver.h"
#include "Translate.h"

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

bool openFoundBusy(const LinkApi& api) {
    if (api.getLastError == nullptr) {
        return false;
    }
    std::array<char, kErrorCodeTextSize> code{};
    std::array<char, kErrorMessageTextSize> message{};
    if (api.getLastError(code.data(), message.data()) != 1) {
        return false;
    }
    const auto kind = link::portProblemKindFromCode(code.data());
    return kind == link::PortProblemKind::Busy || kind == link::PortProblemKind::Dropped;
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

std::string silentLineText(const std::string& shownPort, const std::string& opened,
                           const std::string& iniPath) {
    const auto target = link::resolvePort(opened, iniPath);
    if (target && target->emulator) {
        return i18n::fill(QX_("通信ポート %1 の内蔵エミュレータが応答しません。\n"
                              "号機番号を確認してください。"),
                          {shownPort});
    }
    link::PortProblem p;
    p.port = shownPort;
    p.device = !target ? std::string() : target->onNetwork() ? target->value : target->device;
    const std::string subject =
        p.device.empty() ? i18n::fill(QX_("通信ポート %1"), {shownPort}) : link::portSubject(p);
    if (target && target->network && target->network->protocol == link::NetProtocol::Tcp) {
        return i18n::fill(QX_("%1 には接続できましたが、エリアスキャナが応答しません。\n"
                              "号機番号と、デバイスサーバー側のシリアルポートの設定を確認して"
                              "ください。"),
                          {subject});
    }
    if (target && target->network) {
        return i18n::fill(QX_("%1 には接続できましたが、エリアスキャナが応答しません。\n"
                              "通信速度などの設定、号機番号と、デバイスサーバーからエリア"
                              "スキャナまでのケーブルを確認してください。"),
                          {subject});
    }
    return i18n::fill(QX_("%1 は開けましたが、エリアスキャナが応答しません。\n"
                          "通信速度などの設定、号機番号とケーブルを確認してください。"),
                      {subject});
}

}  // namespace qavix
