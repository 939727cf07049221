#pragma once
// The files a broker connection needs before it connects (authority, certificate, key,
// password file), checked the same way wherever they are named, and the password read from
// its file: the first line, never a command-line argument or a settings value.

#include <string>

namespace qavix::broker {

constexpr size_t kMaxPasswordLength = 4096;

// Why the file cannot be used, after its `label` (an option or a setting's name), or empty:
// it must exist, be a regular file and be readable by this user.
std::string unreadableFile(const std::string& label, const std::string& path);

// The first line of the file; empty with `error` set when there is none.
std::string readPasswordFile(const std::string& label, const std::string& path, std::string& error);

// Whether every user of the machine may read the file (and so log in as its owner).
bool everyoneReads(const std::string& path, std::string& modeText);

}  // namespace qavix::broker
