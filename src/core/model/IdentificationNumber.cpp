#include "model/IdentificationNumber.h"

#include <cstdio>

#include "model/HexText.h"

namespace qavix {

namespace {

constexpr std::string_view kIdCharacters = "1234567890abcdefABCDEF";
constexpr int kIdPutCode = 2;
constexpr int kBasicReadTimeoutMs = 500;
constexpr int kControlTextsCode = 46;
constexpr int kControlTextsItems = 2;
constexpr int kIdReadCode = 62;
constexpr int kSerialReadCode = 61;
constexpr int kJointNumReadCode = 80;
constexpr int kSensorVersionReadCode = 60;

}  // namespace

bool isValidIdText(std::string_view text) {
    return text.find_first_not_of(kIdCharacters) == std::string_view::npos;
}

std::string idWriteText(std::string_view text) {
    // The box holds at most six characters and is checked before it is written.
    const int32_t value = hex::parseHex(text, kIdMaxLength).value_or(0);
    char out[16];
    std::snprintf(out, sizeof out, "%06X", static_cast<unsigned>(value));
    return out;
}

codec::PutRequest idPut(std::string_view text) {
    SettingsData scratch;
    scratch.general.idText = idWriteText(text);
    return codec::encodePut(kIdPutCode, 0, scratch);
}

std::vector<PageRead> basicInformationReads() {
    return {
        {kControlTextsCode, 0, 0, kControlTextsItems, kBasicReadTimeoutMs},
        {kIdReadCode, 0, 0, 0, kBasicReadTimeoutMs},
        {kSerialReadCode, 0, 0, 0, kBasicReadTimeoutMs},
        {kJointNumReadCode, 0, 0, 0, kBasicReadTimeoutMs},
        {kSensorVersionReadCode, 1, 0, 1, kBasicReadTimeoutMs},
    };
}

}  // namespace qavix
