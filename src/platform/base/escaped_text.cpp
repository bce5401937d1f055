#include "platform/base/escaped_text.h"

namespace base {

namespace {

void appendHex(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xf];
}

// The length of the valid UTF-8 sequence at the start of `text` (lead byte 0x80 or above), or 0.
// Overlong forms, surrogates and code points past U+10FFFF are not valid.
size_t utf8SequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0) low = 0xa0;
        if (lead == 0xed) high = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0) low = 0x90;
        if (lead == 0xf4) high = 0x8f;
    }
    if (length == 0 || text.size() < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xbf) return 0;
    }
    return length;
}

}  // namespace

std::string escapedText(std::string_view text, QuoteEscape quotes) {
    std::string escaped;
    escaped.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            const size_t length = utf8SequenceLength(text.substr(i));
            // U+0080 to U+009F, the C1 controls, are 0xc2 0x80 to 0xc2 0x9f.
            const bool control = length == 2 && byte == 0xc2 && static_cast<unsigned char>(text[i + 1]) <= 0x9f;
            if (length == 0 || control) {
                for (size_t k = 0; k < (control ? 2 : 1); ++k)
                    appendHex(escaped, static_cast<unsigned char>(text[i + k]));
                i += control ? 2 : 1;
            } else {
                escaped.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (c) {
            case '\\': escaped += "\\\\"; break;
            case '\t': escaped += "\\t"; break;
            case '\n': escaped += "\\n"; break;
            case '\r': escaped += "\\r"; break;
            case '"': escaped += quotes == QuoteEscape::escape ? "\\\"" : "\""; break;
            default:
                if (byte < 0x20 || byte == 0x7f) {
                    appendHex(escaped, byte);
                } else {
                    escaped += c;
                }
        }
        ++i;
    }
    return escaped;
}

}  // namespace base
