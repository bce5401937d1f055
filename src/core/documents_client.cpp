#include "core/documents_client.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/file_identity_claims.h"
#include "core/folder.h"
#include "core/local_file_kind.h"
#include "core/preferences.h"
#include "core/subtitle.h"
#include "core/video.h"
#include "platform/base/log.h"
#include "platform/foundation/allocated_size.h"
#include "platform/foundation/extended_attributes.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/path_names.h"
#include "platform/foundation/string_compare.h"
#include "platform/foundation/uuid.h"
#include "platform/graphics/png_codec.h"

namespace reelhaven {

namespace {

using foundation::FileManager;
using foundation::FileType;
using foundation::URL;

FileManager& files() { return FileManager::defaultManager(); }

bool contains(const std::vector<std::string>& list, std::string_view value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::string lowercasedExtension(const URL& url) { return foundation::StringCompare::lowercased(url.pathExtension()); }

bool samePath(const URL& a, const URL& b) { return a.standardized().path() == b.standardized().path(); }

// What a listing makes of an entry: folders, and files (a link counts as the file it names).
// Devices, pipes and sockets are no library content, nor are links to them: opening a pipe named
// like a video would hang whoever reads it.
enum class EntryKind { folder, file, skipped };

EntryKind entryKind(const URL& url) {
    auto type = files().typeOfItem(url);
    if (!type) return EntryKind::skipped;  // vanished while listed
    switch (*type) {
        case FileType::directory: return EntryKind::folder;
        case FileType::regular: return EntryKind::file;
        case FileType::symbolicLink: {
            // A dangling link stays a file: reading it fails at once.
            auto target = files().typeOfItem(url, foundation::SymbolicLinks::follow);
            return target && *target == FileType::other ? EntryKind::skipped : EntryKind::file;
        }
        case FileType::other: return EntryKind::skipped;
    }
    return EntryKind::skipped;
}

}  // namespace

// The lists are never destroyed: the library's jobs may still ask while the process exits.
const std::vector<std::string>& DocumentsClient::videoExtensions() {
    static const auto& extensions = *new std::vector<std::string>{
        "mkv",  "mp4", "m4v",  "mpg4", "webm", "avi", "vfw",  "ts",  "mts", "m2ts", "mov",  "qt",  "mpg",
        "mpeg", "wmv", "divx", "flv",  "f4v",  "rm",  "rmvb", "vob", "asf", "3gp",  "3gpp", "3g2", "3gp2"};
    return extensions;
}

const std::vector<std::string>& DocumentsClient::subtitleExtensions() {
    static const auto& extensions = *new std::vector<std::string>{"ass", "ssa", "srt", "vtt"};
    return extensions;
}

bool DocumentsClient::isVideoExtension(std::string_view extension) { return contains(videoExtensions(), extension); }

bool DocumentsClient::isSubtitleExtension(std::string_view extension) {
    return contains(subtitleExtensions(), extension);
}

std::shared_ptr<DocumentsClient> DocumentsClient::create(std::shared_ptr<Preferences> preferences) {
    auto client = std::shared_ptr<DocumentsClient>(new DocumentsClient(std::move(preferences)));
    (void)client->removeAbandonedThumbnailTemporaries();
    return client;
}

bool DocumentsClient::icloudBackup() const {
    return (m_preferences ? *m_preferences : Preferences::shared()).icloudBackup.wrappedValue();
}

std::vector<LibraryItemPtr> DocumentsClient::makeItems(const std::vector<URL>& entries, const EntryFilter& keep,
                                                       bool recursive) {
    // What becomes an item, before any item is made: their identities are settled together.
    // Listings are sorted by name, so without this a copy named before its source would take the
    // source's identifier, and the thumbnail, progress and restoration that hang on it.
    std::vector<URL> listed;
    std::vector<std::string> paths;
    std::vector<bool> isFolder;
    for (const URL& entry : entries) {
        const EntryKind kind = entryKind(entry);
        if (kind == EntryKind::skipped || !keep(entry, kind == EntryKind::folder)) continue;
        listed.push_back(entry);
        paths.push_back(entry.path());
        isFolder.push_back(kind == EntryKind::folder);
    }
    const std::vector<ListedIdentity> identities = FileIdentityClaims::shared().settle(paths);

    std::vector<LibraryItemPtr> items;
    items.reserve(listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (auto item = makeItem(listed[i], isFolder[i], recursive, identities[i])) items.push_back(std::move(item));
    }
    return items;
}

LibraryItemPtr DocumentsClient::makeItem(const URL& url, bool isDirectory, bool recursive,
                                         const ListedIdentity& identity) {
    if (isDirectory) {
        auto folder = Folder::create(url, LibraryItemType::folder, identity);
        if (recursive) folder->setContents(contents(url, true));
        return folder;
    }
    const std::string extension = lowercasedExtension(url);
    if (isSubtitleExtension(extension)) return Subtitle::create(url, LibraryItemType::subtitle, identity);
    if (isVideoExtension(extension)) return Video::create(url, LibraryItemType::file, identity);
    return nullptr;
}

std::vector<LibraryItemPtr> DocumentsClient::contents(const URL& folder, bool recursive) {
    auto entries = files().contentsOfDirectory(folder, foundation::HiddenFiles::skip);
    if (!entries) return {};
    const URL inbox = documentsURL().appendingPathComponent(kInboxName);
    auto items = makeItems(
        *entries,
        [&inbox](const URL& entry, bool isFolder) {
            if (isFolder) return !samePath(entry, inbox);
            const std::string extension = lowercasedExtension(entry);
            return isVideoExtension(extension) || isSubtitleExtension(extension);
        },
        recursive);
    // The mark follows the setting on every listing; a volume that refuses it changes nothing.
    const bool excludedFromBackup = !icloudBackup();
    for (const auto& item : items)
        (void)foundation::ExtendedAttributes::setExcludedFromBackup(item->url().path(), excludedFromBackup);
    return items;
}

void DocumentsClient::markForBackup(const URL& url) {
    (void)foundation::ExtendedAttributes::setExcludedFromBackup(url.path(), !icloudBackup());
}

std::vector<LibraryItemPtr> DocumentsClient::allItems(const URL& folder) {
    foundation::EnumerationOptions options;
    options.hiddenFiles = foundation::HiddenFiles::skip;
    auto entries = files().enumerate(folder, options, [](const URL&, const foundation::Error&) { return true; });
    if (!entries) return {};
    return makeItems(
        *entries,
        [](const URL& entry, bool isFolder) { return isFolder || isVideoExtension(lowercasedExtension(entry)); },
        false);
}

URL DocumentsClient::documentsURL() { return directoryURL(foundation::SearchPathDirectory::documents); }

URL DocumentsClient::directoryURL(foundation::SearchPathDirectory directory) {
    return files().url(directory).valueOr(URL());
}

std::optional<URL> DocumentsClient::moveIntoDocuments(const URL& url) {
    const std::string name = url.lastPathComponent();
    const URL documents = documentsURL();
    if (samePath(url, documents.appendingPathComponent(name))) return url;
    // Only a file handed over as a copy moves. A folder would take its whole tree along, a pipe or
    // device is no video, a link would put a name into the library that leads anywhere, and a
    // system file cannot be removed, so the move would leave a copy of it (a process's
    // environment) where the transfer server serves it.
    const auto type = files().typeOfItem(url);
    if (!type || *type != FileType::regular || localFileKind(url.path()) != LocalFileKind::regularFile)
        return std::nullopt;
    // A taken name moves on to "name (1).ext", "name (2).ext" ... as uploads do, shortened to fit
    // the file system's limit: a long name would otherwise fail at its first number. The move
    // itself refuses a taken name, so another writer cannot slip in between.
    std::string problem;
    for (int number = 0; number <= kMaxNumberedNames && problem.empty(); ++number) {
        const URL destination = documents.appendingPathComponent(foundation::numberedName(name, number));
        auto moved = files().moveItem(url, destination);
        if (moved) return destination;
        const auto& error = moved.error();
        const bool taken = error.isPOSIX(EEXIST) || (error.domain == foundation::kFoundationErrorDomain &&
                                                     error.code == foundation::kErrorFileExists);
        if (!taken) problem = error.description;
    }
    if (problem.empty())
        problem = "every name up to \"" + foundation::numberedName(name, kMaxNumberedNames) + "\" is taken";
    dropUnmovedCopy(url, problem);
    return std::nullopt;
}

void DocumentsClient::dropUnmovedCopy(const URL& url, const std::string& problem) {
    // A copy handed over in Inbox is never listed: left there it would take space for ever.
    const bool inInbox = samePath(url.deletingLastPathComponent(), documentsURL().appendingPathComponent(kInboxName));
    const bool removed = inInbox && files().removeItem(url).ok();
    base::log(base::LogLevel::warning, "Documents",
              "could not move " + url.lastPathComponent() + " into the library (" + problem + ")" +
                  (removed ? "; its copy was removed" : ""));
}

void DocumentsClient::removePickedCopy(const URL& url) {
    const URL temporary = directoryURL(foundation::SearchPathDirectory::temporary);
    if (temporary.isEmpty() || !url.isFileURL()) return;
    const URL folder = url.deletingLastPathComponent();
    if (!samePath(folder.deletingLastPathComponent(), temporary.appendingPathComponent(kInboxName))) return;
    const std::string name = url.lastPathComponent();
    if (name.empty() || name == "." || name == "..") return;
    if (files().typeOfItem(url)) (void)files().removeItem(url);
    // Only an empty folder goes: another copy handed into it is not this one's to remove.
    (void)::rmdir(folder.path().c_str());
}

bool DocumentsClient::isSafeItemName(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

bool DocumentsClient::renameKeepingExtension(const URL& url, std::string_view name) {
    if (!isSafeItemName(name)) return false;
    const std::string extension = url.pathExtension();
    std::string component(name);
    if (!extension.empty()) component += "." + extension;
    const URL destination = url.deletingLastPathComponent().appendingPathComponent(component);
    if (samePath(url, destination)) return true;
    return files().moveItem(url, destination).ok();
}

bool DocumentsClient::rename(const URL& url, std::string_view name) {
    if (!isSafeItemName(name)) return false;
    if (url.lastPathComponent() == name) return true;
    const URL destination = url.deletingLastPathComponent().appendingPathComponent(name);
    return files().moveItem(url, destination).ok();
}

bool DocumentsClient::createFolder(const URL& url) {
    if (!files().createDirectory(url, foundation::Intermediates::no)) return false;
    // The next listing of the parent sets the mark from the setting; until then keep it out.
    (void)foundation::ExtendedAttributes::setExcludedFromBackup(url.path(), true);
    return true;
}

URL DocumentsClient::screenshotsURL() {
    const URL caches = directoryURL(foundation::SearchPathDirectory::caches);
    if (caches.isEmpty()) return URL();
    const URL screenshots = caches.appendingPathComponent(kScreenshotsName, foundation::PathKind::directory);
    if (!files().createDirectory(screenshots, foundation::Intermediates::create)) return URL();
    return screenshots;
}

std::uint64_t DocumentsClient::cacheSize() {
    auto caches = files().url(foundation::SearchPathDirectory::caches);
    if (!caches) return 0;
    return foundation::allocatedSize(*caches, foundation::SizeScope::topLevelOnly).valueOr(0);
}

bool DocumentsClient::clearCaches() {
    auto caches = files().url(foundation::SearchPathDirectory::caches);
    if (!caches) return false;
    auto names = files().contentsOfDirectoryAtPath(caches->path());
    if (!names) return false;
    for (const auto& name : *names) {
        if (name == kSnapshotsName) continue;
        if (!files().removeItem(caches->appendingPathComponent(name))) return false;
    }
    return true;
}

bool DocumentsClient::saveCachedImage(const std::string& name, const gfx::Image& image) {
    auto caches = files().url(foundation::SearchPathDirectory::caches);
    if (!caches) return false;
    auto png = gfx::PngCodec::encode(image, gfx::PngCodec::Effort::fast);
    if (!png) return false;
    return files().writeFile(caches->appendingPathComponent(name), *png, foundation::WriteMode::atomic).ok();
}

std::size_t DocumentsClient::removeAbandonedThumbnailTemporaries() {
    auto caches = files().url(foundation::SearchPathDirectory::caches);
    if (!caches) return 0;
    return files()
        .removeAbandonedTemporaries(*caches,
                                    [](std::string_view name) { return foundation::UUID::parse(name).has_value(); })
        .valueOr(0);
}

bool DocumentsClient::removeCachedItem(const std::string& name) {
    auto caches = files().url(foundation::SearchPathDirectory::caches);
    if (!caches) return false;
    return files().removeItem(caches->appendingPathComponent(name)).ok();
}

}  // namespace reelhaven
