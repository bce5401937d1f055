#include "app/app_url.h"

#include <array>
#include <string>
#include <string_view>

namespace reelhaven {

namespace {

constexpr std::array<std::string_view, 3> kNetworkSchemes{"http", "https", "ftp"};

bool isNetworkScheme(std::string_view text) {
    for (auto scheme : kNetworkSchemes) {
        if (text == scheme) return true;
    }
    return false;
}

bool startsWithNetworkScheme(std::string_view text) {
    for (auto scheme : kNetworkSchemes) {
        if (text.starts_with(std::string(scheme) + "://")) return true;
    }
    return false;
}

}  // namespace

std::optional<foundation::URL> networkURLFromAppURL(const foundation::URL& url) {
    const std::string absolute = url.absoluteString();
    const std::string prefix = std::string(kAppURLScheme) + ":";
    if (absolute.size() < prefix.size()) return std::nullopt;
    // Dropping a fixed 12 characters cut into the host of "reelhaven:example.com/a.mp4".
    std::string rest = absolute.substr(prefix.size());
    if (rest.starts_with("//")) rest.erase(0, 2);
    // Only a known scheme before "//" lost its colon; elsewhere "//" is part of the path
    // ("example.com/media//a.mp4") and must stay as it is.
    if (const auto slashes = rest.find("//"); slashes != std::string::npos && slashes > 0 && rest[slashes - 1] != ':' &&
                                              isNetworkScheme(rest.substr(0, slashes))) {
        rest = rest.substr(0, slashes) + "://" + rest.substr(slashes + 2);
    } else if (!startsWithNetworkScheme(rest)) {
        rest = "http://" + rest;
    }
    // "http://" alone parses, but names nothing to play.
    auto network = foundation::URL::parse(rest);
    if (!network || network->host().empty()) return std::nullopt;
    return network;
}

}  // namespace reelhaven
