#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/display/cairo_surface.h"
#include "platform/display/content_painter.h"
#include "platform/display/pixel_region.h"
#include "platform/display/video_blur.h"
#include "platform/ui/gl/gl_view.h"

namespace display {

// A video view's frame as one composite shows it: taken once, before drawing, so the frame the
// window swaps is the one reported shown afterwards (the renderer may hand over another meanwhile).
struct VideoFrame {
    std::weak_ptr<ui::GLView> view;
    ui::Rect rect;  // where the view shows, in the window's pixels
    ui::Rect clip;  // the part left visible
    ui::GLView::PresentedFrame frame;
    std::vector<ui::Rect> blurs;  // where a blur material over it lies, in the window's pixels
};

// Composites a frame in the window's GL context (current on the calling thread): black (but under
// the largest frame, which covers its place; around a frame shown alone, after it), then the
// newest frame of each OpenGL view where it shows (a blit from the texture its context shares: no
// copy through the CPU), blurred under the blur materials over it (but in the window's very first
// picture, see `owesBlur`), then the painted interface over them with its alpha, the holes over
// the videos left clear. The interface texture is kept between frames and only the rows that
// changed are uploaded again. Where the window keeps its back buffer across swaps, what lies
// around a frame shown alone is drawn only when it changed: a letterboxed player's bars, black
// and the interface over them, are drawn once, not every frame. Main thread (the window's
// context) only.
class Compositor {
public:
    // `keptBackBuffer`: a swap leaves the back buffer as it was drawn (DisplayWindow::keepsBackBuffer).
    explicit Compositor(bool keptBackBuffer = false);
    ~Compositor();
    Compositor(const Compositor&) = delete;
    Compositor& operator=(const Compositor&) = delete;

    // Whether the interface was painted again since it was last uploaded: an unchanged one is not
    // even compared with what the texture holds (a 1280x720 window is 3.7 MB to compare).
    enum class Interface { unchanged, repainted };
    // Draws into the window's back buffer of `width` x `height` pixels. `interface` is the painted
    // interface at that size (premultiplied ARGB32).
    void draw(cairo_surface_t* interface, Interface change, const std::vector<VideoFrame>& videos, int width,
              int height);
    // Brings the interface texture up to `interface`, sending only the rows that differ from
    // what it holds: the number of rows sent, 0 when the window would show nothing new of it.
    // Only the rows from `firstRow` up to `endRow` are compared: the painter changed no others.
    int upload(cairo_surface_t* interface, int firstRow = 0, int endRow = -1);
    // The window system may have given the window a new back buffer (it was resized or exposed):
    // the next `draw` draws all of it.
    void backBufferLost() { m_surround.reset(); }
    // The back buffer as drawn, upright (screenshots only).
    gfx::Image readPixels(int width, int height) const;
    // The last `draw` left the blur under materials over a video out (the window's first picture
    // goes up without waiting for the first blur): the next composite owes it.
    bool owesBlur() const { return m_blurOwed; }

private:
    // Blits each video's frame where it shows; false when one could not be read.
    bool drawVideos(const std::vector<VideoFrame>& videos, int width, int height);
    // Whether the black around the one frame of `videos` can go on after it is copied.
    static bool clearsAfterCopying(const std::vector<VideoFrame>& videos);
    // Blends the interface's inked rows over what is drawn, within `within`.
    void blendInterface(const PixelRect& within, int width, int height);
    // Looks again at the rows from `first` up to `end` for ink.
    void findInkedRows(const std::uint8_t* data, int width, int stride, int first, int end);

    unsigned m_program = 0;
    unsigned m_texture = 0;
    unsigned m_readFramebuffer = 0;
    int m_textureWidth = 0;
    int m_textureHeight = 0;
    std::vector<std::uint8_t> m_uploaded;  // what the texture holds, to find the changed rows
    // The bands of rows where the interface has any pixel that is not clear: only those are
    // blended over the video (in software GL a full-window blend costs as much as the video).
    std::vector<std::pair<int, int>> m_inkedRows;  // first row, row count
    std::vector<bool> m_rowInked;                  // per row of the texture
    VideoBlur m_blur;
    bool m_shownVideo = false;  // a video frame was drawn before
    bool m_blurOwed = false;
    const bool m_keptBackBuffer;
    std::uint64_t m_interfaceVersion = 0;  // counts the uploads that changed the texture
    // With a kept back buffer: what the last composite drew around its one frame (black and the
    // interface over it) was drawn for this frame's place, window size and interface. Another
    // composite with all three the same finds it there still.
    struct Surround {
        PixelRect frame;
        int width = 0, height = 0;
        std::uint64_t interfaceVersion = 0;
        bool operator==(const Surround&) const = default;
    };
    std::optional<Surround> m_surround;
};

}  // namespace display
