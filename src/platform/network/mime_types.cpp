#include "platform/network/mime_types.h"

#include <fstream>
#include <sstream>

namespace net {

const MimeTypes& MimeTypes::system() {
    static const MimeTypes table = fromFile("/etc/mime.types");
    return table;
}

MimeTypes MimeTypes::fromFile(const std::string& path) {
    std::ifstream file(path);
    if (!file) return MimeTypes();
    std::stringstream text;
    text << file.rdbuf();
    return fromText(text.str());
}

MimeTypes MimeTypes::fromText(std::string_view text) {
    MimeTypes table;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string type;
        if (!(words >> type)) continue;
        std::string extension;
        // The first table entry for an extension wins, as in the file's own order.
        while (words >> extension) table.m_types.emplace(extension, type);
    }
    return table;
}

std::optional<std::string> MimeTypes::typeForExtension(std::string_view extension) const {
    auto found = m_types.find(extension);
    if (found == m_types.end()) return std::nullopt;
    return found->second;
}

}  // namespace net
