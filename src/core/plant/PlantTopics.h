#pragma once
// Where a monitor's message belongs: the controller's name and what the message is, from its
// topic "ROOT/NAME/LEAF" (docs/monitor.md), and the topic filters a plant view subscribes to.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qavix::plant {

enum class Leaf { Online, Status, Levels, Errors, Alerts };

struct TopicPlace {
    std::string name;
    Leaf leaf = Leaf::Status;
    int channel = 0;  // levels: 1..3
};

// Nothing for a topic outside the root or of a leaf the monitors do not publish.
std::optional<TopicPlace> placeOfTopic(std::string_view root, std::string_view topic);

// The filters that bring exactly the monitors' topics under `root`.
std::vector<std::string> plantSubscriptions(const std::string& root);

// Why `root` cannot be a topic root, or empty: one topic level of 1..64 bytes of UTF-8
// without '/', '+', '#' or control characters.
std::string topicRootProblem(const std::string& root);

}  // namespace qavix::plant
