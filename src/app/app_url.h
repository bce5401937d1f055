#pragma once

#include <optional>

#include "platform/foundation/url.h"

namespace reelhaven {

// The program's own scheme: other apps hand over a network video as "reelhaven://" followed by
// its address.
inline constexpr const char* kAppURLScheme = "reelhaven";

// The network URL a "reelhaven" URL stands for: the text after "reelhaven:" (and after "//" when
// it starts so). Text that starts with "http://", "https://" or "ftp://" is used as it is;
// "https//rest" becomes "https://rest" (the scheme lost its colon on the way); anything else gets
// "http://" in front ("example.com//a.mp4" is a host, whose path keeps its "//", and
// "rtsp://cam" an address on the web server "rtsp"). Nothing when the result is no valid URL or
// names no host. The URL comes from another app or a web page: it reaches nothing but the web's
// and the file servers' protocols, never this machine's files, devices or sockets.
std::optional<foundation::URL> networkURLFromAppURL(const foundation::URL& url);

}  // namespace reelhaven
