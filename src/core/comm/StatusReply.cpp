#include "comm/StatusReply.h"

namespace qavix {

namespace {

constexpr size_t kStateOffset = 0;
constexpr size_t kSensorCountOffset = 2;
constexpr size_t kDigits = 2;

bool parseTwoDigits(std::string_view s, size_t pos, int& value) {
    if (s.size() < pos + kDigits) {
        return false;
    }
    const char a = s[pos];
    const char b = s[pos + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return false;
    }
    value = (a - '0') * 10 + (b - '0');
    return true;
}

}  // namespace

std::optional<StatusReply> parseStatusReply(std::string_view reply) {
    StatusReply r;
    if (!parseTwoDigits(reply, kStateOffset, r.state) ||
        !parseTwoDigits(reply, kSensorCountOffset, r.sensors)) {
        return std::nullopt;
    }
    return r;
}

}  // namespace qavix
