#include "plant/PlantSubscriber.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "plant/PlantTopics.h"

namespace qavix::plant {

namespace {

using broker::BrokerState;
using broker::Clock;

// The longest the thread sleeps without looking at the broker's silence.
constexpr auto kLongestSleep = std::chrono::seconds(1);
// How long a stop waits for the DISCONNECT to go out.
constexpr auto kStopWait = std::chrono::milliseconds(1000);

}  // namespace

PlantSubscriber::PlantSubscriber(broker::MqttOptions options, std::string root, WallClock wallClock)
    : m_options(std::move(options)), m_wallClock(std::move(wallClock)), m_table(std::move(root)) {}

PlantSubscriber::~PlantSubscriber() {
    stop();
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
}

bool PlantSubscriber::start(std::string& error) {
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        error = std::string("cannot make the subscriber's wake-up: ") + std::strerror(errno);
        return false;
    }
    m_client = std::make_unique<broker::MqttClient>(
        m_options,
        [this](Clock::time_point until, int fd, short events) { return wait(until, fd, events); });
    m_client->onMessage([this](const broker::ReceivedMessage& m) { arrived(m); });
    m_client->onStateChange([this](const BrokerState& s) { stateChanged(s); });
    if (!m_client->init(error)) {
        m_client.reset();
        return false;
    }
    m_thread = std::thread([this] { run(); });
    return true;
}

void PlantSubscriber::stop() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    m_thread.join();
}

void PlantSubscriber::run() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopping) {
                break;
            }
        }
        m_client->service(Clock::now() + kLongestSleep);
        checkNoTopics();
    }
    m_client->shutdown(kStopWait);
}

short PlantSubscriber::wait(Clock::time_point until, int fd, short events) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    if (left.count() <= 0) {
        return 0;
    }
    pollfd p[2] = {{m_wakeFd, POLLIN, 0}, {fd, events, 0}};
    const nfds_t count = fd >= 0 ? 2 : 1;
    // Rounded up, so that a wait never ends a little before its moment and spins.
    if (::poll(p, count, static_cast<int>(left.count()) + 1) <= 0) {
        return 0;
    }
    return count == 2 ? p[1].revents : 0;
}

void PlantSubscriber::arrived(const broker::ReceivedMessage& message) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // What the monitors publish now keeps coming; only the retained burst ends.
    if (message.retained) {
        m_lastRetained = Clock::now();
    }
    std::vector<PlantEvent> events;
    const std::uint64_t skippedBefore = m_table.skipped();
    if (m_table.apply(message, m_wallClock(), &events)) {
        if (const auto place = placeOfTopic(m_table.root(), message.topic)) {
            m_changed.insert(place->name);
        }
    }
    m_events.insert(m_events.end(), events.begin(), events.end());
    if (m_connection.noTopics && m_table.received() > 0) {
        m_connection.noTopics = false;
        m_connectionChanged = true;
    }
    if (!m_changed.empty() || !m_events.empty() || m_connectionChanged ||
        m_table.skipped() != skippedBefore) {
        tell();
    }
    m_changedCv.notify_all();
}

void PlantSubscriber::stateChanged(const BrokerState& state) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_connection.state = state;
    m_subscribed = state.phase == BrokerState::Phase::Subscribed;
    if (m_subscribed) {
        m_subscribedAt = Clock::now();
    }
    if (state.phase != BrokerState::Phase::Subscribed) {
        m_connection.noTopics = false;
    }
    m_connectionChanged = true;
    tell();
    m_changedCv.notify_all();
}

void PlantSubscriber::checkNoTopics() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_subscribed && !m_connection.noTopics && m_table.received() == 0 &&
        Clock::now() - m_subscribedAt >= kNoTopicsWait) {
        m_connection.noTopics = true;
        m_connectionChanged = true;
        tell();
    }
}

void PlantSubscriber::tell() {
    if (!m_told && m_news) {
        m_told = true;
        m_news();
    }
}

PlantUpdate PlantSubscriber::take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    PlantUpdate u;
    u.rows.reserve(m_changed.size());
    for (const std::string& name : m_changed) {
        if (const PlantRow* row = m_table.row(name)) {
            u.rows.push_back(*row);
        }
    }
    m_changed.clear();
    u.events.swap(m_events);
    u.connection = m_connection;
    m_connectionChanged = false;
    u.skipped = m_table.skipped();
    u.lastSkip = m_table.lastSkip();
    m_told = false;
    return u;
}

std::map<std::string, PlantRow> PlantSubscriber::rows() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_table.rows();
}

PlantConnection PlantSubscriber::connection() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connection;
}

std::uint64_t PlantSubscriber::skipped() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_table.skipped();
}

std::string PlantSubscriber::lastSkip() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_table.lastSkip();
}

bool PlantSubscriber::acknowledge(const std::string& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_table.acknowledge(name)) {
        return false;
    }
    m_changed.insert(name);
    tell();
    return true;
}

bool PlantSubscriber::waitForRetained(Clock::time_point until, std::chrono::milliseconds quiet,
                                      bool giveUpOnFailure) {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        const auto now = Clock::now();
        const BrokerState::Phase phase = m_connection.state.phase;
        if (giveUpOnFailure &&
            (phase == BrokerState::Phase::Unreachable || phase == BrokerState::Phase::Refused ||
             phase == BrokerState::Phase::Lost)) {
            return false;
        }
        if (m_subscribed) {
            const auto since = std::max(m_subscribedAt, m_lastRetained);
            if (now - since >= quiet) {
                return true;
            }
            if (now >= until) {
                return false;
            }
            m_changedCv.wait_until(lock, std::min(until, since + quiet));
            continue;
        }
        if (now >= until) {
            return false;
        }
        m_changedCv.wait_until(lock, until);
    }
}

}  // namespace qavix::plant
