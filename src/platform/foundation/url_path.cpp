#include "platform/foundation/url.h"

#include <string>
#include <vector>

#include "platform/foundation/path_names.h"

// Path manipulation of URLs. Each works on the stored path: decoded for file URLs, encoded for
// network URLs (where a new component is encoded on the way in and decoded on the way out).

namespace foundation {

namespace {

struct SplitPath {
    std::string parent;  // up to and including the last "/" before the component
    std::string component;
    bool trailingSlash = false;
};

// Splits "/a/b.mp4/" into "/a/", "b.mp4" and a trailing slash.
SplitPath split(const std::string& path) {
    SplitPath result;
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
        result.trailingSlash = true;
    }
    if (trimmed == "/") {
        result.parent = "/";
        return result;
    }
    auto slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        result.component = trimmed;
    } else {
        result.parent = trimmed.substr(0, slash + 1);
        result.component = trimmed.substr(slash + 1);
    }
    return result;
}

// The position of the dot that starts the extension of `component`, or npos.
std::size_t extensionDot(const std::string& component) {
    std::string_view extension = pathExtensionOf(component);
    return extension.empty() ? std::string::npos : component.size() - extension.size() - 1;
}

}  // namespace

std::string URL::lastPathComponent() const {
    if (m_path.empty()) return "";
    SplitPath parts = split(m_path);
    if (parts.component.empty()) return parts.parent.empty() ? "" : "/";
    if (isFileURL()) return parts.component;
    return percentDecode(parts.component).value_or(parts.component);
}

std::string URL::pathExtension() const {
    std::string component = split(m_path).component;
    auto dot = extensionDot(component);
    if (dot == std::string::npos) return "";
    std::string extension = component.substr(dot + 1);
    if (isFileURL()) return extension;
    return percentDecode(extension).value_or(extension);
}

URL URL::deletingPathExtension() const {
    SplitPath parts = split(m_path);
    auto dot = extensionDot(parts.component);
    if (dot == std::string::npos) return *this;
    URL url = *this;
    url.m_path = parts.parent + parts.component.substr(0, dot) + (parts.trailingSlash ? "/" : "");
    return url;
}

URL URL::appendingPathExtension(std::string_view extension) const {
    SplitPath parts = split(m_path);
    if (parts.component.empty() || extension.empty()) return *this;
    URL url = *this;
    std::string encoded = isFileURL() ? std::string(extension) : percentEncode(extension, "");
    url.m_path = parts.parent + parts.component + "." + encoded + (parts.trailingSlash ? "/" : "");
    return url;
}

URL URL::appendingPathComponent(std::string_view component) const {
    URL url = *this;
    std::string_view name = component;
    while (!name.empty() && name.front() == '/') name.remove_prefix(1);
    std::string encoded = isFileURL() ? std::string(name) : percentEncode(name, "/!$&'()*+,;=:@");
    if (url.m_path.empty() || url.m_path.back() != '/') url.m_path.push_back('/');
    url.m_path += encoded;
    // Keep one "/" between components even when the name held several.
    std::string collapsed;
    for (char c : url.m_path) {
        if (c == '/' && !collapsed.empty() && collapsed.back() == '/') continue;
        collapsed.push_back(c);
    }
    url.m_path = std::move(collapsed);
    return url;
}

URL URL::appendingPathComponent(std::string_view component, PathKind kind) const {
    URL url = appendingPathComponent(component);
    if (kind == PathKind::directory && url.m_path.back() != '/') url.m_path.push_back('/');
    if (kind == PathKind::file) {
        while (url.m_path.size() > 1 && url.m_path.back() == '/') url.m_path.pop_back();
    }
    return url;
}

URL URL::deletingLastPathComponent() const {
    if (m_path.empty()) return *this;
    SplitPath parts = split(m_path);
    URL url = *this;
    if (parts.component.empty()) {
        url.m_path = "/";
    } else if (parts.parent.empty()) {
        url.m_path = "./";
    } else {
        url.m_path = parts.parent;
    }
    return url;
}

URL URL::standardized() const {
    if (m_path.empty()) return *this;
    bool absolute = m_path.front() == '/';
    bool directory = m_path.back() == '/';
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= m_path.size()) {
        auto end = m_path.find('/', start);
        if (end == std::string::npos) end = m_path.size();
        std::string component = m_path.substr(start, end - start);
        bool last = end == m_path.size();
        if (component == "..") {
            if (!components.empty() && components.back() != "..") {
                components.pop_back();
            } else if (!absolute) {
                components.push_back(component);
            }
            if (last) directory = true;
        } else if (component == ".") {
            if (last) directory = true;
        } else if (!component.empty()) {
            components.push_back(std::move(component));
        }
        start = end + 1;
    }
    std::string path = absolute ? "/" : "";
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0) path += "/";
        path += components[i];
    }
    if (directory && !components.empty()) path += "/";
    if (path.empty()) path = ".";
    URL url = *this;
    url.m_path = std::move(path);
    return url;
}

}  // namespace foundation
