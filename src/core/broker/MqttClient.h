#pragma once
// The program's one connection to an MQTT broker through Debian's libmosquitto, kept thin:
// it connects (TLS, login, and for a publisher the last will "false" on its online topic,
// saying "true" there on every connect), subscribes again on every connect, hands over what
// the Publisher gives it, passes on what arrives, and reports acknowledgements, refusals and
// how the connection fares. When and what to publish, and what the messages mean, is decided
// by its users (core/telemetry, core/plant).
//
// One thread: its owner calls service() in a loop; libmosquitto runs no thread of its own
// here, and the socket is waited on with the owner's own wait (a monitor's also ends on a
// stop signal, a subscriber's on its stop request).

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "broker/BrokerState.h"
#include "broker/ReceivedMessage.h"
#include "telemetry/Backoff.h"
#include "telemetry/BrokerUrl.h"
#include "telemetry/Publisher.h"

struct mosquitto;
struct mosquitto_message;
struct mqtt5__property;

namespace qavix::broker {

using Clock = std::chrono::steady_clock;

// Waits until `until`, until `fd` is ready for `events` or until the owner's own reason to
// wake; returns the events that are ready (0 for the others).
using Wait = std::function<short(Clock::time_point until, int fd, short events)>;

// The Wait of a client with no reason of its own to wake: the socket or the time.
short waitForSocket(Clock::time_point until, int fd, short events);

struct MqttOptions {
    telemetry::BrokerUrl broker;
    std::string caFile;
    std::string certFile;
    std::string keyFile;
    std::string username;
    std::string password;
    bool mqtt5 = true;  // else MQTT 3.1.1
    std::string clientId;
    std::string onlineTopic;                 // a publisher's: carries the last will
    std::vector<std::string> subscriptions;  // a subscriber's topic filters (QoS 1)
    std::chrono::milliseconds retryFirst{1000};
    std::chrono::milliseconds retryMax{60000};
};

// "qavix-NAME-HOST-1a2b3c4d": two monitors given the same name (or two controllers with
// the same ID) would otherwise take each other's session at the broker, for ever.
std::string uniqueClientId(const std::string& name);

class MqttClient : public telemetry::BrokerLink {
  public:
    using Notice = std::function<void(const std::string&)>;
    using StateChange = std::function<void(const BrokerState&)>;
    using Arrival = std::function<void(const ReceivedMessage&)>;

    MqttClient(const MqttOptions& options, Wait wait);
    ~MqttClient() override;
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Sets the client up (TLS files, login, will); false with a message when it cannot be.
    bool init(std::string& error);
    void attach(telemetry::Publisher& publisher) { m_publisher = &publisher; }
    // Connection changes and refusals, in a person's words (the monitor prints them).
    void onNotice(Notice notice) { m_notice = std::move(notice); }
    void onStateChange(StateChange change) { m_stateChange = std::move(change); }
    void onMessage(Arrival arrival) { m_arrival = std::move(arrival); }

    bool connected() const override { return m_connected; }
    Send send(const telemetry::OutMessage& message, int& id, std::string& reason) override;

    // Connects when an attempt is due, then waits for the broker's socket until `until`, a
    // keep-alive or the owner's reason to wake, and serves what came.
    void service(Clock::time_point until);
    // A publisher says "false" on its online topic and waits up to `wait` for what is in
    // flight and for that; then it disconnects cleanly (the broker keeps the will to itself).
    void shutdown(std::chrono::milliseconds wait);
    // Whether an attempt has ended in failure since the last connect (for --once).
    bool failedSinceConnect() const { return m_failed; }
    std::string address() const;

  private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid, int reason,
                          const mqtt5__property* properties);
    static void onSubscribe(mosquitto*, void* self, int mid, int count, const int* granted);
    static void onArrival(mosquitto*, void* self, const mosquitto_message* message);
    static void onLog(mosquitto*, void* self, int level, const char* text);

    void startAttemptIfDue();
    bool serveSocket(Clock::time_point until);
    void attemptFailed(BrokerState::Phase phase, const std::string& why);
    void subscribe();
    std::string failureText(int rc) const;
    void notice(const std::string& text);
    void changeState(BrokerState::Phase phase, const std::string& reason = {},
                     std::chrono::milliseconds retryIn = {});

    MqttOptions m_options;
    Wait m_wait;
    mosquitto* m_mosq = nullptr;
    telemetry::Publisher* m_publisher = nullptr;
    Notice m_notice;
    StateChange m_stateChange;
    Arrival m_arrival;
    telemetry::Backoff m_backoff;
    Clock::time_point m_nextAttempt{};
    Clock::time_point m_attemptDeadline{};
    bool m_connected = false;
    bool m_connecting = false;
    bool m_everStarted = false;
    bool m_failed = false;
    bool m_stopping = false;
    int m_subscribeId = -1;
    std::string m_lastError;  // the library's last error log line
    std::string m_tlsVerify;  // why the broker's certificate was not trusted, when it was not
};

}  // namespace qavix::broker
