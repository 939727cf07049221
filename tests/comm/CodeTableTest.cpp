// The program's code table against the emulator's own account of the controller: the same
// put/read pairs, and every per-channel request addressing that channel's own element of
// the area the emulator keeps for the code.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/ControllerCodes.h"
#include "sim/MemoryLayout.h"

namespace qavix::test {
namespace {

// Below the first put and past the last bank summary, so codes the table lacks are compared
// too: both sides must give them no pair.
constexpr int kFirstCodeCompared = -1;
constexpr int kLastCodeCompared = 320;

TEST(CodeTable, PutReadPairsAreTheEmulators) {
    int pairs = 0;
    for (int c = kFirstCodeCompared; c <= kLastCodeCompared; ++c) {
        EXPECT_EQ(code::readOfPut(c), sim::pairedReadCode(c)) << "code " << c;
        pairs += code::readOfPut(c) != 0 ? 1 : 0;
    }
    // Puts 1..45 less 27.
    EXPECT_EQ(pairs, 44);
}

TEST(CodeTable, EveryReadOfAPutPairsBack) {
    for (const code::CodeSpec& spec : code::table()) {
        if (spec.kind != code::Kind::Read || spec.pair == 0) {
            continue;
        }
        EXPECT_EQ(sim::pairedReadCode(spec.pair), spec.code) << spec.name;
    }
}

// The area a code's request lands in: a read's own, a put's through its pair.
const sim::AreaSpec* emulatorArea(const code::CodeSpec& spec) {
    const int readCode = spec.kind == code::Kind::Put ? sim::pairedReadCode(spec.code) : spec.code;
    return readCode != 0 ? sim::findArea(readCode) : nullptr;
}

// The first element a channel's request should select in the emulator's area.
int firstElementOf(const code::CodeSpec& spec, int channel) {
    switch (spec.area) {
        case code::Area::BeamFlags:
            return kMaxBeams / 8 * (channel - 1);
        case code::Area::BeamValues:
            return kMaxBeams * (channel - 1);
        default:
            return channel - 1;
    }
}

TEST(CodeTable, PerChannelRequestsAddressTheChannelsElements) {
    std::set<int> withoutArea;
    for (const code::CodeSpec& spec : code::table()) {
        if (!code::isPerChannel(spec)) {
            continue;
        }
        const sim::AreaSpec* area = emulatorArea(spec);
        if (area == nullptr) {
            withoutArea.insert(spec.code);
            continue;
        }
        SCOPED_TRACE(std::string(spec.name) + " (" + std::to_string(spec.code) + ")");
        if (area->codec != sim::AreaCodec::Chars) {
            EXPECT_EQ(spec.bytes, area->elementBytes);
        }
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            for (int beams : {1, 9, 40, kMaxBeams}) {
                const code::Address at = code::channelAddress(spec, channel, beams);
                sim::ElementRange range;
                ASSERT_TRUE(sim::resolveRange(*area, at.start, at.count, range))
                    << "channel " << channel << ", " << beams << " beams";
                EXPECT_EQ(range.first, firstElementOf(spec, channel));
                const int expected = spec.area == code::Area::BeamValues  ? beams
                                     : spec.area == code::Area::BeamFlags ? flagByteCount(beams)
                                                                          : 1;
                EXPECT_EQ(range.count, expected);
            }
        }
    }
    // Only the put nothing reads back and the live monitoring reads, which the emulator
    // computes instead of keeping.
    const std::set<int> expected = {code::kPutOnThAgain, 88, 89, 90, 91, 92, 93, 94};
    EXPECT_EQ(withoutArea, expected);
}

}  // namespace
}  // namespace qavix::test
