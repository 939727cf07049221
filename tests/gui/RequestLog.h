#pragma once
// The emulator's request log (--log) read back as the setting requests a write made:
// "SS" (start setting), "ES" (enable setting) and "PP <put code>/<start>:<text>" for
// each put, in the order the controller received them. Reads and resets are left out.

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qavix::test {

inline std::vector<std::string> loggedSettingRequests(const std::string& path) {
    std::vector<std::string> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id;
        std::string start;
        std::string count;
        std::string payload;
        fields >> id >> start >> count;
        std::getline(fields >> std::ws, payload);
        const std::string op = payload.size() >= 5 ? payload.substr(3, 2) : "";
        if (op == "SS" || op == "ES") {
            out.push_back(op);
        } else if (op == "PP") {
            const size_t colon = payload.find(':');
            out.push_back("PP " + id + "/" + start + ":" +
                          (colon == std::string::npos ? "" : payload.substr(colon + 1)));
        }
    }
    return out;
}

}  // namespace qavix::test
