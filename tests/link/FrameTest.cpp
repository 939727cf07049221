#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "Frame.h"

namespace qavix::link {
namespace {

std::vector<ReceivedFrame> scanAll(FrameScanner& scanner, const std::string& bytes) {
    std::vector<ReceivedFrame> frames;
    for (char byte : bytes) {
        if (auto frame = scanner.push(byte)) {
            frames.push_back(*frame);
        }
    }
    return frames;
}

TEST(Frame, CheckCharacterKnownValues) {
    // '0' + (sum mod 64): "ABC" sums to 198, 198 % 64 = 6.
    EXPECT_EQ(checkCharacter("ABC"), '6');
    EXPECT_EQ(checkCharacter(""), '0');
    EXPECT_EQ(checkCharacter("@"), '0');  // 64 wraps to 0
    EXPECT_EQ(checkCharacter("?"), 'o');  // 63, the highest check character
}

TEST(Frame, EncodeShowsAsStxPayloadEtxCheck) {
    EXPECT_EQ(encodeFrame("ABC"), std::string("\x02"
                                              "ABC\x03"
                                              "6"));
}

TEST(Frame, EncodeRefusesControlCharactersAndOverlongPayloads) {
    EXPECT_TRUE(encodeFrame(std::string("A\x03"
                                        "B"))
                    .empty());
    EXPECT_TRUE(encodeFrame(std::string("A\nB")).empty());
    EXPECT_TRUE(encodeFrame(std::string(kMaxPayload + 1, 'A')).empty());
    EXPECT_FALSE(encodeFrame(std::string(kMaxPayload, 'A')).empty());
    // Shift-JIS bytes are not control characters.
    EXPECT_FALSE(encodeFrame("\x83\x41\x82\xa0").empty());
}

TEST(Frame, ScannerRoundTripsAndKeepsRawBytes) {
    FrameScanner scanner;
    const std::string wire = encodeFrame("00148GC,48") + encodeFrame("x");
    const auto frames = scanAll(scanner, wire);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].payload, "00148GC,48");
    EXPECT_TRUE(frames[0].checkOk);
    EXPECT_EQ(frames[0].raw + frames[1].raw, wire);
    EXPECT_EQ(scanner.skippedBytes(), 0u);
}

struct ResyncCase {
    const char* name;
    std::string noise;  // sent before a good frame
};

void PrintTo(const ResyncCase& c, std::ostream* os) {
    *os << c.name;
}

class FrameResync : public ::testing::TestWithParam<ResyncCase> {};

TEST_P(FrameResync, GarbageBeforeAFrameIsSkipped) {
    FrameScanner scanner;
    const auto frames = scanAll(scanner, GetParam().noise + encodeFrame("PAYLOAD"));
    ASSERT_EQ(frames.size(), 1u) << GetParam().name;
    EXPECT_EQ(frames[0].payload, "PAYLOAD");
    EXPECT_TRUE(frames[0].checkOk);
    EXPECT_GT(scanner.skippedBytes(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Noise, FrameResync,
    ::testing::Values(ResyncCase{"text", "hello world"},
                      ResyncCase{"stray etx", std::string("ab\x03"
                                                          "c")},
                      ResyncCase{"partial frame", std::string("\x02"
                                                              "00148G")},
                      ResyncCase{"control inside frame", std::string("\x02"
                                                                     "AB\nCD\x03"
                                                                     "x")},
                      ResyncCase{"overlong frame", "\x02" + std::string(kMaxPayload + 10, 'A')},
                      ResyncCase{"binary", std::string("\xff\x00\x01\x7f", 4)}),
    [](const auto& testInfo) {
        std::string name = testInfo.param.name;
        for (char& c : name) {
            if (c == ' ') {
                c = '_';
            }
        }
        return name;
    });

TEST(Frame, WrongCheckCharacterIsReportedNotHidden) {
    FrameScanner scanner;
    std::string wire = encodeFrame("ABC");
    wire.back() = '7';
    const auto frames = scanAll(scanner, wire);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_FALSE(frames[0].checkOk);
    EXPECT_EQ(frames[0].raw, wire);
}

TEST(Frame, StxInPlaceOfTheCheckStartsTheNextFrame) {
    FrameScanner scanner;
    const std::string cut = std::string(
        "\x02"
        "AB\x03");
    const auto frames = scanAll(scanner, cut + encodeFrame("CD"));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].payload, "CD");
}

TEST(Frame, FrameSplitOverManyReadsIsAssembled) {
    FrameScanner scanner;
    const std::string wire = encodeFrame("0015GP,90,0,40");
    std::vector<ReceivedFrame> frames;
    for (char byte : wire) {
        auto part = scanAll(scanner, std::string(1, byte));
        frames.insert(frames.end(), part.begin(), part.end());
    }
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].payload, "0015GP,90,0,40");
}

}  // namespace
}  // namespace qavix::link
