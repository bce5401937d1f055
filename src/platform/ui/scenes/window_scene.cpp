#include "platform/ui/scenes/window_scene.h"

#include "platform/ui/views/device.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

std::shared_ptr<WindowScene> WindowScene::create(std::shared_ptr<SceneSession> session,
                                                 std::shared_ptr<Screen> screen) {
    auto scene = make<WindowScene>(std::move(session), screen ? std::move(screen) : Screen::main());
    if (scene->session()) scene->session()->setScene(scene);
    // The scene's environment is the device's and its screen's: a pad's screen gives regular size
    // classes, as a window of that size would have.
    const auto& device = Device::current();
    TraitCollection traits;
    traits.userInterfaceIdiom = device.userInterfaceIdiom();
    traits.layoutDirection = device.userInterfaceLayoutDirection() == UserInterfaceLayoutDirection::rightToLeft
                                 ? TraitEnvironmentLayoutDirection::rightToLeft
                                 : TraitEnvironmentLayoutDirection::leftToRight;
    const Size size = scene->m_screen->bounds().size;
    traits.displayScale = scene->m_screen->scale();
    scene->m_traits = TraitCollection::withSizeClasses(traits, size.width, size.height);
    return scene;
}

std::vector<std::shared_ptr<Window>> WindowScene::windows() const {
    std::vector<std::shared_ptr<Window>> result;
    for (const auto& weak : m_windows) {
        if (auto w = weak.lock()) result.push_back(w);
    }
    return result;
}

std::shared_ptr<Window> WindowScene::keyWindow() const {
    for (const auto& w : windows()) {
        if (w->isKeyWindow()) return w;
    }
    return nullptr;
}

void WindowScene::addWindow(const std::shared_ptr<Window>& window) {
    checkMainThread();
    m_windows.push_back(window);
}

}  // namespace ui
