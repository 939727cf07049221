#include "PortSettings.h"

#include "Message.h"

namespace qavix::link {

namespace {

constexpr int kParityNone = 0;
constexpr int kParityOdd = 1;
constexpr int kParityEven = 2;
constexpr int kStopOne = 0;
constexpr int kStopTwo = 2;

}  // namespace

int PortSettings::bitsPerCharacter() const {
    return 1 + dataBits + (parity == Parity::None ? 0 : 1) + stopBits;
}

std::optional<PortSettings> portSettingsFromBlock(const int* block) {
    if (block == nullptr) {
        return std::nullopt;
    }
    PortSettings settings;
    settings.baud = block[kBlockBaud];
    settings.dataBits = block[kBlockByteSize];
    settings.unit = block[kBlockUnit];
    if (settings.baud <= 0 || (settings.dataBits != 7 && settings.dataBits != 8) ||
        settings.unit < 0 || settings.unit > kMaxUnit) {
        return std::nullopt;
    }
    switch (block[kBlockParity]) {
        case kParityNone:
            settings.parity = Parity::None;
            break;
        case kParityOdd:
            settings.parity = Parity::Odd;
            break;
        case kParityEven:
            settings.parity = Parity::Even;
            break;
        default:
            return std::nullopt;
    }
    switch (block[kBlockStopBits]) {
        case kStopOne:
            settings.stopBits = 1;
            break;
        case kStopTwo:
            settings.stopBits = 2;
            break;
        default:
            return std::nullopt;
    }
    return settings;
}

}  // namespace qavix::link
