#include "platform/ui/gl/gl_view.h"

#include <GLES3/gl3.h>
// After gl3.h, whose types it uses.
#include <GLES2/gl2ext.h>

#include <cmath>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/fatal.h"
#include "platform/graphics/gl_context.h"
#include "platform/graphics/gl_readback.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"

namespace ui {

namespace {
thread_local const GLView* tlsDisplaying = nullptr;

int pixels(double points, double scale) {
    double value = std::round(points * scale);
    if (!(value >= 0)) return 0;
    if (value > std::numeric_limits<std::int32_t>::max()) base::fatal("GL view drawable size outside Int32");
    return static_cast<int>(value);
}

bool hasExtension(const char* name) {
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions) return false;
    const std::string_view all(extensions), wanted(name);
    for (std::size_t at = all.find(wanted); at != std::string_view::npos; at = all.find(wanted, at + 1)) {
        const std::size_t end = at + wanted.size();
        if ((at == 0 || all[at - 1] == ' ') && (end == all.size() || all[end] == ' ')) return true;
    }
    return false;
}

// A frame's colour storage: BGRA (the layout of a window's back buffer) or RGBA. Leaves the
// drawer's texture binding as it was.
unsigned makeColorTexture(int width, int height, bool bgra) {
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    if (bgra) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_BGRA_EXT, width, height, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, nullptr);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return texture;
}

void deleteTexture(unsigned& texture) {
    if (texture) glDeleteTextures(1, &texture);
    texture = 0;
}
}  // namespace

std::shared_ptr<GLView> GLView::create(const Rect& frame) { return std::shared_ptr<GLView>(new GLView(frame)); }

GLView::GLView(const Rect& frame) : View(frame) { updateDrawableSize(); }

GLView::~GLView() {
    // GL names belong to the context's thread; a view that drew is released by its owner there
    // (the framebuffer goes with the context otherwise).
    if (m_context && m_context->isCurrent()) releaseFramebuffer();
}

void GLView::setContext(std::shared_ptr<gfx::GLContext> context) {
    std::lock_guard lock(m_mutex);
    m_context = std::move(context);
}

std::shared_ptr<gfx::GLContext> GLView::context() const {
    std::lock_guard lock(m_mutex);
    return m_context;
}

int GLView::drawableWidth() const {
    std::lock_guard lock(m_mutex);
    return m_drawableWidth;
}

int GLView::drawableHeight() const {
    std::lock_guard lock(m_mutex);
    return m_drawableHeight;
}

void GLView::setKeepsLastFrame(bool keep) {
    std::lock_guard lock(m_mutex);
    m_keepsLastFrame = keep;
}

gfx::Image GLView::lastFrame() const {
    std::lock_guard lock(m_mutex);
    return m_lastFrame;
}

std::uint64_t GLView::framesDisplayed() const {
    std::lock_guard lock(m_mutex);
    return m_framesDisplayed;
}

void GLView::setPresentsToSharedContext(bool presents) {
    std::function<void()> shown, started;
    {
        std::lock_guard lock(m_mutex);
        if (presents && !m_presentsToSharedContext) {
            m_windowHasFrame = false;
            if (m_framesDisplayed > 0) started = m_presentationStartedHandler;
        }
        m_presentsToSharedContext = presents;
        // A window that stops taking frames no longer holds back the next one.
        if (!presents && std::exchange(m_awaitingWindow, false)) shown = m_frameShownHandler;
    }
    if (shown) shown();
    if (started) started();
}

void GLView::setPresentationStartedHandler(std::function<void()> handler) {
    std::lock_guard lock(m_mutex);
    m_presentationStartedHandler = std::move(handler);
}

bool GLView::isAwaitingWindow() const {
    std::lock_guard lock(m_mutex);
    return m_awaitingWindow;
}

void GLView::windowDidShowFrame(std::uint64_t serial, bool onScreen) {
    std::function<void()> shown;
    {
        std::lock_guard lock(m_mutex);
        if (onScreen && serial > m_lastSerialShown) {
            m_lastSerialShown = serial;
            ++m_framesShownInWindow;
        }
        // An older frame's swap says nothing about the newest one.
        if (!m_awaitingWindow || serial < m_presented.serial) return;
        m_awaitingWindow = false;
        shown = m_frameShownHandler;
    }
    if (shown) shown();
}

std::uint64_t GLView::framesShownInWindow() const {
    std::lock_guard lock(m_mutex);
    return m_framesShownInWindow;
}

std::uint64_t GLView::lastSerialShownInWindow() const {
    std::lock_guard lock(m_mutex);
    return m_lastSerialShown;
}

void GLView::setFrameShownHandler(std::function<void()> handler) {
    std::lock_guard lock(m_mutex);
    m_frameShownHandler = std::move(handler);
}

GLView::PresentedFrame GLView::presentedFrame() const {
    std::lock_guard lock(m_mutex);
    return m_presented;
}

void GLView::setFramePresentedHandler(std::function<void()> handler) {
    std::lock_guard lock(m_mutex);
    m_framePresentedHandler = std::move(handler);
}

void GLView::updateDrawableSize() {
    auto win = window();
    auto screen = win && win->screen() ? win->screen() : Screen::main();
    double scale = screen ? screen->scale() : 1.0;
    auto size = bounds().size;
    std::lock_guard lock(m_mutex);
    m_drawableWidth = pixels(size.width, scale);
    m_drawableHeight = pixels(size.height, scale);
}

void GLView::setFrame(const Rect& frame) {
    View::setFrame(frame);
    updateDrawableSize();
}

void GLView::setBounds(const Rect& bounds) {
    View::setBounds(bounds);
    updateDrawableSize();
}

void GLView::layoutSubviews() {
    View::layoutSubviews();
    updateDrawableSize();
}

void GLView::didMoveToWindow() {
    View::didMoveToWindow();
    updateDrawableSize();
}

bool GLView::isDisplaying() const { return tlsDisplaying == this; }

void GLView::releaseFramebuffer() {
    if (m_framebuffer) glDeleteFramebuffers(1, &m_framebuffer);
    m_framebuffer = 0;
    deleteTexture(m_texture);
    deleteTexture(m_spareTexture);
    m_framebufferWidth = m_framebufferHeight = 0;
    m_holdsFrame = false;
}

bool GLView::display() { return displayFrame(Repeat::show); }

bool GLView::displayIfChanged() { return displayFrame(Repeat::skip); }

bool GLView::prepareFramebuffer(int width, int height) {
    // The framebuffer's name stays for the view's life (drawers may keep it); a new size only
    // gets new storage.
    if (!m_framebuffer) glGenFramebuffers(1, &m_framebuffer);
    if (width != m_framebufferWidth || height != m_framebufferHeight) {
        deleteTexture(m_texture);
        deleteTexture(m_spareTexture);
        m_holdsFrame = false;
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        // BGRA where the context has it and can render to it; RGBA otherwise.
        m_bgra = hasExtension("GL_EXT_texture_format_BGRA8888");
        bool complete = false;
        for (bool bgra : {m_bgra, false}) {
            deleteTexture(m_texture);
            m_bgra = bgra;
            m_texture = makeColorTexture(width, height, bgra);
            attach(m_texture);
            complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
            if (complete || !bgra) break;
        }
        m_framebufferWidth = complete ? width : 0;
        m_framebufferHeight = complete ? height : 0;
        if (!complete) return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    return true;
}

void GLView::attachSpare(int width, int height) {
    if (!m_spareTexture) m_spareTexture = makeColorTexture(width, height, m_bgra);
    std::swap(m_texture, m_spareTexture);
    attach(m_texture);
}

void GLView::attach(unsigned texture) {
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
}

gfx::Image GLView::readFrame(int width, int height) const {
    return gfx::readFramebufferRGBA8(m_framebuffer, width, height,
                                     drawsTopRowFirst() ? gfx::RowOrder::topFirst : gfx::RowOrder::bottomFirst);
}

bool GLView::displayFrame(Repeat repeat) {
    int width, height;
    bool keep, presents, windowLacksFrame;
    {
        std::lock_guard lock(m_mutex);
        width = m_drawableWidth;
        height = m_drawableHeight;
        keep = m_keepsLastFrame;
        presents = m_presentsToSharedContext;
        windowLacksFrame = presents && !m_windowHasFrame;
    }
    if (width <= 0 || height <= 0) return false;
    if (!prepareFramebuffer(width, height)) return false;
    // The frame shown last, to compare the new one with: a repeat draws into the other
    // texture, so the shown one stays whole when the two turn out the same.
    // Only a frame the window already has can be repeated.
    const bool compares = repeat == Repeat::skip && m_holdsFrame && !windowLacksFrame;
    gfx::Image shown;
    if (compares) shown = readFrame(width, height);
    // Draw into the texture the window is not showing.
    if (presents || compares) attachSpare(width, height);
    glViewport(0, 0, width, height);
    tlsDisplaying = this;
    draw(Rect{{0, 0}, {static_cast<double>(width), static_cast<double>(height)}});
    tlsDisplaying = nullptr;
    // The new picture, read once: compared with the shown one and kept as the last frame.
    gfx::Image drawn;
    if (compares || keep) drawn = readFrame(width, height);
    // A drawer (libmpv) may leave another framebuffer bound.
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    if (compares && !drawn.pixels().empty() && drawn.pixels() == shown.pixels()) {
        // The same picture again: the window keeps showing the one it has.
        std::swap(m_texture, m_spareTexture);
        attach(m_texture);
        return false;
    }
    m_holdsFrame = true;
    gfx::Image frame;
    if (keep) frame = std::move(drawn);
    // The window's context samples the frame only once it is whole.
    if (presents) glFinish();
    std::function<void()> presented;
    bool awaits = false;
    {
        std::lock_guard lock(m_mutex);
        ++m_framesDisplayed;
        if (keep) m_lastFrame = frame;
        if (presents) {
            m_presented = {m_texture, width, height, drawsTopRowFirst(), m_presented.serial + 1};
            // A window that stopped taking frames while this one was drawn will not show it.
            awaits = m_awaitingWindow = m_presentsToSharedContext;
            m_windowHasFrame = m_presentsToSharedContext;
            presented = m_framePresentedHandler;
        }
    }
    if (onFrameDisplayed) onFrameDisplayed(frame);
    if (presented) presented();
    return awaits;
}

}  // namespace ui
