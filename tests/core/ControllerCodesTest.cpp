// The code table's rows agree with each other: a put and its read carry the same field in
// the same layout, since the codec applies an offline put with its read's decoder.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/Codec.h"
#include "model/ControllerCodes.h"

namespace qavix {
namespace {

using code::CodeSpec;
using code::Kind;

TEST(ControllerCodes, APutAndItsReadCarryTheSameField) {
    int pairs = 0;
    for (const CodeSpec& put : code::table()) {
        if (put.kind != Kind::Put || put.pair == 0) {
            continue;
        }
        SCOPED_TRACE(std::string(put.name) + " (" + std::to_string(put.code) + ")");
        const CodeSpec* read = code::find(put.pair);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->kind, Kind::Read);
        EXPECT_EQ(read->pair, put.code);
        EXPECT_EQ(read->area, put.area);
        EXPECT_EQ(read->bytes, put.bytes);
        EXPECT_EQ(read->beams, put.beams);
        // The reads paired with 14 and 15 change nothing: their puts send a word no read
        // fills.
        if (read->value != nullptr) {
            EXPECT_EQ(read->value, put.value);
        }
        ++pairs;
    }
    EXPECT_EQ(pairs, 44);
}

TEST(ControllerCodes, NamesAndCodesAreUnique) {
    std::set<int> codes;
    std::set<std::string> reads;
    std::set<std::string> puts;
    for (const CodeSpec& spec : code::table()) {
        EXPECT_TRUE(codes.insert(spec.code).second) << spec.code;
        // A put and its read share a name; 27 repeats ON_TH.
        if (spec.code != code::kPutOnThAgain) {
            auto& names = spec.kind == Kind::Put ? puts : reads;
            EXPECT_TRUE(names.insert(spec.name).second) << spec.name;
        }
        EXPECT_EQ(code::find(spec.code), &spec);
    }
    EXPECT_EQ(code::find(0), nullptr);
    EXPECT_EQ(code::find(48), nullptr);  // the status, not a parameter
    EXPECT_EQ(code::find(154), nullptr);
}

// The codec takes its pairs from the table; a put the table marks per-channel needs a
// channel, every other put ignores it.
TEST(ControllerCodes, TheCodecFollowsTheTablesAreas) {
    for (const CodeSpec& spec : code::table()) {
        if (spec.kind != Kind::Put || spec.area == code::Area::BankImage) {
            continue;
        }
        SCOPED_TRACE(spec.name);
        EXPECT_EQ(codec::pairedReadCode(spec.code), spec.pair);
        SettingsData set;
        set.channel(1).beamCount = 20;
        const codec::PutRequest withoutChannel = codec::encodePut(spec.code, 0, set);
        const codec::PutRequest onChannel2 = codec::encodePut(spec.code, 2, set);
        EXPECT_EQ(onChannel2.code, spec.code);
        if (code::isPerChannel(spec)) {
            EXPECT_EQ(withoutChannel.code, 0);
            const code::Address at = code::channelAddress(spec, 2, 20);
            EXPECT_EQ(onChannel2.start, at.start);
            EXPECT_EQ(onChannel2.count, at.count);
        } else {
            EXPECT_EQ(withoutChannel.code, spec.code);
            EXPECT_EQ(onChannel2.channel, 0);
        }
    }
}

}  // namespace
}  // namespace qavix
