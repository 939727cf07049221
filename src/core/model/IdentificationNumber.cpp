#include "model/IdentificationNumber.h"

#include <cstdio>

#include "model/HexText.h"

namespace qavix {

namespace {

constexpr std::string_view kIdCharacters = "1234567890abcdefABCDEF";
constexpr int kBasicReadTimeoutMs = 500;
constexpr int kControlTextsItems = 2;

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
    return codec::encodePut(code::kPutIdNumber, 0, scratch);
}

std::vector<PageRead> basicInformationReads() {
    return {
        {code::kReadControlTexts, 0, 0, kControlTextsItems, kBasicReadTimeoutMs},
        {code::kReadIdNumber, 0, 0, 0, kBasicReadTimeoutMs},
        {code::kReadSerialText, 0, 0, 0, kBasicReadTimeoutMs},
        {code::kReadJointNum, 0, 0, 0, kBasicReadTimeoutMs},
        {code::kReadSensorVersion, 1, 0, 1, kBasicReadTimeoutMs},
    };
}

}  // namespace qavix
