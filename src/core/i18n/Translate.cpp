#include "Translate.h"

#include <libintl.h>

namespace qavix::i18n {

const char* translate(const char* text) {
    // The empty id is the catalogue's header, never a text.
    if (text == nullptr || *text == '\0') {
        return text;
    }
    return dgettext(kTextDomain, text);
}

const char* translatePlural(const char* singular, const char* plural, unsigned long count) {
    return dngettext(kTextDomain, singular, plural, count);
}

const char* translateInContext(const char* context, const char* text) {
    // The catalogue's key of a text in a context, as msgfmt writes it.
    const std::string key = std::string(context) + '\004' + text;
    const char* found = dgettext(kTextDomain, key.c_str());
    return found == key.c_str() ? text : found;
}

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const char next = pattern[i + 1];
        if (next == '%') {
            out += '%';
            ++i;
        } else if (next >= '1' && next <= '9' &&
                   static_cast<std::size_t>(next - '1') < values.size()) {
            out += *(values.begin() + (next - '1'));
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace qavix::i18n
