// Cleaning never leaves the root: no "." or ".." pieces, no empty pieces, and cleaning is stable.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "transfer/web_server_functions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string cleaned = reelhaven::WebServerCleanPath(input);
    if (reelhaven::WebServerCleanPath(cleaned) != cleaned) std::abort();
    if (cleaned.size() > size) std::abort();
    std::string_view rest(cleaned);
    if (rest.starts_with('/')) rest.remove_prefix(1);
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        std::string_view piece = rest.substr(0, slash);
        if (piece.empty() || piece == "." || piece == "..") std::abort();
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    return 0;
}
