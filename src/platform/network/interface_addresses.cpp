#include "platform/network/interface_addresses.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>

namespace net {

std::optional<std::string> primaryAddress(AddressFamily family) {
    int wanted = family == AddressFamily::ipv6 ? AF_INET6 : AF_INET;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return std::nullopt;
    std::optional<std::string> result;
    for (ifaddrs* entry = list; entry != nullptr && !result; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != wanted) continue;
        if ((entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_LOOPBACK) != 0) continue;
        socklen_t length = wanted == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
        char host[NI_MAXHOST];
        if (getnameinfo(entry->ifa_addr, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) == 0) result = host;
    }
    freeifaddrs(list);
    return result;
}

}  // namespace net
