#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velka::playerspage {

// An IPv4 address the page can be published on, as the organiser's window lists it.
struct NetworkAddress {
    enum class Kind {
        Private,  // 10/8, 172.16/12, 192.168/16: a shop's own network
        Other,    // any other address: chosen only when the organiser picks it
        Loopback, // 127.0.0.1: this computer only
    };

    std::string address;       // dotted quad, "192.168.1.23"
    std::string interfaceName; // "wlan0", or what the system calls it; empty when unknown
    Kind kind = Kind::Other;

    bool operator==(const NetworkAddress&) const = default;
};

// Where the organiser's window finds the addresses it offers: this computer's interfaces, or a
// fixed list in tests.
class AddressSource {
public:
    virtual ~AddressSource() = default;
    // The IPv4 addresses of the interfaces that are up and connected, in any order.
    virtual std::vector<NetworkAddress> addresses() const = 0;
};

// The four numbers of a dotted-quad IPv4 address as a host-order integer, or nothing for any
// other text (leading zeros, missing parts, values above 255, spaces).
std::optional<std::uint32_t> parseIPv4(std::string_view text);

NetworkAddress::Kind kindOf(std::uint32_t address);

// The list the window offers: private addresses first, then the others, each in the order
// given, and 127.0.0.1 last, always present once. Other loopback addresses, duplicates and
// anything that is not a dotted quad are dropped; the kinds are set from the addresses.
std::vector<NetworkAddress> orderAddresses(std::vector<NetworkAddress> found);

// The entry chosen when the window opens: the first private address, or 127.0.0.1 when there is
// none. -1 only for a list without either.
int defaultAddressIndex(const std::vector<NetworkAddress>& ordered);

// The IPv4 addresses of this computer's interfaces that are up and connected, ordered for the
// window as orderAddresses() does (private first, 127.0.0.1 last). One implementation per
// system, built where the page's server is: platform/posix/ (getifaddrs).
std::vector<NetworkAddress> connectedIPv4Addresses();

// What the window shows beside an address: 「このパソコンのみ」 for 127.0.0.1, else the
// interface's name.
std::string addressLabel(const NetworkAddress& address);

} // namespace velka::playerspage
