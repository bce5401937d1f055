#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library_item.h"
#include "platform/foundation/container.h"
#include "platform/foundation/url.h"

namespace gfx {
class Image;
}

namespace reelhaven {

class Preferences;
struct ListedIdentity;

// The one door to the file system for library content: lists library folders as items, moves
// opened files into Documents, renames, creates folders, and keeps the thumbnails and screenshots
// in Caches. Holds no state; every operation is synchronous, safe from any thread, and turns file
// errors into an empty list, nothing, false, 0 or an empty URL.
class DocumentsClient {
public:
    // The 26 video extensions and the 4 subtitle extensions, lower case; file extensions are
    // lower-cased before they are looked up.
    static const std::vector<std::string>& videoExtensions();
    static const std::vector<std::string>& subtitleExtensions();
    static bool isVideoExtension(std::string_view extension);
    static bool isSubtitleExtension(std::string_view extension);

    static constexpr const char* kInboxName = "Inbox";
    static constexpr const char* kScreenshotsName = "Screenshots";
    static constexpr const char* kSnapshotsName = "Snapshots";

    // `preferences` supplies the backup setting; null means Preferences::shared(). Every run
    // makes one at start, so this is where the thumbnail writes a killed run left are swept.
    static std::shared_ptr<DocumentsClient> create(std::shared_ptr<Preferences> preferences = nullptr);
    virtual ~DocumentsClient() = default;

    // The folder's visible folders, videos and subtitles in listing order, each marked for backup
    // by the backup setting. The system's Inbox directly under Documents is left out; so are
    // entries that vanish while listed. With `recursive`, folders carry their contents.
    virtual std::vector<LibraryItemPtr> contents(const foundation::URL& folder, bool recursive);
    // Marks one item for backup by the setting, as a listing marks each item it lists; a volume
    // that refuses the mark changes nothing.
    void markForBackup(const foundation::URL& url);
    // Every folder and video beneath a folder, flat, Inbox included; subtitles are left out.
    std::vector<LibraryItemPtr> allItems(const foundation::URL& folder);

    virtual foundation::URL documentsURL();
    // The standard folder, or an empty URL when there is none.
    foundation::URL directoryURL(foundation::SearchPathDirectory directory);

    // Moves a file into Documents under its own name, or the first free "name (n).ext" when that
    // is taken (shortened to fit). Nothing when it cannot be moved: then the reason is logged, and
    // a copy handed over in Documents/Inbox is removed.
    virtual std::optional<foundation::URL> moveIntoDocuments(const foundation::URL& url);
    // Removes what a picker's copy (tmp/Inbox/FOLDER/NAME) leaves once it has been imported or
    // skipped: the copy when it is still there, then its folder when that is empty. A URL that is
    // no such copy is left alone, so an original handed in place is never removed.
    void removePickedCopy(const foundation::URL& url);
    // How many numbered names a move tries before it gives up.
    static constexpr int kMaxNumberedNames = 1000;
    // Whether a typed name may become an item name in the item's own folder: not empty, not
    // hidden (it would vanish from the listing), no "/" (it would land in another folder) and no
    // NUL (the file system would cut the name there).
    static bool isSafeItemName(std::string_view name);
    // Renames to `name` + "." + the current extension, in the same folder. Refuses unsafe names.
    bool renameKeepingExtension(const foundation::URL& url, std::string_view name);
    // Renames to exactly `name`. Refuses unsafe names.
    bool rename(const foundation::URL& url, std::string_view name);
    // Creates one folder (its parent must exist) and marks it excluded from backup; true once the
    // folder exists, even when the mark could not be set.
    bool createFolder(const foundation::URL& url);

    // Caches/Screenshots, created when missing; an empty URL when it cannot be made.
    foundation::URL screenshotsURL();
    // Allocated bytes of the visible files directly in Caches (not inside its folders).
    virtual std::uint64_t cacheSize();
    // Removes everything in Caches but "Snapshots"; false at the first item that cannot be
    // removed (the rest stay).
    bool clearCaches();
    // Writes the image as PNG to Caches/name, replacing any file there. False when the folder is
    // missing, the image has no PNG form or the write fails.
    bool saveCachedImage(const std::string& name, const gfx::Image& image);
    bool removeCachedItem(const std::string& name);
    // Removes the temporaries of thumbnail writes whose process died (files named by an item id
    // are thumbnails); those of live writers stay. The number removed.
    std::size_t removeAbandonedThumbnailTemporaries();

protected:
    explicit DocumentsClient(std::shared_ptr<Preferences> preferences) : m_preferences(std::move(preferences)) {}

private:
    bool icloudBackup() const;
    // Says why `url` could not be moved in, and removes it when it is a copy in Inbox.
    void dropUnmovedCopy(const foundation::URL& url, const std::string& problem);
    // Which entries of a listing become items, beyond the devices, pipes and sockets none takes.
    using EntryFilter = std::function<bool(const foundation::URL& entry, bool isFolder)>;
    // The one path of every listing: the entries `keep` takes, in order, their identities settled
    // together before any item is made, each item made with what was read for it. With
    // `recursive`, folders carry their contents.
    std::vector<LibraryItemPtr> makeItems(const std::vector<foundation::URL>& entries, const EntryFilter& keep,
                                          bool recursive);
    LibraryItemPtr makeItem(const foundation::URL& url, bool isDirectory, bool recursive,
                            const ListedIdentity& identity);

    // Only for tests that give their own settings; the app reads the shared settings.
    std::shared_ptr<Preferences> m_preferences;
};

}  // namespace reelhaven
