#include "comm/PortEnumeration.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>

namespace qavix {
namespace {

class PortEnumerationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int n = 1; n <= kPortCount; ++n) {
            const std::string name = "QAVLINK_COM" + std::to_string(n);
            // An empty value keeps real serial devices of the test machine out of the result.
            setenv(name.c_str(), "/nonexistent/qavix-test-device", 1);
        }
    }
    void TearDown() override {
        for (int n = 1; n <= kPortCount; ++n) {
            unsetenv(("QAVLINK_COM" + std::to_string(n)).c_str());
        }
    }
};

TEST_F(PortEnumerationTest, EmulatorAndExistingDevicesArePresent) {
    setenv("QAVLINK_COM1", "sim", 1);
    setenv("QAVLINK_COM3", "sim:--sensors 40", 1);
    setenv("QAVLINK_COM5", "/dev/null", 1);
    const PresentPorts ports = enumeratePorts("/nonexistent/Qavix.ini");
    EXPECT_EQ(ports, (PresentPorts{true, false, true, false, true, false}));
    EXPECT_TRUE(anyPortPresent(ports));
}

TEST_F(PortEnumerationTest, NothingConfiguredOrFoundMeansNoPort) {
    EXPECT_FALSE(anyPortPresent(enumeratePorts("/nonexistent/Qavix.ini")));
}

}  // namespace
}  // namespace qavix
