#include "ShiftJis.h"

#include <iconv.h>

#include <cerrno>

#include "Utf8.h"

namespace qavix::sjis {

namespace {

constexpr const char* kCodePage = "CP932";
constexpr char kReplacement = '?';

// One conversion descriptor per direction and thread: iconv_open is far too slow to run
// for every cell of the report, and a descriptor carries state, so it is not shared.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~Converter() {
        if (usable()) {
            iconv_close(m_handle);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    Conversion run(std::string_view input, size_t badSequenceLength(std::string_view));

  private:
    // Without the system's CP932 tables every non-ASCII character is unconvertible.
    bool usable() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    iconv_t m_handle;
};

// Length of the UTF-8 sequence at the start of `s` (at least 1), so that one unconvertible
// character becomes exactly one replacement.
size_t utf8SequenceLength(std::string_view s) {
    const size_t length = utf8::sequenceLength(s, 0);
    return length == 0 ? 1 : length;
}

// A CP932 lead byte followed by a byte that makes no character is skipped as one byte,
// so that the following ASCII character is not swallowed with it.
size_t singleByte(std::string_view) {
    return 1;
}

Conversion Converter::run(std::string_view input, size_t badSequenceLength(std::string_view)) {
    Conversion result;
    if (!usable()) {
        for (size_t i = 0; i < input.size(); i += badSequenceLength(input.substr(i))) {
            const bool ascii = static_cast<unsigned char>(input[i]) < 0x80;
            if (!ascii && result.complete) {
                result.complete = false;
                result.firstFailure = i;
            }
            result.text.push_back(ascii ? input[i] : kReplacement);
        }
        return result;
    }
    iconv(m_handle, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
    result.text.reserve(input.size() * 2);
    char buffer[1024];
    size_t consumed = 0;
    while (consumed < input.size()) {
        char* in = const_cast<char*>(input.data() + consumed);
        size_t inLeft = input.size() - consumed;
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(m_handle, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        result.text.append(buffer, sizeof buffer - outLeft);
        consumed = input.size() - inLeft;
        if (rc != static_cast<size_t>(-1)) {
            continue;
        }
        if (error == E2BIG) {
            continue;
        }
        // EILSEQ, or EINVAL for a sequence cut off at the end of the input.
        if (result.complete) {
            result.complete = false;
            result.firstFailure = consumed;
        }
        result.text.push_back(kReplacement);
        consumed += badSequenceLength(input.substr(consumed));
    }
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(m_handle, nullptr, nullptr, &out, &outLeft);
    result.text.append(buffer, sizeof buffer - outLeft);
    return result;
}

Converter& encoder() {
    thread_local Converter converter(kCodePage, "UTF-8");
    return converter;
}

Converter& decoder() {
    thread_local Converter converter("UTF-8", kCodePage);
    return converter;
}

bool isPlainAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

Conversion toCp932(std::string_view utf8) {
    if (isPlainAscii(utf8)) {
        return Conversion{std::string(utf8)};
    }
    return encoder().run(utf8, utf8SequenceLength);
}

Conversion fromCp932(std::string_view cp932) {
    if (isPlainAscii(cp932)) {
        return Conversion{std::string(cp932)};
    }
    return decoder().run(cp932, singleByte);
}

bool representable(std::string_view utf8) {
    return toCp932(utf8).complete;
}

size_t byteWidth(std::string_view utf8) {
    if (isPlainAscii(utf8)) {
        return utf8.size();
    }
    return toCp932(utf8).text.size();
}

}  // namespace qavix::sjis
