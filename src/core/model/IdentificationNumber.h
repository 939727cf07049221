#pragma once
// The controller's identification number as the basic information page edits it: up to
// six hexadecimal digits, written as six upper-case digits with put code 2.

#include <string>
#include <string_view>
#include <vector>

#include "Translate.h"
#include "model/Codec.h"
#include "model/PageRequests.h"

namespace qavix {

constexpr int kIdMaxLength = 6;
// Shown through i18n::translate.
constexpr const char* kIdOutOfRangeMessage = N_("有効なIDの範囲を超えています。");

// Every character is a hexadecimal digit; the empty text is valid (it writes as 000000).
bool isValidIdText(std::string_view text);

// "%06X" of the text read as a hexadecimal number: "abc" gives "000ABC".
std::string idWriteText(std::string_view text);

// The put of the identification number, three items of the six-digit text.
codec::PutRequest idPut(std::string_view text);

// What the basic information page reads when it is first shown, in order: the controller's
// texts, ID, serial number, connected sensors and the first sensor's version text (the
// response-time base).
std::vector<PageRead> basicInformationReads();

}  // namespace qavix
