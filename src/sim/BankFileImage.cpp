#include "sim/BankFileImage.h"

#include <iconv.h>

#include <array>
#include <optional>
#include <string_view>

#include "sim/BankImageCheck.h"
#include "sim/HexText.h"
#include "sim/InputFile.h"

namespace qavix::sim {

namespace {

// The sections whose values make up the image, in image order.
const char* const kImageSections[] = {"CH1", "CH2", "CH3", "CONTROLLER"};
constexpr size_t kSectionCount = 4;
constexpr size_t kControllerSection = 3;
// Entries that count: a CH section has 21 and one spare, which must be empty (a value there
// makes its block too long); CONTROLLER has 99.
constexpr size_t kChannelEntries = 22;
constexpr size_t kControllerEntries = 99;
constexpr size_t kChannelTextLength = 2 * image::kChannelSize;

struct ControllerBlock {
    size_t first;  // entry index
    size_t count;
    size_t length;  // characters
};
// General, thresholds of CH1..CH3, zero points of CH1..CH3, extended.
constexpr ControllerBlock kControllerBlocks[] = {
    {0, 23, 2 * image::kGeneralSize},
    {23, 8, 256},
    {31, 8, 256},
    {39, 8, 256},
    {47, 8, 256},
    {55, 8, 256},
    {63, 8, 256},
    {71, 28, 2 * image::kExtendedSize},
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// Shift-JIS (code page 932) to UTF-8, line by line: no Shift-JIS character holds a CR or
// LF byte. Multi-byte characters must be converted before a line is taken apart, since
// their second byte may be "[" or "]".
class ShiftJisLines {
  public:
    ShiftJisLines() : m_handle(iconv_open("UTF-8", "CP932")) {}
    ~ShiftJisLines() {
        if (m_handle != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_handle);
        }
    }
    ShiftJisLines(const ShiftJisLines&) = delete;
    ShiftJisLines& operator=(const ShiftJisLines&) = delete;

    // False when the line holds bytes that are not Shift-JIS.
    bool convert(std::string_view line, std::string& out) {
        out.clear();
        if (m_handle == reinterpret_cast<iconv_t>(-1)) {
            return false;
        }
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(line.data());
        size_t inLeft = line.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* o = buffer;
            size_t outLeft = sizeof buffer;
            const size_t rc = iconv(m_handle, &in, &inLeft, &o, &outLeft);
            const int error = errno;
            out.append(buffer, sizeof buffer - outLeft);
            if (rc == static_cast<size_t>(-1) && error != E2BIG) {
                return false;
            }
        }
        return true;
    }

  private:
    iconv_t m_handle;
};

bool isAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The values of the counted entries of each image section.
class SectionValues {
  public:
    void line(std::string_view text) {
        const std::string_view t = trim(text);
        if (!t.empty() && t.front() == '[') {
            const size_t close = t.rfind(']');
            if (close != std::string_view::npos) {
                enter(trim(t.substr(1, close - 1)));
                return;
            }
        }
        if (!m_current || t.empty() || t.front() == ';') {
            return;
        }
        std::vector<std::string>& values = m_values[*m_current];
        const size_t limit =
            *m_current == kControllerSection ? kControllerEntries : kChannelEntries;
        if (values.size() < limit) {
            const size_t eq = t.find('=');
            values.emplace_back(eq == std::string_view::npos ? t : trim(t.substr(eq + 1)));
        }
    }

    bool present(size_t section) const { return m_seen[section]; }

    // Entries [first, first + count) of a section joined, or nothing when they do not make
    // `length` characters; missing entries are empty.
    std::optional<std::string> joined(size_t section, size_t first, size_t count,
                                      size_t length) const {
        const std::vector<std::string>& values = m_values[section];
        std::string text;
        for (size_t i = first; i < first + count && i < values.size(); ++i) {
            if (text.size() + values[i].size() > length) {
                return std::nullopt;
            }
            text += values[i];
        }
        if (text.size() != length) {
            return std::nullopt;
        }
        return text;
    }

  private:
    void enter(std::string_view name) {
        m_current.reset();
        for (size_t s = 0; s < kSectionCount; ++s) {
            if (sameName(name, kImageSections[s])) {
                if (!m_seen[s]) {
                    m_seen[s] = true;
                    m_current = s;
                }
                return;
            }
        }
    }

    std::array<std::vector<std::string>, kSectionCount> m_values;
    std::array<bool, kSectionCount> m_seen{};
    std::optional<size_t> m_current;
};

// Calls `take` with each line of `text` without its line end; false as soon as it does.
template <typename Take>
bool forEachLine(std::string_view text, Take take) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        if (!take(text.substr(start, i - start))) {
            return false;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    return start >= text.size() || take(text.substr(start));
}

}  // namespace

bool bankImageFromHex(const std::string& hex, BankFileImage& out, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (hex.size() != 2 * static_cast<size_t>(kImageSize) || !fromHex(hex, bytes)) {
        error = "not one bank image of " + std::to_string(kImageSize) + " bytes in hexadecimal";
        return false;
    }
    const SetMemory image(bytes.begin(), bytes.end());
    const std::string refused = firstRefusedField(image);
    if (!refused.empty()) {
        error = "the bank image's " + refused + " is out of range";
        return false;
    }
    // JOINT_NUM is written in decimal; for 1 to 3 the digits read the same in hexadecimal.
    const int joint = image[image::kGeneral + image::kJointNum];
    std::vector<int> beams;
    for (int c = 0; c < joint; ++c) {
        beams.push_back(image[static_cast<size_t>(image::kChannelSize * c + image::kBeamCount)]);
    }
    out.image = image;
    out.beams = beams;
    return true;
}

bool parseBankFileImage(const std::string& bytes, BankFileImage& out, std::string& error) {
    SectionValues sections;
    ShiftJisLines shiftJis;
    std::string converted;
    const bool shiftJisOnly = forEachLine(bytes, [&](std::string_view line) {
        if (isAscii(line)) {
            sections.line(line);
            return true;
        }
        if (!shiftJis.convert(line, converted)) {
            return false;
        }
        sections.line(converted);
        return true;
    });
    if (!shiftJisOnly) {
        error = "bank file holds bytes that are not Shift-JIS";
        return false;
    }
    std::string hex;
    for (size_t s = 0; s < kSectionCount; ++s) {
        if (!sections.present(s)) {
            error = std::string("bank file has no [") + kImageSections[s] + "] section";
            return false;
        }
    }
    for (size_t c = 0; c < kControllerSection; ++c) {
        const auto text = sections.joined(c, 0, kChannelEntries, kChannelTextLength);
        if (!text) {
            error = std::string("bank file's [") + kImageSections[c] + "] does not hold " +
                    std::to_string(kChannelTextLength) + " characters in its first " +
                    std::to_string(kChannelEntries) + " entries";
            return false;
        }
        hex += *text;
    }
    for (const ControllerBlock& block : kControllerBlocks) {
        const auto text =
            sections.joined(kControllerSection, block.first, block.count, block.length);
        if (!text) {
            error = "bank file's [CONTROLLER] entries " + std::to_string(block.first + 1) + " to " +
                    std::to_string(block.first + block.count) + " do not hold " +
                    std::to_string(block.length) + " characters";
            return false;
        }
        hex += *text;
    }
    if (!bankImageFromHex(hex, out, error)) {
        error = "bank file: " + error;
        return false;
    }
    return true;
}

bool loadBankFileImage(const std::string& path, BankFileImage& out, std::string& error) {
    std::string bytes;
    if (!readInputFile(path, bytes, error)) {
        error = "bank file: " + error;
        return false;
    }
    if (!parseBankFileImage(bytes, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace qavix::sim
