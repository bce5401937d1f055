#pragma once

#include <optional>

#include "platform/foundation/url.h"

namespace reelhaven {

// The program's own scheme: other apps hand over a network video as "reelhaven://" followed by
// its address.
inline constexpr const char* kAppURLScheme = "reelhaven";

// The network URL a "reelhaven" URL stands for: the text after "reelhaven:" (and after "//" when
// it starts so); "X//rest" becomes "X://rest" when X is "http", "https" or "ftp" (a scheme that
// lost its colon on the way); text without one of those schemes gets "http://" in front.
// Nothing when the result is no valid URL or names no host.
std::optional<foundation::URL> networkURLFromAppURL(const foundation::URL& url);

}  // namespace reelhaven
