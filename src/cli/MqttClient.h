#pragma once
// The monitor's connection to an MQTT broker through Debian's libmosquitto, kept thin: it
// connects (TLS, login, last will "false" on the online topic), says "true" there on every
// connect, hands over what the Publisher gives it and reports acknowledgements and
// refusals. When and what to publish, and what waits while the broker is away, is decided
// in the core.
//
// One thread: the monitor calls service() between its reads; libmosquitto runs no thread
// of its own here, and its socket is waited on with the command's one wait (StopSignals'
// waitUntil).

#include <chrono>
#include <functional>
#include <string>

#include "StopSignals.h"
#include "telemetry/Backoff.h"
#include "telemetry/BrokerUrl.h"
#include "telemetry/Publisher.h"

struct mosquitto;
struct mqtt5__property;

namespace qavix::cli {

struct MqttOptions {
    telemetry::BrokerUrl broker;
    std::string caFile;
    std::string certFile;
    std::string keyFile;
    std::string username;
    std::string password;
    bool mqtt5 = true;  // else MQTT 3.1.1
    std::string clientId;
    std::string onlineTopic;  // carries the last will
    std::chrono::milliseconds retryFirst{1000};
    std::chrono::milliseconds retryMax{60000};
};

// "qavix-NAME-HOST-1a2b3c4d": two monitors given the same name (or two controllers with
// the same ID) would otherwise take each other's session at the broker, for ever.
std::string uniqueClientId(const std::string& name);

class MqttClient : public telemetry::BrokerLink {
  public:
    using Notice = std::function<void(const std::string&)>;

    explicit MqttClient(const MqttOptions& options);
    ~MqttClient() override;
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Sets the client up (TLS files, login, will); false with a message when it cannot be.
    bool init(std::string& error);
    void attach(telemetry::Publisher& publisher) { m_publisher = &publisher; }
    // Connection changes and refusals, in a person's words (the monitor prints them).
    void onNotice(Notice notice) { m_notice = std::move(notice); }

    bool connected() const override { return m_connected; }
    Send send(const telemetry::OutMessage& message, int& id, std::string& reason) override;

    // Connects when an attempt is due, then waits for the broker's socket until `until`, a
    // keep-alive or a stop signal, and serves what came.
    void service(StopClock::time_point until);
    // Says "false" on the online topic, waits up to `wait` for what is in flight and for
    // that, and disconnects cleanly (the broker then keeps the will to itself).
    void shutdown(std::chrono::milliseconds wait);
    // Whether an attempt has ended in failure since the last connect (for --once).
    bool failedSinceConnect() const { return m_failed; }

  private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid, int reason,
                          const mqtt5__property* properties);
    static void onLog(mosquitto*, void* self, int level, const char* text);

    void startAttemptIfDue();
    bool serveSocket(StopClock::time_point until);
    void attemptFailed(const std::string& why);
    std::string failureText(int rc) const;
    void notice(const std::string& text);
    std::string address() const;

    MqttOptions m_options;
    mosquitto* m_mosq = nullptr;
    telemetry::Publisher* m_publisher = nullptr;
    Notice m_notice;
    telemetry::Backoff m_backoff;
    StopClock::time_point m_nextAttempt{};
    StopClock::time_point m_attemptDeadline{};
    bool m_connected = false;
    bool m_connecting = false;
    bool m_everStarted = false;
    bool m_failed = false;
    bool m_stopping = false;
    std::string m_lastError;  // the library's last error log line
    std::string m_tlsVerify;  // why the broker's certificate was not trusted, when it was not
};

}  // namespace qavix::cli
