#include "app/line_field.h"

namespace reelhaven {

std::string escapedField(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\': escaped += "\\\\"; break;
            case '\t': escaped += "\\t"; break;
            case '\n': escaped += "\\n"; break;
            case '\r': escaped += "\\r"; break;
            default:
                if (byte < 0x20 || byte == 0x7f) {
                    escaped += "\\x";
                    escaped += kHex[byte >> 4];
                    escaped += kHex[byte & 0xf];
                } else {
                    escaped += c;
                }
        }
    }
    return escaped;
}

}  // namespace reelhaven
