#include "transfer/web_uploader_listing.h"

#include "transfer/web_server_functions.h"
#include "transfer/web_uploader_names.h"

namespace reelhaven {

namespace {

// `text` (valid UTF-8) as a JSON string: quotes, backslashes and control characters escaped,
// everything else as it is.
void appendJSONString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            switch (c) {
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
        } else {
            out += c;
        }
    }
    out += '"';
}

}  // namespace

std::string WebUploaderListingJSON(const WebUploaderFileSystem::DirectoryContents& contents, std::string_view prefix) {
    const auto& entries = contents.entries;
    std::vector<std::size_t> order =
        WebServerBrowsingOrder(entries.size(), [&](std::size_t index) { return contents.name(entries[index]); });
    std::size_t estimate = 2;
    for (const auto& entry : entries) estimate += 2 * entry.nameLength + prefix.size() + 48;
    std::string json;
    json.reserve(estimate);
    json += '[';
    std::string path;
    for (std::size_t index : order) {
        const auto& entry = entries[index];
        std::string name = WebUploaderNames::listed(contents.name(entry));
        bool isFile = entry.type == WebUploaderFileSystem::EntryType::file;
        if (json.size() > 1) json += ',';
        // Keys in the order the JSON library writes objects (sorted), as the answer always had.
        json += "{\"name\":";
        appendJSONString(json, name);
        json += ",\"path\":";
        path.assign(prefix);
        path += name;
        if (!isFile) path += '/';
        appendJSONString(json, path);
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
