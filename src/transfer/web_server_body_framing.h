#pragma once

#include "transfer/web_server_headers.h"

namespace reelhaven {

// The status that refuses a request head whose body framing is unsafe or unreadable, before any
// handler sees it: "Content-Length" beside "Transfer-Encoding" (a smuggling shape) or a length
// that is not a decimal number: 400; a length no disk could hold: 413; a transfer coding other
// than chunked: 501. 0 when the framing is sound.
int WebServerBodyFramingStatus(const WebServerHeaders& headers);

}  // namespace reelhaven
