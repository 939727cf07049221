#include "LinkConnections.h"

#include <map>
#include <mutex>

namespace qavix::link {

namespace {

class Registry {
  public:
    std::shared_ptr<LinkLibrary> find(int number) {
        std::lock_guard lock(m_mutex);
        const auto it = m_connections.find(number);
        return it == m_connections.end() ? nullptr : it->second;
    }

    bool add(int& number) {
        std::lock_guard lock(m_mutex);
        if (m_connections.size() >= static_cast<size_t>(kMaxConnections)) {
            return false;
        }
        // Numbers are not reused while the process lives, so a thread still holding an
        // ended number can never reach a newer connection by it.
        number = m_next++;
        auto connection = std::make_shared<LinkLibrary>();
        connection->initialize();
        m_connections.emplace(number, std::move(connection));
        return true;
    }

    bool remove(int number) {
        std::shared_ptr<LinkLibrary> ended;
        {
            std::lock_guard lock(m_mutex);
            const auto it = m_connections.find(number);
            if (number == 0 || it == m_connections.end()) {
                return false;
            }
            ended = std::move(it->second);
            m_connections.erase(it);
        }
        // A call in progress on another thread holds its own reference and finishes first;
        // the port closes with the last reference.
        ended->terminate();
        return true;
    }

  private:
    std::mutex m_mutex;
    std::map<int, std::shared_ptr<LinkLibrary>> m_connections{{0, std::make_shared<LinkLibrary>()}};
    int m_next = 1;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

thread_local int t_connection = 0;

}  // namespace

std::shared_ptr<LinkLibrary> currentConnection() {
    if (auto connection = registry().find(t_connection)) {
        return connection;
    }
    // Refuses to be initialised, so every call on it fails and says so: a thread whose
    // connection was ended can never reach a line through it, its own or another's.
    static const auto ended = std::make_shared<LinkLibrary>(LinkLibrary::Ended{});
    return ended;
}

bool newConnection(int& number) {
    return registry().add(number);
}

bool useConnection(int number) {
    if (number != 0 && registry().find(number) == nullptr) {
        return false;
    }
    t_connection = number;
    return true;
}

bool endConnection(int number) {
    return registry().remove(number);
}

}  // namespace qavix::link
