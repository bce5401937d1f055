#include <sys/stat.h>

#include <cerrno>

#include "platform/foundation/json.h"
#include "platform/foundation/security_scope.h"
#include "platform/foundation/url.h"  // IWYU pragma: associated

// Bookmark data records the path and the file's identity (device and inode); resolving finds the
// file at that path and tells whether it is still the same item.

namespace foundation {

namespace {
constexpr const char* kBookmarkKind = "reelhaven.bookmark";
}

Result<Data> URL::bookmarkData() const {
    if (!isFileURL() || m_path.empty()) return Error::foundation(kErrorUnsupported, "bookmark of a non-file URL");
    struct stat info {};
    if (::stat(path().c_str(), &info) != 0) return Error::posix(errno, "bookmark " + path());
    Json bookmark = {{"kind", kBookmarkKind},
                     {"path", percentEncode(m_path, "/")},
                     {"device", static_cast<std::uint64_t>(info.st_dev)},
                     {"inode", static_cast<std::uint64_t>(info.st_ino)}};
    return JsonCoding::dump(bookmark);
}

Result<URL> URL::resolvingBookmarkData(std::string_view bookmark, bool* isStale) {
    auto parsed = JsonCoding::parse(bookmark);
    if (!parsed) return Error::foundation(kErrorInvalidArgument, "bookmark data is not readable");
    auto kind = JsonCoding::decodeIfPresent<std::string>(*parsed, "kind");
    auto encodedPath = JsonCoding::decodeIfPresent<std::string>(*parsed, "path");
    auto device = JsonCoding::decodeIfPresent<std::uint64_t>(*parsed, "device");
    auto inode = JsonCoding::decodeIfPresent<std::uint64_t>(*parsed, "inode");
    if (kind != kBookmarkKind || !encodedPath || !device || !inode)
        return Error::foundation(kErrorInvalidArgument, "bookmark data is not readable");
    auto path = percentDecode(*encodedPath);
    if (!path || path->empty() || path->front() != '/')
        return Error::foundation(kErrorInvalidArgument, "bookmark data is not readable");

    URL url = fileURLWithPath(*path);
    struct stat info {};
    if (::stat(url.path().c_str(), &info) != 0) return Error::posix(errno, "resolve bookmark " + url.path());
    if (isStale) *isStale = info.st_dev != *device || info.st_ino != *inode;
    return url;
}

bool URL::startAccessingSecurityScopedResource() const {
    if (!isFileURL()) return false;
    SecurityScope::start(path());
    return true;
}

void URL::stopAccessingSecurityScopedResource() const {
    if (isFileURL()) SecurityScope::stop(path());
}

}  // namespace foundation
