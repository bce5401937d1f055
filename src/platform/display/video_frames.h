#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/display/compositor.h"
#include "platform/display/content_painter.h"

namespace ui {
class GLView;
class Window;
}  // namespace ui

namespace display {

// The window's side of the video views' frames. The views the painter finds in the window hand
// their frames over to it (views that leave stop); each composite takes their newest frames once,
// and after its swap every view hears that its frame was shown (or, off screen, let go), so its
// renderer draws the next one only then: one frame drawn, one frame shown. Frames a view
// replaced before any composite took them are counted as dropped. Main thread only.
class VideoFrames {
public:
    // `onFrame` is called on the renderer's thread after each frame a view hands over.
    explicit VideoFrames(std::function<void()> onFrame) : m_onFrame(std::move(onFrame)) {}
    ~VideoFrames();
    VideoFrames(const VideoFrames&) = delete;
    VideoFrames& operator=(const VideoFrames&) = delete;

    // After a paint: the views of `regions` present to the window; those no longer in `window` stop.
    void watch(const std::vector<VideoRegion>& regions, const std::shared_ptr<ui::Window>& window);
    // The frames a composite shows now, in the regions' order.
    std::vector<VideoFrame> take(const std::vector<VideoRegion>& regions);
    // After the swap of a composite that showed `frames`: counts them and ends each view's wait.
    void didSwap(const std::vector<VideoFrame>& frames);
    // The window is closing: every view stops presenting to it, and none is taken on again. The
    // counts stay.
    void releaseAll();

    std::uint64_t shown() const { return m_shown; }
    std::uint64_t dropped() const { return m_dropped; }

private:
    void stop(const std::shared_ptr<ui::GLView>& view);

    std::function<void()> m_onFrame;
    std::set<std::shared_ptr<ui::GLView>> m_views;
    std::map<const ui::GLView*, std::uint64_t> m_shownSerials;
    std::uint64_t m_shown = 0;
    std::uint64_t m_dropped = 0;
    bool m_released = false;
};

}  // namespace display
