#include "comm/WriteJournal.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace qavix {

namespace {

std::string userName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr) {
        return pw->pw_name;
    }
    if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
        return user;
    }
    return "uid " + std::to_string(::geteuid());
}

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}

}  // namespace

WriteSource writeSource(const std::string& program, const std::string& version) {
    return WriteSource{program, version, userName(), hostName()};
}

std::optional<std::string> WriteJournal::reasonFor(journal::Operation operation,
                                                   const std::string& detail) const {
    if (m_asker) {
        return m_asker(operation, detail);
    }
    return m_reason;
}

}  // namespace qavix
