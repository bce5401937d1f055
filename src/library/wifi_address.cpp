#include "library/wifi_address.h"

#include <netdb.h>
#include <sys/socket.h>

#include "platform/network/interface_addresses.h"

namespace reelhaven {

std::optional<std::string> getWiFiAddress() {
    const auto entries = net::interfaceList();
    const auto wifi = net::wifiInterfaceName();
    if (!entries || !wifi) return std::nullopt;
    std::optional<std::string> address;
    for (const auto& entry : *entries) {
        if (entry.name != *wifi || entry.address.isEmpty() || entry.address.family() != AF_INET) continue;
        char host[NI_MAXHOST] = {};
        if (::getnameinfo(entry.address.get(), entry.address.length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) !=
                0 ||
            host[0] == '\0')
            continue;
        address = std::string(host);
    }
    return address;
}

}  // namespace reelhaven
