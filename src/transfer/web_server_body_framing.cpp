#include "transfer/web_server_body_framing.h"

#include <charconv>
#include <cstdint>

#include "transfer/web_server_functions.h"

namespace reelhaven {

int WebServerBodyFramingStatus(const WebServerHeaders& headers) {
    const std::string* length = WebServerHeaderValue(headers, "Content-Length");
    const std::string* coding = WebServerHeaderValue(headers, "Transfer-Encoding");
    if (length && coding) return 400;
    if (coding) return WebServerLowercase(*coding) == "chunked" ? 0 : 501;
    if (!length) return 0;
    if (length->empty() || length->find_first_not_of("0123456789") != std::string::npos) return 400;
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(length->data(), length->data() + length->size(), value);
    return error == std::errc() ? 0 : 413;  // digits only: it failed by overflowing
}

}  // namespace reelhaven
