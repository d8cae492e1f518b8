#include "playerspage/NetworkAddresses.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace velka::playerspage {
namespace {

TEST(NetworkAddresses, ReadsOnlyPlainDottedQuads)
{
    struct Case {
        const char* text = nullptr;
        std::optional<std::uint32_t> value;
    };
    for (const Case& c :
         {Case{"192.168.1.23", 0xc0a80117}, Case{"0.0.0.0", 0}, Case{"255.255.255.255", 0xffffffff},
          Case{"127.0.0.1", 0x7f000001}, Case{"10.0.0.256", std::nullopt},
          Case{"10.0.0", std::nullopt}, Case{"10.0.0.1.2", std::nullopt},
          Case{"010.0.0.1", std::nullopt}, Case{" 10.0.0.1", std::nullopt},
          Case{"10.0.0.1 ", std::nullopt}, Case{"10..0.1", std::nullopt},
          Case{"1000.0.0.1", std::nullopt}, Case{"", std::nullopt}, Case{"localhost", std::nullopt},
          Case{"10.0.0.1:80", std::nullopt}, Case{"::1", std::nullopt}})
        EXPECT_EQ(parseIPv4(c.text), c.value) << c.text;
}

// The labels, このパソコンのみ for this computer, are checked where the window offers them.
TEST(NetworkAddresses, PrivateFirstAndThisComputerLast)
{
    struct Case {
        const char* what;
        std::vector<NetworkAddress> found;
        std::vector<std::string> ordered;
        int chosen;
    };
    const std::vector<Case> cases = {
        {"a shop's Wi-Fi and a cable",
         {{"127.0.0.1", "lo", {}},
          {"203.0.113.5", "eth0", {}},
          {"192.168.1.23", "wlan0", {}},
          {"172.20.0.9", "docker0", {}}},
         {"192.168.1.23", "172.20.0.9", "203.0.113.5", "127.0.0.1"},
         0},
        {"no private network",
         {{"203.0.113.5", "eth0", {}}, {"127.0.0.1", "lo", {}}},
         {"203.0.113.5", "127.0.0.1"},
         1},
        {"nothing connected: this computer only", {}, {"127.0.0.1"}, 0},
        {"the edges of the private ranges",
         {{"172.15.255.255", "a", {}},
          {"172.16.0.0", "b", {}},
          {"172.31.255.255", "c", {}},
          {"172.32.0.0", "d", {}},
          {"10.255.0.1", "e", {}},
          {"192.169.0.1", "f", {}}},
         {"172.16.0.0", "172.31.255.255", "10.255.0.1", "172.15.255.255", "172.32.0.0",
          "192.169.0.1", "127.0.0.1"},
         0},
        {"duplicates, other loopbacks and junk dropped",
         {{"10.0.0.2", "wlan0", {}},
          {"10.0.0.2", "wlan1", {}},
          {"127.0.1.1", "lo", {}},
          {"not an address", "x", {}}},
         {"10.0.0.2", "127.0.0.1"},
         0},
    };
    for (const Case& c : cases) {
        const std::vector<NetworkAddress> ordered = orderAddresses(c.found);
        std::vector<std::string> addresses;
        for (const NetworkAddress& a : ordered)
            addresses.push_back(a.address);
        EXPECT_EQ(addresses, c.ordered) << c.what;
        EXPECT_EQ(defaultAddressIndex(ordered), c.chosen) << c.what;
        for (const NetworkAddress& a : ordered)
            EXPECT_EQ(a.kind, kindOf(*parseIPv4(a.address))) << c.what;
    }
}

} // namespace
} // namespace velka::playerspage
