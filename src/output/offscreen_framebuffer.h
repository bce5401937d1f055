#pragma once

#include <memory>

#include "output/render_method.h"
#include "platform/media/pixel_buffer.h"

namespace reelhaven {

// The renderer's half-float RGBA target: a GL_RGBA16F texture behind a framebuffer object, and
// the pixel buffer that stands for the memory other APIs would share with it. Linux has no such
// shared memory, so the pixels reach the buffer by a read-back (glFinish, then glReadPixels as
// GL_HALF_FLOAT): one copy, made only when a frame leaves GL (an HDR or picture-in-picture frame).
//
// Threads: made, used and destroyed on the thread where its GL context is current (the render
// queue). The pixel buffer it hands out is read elsewhere only after it was filled.
class OffscreenFramebuffer {
public:
    // None when the size is empty or GL cannot make a complete framebuffer of it.
    static std::unique_ptr<OffscreenFramebuffer> create(int width, int height);
    ~OffscreenFramebuffer();
    OffscreenFramebuffer(const OffscreenFramebuffer&) = delete;
    OffscreenFramebuffer& operator=(const OffscreenFramebuffer&) = delete;

    const FBOInfo& info() const { return m_info; }
    bool hasSize(int width, int height) const { return m_info.renderWidth == width && m_info.renderHeight == height; }
    // The storage of the last `readBack`, RGBA half floats, top row first.
    const std::shared_ptr<media::PixelBuffer>& pixelBuffer() const { return m_pixelBuffer; }

    // Waits for GL to finish drawing, then fills `pixelBuffer` with the framebuffer's pixels.
    // False when GL refuses the read.
    bool readBack();
    // The same into a new buffer (the copy a picture-in-picture sample takes); none on failure.
    std::shared_ptr<media::PixelBuffer> readBackCopy() const;

private:
    OffscreenFramebuffer(FBOInfo info, unsigned texture, std::shared_ptr<media::PixelBuffer> pixelBuffer)
        : m_info(info), m_texture(texture), m_pixelBuffer(std::move(pixelBuffer)) {}
    bool readInto(media::PixelBuffer& buffer) const;

    const FBOInfo m_info;
    const unsigned m_texture;
    const std::shared_ptr<media::PixelBuffer> m_pixelBuffer;
};

}  // namespace reelhaven
