#include "journal/JournalLines.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "journal/Journal.h"

namespace qavix::journal {

bool forEachLine(const std::string& folder, const std::function<bool(const JournalLine&)>& visit,
                 std::string& error) {
    for (const std::string& path : journalFiles(folder)) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        JournalLine line;
        line.file = std::filesystem::path(path).filename().string();
        while (std::getline(in, line.bytes)) {
            ++line.number;
            line.terminated = !in.eof();
            if (!visit(line)) {
                return true;
            }
        }
        if (in.bad()) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

}  // namespace qavix::journal
