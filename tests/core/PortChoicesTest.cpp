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

TEST(PortChoices, AutomaticDevicesEmulatorNetworkAndAnUnlistedCurrentValue) {
    const std::vector<std::string> devices{"/dev/ttyUSB0", "/dev/ttyS0"};
    EXPECT_EQ(values(portChoices(devices, "")),
              (std::vector<std::string>{"", "/dev/ttyUSB0", "/dev/ttyS0", "sim", "net:"}));
    EXPECT_EQ(values(portChoices(devices, "/dev/ttyS0")),
              (std::vector<std::string>{"", "/dev/ttyUSB0", "/dev/ttyS0", "sim", "net:"}));
    // A value the machine does not list (a pty of qavix-sim, emulator options) stays
    // choosable, so opening the dialog never loses it.
    EXPECT_EQ(
        values(portChoices(devices, "/dev/pts/7")),
        (std::vector<std::string>{"", "/dev/ttyUSB0", "/dev/ttyS0", "sim", "net:", "/dev/pts/7"}));
    // A network value is the network choice itself, malformed or not.
    EXPECT_EQ(values(portChoices({}, "rfc2217:plc-line3:4001")),
              (std::vector<std::string>{"", "sim", "rfc2217:plc-line3:4001"}));
    EXPECT_EQ(values(portChoices({}, "tcp:plc")), (std::vector<std::string>{"", "sim", "tcp:plc"}));
    const auto withOptions = portChoices({}, "sim:--sensors 40");
    ASSERT_EQ(withOptions.size(), 4u);
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
    EXPECT_EQ(targetLabel(4, "rfc2217:plc-line3:4001", devices), "rfc2217:plc-line3:4001");
    EXPECT_EQ(openNameFor(4, "tcp:10.0.0.7:4001", devices), "tcp:10.0.0.7:4001");
}

TEST(PortChoices, NetworkFieldsGiveAValueOnlyWhenTheyNameOneHostAndPort) {
    struct Case {
        NetworkFields fields;
        const char* value;  // empty: refused
    };
    const Case cases[] = {
        {{"plc-line3", "4001", true}, "rfc2217:plc-line3:4001"},
        {{"10.0.0.7", "4001", false}, "tcp:10.0.0.7:4001"},
        {{"fe80::1", "2000", false}, "tcp:[fe80::1]:2000"},
        {{"[::1]", "2000", true}, "rfc2217:[::1]:2000"},
        {{"", "4001", false}, ""},
        {{"plc", "", false}, ""},
        {{"plc", "0", false}, ""},
        {{"plc:4001", "4001", false}, ""},
        {{"plc line", "4001", false}, ""},
        {{"plc\" --log /tmp/x", "4001", false}, ""},
    };
    for (const Case& c : cases) {
        std::string problem = "stale";
        const std::string value = networkValue(c.fields, problem);
        EXPECT_EQ(value, c.value) << c.fields.host << " / " << c.fields.port;
        EXPECT_EQ(problem.empty(), !value.empty()) << c.fields.host;
        if (!value.empty()) {
            const NetworkFields back = networkFields(value);
            EXPECT_EQ(networkValue(back, problem), value) << "the fields of a value give it back";
        }
    }
    EXPECT_TRUE(networkFields("/dev/ttyUSB0").host.empty());
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
