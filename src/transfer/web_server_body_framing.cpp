#include "transfer/web_server_body_framing.h"

#include <charconv>
#include <string>

#include "transfer/web_server_functions.h"

namespace reelhaven {

WebServerContentLength WebServerContentLength::read(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return {0, 400};
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Digits only: it failed by overflowing.
    if (error != std::errc() || value > kMax) return {0, 413};
    return {value, 0};
}

int WebServerBodyFramingStatus(const WebServerHeaders& headers) {
    const std::string* length = WebServerHeaderValue(headers, "Content-Length");
    const std::string* coding = WebServerHeaderValue(headers, "Transfer-Encoding");
    if (length && coding) return 400;
    if (coding) return WebServerLowercase(*coding) == "chunked" ? 0 : 501;
    if (!length) return 0;
    return WebServerContentLength::read(*length).refusal;
}

}  // namespace reelhaven
