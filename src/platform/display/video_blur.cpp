#include "platform/display/video_blur.h"

#include <GLES3/gl3.h>

#include <algorithm>
#include <cmath>

namespace display {

namespace {
constexpr int kStep = 4;  // each step scales by this much: 16 in all
}

VideoBlur::~VideoBlur() {
    if (m_framebuffers[0]) glDeleteFramebuffers(2, m_framebuffers);
    if (m_renderbuffers[0]) glDeleteRenderbuffers(2, m_renderbuffers);
}

void VideoBlur::reserve(int width, int height) {
    if (width <= m_width && height <= m_height) return;
    m_width = std::max(width, m_width);
    m_height = std::max(height, m_height);
    if (!m_framebuffers[0]) {
        glGenFramebuffers(2, m_framebuffers);
        glGenRenderbuffers(2, m_renderbuffers);
    }
    int w = m_width, h = m_height;
    for (int i = 0; i < 2; ++i) {
        w = std::max(1, (w + kStep - 1) / kStep);
        h = std::max(1, (h + kStep - 1) / kStep);
        glBindRenderbuffer(GL_RENDERBUFFER, m_renderbuffers[i]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffers[i]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_renderbuffers[i]);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void VideoBlur::blur(const ui::Rect& rect, int width, int height) {
    const int left = std::clamp(static_cast<int>(std::floor(rect.minX())), 0, width);
    const int right = std::clamp(static_cast<int>(std::ceil(rect.maxX())), 0, width);
    const int top = std::clamp(static_cast<int>(std::floor(rect.minY())), 0, height);
    const int bottom = std::clamp(static_cast<int>(std::ceil(rect.maxY())), 0, height);
    if (right - left < kStep * kStep || bottom - top < kStep * kStep) return;
    reserve(right - left, bottom - top);
    // The window's rows run bottom up.
    const int x0 = left, x1 = right, y0 = height - bottom, y1 = height - top;
    const int w1 = (x1 - x0 + kStep - 1) / kStep, h1 = (y1 - y0 + kStep - 1) / kStep;
    const int w2 = (w1 + kStep - 1) / kStep, h2 = (h1 + kStep - 1) / kStep;
    auto blit = [](unsigned from, unsigned to, int sx0, int sy0, int sx1, int sy1, int dx0, int dy0, int dx1, int dy1) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
        glBlitFramebuffer(sx0, sy0, sx1, sy1, dx0, dy0, dx1, dy1, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    };
    blit(0, m_framebuffers[0], x0, y0, x1, y1, 0, 0, w1, h1);
    blit(m_framebuffers[0], m_framebuffers[1], 0, 0, w1, h1, 0, 0, w2, h2);
    blit(m_framebuffers[1], m_framebuffers[0], 0, 0, w2, h2, 0, 0, w1, h1);
    blit(m_framebuffers[0], 0, 0, 0, w1, h1, x0, y0, x1, y1);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    m_hasRun = true;
}

}  // namespace display
