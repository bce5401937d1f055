#include "output/offscreen_framebuffer.h"

#include <GLES3/gl3.h>

namespace reelhaven {
namespace {
constexpr std::size_t kBytesPerPixel = 8;  // four half floats
}

std::unique_ptr<OffscreenFramebuffer> OffscreenFramebuffer::create(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    GLuint texture = 0, framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, width, height, 0, GL_RGBA, GL_HALF_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    const bool complete =
        glGetError() == GL_NO_ERROR && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    // GL first: it refuses sizes the memory of the pixel buffer should not be asked for.
    auto pixelBuffer = complete ? media::PixelBuffer::create(width, height, media::PixelFormat::rgba64Half) : nullptr;
    if (!pixelBuffer) {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &texture);
        return nullptr;
    }
    FBOInfo info{static_cast<int>(framebuffer), width, height};
    return std::unique_ptr<OffscreenFramebuffer>(new OffscreenFramebuffer(info, texture, std::move(pixelBuffer)));
}

OffscreenFramebuffer::~OffscreenFramebuffer() {
    GLuint framebuffer = static_cast<GLuint>(m_info.identifier);
    GLuint texture = m_texture;
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
}

bool OffscreenFramebuffer::readInto(media::PixelBuffer& buffer) const {
    // mpv draws into a framebuffer unflipped, so GL's first row is the picture's top row, as it
    // is in the shared memory this stands for: the rows go across as they are.
    while (glGetError() != GL_NO_ERROR) {
    }  // an error left by earlier calls is not this read's
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_info.identifier));
    glFinish();
    buffer.lockBaseAddress();
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(buffer.bytesPerRow() / kBytesPerPixel));
    glReadPixels(0, 0, m_info.renderWidth, m_info.renderHeight, GL_RGBA, GL_HALF_FLOAT, buffer.baseAddress());
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    buffer.unlockBaseAddress();
    const bool read = glGetError() == GL_NO_ERROR;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    return read;
}

bool OffscreenFramebuffer::readBack() { return readInto(*m_pixelBuffer); }

std::shared_ptr<media::PixelBuffer> OffscreenFramebuffer::readBackCopy() const {
    auto copy = media::PixelBuffer::create(m_info.renderWidth, m_info.renderHeight, media::PixelFormat::rgba64Half);
    if (!copy || !readInto(*copy)) return nullptr;
    return copy;
}

}  // namespace reelhaven
