// This computer's addresses on a POSIX system: getifaddrs.
#include "playerspage/NetworkAddresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>

namespace velka::playerspage {

std::vector<NetworkAddress> connectedIPv4Addresses()
{
    std::vector<NetworkAddress> found;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) == 0) {
        for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
            if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET)
                continue;
            if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_RUNNING) == 0)
                continue;
            sockaddr_in address{};
            std::memcpy(&address, i->ifa_addr, sizeof address);
            char text[INET_ADDRSTRLEN] = {};
            if (::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr)
                continue;
            found.push_back({text, i->ifa_name != nullptr ? i->ifa_name : "", {}});
        }
        ::freeifaddrs(list);
    }
    return orderAddresses(std::move(found));
}

} // namespace velka::playerspage
