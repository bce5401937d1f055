#include "transfer/web_uploader_bundle.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/foundation/bundle.h"

namespace reelhaven {

namespace {

// Reads a quoted string at `position` (on the opening quote); moves past the closing quote.
std::optional<std::string> quoted(const std::string& text, std::size_t& position) {
    if (position >= text.size() || text[position] != '"') return std::nullopt;
    std::string value;
    for (++position; position < text.size(); ++position) {
        char c = text[position];
        if (c == '"') {
            ++position;
            return value;
        }
        if (c == '\\' && position + 1 < text.size()) {
            char next = text[++position];
            value += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            value += c;
        }
    }
    return std::nullopt;
}

void skipSpaceAndComments(const std::string& text, std::size_t& position) {
    while (position < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[position]))) {
            ++position;
        } else if (text.compare(position, 2, "//") == 0) {
            position = text.find('\n', position);
            if (position == std::string::npos) position = text.size();
        } else if (text.compare(position, 2, "/*") == 0) {
            position = text.find("*/", position + 2);
            position = position == std::string::npos ? text.size() : position + 2;
        } else {
            return;
        }
    }
}

}  // namespace

std::map<std::string, std::string> WebUploaderBundle::parseStrings(const std::string& text) {
    std::map<std::string, std::string> strings;
    std::size_t position = 0;
    while (position < text.size()) {
        skipSpaceAndComments(text, position);
        auto key = quoted(text, position);
        skipSpaceAndComments(text, position);
        bool equals = position < text.size() && text[position] == '=';
        if (equals) ++position;
        skipSpaceAndComments(text, position);
        auto value = equals ? quoted(text, position) : std::nullopt;
        skipSpaceAndComments(text, position);
        if (key && value) strings[*key] = *value;
        // Resynchronise on the end of the entry.
        std::size_t semicolon = text.find(';', position);
        if (semicolon == std::string::npos) break;
        position = semicolon + 1;
    }
    return strings;
}

std::optional<WebUploaderBundle> WebUploaderBundle::open(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path + "/index.html", error)) return std::nullopt;
    WebUploaderBundle bundle;
    bundle.m_path = path;
    std::ifstream file(path + "/en.lproj/Localizable.strings", std::ios::binary);
    if (file) {
        std::stringstream text;
        text << file.rdbuf();
        bundle.m_strings = parseStrings(text.str());
    }
    return bundle;
}

std::string WebUploaderBundle::defaultPath() {
    return foundation::Bundle::main().resourcePath() + "/WebUploader.bundle";
}

std::string WebUploaderBundle::localizedString(const std::string& key, const std::string& fallback) const {
    auto found = m_strings.find(key);
    return found == m_strings.end() ? fallback : found->second;
}

}  // namespace reelhaven
