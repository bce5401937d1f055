#include "output/external_scene_delegate.h"

#include "output/external_display_view_controller.h"
#include "platform/base/fatal.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/window.h"

namespace reelhaven {

ui::SceneConfiguration ExternalSceneDelegate::configuration() {
    ui::SceneConfiguration configuration;
    configuration.name = kConfigurationName;
    configuration.role = ui::SceneSessionRole::windowExternalDisplayNonInteractive;
    configuration.storyboardName = ExternalDisplayViewController::kStoryboard;
    configuration.delegateFactory = [] { return std::make_shared<ExternalSceneDelegate>(); };
    return configuration;
}

void ExternalSceneDelegate::willConnect(ui::Scene& scene, ui::SceneSession&, const ui::ConnectionOptions&) {
    auto windowScene = scene.sharedAs<ui::WindowScene>();
    if (!windowScene) return;
    ExternalDisplayViewController::registerStoryboard();
    auto controller = ui::Storyboard::named(ExternalDisplayViewController::kStoryboard)
                          ->instantiate<ExternalDisplayViewController>(ExternalDisplayViewController::kIdentifier);
    if (!controller) base::fatal("the ExternalDisplay storyboard did not make an ExternalDisplayViewController");
    auto made = ui::Window::create(windowScene);
    made->setRootViewController(controller);
    window = made;
    made->makeKeyAndVisible();
}

void ExternalSceneDelegate::didDisconnect(ui::Scene&) {
    foundation::NotificationCenter::defaultCenter().post(kExternalDisplayDisconnected);
}

}  // namespace reelhaven
