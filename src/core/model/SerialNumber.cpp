#include "model/SerialNumber.h"

#include <cstdio>

namespace qavix {

namespace {

constexpr int kFirstControllerErrorCode = 0xC0;

// Hexadecimal value of a piece; malformed or missing pieces count as 0 so that a
// damaged serial still shows something rather than failing the whole page.
long hexPiece(std::string_view text, size_t pos, size_t len) {
    if (pos >= text.size()) {
        return 0;
    }
    long value = 0;
    for (char c : text.substr(pos, len)) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        }
        if (digit < 0) {
            return 0;
        }
        value = value * 16 + digit;
    }
    return value;
}

// Decimal value of a piece, with the same tolerance as hexPiece.
long decimalPiece(std::string_view text, size_t pos, size_t len) {
    if (pos >= text.size()) {
        return 0;
    }
    long value = 0;
    for (char c : text.substr(pos, len)) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + (c - '0');
    }
    return value;
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
