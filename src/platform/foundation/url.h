#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/data.h"
#include "platform/foundation/error.h"

namespace foundation {

enum class PathKind { file, directory };

// A file URL ("file:///path/to/item") or a network URL ("scheme://user@host:port/path?query#fragment").
// File URLs keep their decoded path; a trailing "/" marks a directory URL, as does
// PathKind::directory. Network URLs keep their path, query and fragment in encoded form.
// Nothing here touches the file system: whether a URL is a directory URL follows from how it
// was made.
class URL {
public:
    URL() = default;  // the empty URL; isEmpty() is true

    // A file URL for `path`. A relative path is taken relative to the current directory; repeated
    // "/" collapse. With no kind given, a path ending in "/" is a directory URL. The empty path
    // gives a file URL with an empty path (what lookups that fail hand back).
    static URL fileURLWithPath(std::string_view path);
    static URL fileURLWithPath(std::string_view path, PathKind kind);

    // Parses an absolute URL string: "file:///a%20b", "http://host:8080/x?y", "mailto:someone".
    // Nothing for relative references, a missing or malformed scheme, spaces or control
    // characters, malformed percent escapes, or a port that is not a number up to 65535.
    static std::optional<URL> parse(std::string_view text);

    bool isEmpty() const { return m_scheme.empty(); }
    bool isFileURL() const { return m_scheme == "file"; }
    bool hasDirectoryPath() const;

    const std::string& scheme() const { return m_scheme; }  // lower case
    std::string user() const;                               // decoded
    const std::string& host() const { return m_host; }      // IPv6 hosts without brackets
    std::optional<int> port() const { return m_port; }
    std::optional<std::string> query() const { return m_query; }        // encoded, without "?"
    std::optional<std::string> fragment() const { return m_fragment; }  // encoded, without "#"

    // The percent-decoded path ("" for opaque URLs such as "mailto:x"). For file URLs this is the
    // file-system path; a trailing "/" is dropped except for the root.
    std::string path() const;
    // The path as it stands in the URL: encoded, trailing "/" kept.
    std::string encodedPath() const;

    // The last decoded path component ("a.mp4" for /x/a.mp4 and for /x/a.mp4/); "/" for the root;
    // "" for an empty path.
    std::string lastPathComponent() const;
    // The extension of the last component without the dot ("" when there is none, for ".hidden"
    // and for "name.").
    std::string pathExtension() const;
    URL deletingPathExtension() const;
    URL appendingPathExtension(std::string_view extension) const;
    // Appends one component (which may itself hold "/"); network URLs get it percent-encoded.
    URL appendingPathComponent(std::string_view component) const;
    URL appendingPathComponent(std::string_view component, PathKind kind) const;
    // The parent folder as a directory URL; the root stays the root.
    URL deletingLastPathComponent() const;
    // "." and ".." components resolved ("/a/./b/../c" -> "/a/c").
    URL standardized() const;

    // The whole URL as text; file URLs come out as "file://" + the percent-encoded path.
    std::string absoluteString() const;

    // File URLs are equal when their paths are (a trailing "/" does not count: both name one
    // item); other URLs when their absolute strings are.
    bool operator==(const URL& other) const;
    // The text equality and hashing use.
    std::string identityKey() const;

    // Bookmark data: bytes that resolve back to this file later, even from another process.
    // Fails for non-file URLs and missing items.
    Result<Data> bookmarkData() const;
    // Resolves bookmark data. `isStale` (if given) is set when the item at the recorded path is
    // no longer the item that was bookmarked, or the item was found at another path.
    static Result<URL> resolvingBookmarkData(std::string_view bookmark, bool* isStale = nullptr);

    // Security-scoped access, counted per path (SecurityScope holds the counts). Start always
    // succeeds for file URLs and returns true; stop balances one start.
    bool startAccessingSecurityScopedResource() const;
    void stopAccessingSecurityScopedResource() const;

    // Percent-encoding helpers. `allowed` are the characters left as they are besides the
    // unreserved ones (A-Z a-z 0-9 - . _ ~).
    static std::string percentEncode(std::string_view text, std::string_view allowed = "/");
    // Nothing when an escape is malformed ("%4", "%zz").
    static std::optional<std::string> percentDecode(std::string_view text);

private:
    std::string m_scheme;
    std::string m_userInfo;  // encoded, without "@"
    std::string m_host;
    bool m_hasAuthority = false;
    std::optional<int> m_port;
    std::string m_path;  // file URLs: decoded; others: encoded
    std::optional<std::string> m_query;
    std::optional<std::string> m_fragment;
};

}  // namespace foundation

template <>
struct std::hash<foundation::URL> {
    std::size_t operator()(const foundation::URL& url) const noexcept {
        return std::hash<std::string>()(url.identityKey());
    }
};
