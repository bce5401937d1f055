#pragma once

#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/host_session.h"
#include "app/host_system.h"
#include "app/launcher_options.h"
#include "app/scene_session_store.h"
#include "platform/ui/scenes/scene_types.h"

namespace ui {
class WindowScene;
}
namespace display {
class DisplayHost;
}

namespace reelhaven {

// `reelhaven` without a one-shot command: the application on the installed container, with the
// launcher as the system around it. It sets up the device, launches the app with its delegate,
// connects the window scene (with the session kept from the last run, and the files and URLs
// given on the command line), switches the transfer server on through the library's import
// menu when asked, then hands the window to a session that reads commands. Each player that
// comes up prints "first frame\tTITLE" once its view has drawn the video. At the end, and on
// SIGINT, SIGTERM or SIGHUP, the scene goes to the background (the player and the progress store
// save), the application terminates and the session is kept for the next run. Main thread.
class FirstFrameWatch;
class MPVSession;
class StopSignals;

class AppHost final : public HostSystem {
public:
    AppHost(const LauncherOptions& options, std::ostream& out, std::ostream& err);
    ~AppHost() override;

    // The whole run; the process's exit status. `signals` stop it as the end of input does, the
    // standard output closing too.
    static int run(const LauncherOptions& options, StopSignals& signals);

    // Launches and connects the scene. False (with a message) when the app cannot start.
    bool start();
    std::shared_ptr<ui::Window> window() const;
    std::shared_ptr<ui::WindowScene> scene() const { return m_scene; }
    HostSession& session() { return *m_session; }
    // The desktop window (--display), else null.
    display::DisplayHost* display() const { return m_display.get(); }
    // Switches the server on through the root screen's import menu, as a user would (printing no
    // screen meanwhile). Port 80 when it is free and not asked otherwise, else a free port.
    foundation::Status switchTransferOn();
    // Where to reach the server, once it runs: printed last at start, under the first screen.
    void printTransferAddress();
    // --screenshot without a script: serves the window until the screen has settled, writes its
    // pixels and returns the exit status.
    int screenshotWhenSettled();
    // Background, terminate, keep the session; then the scene goes away with its player. A
    // player whose mpv does not let its handle go within `kPlayerTeardownWait` (its core busy) is
    // left running, and with it the scene and the window: `endProcessIfPlayerLeft` ends the process.
    void shutDown();
    static constexpr std::chrono::milliseconds kPlayerTeardownWait{300};

    // HostSystem
    foundation::Status open(const std::string& pathOrURL) override;
    void enterBackground() override;
    void enterForeground() override;
    foundation::Status screenshot(const std::string& path) override;
    bool hasWindow() const override { return m_display != nullptr; }
    void serveWindow() override;
    bool serveWindowUntil(const std::function<bool()>& done) override;
    foundation::Status click(ui::Point at) override;
    std::optional<ui::Point> drawnPointOf(int handle) override;
    foundation::Status pressKey(const ui::Key& key) override;
    foundation::Status resizeWindow(ui::Size points) override;

private:
    // The steps of `start`, in order.
    bool openWindow(ui::Size size);
    void setUpDevice(ui::Size size);
    void launchApplication();
    void watchFirstFrames();
    // Connects the scene, shows it in the window and starts the session on it; false when no
    // window came up.
    bool connectScene();
    ui::ConnectionOptions connectionOptions();
    // Blocks until the shown library screens' managers have delivered their work; `meanwhile`,
    // when given, is called every `kServeInterval` while their thumbnails and durations are made.
    void flushShownScreens(const std::function<void()>& meanwhile = {});
    void keepSession();
    // Serves the main run loop until the player on the screen, if any, shows a frame of its video.
    foundation::Status waitForPlayerFrame();

    // How long a screenshot waits for the player to show its video: generous, a loaded machine
    // decodes slowly.
    static constexpr std::chrono::milliseconds kFrameTimeout{30000};
    // How often a settle that waits for the library's thumbnails lets the window show what is new.
    static constexpr std::chrono::milliseconds kServeInterval{4};
    // After `shutDown`: when the player was left running, flushes the output and ends the process
    // with `status` (nothing is saved any more; what is left is mpv's to end); else returns it.
    int endProcessIfPlayerLeft(int status);
    // The scene, the application and the window go, in that order.
    void releaseScene();
    // The port the import menu's switch asks for first.
    static constexpr std::uint16_t kPreferredTransferPort = 80;

    const LauncherOptions m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    SceneSessionStore m_store;
    std::shared_ptr<ui::WindowScene> m_scene;
    std::unique_ptr<HostSession> m_session;
    // Prints "first frame" and the title once a presented player has drawn its video.
    std::shared_ptr<FirstFrameWatch> m_firstFrames;
    bool m_transferOn = false;
    bool m_shutDown = false;
    // The session of a player whose mpv was still busy at the shut-down.
    std::shared_ptr<MPVSession> m_playerLeftRunning;
    // The desktop window (--display); opened before anything makes a GL context.
    std::unique_ptr<display::DisplayHost> m_display;
};

}  // namespace reelhaven
