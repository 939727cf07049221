#pragma once
// The controller's error log: twenty entries, newest first, each
// "yymmddhhmmss" + "rr" (reserved) + two hexadecimal digits of the error number + an
// eight-character serial number (24 characters).

#include <array>
#include <string>

namespace qavix::sim {

constexpr int kErrorHistorySize = 20;
constexpr int kErrorEntryLength = 24;

class ErrorHistory {
  public:
    ErrorHistory();  // all entries empty

    // The log a controller typically shows after some time in service.
    static ErrorHistory factory();

    static std::string emptyEntry();  // "00000000000000" "00" "00000000"
    // `clockDigits` is "yymmddhhmmss".
    static std::string makeEntry(const std::string& clockDigits, int errorNumber,
                                 const std::string& serial);
    static bool isValidEntry(const std::string& entry);

    const std::string& entry(int index) const { return m_entries.at(static_cast<size_t>(index)); }

    // False (and nothing changed) for an index outside 0..19 or an invalid entry.
    bool setEntry(int index, const std::string& entry);

    // Logs a new error as the newest entry; the oldest one drops out.
    void record(const std::string& entry);

  private:
    std::array<std::string, kErrorHistorySize> m_entries;
};

}  // namespace qavix::sim
