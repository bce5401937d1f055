#include "core/video.h"

#include "platform/base/fatal.h"

namespace reelhaven {

std::shared_ptr<Video> Video::create(foundation::URL url, LibraryItemType type, bool isSecurityScoped) {
    return std::shared_ptr<Video>(new Video(std::move(url), type, isSecurityScoped));
}

std::shared_ptr<Video> Video::create(foundation::URL url, LibraryItemType type, const ListedIdentity& listed) {
    return std::shared_ptr<Video>(new Video(std::move(url), type, listed));
}

std::shared_ptr<Video> Video::opened(foundation::URL url, MediaOrigin origin) {
    auto video = create(std::move(url), LibraryItemType::file, true);
    video->m_origin = origin;
    return video;
}

void Video::decode(const nlohmann::json&) { base::fatal("init(from:) has not been implemented"); }

std::optional<VideoTime> Video::duration() const {
    std::lock_guard lock(m_mutex);
    return m_duration;
}

void Video::setDuration(std::optional<VideoTime> duration) {
    std::lock_guard lock(m_mutex);
    m_duration = duration;
}

std::optional<std::uint64_t> Video::size() const {
    std::lock_guard lock(m_mutex);
    return m_size;
}

void Video::setSize(std::optional<std::uint64_t> size) {
    std::lock_guard lock(m_mutex);
    m_size = size;
}

std::optional<std::vector<std::shared_ptr<Subtitle>>> Video::externalSubtitles() const {
    std::lock_guard lock(m_mutex);
    return m_externalSubtitles;
}

void Video::setExternalSubtitles(std::optional<std::vector<std::shared_ptr<Subtitle>>> subtitles) {
    std::lock_guard lock(m_mutex);
    m_externalSubtitles = std::move(subtitles);
}

std::shared_ptr<gfx::Image> Video::image() const {
    std::lock_guard lock(m_mutex);
    return m_image.lock();
}

void Video::setImage(const std::shared_ptr<gfx::Image>& image) {
    std::lock_guard lock(m_mutex);
    m_image = image;
}

}  // namespace reelhaven
