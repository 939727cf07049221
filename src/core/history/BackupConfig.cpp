#include "history/BackupConfig.h"

#include <algorithm>

#include "IniText.h"
#include "Translate.h"
#include "files/FileIo.h"

namespace qavix::history {

namespace {

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

std::optional<std::vector<ConfigValue>> readBackupConfig(const std::string& path,
                                                         std::string& error) {
    const fileio::ReadResult file = fileio::readFile(path);
    if (!file.ok()) {
        error = path + ": " + file.error;
        return std::nullopt;
    }
    std::string_view text = file.bytes;
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    std::vector<ConfigValue> values;
    int number = 0;
    for (const std::string_view line : ini::splitLines(text)) {
        ++number;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        // printable() leaves exactly the text that is UTF-8 without control characters; a tab
        // is a blank here.
        std::string blanks(line);
        std::replace(blanks.begin(), blanks.end(), '\t', ' ');
        if (ini::printable(blanks) != blanks) {
            error = where + QX_("制御文字か UTF-8 でないバイトがあります");
            return std::nullopt;
        }
        const std::string_view trimmed = ini::trim(line);
        if (trimmed.empty() || trimmed.front() == '#') {
            continue;
        }
        if (const auto header = ini::headerName(trimmed)) {
            if (!ini::sameName(*header, kBackupConfigSection)) {
                error = where + i18n::fill(QX_("セクション [%1] は使えません（[%2] だけ）"),
                                           {*header, kBackupConfigSection});
                return std::nullopt;
            }
            continue;
        }
        const ini::Entry entry = ini::parseEntry(trimmed);
        if (entry.kind == ini::Entry::Comment) {
            continue;
        }
        if (!entry.value || entry.key.empty()) {
            error = where + QX_("KEY = VALUE の形ではありません");
            return std::nullopt;
        }
        ConfigValue value{lowerAscii(entry.key), std::string(ini::unquote(*entry.value)),
                          std::string(*entry.value), number};
        for (const ConfigValue& earlier : values) {
            if (earlier.key == value.key) {
                error = where + i18n::fill(QX_("%1 が2回あります（最初は %2 行目）"),
                                           {value.key, std::to_string(earlier.line)});
                return std::nullopt;
            }
        }
        values.push_back(std::move(value));
    }
    return values;
}

std::optional<std::vector<std::string>> splitCommandWords(std::string_view text,
                                                          std::string& error) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote == '\'') {
            if (c == '\'') {
                quote = 0;
            } else {
                word += c;
            }
            continue;
        }
        if (c == '\\' && i + 1 < text.size()) {
            word += text[++i];
            inWord = true;
            continue;
        }
        if (quote == '"') {
            if (c == '"') {
                quote = 0;
            } else {
                word += c;
            }
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quote != 0) {
        error = i18n::fill(QX_("%1 が閉じていません"), {std::string(1, quote)});
        return std::nullopt;
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    if (words.empty()) {
        error = QX_("コマンドがありません");
        return std::nullopt;
    }
    return words;
}

}  // namespace qavix::history
