#include "platform/display/video_frames.h"

#include "platform/ui/gl/gl_view.h"
#include "platform/ui/views/window.h"

namespace display {

VideoFrames::~VideoFrames() { releaseAll(); }

void VideoFrames::releaseAll() {
    // Their renderers must not wait for a window that is going.
    m_released = true;
    for (const auto& view : std::set(m_views)) stop(view);
}

void VideoFrames::stop(const std::shared_ptr<ui::GLView>& view) {
    view->setFramePresentedHandler(nullptr);
    view->setPresentsToSharedContext(false);
    m_shownSerials.erase(view.get());
    m_views.erase(view);
}

void VideoFrames::watch(const std::vector<VideoRegion>& regions, const std::shared_ptr<ui::Window>& window) {
    for (const auto& region : regions) {
        auto view = region.view.lock();
        if (!view || m_released || m_views.count(view)) continue;
        m_views.insert(view);
        view->setFramePresentedHandler(m_onFrame);
        view->setPresentsToSharedContext(true);
    }
    // Views that left the window stop presenting (their renderer may outlive them on screen).
    for (const auto& view : std::set(m_views)) {
        if (view->window() != window) stop(view);
    }
}

std::vector<VideoFrame> VideoFrames::take(const std::vector<VideoRegion>& regions) {
    std::vector<VideoFrame> frames;
    for (const auto& region : regions) {
        auto view = region.view.lock();
        if (!view) continue;
        frames.push_back({view, region.rect, region.clip, view->presentedFrame(), region.blurs});
    }
    return frames;
}

void VideoFrames::didSwap(const std::vector<VideoFrame>& frames) {
    std::set<const ui::GLView*> onScreen;
    for (const auto& shown : frames) {
        auto view = shown.view.lock();
        if (!view || !onScreen.insert(view.get()).second) continue;
        const auto serial = shown.frame.serial;
        auto& last = m_shownSerials[view.get()];
        if (serial > last) {
            ++m_shown;
            if (last > 0) m_dropped += serial - last - 1;
            last = serial;
        }
        view->windowDidShowFrame(serial);
    }
    // A view the window holds but does not show (hidden, or scrolled away) would otherwise keep
    // its renderer waiting for ever: its frames are let go unseen.
    for (const auto& view : m_views) {
        if (!onScreen.count(view.get())) view->windowDidShowFrame(view->presentedFrame().serial, false);
    }
}

}  // namespace display
