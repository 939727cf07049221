#include "LinkLibrary.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "PortOpener.h"
#include "PortProblem.h"
#include "PortResolver.h"
#include "Translate.h"
#include "qavlink.h"

namespace qavix::link {

namespace {

void copyText(char* destination, const std::string& text, std::size_t capacity) {
    const std::size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(destination, text.data(), length);
    destination[length] = '\0';
}

bool retryable(ExchangeStatus status) {
    return status == ExchangeStatus::TimedOut || status == ExchangeStatus::BadCheck;
}

}  // namespace

bool LinkLibrary::initialize() {
    std::lock_guard lock(m_mutex);
    if (m_ended) {
        return fail("NOINIT", QX_("このスレッドの接続は終了しています"));
    }
    m_initialised = true;
    m_failure.reset();
    return true;
}

void LinkLibrary::terminate() {
    std::lock_guard lock(m_mutex);
    m_session.reset();
    m_initialised = false;
    m_retries = 0;
    m_failure.reset();
}

bool LinkLibrary::open(const char* port, const int* block) {
    std::lock_guard lock(m_mutex);
    if (!m_initialised) {
        return fail("NOINIT", QX_("ライブラリが初期化されていません"));
    }
    if (port == nullptr) {
        return fail("ARG", QX_("ポート名がありません"));
    }
    const auto settings = portSettingsFromBlock(block);
    if (!settings) {
        return fail("ARG", QX_("ポートの通信設定が正しくありません"));
    }
    return openLocked(port, *settings);
}

bool LinkLibrary::openLocked(const std::string& port, const PortSettings& settings) {
    // Close first: the new port may be the same device, which is held exclusively.
    m_session.reset();
    LinkFailure failure;
    auto transport = openPort(port, settings, failure);
    if (!transport) {
        return fail(failure.code, failure.message);
    }
    m_session = std::make_unique<LinkSession>(std::move(transport));
    m_portName = port;
    m_settings = settings;
    return succeed();
}

void LinkLibrary::close() {
    std::lock_guard lock(m_mutex);
    m_session.reset();
    m_failure.reset();
}

bool LinkLibrary::reopen() {
    std::lock_guard lock(m_mutex);
    if (!m_initialised) {
        return fail("NOINIT", QX_("ライブラリが初期化されていません"));
    }
    if (!m_settings) {
        return fail("NOTOPEN", QX_("ポートがまだ開かれていません"));
    }
    return openLocked(m_portName, *m_settings);
}

bool LinkLibrary::setRetryCount(int count) {
    std::lock_guard lock(m_mutex);
    if (count < 0 || count > KRYL_MAX_RETRIES) {
        return fail("ARG", i18n::fill(QX_("再試行回数が 0..%1 の範囲外です"),
                                      {std::to_string(KRYL_MAX_RETRIES)}));
    }
    m_retries = count;
    return succeed();
}

bool LinkLibrary::request(sim::Command command, int timeoutMs, char* reply, bool unitFromOpen) {
    std::lock_guard lock(m_mutex);
    if (reply != nullptr) {
        reply[0] = '\0';
    }
    if (!m_initialised) {
        return fail("NOINIT", QX_("ライブラリが初期化されていません"));
    }
    if (!m_session) {
        return fail("NOTOPEN", QX_("開いているポートがありません"));
    }
    if (unitFromOpen) {
        command.unit = m_settings->unit;
    }
    const int timeout = timeoutMs > 0 ? timeoutMs : KRYL_DEFAULT_TIMEOUT;
    ExchangeResult result;
    for (int attempt = 0; attempt <= m_retries; ++attempt) {
        result = m_session->exchange(command, std::chrono::milliseconds(timeout));
        m_lastSent = m_session->lastSent();
        m_lastReceived = m_session->lastReceived();
        if (!retryable(result.status)) {
            break;
        }
    }
    if (result.status != ExchangeStatus::Ok) {
        return failExchange(result, timeout);
    }
    if (reply != nullptr) {
        copyText(reply, result.text, KRYL_MAX_REPLY + 1);
    }
    return succeed();
}

bool LinkLibrary::failExchange(const ExchangeResult& result, int timeoutMs) {
    switch (result.status) {
        case ExchangeStatus::TimedOut:
            return fail("TIMEOUT", i18n::fill(QX_("%1 ms 以内に応答がありません"),
                                              {std::to_string(timeoutMs)}));
        case ExchangeStatus::BadCheck:
            return fail("CHECK", QX_("応答のチェック文字が正しくありません"));
        case ExchangeStatus::Refused: {
            char code[KRYL_ERROR_CODE_SIZE];
            std::snprintf(code, sizeof code, "NAK%02d", result.controllerError % 100);
            return fail(code, i18n::fill(QX_("コントローラが要求を拒否しました（エラー %1）"),
                                         {std::to_string(result.controllerError)}));
        }
        case ExchangeStatus::TooLong:
            return fail("LONG", i18n::fill(QX_("応答が %1 文字より長いです"),
                                           {std::to_string(KRYL_MAX_REPLY)}));
        case ExchangeStatus::LineError:
            if (auto problem = m_session->lineProblem()) {
                problem->port = comPortNumber(m_portName) ? m_portName : std::string();
                return fail(portProblemCode(problem->kind),
                            portProblemMessage(*problem, KRYL_ERROR_TEXT_SIZE));
            }
            return fail("LINE", QX_("回線が故障したか切断されました"));
        case ExchangeStatus::Unsendable:
            return fail("SEND", QX_("要求を送信できません（号機またはテキストが長すぎます）"));
        case ExchangeStatus::Ok:
            break;
    }
    return succeed();
}

bool LinkLibrary::rejectArgument(const std::string& message) {
    std::lock_guard lock(m_mutex);
    return fail("ARG", message);
}

bool LinkLibrary::lastError(char* code, char* message) {
    std::lock_guard lock(m_mutex);
    if (code == nullptr || message == nullptr) {
        return false;
    }
    if (m_failure) {
        copyText(code, m_failure->code, KRYL_ERROR_CODE_SIZE);
        // Port messages are Japanese: a byte cut could leave half a character behind.
        const std::string text = cutUtf8(m_failure->message, KRYL_ERROR_TEXT_SIZE);
        copyText(message, text, KRYL_ERROR_TEXT_SIZE);
    }
    return true;
}

bool LinkLibrary::commData(char* sent, char* received) {
    std::lock_guard lock(m_mutex);
    if (sent == nullptr || received == nullptr) {
        return fail("ARG", QX_("バッファがありません"));
    }
    copyText(sent, m_lastSent, KRYL_FRAME_BUFFER_SIZE);
    copyText(received, m_lastReceived, KRYL_FRAME_BUFFER_SIZE);
    return succeed();
}

bool LinkLibrary::fail(std::string code, std::string message) {
    m_failure = LinkFailure{std::move(code), std::move(message)};
    return false;
}

bool LinkLibrary::succeed() {
    m_failure.reset();
    return true;
}

}  // namespace qavix::link
