#include "broker/MqttClient.h"
#include "Translate.h"

#include <mosquitto.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace qavix::broker {

namespace {

constexpr int kKeepAliveSeconds = 30;
// The broker ends a session silent for 1.5 keep-alives; waking a third of one apart at the
// latest, the ping goes out in time even when nothing else is sent meanwhile.
constexpr auto kKeepAliveCheck = std::chrono::seconds(kKeepAliveSeconds / 3);
// A connect that has not been answered by then (a broker that accepts but never speaks)
// counts as failed.
constexpr auto kConnectTimeout = std::chrono::seconds(10);
constexpr int kQosAtLeastOnce = 1;
constexpr int kMaxPacketsPerLoop = 1;
// MQTT 5 reason codes from here on say the broker did not take the message.
constexpr int kFirstRefusalReason = 0x80;
constexpr size_t kMaxHostInId = 32;

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

std::string hostPart() {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) {
        return "host";
    }
    std::string part;
    for (const char* c = host; *c != '\0' && part.size() < kMaxHostInId; ++c) {
        const bool plain = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') ||
                           (*c >= '0' && *c <= '9') || *c == '-' || *c == '.';
        part += plain ? *c : '_';
    }
    return part.empty() ? "host" : part;
}

// The publish calls that can never succeed for this message, whatever the connection does.
bool refusedForGood(int rc) {
    return rc == MOSQ_ERR_PAYLOAD_SIZE || rc == MOSQ_ERR_MALFORMED_UTF8 ||
           rc == MOSQ_ERR_OVERSIZE_PACKET || rc == MOSQ_ERR_INVAL ||
           rc == MOSQ_ERR_QOS_NOT_SUPPORTED || rc == MOSQ_ERR_RETAIN_NOT_SUPPORTED ||
           rc == MOSQ_ERR_TOPIC_ALIAS_INVALID;
}

bool madeOutTo(X509* cert, const std::string& host) {
    return X509_check_ip_asc(cert, host.c_str(), 0) == 1 ||
           X509_check_host(cert, host.c_str(), host.size(), 0, nullptr) == 1;
}

// What is wrong with the broker's certificate in the words of what to mend, or empty when
// nothing is. The library's own host check fails without a reason of its own, so a chain
// that is otherwise fine is checked against the host here.
std::string certificateFault(SSL* ssl, const std::string& host) {
    const long verify = SSL_get_verify_result(ssl);
    const std::string openssl = X509_verify_cert_error_string(verify);
    switch (verify) {
        case X509_V_OK:
            return {};
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
            return i18n::fill(
                QX_("ここで信頼されていない認証局が署名しています。--cafile を参照して"
                    "ください（%1）"),
                {openssl});
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return i18n::fill(QX_("有効期限が切れています（%1）"), {openssl});
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return i18n::fill(QX_("まだ有効になっていません。この PC の時計は正しいですか（%1）"),
                              {openssl});
        default:
            break;
    }
    X509* cert = SSL_get0_peer_certificate(ssl);
    STACK_OF(X509)* chain = SSL_get_peer_cert_chain(ssl);
    if (cert == nullptr && chain != nullptr && sk_X509_num(chain) > 0) {
        cert = sk_X509_value(chain, 0);
    }
    if (cert != nullptr && !madeOutTo(cert, host)) {
        return i18n::fill(QX_("%1 ではない別のホスト宛てです（ホスト名の不一致）"), {host});
    }
    return openssl;
}

}  // namespace

short waitForSocket(Clock::time_point until, int fd, short events) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    pollfd p{fd, events, 0};
    if (left <= 0 || ::poll(&p, fd >= 0 ? 1 : 0, static_cast<int>(left)) <= 0) {
        return 0;
    }
    return p.revents;
}

std::string uniqueClientId(const std::string& name) {
    unsigned char random[4] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        const auto now = Clock::now().time_since_epoch().count();
        std::memcpy(random, &now, sizeof random);
    }
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%02x%02x%02x%02x", random[0], random[1], random[2],
                  random[3]);
    return "qavix-" + name + "-" + hostPart() + "-" + suffix;
}

MqttClient::MqttClient(const MqttOptions& options, Wait wait)
    : m_options(options),
      m_wait(std::move(wait)),
      m_backoff(options.retryFirst, options.retryMax) {}

MqttClient::~MqttClient() {
    if (m_mosq != nullptr) {
        mosquitto_destroy(m_mosq);
    }
}

std::string MqttClient::address() const {
    const bool v6 = m_options.broker.host.find(':') != std::string::npos;
    return (m_options.broker.tls ? "mqtts://" : "mqtt://") +
           (v6 ? "[" + m_options.broker.host + "]" : m_options.broker.host) + ":" +
           std::to_string(m_options.broker.port);
}

bool MqttClient::init(std::string& error) {
    initLibrary();
    m_mosq = mosquitto_new(m_options.clientId.c_str(), true, this);
    if (m_mosq == nullptr) {
        error = i18n::fill(QX_("MQTT クライアントを作れません: %1"), {std::strerror(errno)});
        return false;
    }
    mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION,
                         m_options.mqtt5 ? MQTT_PROTOCOL_V5 : MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(m_mosq, onConnect);
    mosquitto_disconnect_callback_set(m_mosq, onDisconnect);
    // The plain publish callback fires for a refused message too; this one has its reason.
    mosquitto_publish_v5_callback_set(m_mosq, onPublish);
    mosquitto_log_callback_set(m_mosq, onLog);
    mosquitto_subscribe_callback_set(m_mosq, onSubscribe);
    mosquitto_message_callback_set(m_mosq, onArrival);
    int rc = MOSQ_ERR_SUCCESS;
    if (!m_options.onlineTopic.empty()) {
        const std::string willPayload = "false";
        rc = mosquitto_will_set(m_mosq, m_options.onlineTopic.c_str(),
                                static_cast<int>(willPayload.size()), willPayload.data(),
                                kQosAtLeastOnce, true);
    }
    if (rc == MOSQ_ERR_SUCCESS && !m_options.username.empty()) {
        rc = mosquitto_username_pw_set(
            m_mosq, m_options.username.c_str(),
            m_options.password.empty() ? nullptr : m_options.password.c_str());
    }
    if (rc == MOSQ_ERR_SUCCESS && m_options.broker.tls) {
        // Without --cafile the system's trusted authorities vouch for the broker.
        const bool systemCa = m_options.caFile.empty();
        rc = mosquitto_tls_set(m_mosq, systemCa ? nullptr : m_options.caFile.c_str(),
                               systemCa ? "/etc/ssl/certs" : nullptr,
                               m_options.certFile.empty() ? nullptr : m_options.certFile.c_str(),
                               m_options.keyFile.empty() ? nullptr : m_options.keyFile.c_str(),
                               nullptr);
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        error = m_lastError.empty() ? i18n::fill(QX_("MQTT クライアントを設定できません: %1"),
                                                 {mosquitto_strerror(rc)})
                                    : i18n::fill(QX_("MQTT クライアントを設定できません: %1（%2）"),
                                                 {mosquitto_strerror(rc), m_lastError});
        return false;
    }
    return true;
}

void MqttClient::notice(const std::string& text) {
    if (m_notice) {
        m_notice(text);
    }
}

telemetry::BrokerLink::Send MqttClient::send(const telemetry::OutMessage& message, int& id,
                                             std::string& reason) {
    if (!m_connected) {
        return Send::Later;
    }
    const int rc = mosquitto_publish(m_mosq, &id, message.topic.c_str(),
                                     static_cast<int>(message.payload.size()),
                                     message.payload.data(), message.qos, message.retain);
    if (rc == MOSQ_ERR_SUCCESS) {
        return Send::Taken;
    }
    if (refusedForGood(rc)) {
        reason = mosquitto_strerror(rc);
        return Send::Refused;
    }
    return Send::Later;
}

void MqttClient::changeState(BrokerState::Phase phase, const std::string& reason,
                             std::chrono::milliseconds retryIn) {
    if (m_stateChange) {
        m_stateChange(BrokerState{phase, reason, retryIn});
    }
}

void MqttClient::attemptFailed(BrokerState::Phase phase, const std::string& why) {
    m_connecting = false;
    m_failed = true;
    const auto wait = m_backoff.next();
    m_nextAttempt = Clock::now() + wait;
    const char* said = phase == BrokerState::Phase::Refused
                           ? QX_("ブローカー %1: 接続を拒否されました: %2。%3 秒後に再試行します")
                       : phase == BrokerState::Phase::Lost
                           ? QX_("ブローカー %1: 接続が切れました: %2。%3 秒後に再試行します")
                           : QX_("ブローカー %1: 接続できません: %2。%3 秒後に再試行します");
    notice(i18n::fill(said, {address(), why, std::to_string((wait.count() + 999) / 1000)}));
    changeState(phase, why, wait);
}

std::string MqttClient::failureText(int rc) const {
    // The certificate's own fault (unknown authority, expired, another host's) says what to
    // mend; the library's words for every one of them are "certificate verify failed".
    if (!m_tlsVerify.empty()) {
        return i18n::fill(QX_("TLS: ブローカーの証明書を信頼できません: %1"), {m_tlsVerify});
    }
    if (rc == MOSQ_ERR_TLS && !m_lastError.empty()) {
        return "TLS: " + m_lastError;
    }
    if (rc == MOSQ_ERR_ERRNO && errno == EPROTO && !m_lastError.empty()) {
        return m_lastError;
    }
    return rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc);
}

void MqttClient::startAttemptIfDue() {
    const auto now = Clock::now();
    if (m_connected || m_connecting || m_stopping || now < m_nextAttempt) {
        return;
    }
    m_lastError.clear();
    m_tlsVerify.clear();
    const int rc = m_everStarted
                       ? mosquitto_reconnect_async(m_mosq)
                       : mosquitto_connect_async(m_mosq, m_options.broker.host.c_str(),
                                                 m_options.broker.port, kKeepAliveSeconds);
    if (rc == MOSQ_ERR_SUCCESS) {
        m_everStarted = true;
        m_connecting = true;
        m_attemptDeadline = now + kConnectTimeout;
        changeState(BrokerState::Phase::Connecting);
    } else {
        m_everStarted = m_everStarted || rc != MOSQ_ERR_INVAL;
        attemptFailed(BrokerState::Phase::Unreachable, failureText(rc));
    }
}

bool MqttClient::serveSocket(Clock::time_point until) {
    auto wakeAt = std::min(until, Clock::now() + kKeepAliveCheck);
    if (m_connecting) {
        wakeAt = std::min(wakeAt, m_attemptDeadline);
    }
    // Our own wait, so that a stop signal ends it at once; then the library's own round with
    // nothing left to wait for, which knows what a TLS handshake in progress needs.
    const short want = static_cast<short>(POLLIN | (mosquitto_want_write(m_mosq) ? POLLOUT : 0));
    m_wait(wakeAt, mosquitto_socket(m_mosq), want);
    const int rc = mosquitto_loop(m_mosq, 0, kMaxPacketsPerLoop);
    if (rc != MOSQ_ERR_SUCCESS && (m_connecting || m_connected)) {
        const bool wasConnected = m_connected;
        m_connected = false;
        attemptFailed(wasConnected ? BrokerState::Phase::Lost : BrokerState::Phase::Unreachable,
                      failureText(rc));
        return false;
    }
    return true;
}

void MqttClient::service(Clock::time_point until) {
    startAttemptIfDue();
    if (!m_connected && !m_connecting) {
        m_wait(m_stopping ? until : std::min(until, std::max(m_nextAttempt, Clock::now())), -1, 0);
        return;
    }
    if (!serveSocket(until)) {
        return;
    }
    if (m_connected && m_publisher != nullptr) {
        m_publisher->pump();
    }
    if (m_connecting && Clock::now() >= m_attemptDeadline) {
        mosquitto_disconnect(m_mosq);
        attemptFailed(BrokerState::Phase::Unreachable, QX_("接続に応答がありません"));
    }
}

void MqttClient::shutdown(std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    if (m_connected && !m_options.onlineTopic.empty()) {
        const std::string payload = "false";
        mosquitto_publish(m_mosq, nullptr, m_options.onlineTopic.c_str(),
                          static_cast<int>(payload.size()), payload.data(), kQosAtLeastOnce, true);
        while (Clock::now() < deadline && m_connected &&
               ((m_publisher != nullptr && !m_publisher->idle()) || mosquitto_want_write(m_mosq))) {
            mosquitto_loop(m_mosq, 50, kMaxPacketsPerLoop);
        }
    }
    m_stopping = true;
    if (m_connected || m_connecting) {
        mosquitto_disconnect(m_mosq);
        // Lets the DISCONNECT go out before the socket closes.
        mosquitto_loop(m_mosq, 10, kMaxPacketsPerLoop);
    }
    m_connected = false;
}

void MqttClient::onConnect(mosquitto* /*mosq*/, void* self, int rc) {
    auto* c = static_cast<MqttClient*>(self);
    if (rc != 0) {
        // The broker answered and said no: a wrong login or a client it will not take.
        mosquitto_disconnect(c->m_mosq);
        c->m_connected = false;
        // MQTT 3.1.1 answers with the codes 1..5, MQTT 5 with its reason codes.
        constexpr int kLastV311Code = 5;
        c->attemptFailed(BrokerState::Phase::Refused, rc <= kLastV311Code
                                                          ? mosquitto_connack_string(rc)
                                                          : mosquitto_reason_string(rc));
        return;
    }
    c->m_connected = true;
    c->m_connecting = false;
    c->m_failed = false;
    c->m_backoff.reset();
    c->notice(i18n::fill(QX_("ブローカー %1: 接続しました"), {c->address()}));
    c->changeState(BrokerState::Phase::Connected);
    if (!c->m_options.onlineTopic.empty()) {
        const std::string payload = "true";
        mosquitto_publish(c->m_mosq, nullptr, c->m_options.onlineTopic.c_str(),
                          static_cast<int>(payload.size()), payload.data(), kQosAtLeastOnce, true);
    }
    // A clean session keeps no subscriptions: each connection asks for them again.
    c->subscribe();
    // The queue goes out after the callback: inside it the library only queues packets.
}

void MqttClient::subscribe() {
    if (m_options.subscriptions.empty()) {
        return;
    }
    std::vector<char*> filters;
    for (std::string& f : m_options.subscriptions) {
        filters.push_back(f.data());
    }
    const int rc =
        mosquitto_subscribe_multiple(m_mosq, &m_subscribeId, static_cast<int>(filters.size()),
                                     filters.data(), kQosAtLeastOnce, 0, nullptr);
    if (rc != MOSQ_ERR_SUCCESS) {
        // The connection is going: the next one asks again.
        notice(i18n::fill(QX_("ブローカー %1: 購読できません: %2"),
                          {address(), mosquitto_strerror(rc)}));
    }
}

void MqttClient::onSubscribe(mosquitto* /*mosq*/, void* self, int mid, int count,
                             const int* granted) {
    auto* c = static_cast<MqttClient*>(self);
    if (mid != c->m_subscribeId) {
        return;
    }
    // A filter the broker will not serve (an ACL) is granted 0x80.
    constexpr int kNotGranted = 0x80;
    for (int i = 0; i < count; ++i) {
        if (granted[i] >= kNotGranted) {
            c->changeState(BrokerState::Phase::Refused,
                           i18n::fill(QX_("ブローカーが %1 の購読を拒否しました"),
                                      {c->m_options.subscriptions[static_cast<size_t>(i)]}));
            return;
        }
    }
    c->changeState(BrokerState::Phase::Subscribed);
}

void MqttClient::onArrival(mosquitto* /*mosq*/, void* self, const mosquitto_message* message) {
    auto* c = static_cast<MqttClient*>(self);
    if (!c->m_arrival || message == nullptr || message->topic == nullptr) {
        return;
    }
    ReceivedMessage m;
    m.topic = message->topic;
    if (message->payload != nullptr && message->payloadlen > 0) {
        m.payload.assign(static_cast<const char*>(message->payload),
                         static_cast<size_t>(message->payloadlen));
    }
    m.retained = message->retain;
    c->m_arrival(m);
}

void MqttClient::onDisconnect(mosquitto* /*mosq*/, void* self, int rc) {
    auto* c = static_cast<MqttClient*>(self);
    const bool was = c->m_connected;
    c->m_connected = false;
    if (was && !c->m_stopping) {
        c->attemptFailed(BrokerState::Phase::Lost, mosquitto_strerror(rc));
    }
}

void MqttClient::onPublish(mosquitto* /*mosq*/, void* self, int mid, int reason,
                           const mqtt5__property* /*properties*/) {
    auto* c = static_cast<MqttClient*>(self);
    if (c->m_publisher == nullptr) {
        return;
    }
    if (reason >= kFirstRefusalReason) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(reason) & 0xFFu);
        c->m_publisher->refused(mid, std::string(mosquitto_reason_string(reason)) + ", " + code);
        return;
    }
    c->m_publisher->acknowledged(mid);
}

void MqttClient::onLog(mosquitto* mosq, void* self, int level, const char* text) {
    if ((level & MOSQ_LOG_ERR) == 0 || text == nullptr) {
        return;
    }
    auto* c = static_cast<MqttClient*>(self);
    c->m_lastError = text;
    // The handshake's failure is logged while its connection still stands: its verify
    // result is still there to read.
    auto* ssl = static_cast<SSL*>(mosquitto_ssl_get(mosq));
    if (ssl != nullptr && c->m_tlsVerify.empty()) {
        c->m_tlsVerify = certificateFault(ssl, c->m_options.broker.host);
    }
}

}  // namespace qavix::broker
