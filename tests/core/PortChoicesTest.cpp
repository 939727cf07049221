#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TempDir.h"
#include "comm/PortChoices.h"

namespace qavix {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> values(const std::vector<PortChoice>& choices) {
    std::vector<std::string> v;
    for (const auto& c : choices) {
        v.push_back(c.value);
    }
    return v;
}

TEST(PortChoices, AutomaticDevicesEmulatorAndAnUnlistedCurrentValue) {
    const std::vector<std::string> devices{"/dev/ttyUSB0", "/dev/ttyS0"};
    EXPECT_EQ(values(portChoices(devices, "")),
              (std::vector<std::string>{"", "/dev/ttyUSB0", "/dev/ttyS0", "sim"}));
    EXPECT_EQ(values(portChoices(devices, "/dev/ttyS0")),
              (std::vector<std::string>{"", "/dev/ttyUSB0", "/dev/ttyS0", "sim"}));
    // A value the machine does not list (a pty of qavix-sim, emulator options) stays
    // choosable, so opening the dialog never loses it.
    EXPECT_EQ(values(portChoices(devices, "/dev/pts/7")),
              (std::vector<std::string>{"", "/dev/ttyUSB0", "/dev/ttyS0", "sim", "/dev/pts/7"}));
    const auto withOptions = portChoices({}, "sim:--sensors 40");
    ASSERT_EQ(withOptions.size(), 3u);
    EXPECT_EQ(withOptions.back().value, "sim:--sensors 40");
    EXPECT_NE(withOptions.back().label.find(kEmulatorLabel), std::string::npos);
}

TEST(PortChoices, WhatAPortLeadsToAndWhatATryOpens) {
    const std::vector<std::string> devices{"/dev/ttyUSB0", "/dev/ttyACM0"};
    EXPECT_EQ(openNameFor(2, "", devices), "/dev/ttyACM0");
    EXPECT_EQ(openNameFor(3, "", devices), "");
    EXPECT_EQ(openNameFor(3, "sim", devices), "sim");
    EXPECT_EQ(openNameFor(1, "/dev/pts/3", devices), "/dev/pts/3");
    EXPECT_EQ(targetLabel(1, "", devices), "/dev/ttyUSB0");
    EXPECT_EQ(targetLabel(3, "", devices), "");
    EXPECT_EQ(targetLabel(5, "sim:--unit 2", devices), kEmulatorLabel);
}

TEST(PortChoices, LinksAreShownWithTheNodeTheyLeadTo) {
    test::TempDir dir;
    const fs::path node = dir.path() / "ttyUSB3";
    std::ofstream(node) << "";
    const fs::path byId = dir.path() / "usb-FTDI_FT232R_A1-if00-port0";
    fs::create_symlink(node, byId);
    EXPECT_EQ(deviceLabel(byId.string()), byId.string() + " (ttyUSB3)");
    EXPECT_EQ(deviceLabel(node.string()), node.string());
    EXPECT_EQ(deviceLabel("/dev/no-such-node"), "/dev/no-such-node");
}

TEST(PortChoices, EnvironmentWinsAndIsReported) {
    ::unsetenv("QAVLINK_COM6");
    EXPECT_FALSE(environmentMapping(6));
    ::setenv("QAVLINK_COM6", "sim", 1);
    EXPECT_EQ(environmentMapping(6), "sim");
    ::unsetenv("QAVLINK_COM6");
}

}  // namespace
}  // namespace qavix
