#include "MessageCatalogue.h"

#include <dirent.h>
#include <libintl.h>
#include <limits.h>
#include <locale.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "LanguageChoice.h"
#include "Translate.h"

// glibc caches every lookup until a locale or a binding changes; a change of LANGUAGE alone
// must drop the cache through this counter, as the gettext manual says.
extern "C" int _nl_msg_cat_cntr;  // NOLINT(bugprone-reserved-identifier)

namespace qavix::i18n {

namespace {

constexpr const char* kCatalogueFile = "/LC_MESSAGES/qavix.mo";
// Built into glibc since 2.35 (Debian 12 has 2.36): present on every machine.
constexpr const char* kTranslatingLocale = "C.UTF-8";

std::string& languageInUse() {
    static std::string language = kSourceLanguage;
    return language;
}

bool isFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string catalogueFolder() {
    std::array<char, PATH_MAX> exe{};
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    if (n <= 0) {
        return {};
    }
    std::string folder(exe.data(), static_cast<std::size_t>(n));
    folder.erase(folder.find_last_of('/') + 1);
    folder += kCatalogueFolderFromProgram;
    std::array<char, PATH_MAX> resolved{};
    if (::realpath(folder.c_str(), resolved.data()) == nullptr) {
        return {};
    }
    return resolved.data();
}

bool hasCatalogue(const std::string& folder, const std::string& language) {
    if (language == kSourceLanguage) {
        return true;
    }
    if (language.empty() || language.find('/') != std::string::npos || language[0] == '.') {
        return false;
    }
    return isFile(folder + "/" + language + kCatalogueFile);
}

std::vector<std::string> spokenLanguages(const std::string& folder) {
    std::vector<std::string> languages;
    if (DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != kSourceLanguage && hasCatalogue(folder, name)) {
                languages.push_back(name);
            }
        }
        ::closedir(dir);
    }
    std::sort(languages.begin(), languages.end());
    languages.insert(languages.begin(), kSourceLanguage);
    return languages;
}

bool useLanguage(const std::string& language, const std::string& folder) {
    if (!folder.empty()) {
        ::bindtextdomain(kTextDomain, folder.c_str());
    }
    ::bind_textdomain_codeset(kTextDomain, "UTF-8");
    bool translated =
        language != kSourceLanguage && !folder.empty() && hasCatalogue(folder, language);
    if (translated) {
        ::setenv("LANGUAGE", language.c_str(), 1);
        translated = ::setlocale(LC_MESSAGES, kTranslatingLocale) != nullptr;
    }
    if (!translated) {
        // In the C locale gettext hands back every id unlooked-at.
        ::setlocale(LC_MESSAGES, "C");
    }
    ++_nl_msg_cat_cntr;
    languageInUse() = translated ? language : kSourceLanguage;
    return translated || language == kSourceLanguage;
}

const std::string& currentLanguage() {
    return languageInUse();
}

}  // namespace qavix::i18n
