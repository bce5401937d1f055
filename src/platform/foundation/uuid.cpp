#include "platform/foundation/uuid.h"

#include <uuid/uuid.h>

#include <cctype>

namespace foundation {

UUID UUID::random() {
    uuid_t raw;
    uuid_generate_random(raw);
    std::array<std::uint8_t, 16> bytes{};
    std::copy(std::begin(raw), std::end(raw), bytes.begin());
    return UUID(bytes);
}

std::optional<UUID> UUID::parse(std::string_view text) {
    // uuid_parse also takes the 36-character form only, but it reads a C string; check the exact
    // shape here so that embedded NULs or trailing bytes are refused.
    if (text.size() != 36) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    }
    std::string terminated(text);
    uuid_t raw;
    if (uuid_parse(terminated.c_str(), raw) != 0) return std::nullopt;
    std::array<std::uint8_t, 16> bytes{};
    std::copy(std::begin(raw), std::end(raw), bytes.begin());
    return UUID(bytes);
}

std::string UUID::uuidString() const {
    uuid_t raw;
    std::copy(m_bytes.begin(), m_bytes.end(), std::begin(raw));
    char text[37];
    uuid_unparse_upper(raw, text);
    return std::string(text, 36);
}

}  // namespace foundation
