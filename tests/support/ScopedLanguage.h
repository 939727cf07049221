#pragma once
// A test's texts in one language (core/i18n, the catalogues of the build tree), Japanese
// again afterwards with LANGUAGE as it was.

#include <cstdlib>
#include <optional>
#include <string>

#include "LanguageChoice.h"
#include "MessageCatalogue.h"

namespace qavix::test {

class ScopedLanguage {
  public:
    explicit ScopedLanguage(const std::string& language) {
        if (const char* value = std::getenv("LANGUAGE")) {
            m_saved = value;
        }
        m_used = i18n::useLanguage(language, i18n::catalogueFolder());
    }
    ~ScopedLanguage() {
        i18n::useLanguage(i18n::kSourceLanguage, i18n::catalogueFolder());
        if (m_saved) {
            ::setenv("LANGUAGE", m_saved->c_str(), 1);
        } else {
            ::unsetenv("LANGUAGE");
        }
    }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

    // False when the catalogue is missing: the texts stayed Japanese.
    bool used() const { return m_used; }

  private:
    std::optional<std::string> m_saved;
    bool m_used = false;
};

}  // namespace qavix::test
