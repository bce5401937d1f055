#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/dispatch/clock.h"
#include "platform/display/cairo_surface.h"
#include "platform/display/chrome_painter.h"
#include "platform/display/compositor.h"
#include "platform/display/pixel_region.h"
#include "platform/foundation/error.h"
#include "platform/graphics/image.h"
#include "platform/ui/views/size.h"

union SDL_Event;

namespace ui {
class GLView;
class Window;
}  // namespace ui

namespace display {

class DisplayWindow;
class DesktopPasteboard;
class KeyInput;
class PointerInput;
class SymbolIcons;
class VideoFrames;
class ViewPainter;

// Shows a ui::Window in a desktop window and feeds the desktop's input back into it.
//
// One loop serves both: `run()` serves the main run loop and, while it waits for its next timer,
// waits on the window's events (posts from other threads wake it), so nothing busy-waits and
// timers fire on time. After anything ran, the interface is painted again (ViewPainter) and
// composited with the newest video frames (Compositor), at most once per display refresh; a
// new video frame alone only composites again. Video frames are paced to the window: a view's
// renderer draws its next frame once the swap that showed the last one is done (VideoFrames).
// With nothing moving the process sleeps.
//
// The window's size in points and its scale become the main screen's, window resizes become
// size transitions with the size classes of that size, and mouse, wheel, keys and text go to the
// window (PointerInput, KeyInput). Main thread only.
class DisplayHost {
public:
    struct Options {
        std::string title = "Reelhaven";
        // The window's size in points; none: the size of the ui::Window it shows.
        std::optional<ui::Size> size;
        // Off the desktop (tests and benchmarks): drawn into all the same.
        bool hidden = false;
        // How long the interface must stay unchanged before a screenshot counts it settled.
        double quietTime = 0.5;
        // The smallest size a user may drag the window to (or `resize` ask for); none: any.
        std::optional<ui::Size> minimumSize;
        // Without `size`: the size to open at, that of the ui::Window to be shown (none: 640 x 480).
        // A window opened at another size is sized again once it shows one, a second configure.
        std::optional<ui::Size> initialSize;
    };
    struct Statistics {
        std::uint64_t composites = 0;              // frames swapped onto the window
        std::uint64_t scans = 0;                   // looks at the interface for changes
        std::uint64_t repaints = 0;                // looks that found some and painted them
        std::uint64_t repaintedPixels = 0;         // the pixels those painted again, all told
        std::uint64_t windowSystemComposites = 0;  // composites with nothing new, for an expose or a resize
        // Paints owed to the window system (it sized or configured the window again; a compositor
        // may do so late, more than once); their pixels are not in `repaintedPixels`.
        std::uint64_t windowSystemRepaints = 0;
        std::uint64_t videoFrames = 0;    // video frames shown
        std::uint64_t droppedFrames = 0;  // video frames drawn but replaced before they were shown
    };

    // Opens the desktop window. Open it before anything makes a GL context (a video renderer):
    // those made afterwards share the window's, which is how their frames reach it.
    static foundation::Result<std::unique_ptr<DisplayHost>> open(Options options);
    // Shows `window` (until another is shown): the desktop window takes its size unless the options
    // gave one, and its screen takes the desktop window's size and scale.
    void show(std::shared_ptr<ui::Window> window);
    ~DisplayHost();
    DisplayHost(const DisplayHost&) = delete;
    DisplayHost& operator=(const DisplayHost&) = delete;

    // Serves until the main run loop stops (its `stop()`) or the window is closed.
    void run();

    // Once the screen has settled (no animation, every video showing a frame, the interface
    // unchanged for the options' `quietTime`, and `ready` true when given), writes the window's
    // pixels as PNG to `path` and calls `done` with the outcome. A screen that never stops
    // changing (a playing video's clock) counts as settled `quietTime` x 4 after its last input.
    void screenshotWhenSettled(std::string path, std::function<bool()> ready,
                               std::function<void(foundation::Status)> done);

    // Paints and composites now and returns the window's pixels.
    gfx::Image capture();

    // The desktop window's size in points: the size asked for, also where the screen is smaller
    // (its pixels are scaled down to fit then).
    ui::Size windowSize() const;
    // Resizes the desktop window (as a user dragging its edge would).
    void resize(ui::Size points);
    // Input for a host that drives the window itself (a script): the events go into the window's
    // event queue and through the same handling as the user's, on what the window shows now. A
    // click returns once it has tapped (a single click waits to be no double click).
    void click(ui::Point at);
    // A button pressed, the pointer moved with it held, the button released: the window system's
    // event for each, handled at once. Time passes between them only as the main run loop's clock
    // moves (a press is held so). `clicks`: the presses in a row there (2 for a double click's second).
    enum class MouseButton { left, right };
    void mouseDown(ui::Point at, MouseButton button = MouseButton::left, int clicks = 1);
    void mouseMove(ui::Point to);
    void mouseUp(ui::Point at);
    // The centre of the element with handle `#handle` (ui::TextScreen) that the window draws
    // outside the views, as painted now, where a click reaches it; none if it is not drawn so.
    std::optional<ui::Point> drawnPointOf(int handle);
    // A key pressed and released. `usage`: the key's HID usage code (SDL's scancode); `modifiers` as
    // ui::Key::ModifierFlags; `symbol`: what the key gives on the layout (SDL's keysym; none: the desktop's layout
    // says).
    void pressKey(int usage, std::uint32_t modifiers, std::optional<char32_t> symbol = std::nullopt);
    // Typed text, as the window system hands over what keys type (SDL's text input events).
    void typeText(const std::string& utf8);
    // For a host serving the main run loop elsewhere (a script's command that waits): paints and
    // composites when a frame is due, as the window's loop would; video frames come only as the
    // window shows them.
    void presentIfDue();
    // For a host that serves the main run loop inside a command (a script's `wait`): serves it and
    // the window as `run()` does, asleep until a post, a timer, a video frame or the user's input,
    // until `done` holds. False, once the window has been closed (the main run loop is stopped
    // then, as `run()` stops it).
    bool serveUntil(const std::function<bool()>& done);
    // What the window drew over its views when it last painted (bars' items, a menu's entries, an
    // alert's buttons), top-most last: a click inside one goes to it, not to the views.
    const std::vector<ChromeTarget>& chromeTargets() const { return m_chrome.targets; }
    // The desktop window's SDL id (a test's pointer finds the window system's window by it).
    std::uint32_t windowID() const;
    Statistics statistics() const;
    // Writes the statistics to the file REELHAVEN_DISPLAY_STATISTICS names, if it does (once the
    // window closes, for benchmarks of the whole app).
    void writeStatistics() const;
    // The window is about to close while videos still play in it: their renderers stop handing
    // frames to it and waiting for it to show them, so their players can stop at once rather than
    // wait for a swap that a window no longer served never makes.
    void releaseVideos();
    // Called when the user closes the window; by default the main run loop stops.
    std::function<void()> onClose;
    // Called after each swap that put video frames on the screen (the views' own counts say
    // which), so a watcher of the first picture waits for the swap, not on a timer.
    std::function<void()> onVideoFramesShown;

private:
    DisplayHost(std::unique_ptr<DisplayWindow> desktop, Options options);
    void wait(std::optional<dispatch::Duration> timeout);
    // Returns whether the event was the user's (input, resizes, closing) rather than a wake-up.
    bool handle(const SDL_Event& event);
    void applyWindowSize(bool transition);
    void frame();
    // Paints where the interface changed since the last paint; false when it did nowhere.
    bool paint();
    // Paints the whole interface inside `region` (the rest of the surface kept).
    void paintRegion(const PixelRegion& region);
    // Composites and swaps what the window shows now.
    void composite();
    // A press on what the window draws outside its views (bars, alerts, menus); true when that
    // took it.
    bool chromePress(ui::Point point, int clicks);
    bool chromeRelease(ui::Point point);
    // The top-most element drawn outside the views that takes a click at `point`, as the window
    // lays it out now (not as last painted).
    std::optional<ChromeTarget> chromeNowAt(ui::Point point);
    // The handle of the held element now, to show it pressed while the pointer stays on it; 0
    // for none.
    int heldChromeHandle();
    // After a paint that put up something new (a menu, an alert, a screen): the presses made
    // before it, waiting in the queue, do not reach it (ui::ClickRuns).
    void holdBackWaitingPresses();
    // Whether what the window draws over its views takes a click at `point` (a bar's item, the
    // open menu, anything while an alert shows).
    bool chromeCovers(ui::Point point) const;
    // Puts the window system's event for the host's mouse into the window's queue.
    void pushMouse(std::uint32_t type, ui::Point at, int clicks = 1);
    void checkScreenshot();
    // Handles what the window's event queue holds now.
    void handleQueuedEvents();
    // Whether every video view painted last has handed a frame over to the window.
    bool videosShowFrames() const;
    // After a swap that showed `videos`: their views hear it, and so does `onVideoFramesShown`.
    void videosSwapped(const std::vector<VideoFrame>& videos);
    double now() const;
    Compositor& compositor();

    std::shared_ptr<ui::Window> m_window;
    std::unique_ptr<DisplayWindow> m_desktop;
    std::unique_ptr<ViewPainter> m_painter;
    std::unique_ptr<Compositor> m_compositor;
    std::unique_ptr<PointerInput> m_pointer;
    std::unique_ptr<KeyInput> m_keys;
    std::unique_ptr<DesktopPasteboard> m_pasteboard;  // while the window runs
    SurfacePtr m_surface;
    PixelRegion m_painted;                    // by the last paint
    std::vector<VideoRegion> m_videoRegions;  // where the last whole paint found videos
    std::uint32_t m_wakeEvent = 0;
    // Shared with the video views' frame handlers and the run loop's wake handler (other threads).
    struct Signals {
        std::atomic<bool> wakePending{false};
        std::atomic<bool> videoFrame{false};
        std::uint32_t wakeEvent = 0;
        void wake();
    };
    std::shared_ptr<Signals> m_signals = std::make_shared<Signals>();
    std::unique_ptr<VideoFrames> m_videoFrames;
    ChromePainter::Result m_chrome;
    std::optional<ChromeTarget> m_chromePressed;
    ui::Point m_chromePointer;  // where the pointer is while m_chromePressed is held
    // The button the host's mouse holds down.
    MouseButton m_hostButton = MouseButton::left;
    // The button (SDL's number) whose press the window took, until its release; 0: none.
    int m_heldButton = 0;

    bool m_interfaceDirty = true;
    bool m_compositeNeeded = true;
    // The window's pixels must be drawn again whatever the interface holds (first frame, exposed,
    // resized).
    bool m_mustComposite = true;
    bool m_closed = false;
    // The window system sized or configured the window since the last paint.
    bool m_windowSystemChange = false;
    const Options m_options;
    const double m_quietTime;
    double m_lastComposite = -1;
    double m_lastInterfaceChange = 0;
    double m_lastInput = 0;
    Statistics m_statistics;

    struct PendingScreenshot {
        std::string path;
        std::function<bool()> ready;
        std::function<void(foundation::Status)> done;
    };
    std::optional<PendingScreenshot> m_screenshot;
};

}  // namespace display
