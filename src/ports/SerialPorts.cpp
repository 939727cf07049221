#include "SerialPorts.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace qavix::link {

namespace {

namespace fs = std::filesystem;

constexpr const char* kByIdFolder = "/dev/serial/by-id";

// ttyS devices exist for every possible legacy port; only those with a UART behind them
// report a known type. A port another program holds exclusively is a real one too: leaving
// it out would shift every later COMn onto a different device.
bool isRealUart(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == EBUSY;
    }
    serial_struct info{};
    const bool real = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return real;
}

// Devices named prefix<number> in /dev, by number.
std::vector<std::string> numberedDevices(const std::string& prefix) {
    std::vector<std::pair<long, std::string>> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const std::string digits = name.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(),
                         [](char c) { return c >= '0' && c <= '9'; }) ||
            digits.size() > 6) {
            continue;
        }
        found.emplace_back(std::stol(digits), entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& item : found) {
        paths.push_back(std::move(item.second));
    }
    return paths;
}

}  // namespace

std::vector<std::string> listSerialDevices() {
    std::vector<std::string> devices;
    std::set<std::string> seen;  // canonical paths
    auto add = [&](const std::string& path) {
        std::error_code ec;
        const std::string canonical = fs::canonical(path, ec).string();
        if (ec || !seen.insert(canonical).second) {
            return;
        }
        devices.push_back(path);
    };

    std::vector<std::string> byId;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kByIdFolder, ec)) {
        byId.push_back(entry.path().string());
    }
    std::sort(byId.begin(), byId.end());
    for (const auto& path : byId) {
        add(path);
    }
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        for (const auto& path : numberedDevices(prefix)) {
            add(path);
        }
    }
    for (const auto& path : numberedDevices("ttyS")) {
        if (isRealUart(path)) {
            add(path);
        }
    }
    return devices;
}

}  // namespace qavix::link
