// Network port values: what names a host and port, what does not and why, and that a value
// built from the dialog's fields reads back as those fields.

#include <gtest/gtest.h>

#include <cstdlib>

#include "NetworkAddress.h"
#include "PortResolver.h"

namespace qavix::link {
namespace {

TEST(NetworkAddress, ValuesThatNameAHostAndPort) {
    struct Case {
        const char* value;
        NetProtocol protocol;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"tcp:127.0.0.1:4001", NetProtocol::Tcp, "127.0.0.1", 4001},
        {"rfc2217:plc-line3:4001", NetProtocol::Rfc2217, "plc-line3", 4001},
        {"tcp:ser2net.plant.example:1", NetProtocol::Tcp, "ser2net.plant.example", 1},
        {"rfc2217:[::1]:65535", NetProtocol::Rfc2217, "::1", 65535},
        {"tcp:[fe80::1%eth0]:2000", NetProtocol::Tcp, "fe80::1%eth0", 2000},
        {"tcp:line_2:7000", NetProtocol::Tcp, "line_2", 7000},
    };
    for (const Case& c : cases) {
        AddressProblem problem = AddressProblem::BadHost;
        const auto address = parseNetworkAddress(c.value, &problem);
        ASSERT_TRUE(address) << c.value;
        EXPECT_EQ(problem, AddressProblem::None);
        EXPECT_EQ(address->protocol, c.protocol) << c.value;
        EXPECT_EQ(address->host, c.host) << c.value;
        EXPECT_EQ(address->port, c.port) << c.value;
        EXPECT_EQ(formatNetworkAddress(*address), c.value) << "round trip";
    }
}

TEST(NetworkAddress, ValuesThatDoNotAndWhy) {
    struct Case {
        const char* value;
        AddressProblem problem;
    };
    const Case cases[] = {
        {"tcp:", AddressProblem::Malformed},
        {"tcp:plc", AddressProblem::Malformed},
        {"tcp::4001", AddressProblem::NoHost},
        {"tcp:plc:", AddressProblem::BadPort},
        {"tcp:plc:0", AddressProblem::BadPort},
        {"tcp:plc:65536", AddressProblem::BadPort},
        {"tcp:plc:+80", AddressProblem::BadPort},
        {"tcp:plc:40 01", AddressProblem::BadPort},
        {"tcp:::1:4001", AddressProblem::BareIpv6},
        {"rfc2217:fe80::1", AddressProblem::BareIpv6},
        {"tcp:[::1:4001", AddressProblem::BadHost},
        {"tcp:[plc]:4001", AddressProblem::BadHost},
        {"tcp:plc line:4001", AddressProblem::BadHost},
        {"tcp:plc\"--log x:4001", AddressProblem::BadHost},
        {"tcp:-plc:4001", AddressProblem::BadHost},
        {"tcp:plc-:4001", AddressProblem::BadHost},
        {"tcp:line3-.plant:4001", AddressProblem::BadHost},
        {"tcp:plc..a:4001", AddressProblem::BadHost},
        {"tcp:999.1.1.1:4001", AddressProblem::BadHost},
        {"tcp:[fe80::1%]:4001", AddressProblem::BadHost},
        {"udp:plc:4001", AddressProblem::Malformed},
    };
    for (const Case& c : cases) {
        AddressProblem problem = AddressProblem::None;
        EXPECT_FALSE(parseNetworkAddress(c.value, &problem)) << c.value;
        EXPECT_EQ(problem, c.problem) << c.value;
        EXPECT_FALSE(addressProblemText(problem).empty());
    }
    const std::string withNul("tcp:plc\0x:4001", 14);
    EXPECT_FALSE(parseNetworkAddress(withNul));
}

TEST(NetworkAddress, HostsAsTypedInAField) {
    EXPECT_EQ(checkHost("plc-line3"), "plc-line3");
    EXPECT_EQ(checkHost("10.0.0.7"), "10.0.0.7");
    EXPECT_EQ(checkHost("fe80::1"), "fe80::1") << "brackets optional in the field";
    EXPECT_EQ(checkHost("[fe80::1]"), "fe80::1");
    AddressProblem problem = AddressProblem::None;
    EXPECT_FALSE(checkHost("", &problem));
    EXPECT_EQ(problem, AddressProblem::NoHost);
    EXPECT_FALSE(checkHost("plc:4001", &problem));
    EXPECT_EQ(problem, AddressProblem::BadHost);
    EXPECT_FALSE(checkHost(std::string(254, 'a')));
    EXPECT_FALSE(checkHost(std::string(64, 'a') + ".b"));
    EXPECT_TRUE(checkHost(std::string(63, 'a') + ".b"));

    EXPECT_EQ(checkPortNumber("4001"), 4001);
    EXPECT_FALSE(checkPortNumber(""));
    EXPECT_FALSE(checkPortNumber("-1"));
    EXPECT_FALSE(checkPortNumber("004001"));
    EXPECT_FALSE(checkPortNumber("70000"));
}

TEST(NetworkAddress, PortValuesResolveToTheirAddressOrTheirProblem) {
    const auto direct = resolvePort("rfc2217:[::1]:4001");
    ASSERT_TRUE(direct);
    ASSERT_TRUE(direct->network);
    EXPECT_TRUE(direct->onNetwork());
    EXPECT_EQ(direct->network->host, "::1");
    EXPECT_EQ(direct->value, "rfc2217:[::1]:4001");

    ::setenv("QAVLINK_COM5", "tcp:plc:99999", 1);
    const auto broken = resolvePort("COM5");
    ::unsetenv("QAVLINK_COM5");
    ASSERT_TRUE(broken);
    EXPECT_TRUE(broken->onNetwork());
    EXPECT_FALSE(broken->network);
    EXPECT_EQ(broken->addressProblem, AddressProblem::BadPort);
    EXPECT_FALSE(broken->emulator);
    EXPECT_TRUE(broken->device.empty()) << "never opened as a device path";
}

TEST(NetworkAddress, ConnectTimeoutIsInjectableAndBounded) {
    ::setenv("QAVLINK_CONNECT_TIMEOUT", "250", 1);
    EXPECT_EQ(connectTimeout().count(), 250);
    ::setenv("QAVLINK_CONNECT_TIMEOUT", "0", 1);
    EXPECT_EQ(connectTimeout().count(), 3000) << "refused: the default";
    ::setenv("QAVLINK_CONNECT_TIMEOUT", "9999999", 1);
    EXPECT_EQ(connectTimeout().count(), 3000);
    ::setenv("QAVLINK_CONNECT_TIMEOUT", "12x", 1);
    EXPECT_EQ(connectTimeout().count(), 3000);
    ::unsetenv("QAVLINK_CONNECT_TIMEOUT");
    EXPECT_EQ(connectTimeout().count(), 3000);
}

}  // namespace
}  // namespace qavix::link
