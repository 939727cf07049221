#pragma once
// Whole-file reads and crash-safe whole-file writes.

#include <cstddef>
#include <string>
#include <string_view>

namespace qavix::fileio {

// Files the program reads are settings and bank files of a few kilobytes; anything much
// larger is not one of them, and the cap keeps a mistaken path (a device, a disk image)
// from filling memory.
constexpr size_t kMaxReadSize = 16 * 1024 * 1024;

enum class ReadStatus {
    Ok,
    Missing,   // the path does not exist
    Failed,    // exists but cannot be opened or read (permissions, not a regular file, I/O error)
    TooLarge,  // larger than kMaxReadSize
};

struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    std::string bytes;
    std::string error;  // why, for messages; empty on success

    bool ok() const { return status == ReadStatus::Ok; }
};

// Reads a whole regular file. A FIFO, device, socket or folder is refused (Failed) before
// anything is read, and opening never waits: a FIFO without a writer cannot stall the caller.
ReadResult readFile(const std::string& path);

struct WriteResult {
    bool ok = false;
    std::string error;    // why not, naming the path once
    int errorNumber = 0;  // the system's error (ENOSPC, ...) when it was one
};

// Whether a save may put a new file at `path`. A save replaces the target with a new regular
// file, so an existing target that is not one (a device such as /dev/null, a FIFO, a socket)
// is refused rather than replaced, and so is a file the user may not write or that carries
// no write permission at all: a read-only mark means "do not overwrite", even for root.
// A symbolic link is judged by what it points to, but one that another user put into a
// sticky folder that everyone may write (/tmp) is not followed (WriteTarget). The folder must
// exist and let the user make a file in it. ok is true when the save may go ahead.
WriteResult checkWriteTarget(const std::string& path);

// Writes `bytes` to a new file in the target's folder, flushes it to the disk and renames it
// over `path`, so that a failed or interrupted write leaves the previous file as it was.
// Refuses what checkWriteTarget refuses. An existing target keeps its permission bits; a
// symbolic link is followed as checkWriteTarget follows it, and the rename lands on the name
// it led to in the folder found then, whatever happens to the path meanwhile.
WriteResult writeFileAtomic(const std::string& path, std::string_view bytes);

}  // namespace qavix::fileio
