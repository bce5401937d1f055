#include "platform/ui/scenes/photo_library.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "platform/base/log.h"
#include "platform/dispatch/queue.h"
#include "platform/foundation/container.h"
#include "platform/graphics/png_codec.h"

namespace ui {
namespace {

// Writes `png` to the first free "IMG_NNNN.png" in `folder`. Files are created exclusively, so two
// saves at once (or another process) never overwrite each other's image.
foundation::Result<std::filesystem::path> writeNewFile(const std::filesystem::path& folder, const std::string& png) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return foundation::Error::posix(ec.value(), "create " + folder.string());
    for (int number = 1; number < 1'000'000; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04d.png", number);
        auto path = folder / name;
        std::FILE* file = std::fopen(path.c_str(), "wbx");
        if (!file) {
            if (errno == EEXIST) continue;
            return foundation::Error::posix(errno, "create " + path.string());
        }
        bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
        int writeErrno = errno;
        if (std::fclose(file) != 0 && written) {
            written = false;
            writeErrno = errno;
        }
        if (!written) {
            std::filesystem::remove(path, ec);
            return foundation::Error::posix(writeErrno, "write " + path.string());
        }
        return path;
    }
    return foundation::Error::foundation(foundation::kErrorWriteFailed, "no free file name in " + folder.string());
}

}  // namespace

PhotoLibrary& PhotoLibrary::shared() {
    static PhotoLibrary library;
    return library;
}

std::optional<std::filesystem::path> PhotoLibrary::userPicturesFolder() {
    std::optional<std::filesystem::path> candidate;
    if (const char* xdg = std::getenv("XDG_PICTURES_DIR"); xdg && *xdg) {
        candidate = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        candidate = std::filesystem::path(home) / "Pictures";
    }
    std::error_code ec;
    if (!candidate || !std::filesystem::is_directory(*candidate, ec)) return std::nullopt;
    return candidate;
}

std::optional<std::filesystem::path> PhotoLibrary::folderWithLock() const {
    if (m_folder) return m_folder;
    if (auto container = foundation::Container::current()) return container->home() / "Pictures";
    return std::nullopt;
}

std::optional<std::filesystem::path> PhotoLibrary::folder() const {
    std::lock_guard lock(m_mutex);
    return folderWithLock();
}

void PhotoLibrary::setFolder(std::optional<std::filesystem::path> folder) {
    std::lock_guard lock(m_mutex);
    m_folder = std::move(folder);
}

void PhotoLibrary::saveImage(const std::shared_ptr<Image>& image, Completion completion) {
    std::optional<foundation::Error> error;
    {
        // Held while writing so files are numbered in the order images are saved.
        std::lock_guard lock(m_mutex);
        if (!m_allowed) {
            error =
                foundation::Error::foundation(foundation::kErrorWriteFailed, "access to the photo library was denied");
        } else if (!image || (!image->cgImage() && !image->isSymbolImage())) {
            error = foundation::Error::foundation(foundation::kErrorInvalidArgument, "there is no image to save");
        } else if (auto folder = folderWithLock(); folder && image->cgImage()) {
            auto png = gfx::PngCodec::encode(*image->cgImage());
            auto path = png ? writeNewFile(*folder, *png) : foundation::Result<std::filesystem::path>(png.error());
            if (path) {
                m_savedFiles.push_back(*path);
                m_saved.push_back(image);
            } else {
                error = path.error();
            }
        } else {
            // A symbol image has no bitmap to write; without any folder nothing can be written.
            if (!folder) base::log(base::LogLevel::warning, "PhotoLibrary", "no folder: image kept in memory only");
            m_saved.push_back(image);
        }
    }
    if (!completion) return;
    dispatch::Queue::main()->async([completion = std::move(completion), image, error] { completion(image, error); });
}

std::vector<std::shared_ptr<Image>> PhotoLibrary::savedImages() const {
    std::lock_guard lock(m_mutex);
    return m_saved;
}

std::vector<std::filesystem::path> PhotoLibrary::savedFiles() const {
    std::lock_guard lock(m_mutex);
    return m_savedFiles;
}

bool PhotoLibrary::isAccessAllowed() const {
    std::lock_guard lock(m_mutex);
    return m_allowed;
}

void PhotoLibrary::setAccessAllowed(bool allowed) {
    std::lock_guard lock(m_mutex);
    m_allowed = allowed;
}

void PhotoLibrary::reset() {
    std::lock_guard lock(m_mutex);
    m_saved.clear();
    m_savedFiles.clear();
    m_folder.reset();
    m_allowed = true;
}

}  // namespace ui
