#include "app/scene_delegate.h"

#include "app/app_delegate.h"
#include "core/documents_client.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "library/library_file_collection_view_controller.h"
#include "platform/media/picture_in_picture_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"
#include "playback/media_center_service.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

void SceneDelegate::willConnect(ui::Scene& scene, ui::SceneSession&, const ui::ConnectionOptions& options) {
    auto windowScene = std::dynamic_pointer_cast<ui::WindowScene>(scene.sharedAs<ui::Scene>());
    if (!windowScene) return;
    auto window = ui::Window::create(windowScene);
    auto app = AppDelegate::shared();
    if (!app) return;
    auto documentsClient = app->documentsClient();
    auto progressClient = app->progressClient();
    auto manager = VideoManager::create(documentsClient, progressClient);
    // The first listing is synchronous, so the screen opens on the library as it is.
    manager->update(documentsClient->contents(manager->folderURL(), false));
    // The server before the now-playing service, in the order the services are made.
    auto webServer = app->webServer();
    auto mediaCenterService = app->mediaCenterService();
    auto root =
        LibraryFileCollectionViewController::create(nullptr, manager, progressClient, webServer, mediaCenterService);
    window->setRootViewController(ui::NavigationController::create(root));
    m_window = window;
    window->makeKeyAndVisible();
    if (!options.urlContexts.empty()) openURLContexts(options.urlContexts);
}

void SceneDelegate::didDisconnect(ui::Scene&) {
    if (auto player = presentedPlayer()) player->close(false);
}

void SceneDelegate::didBecomeActive(ui::Scene&) {
    // The first activation follows the connection's own listing.
    if (m_previouslyActive) {
        if (auto screen = topLibraryScreen()) screen->videoManager()->reload();
    }
    m_previouslyActive = true;
    auto player = presentedPlayer();
    if (!player) return;
    // The controller the renderer made, which the player keeps.
    auto pictureInPicture = player->pictureInPictureController();
    if (pictureInPicture && pictureInPicture->isPictureInPictureActive().value()) {
        ui::Application::shared().setIdleTimerDisabled(true);
        pictureInPicture->stopPictureInPicture();
    }
}

void SceneDelegate::willResignActive(ui::Scene&) {}

void SceneDelegate::willEnterForeground(ui::Scene&) {
    if (auto player = presentedPlayer()) player->enterForeground();
}

void SceneDelegate::didEnterBackground(ui::Scene&) {
    if (auto player = presentedPlayer()) player->enterBackground();
    if (auto app = AppDelegate::shared()) app->progressClient()->save();
}

std::shared_ptr<ui::UserActivity> SceneDelegate::stateRestorationActivity(ui::Scene& scene) {
    if (!ui::PlatformVersion::isAtLeast(15)) return nullptr;
    return scene.userActivity();
}

std::shared_ptr<FileCollectionViewController> SceneDelegate::topLibraryScreen() const {
    if (!m_window) return nullptr;
    auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(m_window->rootViewController());
    if (!navigation) return nullptr;
    return std::dynamic_pointer_cast<FileCollectionViewController>(navigation->topViewController());
}

std::shared_ptr<ReelhavenViewController> SceneDelegate::presentedPlayer() const {
    auto screen = topLibraryScreen();
    if (!screen) return nullptr;
    return std::dynamic_pointer_cast<ReelhavenViewController>(screen->presentedViewController());
}

}  // namespace reelhaven
