#include "app/play_screen.h"

#include <utility>

#include "core/documents_client.h"
#include "output/mpv_glk_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/group.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/display/display_host.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "playback/media_center_service.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_storyboard.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

namespace {

constexpr double kViewWidth = 640;
constexpr double kViewHeight = 360;

}  // namespace

foundation::Result<std::unique_ptr<PlayScreen>> PlayScreen::open(const LauncherOptions& options,
                                                                 const PlaybackInfoPtr& info) {
    std::unique_ptr<PlayScreen> screen(new PlayScreen);
    // In a window the view's frames are composited on the desktop. The window opens before the
    // renderer makes its GL context, which then shares the window's.
    if (options.display) {
        display::DisplayHost::Options window;
        window.title = "Reelhaven - " + info->title();
        // The window takes its video's size, as a player's window does, even below the smallest
        // window of the app's screens: a clip of 640x360 shows at 640x360. Opened at that size, it
        // is configured once.
        window.initialSize = ui::Size{kViewWidth, kViewHeight};
        auto opened = display::DisplayHost::open(std::move(window));
        if (!opened) return opened.error();
        screen->m_host = std::move(opened.value());
    }
    auto uiScreen = ui::Screen::create({0, 0, kViewWidth, kViewHeight}, 1.0);
    screen->m_scene =
        ui::WindowScene::create(ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "play"), uiScreen);
    screen->m_scene->setActivationState(ui::SceneActivationState::foregroundActive);
    screen->m_window = ui::Window::create(screen->m_scene);
    screen->m_root = ui::ViewController::create();
    screen->m_window->setRootViewController(screen->m_root);
    screen->m_window->makeKeyAndVisible();
    if (screen->m_host) screen->m_host->show(screen->m_window);
    registerReelhavenStoryboard();
    screen->m_player = std::dynamic_pointer_cast<ReelhavenViewController>(
        ui::Storyboard::named(ReelhavenViewController::kStoryboardName)
            ->instantiateViewController(ReelhavenViewController::kStoryboardIdentifier, [&](const ui::Coder& coder) {
                return ReelhavenViewController::create(coder, info, MediaCenterService::create());
            }));
    MPVSession::Options sessionOptions;
    sessionOptions.audioOutput = options.audioOutput;
    sessionOptions.documentsClient = DocumentsClient::create();
    sessionOptions.screen = uiScreen;
    screen->m_player->setSessionOptions(sessionOptions);
    // Loads the player's view: its session is set up and the file starts loading.
    screen->m_root->present(screen->m_player, false);
    screen->m_player->becomeFirstResponder();
    return screen;
}

PlayScreen::~PlayScreen() {
    if (m_closing) {
        // The handle's teardown, queued by the close, has ended, and so have the frame hand-overs
        // posted before it: nothing of the screen may be left to the run loop's own destruction.
        if (const auto& session = m_player->session()) session->teardown();
        if (auto view = m_player->glkView())
            VideoRenderer::renderQueue()->sync([&] { view->onFrameDisplayed = nullptr; });
        dispatch::RunLoop::main()->runUntilIdle();
    }
    m_player.reset();
    // Last: the player's render context, gone now, shared the window's.
    m_host.reset();
    waitForProgressSaves();
}

const std::shared_ptr<MPVSession>& PlayScreen::session() const { return m_player->session(); }

std::shared_ptr<MPVGLKView> PlayScreen::view() const { return m_player->glkView(); }

void PlayScreen::run() {
    if (m_host) {
        m_host->run();
    } else {
        dispatch::RunLoop::main()->run();
    }
}

void PlayScreen::close() {
    if (std::exchange(m_closing, true)) return;
    // The window lets the video go first: a renderer waiting for it to show a frame would hold the
    // player's teardown until it gave up, as a window no longer served shows none.
    if (m_host) m_host->releaseVideos();
    dispatch::RunLoop::main()->stop();
}

void PlayScreen::finishClosing() {
    m_closing = true;
    // A scene that is gone shows nothing: the player leaves without its dismissal animation.
    m_scene->disconnect();
    // Closing queues the mpv handle's teardown on the command queue; the dismissal, run here,
    // starts the progress save on the global queue. Both go on while the caller does the rest.
    if (m_player->mpv()) m_player->close(false);
    dispatch::RunLoop::main()->runUntil([&] { return m_root->presentedViewController() == nullptr; },
                                        std::chrono::seconds(5));
    m_progressSaves = m_player->progressSaves();
}

void PlayScreen::waitForProgressSaves() const {
    if (m_progressSaves) m_progressSaves->wait();
}

void PlayScreen::writeWindowStatistics() const {
    if (m_host) m_host->writeStatistics();
}

}  // namespace reelhaven
