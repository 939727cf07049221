#include "plant/PlantTable.h"

#include <algorithm>

#include "plant/PlantText.h"
#include "plant/PlantTopics.h"

namespace qavix::plant {

namespace {

void seen(PlantRow& row, std::optional<std::time_t> named, std::time_t now, bool live) {
    // A live message is the controller's present, whatever a far clock says; a retained one
    // is as old as it says.
    const std::optional<std::time_t> when = live ? std::optional<std::time_t>(now) : named;
    if (when && (!row.lastSeen || *when > *row.lastSeen)) {
        row.lastSeen = when;
    }
}

}  // namespace

PlantTable::PlantTable(std::string root) : m_root(std::move(root)) {}

const PlantRow* PlantTable::row(const std::string& name) const {
    const auto it = m_rows.find(name);
    return it == m_rows.end() ? nullptr : &it->second;
}

bool PlantTable::skip(const std::string& topic, const std::string& reason) {
    ++m_skipped;
    m_lastSkip = shownText(topic) + ": " + reason;
    return false;
}

bool PlantTable::apply(const broker::ReceivedMessage& message, std::time_t now,
                       std::vector<PlantEvent>* events) {
    const auto place = placeOfTopic(m_root, message.topic);
    if (!place) {
        return false;
    }
    ++m_received;
    if (message.payload.size() > kMaxPayloadBytes) {
        return skip(message.topic, "a payload of " + std::to_string(message.payload.size()) +
                                       " bytes, larger than any monitor's");
    }
    if (message.payload.empty()) {
        // A retained message being cleared says nothing about the controller.
        return false;
    }
    auto it = m_rows.find(place->name);
    if (it == m_rows.end() && m_rows.size() >= kMaxPlantRows) {
        return skip(message.topic, "more than " + std::to_string(kMaxPlantRows) + " controllers");
    }
    std::string error;
    const bool live = !message.retained;
    PlantRow probe;
    PlantRow& row = it != m_rows.end() ? it->second : probe;
    switch (place->leaf) {
        case Leaf::Online: {
            const auto online = parseOnline(message.payload, error);
            if (!online) {
                return skip(message.topic, error);
            }
            seen(row, std::nullopt, now, live);
            applyOnline(row, *online, live, events);
            break;
        }
        case Leaf::Status: {
            auto status = parseStatus(message.payload, error);
            if (!status) {
                return skip(message.topic, error);
            }
            seen(row, status->time, now, live);
            row.status = std::move(*status);
            break;
        }
        case Leaf::Levels: {
            const auto margin = parseLevels(message.payload, error);
            if (!margin) {
                return skip(message.topic, error);
            }
            if (margin->channel != place->channel) {
                return skip(message.topic,
                            "the payload names CH" + std::to_string(margin->channel));
            }
            seen(row, margin->time, now, live);
            SensorMarginView& sensor = row.sensors[static_cast<size_t>(margin->channel - 1)];
            sensor.known = true;
            sensor.margin = margin->known ? margin : std::nullopt;
            break;
        }
        case Leaf::Alerts: {
            const auto alert = parseAlert(message.payload, error);
            if (!alert) {
                return skip(message.topic, error);
            }
            applyAlert(row, *alert, now, live, events);
            break;
        }
        case Leaf::Errors: {
            const auto entry = parseErrorEntry(message.payload, error);
            if (!entry) {
                return skip(message.topic, error);
            }
            applyError(row, *entry, now, live, events);
            break;
        }
    }
    if (it == m_rows.end()) {
        probe.name = place->name;
        it = m_rows.emplace(place->name, std::move(probe)).first;
    }
    it->second.revision = ++m_revision;
    return true;
}

void PlantTable::applyOnline(PlantRow& row, bool online, bool live,
                             std::vector<PlantEvent>* events) {
    const bool wentOffline = live && !online && row.online.value_or(true);
    row.online = online;
    if (wentOffline) {
        row.marks |= kMarkWentOffline;
        if (events != nullptr) {
            events->push_back({kMarkWentOffline, row.name, {}});
        }
    }
}

void PlantTable::applyAlert(PlantRow& row, const AlertMessage& alert, std::time_t now, bool live,
                            std::vector<PlantEvent>* events) {
    seen(row, alert.time, now, live);
    SensorMarginView& sensor = row.sensors[static_cast<size_t>(alert.channel - 1)];
    const bool raised = alert.low && !sensor.marginLow;
    sensor.marginLow = alert.low;
    row.lastAlert = AlertView{alert, live ? now : alert.time.value_or(now)};
    if (raised && live) {
        row.marks |= kMarkMarginLow;
        if (events != nullptr) {
            events->push_back({kMarkMarginLow, row.name, alertText(alert)});
        }
    }
}

void PlantTable::applyError(PlantRow& row, const ErrorEntryMessage& entry, std::time_t now,
                            bool live, std::vector<PlantEvent>* events) {
    seen(row, entry.time, now, live);
    row.lastError = ErrorEntryView{entry, live ? now : entry.time.value_or(now)};
    if (live) {
        row.marks |= kMarkNewError;
        if (events != nullptr) {
            events->push_back({kMarkNewError, row.name, errorEntryText(entry)});
        }
    }
}

bool PlantTable::acknowledge(const std::string& name) {
    const auto it = m_rows.find(name);
    if (it == m_rows.end()) {
        return false;
    }
    if (it->second.marks != 0) {
        it->second.marks = 0;
        it->second.revision = ++m_revision;
    }
    return true;
}

void PlantTable::acknowledgeAll() {
    for (auto& [name, row] : m_rows) {
        if (row.marks != 0) {
            row.marks = 0;
            row.revision = ++m_revision;
        }
    }
}

}  // namespace qavix::plant
