#include "report/ShiftJisText.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace qavix::report {

namespace {

constexpr const char* kCp932 = "CP932";

class Cp932Converter {
  public:
    Cp932Converter() : m_cd(iconv_open(kCp932, "UTF-8")) {}
    ~Cp932Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    std::optional<std::string> convert(std::string_view utf8) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            return std::nullopt;
        }
        std::string in(utf8);
        // A CP932 character is never longer than its UTF-8 form.
        std::vector<char> out(in.size() + 1);
        char* inPtr = in.data();
        size_t inLeft = in.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            return std::nullopt;
        }
        return std::string(out.data(), out.size() - outLeft);
    }

  private:
    iconv_t m_cd;
};

size_t utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 1;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

std::optional<std::string> toCp932(std::string_view utf8) {
    Cp932Converter converter;
    return converter.convert(utf8);
}

std::size_t cp932Width(std::string_view utf8) {
    Cp932Converter converter;
    std::size_t width = 0;
    size_t pos = 0;
    while (pos < utf8.size()) {
        const size_t len =
            std::min(utf8SequenceLength(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        const std::optional<std::string> bytes = converter.convert(utf8.substr(pos, len));
        width += bytes ? bytes->size() : 2;
        pos += len;
    }
    return width;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp creates the file for the owner only; a saved report is an ordinary file.
    ::fchmod(fd, 0644);
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    if (::close(fd) != 0 || !written) {
        error = path + ": " + std::strerror(written ? errno : savedErrno);
        ::unlink(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace qavix::report
