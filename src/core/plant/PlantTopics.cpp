#include "plant/PlantTopics.h"

#include "telemetry/MonitorPayloads.h"

namespace qavix::plant {

namespace {

constexpr std::string_view kLevelsPrefix = "levels/CH";
constexpr int kLastChannel = 3;

std::optional<Leaf> leafOf(std::string_view leaf, int& channel) {
    if (leaf == "online") {
        return Leaf::Online;
    }
    if (leaf == "status") {
        return Leaf::Status;
    }
    if (leaf == "errors") {
        return Leaf::Errors;
    }
    if (leaf == "alerts") {
        return Leaf::Alerts;
    }
    if (leaf.size() == kLevelsPrefix.size() + 1 &&
        leaf.substr(0, kLevelsPrefix.size()) == kLevelsPrefix) {
        const int n = leaf.back() - '0';
        if (n >= 1 && n <= kLastChannel) {
            channel = n;
            return Leaf::Levels;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<TopicPlace> placeOfTopic(std::string_view root, std::string_view topic) {
    if (topic.size() <= root.size() + 1 || topic.substr(0, root.size()) != root ||
        topic[root.size()] != '/') {
        return std::nullopt;
    }
    const std::string_view rest = topic.substr(root.size() + 1);
    const size_t slash = rest.find('/');
    if (slash == 0 || slash == std::string_view::npos) {
        return std::nullopt;
    }
    TopicPlace place;
    place.name = std::string(rest.substr(0, slash));
    const auto leaf = leafOf(rest.substr(slash + 1), place.channel);
    if (!leaf) {
        return std::nullopt;
    }
    place.leaf = *leaf;
    return place;
}

std::vector<std::string> plantSubscriptions(const std::string& root) {
    return {root + "/+/online", root + "/+/status", root + "/+/levels/+", root + "/+/errors",
            root + "/+/alerts"};
}

std::string topicRootProblem(const std::string& root) {
    // A root is one level, held to the rule a controller's name in the topics keeps.
    return telemetry::topicNameProblem(root);
}

}  // namespace qavix::plant
