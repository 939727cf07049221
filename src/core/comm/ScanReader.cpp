#include "comm/ScanReader.h"

#include <array>
#include <cstring>

namespace qavix::scan {

bool ScanReader::readOnce(const ScanRange& range, SettingsData& set) {
    if (m_api.getParameterDataWait == nullptr) {
        return false;
    }
    std::array<char, kScanReplyBufferSize> buffer;
    for (int attempt = 0; attempt < kScanReadAttempts; ++attempt) {
        buffer.fill('\0');
        if (m_api.getParameterDataWait(kBeamStateCode, range.first, range.count, buffer.data(),
                                       m_timeoutMs) != 1) {
            continue;
        }
        // The library writes a terminated text; the last byte stays 0 whatever it does.
        buffer.back() = '\0';
        // An answer that is not the flags asked for counts as a failed call.
        if (decodeScanReply(std::string_view(buffer.data(), std::strlen(buffer.data())), range,
                            set)) {
            return true;
        }
    }
    return false;
}

SampleOutcome ScanReader::sample(const ScanRange& range, SettingsData& set) {
    if (readOnce(range, set)) {
        m_failures = 0;
        return SampleOutcome::Taken;
    }
    ++m_failures;
    return m_failures >= kFailuresToStop ? SampleOutcome::Stop : SampleOutcome::Skipped;
}

}  // namespace qavix::scan
