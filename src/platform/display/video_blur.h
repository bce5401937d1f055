#pragma once

#include "platform/ui/views/rect.h"

namespace display {

// Blurs a rectangle of the window's back buffer in place, in the GL context current on the
// calling thread: the video under a blur material. The pixels are scaled down by 16 in two
// filtered steps and back up in two, all blits on the GPU, which leaves no detail of the picture
// (a subtitle is a soft smear) for the cost of one read and one write of the rectangle and a few
// small copies. Main thread (the window's context).
class VideoBlur {
public:
    VideoBlur() = default;
    ~VideoBlur();
    VideoBlur(const VideoBlur&) = delete;
    VideoBlur& operator=(const VideoBlur&) = delete;

    // `rect` in the window's pixels, top-down; the window is `width` x `height`.
    void blur(const ui::Rect& rect, int width, int height);
    // Whether a blur has run in this context (the first one is the costly one).
    bool hasRun() const { return m_hasRun; }

private:
    // The two scaled-down copies' framebuffers and their storage, grown as needed.
    void reserve(int width, int height);

    unsigned m_framebuffers[2] = {0, 0};
    unsigned m_renderbuffers[2] = {0, 0};
    int m_width = 0;
    int m_height = 0;
    bool m_hasRun = false;
};

}  // namespace display
