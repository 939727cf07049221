#include "fleet/ControllerName.h"

#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <vector>

#include "IniText.h"
#include "Translate.h"

namespace qavix::fleet {

namespace {

// What a backup folder holds beside the controllers' folders.
constexpr std::string_view kReservedName = "manifest.json";
// Characters some file systems a backup may be copied to cannot hold in a name.
constexpr std::string_view kForbiddenInNames = "/\\:*?\"<>|";
// Names Windows keeps for its devices, with any extension ("nul.txt"), in any case.
constexpr std::array<std::string_view, 4> kDeviceNames = {"con", "prn", "aux", "nul"};
constexpr std::array<std::string_view, 2> kNumberedDevices = {"com", "lpt"};
// COM1..COM9 and LPT1..LPT9, and their superscript forms ¹ ² ³, which Windows counts too.
constexpr std::array<std::string_view, 12> kDeviceDigits = {"1", "2", "3", "4", "5", "6",
                                                            "7", "8", "9", "¹", "²", "³"};

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool isDeviceName(std::string_view name) {
    std::string stem = asciiLower(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    if (std::find(kDeviceNames.begin(), kDeviceNames.end(), stem) != kDeviceNames.end()) {
        return true;
    }
    for (const std::string_view device : kNumberedDevices) {
        for (const std::string_view digit : kDeviceDigits) {
            if (stem == std::string(device) + std::string(digit)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

std::string nameProblem(std::string_view name) {
    if (name.empty()) {
        return QX_("コントローラには名前が必要です: [NAME]");
    }
    const std::string quoted = "'" + ini::printable(name) + "'";
    if (name.size() > kMaxNameBytes) {
        return i18n::fill(QX_("名前 %1 が %2 バイトより長いです"),
                          {quoted, std::to_string(kMaxNameBytes)});
    }
    if (ini::printable(name) != name) {
        return i18n::fill(QX_("名前 %1 に表示できる UTF-8 の文字でないバイトがあります"), {quoted});
    }
    if (name.find_first_of(kForbiddenInNames) != std::string_view::npos) {
        return i18n::fill(QX_("名前 %1 に %2 のどれかがあります。どこでもフォルダ名に使えるわけでは"
                              "ありません"),
                          {quoted, kForbiddenInNames});
    }
    if (name.front() == '.' || name.front() == '-') {
        return i18n::fill(QX_("名前 %1 を '.' や '-' で始めることはできません"), {quoted});
    }
    if (name.back() == '.' || name.back() == ' ') {
        return i18n::fill(QX_("名前 %1 を '.' や空白で終えることはできません（Windows では"
                              "落とされます）"),
                          {quoted});
    }
    if (asciiLower(name) == kReservedName) {
        return i18n::fill(QX_("名前 %1 はマニフェスト自身のファイル名です"), {quoted});
    }
    if (isDeviceName(name)) {
        return i18n::fill(QX_("名前 %1 は Windows のデバイス名で、フォルダ名には使えません"),
                          {quoted});
    }
    return {};
}

std::string nameFoldKey(std::string_view name) {
    UErrorCode status = U_ZERO_ERROR;
    std::vector<UChar> utf16(name.size() + 1);
    int32_t length = 0;
    u_strFromUTF8(utf16.data(), static_cast<int32_t>(utf16.size()), &length, name.data(),
                  static_cast<int32_t>(name.size()), &status);
    const UNormalizer2* fold = unorm2_getNFKCCasefoldInstance(&status);
    // Folding may lengthen a text (ß to ss, a ligature to its letters) a few times over.
    std::vector<UChar> folded(static_cast<size_t>(length) * 4 + 16);
    const int32_t foldedLength = unorm2_normalize(fold, utf16.data(), length, folded.data(),
                                                  static_cast<int32_t>(folded.size()), &status);
    std::string key(static_cast<size_t>(foldedLength) * 3 + 1, '\0');
    int32_t keyLength = 0;
    u_strToUTF8(key.data(), static_cast<int32_t>(key.size()), &keyLength, folded.data(),
                foldedLength, &status);
    if (U_FAILURE(status)) {
        return asciiLower(name);  // not UTF-8 after all: ASCII case is all that can be folded
    }
    key.resize(static_cast<size_t>(keyLength));
    return key;
}

}  // namespace qavix::fleet
