#pragma once
// Reading the files the emulator starts from (scenario and bank files).

#include <cstddef>
#include <string>

namespace qavix::sim {

// Those files are a few kilobytes; anything much larger is a mistaken path (a device, a disk
// image), and reading stops rather than filling memory. The program's own reader of the
// same files stops at the same size, so the two accept the same files.
constexpr size_t kMaxInputFileSize = 16 * 1024 * 1024;

// The whole of a regular file of at most kMaxInputFileSize bytes. A FIFO, device, socket or
// folder is refused before anything is read, and opening never waits for a writer. False
// with a message naming `path` on failure.
bool readInputFile(const std::string& path, std::string& bytes, std::string& error);

}  // namespace qavix::sim
