#pragma once
// The change journal as a connection uses it: the journal folder, who writes (program,
// version, user, host) and the reason of the writes. A link with one lets a request that
// changes a setting reach the controller only while a write's start record is on the disk
// (JournaledWrite): no record, no write.

#include <functional>
#include <optional>
#include <string>

#include "journal/Journal.h"

namespace qavix {

struct WriteSource {
    std::string program;  // "qavix", "qavixctl"
    std::string version;
    std::string user;  // the operating system's user
    std::string host;
};

// The source with this process's user and host.
WriteSource writeSource(const std::string& program, const std::string& version);

class WriteJournal {
  public:
    // Asked before every write with what it is about to do (the operation and its detail);
    // nothing means the user cancelled, and the write does not go out.
    using ReasonAsker = std::function<std::optional<std::string>(journal::Operation operation,
                                                                 const std::string& detail)>;

    WriteJournal(std::string folder, WriteSource source)
        : m_journal(std::move(folder)), m_source(std::move(source)) {}

    const std::string& folder() const { return m_journal.folder(); }
    const WriteSource& source() const { return m_source; }
    journal::Journal& journal() { return m_journal; }

    // The reason of every write (qavixctl --reason).
    void setReason(std::string reason) { m_reason = std::move(reason); }
    // Asks for each write's reason instead (the program's optional prompt).
    void setReasonAsker(ReasonAsker asker) { m_asker = std::move(asker); }
    std::optional<std::string> reasonFor(journal::Operation operation,
                                         const std::string& detail) const;

    // From a write's start record on the disk to its end record. Writes nest: the reset a
    // status check makes may fall inside a page's write.
    bool writeOpen() const { return m_openWrites > 0; }
    void openWrite() { ++m_openWrites; }
    void closeWrite() {
        if (m_openWrites > 0) {
            --m_openWrites;
        }
    }
    // Requests that changed a setting and were acknowledged, counted for as long as the
    // journal lives: a write compares the count at its end with the count at its start.
    void noteSettingSent() { ++m_settingsSent; }
    long settingsSent() const { return m_settingsSent; }
    // The last write was refused because the journal could not take its record.
    bool lastRefused() const { return m_lastRefused; }
    void setLastRefused(bool refused) { m_lastRefused = refused; }

  private:
    journal::Journal m_journal;
    WriteSource m_source;
    std::string m_reason;
    ReasonAsker m_asker;
    int m_openWrites = 0;
    long m_settingsSent = 0;
    bool m_lastRefused = false;
};

}  // namespace qavix
