#include "transfer/web_server_host_names.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <climits>

#include "transfer/web_server_functions.h"

namespace reelhaven {

namespace {

// The host part of a "Host" value, lower-cased, without port, brackets or final dot.
std::string hostPart(std::string_view value) {
    std::string host;
    if (value.starts_with('[')) {
        auto close = value.find(']');
        host = value.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
    } else {
        auto colon = value.find(':');
        host = value.substr(0, colon);
    }
    host = WebServerLowercase(host);
    if (host.ends_with('.')) host.pop_back();
    return host;
}

bool isAddressLiteral(const std::string& host) {
    unsigned char address[sizeof(in6_addr)];
    return ::inet_pton(AF_INET, host.c_str(), address) == 1 || ::inet_pton(AF_INET6, host.c_str(), address) == 1;
}

std::string machineName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return WebServerLowercase(name);
}

}  // namespace

bool WebServerHostNamesThisMachine(std::string_view value, const std::vector<std::string>& extraNames) {
    std::string host = hostPart(value);
    if (host.empty()) return false;
    if (isAddressLiteral(host) || host == "localhost") return true;
    std::string machine = machineName();
    if (!machine.empty() && (host == machine || host == machine + ".local")) return true;
    for (const auto& extra : extraNames) {
        if (host == hostPart(extra)) return true;
    }
    return false;
}

}  // namespace reelhaven
