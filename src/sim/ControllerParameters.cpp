// The controller's reads and puts: the parameter areas of the current set, the banks, the
// clock, the status and the control data.

#include <algorithm>
#include <cstdio>

#include "sim/AreaAccess.h"
#include "sim/Controller.h"
#include "sim/ControllerReplies.h"

namespace qavix::sim {

namespace {

// Request codes the controller answers outside the parameter areas.
constexpr int kClockPut = 0;
constexpr int kPut27 = 27;
constexpr int kControlData = 46;
constexpr int kWriteCounter = 47;
constexpr int kStatus = 48;
constexpr int kClock = 49;
constexpr int kFirstErrorEntry = 107;
constexpr int kLastErrorEntry = 126;
constexpr int kLastBankRead = 153;
constexpr int kFirstInternalArea = 1000;

constexpr int kAreaJointNum = 80;
constexpr int kAreaType = 57;

const AreaRow& bankArea() {
    static const AreaRow area = [] {
        AreaRow a;
        a.elementCount = kImageSize;
        a.groupSize = kImageSize;
        a.groupStride = kImageSize;
        return a;
    }();
    return area;
}

}  // namespace

std::string Controller::statusText() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02X", m_state, sensorCount(),
                  m_state == kStateError ? m_errorNumber : 0);
    return buf;
}

std::string Controller::controlText() const {
    std::string type = readText(m_current, *findArea(kAreaType), 0);
    std::string version = "VER";
    for (int i = 0; i < image::kSoftwareVersionLength; ++i) {
        version += static_cast<char>(m_current[image::kGeneral + image::kSoftwareVersion + i]);
    }
    return type + "  " + version + "  " + readText(m_current, *findArea(kAreaControlText3), 0);
}

int Controller::sensorCount() const {
    const std::string digits = readElements(m_current, *findArea(kAreaJointNum), {0, 1});
    return std::stoi(digits);
}

Response Controller::read(int id, int start, int count) {
    switch (id) {
        case kControlData:
            return reply(controlText());
        case kWriteCounter:
            return reply(std::to_string(m_writeCount));
        case kStatus:
            return reply(statusText());
        case kClock:
            return reply(m_clock.text());
        default:
            break;
    }
    if (BeamMonitor::isMonitorRead(id)) {
        return m_monitor.read(m_current, id, start, count, pcMillis());
    }
    if (id >= kFirstErrorEntry && id <= kLastErrorEntry) {
        return reply(m_history.entry(id - kFirstErrorEntry));
    }
    if (id >= kFirstBankRead && id <= kLastBankRead) {
        return readBank(id - kFirstBankRead, start, count);
    }
    const AreaRow* area = id < kFirstInternalArea ? findArea(id) : nullptr;
    if (area == nullptr) {
        return fail(kUnknownId);
    }
    return area->addressing == Addressing::String ? readString(*area, start, count)
                                                  : readArea(*area, start, count);
}

Response Controller::readArea(const AreaRow& area, int start, int count) const {
    ElementRange range;
    if (!resolveRange(area, start, count, range)) {
        return fail(kBadRange);
    }
    return reply(readElements(m_current, area, range));
}

Response Controller::readString(const AreaRow& area, int start, int count) const {
    // Texts are read by channel (1..3, 0 taken as the first) or with a sub-code that
    // names nothing else.
    int element = 0;
    if (area.elementCount > 1) {
        if (start < 0 || start > area.elementCount) {
            return fail(kBadRange);
        }
        element = std::max(start - 1, 0);
    }
    if (count < 0 || count > area.elementBytes) {
        return fail(kBadRange);
    }
    const std::string text = readText(m_current, area, element);
    return reply(count == 0 ? text : text.substr(0, static_cast<size_t>(count)));
}

Response Controller::readBank(int bank, int start, int count) const {
    ElementRange range;
    if (!resolveRange(bankArea(), start, count, range)) {
        return fail(kBadRange);
    }
    return reply(readElements(m_banks[static_cast<size_t>(bank)], bankArea(), range));
}

Response Controller::put(int id, int start, int count, const std::string& text) {
    const bool bank = id >= kFirstBankPut && id <= kLastPutCode;
    const AreaRow* area = nullptr;
    if (id == kPut27) {
        area = findArea(kAreaPut27);
    } else if (id > kClockPut && !bank) {
        area = findArea(pairedReadCode(id));
    }
    if (id != kClockPut && !bank && area == nullptr) {
        return fail(kUnknownId);
    }
    if (m_state != kStateSetting) {
        return fail(kWrongState);
    }
    if (id == kClockPut) {
        return m_clock.set(text) ? reply({}) : fail(kBadData);
    }
    if (bank) {
        return putBank(id - kFirstBankPut, start, count, text);
    }
    return putArea(*area, start, count, text);
}

Response Controller::putArea(const AreaRow& area, int start, int count, const std::string& text) {
    if (area.addressing == Addressing::String) {
        const int rc = writeText(m_current, area, 0, text);
        return rc == kOk ? reply({}) : fail(rc);
    }
    const int per = area.textPerElement();
    if (count == 0) {
        // Without a count the text says how many elements follow.
        if (text.empty() || text.size() % static_cast<size_t>(per) != 0) {
            return fail(kBadData);
        }
        count = static_cast<int>(text.size()) / per;
    }
    ElementRange range;
    if (!resolveRange(area, start, count, range)) {
        return fail(kBadRange);
    }
    const int rc = writeElements(m_current, area, range, text);
    return rc == kOk ? reply({}) : fail(rc);
}

Response Controller::putBank(int bank, int start, int count, const std::string& text) {
    if (count == 0) {
        count = static_cast<int>(text.size() / 2);
    }
    ElementRange range;
    if (!resolveRange(bankArea(), start, count, range)) {
        return fail(kBadRange);
    }
    const int rc = writeElements(m_banks[static_cast<size_t>(bank)], bankArea(), range, text);
    return rc == kOk ? reply({}) : fail(rc);
}

}  // namespace qavix::sim
