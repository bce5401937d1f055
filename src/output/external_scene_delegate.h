#pragma once

#include <memory>

#include "platform/ui/scenes/scene_delegate.h"

namespace ui {
class Window;
}

namespace reelhaven {

// The delegate of the second screen's scene: puts the "ExternalDisplay" controller in a window on
// it and says when the screen goes away. Main thread.
class ExternalSceneDelegate : public ui::SceneDelegate {
public:
    static constexpr const char* kConfigurationName = "External Display";
    // What the application's delegate answers for a scene of the external-display role.
    static ui::SceneConfiguration configuration();

    // A window scene gets a window with the storyboard's controller as its root, made key and
    // visible; other scenes are left alone. A controller of another class is fatal.
    void willConnect(ui::Scene& scene, ui::SceneSession& session, const ui::ConnectionOptions& options) override;
    // Posts "externalDisplayDisconnected".
    void didDisconnect(ui::Scene& scene) override;

    std::shared_ptr<ui::Window> window;
};

}  // namespace reelhaven
