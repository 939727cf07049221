#include "comm/ScanReader.h"

#include <array>
#include <cstring>

namespace qavix::scan {

bool isSilentLineCode(const char* code) {
    return std::strcmp(code, "TIMEOUT") == 0 || std::strcmp(code, "LINE") == 0;
}

bool ScanReader::lineSilent() const {
    if (m_api.getLastError == nullptr) {
        return false;
    }
    std::array<char, kErrorCodeTextSize> code{};
    std::array<char, kErrorMessageTextSize> message{};
    if (m_api.getLastError(code.data(), message.data()) != 1) {
        return false;
    }
    code.back() = '\0';
    return isSilentLineCode(code.data());
}

ScanReader::Read ScanReader::readOnce(const ScanRange& range, SettingsData& set) {
    if (m_api.getParameterDataWait == nullptr) {
        return Read::Failed;
    }
    std::array<char, kScanReplyBufferSize> buffer;
    for (int attempt = 0; attempt < kScanReadAttempts; ++attempt) {
        buffer.fill('\0');
        if (m_api.getParameterDataWait(kBeamStateCode, range.first, range.count, buffer.data(),
                                       m_timeoutMs) != 1) {
            // A spoilt answer is worth asking again at once; no answer is not.
            if (lineSilent()) {
                return Read::Silent;
            }
            continue;
        }
        // The library writes a terminated text; the last byte stays 0 whatever it does.
        buffer.back() = '\0';
        // An answer that is not the flags asked for counts as a failed call.
        if (decodeScanReply(std::string_view(buffer.data(), std::strlen(buffer.data())), range,
                            set)) {
            return Read::Answered;
        }
    }
    return Read::Failed;
}

SampleOutcome ScanReader::sample(const ScanRange& range, SettingsData& set) {
    const Read read = readOnce(range, set);
    if (read == Read::Answered) {
        m_failures = 0;
        return SampleOutcome::Taken;
    }
    ++m_failures;
    if (m_failures >= kFailuresToStop) {
        return SampleOutcome::Stop;
    }
    return read == Read::Silent ? SampleOutcome::Silent : SampleOutcome::Skipped;
}

}  // namespace qavix::scan
