#include "platform/display/compositor.h"

#include <GLES3/gl3.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/fatal.h"
#include "platform/display/pixel_region.h"

namespace display {

namespace {
// One triangle covering the viewport; cairo's rows run top down, GL's bottom up.
constexpr const char* kVertexShader = R"(#version 300 es
out vec2 uv;
void main() {
    vec2 p = vec2(float((gl_VertexID << 1) & 2), float(gl_VertexID & 2));
    uv = vec2(p.x, 1.0 - p.y);
    gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0);
}
)";
// Cairo's ARGB32 is B, G, R, A in memory: the texture reads it as RGBA, the shader swaps back.
constexpr const char* kFragmentShader = R"(#version 300 es
precision mediump float;
in vec2 uv;
uniform sampler2D interfaceTexture;
out vec4 color;
void main() { color = texture(interfaceTexture, uv).bgra; }
)";

// A rectangle of the window in GL's whole pixels, bottom up, as the blit and its scissor take it:
// each edge on the nearest pixel boundary, so layout arithmetic's dust (a view at y = 3e-06 and
// 719.999997 high) neither leaves a row unwritten nor turns a plain copy into a filtered one.
struct PixelBox {
    int x0, y0, x1, y1;

    PixelBox(const ui::Rect& r, int windowHeight)
        : x0(edge(r.origin.x)),
          y0(windowHeight - edge(r.origin.y + r.size.height)),
          x1(edge(r.origin.x + r.size.width)),
          y1(windowHeight - edge(r.origin.y)) {}

    static int edge(double position) { return static_cast<int>(std::lround(position)); }
    PixelRect rect() const { return {x0, y0, x1, y1}; }
};

// Where a video's frame is copied to. A frame within a pixel of its place's size (a 693.33-pixel
// view drawn 693 wide) goes there at its own size from the near edge: a filtered blit costs a pass
// more per frame and, the first time, the building of its path in software GL, which would delay
// the first picture.
PixelBox placed(const VideoFrame& video, int windowHeight) {
    PixelBox box(video.rect, windowHeight);
    if (std::abs(box.x1 - box.x0 - video.frame.width) <= 1) box.x1 = box.x0 + video.frame.width;
    if (std::abs(box.y1 - box.y0 - video.frame.height) <= 1) box.y1 = box.y0 + video.frame.height;
    return box;
}

// Whether a video has a frame to show and some of its place is visible.
bool showsFrame(const VideoFrame& video) { return video.frame.texture && !video.clip.isEmpty(); }

// The pixels a video's frame, blitted, writes (bottom up, as GL counts them): where it is placed,
// within its clip; empty for a view with no frame yet.
PixelRect covered(const VideoFrame& video, int windowHeight) {
    if (!showsFrame(video)) return {};
    return placed(video, windowHeight).rect().intersection(PixelBox(video.clip, windowHeight).rect());
}

// Black over the window but where `kept` lies, in up to four bands around it (a letterboxed
// player's bars): in software GL a clear is a pass over every pixel it touches, and the frame
// blitted over `kept` writes each of its pixels anyway.
void clearAround(const PixelRect& kept, int width, int height) {
    const PixelRect inside = kept.intersection({0, 0, width, height});
    if (inside.isEmpty()) {
        glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const auto [x0, y0, x1, y1] = inside;
    glEnable(GL_SCISSOR_TEST);
    for (const PixelRect& band : {PixelRect{0, 0, width, y0}, PixelRect{0, y1, width, height}, PixelRect{0, y0, x0, y1},
                                  PixelRect{x1, y0, width, y1}}) {
        if (band.isEmpty()) continue;
        glScissor(band.x0, band.y0, band.x1 - band.x0, band.y1 - band.y0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
}

unsigned compile(GLenum type, const char* source) {
    const unsigned shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        base::fatal(std::string("the compositor's shader does not compile: ") + log);
    }
    return shader;
}
}  // namespace

Compositor::Compositor(bool keptBackBuffer) : m_keptBackBuffer(keptBackBuffer) {
    const unsigned vertex = compile(GL_VERTEX_SHADER, kVertexShader);
    const unsigned fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    m_program = glCreateProgram();
    glAttachShader(m_program, vertex);
    glAttachShader(m_program, fragment);
    glLinkProgram(m_program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = 0;
    glGetProgramiv(m_program, GL_LINK_STATUS, &ok);
    if (!ok) base::fatal("the compositor's shaders do not link");
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glGenFramebuffers(1, &m_readFramebuffer);
}

Compositor::~Compositor() {
    glDeleteFramebuffers(1, &m_readFramebuffer);
    glDeleteTextures(1, &m_texture);
    glDeleteProgram(m_program);
}

int Compositor::upload(cairo_surface_t* interface, int firstRow, int endRow) {
    const int width = cairo_image_surface_get_width(interface);
    const int height = cairo_image_surface_get_height(interface);
    cairo_surface_flush(interface);
    const int stride = cairo_image_surface_get_stride(interface);
    const auto* data = cairo_image_surface_get_data(interface);
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    int rows = 0;
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, stride / 4);
    if (width != m_textureWidth || height != m_textureHeight) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, data);
        m_textureWidth = width;
        m_textureHeight = height;
        m_uploaded.assign(data, data + static_cast<size_t>(stride) * static_cast<size_t>(height));
        rows = height;
        firstRow = 0;
        endRow = height;
    } else {
        firstRow = std::clamp(firstRow, 0, height);
        endRow = endRow < 0 ? height : std::clamp(endRow, firstRow, height);
        // Only the band of rows that differ from what the texture holds goes up again.
        int first = height, last = -1;
        for (int y = firstRow; y < endRow; ++y) {
            const size_t offset = static_cast<size_t>(y) * static_cast<size_t>(stride);
            if (std::memcmp(m_uploaded.data() + offset, data + offset, rowBytes) != 0) {
                first = std::min(first, y);
                last = y;
            }
        }
        rows = last >= first ? last - first + 1 : 0;
        if (rows > 0) {
            const size_t offset = static_cast<size_t>(first) * static_cast<size_t>(stride);
            const size_t bytes = static_cast<size_t>(rows) * static_cast<size_t>(stride);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first, width, rows, GL_RGBA, GL_UNSIGNED_BYTE, data + offset);
            std::memcpy(m_uploaded.data() + offset, data + offset, bytes);
        }
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (rows > 0) {
        ++m_interfaceVersion;
        findInkedRows(data, width, stride, firstRow, endRow);
    }
    return rows;
}

void Compositor::findInkedRows(const std::uint8_t* data, int width, int stride, int first, int end) {
    // Bands closer than this merge: a few more blended rows cost less than another draw.
    constexpr int kGap = 16;
    m_rowInked.resize(static_cast<size_t>(m_textureHeight), false);
    for (int y = first; y < end; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        m_rowInked[static_cast<size_t>(y)] =
            std::any_of(row, row + width, [](std::uint32_t pixel) { return (pixel >> 24) != 0; });
    }
    m_inkedRows.clear();
    for (int y = 0; y < m_textureHeight; ++y) {
        if (!m_rowInked[static_cast<size_t>(y)]) continue;
        if (!m_inkedRows.empty() && y - (m_inkedRows.back().first + m_inkedRows.back().second) <= kGap) {
            m_inkedRows.back().second = y - m_inkedRows.back().first + 1;
        } else {
            m_inkedRows.push_back({y, 1});
        }
    }
}

bool Compositor::drawVideos(const std::vector<VideoFrame>& videos, int width, int height) {
    bool all = true;
    // A window's first blur is slow in software GL (the paths of its scaled copies are built
    // then): the first picture shows without it, and the blur comes with the next composite,
    // which is owed.
    const bool deferBlurs = !m_blur.hasRun() && !m_shownVideo;
    for (const auto& region : videos) {
        const auto& frame = region.frame;
        if (!showsFrame(region)) continue;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_readFramebuffer);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frame.texture, 0);
        if (glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            all = false;
            continue;
        }
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        const PixelBox c(region.clip, height);
        glEnable(GL_SCISSOR_TEST);
        glScissor(c.x0, c.y0, c.x1 - c.x0, c.y1 - c.y0);
        const PixelBox r = placed(region, height);
        const int x0 = r.x0, x1 = r.x1, y0 = r.y0, y1 = r.y1;
        // A frame drawn at the size it shows at copies pixel for pixel; one drawn top row first
        // is read bottom up, which the window's own top-down rows turn into a plain copy.
        const bool same = x1 - x0 == frame.width && y1 - y0 == frame.height;
        const int sourceY0 = frame.topRowFirst ? frame.height : 0, sourceY1 = frame.height - sourceY0;
        glBlitFramebuffer(0, sourceY0, frame.width, sourceY1, x0, y0, x1, y1, GL_COLOR_BUFFER_BIT,
                          same ? GL_NEAREST : GL_LINEAR);
        glDisable(GL_SCISSOR_TEST);
        if (deferBlurs) {
            m_blurOwed = m_blurOwed || !region.blurs.empty();
        } else {
            for (const auto& blurred : region.blurs) m_blur.blur(blurred, width, height);
        }
        m_shownVideo = true;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return all;
}

bool Compositor::clearsAfterCopying(const std::vector<VideoFrame>& videos) {
    return std::count_if(videos.begin(), videos.end(), showsFrame) == 1 &&
           std::all_of(videos.begin(), videos.end(), [](const VideoFrame& video) { return video.blurs.empty(); });
}

void Compositor::draw(cairo_surface_t* interface, Interface change, const std::vector<VideoFrame>& videos, int width,
                      int height) {
    m_blurOwed = false;
    // An interface never uploaded at this size goes up whatever `change` says.
    const bool sized = cairo_image_surface_get_width(interface) == m_textureWidth &&
                       cairo_image_surface_get_height(interface) == m_textureHeight;
    if (change == Interface::repainted || !sized) upload(interface);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glDisable(GL_SCISSOR_TEST);
    // Black under the videos, but where the largest frame will lie (all of the window in the
    // player, all but the bars when it is letterboxed).
    PixelRect kept;
    for (const auto& video : videos) {
        const PixelRect box = covered(video, height);
        if (box.area() > kept.area()) kept = box;
    }
    glClearColor(0, 0, 0, 1);
    // One frame with no blur over it (a letterboxed player, its controls hidden): its bands are
    // cleared after it is copied, in one pass with the interface blended over them. Cleared
    // before, they make a pass of their own ahead of the copy, and in software GL each pass costs
    // the rasterizer's threads a round of their own, however few its pixels. Other frames may lie
    // in the bands of the largest, and a blur reads what is around its frame: those clear first.
    const bool clearLast = clearsAfterCopying(videos);
    // Kept from the last composite, what lies around the frame is as this one would draw it: then
    // only the frame's place is drawn, and with the frame's copy done by the CPU a letterboxed
    // player whose controls are hidden makes the rasterizer no pass at all.
    const Surround surround{kept, width, height, m_interfaceVersion};
    const bool surroundKept = clearLast && m_surround == surround;
    m_surround.reset();
    if (!clearLast) clearAround(kept, width, height);
    const bool drawn = drawVideos(videos, width, height);
    if (!drawn && !kept.isEmpty()) {
        // A frame could not be read after all: black and the others, so nothing stale shows.
        glClear(GL_COLOR_BUFFER_BIT);
        drawVideos(videos, width, height);
    }
    if (clearLast && !surroundKept) clearAround(kept, width, height);
    blendInterface(surroundKept ? kept : PixelRect{0, 0, width, height}, width, height);
    if (m_keptBackBuffer && clearLast && drawn) m_surround = surround;
}

void Compositor::blendInterface(const PixelRect& within, int width, int height) {
    glUseProgram(m_program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glUniform1i(glGetUniformLocation(m_program, "interfaceTexture"), 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);  // cairo's pixels are premultiplied
    glEnable(GL_SCISSOR_TEST);
    const int textureHeight = std::max(1, m_textureHeight);
    for (const auto& [first, count] : m_inkedRows) {
        // Texture rows run top down, the window's bottom up; the texture fills the window.
        const int top = first * height / textureHeight;
        const int bottom = ((first + count) * height + textureHeight - 1) / textureHeight;
        const PixelRect rows = PixelRect{0, height - bottom, width, height - top}.intersection(within);
        if (rows.isEmpty()) continue;
        glScissor(rows.x0, rows.y0, rows.x1 - rows.x0, rows.y1 - rows.y0);
        glDrawArrays(GL_TRIANGLES, 0, 3);
    }
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
}

gfx::Image Compositor::readPixels(int width, int height) const {
    gfx::Image image(width, height);
    std::vector<std::uint8_t> rows(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    for (int y = 0; y < height; ++y) {
        std::memcpy(image.row(height - 1 - y), rows.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 4,
                    static_cast<size_t>(width) * 4);
        for (int x = 0; x < width; ++x) image.row(height - 1 - y)[x * 4 + 3] = 255;
    }
    return image;
}

}  // namespace display
