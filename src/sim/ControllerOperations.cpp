// The controller's operations: setting and factory mode, reset, bank clear, zero reset and
// teach.

#include <algorithm>

#include "sim/Controller.h"
#include "sim/ControllerReplies.h"

namespace qavix::sim {

namespace {

constexpr int kMaxPercent = 1000;

}  // namespace

Response Controller::startSetting() {
    if (m_state == kStateSetting) {
        return reply({});
    }
    const bool correctable = m_state == kStateError && isSettingError(m_errorNumber);
    if (m_state != kStateNormal && !correctable) {
        return fail(kWrongState);
    }
    m_beforeSetting = Snapshot{m_current, m_banks};
    m_stateBeforeSetting = m_state;
    m_settingEnabled = false;
    m_state = kStateSetting;
    return reply({});
}

Response Controller::enableSetting() {
    if (m_state != kStateSetting) {
        return fail(kWrongState);
    }
    m_settingEnabled = true;
    return reply({});
}

Response Controller::reset() {
    switch (m_state) {
        case kStateSetting:
            if (m_settingEnabled) {
                ++m_writeCount;
                m_state = kStateNormal;
                m_errorNumber = 0;
            } else {
                if (m_beforeSetting) {
                    m_current = m_beforeSetting->current;
                    m_banks = m_beforeSetting->banks;
                }
                m_state = m_stateBeforeSetting;
            }
            m_beforeSetting.reset();
            m_settingEnabled = false;
            break;
        case kStateError:
            // A hardware fault survives a reset; a setting error is looked at again and,
            // with nothing to hold it, cleared.
            if (isSettingError(m_errorNumber)) {
                m_state = kStateNormal;
                m_errorNumber = 0;
            }
            break;
        default:
            m_state = kStateNormal;
            break;
    }
    m_monitor.restart();
    return reply({});
}

Response Controller::factStart() {
    const bool correctable = m_state == kStateError && isSettingError(m_errorNumber);
    if (m_state != kStateNormal && m_state != kStateFactory && !correctable) {
        return fail(kWrongState);
    }
    m_state = kStateFactory;
    m_errorNumber = 0;
    return reply({});
}

Response Controller::factEnd() {
    if (m_state != kStateFactory) {
        return fail(kWrongState);
    }
    m_state = kStateNormal;
    return reply({});
}

Response Controller::clearBank(int index) {
    if (m_state != kStateFactory) {
        return fail(kWrongState);
    }
    if (index < 0 || index >= kBankCount) {
        return fail(kBadRange);
    }
    SetMemory& bank = m_banks[static_cast<size_t>(index)];
    std::fill(bank.begin(), bank.end(), 0);
    return reply({});
}

bool Controller::channelArgument(int channel, int& first, int& last) const {
    if (channel == 0) {
        first = 0;
        last = sensorCount() - 1;
        return true;
    }
    if (channel < 1 || channel > sensorCount()) {
        return false;
    }
    first = last = channel - 1;
    return true;
}

Response Controller::zeroReset(int channel) {
    if (m_state != kStateNormal && m_state != kStateError) {
        return fail(kWrongState);
    }
    int first = 0;
    int last = 0;
    if (!channelArgument(channel, first, last)) {
        return fail(kBadRange);
    }
    m_monitor.zeroReset(m_current, first, last, pcMillis());
    return reply({});
}

Response Controller::teachRatio(int reference, int channel, int percent) {
    if (m_state != kStateNormal && m_state != kStateError) {
        return fail(kWrongState);
    }
    int first = 0;
    int last = 0;
    if (!channelArgument(channel, first, last) || percent < 0 || percent > kMaxPercent) {
        return fail(kBadRange);
    }
    if (reference != 0 && reference != 1) {
        return fail(kBadData);
    }
    m_monitor.teach(m_current, first, last, reference, percent);
    return reply({});
}

}  // namespace qavix::sim
