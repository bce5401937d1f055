#include "transfer/web_uploader_listing.h"

#include "transfer/web_uploader_names.h"

namespace reelhaven {

namespace {

// `text` (valid UTF-8) as the inside of a JSON string: quotes, backslashes and control
// characters escaped, everything else as it is, in runs.
void appendJSONEscaped(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
        out.append(text.substr(run, i - run));
        run = i + 1;
        switch (byte) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                out += "\\u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 15];
        }
    }
    out.append(text.substr(run));
}

}  // namespace

std::string WebUploaderListingJSON(const WebUploaderFileSystem::DirectoryContents& contents,
                                   const std::vector<std::size_t>& order, std::string_view prefix) {
    const auto& entries = contents.entries;
    std::string escapedPrefix;
    appendJSONEscaped(escapedPrefix, prefix);
    std::size_t estimate = 2;
    for (const auto& entry : entries) estimate += 2 * entry.nameLength + escapedPrefix.size() + 48;
    std::string json;
    json.reserve(estimate);
    json += '[';
    std::string name;
    for (std::size_t index : order) {
        const auto& entry = entries[index];
        name.clear();
        std::string_view raw = contents.name(entry);
        // Nearly every name is written as it is, without a copy.
        if (WebUploaderNames::isListedAsItIs(raw)) {
            appendJSONEscaped(name, raw);
        } else {
            appendJSONEscaped(name, WebUploaderNames::listed(raw));
        }
        bool isFile = entry.type == WebUploaderFileSystem::EntryType::file;
        if (json.size() > 1) json += ',';
        // Keys in the order the JSON library writes objects (sorted), as the answer always had.
        json += "{\"name\":\"";
        json += name;
        json += "\",\"path\":\"";
        json += escapedPrefix;
        json += name;
        json += isFile ? "\"" : "/\"";
        if (isFile) {
            json += ",\"size\":";
            json += std::to_string(entry.size);
        }
        json += '}';
    }
    json += ']';
    return json;
}

}  // namespace reelhaven
