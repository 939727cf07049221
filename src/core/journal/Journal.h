#pragma once
// The change journal on disk: a folder of JSON-lines files, one per month ("2026-12.jsonl"),
// appended to only. The records chain across the files in the order of their names. Several
// programs may append to one folder at once (a plant's shared folder): each append holds an
// advisory lock on the folder's lock file while it reads the last line and adds its own, and
// a record is on the disk (fsync) before append returns.

#include <chrono>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "journal/JournalRecord.h"

namespace qavix::journal {

constexpr const char* kLockFileName = ".lock";
constexpr const char* kFileExtension = ".jsonl";

// "YYYY-MM.jsonl" of the local month of `when`.
std::string monthFileName(std::time_t when);
// The journal files of `folder` ("YYYY-MM.jsonl"), sorted, as full paths; empty when there
// are none or the folder cannot be read.
std::vector<std::string> journalFiles(const std::string& folder);

struct AppendResult {
    bool ok = false;
    std::string error;  // why not, naming the folder or file
};

class Journal {
  public:
    // How long an append waits for another program's append to finish.
    static constexpr std::chrono::milliseconds kLockWait{10000};

    explicit Journal(std::string folder) : m_folder(std::move(folder)) {}

    const std::string& folder() const { return m_folder; }

    // Chains the record to the last line of the journal and appends it: nothing of it is
    // left in the file when it cannot be written whole. The record's time is set here when
    // it is empty; `record.prev` and `record.hash` are set when it was written.
    AppendResult append(Record& record);

  private:
    std::string m_folder;
    // Appends of one process take turns here too; the file lock keeps other processes out.
    std::mutex m_mutex;
};

}  // namespace qavix::journal
