#include "core/media_limits.h"

#include <algorithm>
#include <cctype>

namespace reelhaven {

namespace {

// The web's and the file servers' protocols, with what they run over: "tcp" and "tls" under
// them, "httpproxy" for a proxy the environment names, "crypto" for AES-128 HLS parts, "data" for
// parts a manifest carries inline. None reads this machine's files, and none listens: only the
// address's own scheme (one of `networkSchemes`) could ask tcp to, and http and ftp build the
// addresses of their connections themselves. (These lists are never destroyed: the library's jobs
// may still open media while the process exits.)
const std::vector<std::string>& networkProtocols() {
    static const auto& protocols =
        *new std::vector<std::string>{"http", "https", "tls", "tcp", "ftp", "httpproxy", "crypto", "data"};
    return protocols;
}

const std::vector<std::string>& networkSchemes() {
    static const auto& schemes = *new std::vector<std::string>{"http", "https", "ftp"};
    return schemes;
}

// A scheme's name: a letter, then letters, digits, "+", "-" or ".".
bool isSchemeName(std::string_view text) {
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text.front()))) return false;
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '+' || c == '-' || c == '.'; });
}

std::string schemeOf(std::string_view address) {
    const auto colon = address.find(':');
    if (colon == std::string_view::npos || !isSchemeName(address.substr(0, colon))) return "file";
    std::string scheme(address.substr(0, colon));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return scheme;
}

}  // namespace

bool MediaLimits::allows(std::string_view address) const {
    return schemes.empty() || std::find(schemes.begin(), schemes.end(), schemeOf(address)) != schemes.end();
}

MediaLimits mediaLimits(MediaOrigin origin) {
    switch (origin) {
        case MediaOrigin::libraryFile:
            return {{"file"}, std::vector<std::string>{"file"}, MediaLimits::Demuxers::singleFile, false, false};
        case MediaOrigin::link:
        case MediaOrigin::playlistEntry:
            return {networkSchemes(), networkProtocols(), MediaLimits::Demuxers::noDirectAccess, true, false};
        case MediaOrigin::chosenByUser: return {};
    }
    return mediaLimits(MediaOrigin::libraryFile);
}

MediaLimits playlistEntryLimits(MediaOrigin playlist) {
    MediaLimits limits = mediaLimits(MediaOrigin::playlistEntry);
    // Such an entry is read by mpv's own file reader, which the protocols do not govern; what its
    // demuxer opens beyond it still goes over the web's protocols alone.
    if (playlist == MediaOrigin::chosenByUser) limits.schemes.push_back("file");
    return limits;
}

}  // namespace reelhaven
