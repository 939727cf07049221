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
    for (const code::CodeRow& entry : code::table()) {
        if (entry.kind != code::Kind::Read || entry.pair == 0) {
            continue;
        }
        EXPECT_EQ(sim::pairedReadCode(entry.pair), entry.code) << entry.name;
    }
}

// The area a code's request lands in: a read's own, a put's through its pair.
const sim::AreaRow* emulatorArea(const code::CodeRow& entry) {
    const int readCode =
        entry.kind == code::Kind::Put ? sim::pairedReadCode(entry.code) : entry.code;
    return readCode != 0 ? sim::findArea(readCode) : nullptr;
}

// The first element a channel's request should select in the emulator's area.
int firstElementOf(const code::CodeRow& entry, int channel) {
    switch (entry.area) {
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
    for (const code::CodeRow& entry : code::table()) {
        if (!code::isPerChannel(entry)) {
            continue;
        }
        const sim::AreaRow* area = emulatorArea(entry);
        if (area == nullptr) {
            withoutArea.insert(entry.code);
            continue;
        }
        SCOPED_TRACE(std::string(entry.name) + " (" + std::to_string(entry.code) + ")");
        if (area->codec != sim::AreaCodec::Chars) {
            EXPECT_EQ(entry.bytes, area->elementBytes);
        }
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            for (int beams : {1, 9, 40, kMaxBeams}) {
                const code::Address at = code::channelAddress(entry, channel, beams);
                sim::ElementRange range;
                ASSERT_TRUE(sim::resolveRange(*area, at.start, at.count, range))
                    << "channel " << channel << ", " << beams << " beams";
                EXPECT_EQ(range.first, firstElementOf(entry, channel));
                const int expected = entry.area == code::Area::BeamValues  ? beams
                                     : entry.area == code::Area::BeamFlags ? flagByteCount(beams)
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
