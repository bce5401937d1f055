#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/library_item.h"
#include "core/media_origin.h"
#include "core/subtitle.h"
#include "core/video_time.h"

namespace gfx {
class Image;
}

namespace reelhaven {

// A video file of the library. Its metadata starts empty and is filled by the library manager.
class Video : public LibraryItem {
public:
    static std::shared_ptr<Video> create(foundation::URL url, LibraryItemType type, bool isSecurityScoped);
    // One a listing makes, with the identity attribute it read for the file.
    static std::shared_ptr<Video> create(foundation::URL url, LibraryItemType type, const ListedIdentity& listed);
    // A file or address opened from outside the library (security-scoped, with a fresh id), and
    // where it came from.
    static std::shared_ptr<Video> opened(foundation::URL url, MediaOrigin origin);
    // Videos are never decoded from their coded form; asking is a programming error.
    [[noreturn]] static void decode(const nlohmann::json& json);

    std::optional<VideoTime> duration() const;
    void setDuration(std::optional<VideoTime> duration);
    // Allocated bytes of the file.
    std::optional<std::uint64_t> size() const;
    void setSize(std::optional<std::uint64_t> size);
    // Subtitle files of the same folder whose display name contains this video's display name.
    std::optional<std::vector<std::shared_ptr<Subtitle>>> externalSubtitles() const;
    void setExternalSubtitles(std::optional<std::vector<std::shared_ptr<Subtitle>>> subtitles);
    // The thumbnail, or null. The video does not keep it alive: the thumbnail cache and whoever
    // shows it do, so a library of thousands of videos holds only the thumbnails in use. Once
    // they let go this is null, and VideoManager::thumbnail reads the image again from Caches.
    std::shared_ptr<gfx::Image> image() const;
    void setImage(const std::shared_ptr<gfx::Image>& image);
    // Where its address came from, which decides what playing it may reach (MediaLimits). A
    // video made any other way than `opened` is a library file's, the least trusted a file is.
    MediaOrigin origin() const { return m_origin; }

protected:
    using LibraryItem::LibraryItem;

private:
    std::optional<VideoTime> m_duration;
    std::optional<std::uint64_t> m_size;
    std::optional<std::vector<std::shared_ptr<Subtitle>>> m_externalSubtitles;
    std::weak_ptr<gfx::Image> m_image;
    MediaOrigin m_origin = MediaOrigin::libraryFile;  // set before the video is shared
};

using VideoPtr = std::shared_ptr<Video>;

}  // namespace reelhaven
