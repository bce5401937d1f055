#include "platform/ui/scenes/window_scene.h"

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

std::shared_ptr<WindowScene> WindowScene::create(std::shared_ptr<SceneSession> session,
                                                 std::shared_ptr<Screen> screen) {
    auto scene = make<WindowScene>(std::move(session), screen ? std::move(screen) : Screen::main());
    if (scene->session()) scene->session()->setScene(scene);
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
