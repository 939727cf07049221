// The code table's rows agree with each other: a put and its read carry the same field in
// the same layout, since the codec applies an offline put with its read's decoder.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/Codec.h"
#include "model/ControllerCodes.h"

namespace qavix {
namespace {

using code::CodeRow;
using code::Kind;

TEST(ControllerCodes, APutAndItsReadCarryTheSameField) {
    int pairs = 0;
    for (const CodeRow& put : code::table()) {
        if (put.kind != Kind::Put || put.pair == 0) {
            continue;
        }
        SCOPED_TRACE(std::string(put.name) + " (" + std::to_string(put.code) + ")");
        const CodeRow* read = code::find(put.pair);
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
    for (const CodeRow& entry : code::table()) {
        EXPECT_TRUE(codes.insert(entry.code).second) << entry.code;
        // A put and its read share a name; 27 repeats ON_TH.
        if (entry.code != code::kPutOnThAgain) {
            auto& names = entry.kind == Kind::Put ? puts : reads;
            EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
        }
        EXPECT_EQ(code::find(entry.code), &entry);
    }
    EXPECT_EQ(code::find(0), nullptr);
    EXPECT_EQ(code::find(48), nullptr);  // the status, not a parameter
    EXPECT_EQ(code::find(154), nullptr);
}

// The codec takes its pairs from the table; a put the table marks per-channel needs a
// channel, every other put ignores it.
TEST(ControllerCodes, TheCodecFollowsTheTablesAreas) {
    for (const CodeRow& entry : code::table()) {
        if (entry.kind != Kind::Put || entry.area == code::Area::BankImage) {
            continue;
        }
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(codec::pairedReadCode(entry.code), entry.pair);
        SettingsData set;
        set.channel(1).beamCount = 20;
        const codec::PutRequest withoutChannel = codec::encodePut(entry.code, 0, set);
        const codec::PutRequest onChannel2 = codec::encodePut(entry.code, 2, set);
        EXPECT_EQ(onChannel2.code, entry.code);
        if (code::isPerChannel(entry)) {
            EXPECT_EQ(withoutChannel.code, 0);
            const code::Address at = code::channelAddress(entry, 2, 20);
            EXPECT_EQ(onChannel2.start, at.start);
            EXPECT_EQ(onChannel2.count, at.count);
        } else {
            EXPECT_EQ(withoutChannel.code, entry.code);
            EXPECT_EQ(onChannel2.channel, 0);
        }
    }
}

}  // namespace
}  // namespace qavix
