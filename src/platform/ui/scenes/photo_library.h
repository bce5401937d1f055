#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/foundation/error.h"
#include "platform/ui/views/image.h"

namespace ui {

// The photo library images are saved to. Each saved image is written as a new PNG file into the
// library's folder before its completion runs, so screenshots outlive the process: the folder set
// with `setFolder` (the launcher gives the user's Pictures folder), else "Pictures" in the current
// container; with neither, images are kept in memory only (logged). Saved images are also kept in
// order; a test can refuse access (as a user who denied it), and the save then fails. The
// completion always runs on the main queue, with an error when the image was not saved. Thread safe.
class PhotoLibrary {
public:
    using Completion = std::function<void(const std::shared_ptr<Image>&, std::optional<foundation::Error>)>;

    static PhotoLibrary& shared();

    void saveImage(const std::shared_ptr<Image>& image, Completion completion);
    std::vector<std::shared_ptr<Image>> savedImages() const;
    // The files written, in order.
    std::vector<std::filesystem::path> savedFiles() const;
    void setFolder(std::optional<std::filesystem::path> folder);
    // Where the next image goes: the set folder, else the container's "Pictures", else none.
    std::optional<std::filesystem::path> folder() const;
    // The user's Pictures folder ($XDG_PICTURES_DIR, else ~/Pictures) when it exists.
    static std::optional<std::filesystem::path> userPicturesFolder();
    bool isAccessAllowed() const;
    void setAccessAllowed(bool allowed);
    // Forgets saved images and the set folder and allows access again; for tests. Files stay.
    void reset();

private:
    PhotoLibrary() = default;
    std::optional<std::filesystem::path> folderWithLock() const;

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Image>> m_saved;
    std::vector<std::filesystem::path> m_savedFiles;
    std::optional<std::filesystem::path> m_folder;
    bool m_allowed = true;
};

}  // namespace ui
