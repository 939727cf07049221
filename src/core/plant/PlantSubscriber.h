#pragma once
// The plant view's subscription: a thread of its own that keeps the broker connection
// (through broker/MqttClient, retrying with back-off) and applies every message of the
// monitors to a PlantTable as it comes, so that whoever shows the plant never waits on the
// network. The shower takes what changed when it likes (a window a few times a second,
// whatever the message rate), and is told that something did at most once until it takes it.

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "broker/MqttClient.h"
#include "plant/PlantConnection.h"
#include "plant/PlantTable.h"

namespace qavix::plant {

// After the subscriptions are acknowledged the retained messages come at once; a broker
// that has sent none by then has no monitors under the root.
constexpr std::chrono::milliseconds kNoTopicsWait{3000};

struct PlantUpdate {
    std::vector<PlantRow> rows;  // the rows that changed since the last take
    std::vector<PlantEvent> events;
    PlantConnection connection;
    std::uint64_t skipped = 0;
    std::string lastSkip;
};

class PlantSubscriber {
  public:
    using WallClock = std::function<std::time_t()>;
    using News = std::function<void()>;

    PlantSubscriber(
        broker::MqttOptions options, std::string root,
        WallClock wallClock = [] { return std::time(nullptr); });
    ~PlantSubscriber();
    PlantSubscriber(const PlantSubscriber&) = delete;
    PlantSubscriber& operator=(const PlantSubscriber&) = delete;

    // Called on the subscriber's thread when there is something to take, once until taken.
    void onNews(News news) { m_news = std::move(news); }
    // Sets the connection up and starts the thread; false with the reason when the client
    // cannot be set up (a CA file the library refuses ...).
    bool start(std::string& error);
    // Ends the thread, disconnecting cleanly; waits for it (a second at most for the
    // disconnect to go out). Safe to call twice.
    void stop();

    PlantUpdate take();
    // Every row as it stands, and the connection.
    std::map<std::string, PlantRow> rows() const;
    PlantConnection connection() const;
    std::uint64_t skipped() const;
    std::string lastSkip() const;
    bool acknowledge(const std::string& name);

    // Waits until the retained messages are in (subscribed, then `quiet` without a retained
    // one: monitors that publish often never leave the broker quiet)
    // or `until` came, or with `giveUpOnFailure` the first attempt to connect failed; true
    // in the first case.
    bool waitForRetained(broker::Clock::time_point until, std::chrono::milliseconds quiet,
                         bool giveUpOnFailure = false);

  private:
    void run();
    short wait(broker::Clock::time_point until, int fd, short events);
    void arrived(const broker::ReceivedMessage& message);
    void stateChanged(const broker::BrokerState& state);
    void checkNoTopics();
    // With m_mutex held.
    void tell();

    broker::MqttOptions m_options;
    WallClock m_wallClock;
    std::unique_ptr<broker::MqttClient> m_client;
    std::thread m_thread;
    int m_wakeFd = -1;
    bool m_stopping = false;  // read by the thread only after the wake

    mutable std::mutex m_mutex;
    std::condition_variable m_changedCv;
    PlantTable m_table;
    std::set<std::string> m_changed;
    std::vector<PlantEvent> m_events;
    PlantConnection m_connection;
    bool m_connectionChanged = false;
    bool m_told = false;
    broker::Clock::time_point m_subscribedAt{};
    broker::Clock::time_point m_lastRetained{};
    bool m_subscribed = false;
    News m_news;
};

}  // namespace qavix::plant
