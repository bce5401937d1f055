#include "app/app_url.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace reelhaven {

namespace {

// What a link from another app or a web page may have the player open: the web's and the file
// servers' schemes and the streaming protocols the media engine plays over the network. Anything
// else is refused, whatever it is: the engine also knows schemes that read this machine's files,
// descriptors, devices and sockets, or that pass the rest to its own readers (which open files
// too), and a list of those would miss the next one.
constexpr std::array<std::string_view, 17> kNetworkSchemes{"http", "https", "ftp",   "ftps",  "rtsp",   "rtsps",
                                                           "rtmp", "rtmps", "rtmpe", "rtmpt", "rtmpte", "rtmpts",
                                                           "rtp",  "srt",   "mms",   "mmsh",  "mmst"};

// A scheme's letters: a letter, then letters, digits, "+" and "-". A dot is allowed in a scheme
// but is read here as a host's ("example.com//a.mp4"): no player takes a dotted scheme.
bool isScheme(std::string_view text) {
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text.front()))) return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-'; });
}

// The scheme at the start of `text` followed by "://", if any.
std::optional<std::string_view> leadingScheme(std::string_view text) {
    const auto end = text.find("://");
    if (end == std::string_view::npos || !isScheme(text.substr(0, end))) return std::nullopt;
    return text.substr(0, end);
}

bool isNetworkScheme(std::string scheme) {
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(kNetworkSchemes.begin(), kNetworkSchemes.end(), scheme) != kNetworkSchemes.end();
}

}  // namespace

std::optional<foundation::URL> networkURLFromAppURL(const foundation::URL& url) {
    const std::string absolute = url.absoluteString();
    const std::string prefix = std::string(kAppURLScheme) + ":";
    if (absolute.size() < prefix.size()) return std::nullopt;
    // The scheme's own length, not "reelhaven://"'s: a link may omit the "//".
    std::string rest = absolute.substr(prefix.size());
    if (rest.starts_with("//")) rest.erase(0, 2);
    if (!leadingScheme(rest)) {
        // Only a scheme before the first "//" lost its colon; elsewhere "//" is part of the path
        // ("example.com/media//a.mp4") and must stay as it is.
        const auto slashes = rest.find("//");
        if (slashes != std::string::npos && isScheme(std::string_view(rest).substr(0, slashes))) {
            rest.insert(slashes, ":");
        } else {
            rest.insert(0, "http://");
        }
    }
    // "http://" alone parses, but names nothing to play.
    auto network = foundation::URL::parse(rest);
    if (!network || network->host().empty() || !isNetworkScheme(network->scheme())) return std::nullopt;
    return network;
}

}  // namespace reelhaven
