#include "platform/network/interface_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>
#include <mutex>
#include <utility>

namespace net {

namespace {

std::mutex settingsMutex;
InterfaceLister installedLister;          // guarded by settingsMutex
std::optional<std::string> wifiOverride;  // guarded by settingsMutex

SocketAddress copyAddress(const sockaddr* address) {
    SocketAddress copy;
    if (address == nullptr) return copy;
    switch (address->sa_family) {
        case AF_INET: copy.length = sizeof(sockaddr_in); break;
        case AF_INET6: copy.length = sizeof(sockaddr_in6); break;
        default: copy.length = sizeof(sockaddr); break;  // the family is all anyone reads of it
    }
    std::memcpy(&copy.storage, address, copy.length);
    return copy;
}

std::optional<std::vector<InterfaceEntry>> systemList() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return std::nullopt;
    std::vector<InterfaceEntry> entries;
    for (ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        InterfaceEntry copy;
        copy.name = entry->ifa_name ? entry->ifa_name : "";
        copy.address = copyAddress(entry->ifa_addr);
        copy.isUp = (entry->ifa_flags & IFF_UP) != 0;
        copy.isLoopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
        entries.push_back(std::move(copy));
    }
    freeifaddrs(list);
    return entries;
}

}  // namespace

InterfaceEntry InterfaceEntry::make(std::string name, std::string_view numericHost, bool up, bool loopback) {
    InterfaceEntry entry{std::move(name), {}, up, loopback};
    const std::string host(numericHost);
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    if (inet_pton(AF_INET, host.c_str(), &v4.sin_addr) == 1) {
        v4.sin_family = AF_INET;
        entry.address = copyAddress(reinterpret_cast<const sockaddr*>(&v4));
    } else if (inet_pton(AF_INET6, host.c_str(), &v6.sin6_addr) == 1) {
        v6.sin6_family = AF_INET6;
        entry.address = copyAddress(reinterpret_cast<const sockaddr*>(&v6));
    }
    return entry;
}

std::optional<std::vector<InterfaceEntry>> interfaceList() {
    InterfaceLister lister;
    {
        std::lock_guard lock(settingsMutex);
        lister = installedLister;
    }
    return lister ? lister() : systemList();
}

InterfaceLister setInterfaceLister(InterfaceLister lister) {
    std::lock_guard lock(settingsMutex);
    return std::exchange(installedLister, std::move(lister));
}

std::optional<InterfaceEntry> primaryInterface(AddressFamily family) {
    const int wanted = family == AddressFamily::ipv6 ? AF_INET6 : AF_INET;
    const auto list = interfaceList();
    if (!list) return std::nullopt;
    for (const auto& entry : *list) {
        if (entry.address.family() != wanted || !entry.isUp || entry.isLoopback) continue;
        if (!entry.address.toString(false).empty()) return entry;
    }
    return std::nullopt;
}

std::optional<std::string> primaryAddress(AddressFamily family) {
    const auto entry = primaryInterface(family);
    if (!entry) return std::nullopt;
    return entry->address.toString(false);
}

std::optional<std::string> wifiInterfaceName() {
    {
        std::lock_guard lock(settingsMutex);
        if (wifiOverride) return wifiOverride;
    }
    const auto primary = primaryInterface(AddressFamily::ipv4);
    if (!primary) return std::nullopt;
    return primary->name;
}

void setWiFiInterfaceName(std::optional<std::string> name) {
    std::lock_guard lock(settingsMutex);
    wifiOverride = std::move(name);
}

ScopedInterfaceList::ScopedInterfaceList(std::optional<std::vector<InterfaceEntry>> entries,
                                         std::optional<std::string> wifiName) {
    m_previous = setInterfaceLister([entries = std::move(entries)] { return entries; });
    std::lock_guard lock(settingsMutex);
    m_previousWiFi = std::exchange(wifiOverride, std::move(wifiName));
}

ScopedInterfaceList::~ScopedInterfaceList() {
    setInterfaceLister(std::move(m_previous));
    std::lock_guard lock(settingsMutex);
    wifiOverride = std::move(m_previousWiFi);
}

}  // namespace net
