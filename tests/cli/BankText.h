#pragma once
// Bank file texts edited the way a test needs them: a value changed in place, so that an
// import of the result changes exactly one setting of the controller.

#include <string>

namespace qavix::cli::test {

// `text` with the value of `key` starting with `value` instead; empty when `key` is not in
// it, so that a test about a changed setting cannot pass with an unchanged file.
inline std::string withBankValue(const std::string& text, const std::string& key,
                                 const std::string& value) {
    const size_t at = text.find("\r\n" + key + "=");
    if (at == std::string::npos) {
        return {};
    }
    std::string changed = text;
    changed.replace(at + 2 + key.size() + 1, value.size(), value);
    return changed;
}

}  // namespace qavix::cli::test
