#include "platform/ui/scenes/application.h"

#include <algorithm>

#include "platform/dispatch/queue.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/views/device.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

namespace {
// The environment the system gives a scene it connects: the device's idiom and language
// direction, and the size classes of a window filling the screen.
TraitCollection traitsOnScreen(const Screen& screen) {
    const auto& device = Device::current();
    TraitCollection traits;
    traits.userInterfaceIdiom = device.userInterfaceIdiom();
    traits.layoutDirection = device.userInterfaceLayoutDirection() == UserInterfaceLayoutDirection::rightToLeft
                                 ? TraitEnvironmentLayoutDirection::rightToLeft
                                 : TraitEnvironmentLayoutDirection::leftToRight;
    traits.displayScale = screen.scale();
    const Size size = screen.bounds().size;
    return TraitCollection::withSizeClasses(traits, size.width, size.height);
}
}  // namespace

SceneConfiguration ApplicationDelegate::configurationForConnecting(Application&, SceneSession& session,
                                                                   const ConnectionOptions&) {
    SceneConfiguration configuration;
    configuration.name = "Default Configuration";
    configuration.role = session.role();
    return configuration;
}

Application& Application::shared() {
    static Application application;
    return application;
}

void Application::reset() {
    m_delegate.reset();
    m_state = ApplicationState::background;
    m_idleTimerHolders.clear();
    m_scenes.clear();
    m_opener = nullptr;
    m_openedURLs.clear();
}

void Application::setIdleTimerHeld(const std::string& holder, bool held) {
    checkMainThread();
    if (held) {
        m_idleTimerHolders.insert(holder);
    } else {
        m_idleTimerHolders.erase(holder);
    }
}

bool Application::launch() { return m_delegate ? m_delegate->didFinishLaunching(*this) : true; }

std::shared_ptr<WindowScene> Application::connectScene(SceneSessionRole role, const ConnectionOptions& options,
                                                       std::shared_ptr<Screen> screen, bool activate) {
    return connectScene(SceneSession::create(role, makeSessionIdentifier()), options, std::move(screen), activate);
}

std::shared_ptr<WindowScene> Application::connectScene(std::shared_ptr<SceneSession> session,
                                                       const ConnectionOptions& options, std::shared_ptr<Screen> screen,
                                                       bool activate) {
    SceneConfiguration configuration;
    if (m_delegate) {
        configuration = m_delegate->configurationForConnecting(*this, *session, options);
    } else {
        ApplicationDelegate fallback;
        configuration = fallback.configurationForConnecting(*this, *session, options);
    }
    session->setConfiguration(configuration);
    auto scene = WindowScene::create(session, screen ? std::move(screen) : Screen::main());
    scene->setTraitCollection(traitsOnScreen(*scene->screen()));
    if (configuration.delegateFactory) scene->setDelegate(configuration.delegateFactory());
    m_scenes.push_back(scene);
    if (auto d = scene->delegate()) {
        d->willConnect(*scene, *session, options);
        if (auto restoring = session->stateRestorationActivity()) d->restoreInteractionState(*scene, *restoring);
    }
    scene->setActivationState(activate ? SceneActivationState::foregroundActive
                                       : SceneActivationState::foregroundInactive);
    return scene;
}

void Application::disconnectScene(const std::shared_ptr<WindowScene>& scene) {
    if (!scene) return;
    scene->disconnect();
    m_scenes.erase(std::remove(m_scenes.begin(), m_scenes.end(), scene), m_scenes.end());
    sceneDidChangeState(SceneActivationState::background, SceneActivationState::unattached);
}

void Application::terminate() {
    if (m_delegate) m_delegate->willTerminate(*this);
    foundation::NotificationCenter::defaultCenter().post(willTerminateNotification);
}

void Application::open(const foundation::URL& url, std::function<void(bool)> completion) {
    m_openedURLs.push_back(url);
    const bool opened = m_opener ? m_opener(url) : false;
    if (completion) dispatch::Queue::main()->async([completion, opened] { completion(opened); });
}

bool Application::canOpenURL(const foundation::URL& url) const { return !url.isEmpty() && m_opener != nullptr; }

ApplicationState Application::computedState() const {
    bool inactive = false;
    for (const auto& scene : m_scenes) {
        if (scene->activationState() == SceneActivationState::foregroundActive) return ApplicationState::active;
        if (scene->activationState() == SceneActivationState::foregroundInactive) inactive = true;
    }
    return inactive ? ApplicationState::inactive : ApplicationState::background;
}

void Application::sceneDidChangeState(SceneActivationState, SceneActivationState) {
    const auto before = m_state;
    const auto after = computedState();
    if (before == after) return;
    // "Will" observers still see the state being left; "did" observers see the new one.
    auto& center = foundation::NotificationCenter::defaultCenter();
    if (before == ApplicationState::active) center.post(willResignActiveNotification);
    if (before == ApplicationState::background) center.post(willEnterForegroundNotification);
    m_state = after;
    if (after == ApplicationState::active) center.post(didBecomeActiveNotification);
    if (after == ApplicationState::background) center.post(didEnterBackgroundNotification);
}

}  // namespace ui
