#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace foundation {

// Standard base64 (RFC 4648 alphabet, "=" padding).
class Base64 {
public:
    static std::string encode(std::string_view bytes);
    // Nothing for text that is not padded base64 (whitespace is not accepted).
    static std::optional<std::string> decode(std::string_view text);
};

}  // namespace foundation
