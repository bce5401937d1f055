#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/url.h"
#include "platform/ui/scenes/application_delegate.h"
#include "platform/ui/scenes/window_scene.h"

namespace ui {

enum class ApplicationState { active = 0, inactive = 1, background = 2 };

// The application: its delegate, scenes, state, idle timer and URL opening. Its state follows
// its scenes (active when one is active, background when none is in the foreground); each change
// posts the matching notification on the default centre. The system stand-in (the launcher, or a
// test) drives it: `launch`, `connectScene`, scene state changes, `terminate`. Main thread only.
class Application {
public:
    static constexpr const char* didBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";
    static constexpr const char* willResignActiveNotification = "UIApplicationWillResignActiveNotification";
    static constexpr const char* didEnterBackgroundNotification = "UIApplicationDidEnterBackgroundNotification";
    static constexpr const char* willEnterForegroundNotification = "UIApplicationWillEnterForegroundNotification";
    static constexpr const char* willTerminateNotification = "UIApplicationWillTerminateNotification";

    using URLOpener = std::function<bool(const foundation::URL&)>;

    static Application& shared();
    // Forgets scenes, delegate and settings; for tests.
    void reset();

    std::shared_ptr<ApplicationDelegate> delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) { m_delegate = std::move(delegate); }
    ApplicationState applicationState() const { return m_state; }
    // The idle timer (the device locking after a while without touches) is off while any holder
    // asks: the transfer server while it runs, the player while it plays. Each holder says only
    // for itself, so one letting go never ends another's hold.
    bool isIdleTimerDisabled() const { return !m_idleTimerHolders.empty(); }
    void setIdleTimerHeld(const std::string& holder, bool held);
    const std::set<std::string>& idleTimerHolders() const { return m_idleTimerHolders; }
    // The application's own switch: the holder "application".
    void setIdleTimerDisabled(bool disabled) { setIdleTimerHeld(applicationIdleTimerHolder, disabled); }
    static constexpr const char* applicationIdleTimerHolder = "application";
    bool supportsMultipleScenes() const { return true; }

    // Starts: the delegate's didFinishLaunching. Returns its answer.
    bool launch();
    // A new scene: asks the delegate for the configuration, makes the scene and its delegate,
    // calls willConnect, then moves the scene to the foreground (active unless `activate` is false).
    std::shared_ptr<WindowScene> connectScene(SceneSessionRole role, const ConnectionOptions& options = {},
                                              std::shared_ptr<Screen> screen = nullptr, bool activate = true);
    // The same for a session the system kept from an earlier run; when it carries a restoration
    // activity, the delegate restores it right after willConnect.
    std::shared_ptr<WindowScene> connectScene(std::shared_ptr<SceneSession> session,
                                              const ConnectionOptions& options = {},
                                              std::shared_ptr<Screen> screen = nullptr, bool activate = true);
    // A new session's identifier.
    std::string makeSessionIdentifier() { return "session-" + std::to_string(m_nextSession++); }
    std::vector<std::shared_ptr<WindowScene>> connectedScenes() const { return m_scenes; }
    void disconnectScene(const std::shared_ptr<WindowScene>& scene);
    void terminate();

    // Opens a URL elsewhere: asks the opener a test or the launcher installed (none: refused),
    // then calls `completion` on the main queue with the answer. Every URL is recorded.
    void open(const foundation::URL& url, std::function<void(bool)> completion = {});
    bool canOpenURL(const foundation::URL& url) const;
    void setURLOpener(URLOpener opener) { m_opener = std::move(opener); }
    const std::vector<foundation::URL>& openedURLs() const { return m_openedURLs; }

    // Called by scenes as they change state.
    void sceneDidChangeState(SceneActivationState from, SceneActivationState to);

private:
    Application() = default;
    ApplicationState computedState() const;

    std::shared_ptr<ApplicationDelegate> m_delegate;
    ApplicationState m_state = ApplicationState::background;
    std::set<std::string> m_idleTimerHolders;
    std::vector<std::shared_ptr<WindowScene>> m_scenes;
    int m_nextSession = 1;
    URLOpener m_opener;
    std::vector<foundation::URL> m_openedURLs;
};

}  // namespace ui
