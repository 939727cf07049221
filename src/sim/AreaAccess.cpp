#include "sim/AreaAccess.h"

#include <stdexcept>
#include <vector>

#include "sim/HexText.h"

namespace qavix::sim {

namespace {

constexpr int kBitTrue = 1;

const AreaRow& areaOf(int code) {
    const AreaRow* area = findArea(code);
    if (area == nullptr) {
        throw std::logic_error("no area " + std::to_string(code));
    }
    return *area;
}

std::uint8_t& byteAt(SetMemory& memory, const AreaRow& area, int element, int byte) {
    return memory.at(static_cast<size_t>(area.address(element, byte)));
}

std::uint8_t byteAt(const SetMemory& memory, const AreaRow& area, int element, int byte) {
    return memory.at(static_cast<size_t>(area.address(element, byte)));
}

}  // namespace

std::string readElements(const SetMemory& memory, const AreaRow& area, ElementRange range) {
    std::string out;
    for (int e = range.first; e < range.first + range.count; ++e) {
        if (area.codec == AreaCodec::Chars) {
            for (int k = 0; k < area.elementBytes; ++k) {
                out += static_cast<char>(byteAt(memory, area, e, k));
            }
        } else if (area.codec == AreaCodec::Bit) {
            out += hexByte((byteAt(memory, area, e, 0) >> area.bit) & 1);
        } else {
            for (int k = 0; k < area.elementBytes; ++k) {
                out += hexByte(byteAt(memory, area, e, k));
            }
        }
    }
    return out;
}

int writeElements(SetMemory& memory, const AreaRow& area, ElementRange range,
                  std::string_view text) {
    if (text.size() != static_cast<size_t>(range.count * area.textPerElement())) {
        return kBadData;
    }
    if (area.codec == AreaCodec::Chars) {
        size_t i = 0;
        for (int e = range.first; e < range.first + range.count; ++e) {
            for (int k = 0; k < area.elementBytes; ++k) {
                byteAt(memory, area, e, k) = static_cast<std::uint8_t>(text[i++]);
            }
        }
        return kOk;
    }
    std::vector<std::uint8_t> bytes;
    if (!fromHex(text, bytes) || (area.codec == AreaCodec::Decimal && !isDecimalDigits(text))) {
        return kBadData;
    }
    if (area.codec == AreaCodec::Bit) {
        for (std::uint8_t b : bytes) {
            if (b > kBitTrue) {
                return kBadData;
            }
        }
    }
    size_t i = 0;
    for (int e = range.first; e < range.first + range.count; ++e) {
        if (area.codec == AreaCodec::Bit) {
            setElementValue(memory, area, e, bytes[i++]);
            continue;
        }
        for (int k = 0; k < area.elementBytes; ++k) {
            byteAt(memory, area, e, k) = bytes[i++];
        }
    }
    return kOk;
}

std::string readText(const SetMemory& memory, const AreaRow& area, int element) {
    return readElements(memory, area, {element, 1});
}

int writeText(SetMemory& memory, const AreaRow& area, int element, std::string_view text) {
    if (text.size() > static_cast<size_t>(area.elementBytes)) {
        return kBadData;
    }
    std::string padded(text);
    padded.resize(static_cast<size_t>(area.elementBytes), ' ');
    return writeElements(memory, area, {element, 1}, padded);
}

int elementValue(const SetMemory& memory, const AreaRow& area, int element) {
    const int byte = byteAt(memory, area, element, 0);
    return area.codec == AreaCodec::Bit ? (byte >> area.bit) & 1 : byte;
}

void setElementValue(SetMemory& memory, const AreaRow& area, int element, int value) {
    std::uint8_t& byte = byteAt(memory, area, element, 0);
    if (area.codec == AreaCodec::Bit) {
        const auto mask = static_cast<std::uint8_t>(1u << area.bit);
        byte = static_cast<std::uint8_t>(value != 0 ? (byte | mask) : (byte & ~mask));
    } else {
        byte = static_cast<std::uint8_t>(value);
    }
}

int valueOf(const SetMemory& memory, int code, int element) {
    return elementValue(memory, areaOf(code), element);
}

void setValue(SetMemory& memory, int code, int element, int value) {
    setElementValue(memory, areaOf(code), element, value);
}

void setHex(SetMemory& memory, int code, int element, std::string_view hex) {
    const AreaRow& area = areaOf(code);
    const int count = static_cast<int>(hex.size()) / area.textPerElement();
    if (writeElements(memory, area, {element, count}, hex) != kOk) {
        throw std::logic_error("bad text for area " + std::to_string(code));
    }
}

void setText(SetMemory& memory, int code, int element, std::string_view text) {
    if (writeText(memory, areaOf(code), element, text) != kOk) {
        throw std::logic_error("text too long for area " + std::to_string(code));
    }
}

}  // namespace qavix::sim
