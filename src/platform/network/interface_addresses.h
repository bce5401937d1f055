#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/network/socket_address.h"

namespace net {

enum class AddressFamily { ipv4, ipv6 };

// One entry of the machine's interface list, as the system gives it: an interface may appear
// several times (one entry per address) and an entry may carry no address, or one of another
// family (link layer).
struct InterfaceEntry {
    std::string name;
    SocketAddress address;  // empty when the entry has none
    bool isUp = true;
    bool isLoopback = false;

    // An entry for tests: `numericHost` is an IPv4 or IPv6 address; anything else gives an
    // entry without an address.
    static InterfaceEntry make(std::string name, std::string_view numericHost, bool up = true, bool loopback = false);
};

// Gives the interface list; none when it cannot be read.
using InterfaceLister = std::function<std::optional<std::vector<InterfaceEntry>>()>;

// The interface list, from getifaddrs or from the lister a test installed.
std::optional<std::vector<InterfaceEntry>> interfaceList();
// Installs a lister in place of the system's (an empty one restores it); returns the previous.
InterfaceLister setInterfaceLister(InterfaceLister lister);

// The machine's primary interface for a family: the first entry that is up, is not a loopback
// and has an address of `family`; and that address as numeric text.
std::optional<InterfaceEntry> primaryInterface(AddressFamily family);
std::optional<std::string> primaryAddress(AddressFamily family);

// Which interface stands for the device's Wi-Fi ("en0" on a phone): the name set here, else
// the interface `primaryAddress` picks for IPv4; none when neither exists. Thread safe.
std::optional<std::string> wifiInterfaceName();
void setWiFiInterfaceName(std::optional<std::string> name);

// Installs a list and a Wi-Fi interface for the life of a test scope.
class ScopedInterfaceList {
public:
    explicit ScopedInterfaceList(std::optional<std::vector<InterfaceEntry>> entries,
                                 std::optional<std::string> wifiName = std::nullopt);
    ~ScopedInterfaceList();
    ScopedInterfaceList(const ScopedInterfaceList&) = delete;
    ScopedInterfaceList& operator=(const ScopedInterfaceList&) = delete;

private:
    InterfaceLister m_previous;
    std::optional<std::string> m_previousWiFi;
};

}  // namespace net
