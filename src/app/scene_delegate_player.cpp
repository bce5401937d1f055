// Opening URLs, presenting the player for them, and restoring the player a saved scene had.

#include <any>

#include "app/app_delegate.h"
#include "app/app_url.h"
#include "app/scene_delegate.h"
#include "core/documents_client.h"
#include "core/library_media_reader.h"
#include "core/progress_client.h"
#include "core/video.h"
#include "core/video_manager.h"
#include "core/video_time.h"
#include "library/file_collection_view_controller.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/scenes/scene.h"
#include "platform/ui/scenes/user_activity.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"
#include "playback/media_center_service.h"
#include "playback/model/playback_info.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

namespace {

// The player from its storyboard, with its state, the now-playing service and the audio output
// the app was started with.
std::shared_ptr<ReelhavenViewController> makePlayer(const PlaybackInfoPtr& info, AppDelegate& app) {
    auto storyboard = ui::Storyboard::named(ReelhavenViewController::kStoryboardName);
    auto player = std::dynamic_pointer_cast<ReelhavenViewController>(storyboard->instantiateViewController(
        ReelhavenViewController::kStoryboardIdentifier, [&](const ui::Coder& coder) {
            return ReelhavenViewController::create(coder, info, app.mediaCenterService());
        }));
    if (!player) return nullptr;
    player->setModalTransitionStyle(ui::ModalTransitionStyle::crossDissolve);
    MPVSession::Options options;
    options.audioOutput = app.playerAudioOutput();
    player->setSessionOptions(options);
    return player;
}

template <typename T>
const T* userInfoValue(const ui::UserActivity& activity, const std::string& key) {
    auto found = activity.userInfo().find(key);
    return found == activity.userInfo().end() ? nullptr : std::any_cast<T>(&found->second);
}

}  // namespace

void SceneDelegate::openURLContexts(ui::Scene&, const std::vector<ui::OpenURLContext>& contexts) {
    openURLContexts(contexts);
}

void SceneDelegate::openURLContexts(const std::vector<ui::OpenURLContext>& contexts) {
    if (contexts.empty()) return;
    // Only the first URL plays, but every copy handed over is the library's: one left in Inbox
    // would never be listed, nor ever leave.
    const auto moved = moveCopiesIntoDocuments(contexts);
    const auto& context = contexts.front();
    if (presentedPlayer()) return;
    if (context.url.scheme() == kAppURLScheme) {
        if (auto url = networkURLFromAppURL(context.url)) presentPlayer(*url, MediaOrigin::link);
        return;
    }
    if (context.options.openInPlace) {
        presentPlayer(context.url, MediaOrigin::chosenByUser);
        return;
    }
    if (moved) presentPlayer(*moved, MediaOrigin::libraryFile);
}

std::optional<foundation::URL> SceneDelegate::moveCopiesIntoDocuments(const std::vector<ui::OpenURLContext>& contexts) {
    auto app = AppDelegate::shared();
    if (!app) return std::nullopt;
    std::optional<foundation::URL> first;
    bool arrived = false;
    for (std::size_t i = 0; i < contexts.size(); ++i) {
        const auto& context = contexts[i];
        if (context.url.scheme() == kAppURLScheme || context.options.openInPlace || !context.url.isFileURL()) continue;
        auto moved = app->documentsClient()->moveIntoDocuments(context.url);
        arrived = arrived || moved.has_value();
        if (i == 0) first = std::move(moved);
    }
    // The grid shows the new files (at once, or when a player over it closes).
    if (arrived) {
        if (auto screen = topLibraryScreen()) screen->videoManager()->reload();
    }
    return first;
}

void SceneDelegate::presentPlayer(const foundation::URL& url, MediaOrigin origin) {
    auto screen = topLibraryScreen();
    if (!screen) return;
    auto app = AppDelegate::shared();
    if (!app) return;
    // The player holds the file's security-scoped access from its load until it closes; starting
    // one here as well left an access open for every file opened.
    auto video = Video::opened(url, origin);
    auto info = PlaybackInfo::create(app->progressClient(), screen->videoManager(), video, false, true, std::nullopt);
    auto player = makePlayer(info, *app);
    screen = topLibraryScreen();
    if (!player || !screen) return;
    // A menu, sheet or alert on the screen would make it refuse the player; the user's new
    // request wins over them.
    if (auto menu = m_window->presentedMenu()) menu->close();
    if (screen->presentedViewController()) {
        std::weak_ptr<FileCollectionViewController> weakScreen = screen;
        screen->dismiss(false, [weakScreen, player] {
            if (auto shown = weakScreen.lock(); shown && !shown->presentedViewController())
                shown->present(player, true);
        });
        return;
    }
    screen->present(player, true);
}

std::optional<double> SceneDelegate::restoredDuration(const foundation::URL& file, double kept) {
    // Read in a media helper, as the library reads its files: the restored file may be any.
    // The restoration waits for it (at most the helpers' time limit, once at launch): the player's
    // saved position is checked against this length when the player is made.
    if (auto own = usableDuration(LibraryMediaReader::forCaches({}).duration(file.path()))) return own;
    return usableDuration(kept);
}

void SceneDelegate::restoreInteractionState(ui::Scene& scene, const ui::UserActivity& activity) {
    restorePlayer(scene, activity);
}

void SceneDelegate::restorePlayer(ui::Scene& scene, const ui::UserActivity& activity) {
    if (!ui::PlatformVersion::isAtLeast(15)) return;
    if (activity.activityType() != PlaybackInfo::kActivityType) return;
    scene.extendStateRestoration();
    auto giveUp = [&scene] { scene.completeStateRestoration(); };

    auto app = AppDelegate::shared();
    auto screen = topLibraryScreen();
    // A player opened for a URL at launch is already up; it wins over the saved one.
    if (!app || !m_window || !screen || screen->presentedViewController()) return giveUp();
    const bool* securityScoped = userInfoValue<bool>(activity, "isSecurityScoped");
    if (!securityScoped || *securityScoped) return giveUp();
    const std::string* bookmark = userInfoValue<std::string>(activity, "url");
    if (!bookmark) return giveUp();
    auto url = foundation::URL::resolvingBookmarkData(*bookmark);
    if (!url) return giveUp();
    const double* duration = userInfoValue<double>(activity, "duration");
    const bool* controlsHidden = userInfoValue<bool>(activity, "controlsHidden");
    if (!duration || !controlsHidden) return giveUp();

    // Only a library file is restored: it plays under a library file's limits, as when tapped.
    auto video = Video::create(url.value(), LibraryItemType::file, false);
    if (auto length = restoredDuration(url.value(), *duration)) video->setDuration(VideoTime{*length});
    auto rootManager = screen->videoManager();
    auto progressClient = screen->progressClient();
    auto folderManager = VideoManager::create(rootManager->documentsClient(), rootManager->progressClient(),
                                              rootManager->thumbnailCache(), url->deletingLastPathComponent());
    folderManager->setParent(rootManager);
    folderManager->update(rootManager->documentsClient()->contents(folderManager->folderURL(), false));
    if (const auto& dataSource = screen->dataSource()) {
        for (const auto& item : dataSource->snapshot().itemIdentifiers()) {
            if (item->id() != video->id()) continue;
            if (auto shown = std::dynamic_pointer_cast<Video>(item)) rootManager->insertPlayedVideo(shown);
            break;
        }
    }
    auto info = PlaybackInfo::create(progressClient, folderManager, video, true, *controlsHidden, std::nullopt);
    auto player = makePlayer(info, *app);
    if (!player) return giveUp();
    std::weak_ptr<ui::Scene> weakScene = scene.sharedAs<ui::Scene>();
    screen->present(player, false, [weakScene] {
        if (auto restored = weakScene.lock()) restored->completeStateRestoration();
    });
}

}  // namespace reelhaven
