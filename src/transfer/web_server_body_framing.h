#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

#include "transfer/web_server_headers.h"

namespace reelhaven {

// A "Content-Length" value, read the one way every reader of it uses: decimal digits only, and at
// most the largest size a file can have (a body goes to disk or memory, so a longer one could
// never be stored, and the largest unsigned value stands for "unknown").
struct WebServerContentLength {
    static constexpr std::uint64_t kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

    std::uint64_t value = 0;
    int refusal = 0;  // 0 when read; 400 when not a decimal number, 413 when past `kMax`

    static WebServerContentLength read(std::string_view text);
};

// The status that refuses a request head whose body framing is unsafe or unreadable, before any
// handler sees it: "Content-Length" beside "Transfer-Encoding" (a smuggling shape) or a length
// that is not a decimal number: 400; a length that could not be stored: 413; a transfer coding
// other than chunked: 501. 0 when the framing is sound.
int WebServerBodyFramingStatus(const WebServerHeaders& headers);

}  // namespace reelhaven
