#include "telemetry/BrokerUrl.h"
#include "Translate.h"

#include <cctype>

namespace qavix::telemetry {

namespace {

constexpr int kMaxPort = 65535;
constexpr size_t kMaxHostLength = 253;

bool validHostChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

// The address after the scheme, with one trailing '/' dropped.
bool takeScheme(const std::string& text, BrokerUrl& url, std::string& rest, std::string& error) {
    if (text.rfind("mqtt://", 0) == 0) {
        rest = text.substr(7);
    } else if (text.rfind("mqtts://", 0) == 0) {
        url.tls = true;
        url.port = kMqttsPort;
        rest = text.substr(8);
    } else {
        error =
            i18n::fill(QX_("ブローカーは mqtt://HOST[:PORT] または mqtts://HOST[:PORT] で指定して"
                           "ください（指定: \"%1\"）"),
                       {text});
        return false;
    }
    if (!rest.empty() && rest.back() == '/') {
        rest.pop_back();
    }
    if (rest.find_first_of("/@?#") != std::string::npos) {
        error = i18n::fill(QX_("ブローカーのアドレスにパス、ユーザー、クエリは書けません: \"%1\""),
                           {text});
        return false;
    }
    return true;
}

// "[IPv6]" or "[IPv6]:port".
bool takeBracketedHost(const std::string& rest, const std::string& text, BrokerUrl& url,
                       std::string& portText, std::string& error) {
    const auto close = rest.find(']');
    if (close == std::string::npos) {
        error = i18n::fill(QX_("ブローカーのアドレス \"%1\" の [ が閉じていません"), {text});
        return false;
    }
    url.host = rest.substr(1, close - 1);
    const std::string after = rest.substr(close + 1);
    if (!after.empty() && after.front() != ':') {
        error = i18n::fill(QX_("\"%1\" の ] の後に余分なテキストがあります"), {text});
        return false;
    }
    portText = after.empty() ? std::string() : after.substr(1);
    if (url.host.empty() ||
        url.host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos) {
        error = i18n::fill(QX_("IPv6 アドレスではありません: \"%1\""), {url.host});
        return false;
    }
    return true;
}

// "host" or "host:port".
bool takePlainHost(const std::string& rest, const std::string& text, BrokerUrl& url,
                   std::string& portText, std::string& error) {
    const auto colon = rest.find(':');
    url.host = rest.substr(0, colon);
    if (colon != std::string::npos) {
        portText = rest.substr(colon + 1);
        if (portText.empty()) {
            error = i18n::fill(QX_("\"%1\" の : の後にポートがありません"), {text});
            return false;
        }
    }
    for (const char c : url.host) {
        if (!validHostChar(c)) {
            error = i18n::fill(QX_("ホスト名ではありません: \"%1\""), {url.host});
            return false;
        }
    }
    return true;
}

bool takePort(const std::string& portText, BrokerUrl& url, std::string& error) {
    if (portText.empty()) {
        return true;
    }
    if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos) {
        error = i18n::fill(QX_("ブローカーのポートは 1..65535 の数値で指定してください（指定: "
                               "\"%1\"）"),
                           {portText});
        return false;
    }
    url.port = std::stoi(portText);
    if (url.port < 1 || url.port > kMaxPort) {
        error = i18n::fill(QX_("ブローカーのポートは 1..65535 で指定してください（指定: %1）"),
                           {portText});
        return false;
    }
    return true;
}

}  // namespace

std::optional<BrokerUrl> parseBrokerUrl(const std::string& text, std::string& error) {
    BrokerUrl url;
    std::string rest;
    std::string portText;
    if (!takeScheme(text, url, rest, error)) {
        return std::nullopt;
    }
    const bool bracketed = !rest.empty() && rest.front() == '[';
    const bool hostTaken = bracketed ? takeBracketedHost(rest, text, url, portText, error)
                                     : takePlainHost(rest, text, url, portText, error);
    if (!hostTaken) {
        return std::nullopt;
    }
    if (url.host.empty() || url.host.size() > kMaxHostLength) {
        error = i18n::fill(QX_("\"%1\" にブローカーのホストがありません"), {text});
        return std::nullopt;
    }
    if (!takePort(portText, url, error)) {
        return std::nullopt;
    }
    error.clear();
    return url;
}

}  // namespace qavix::telemetry
