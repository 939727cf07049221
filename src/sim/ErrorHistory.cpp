#include "sim/ErrorHistory.h"

#include <algorithm>
#include <vector>

#include "sim/HexText.h"

namespace qavix::sim {

namespace {

constexpr size_t kDateLength = 14;  // date, time and the reserved pair
constexpr size_t kCodePos = 14;
constexpr size_t kSerialPos = 16;
constexpr size_t kSerialLength = 8;

}  // namespace

ErrorHistory::ErrorHistory() {
    m_entries.fill(emptyEntry());
}

ErrorHistory ErrorHistory::factory() {
    ErrorHistory h;
    // A setting error after a P-I/O change, a wiring fault found at installation and
    // mutual interference with a neighbouring scanner.
    h.m_entries[0] = makeEntry("231105093012", 0xC8, "1409012C");
    h.m_entries[1] = makeEntry("230918142745", 0xA2, "14070210");
    h.m_entries[2] = makeEntry("230602081503", 0x35, "14070211");
    return h;
}

std::string ErrorHistory::emptyEntry() {
    return std::string(kDateLength, '0') + "00" + std::string(kSerialLength, '0');
}

std::string ErrorHistory::makeEntry(const std::string& clockDigits, int errorNumber,
                                    const std::string& serial) {
    std::string s = serial.substr(0, kSerialLength);
    s.resize(kSerialLength, '0');
    return clockDigits + "00" + hexByte(errorNumber) + s;
}

bool ErrorHistory::isValidEntry(const std::string& entry) {
    std::vector<std::uint8_t> bytes;
    return entry.size() == kErrorEntryLength && isDecimalDigits(entry.substr(0, kDateLength)) &&
           fromHex(entry.substr(kCodePos, 2), bytes) &&
           fromHex(entry.substr(kSerialPos, kSerialLength), bytes);
}

bool ErrorHistory::setEntry(int index, const std::string& entry) {
    if (index < 0 || index >= kErrorHistorySize || !isValidEntry(entry)) {
        return false;
    }
    m_entries[static_cast<size_t>(index)] = entry;
    return true;
}

void ErrorHistory::record(const std::string& entry) {
    std::rotate(m_entries.rbegin(), m_entries.rbegin() + 1, m_entries.rend());
    m_entries[0] = entry;
}

}  // namespace qavix::sim
