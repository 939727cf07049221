#include <gtest/gtest.h>

#include "sim/Options.h"

namespace qavix::sim {
namespace {

TEST(Options, ParsesText) {
    Options o;
    std::string error;
    ASSERT_TRUE(parseOptionText("sim:--sensors 40,32,128 --unit 2", o, error)) << error;
    EXPECT_EQ(o.beams, (std::vector<int>{40, 32, 128}));
    EXPECT_EQ(o.unit, 2);
}

}  // namespace
}  // namespace qavix::sim
