// Several controllers on one line: each answers its own unit and keeps its own settings.

#include <gtest/gtest.h>

#include "sim/UnitBus.h"

namespace qavix::sim {
namespace {

constexpr int kStatusId = 48;
constexpr int kBank1Image = 150;
constexpr int kBank1Put = 42;
constexpr int kZeroPointsCh2 = 784;

Response send(UnitBus& bus, int unit, Op op, int id = 0, int start = 0, int count = 0,
              const std::string& text = {}) {
    Command c;
    c.op = op;
    c.unit = unit;
    c.id = id;
    c.start = start;
    c.count = count;
    c.text = text;
    return bus.execute(c);
}

TEST(UnitBus, EachUnitAnswersForItselfAndKeepsItsOwnSettings) {
    Options options;
    options.unit = 4;
    options.moreUnits = {7};
    std::string error;
    auto bus = UnitBus::create(options, error);
    ASSERT_NE(bus, nullptr) << error;
    ASSERT_EQ(bus->size(), 2u);
    EXPECT_EQ(bus->controller(0).unit(), 4);
    EXPECT_EQ(bus->controller(1).unit(), 7);

    EXPECT_TRUE(send(*bus, 4, Op::GetControl, kStatusId).ok());
    EXPECT_TRUE(send(*bus, 7, Op::GetControl, kStatusId).ok());
    // Nobody on the line has unit 5: no answer.
    EXPECT_EQ(send(*bus, 5, Op::GetControl, kStatusId).error, kBadUnit);

    // A bank written on unit 7 changes unit 7 only.
    const std::string before = send(*bus, 4, Op::GetParameter, kBank1Image, kZeroPointsCh2, 4).text;
    ASSERT_EQ(send(*bus, 7, Op::StartSetting).error, kOk);
    ASSERT_EQ(send(*bus, 7, Op::PutParameter, kBank1Put, kZeroPointsCh2, 4, "0A0B0C0D").error, kOk);
    EXPECT_EQ(send(*bus, 7, Op::GetParameter, kBank1Image, kZeroPointsCh2, 4).text, "0A0B0C0D");
    EXPECT_EQ(send(*bus, 4, Op::GetParameter, kBank1Image, kZeroPointsCh2, 4).text, before);
    EXPECT_EQ(bus->controller(1).state(), kStateSetting);
    EXPECT_EQ(bus->controller(0).state(), kStateNormal);
}

TEST(UnitBus, AUnitGivenTwiceIsRefused) {
    Options options;
    options.unit = 2;
    options.moreUnits = {3, 2};
    std::string error;
    EXPECT_EQ(UnitBus::create(options, error), nullptr);
    EXPECT_NE(error.find("unit 2"), std::string::npos) << error;
}

}  // namespace
}  // namespace qavix::sim
