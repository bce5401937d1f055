#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/container.h"
#include "platform/foundation/data.h"
#include "platform/foundation/date.h"
#include "platform/foundation/error.h"
#include "platform/foundation/url.h"

namespace foundation {

// What lstat says an item is (symbolic links are not followed unless asked).
enum class FileType { regular, directory, symbolicLink, other };
enum class SymbolicLinks { keep, follow };  // follow: the type of what a link names

enum class HiddenFiles { include, skip };  // hidden = the name begins with "."
enum class Intermediates { no, create };
enum class WriteMode { direct, atomic };  // atomic: temporary file in the same folder, then rename

struct FileAttributes {
    FileType type = FileType::other;
    std::uint64_t size = 0;           // st_size
    std::uint64_t allocatedSize = 0;  // st_blocks * 512
    Date modificationDate;
    Date creationDate;  // birth time where the filesystem records one, else the modification date
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
};

struct EnumerationOptions {
    HiddenFiles hiddenFiles = HiddenFiles::include;  // skipped hidden folders are not entered
    bool skipsSubdirectoryDescendants = false;       // list the top level only
};

// File operations on real files, for file URLs. Every operation is synchronous, thread safe, and
// reports failures as an Error (POSIX domain with the errno, or Foundation domain). Operations
// given a non-file URL fail with kErrorUnsupported.
class FileManager {
public:
    static FileManager& defaultManager();

    // The standard folder of the current container (Container::current()); kErrorNoContainer when
    // none is installed. With Intermediates::create the folder is created when missing.
    Result<URL> url(SearchPathDirectory directory, Intermediates create = Intermediates::no) const;

    // The items directly inside a folder, sorted by name (byte order), "." and ".." excluded.
    Result<std::vector<URL>> contentsOfDirectory(const URL& folder, HiddenFiles hidden = HiddenFiles::include) const;
    // The names directly inside a folder (hidden names included), sorted.
    Result<std::vector<std::string>> contentsOfDirectoryAtPath(const std::string& path) const;
    // Every item under a folder, depth first, each folder before its contents, siblings sorted by
    // name. Symbolic links to folders are not followed. A sub-folder that cannot be read is passed
    // to `onError`; enumeration goes on when it returns true and stops when it returns false (no
    // handler: go on). Fails only when the folder itself cannot be read.
    Result<std::vector<URL>> enumerate(const URL& folder, EnumerationOptions options = {},
                                       const std::function<bool(const URL&, const Error&)>& onError = {}) const;

    // Whether an item exists, following symbolic links; `isDirectory` receives its kind.
    bool fileExists(const URL& url, bool* isDirectory = nullptr) const;
    bool fileExistsAtPath(const std::string& path, bool* isDirectory = nullptr) const;
    // lstat-based; with SymbolicLinks::follow stat-based, so a link gives the type of its target
    // and a dangling link fails.
    Result<FileType> typeOfItem(const URL& url, SymbolicLinks links = SymbolicLinks::keep) const;
    Result<FileAttributes> attributesOfItem(const URL& url) const;
    // st_blocks * 512 of one item (0 for anything but regular files).
    Result<std::uint64_t> allocatedSize(const URL& url) const;

    // Moves an item; never replaces an existing destination (POSIX EEXIST). Within one
    // filesystem this is renameat2(RENAME_NOREPLACE); across filesystems the item is copied
    // (refusing an existing destination), then the source removed.
    Status moveItem(const URL& source, const URL& destination) const;
    // Copies a file, symbolic link or whole folder; never replaces an existing destination.
    Status copyItem(const URL& source, const URL& destination) const;
    // Copies the regular file open for reading as `descriptor` (named `source` in errors), from
    // its start, as copyItem copies a file: what is copied is what was opened, whatever its name
    // leads to by now.
    Status copyOpenedFile(int descriptor, const std::string& source, const URL& destination) const;
    // Removes a file, symbolic link (not its target) or a folder with everything in it.
    Status removeItem(const URL& url) const;
    // Creates a folder (mode 0755). Without intermediates a missing parent or an existing item
    // fails; with them an existing folder is fine.
    Status createDirectory(const URL& url, Intermediates intermediates = Intermediates::no) const;

    Result<Data> contentsOfFile(const URL& url) const;
    // Writes (creating or replacing) a file. Atomic writes go to a temporary file in the same
    // folder that is flushed and renamed over the destination, so readers see old or new bytes.
    Status writeFile(const URL& url, std::string_view bytes, WriteMode mode = WriteMode::atomic) const;
    // Removes the temporary files that atomic writes of `url` left when their process died before
    // the rename (each live writer holds a lock on its own until then); the number removed.
    Result<std::size_t> removeAbandonedTemporaries(const URL& url) const;
    // The same for every file of `folder` whose (possibly shortened) name `isTarget` accepts: for
    // files written under names not known in advance (thumbnails, copies named by time).
    Result<std::size_t> removeAbandonedTemporaries(const URL& folder,
                                                   const std::function<bool(std::string_view)>& isTarget) const;

private:
    FileManager() = default;
    // Nothing for a file URL with a path; otherwise the kErrorUnsupported error to return.
    static std::optional<Error> requireFileURL(const URL& url);
    // Temporaries carry at most this much of their destination's name, short enough for the
    // longest destination names.
    static constexpr std::size_t kTemporaryNameLength = 64;
    // How many temporary files a write makes before giving up, should sweeps keep taking them.
    static constexpr int kTemporaryAttempts = 8;
    // The name of an atomic write's temporary file without its six random characters.
    static std::string temporaryPrefix(const URL& url);
};

}  // namespace foundation
