#include "app/app_url.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace reelhaven {

namespace {

// The only schemes a link from another app or a web page may have the player open. Whatever else
// the rest names gets "http://" in front: the media engine also knows schemes that read this
// machine's files, descriptors and devices, or listen on its sockets ("srt://0.0.0.0:9001?mode=
// listener" would have the app take connections from anyone on every interface), and a list of
// those would miss the next one.
constexpr std::array<std::string_view, 3> kNetworkSchemes{"http", "https", "ftp"};

std::string lowercased(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool isNetworkScheme(std::string_view scheme) {
    return std::find(kNetworkSchemes.begin(), kNetworkSchemes.end(), lowercased(scheme)) != kNetworkSchemes.end();
}

// Whether `text` begins with one of the network schemes and "://", in any case.
bool startsWithNetworkScheme(std::string_view text) {
    const auto end = text.find("://");
    return end != std::string_view::npos && isNetworkScheme(text.substr(0, end));
}

}  // namespace

std::optional<foundation::URL> networkURLFromAppURL(const foundation::URL& url) {
    const std::string absolute = url.absoluteString();
    const std::string prefix = std::string(kAppURLScheme) + ":";
    if (absolute.size() < prefix.size()) return std::nullopt;
    // The scheme's own length, not "reelhaven://"'s: a link may omit the "//".
    std::string rest = absolute.substr(prefix.size());
    if (rest.starts_with("//")) rest.erase(0, 2);
    const auto slashes = rest.find("//");
    if (slashes != std::string::npos && slashes > 0 && rest[slashes - 1] != ':' &&
        isNetworkScheme(std::string_view(rest).substr(0, slashes))) {
        // A network scheme that lost its colon on the way gets it back ("https//example.com").
        rest.insert(slashes, ":");
    } else if (!startsWithNetworkScheme(rest)) {
        // Anything else is a host and a path: "example.com//a.mp4" keeps its "//", and
        // "srt://host" becomes an address on the web server "srt", never another protocol.
        rest.insert(0, "http://");
    }
    // "http://" alone parses, but names nothing to play.
    auto network = foundation::URL::parse(rest);
    if (!network || network->host().empty() || !isNetworkScheme(network->scheme())) return std::nullopt;
    return network;
}

}  // namespace reelhaven
