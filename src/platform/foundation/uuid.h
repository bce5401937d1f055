#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace foundation {

// A 128-bit universally unique identifier (libuuid).
class UUID {
public:
    UUID() = default;  // the nil UUID (all zero)
    explicit UUID(const std::array<std::uint8_t, 16>& bytes) : m_bytes(bytes) {}

    // A new random (version 4) UUID.
    static UUID random();
    // Parses "E621E1F8-C36C-495A-93FC-0C247A3E6E5F" in either letter case. Nothing unless the text
    // is exactly 36 characters of 8-4-4-4-12 hexadecimal digits.
    static std::optional<UUID> parse(std::string_view text);

    // The canonical text in upper case, 36 characters.
    std::string uuidString() const;
    const std::array<std::uint8_t, 16>& bytes() const { return m_bytes; }

    auto operator<=>(const UUID&) const = default;

private:
    std::array<std::uint8_t, 16> m_bytes{};
};

}  // namespace foundation

template <>
struct std::hash<foundation::UUID> {
    std::size_t operator()(const foundation::UUID& uuid) const noexcept {
        std::size_t h = 0;
        for (auto b : uuid.bytes()) h = h * 131 + b;
        return h;
    }
};
