// The bank image: eleven sub-blocks described as one table of fields, so that encoding a
// sub-block and decoding any piece of the image (a whole sub-block or a bank summary) use
// the same offsets.

#include <algorithm>
#include <functional>
#include <vector>

#include "model/Codec.h"
#include "model/CodecDetail.h"
#include "model/HexText.h"

namespace qavix::codec {

namespace {

using IntRef = std::function<int32_t&(SettingsData&)>;
using Encode = std::function<std::string(SettingsData&)>;
using Decode = std::function<bool(std::string_view, SettingsData&)>;

struct ImageField {
    int offset;  // byte in the bank image
    int bytes;
    Encode encode;
    Decode decode;  // gets exactly 2 * bytes characters
};

constexpr int kChannelBlockSize = 64;
constexpr int kGeneralStart = 192;
constexpr int kThresholdStart = 272;
constexpr int kZeroStart = 656;
constexpr int kBeamBlockSize = 128;
constexpr int kExtendedStart = 1040;
constexpr int kTypeLength = 20;
constexpr int kSoftwareVersionLength = 5;
constexpr char kVersionPrefix[] = "VER";
constexpr int32_t kMaxJointNum = kChannelCount;

ImageField hexByteField(int offset, IntRef ref) {
    return {offset, 1, [ref](SettingsData& s) { return hex::byteHex(ref(s)); },
            [ref](std::string_view piece, SettingsData& s) {
                const auto v = hex::readHex(piece, 0, 2);
                if (v) {
                    ref(s) = *v;
                }
                return v.has_value();
            }};
}

ImageField hexWordField(int offset, IntRef ref) {
    return {offset, 2, [ref](SettingsData& s) { return hex::wordHex(ref(s)); },
            [ref](std::string_view piece, SettingsData& s) {
                const auto v = hex::readHex(piece, 0, 4);
                if (v) {
                    ref(s) = *v;
                }
                return v.has_value();
            }};
}

ImageField decimalByteField(int offset, IntRef ref, int32_t maxValue = 99) {
    return {offset, 1, [ref](SettingsData& s) { return hex::decimal2(ref(s)); },
            [ref, maxValue](std::string_view piece, SettingsData& s) {
                const auto v = hex::readDecimal(piece, 0, 2);
                if (!v || *v > maxValue) {
                    return false;
                }
                ref(s) = *v;
                return true;
            }};
}

ImageField fillerField(int offset, int bytes) {
    return {offset, bytes, [bytes](SettingsData&) { return std::string(2 * bytes, '0'); },
            [](std::string_view piece, SettingsData&) {
                for (size_t pos = 0; pos < piece.size(); pos += 2) {
                    if (!hex::readHex(piece, pos, 2)) {
                        return false;
                    }
                }
                return true;
            }};
}

// A four-character code carried as its own characters in two bytes.
ImageField codeTextField(int offset, std::function<std::string&(SettingsData&)> ref) {
    return {offset, 2, [ref](SettingsData& s) { return detail::codeText(ref(s)); },
            [ref](std::string_view piece, SettingsData& s) {
                if (!hex::isPlainText(piece)) {
                    return false;
                }
                ref(s) = std::string(piece);
                return true;
            }};
}

ImageField flagField(int offset, std::function<BeamTable&(SettingsData&)> ref) {
    return {offset, detail::kFlagBytesPerChannel,
            [ref](SettingsData& s) {
                return detail::encodeFlags(ref(s), 0, detail::kFlagBytesPerChannel);
            },
            [ref](std::string_view piece, SettingsData& s) {
                return detail::decodeFlags(piece, 0, ref(s));
            }};
}

ImageField beamField(int offset, std::function<BeamTable&(SettingsData&)> ref, int32_t zeroAs) {
    return {offset, kBeamBlockSize,
            [ref, zeroAs](SettingsData& s) {
                return detail::encodeBeams(ref(s), 0, kMaxBeams, 2, zeroAs);
            },
            [ref](std::string_view piece, SettingsData& s) {
                return detail::decodeBeams(piece, 0, 2, ref(s));
            }};
}

void addChannelIdentity(std::vector<ImageField>& f, int base, int c) {
    f.push_back({base, 1, [c](SettingsData& s) { return hex::byteHex(s.channel(c).beamCount); },
                 [c](std::string_view piece, SettingsData& s) {
                     // Every per-beam loop runs to this count over 128-entry tables.
                     const auto v = hex::readHex(piece, 0, 2);
                     if (!v || *v > kMaxBeams) {
                         return false;
                     }
                     s.channel(c).beamCount = *v;
                     return true;
                 }});
    f.push_back({base + 1, 1, [c](SettingsData& s) { return hex::byteHex(s.channel(c).type2); },
                 [c](std::string_view piece, SettingsData& s) {
                     const auto v = hex::readHex(piece, 0, 2);
                     if (v) {
                         s.channel(c).type2 = *v;
                         s.channel(c).pitchText = pitchText(*v);
                     }
                     return v.has_value();
                 }});
    f.push_back(
        hexByteField(base + 2, [c](SettingsData& s) -> int32_t& { return s.channel(c).type3; }));
    f.push_back(fillerField(base + 3, 1));
    f.push_back(codeTextField(base + 4,
                              [c](SettingsData& s) -> std::string& { return s.channel(c).verR; }));
    f.push_back(codeTextField(base + 6,
                              [c](SettingsData& s) -> std::string& { return s.channel(c).verE; }));
    f.push_back(
        flagField(base + 8, [c](SettingsData& s) -> BeamTable& { return s.channel(c).fixAxis; }));
    f.push_back(
        flagField(base + 24, [c](SettingsData& s) -> BeamTable& { return s.channel(c).setAxis; }));
}

void addChannelSettings(std::vector<ImageField>& f, int base, int c) {
    // ON_TH and OFF_TH form one field: the difference between them is the ON/OFF
    // difference the encoder derived OFF_TH from, and a bank carries it nowhere else.
    f.push_back({base + 40, 2,
                 [c](SettingsData& s) {
                     return hex::byteHex(s.channel(c).onTh) + hex::byteHex(s.channel(c).offTh);
                 },
                 [c](std::string_view piece, SettingsData& s) {
                     const auto on = hex::readHex(piece, 0, 2);
                     const auto off = hex::readHex(piece, 2, 2);
                     if (!on || !off) {
                         return false;
                     }
                     ChannelRecord& ch = s.channel(c);
                     ch.onTh = *on;
                     ch.offTh = *off;
                     ch.onOffDiff = *on - *off;
                     return true;
                 }});
    // The switches are sent in FUNCTION and FLO_CONF, so a bank's switches are read back
    // from there: a selected bank has no other source for them.
    f.push_back(
        {base + 42, 1,
         [c](SettingsData& s) { return hex::byteHex(detail::functionAsSent(s.channel(c))); },
         [c](std::string_view piece, SettingsData& s) {
             const auto v = hex::readHex(piece, 0, 2);
             if (v) {
                 ChannelRecord& ch = s.channel(c);
                 ch.function = *v;
                 ch.functionBit1 = (*v & detail::kFunctionBit1) != 0 ? 1 : 0;
                 ch.functionBit2 = (*v & detail::kFunctionBit2) != 0 ? 1 : 0;
             }
             return v.has_value();
         }});
    f.push_back(
        hexByteField(base + 43, [c](SettingsData& s) -> int32_t& { return s.channel(c).fixConf; }));
    f.push_back({base + 44, 1,
                 [c](SettingsData& s) { return hex::byteHex(detail::floConfAsSent(s.channel(c))); },
                 [c](std::string_view piece, SettingsData& s) {
                     const auto v = hex::readHex(piece, 0, 2);
                     if (v) {
                         ChannelRecord& ch = s.channel(c);
                         ch.floConf = *v;
                         ch.floConfBit4 = (*v & detail::kFloConfBit4) != 0 ? 1 : 0;
                         ch.floConfBit5 = (*v & detail::kFloConfBit5) != 0 ? 1 : 0;
                     }
                     return v.has_value();
                 }});
    f.push_back(fillerField(base + 45, 3));
    f.push_back(hexWordField(base + 48,
                             [c](SettingsData& s) -> int32_t& { return s.channel(c).timeConf; }));
    f.push_back(hexByteField(base + 50,
                             [c](SettingsData& s) -> int32_t& { return s.channel(c).countConf; }));
    f.push_back(
        hexByteField(base + 51, [c](SettingsData& s) -> int32_t& { return s.channel(c).subConf; }));
    f.push_back(
        hexByteField(base + 52, [c](SettingsData& s) -> int32_t& { return s.channel(c).almConf; }));
    f.push_back(fillerField(base + 53, kChannelBlockSize - 53));
}

void addGeneral(std::vector<ImageField>& f) {
    const int base = kGeneralStart;
    f.push_back({base, kTypeLength,
                 [](SettingsData& s) { return hex::charCodes(s.general.type, kTypeLength); },
                 [](std::string_view piece, SettingsData& s) {
                     auto text = hex::fromCharCodes(piece);
                     if (text) {
                         s.general.type = std::move(*text);
                     }
                     return text.has_value();
                 }});
    f.push_back({base + 20, kSoftwareVersionLength,
                 [](SettingsData& s) {
                     return hex::charCodes(s.general.softwareVersion(), kSoftwareVersionLength);
                 },
                 [](std::string_view piece, SettingsData& s) {
                     auto text = hex::fromCharCodes(piece);
                     if (text) {
                         s.general.versionText = kVersionPrefix + *text;
                     }
                     return text.has_value();
                 }});
    f.push_back(fillerField(base + 25, 3));
    // Loops over channels run to JOINT_NUM, so a larger value is not taken.
    f.push_back(decimalByteField(
        base + kGeneralJointNumOffset,
        [](SettingsData& s) -> int32_t& { return s.general.jointNum; }, kMaxJointNum));
    f.push_back(
        hexByteField(base + 29, [](SettingsData& s) -> int32_t& { return s.general.tchCnf; }));
    f.push_back(fillerField(base + 30, 2));
    for (size_t i = 0; i < kPioCount; ++i) {
        f.push_back(
            codeTextField(base + 32 + 2 * static_cast<int>(i),
                          [i](SettingsData& s) -> std::string& { return s.general.pio[i]; }));
    }
    for (size_t i = 0; i < kPioCount; ++i) {
        f.push_back(
            decimalByteField(base + 64 + static_cast<int>(i),
                             [i](SettingsData& s) -> int32_t& { return s.general.pioInv[i]; }));
    }
}

void addExtended(std::vector<ImageField>& f) {
    int offset = kExtendedStart;
    auto byte = [&f, &offset](IntRef ref) { f.push_back(hexByteField(offset++, std::move(ref))); };
    auto word = [&f, &offset](IntRef ref) {
        f.push_back(hexWordField(offset, std::move(ref)));
        offset += 2;
    };
    for (int c = 0; c < kChannelCount; ++c) {
        byte([c](SettingsData& s) -> int32_t& { return s.channel(c).hys; });
    }
    for (int c = 0; c < kChannelCount; ++c) {
        byte([c](SettingsData& s) -> int32_t& { return s.channel(c).thCnf; });
    }
    for (size_t i = 0; i < kChannelCount; ++i) {
        byte([i](SettingsData& s) -> int32_t& { return s.general.fixCnf[i]; });
    }
    byte([](SettingsData& s) -> int32_t& { return s.general.allOnOffCnf; });
    for (size_t i = 0; i < kChannelCount; ++i) {
        word([i](SettingsData& s) -> int32_t& { return s.general.allOn[i]; });
    }
    for (size_t i = 0; i < kChannelCount; ++i) {
        word([i](SettingsData& s) -> int32_t& { return s.general.allOff[i]; });
    }
    byte([](SettingsData& s) -> int32_t& { return s.general.paraCnf; });
    for (size_t i = 0; i < 2; ++i) {
        byte([i](SettingsData& s) -> int32_t& { return s.general.paraType[i]; });
    }
    for (size_t i = 0; i < 2; ++i) {
        byte([i](SettingsData& s) -> int32_t& { return s.general.paraRes[i]; });
    }
    for (size_t i = 0; i < 2; ++i) {
        byte([i](SettingsData& s) -> int32_t& { return s.general.paraUnit[i]; });
    }
    byte([](SettingsData& s) -> int32_t& { return s.general.grpCnf; });
    for (size_t i = 0; i < kGroupTableSize; ++i) {
        byte([i](SettingsData& s) -> int32_t& { return s.general.grpUp[i]; });
    }
    for (size_t i = 0; i < kGroupTableSize; ++i) {
        byte([i](SettingsData& s) -> int32_t& { return s.general.grpLow[i]; });
    }
}

std::vector<ImageField> buildFields() {
    std::vector<ImageField> f;
    for (int c = 0; c < kChannelCount; ++c) {
        addChannelIdentity(f, kChannelBlockSize * c, c);
        addChannelSettings(f, kChannelBlockSize * c, c);
    }
    addGeneral(f);
    for (int c = 0; c < kChannelCount; ++c) {
        f.push_back(beamField(
            kThresholdStart + kBeamBlockSize * c,
            [c](SettingsData& s) -> BeamTable& { return s.channel(c).axisTh; }, kMinOnThreshold));
    }
    for (int c = 0; c < kChannelCount; ++c) {
        f.push_back(beamField(
            kZeroStart + kBeamBlockSize * c,
            [c](SettingsData& s) -> BeamTable& { return s.channel(c).zero; }, kDefaultZeroPoint));
    }
    addExtended(f);
    return f;
}

const std::vector<ImageField>& imageFields() {
    static const std::vector<ImageField> fields = buildFields();
    return fields;
}

bool isChannelBlock(int subBlock) {
    return subBlock >= kSubChannel1 && subBlock <= kSubChannel3;
}

}  // namespace

SubBlockLayout subBlockLayout(int subBlock) {
    switch (subBlock) {
        case kSubChannel1:
        case kSubChannel2:
        case kSubChannel3:
            return {kChannelBlockSize * (subBlock - kSubChannel1), kChannelBlockSize};
        case kSubGeneral:
            return {kGeneralStart, kThresholdStart - kGeneralStart};
        case kSubThreshold1:
        case kSubThreshold2:
        case kSubThreshold3:
            return {kThresholdStart + kBeamBlockSize * (subBlock - kSubThreshold1), kBeamBlockSize};
        case kSubZero1:
        case kSubZero2:
        case kSubZero3:
            return {kZeroStart + kBeamBlockSize * (subBlock - kSubZero1), kBeamBlockSize};
        case kSubExtended:
            return {kExtendedStart, kBankImageSize - kExtendedStart};
        default:
            return {0, 0};
    }
}

std::string encodeSubBlock(int subBlock, SettingsData& set) {
    const SubBlockLayout layout = subBlockLayout(subBlock);
    if (layout.count == 0) {
        return {};
    }
    if (isChannelBlock(subBlock)) {
        detail::normaliseThresholds(set.channel(subBlock - kSubChannel1));
    }
    std::string text;
    text.reserve(static_cast<size_t>(2 * layout.count));
    for (const ImageField& field : imageFields()) {
        if (field.offset >= layout.start && field.offset < layout.start + layout.count) {
            text += field.encode(set);
        }
    }
    return text;
}

DecodeResult decodeBankImage(int start, std::string_view text, SettingsData& set) {
    if (start < 0 || start > kBankImageSize || text.size() % 2 != 0 ||
        text.size() / 2 > static_cast<size_t>(kBankImageSize - start)) {
        return DecodeResult::Malformed;
    }
    const int end = start + static_cast<int>(text.size() / 2);
    SettingsData result = set;
    for (const ImageField& field : imageFields()) {
        if (field.offset < start || field.offset + field.bytes > end) {
            continue;
        }
        const auto pos = static_cast<size_t>(2 * (field.offset - start));
        if (!field.decode(text.substr(pos, static_cast<size_t>(2 * field.bytes)), result)) {
            return DecodeResult::Malformed;
        }
    }
    set = std::move(result);
    return DecodeResult::Ok;
}

}  // namespace qavix::codec
