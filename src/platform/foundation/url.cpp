#include "platform/foundation/url.h"

#include <unistd.h>

#include <cctype>
#include <climits>
#include <string>
#include <vector>

// Parsing, text forms and equality of URLs. Path manipulation is in url_path.cpp, bookmarks and
// security scope in url_bookmark.cpp.

namespace foundation {

namespace {

// Characters a path may hold unencoded besides the unreserved ones.
constexpr std::string_view kPathAllowed = "/!$&'()*+,;=:@";

bool isUnreserved(unsigned char c) { return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Characters never allowed unencoded in a URL string (RFC 3986 plus the usual exclusions).
bool isForbidden(unsigned char c) {
    if (c <= 0x20 || c >= 0x7f) return true;
    return std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) != std::string_view::npos;
}

bool hasValidEscapes(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 2 >= text.size()) return false;
        if (hexValue(text[i + 1]) < 0 || hexValue(text[i + 2]) < 0) return false;
        i += 2;
    }
    return true;
}

// Collapses runs of "/" into one.
std::string collapseSlashes(std::string_view path) {
    std::string result;
    result.reserve(path.size());
    for (char c : path) {
        if (c == '/' && !result.empty() && result.back() == '/') continue;
        result.push_back(c);
    }
    return result;
}

std::string currentDirectory() {
    std::vector<char> buffer(PATH_MAX);
    if (!getcwd(buffer.data(), buffer.size())) return "/";
    return buffer.data();
}

std::string lowercased(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string withoutTrailingSlash(const std::string& path) {
    if (path.size() > 1 && path.back() == '/') return path.substr(0, path.find_last_not_of('/') + 1);
    return path;
}

}  // namespace

std::string URL::percentEncode(std::string_view text, std::string_view allowed) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c) || (c > 0x20 && c < 0x7f && allowed.find(ch) != std::string_view::npos)) {
            result.push_back(ch);
        } else {
            result.push_back('%');
            result.push_back(kHex[c >> 4]);
            result.push_back(kHex[c & 15]);
        }
    }
    return result;
}

std::optional<std::string> URL::percentDecode(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            result.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        int high = hexValue(text[i + 1]);
        int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        result.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return result;
}

URL URL::fileURLWithPath(std::string_view path) {
    URL url;
    url.m_scheme = "file";
    url.m_hasAuthority = true;
    if (path.empty()) return url;
    std::string absolute = path.front() == '/' ? std::string(path) : currentDirectory() + "/" + std::string(path);
    url.m_path = collapseSlashes(absolute);
    return url;
}

URL URL::fileURLWithPath(std::string_view path, PathKind kind) {
    URL url = fileURLWithPath(path);
    if (url.m_path.empty()) return url;
    if (kind == PathKind::directory && url.m_path.back() != '/') url.m_path.push_back('/');
    if (kind == PathKind::file) url.m_path = withoutTrailingSlash(url.m_path);
    return url;
}

std::optional<URL> URL::parse(std::string_view text) {
    for (char c : text) {
        if (c != '%' && isForbidden(static_cast<unsigned char>(c))) return std::nullopt;
    }
    auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    std::string_view scheme = text.substr(0, colon);
    if (!std::isalpha(static_cast<unsigned char>(scheme.front()))) return std::nullopt;
    for (char c : scheme) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return std::nullopt;
    }
    if (!hasValidEscapes(text)) return std::nullopt;

    URL url;
    url.m_scheme = lowercased(scheme);
    std::string_view rest = text.substr(colon + 1);
    if (auto hash = rest.find('#'); hash != std::string_view::npos) {
        url.m_fragment = std::string(rest.substr(hash + 1));
        rest = rest.substr(0, hash);
    }
    if (auto question = rest.find('?'); question != std::string_view::npos) {
        url.m_query = std::string(rest.substr(question + 1));
        rest = rest.substr(0, question);
    }
    if (rest.substr(0, 2) == "//") {
        url.m_hasAuthority = true;
        rest.remove_prefix(2);
        auto slash = rest.find('/');
        std::string_view authority = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
        if (auto at = authority.rfind('@'); at != std::string_view::npos) {
            url.m_userInfo = std::string(authority.substr(0, at));
            authority.remove_prefix(at + 1);
        }
        std::string_view portText;
        if (!authority.empty() && authority.front() == '[') {
            auto close = authority.find(']');
            if (close == std::string_view::npos) return std::nullopt;
            url.m_host = std::string(authority.substr(1, close - 1));
            std::string_view after = authority.substr(close + 1);
            if (!after.empty()) {
                if (after.front() != ':') return std::nullopt;
                portText = after.substr(1);
            }
        } else {
            auto portColon = authority.find(':');
            url.m_host = std::string(authority.substr(0, portColon));
            if (portColon != std::string_view::npos) portText = authority.substr(portColon + 1);
            if (url.m_host.find('[') != std::string::npos || url.m_host.find(']') != std::string::npos)
                return std::nullopt;
        }
        if (!portText.empty()) {
            if (portText.size() > 5) return std::nullopt;
            int port = 0;
            for (char c : portText) {
                if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
                port = port * 10 + (c - '0');
            }
            if (port > 65535) return std::nullopt;
            url.m_port = port;
        }
        url.m_host = lowercased(url.m_host);
    }
    if (url.isFileURL()) {
        if (!url.m_host.empty() && url.m_host != "localhost") return std::nullopt;
        url.m_host.clear();
        url.m_hasAuthority = true;
        auto decoded = percentDecode(rest);
        if (!decoded || decoded->find('\0') != std::string::npos) return std::nullopt;
        if (!decoded->empty() && decoded->front() != '/') return std::nullopt;
        url.m_path = *decoded;
        url.m_query.reset();
        url.m_fragment.reset();
        return url;
    }
    if (url.m_hasAuthority && !rest.empty() && rest.front() != '/') return std::nullopt;
    url.m_path = std::string(rest);
    return url;
}

bool URL::hasDirectoryPath() const { return !m_path.empty() && m_path.back() == '/'; }

std::string URL::user() const {
    std::string_view info = m_userInfo;
    info = info.substr(0, info.find(':'));
    return percentDecode(info).value_or(std::string(info));
}

std::string URL::path() const {
    std::string raw = withoutTrailingSlash(m_path);
    if (isFileURL()) return raw;
    return percentDecode(raw).value_or(raw);
}

std::string URL::encodedPath() const { return isFileURL() ? percentEncode(m_path, kPathAllowed) : m_path; }

std::string URL::absoluteString() const {
    if (isEmpty()) return "";
    std::string text = m_scheme + ":";
    if (m_hasAuthority) {
        text += "//";
        if (!m_userInfo.empty()) text += m_userInfo + "@";
        text += m_host.find(':') != std::string::npos ? "[" + m_host + "]" : m_host;
        if (m_port) text += ":" + std::to_string(*m_port);
    }
    text += encodedPath();
    if (m_query) text += "?" + *m_query;
    if (m_fragment) text += "#" + *m_fragment;
    return text;
}

std::string URL::identityKey() const {
    if (isFileURL()) return "file:" + withoutTrailingSlash(m_path);
    return absoluteString();
}

bool URL::operator==(const URL& other) const { return identityKey() == other.identityKey(); }

}  // namespace foundation
