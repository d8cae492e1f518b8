#include "playerspage/NetworkAddresses.h"

#include <algorithm>

namespace velka::playerspage {

namespace {

constexpr std::uint32_t kLocalHost = 0x7f000001;

} // namespace

std::optional<std::uint32_t> parseIPv4(std::string_view text)
{
    std::uint32_t value = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        const std::size_t start = i;
        std::uint32_t part = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) {
            part = part * 10 + static_cast<std::uint32_t>(text[i] - '0');
            ++i;
        }
        const std::size_t digits = i - start;
        if (digits == 0 || part > 255 || (digits > 1 && text[start] == '0'))
            return std::nullopt;
        value = value << 8 | part;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.')
                return std::nullopt;
            ++i;
        }
    }
    if (i != text.size())
        return std::nullopt;
    return value;
}

NetworkAddress::Kind kindOf(std::uint32_t a)
{
    if (a >> 24 == 127)
        return NetworkAddress::Kind::Loopback;
    if (a >> 24 == 10 || (a >> 20) == (172u << 4 | 1) || (a >> 16) == (192u << 8 | 168))
        return NetworkAddress::Kind::Private;
    return NetworkAddress::Kind::Other;
}

std::vector<NetworkAddress> orderAddresses(std::vector<NetworkAddress> found)
{
    std::vector<NetworkAddress> ordered;
    std::vector<std::uint32_t> seen;
    std::optional<NetworkAddress> localHost;
    for (NetworkAddress& a : found) {
        const std::optional<std::uint32_t> value = parseIPv4(a.address);
        if (!value || std::find(seen.begin(), seen.end(), *value) != seen.end())
            continue;
        seen.push_back(*value);
        a.kind = kindOf(*value);
        if (*value == kLocalHost)
            localHost = std::move(a);
        else if (a.kind != NetworkAddress::Kind::Loopback)
            ordered.push_back(std::move(a));
    }
    std::stable_partition(ordered.begin(), ordered.end(), [](const NetworkAddress& a) {
        return a.kind == NetworkAddress::Kind::Private;
    });
    if (!localHost)
        localHost = NetworkAddress{"127.0.0.1", "", NetworkAddress::Kind::Loopback};
    ordered.push_back(std::move(*localHost));
    return ordered;
}

int defaultAddressIndex(const std::vector<NetworkAddress>& ordered)
{
    int localHost = -1;
    for (int i = 0; i < static_cast<int>(ordered.size()); ++i) {
        if (ordered[i].kind == NetworkAddress::Kind::Private)
            return i;
        if (ordered[i].address == "127.0.0.1" && localHost < 0)
            localHost = i;
    }
    return localHost;
}

std::string addressLabel(const NetworkAddress& address)
{
    if (address.address == "127.0.0.1")
        return "このパソコンのみ";
    return address.interfaceName;
}

} // namespace velka::playerspage
