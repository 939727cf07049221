#include "model/SerialNumber.h"

#include <algorithm>
#include <cstdio>

#include "model/HexText.h"

namespace qavix {

namespace {

constexpr int kFirstControllerErrorCode = 0xC0;

// Value of a piece; malformed or missing pieces count as 0 so that a damaged serial still
// shows something rather than failing the whole page. A piece cut short by the end of the
// text counts with the digits it has.
size_t available(std::string_view text, size_t pos, size_t len) {
    return pos < text.size() ? std::min(len, text.size() - pos) : 0;
}

long hexPiece(std::string_view text, size_t pos, size_t len) {
    return hex::readHex(text, pos, available(text, pos, len)).value_or(0);
}

long decimalPiece(std::string_view text, size_t pos, size_t len) {
    return hex::readDecimal(text, pos, available(text, pos, len)).value_or(0);
}

std::string monthPart(long month) {
    switch (month) {
        case 10:
            return "X";
        case 11:
            return "Y";
        case 12:
            return "Z";
        default:
            return std::to_string(month);
    }
}

std::string twoDigits(long value) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02ld", value);
    return buf;
}

std::string fourDigits(long value) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%04ld", value);
    return buf;
}

std::string_view lastFour(std::string_view s) {
    return s.size() > 4 ? s.substr(s.size() - 4) : s;
}

}  // namespace

std::string formatControllerSerial(std::string_view serial) {
    const std::string year = twoDigits(hexPiece(serial, 0, 2));
    const std::string month = monthPart(hexPiece(serial, 2, 2));
    const std::string number = fourDigits(hexPiece(lastFour(serial), 0, 4));
    return number + month + year;
}

std::string formatSensorSerial(std::string_view serial) {
    const std::string_view year = serial.substr(0, 2);
    const std::string month = monthPart(decimalPiece(serial, 2, 2));
    return std::string(lastFour(serial)) + month + std::string(year);
}

std::string formatErrorLogSerial(std::string_view serial, int errorCode) {
    if (serial.empty() || serial == "00000000") {
        return "---";
    }
    const std::string year = twoDigits(hexPiece(serial, 0, 2));
    const std::string month = monthPart(hexPiece(serial, 2, 2));
    const std::string number = errorCode >= kFirstControllerErrorCode
                                   ? fourDigits(hexPiece(lastFour(serial), 0, 4))
                                   : std::string(lastFour(serial));
    return number + month + year;
}

}  // namespace qavix
