#include "platform/display/display_host.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "platform/base/escaped_text.h"
#include "platform/base/log.h"
#include "platform/base/startup_marks.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/clipboard.h"
#include "platform/display/compositor.h"
#include "platform/display/display_window.h"
#include "platform/display/key_input.h"
#include "platform/display/pointer_input.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/video_frames.h"
#include "platform/display/view_painter.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/gestures/click_runs.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/gestures/presses_before_paint.h"
#include "platform/ui/gl/gl_view.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"

namespace display {

namespace {
// Size classes as the platform gives them to a window of that size.
ui::TraitCollection traitsFor(ui::TraitCollection traits, ui::Size size, double scale) {
    traits.displayScale = scale;
    return ui::TraitCollection::withSizeClasses(traits, size.width, size.height);
}

std::uint32_t modifierFlags(Uint16 mod) {
    std::uint32_t flags = ui::Key::none;
    if (mod & KMOD_SHIFT) flags |= ui::Key::shift;
    if (mod & KMOD_CTRL) flags |= ui::Key::control;
    if (mod & KMOD_ALT) flags |= ui::Key::alternate;
    if (mod & KMOD_GUI) flags |= ui::Key::command;
    return flags;
}

std::string charactersOf(const SDL_Keysym& key) {
    if (key.sym == SDLK_SPACE) return " ";
    if (key.sym > 32 && key.sym < 127) {
        char c = static_cast<char>(key.sym);
        if ((key.mod & KMOD_SHIFT) && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return std::string(1, c);
    }
    return {};
}

// What the key gives on the user's layout (SDL's keysym), for a key that types; 0 for one that
// does not (an arrow, whose keysym only names its place).
char32_t symbolOf(const SDL_Keysym& key) { return key.sym & SDLK_SCANCODE_MASK ? 0 : static_cast<char32_t>(key.sym); }

// The mouse buttons the interface takes: the primary presses controls, the secondary opens
// menus. The middle and side buttons do nothing (a side button is no click, and SDL counts
// clicks per button, so none of theirs would be held back as a double click's rest).
std::optional<PointerInput::Button> pointerButton(Uint8 button) {
    if (button == SDL_BUTTON_LEFT) return PointerInput::Button::primary;
    if (button == SDL_BUTTON_RIGHT) return PointerInput::Button::secondary;
    return std::nullopt;
}
}  // namespace

void DisplayHost::Signals::wake() {
    if (wakePending.exchange(true)) return;  // one wake-up event in the queue is enough
    SDL_Event event{};
    event.type = wakeEvent;
    SDL_PushEvent(&event);
}

foundation::Result<std::unique_ptr<DisplayHost>> DisplayHost::open(Options options) {
    ui::Size size = options.size.value_or(options.initialSize.value_or(ui::Size{640, 480}));
    // Not below the smallest size, which would size it again at once.
    if (options.minimumSize) {
        size.width = std::max(size.width, options.minimumSize->width);
        size.height = std::max(size.height, options.minimumSize->height);
    }
    auto desktop = DisplayWindow::open(options.title, size, options.hidden);
    if (!desktop) return desktop.error();
    if (options.minimumSize) desktop.value()->setMinimumSize(*options.minimumSize);
    return std::unique_ptr<DisplayHost>(new DisplayHost(std::move(desktop.value()), std::move(options)));
}

DisplayHost::DisplayHost(std::unique_ptr<DisplayWindow> desktop, Options options)
    : m_desktop(std::move(desktop)),
      m_painter(std::make_unique<ViewPainter>(SymbolIcons::shared())),
      m_videoFrames(std::make_unique<VideoFrames>(
          [signals = m_signals, loop = std::weak_ptr<dispatch::RunLoop>(dispatch::RunLoop::main())] {
              signals->videoFrame = true;
              // The loop's wake reaches the window's own wait through its wake handler, and a
              // settle or a script's wait, which serve the window from the loop, at once.
              if (auto served = loop.lock()) {
                  served->wake();
              } else {
                  signals->wake();
              }
          })),
      m_options(std::move(options)),
      m_quietTime(m_options.quietTime) {
    m_signals->wakeEvent = SDL_RegisterEvents(1);
    m_wakeEvent = m_signals->wakeEvent;
    ui::PressesBeforePaint::windowOpened();
    auto signals = m_signals;
    dispatch::RunLoop::main()->setWakeHandler([signals] { signals->wake(); });
    SDL_StartTextInput();
}

void DisplayHost::show(std::shared_ptr<ui::Window> window) {
    m_window = std::move(window);
    m_pointer = std::make_unique<PointerInput>(m_window);
    // The app's paste controls offer what the desktop holds, as its fields' Ctrl+V does.
    if (!m_pasteboard) m_pasteboard = std::make_unique<DesktopPasteboard>(std::make_shared<SystemClipboard>());
    m_keys = std::make_unique<KeyInput>(m_window, m_pasteboard->clipboard());
    if (!m_options.size && !(m_window->bounds().size == m_desktop->pointSize())) {
        m_desktop->resize(m_window->bounds().size);
    }
    applyWindowSize(false);
}

DisplayHost::~DisplayHost() {
    ui::PressesBeforePaint::windowClosed();
    writeStatistics();
    dispatch::RunLoop::main()->setWakeHandler(nullptr);
    m_videoFrames.reset();
    m_desktop->makeCurrent();
    m_compositor.reset();
}

Compositor& DisplayHost::compositor() {
    // Made at the first composite, with the window's context current: its shaders then compile
    // while the player opens its file, not before the file is asked for.
    if (!m_compositor) m_compositor = std::make_unique<Compositor>(m_desktop->keepsBackBuffer());
    return *m_compositor;
}

std::uint32_t DisplayHost::windowID() const { return m_desktop->windowID(); }

void DisplayHost::releaseVideos() { m_videoFrames->releaseAll(); }

double DisplayHost::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void DisplayHost::applyWindowSize(bool transition) {
    if (!m_window) return;
    const auto points = m_desktop->pointSize();
    const double scale = m_desktop->scale();
    // The window's screen (the main one unless it was given another) is the desktop window.
    for (const auto& screen : {ui::Screen::main(), m_window->screen()}) {
        if (!screen) continue;
        screen->setBounds(ui::Rect(0, 0, points.width, points.height));
        screen->setScale(scale);
        screen->setMaximumFramesPerSecond(m_desktop->refreshRate());
    }
    m_window->setTraitCollection(traitsFor(m_window->windowTraitCollection(), points, scale));
    if (transition && !(m_window->bounds().size == points)) {
        m_window->transitionToSize(points, 0);
    } else {
        m_window->setFrame(ui::Rect(0, 0, points.width, points.height));
    }
    m_interfaceDirty = true;
    m_mustComposite = true;
    m_windowSystemChange = true;
}

ui::Size DisplayHost::windowSize() const { return m_desktop->pointSize(); }

void DisplayHost::resize(ui::Size points) {
    m_desktop->resize(points);
    applyWindowSize(true);
}

void DisplayHost::click(ui::Point at) {
    // Bars and alerts drawn outside the views take clicks where the last paint put them.
    m_interfaceDirty = true;
    frame();
    m_hostButton = MouseButton::left;
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) pushMouse(type, at);
    handleQueuedEvents();
    // A click where a double click could follow taps once that has not come: the script's next
    // command sees what the tap did.
    const auto interval = std::chrono::milliseconds(static_cast<int>(PointerInput::doubleClickInterval * 1000));
    dispatch::RunLoop::main()->runUntil([this] { return !m_pointer->tapPending(); }, interval * 10);
}

void DisplayHost::mouseDown(ui::Point at, MouseButton button, int clicks) {
    // What the window draws over its views takes the press where the last paint put it.
    m_interfaceDirty = true;
    frame();
    m_hostButton = button;
    pushMouse(SDL_MOUSEBUTTONDOWN, at, clicks);
    handleQueuedEvents();
}

void DisplayHost::mouseMove(ui::Point to) {
    pushMouse(SDL_MOUSEMOTION, to);
    handleQueuedEvents();
}

void DisplayHost::mouseUp(ui::Point at) {
    pushMouse(SDL_MOUSEBUTTONUP, at);
    handleQueuedEvents();
}

void DisplayHost::pushMouse(std::uint32_t type, ui::Point at, int clicks) {
    const bool right = m_hostButton == MouseButton::right;
    const auto units = m_desktop->toUnits(at);
    const int x = static_cast<int>(std::lround(units.x)), y = static_cast<int>(std::lround(units.y));
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.state = right ? SDL_BUTTON_RMASK : SDL_BUTTON_LMASK;
        event.motion.x = x;
        event.motion.y = y;
    } else {
        event.button.button = right ? SDL_BUTTON_RIGHT : SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = static_cast<Uint8>(clicks);
        event.button.x = x;
        event.button.y = y;
    }
    SDL_PushEvent(&event);
}

std::optional<ui::Point> DisplayHost::drawnPointOf(int handle) {
    m_interfaceDirty = true;
    frame();
    for (auto it = m_chrome.targets.rbegin(); it != m_chrome.targets.rend(); ++it) {
        if (it->handle == handle) return it->rect.center();
    }
    return std::nullopt;
}

void DisplayHost::pressKey(int usage, std::uint32_t modifiers, std::optional<char32_t> symbol) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(usage);
    event.key.keysym.sym =
        symbol ? static_cast<SDL_Keycode>(*symbol) : SDL_GetKeyFromScancode(event.key.keysym.scancode);
    Uint16 mod = KMOD_NONE;
    if (modifiers & ui::Key::shift) mod |= KMOD_LSHIFT;
    if (modifiers & ui::Key::control) mod |= KMOD_LCTRL;
    if (modifiers & ui::Key::alternate) mod |= KMOD_LALT;
    if (modifiers & ui::Key::command) mod |= KMOD_LGUI;
    event.key.keysym.mod = mod;
    SDL_PushEvent(&event);
    // Released at once, as a key tapped is.
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    SDL_PushEvent(&event);
    handleQueuedEvents();
}

void DisplayHost::typeText(const std::string& utf8) {
    // A character an event, as a keyboard delivers them (an event holds 32 bytes at most).
    for (size_t start = 0; start < utf8.size();) {
        size_t end = start + 1;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        utf8.copy(event.text.text, std::min(end - start, sizeof(event.text.text) - 1), start);
        SDL_PushEvent(&event);
        start = end;
    }
    handleQueuedEvents();
}

void DisplayHost::presentIfDue() {
    // A new video frame goes up at once, as in the window's own loop (its renderer waits for the
    // swap); the interface alone at most once per refresh.
    if (!m_signals->videoFrame.load() && now() - m_lastComposite < 1.0 / std::max(1, m_desktop->refreshRate())) return;
    m_interfaceDirty = true;
    frame();
}

void DisplayHost::handleQueuedEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) handle(event);
}

void DisplayHost::run() {
    m_closed = false;
    dispatch::RunLoop::main()->run([this](std::optional<dispatch::Duration> timeout) { wait(timeout); });
}

bool DisplayHost::serveUntil(const std::function<bool()>& done) {
    auto loop = dispatch::RunLoop::main();
    for (;;) {
        loop->runUntilIdle();
        if (m_closed) return false;
        if (done()) return true;
        // As `run()` waits: until the next timer on the real clock; a manual clock's timers fall
        // due only as its owner moves it, which it does from a post.
        std::optional<dispatch::Duration> timeout;
        if (const auto timer = loop->nextTimerTime(); timer && !loop->clock().isManual())
            timeout = std::max(dispatch::Duration::zero(), *timer - loop->now());
        wait(timeout);
    }
}

void DisplayHost::wait(std::optional<dispatch::Duration> timeout) {
    // Whatever the loop just ran may have changed the interface.
    m_interfaceDirty = true;
    const double refresh = 1.0 / std::max(1, m_desktop->refreshRate());
    const double deadline = timeout ? now() + dispatch::toSeconds(*timeout) : -1;
    for (;;) {
        const bool animating = m_window && ViewPainter::isAnimating(*m_window);
        if (m_interfaceDirty || animating || m_signals->videoFrame.load()) m_compositeNeeded = true;
        // A pending screenshot looks again at each frame, so frames go on while it waits.
        if (m_screenshot && now() - m_lastComposite >= m_quietTime / 4) m_compositeNeeded = true;
        // Seconds until the next thing to do here: -1 for none (sleep until an event).
        double next = deadline < 0 ? -1 : std::max(0.0, deadline - now());
        auto sooner = [&next](double seconds) { next = next < 0 ? seconds : std::min(next, seconds); };
        if (m_compositeNeeded) {
            // A new video frame goes up at once: its renderer draws the next only after this
            // swap, so video cannot outrun the window, and mpv waits for the swap meanwhile.
            const double untilFrame = m_signals->videoFrame.load() ? 0 : m_lastComposite + refresh - now();
            if (untilFrame <= 0) {
                frame();
                if (animating) sooner(refresh);
            } else {
                sooner(untilFrame);
            }
        }
        if (m_screenshot) sooner(m_quietTime / 4);
        SDL_Event event;
        const bool got = next < 0 ? SDL_WaitEvent(&event) != 0
                                  : SDL_WaitEventTimeout(&event, static_cast<int>(std::ceil(next * 1000))) != 0;
        bool input = false;
        if (got) {
            input = handle(event);
            while (SDL_PollEvent(&event)) input = handle(event) || input;
        }
        if (m_closed) {
            dispatch::RunLoop::main()->stop();
            return;
        }
        // Input, posts and due (or newly earlier) timers go back to the run loop; a wake-up for a
        // video frame alone only composites here, without painting the interface again.
        auto loop = dispatch::RunLoop::main();
        if (input || loop->hasPostedWork()) return;
        const auto timer = loop->nextTimerTime();
        if (loop->clock().isManual()) {
            // Its timers wait for the clock to move, not for the time to pass.
            if (timer && *timer <= loop->now()) return;
        } else if (timer && (deadline < 0 || dispatch::toSeconds(*timer - loop->now()) < deadline - now() - 0.0005)) {
            return;
        }
        if (deadline >= 0 && now() >= deadline) return;
    }
}

bool DisplayHost::handle(const SDL_Event& event) {
    if (event.type == m_wakeEvent) {
        m_signals->wakePending = false;
        return false;
    }
    if (!m_window && event.type != SDL_QUIT) return false;
    // Events come in the window system's units, which a window fitted to a smaller screen scales.
    auto point = [this](int x, int y) { return m_desktop->toPoints(x, y); };
    switch (event.type) {
        case SDL_QUIT:
            if (onClose) {
                onClose();
            } else {
                m_closed = true;
            }
            return true;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) applyWindowSize(true);
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) m_compositeNeeded = m_mustComposite = true;
            // X11 tells of another program's copy only when it takes the clipboard from us: the
            // person may have copied in the program they come back from.
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && m_pasteboard) m_pasteboard->clipboardDidChange();
            return event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED;
        case SDL_MOUSEBUTTONDOWN: {
            const auto button = pointerButton(event.button.button);
            if (!button) return false;
            // Every such press counts in its run (the window counted those waiting in its queue).
            ui::ClickRuns::press(event.button.clicks > 1);
            // One button at a time: another pressed while one is held does nothing.
            if (m_heldButton) return false;
            m_heldButton = event.button.button;
            const bool control = (SDL_GetModState() & KMOD_CTRL) != 0;
            const auto at = point(event.button.x, event.button.y);
            if (button == PointerInput::Button::primary && chromePress(at, event.button.clicks)) break;
            // A right click on a bar, a menu or an alert opens no menu of what lies under it.
            if (button == PointerInput::Button::secondary && chromeCovers(at)) break;
            m_pointer->press(at, *button, control, event.button.clicks, true);
            break;
        }
        case SDL_MOUSEMOTION:
            if (m_chromePressed) {
                // The held element shows pressed while the pointer stays on it. A motion without
                // the button down (the window system's own, as the window gains the pointer) is
                // no drag of it.
                if (event.motion.state & SDL_BUTTON_LMASK) {
                    m_chromePointer = point(event.motion.x, event.motion.y);
                    if (m_chromePressed->textPointer) m_chromePressed->textPointer(m_chromePointer, 0);
                }
                break;
            }
            // Nor is a motion without a button held a drag of a press (the window system's own).
            if (event.motion.state & (SDL_BUTTON_LMASK | SDL_BUTTON_RMASK))
                m_pointer->move(point(event.motion.x, event.motion.y));
            break;
        case SDL_MOUSEBUTTONUP: {
            // Only the release of the button that pressed ends the press.
            if (!m_heldButton || event.button.button != m_heldButton) return false;
            m_heldButton = 0;
            const auto at = point(event.button.x, event.button.y);
            if (!chromeRelease(at)) m_pointer->release(at);
            break;
        }
        case SDL_MOUSEWHEEL: {
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            const bool control = (SDL_GetModState() & KMOD_CTRL) != 0;
            const double flip = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
            m_pointer->wheel(point(x, y), event.wheel.preciseX * flip, event.wheel.preciseY * flip, control);
            break;
        }
        case SDL_KEYDOWN:
            // Escape while an item is carried sets it back, and does nothing else.
            if (event.key.keysym.scancode == SDL_SCANCODE_ESCAPE && m_pointer->cancelCarry()) break;
            m_keys->keyDown(static_cast<int>(event.key.keysym.scancode), modifierFlags(event.key.keysym.mod),
                            charactersOf(event.key.keysym), symbolOf(event.key.keysym));
            break;
        case SDL_KEYUP:  // changes nothing shown: no paint for it
            m_keys->keyUp(static_cast<int>(event.key.keysym.scancode));
            return false;
        case SDL_TEXTINPUT: m_keys->text(event.text.text); break;
        // Another program copied: a paste control shows whether it can paste that.
        case SDL_CLIPBOARDUPDATE:
            if (m_pasteboard) m_pasteboard->clipboardDidChange();
            break;
        default: return false;
    }
    m_lastInput = now();
    m_interfaceDirty = true;
    return true;
}

bool DisplayHost::chromePress(ui::Point point, int clicks) {
    m_chromePressed.reset();
    for (auto it = m_chrome.targets.rbegin(); it != m_chrome.targets.rend(); ++it) {
        if (it->takesClicks && it->rect.contains(point)) {
            // What appeared during this run of clicks (a submenu, an alert) is not pressed by it.
            if (!it->mayTake()) return true;
            m_chromePressed = *it;
            m_chromePointer = point;
            if (it->textPointer) it->textPointer(point, std::max(1, clicks));
            return true;
        }
    }
    // Under an alert nothing else takes touches; the open menu takes those on its blank parts.
    return m_chrome.modal || std::any_of(m_chrome.menuRects.begin(), m_chrome.menuRects.end(),
                                         [&](const ui::Rect& rect) { return rect.contains(point); });
}

bool DisplayHost::chromeCovers(ui::Point point) const {
    const auto& targets = m_chrome.targets;
    return m_chrome.modal ||
           std::any_of(targets.begin(), targets.end(),
                       [&](const ChromeTarget& target) { return target.takesClicks && target.rect.contains(point); }) ||
           std::any_of(m_chrome.menuRects.begin(), m_chrome.menuRects.end(),
                       [&](const ui::Rect& rect) { return rect.contains(point); });
}

std::optional<ChromeTarget> DisplayHost::chromeNowAt(ui::Point point) {
    // Laid out as the next paint will draw it: cells may have come or gone while the button was
    // held, and every handle after them moved.
    const auto chrome = m_painter->chromeLayout(*m_window, m_desktop->scale());
    for (auto it = chrome.targets.rbegin(); it != chrome.targets.rend(); ++it) {
        if (it->takesClicks && it->rect.contains(point)) return *it;
    }
    return std::nullopt;
}

bool DisplayHost::chromeRelease(ui::Point point) {
    auto pressed = std::exchange(m_chromePressed, std::nullopt);
    if (!pressed) return m_chrome.modal;
    if (pressed->textPointer) return true;  // the press placed the caret
    // The release acts on the element pressed, and only where it still shows under the pointer:
    // what its number names now may be another (Delete where Cancel was).
    const auto now = chromeNowAt(point);
    if (!now || !now->isSameElement(*pressed)) return true;
    if (now->action) {
        now->action();
        return true;
    }
    // The element acts as the printed screen's driver would make it act, through its handle on
    // the screen just laid out, but this loop serves what follows (a transition runs on, painted
    // frame by frame, and further clicks come in).
    ui::ScreenDriver driver(m_window, ui::ScreenDriver::Settling::never);
    if (auto status = driver.tap("#" + std::to_string(now->handle)); !status)
        base::log(base::LogLevel::warning, "display", status.error().description);
    return true;
}

int DisplayHost::heldChromeHandle() {
    if (!m_chromePressed || !m_chromePressed->rect.contains(m_chromePointer)) return 0;
    // The held element's handle now (elements before it on the screen may have come or gone).
    const auto now = chromeNowAt(m_chromePointer);
    return now && now->isSameElement(*m_chromePressed) ? now->handle : 0;
}

void DisplayHost::holdBackWaitingPresses() {
    // Presses the display server made before this paint put up what appeared are waiting for us:
    // a round trip brings all of them into the queue, and none of them may land on it.
    m_desktop->roundTrip();
    std::vector<SDL_Event> queued(1024);
    const int count = SDL_PeepEvents(queued.data(), static_cast<int>(queued.size()), SDL_PEEKEVENT, SDL_MOUSEBUTTONDOWN,
                                     SDL_MOUSEBUTTONDOWN);
    const auto presses = std::count_if(queued.begin(), queued.begin() + std::max(0, count),
                                       [](const SDL_Event& e) { return pointerButton(e.button.button).has_value(); });
    ui::PressesBeforePaint::holdBack(static_cast<int>(presses));
}

bool DisplayHost::paint() {
    if (m_window) m_window->layoutIfNeeded();
    // The drawable follows a resize once the window system has made it.
    const auto pixels = m_desktop->pixelSize();
    const int width = static_cast<int>(pixels.width), height = static_cast<int>(pixels.height);
    if (!m_surface || cairo_image_surface_get_width(m_surface.get()) != width ||
        cairo_image_surface_get_height(m_surface.get()) != height) {
        m_surface = createSurface(width, height);
        m_painter->invalidate();
        m_windowSystemChange = true;
    }
    const bool windowSystemChange = std::exchange(m_windowSystemChange, false);
    ++m_statistics.scans;
    m_painted = {};
    if (!m_window) {
        m_painted = PixelRegion::whole(width, height);
        paintRegion(m_painted);
        m_videoRegions.clear();
        ++m_statistics.repaints;
        return true;
    }
    // Only where the interface would come out otherwise than the surface holds it.
    const auto points = m_window->bounds().size;
    const double scale = points.width > 0 ? pixels.width / points.width : 1.0;
    m_painted = m_painter->damage(*m_window, scale, width, height, heldChromeHandle(), m_chrome);
    if (m_painted.isEmpty()) return false;
    paintRegion(m_painted);
    // What changed may have drawn past its place (a picture wider than its view): that too.
    const auto beyond = m_painter->inkOutside(m_painted);
    if (!beyond.isEmpty()) {
        paintRegion(beyond);
        m_painted.add(beyond, width, height);
    }
    ++m_statistics.repaints;
    if (windowSystemChange)
        ++m_statistics.windowSystemRepaints;
    else
        m_statistics.repaintedPixels += static_cast<std::uint64_t>(m_painted.area());
    // A paint clipped to part of the window sees only the videos' parts in it; the tracker paints
    // the whole whenever a video moves, so the whole paint's places hold until then.
    if (m_painted.contains({0, 0, width, height})) m_videoRegions = m_painter->videoRegions();
    m_videoFrames->watch(m_videoRegions, m_window);
    return true;
}

void DisplayHost::paintRegion(const PixelRegion& region) {
    CairoPtr cr(cairo_create(m_surface.get()));
    region.clip(cr.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
    if (!m_window) return;
    const auto points = m_window->bounds().size;
    const double scale = points.width > 0 ? m_desktop->pixelSize().width / points.width : 1.0;
    m_painter->paint(*m_window, cr.get(), scale);
    m_chrome = m_painter->paintChrome(*m_window, cr.get(), scale, heldChromeHandle());
}

void DisplayHost::frame() {
    m_desktop->makeCurrent();
    const bool animating = m_window && ViewPainter::isAnimating(*m_window);
    const bool repaint = m_interfaceDirty || animating;
    m_interfaceDirty = false;
    const bool videoFrame = m_signals->videoFrame.exchange(false);
    // Repainted, the interface goes up to the window's texture at once, only the rows that
    // differ: none means it looks as the window shows it.
    bool interfaceChanged = false;
    if (repaint && paint()) {
        const auto rows = m_painted.bounds();
        interfaceChanged = compositor().upload(m_surface.get(), rows.y0, rows.y1) > 0;
        if (interfaceChanged) m_lastInterfaceChange = now();
    }
    // The loop marks the interface dirty whenever it ran anything (a timer, a post from the
    // player); painted again exactly as the window shows it, with no new video frame, it shows
    // nothing new: no composite and no swap, each a pass over the window in software GL and the
    // swap a copy to the display server.
    const bool nothingNew = !videoFrame && !m_screenshot && !animating && !interfaceChanged;
    // A window the window system exposed, resized or has just shown is drawn again all the same.
    if (nothingNew && m_mustComposite) ++m_statistics.windowSystemComposites;
    if (m_mustComposite) compositor().backBufferLost();
    if (!nothingNew || m_mustComposite) composite();
    // A first picture that went up without its blurs gets them with the next composite.
    m_mustComposite = m_compositeNeeded = compositor().owesBlur();
    m_lastComposite = now();
    if (repaint && ui::PressesBeforePaint::painted()) holdBackWaitingPresses();
}

void DisplayHost::composite() {
    const auto pixels = m_desktop->pixelSize();
    const auto videos = m_videoFrames->take(m_videoRegions);
    // `frame` has uploaded the interface already.
    compositor().draw(m_surface.get(), Compositor::Interface::unchanged, videos, static_cast<int>(pixels.width),
                      static_cast<int>(pixels.height));
    // Reads the back buffer just drawn, once it holds everything (its blurs too).
    if (m_screenshot && !compositor().owesBlur()) checkScreenshot();
    m_desktop->swap();
    base::startupMark("first composite");
    ++m_statistics.composites;
    videosSwapped(videos);
}

void DisplayHost::videosSwapped(const std::vector<VideoFrame>& videos) {
    m_videoFrames->didSwap(videos);
    const bool shown = std::any_of(videos.begin(), videos.end(), [](const VideoFrame& video) {
        return video.frame.serial > 0 && !video.clip.isEmpty();
    });
    if (!shown) return;
    base::startupMark("first video frame composited");
    if (onVideoFramesShown) onVideoFramesShown();
}

void DisplayHost::writeStatistics() const {
    // For benchmarks of the whole app: what its window showed, read once it has closed.
    const char* path = std::getenv("REELHAVEN_DISPLAY_STATISTICS");
    if (!path || !*path) return;
    const auto s = statistics();
    std::ofstream file(path);
    file << "composites " << s.composites << "\nrepaints " << s.repaints << "\nscans " << s.scans
         << "\nrepainted_pixels " << s.repaintedPixels << "\nshown " << s.videoFrames << "\ndropped_to_window "
         << s.droppedFrames << "\n";
}

DisplayHost::Statistics DisplayHost::statistics() const {
    auto statistics = m_statistics;
    statistics.videoFrames = m_videoFrames->shown();
    statistics.droppedFrames = m_videoFrames->dropped();
    return statistics;
}

void DisplayHost::checkScreenshot() {
    if (!m_screenshot) return;
    const double t = now();
    if (!m_window || ViewPainter::isAnimating(*m_window) || !videosShowFrames()) return;
    const bool quiet = t - m_lastInterfaceChange >= m_quietTime || t - m_lastInput >= m_quietTime * 4;
    if (!quiet || (m_screenshot->ready && !m_screenshot->ready())) return;
    // The back buffer holds the frame just composited.
    const auto pixels = m_desktop->pixelSize();
    auto image = compositor().readPixels(static_cast<int>(pixels.width), static_cast<int>(pixels.height));
    auto pending = std::move(*m_screenshot);
    m_screenshot.reset();
    foundation::Status status;
    auto png = gfx::PngCodec::encode(image);
    std::ofstream file(pending.path, std::ios::binary);
    if (!png || !(file << *png) || !file.flush()) {
        status = foundation::Error{"DisplayErrorDomain", 2,
                                   "cannot write the screenshot to " + base::escapedText(pending.path)};
    }
    if (pending.done) dispatch::RunLoop::main()->post([done = pending.done, status] { done(status); });
}

bool DisplayHost::videosShowFrames() const {
    for (const auto& region : m_videoRegions) {
        auto view = region.view.lock();
        if (view && view->presentedFrame().serial == 0) return false;
    }
    return true;
}

void DisplayHost::screenshotWhenSettled(std::string path, std::function<bool()> ready,
                                        std::function<void(foundation::Status)> done) {
    m_screenshot = PendingScreenshot{std::move(path), std::move(ready), std::move(done)};
    m_lastInput = now();
    m_compositeNeeded = true;
}

gfx::Image DisplayHost::capture() {
    m_interfaceDirty = true;
    m_desktop->makeCurrent();
    paint();  // the surface holds the whole interface, painted again or not
    const auto pixels = m_desktop->pixelSize();
    const auto videos = m_videoFrames->take(m_videoRegions);
    compositor().draw(m_surface.get(), Compositor::Interface::repainted, videos, static_cast<int>(pixels.width),
                      static_cast<int>(pixels.height));
    // A capture shows the blurs a first picture would go up without.
    if (compositor().owesBlur())
        compositor().draw(m_surface.get(), Compositor::Interface::unchanged, videos, static_cast<int>(pixels.width),
                          static_cast<int>(pixels.height));
    auto image = compositor().readPixels(static_cast<int>(pixels.width), static_cast<int>(pixels.height));
    m_desktop->swap();
    ++m_statistics.composites;
    videosSwapped(videos);
    m_interfaceDirty = false;
    if (ui::PressesBeforePaint::painted()) holdBackWaitingPresses();
    return image;
}

}  // namespace display
