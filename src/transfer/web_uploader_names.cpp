#include "transfer/web_uploader_names.h"

#include "transfer/web_server_utf8.h"

namespace reelhaven::WebUploaderNames {

namespace {

constexpr char32_t kEscapeBase = 0xF780;  // + byte - 0x80

// Whether `sequence` (valid UTF-8) encodes a character of the escape block, EF 9E 80 to EF 9F BF.
bool isInEscapeBlock(std::string_view sequence) {
    return sequence.size() == 3 && static_cast<unsigned char>(sequence[0]) == 0xEF &&
           (static_cast<unsigned char>(sequence[1]) & 0xFE) == 0x9E;
}

void appendEscaped(std::string& out, std::string_view bytes) {
    for (char byte : bytes) WebServerAppendUTF8(out, kEscapeBase + static_cast<unsigned char>(byte) - 0x80);
}

}  // namespace

bool isListedAsItIs(std::string_view name) {
    // Every character of the escape block begins with the byte EF.
    return name.find('\xEF') == std::string_view::npos && WebServerIsValidUTF8(name);
}

std::string listed(std::string_view name) {
    if (isListedAsItIs(name)) return std::string(name);
    std::string out;
    out.reserve(name.size() + 16);
    for (std::size_t i = 0; i < name.size();) {
        std::size_t length = WebServerUTF8SequenceLength(name.substr(i));
        if (length == 0) {
            appendEscaped(out, name.substr(i, 1));
            ++i;
        } else if (isInEscapeBlock(name.substr(i, length))) {
            appendEscaped(out, name.substr(i, length));
            i += length;
        } else {
            out.append(name.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view name) {
    std::string out;
    bool escaped = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto byte = static_cast<unsigned char>(name[i]);
        // U+F780..U+F7FF is EF 9E 80 .. EF 9F BF.
        if (byte == 0xEF && i + 2 < name.size() && (name[i + 1] & 0xC0) == 0x80 && (name[i + 2] & 0xC0) == 0x80) {
            char32_t code = 0xF000 | (char32_t(name[i + 1] & 0x3F) << 6) | char32_t(name[i + 2] & 0x3F);
            if (code >= kEscapeBase && code < kEscapeBase + 0x80) {
                out += static_cast<char>(code - kEscapeBase + 0x80);
                i += 2;
                escaped = true;
                continue;
            }
        }
        out += name[i];
    }
    if (!escaped) return std::nullopt;
    return out;
}

}  // namespace reelhaven::WebUploaderNames
