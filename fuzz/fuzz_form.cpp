// Any form text parses to pairs whose keys and values are valid text without NUL.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "transfer/web_server_functions.h"
#include "transfer/web_server_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool quiet = [] {
        reelhaven::WebServerSetLogLevel(base::LogLevel::error);
        return true;
    }();
    (void)quiet;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto form = reelhaven::WebServerParseFormString(input);
    for (const auto& [key, value] : form) {
        if (key.empty() || key.find('\0') != std::string::npos || value.find('\0') != std::string::npos) std::abort();
        if (!reelhaven::WebServerDecodeText(key, "UTF-8") || !reelhaven::WebServerDecodeText(value, "UTF-8"))
            std::abort();
    }
    auto unescaped = reelhaven::WebServerPercentUnescape(input);
    if (unescaped && reelhaven::WebServerPercentUnescape(reelhaven::WebServerPercentEscape(*unescaped)) != unescaped) {
        std::abort();
    }
    return 0;
}
