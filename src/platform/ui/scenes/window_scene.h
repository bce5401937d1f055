#pragma once

#include <memory>
#include <vector>

#include "platform/ui/scenes/scene.h"
#include "platform/ui/views/interface_orientation.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/trait_collection.h"

namespace ui {

class Window;

// A scene with windows on a screen.
class WindowScene : public Scene {
public:
    static std::shared_ptr<WindowScene> create(std::shared_ptr<SceneSession> session,
                                               std::shared_ptr<Screen> screen = Screen::main());
    std::string className() const override { return "WindowScene"; }

    std::shared_ptr<Screen> screen() const { return m_screen; }
    std::vector<std::shared_ptr<Window>> windows() const;
    std::shared_ptr<Window> keyWindow() const;
    void addWindow(const std::shared_ptr<Window>& window);
    TraitCollection traitCollection() const { return m_traits; }
    void setTraitCollection(const TraitCollection& traits) {
        checkMainThread();
        m_traits = traits;
    }
    InterfaceOrientation interfaceOrientation() const { return m_orientation; }
    void setInterfaceOrientation(InterfaceOrientation orientation) {
        checkMainThread();
        m_orientation = orientation;
    }

protected:
    WindowScene(std::shared_ptr<SceneSession> session, std::shared_ptr<Screen> screen)
        : Scene(std::move(session)), m_screen(std::move(screen)) {}

private:
    std::shared_ptr<Screen> m_screen;
    std::vector<std::weak_ptr<Window>> m_windows;
    TraitCollection m_traits;
    InterfaceOrientation m_orientation = InterfaceOrientation::portrait;
};

}  // namespace ui
