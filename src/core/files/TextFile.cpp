#include "files/TextFile.h"

#include "IniText.h"
#include "ShiftJis.h"
#include "Translate.h"

namespace qavix::textfile {

namespace {

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

TextReadResult readText(const std::string& path) {
    TextReadResult result;
    fileio::ReadResult raw = fileio::readFile(path);
    result.status = raw.status;
    result.error = std::move(raw.error);
    if (!raw.ok()) {
        return result;
    }
    sjis::Conversion converted = sjis::fromCp932(raw.bytes);
    result.text = std::move(converted.text);
    result.lossy = !converted.complete;
    return result;
}

std::vector<std::string> splitLines(std::string_view text) {
    const std::vector<std::string_view> views = ini::splitLines(text);
    return std::vector<std::string>(views.begin(), views.end());
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

EncodedText encodeText(std::string_view text) {
    sjis::Conversion converted = sjis::toCp932(withCrLf(text));
    EncodedText encoded;
    encoded.ok = converted.complete;
    encoded.bytes = std::move(converted.text);
    return encoded;
}

fileio::WriteResult writeText(const std::string& path, std::string_view text) {
    const EncodedText encoded = encodeText(text);
    if (!encoded.ok) {
        fileio::WriteResult refused;
        refused.error =
            i18n::fill(QX_("%1: Shift-JIS で保存できない文字がテキストにあります"), {path});
        return refused;
    }
    return fileio::writeFileAtomic(path, encoded.bytes);
}

fileio::WriteResult writeLines(const std::string& path, const std::vector<std::string>& lines) {
    return writeText(path, joinLines(lines));
}

}  // namespace qavix::textfile
