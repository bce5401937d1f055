#pragma once

#include <optional>

#include "platform/foundation/url.h"

namespace reelhaven {

// The program's own scheme: other apps hand over a network video as "reelhaven://" followed by
// its address.
inline constexpr const char* kAppURLScheme = "reelhaven";

// The network URL a "reelhaven" URL stands for: the text after "reelhaven:" (and after "//" when
// it starts so). Text that starts with a scheme and "://" is used as it is; "X//rest" becomes
// "X://rest" when X is a scheme that lost its colon on the way ("rtsp//cam/s"); anything else
// gets "http://" in front ("example.com//a.mp4" is a host, whose path keeps its "//"). Nothing
// when the result is no valid URL, names no host, or has a scheme other than the network ones a
// web page's link may carry (http, https, ftp and the streaming protocols): the URL comes from
// another app or a web page and must not reach this machine's files, devices or sockets.
std::optional<foundation::URL> networkURLFromAppURL(const foundation::URL& url);

}  // namespace reelhaven
