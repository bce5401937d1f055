#pragma once

#include <memory>
#include <string>

#include "app/launcher_options.h"
#include "platform/foundation/error.h"
#include "playback/model/playback_info.h"

namespace ui {
class ViewController;
class Window;
class WindowScene;
}  // namespace ui
namespace display {
class DisplayHost;
}
namespace dispatch {
class Group;
}

namespace reelhaven {

class MPVGLKView;
class MPVSession;
class ReelhavenViewController;

// What `reelhaven --play` shows: the player screen presented over an empty root screen, as the
// library presents it, in a 640x360 scene drawn offscreen, or in a desktop window (--display).
// Opening presents the player, which sets up its mpv session and starts loading the file; the
// session's events reach the main queue only once the loop runs. Main thread.
class PlayScreen {
public:
    static foundation::Result<std::unique_ptr<PlayScreen>> open(const LauncherOptions& options,
                                                                const PlaybackInfoPtr& info);
    ~PlayScreen();

    const std::shared_ptr<ReelhavenViewController>& player() const { return m_player; }
    const std::shared_ptr<MPVSession>& session() const;
    std::shared_ptr<MPVGLKView> view() const;
    ui::Window& window() const { return *m_window; }
    // The desktop window, or null.
    display::DisplayHost* host() const { return m_host.get(); }

    // Serves the main run loop (and the window's events) until the loop stops.
    void run();
    // Main thread, from the loop: the window lets the player's video go, and the loop stops. Once.
    void close();
    // After the loop stopped: the scene goes away and the player closes with it, at once (no
    // dismissal animation nobody sees). Returns as soon as its progress save has started and its
    // mpv handle's teardown is queued; the screen's destruction waits for both.
    void finishClosing();
    // Blocks until the progress the close saves is written to its file.
    void waitForProgressSaves() const;
    // The window's statistics for benchmarks (see DisplayHost), written now rather than when the
    // window goes; nothing without a window.
    void writeWindowStatistics() const;

private:
    PlayScreen() = default;

    std::unique_ptr<display::DisplayHost> m_host;
    std::shared_ptr<ui::WindowScene> m_scene;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<ReelhavenViewController> m_player;
    std::shared_ptr<dispatch::Group> m_progressSaves;  // the player's, kept past it
    bool m_closing = false;
};

}  // namespace reelhaven
