#include "platform/media/now_playing_info_center.h"

namespace media {

NowPlayingInfoCenter& NowPlayingInfoCenter::defaultCenter() {
    static NowPlayingInfoCenter center;
    return center;
}

std::optional<NowPlayingInfo> NowPlayingInfoCenter::nowPlayingInfo() const {
    std::lock_guard lock(m_mutex);
    return m_info;
}

void NowPlayingInfoCenter::setNowPlayingInfo(std::optional<NowPlayingInfo> info) {
    std::lock_guard lock(m_mutex);
    m_info = std::move(info);
}

}  // namespace media
