#include "platform/foundation/base64.h"

#include <cstdint>

namespace foundation {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int decodeChar(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string Base64::encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t chunk = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) chunk |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) chunk |= static_cast<std::uint8_t>(bytes[i + 2]);
        text.push_back(kAlphabet[(chunk >> 18) & 63]);
        text.push_back(kAlphabet[(chunk >> 12) & 63]);
        text.push_back(i + 1 < bytes.size() ? kAlphabet[(chunk >> 6) & 63] : '=');
        text.push_back(i + 2 < bytes.size() ? kAlphabet[chunk & 63] : '=');
    }
    return text;
}

std::optional<std::string> Base64::decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        bool last = i + 4 == text.size();
        int padding = 0;
        if (last && text[i + 3] == '=') padding = text[i + 2] == '=' ? 2 : 1;
        std::uint32_t chunk = 0;
        for (int j = 0; j < 4; ++j) {
            int value = j >= 4 - padding ? 0 : decodeChar(text[i + j]);
            if (value < 0) return std::nullopt;
            chunk = (chunk << 6) | static_cast<std::uint32_t>(value);
        }
        bytes.push_back(static_cast<char>((chunk >> 16) & 255));
        if (padding < 2) bytes.push_back(static_cast<char>((chunk >> 8) & 255));
        if (padding < 1) bytes.push_back(static_cast<char>(chunk & 255));
    }
    return bytes;
}

}  // namespace foundation
