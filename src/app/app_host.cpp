#include "app/app_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iostream>
#include <memory>
#include <utility>

#include "app/app_delegate.h"
#include "app/first_frame_watch.h"
#include "app/host_player_settle.h"
#include "app/host_runner.h"
#include "app/local_file.h"
#include "app/port_probe.h"
#include "app/scene_delegate.h"
#include "app/stop_signals.h"
#include "app/window_size.h"
#include "core/documents_client.h"
#include "core/video_manager.h"
#include "library/library_file_collection_view_controller.h"
#include "output/mpv_glk_view.h"
#include "platform/base/escaped_text.h"
#include "platform/base/startup_marks.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/display/display_host.h"
#include "platform/foundation/container.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/path_names.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/device.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_storyboard.h"
#include "playback/reelhaven_view_controller.h"
#include "settings/settings_storyboard.h"
#include "transfer/web_uploader.h"

namespace reelhaven {

namespace {

foundation::Error hostError(std::string description) { return {"AppHostErrorDomain", 1, std::move(description)}; }

// A text with a scheme ("https://...", "reelhaven:...") is a URL; anything else names a file.
bool looksLikeURL(const std::string& text) {
    if (text.empty() || text.front() == '/' || text.front() == '.') return false;
    const auto colon = text.find(':');
    return colon != std::string::npos && colon > 0 && foundation::URL::parse(text).has_value();
}

// What another app's "open in" hands over: a file opened where it lies, or a URL. The launcher
// stands in for the system, which hands every local item over to be opened in place, whether
// named by a path or by a "file:" URL: only a copy (`importContext`) is the app's to move.
foundation::Result<ui::OpenURLContext> openContext(const std::string& pathOrURL) {
    if (looksLikeURL(pathOrURL) && !isFileURLText(pathOrURL))
        return ui::OpenURLContext{*foundation::URL::parse(pathOrURL), {}};
    auto file = localFileURL(pathOrURL, "open");
    if (!file) return file.error();
    ui::OpenURLContext context{file.value(), {}};
    context.options.openInPlace = true;
    return context;
}

// What another app's "copy to" hands over: a copy of the file in Documents/Inbox, to be moved.
// The copy is made from the file opened for the check, so it is the file a link led to then: no
// link leading out of the library, and nothing a link was turned to since.
foundation::Result<ui::OpenURLContext> importContext(const std::string& path, const foundation::URL& documents) {
    auto file = openLocalFile(path, "import");
    if (!file) return file.error();
    const auto inbox = documents.appendingPathComponent(DocumentsClient::kInboxName);
    (void)foundation::FileManager::defaultManager().createDirectory(inbox, foundation::Intermediates::create);
    const std::string name = file.value().url.lastPathComponent();
    std::string problem = "the names are taken";
    for (int number = 0; number < 100; ++number) {
        const auto copy = inbox.appendingPathComponent(foundation::numberedName(name, number));
        auto copied = file.value().file.copyTo(copy);
        if (copied) return ui::OpenURLContext{copy, {}};
        if (copied.error().isPOSIX(EEXIST)) continue;
        problem = copied.error().description;
        break;
    }
    return hostError("cannot copy " + base::escapedText(path) + " into " + base::escapedText(inbox.path()) + " (" +
                     base::escapedText(problem) + "; not imported)");
}

}  // namespace

AppHost::AppHost(const LauncherOptions& options, std::ostream& out, std::ostream& err)
    : m_options(options), m_out(out), m_err(err), m_store(options.home) {}

AppHost::~AppHost() {
    shutDown();
    // A player left running by the shut-down in a process that goes on (a test's): its teardown
    // ends before what it shares goes.
    if (auto left = std::exchange(m_playerLeftRunning, nullptr)) {
        left->commandQueue()->sync([] {});
        left.reset();
        releaseScene();
    }
}

bool AppHost::start() {
    const bool pad = m_options.device == LauncherOptions::Device::pad;
    const auto [width, height] = m_options.size.value_or(pad ? std::pair(1024.0, 1366.0) : std::pair(390.0, 844.0));
    ui::Size size{width, height};
    // Before the player's renderer exists: its GL context then shares the window's.
    if (m_options.display) {
        if (!openWindow(size)) return false;
        // The device's screen is the window's size in points (fitted to a smaller screen, only its
        // pixels are scaled).
        size = m_display->windowSize();
    }
    setUpDevice(size);
    launchApplication();
    // Before the scene connects: a player it restores or opens comes up with it.
    watchFirstFrames();
    return connectScene();
}

bool AppHost::openWindow(ui::Size size) {
    display::DisplayHost::Options window;
    window.minimumSize = kMinimumWindowSize;
    // Opened at the size the scene's window will have, the desktop window is configured once.
    window.initialSize = size;
    auto opened = display::DisplayHost::open(std::move(window));
    if (!opened) {
        m_err << "reelhaven: " << opened.error().description << "\n";
        return false;
    }
    m_display = std::move(opened.value());
    base::startupMark("window opened");
    return true;
}

void AppHost::setUpDevice(ui::Size size) {
    const bool pad = m_options.device == LauncherOptions::Device::pad;
    ui::Device::current().setUserInterfaceIdiom(pad ? ui::UserInterfaceIdiom::pad : ui::UserInterfaceIdiom::phone);
    ui::Device::current().setUserInterfaceLayoutDirection(m_options.layoutDirection ==
                                                                  LauncherOptions::LayoutDirection::rightToLeft
                                                              ? ui::UserInterfaceLayoutDirection::rightToLeft
                                                              : ui::UserInterfaceLayoutDirection::leftToRight);
    ui::Screen::main()->setBounds(ui::Rect(0, 0, size.width, size.height));
}

void AppHost::launchApplication() {
    // The interface files the app's bundle carries.
    registerReelhavenStoryboard();
    registerSettingsStoryboard();

    auto& application = ui::Application::shared();
    auto delegate = AppDelegate::create();
    delegate->setPlayerAudioOutput(m_options.audioOutput);
    application.setDelegate(delegate);
    // Nothing else runs on this machine to take a URL the app hands on (a store page): say so.
    application.setURLOpener([this](const foundation::URL& url) {
        m_err << "reelhaven: cannot open " << base::escapedText(url.absoluteString()) << " here\n";
        return false;
    });
    application.launch();
}

void AppHost::watchFirstFrames() {
    m_firstFrames = FirstFrameWatch::start(
        [this] {
            auto delegate = m_scene ? std::dynamic_pointer_cast<SceneDelegate>(m_scene->delegate()) : nullptr;
            return delegate ? delegate->presentedPlayer() : nullptr;
        },
        [this](ReelhavenViewController& player, std::optional<double> position) {
            base::startupMark("first frame line");
            m_out << "first frame\t" << base::escapedText(player.playbackInfo()->title()) << "\t"
                  << (position ? MPVSession::decimal(*position) : std::string("-")) << std::endl;
        },
        m_display != nullptr);
    if (m_display) {
        m_display->onVideoFramesShown = [weak = std::weak_ptr<FirstFrameWatch>(m_firstFrames)] {
            if (auto watch = weak.lock()) watch->windowDidSwap();
        };
    }
}

bool AppHost::connectScene() {
    auto options = connectionOptions();
    m_scene = ui::Application::shared().connectScene(m_store.load(m_options.restore), options);
    base::startupMark("scene connected");
    auto shown = window();
    if (!shown) {
        m_err << "reelhaven: the window scene did not connect\n";
        return false;
    }
    if (m_display) m_display->show(shown);
    const auto printing =
        m_options.script.empty() ? HostSession::Printing::afterEachCommand : HostSession::Printing::onShow;
    // A settle's rounds let the window show what is new (a player's first picture among it) while
    // they wait for the screens' background work, the thumbnails of a library behind the player.
    m_session = std::make_unique<HostSession>(
        shown, *this,
        [this] {
            serveWindow();
            flushShownScreens([this] { serveWindow(); });
        },
        m_out, m_err, printing);
    m_session->settle();
    base::startupMark("start settled");
    return true;
}

ui::ConnectionOptions AppHost::connectionOptions() {
    ui::ConnectionOptions options;
    const auto documents = foundation::Container::current()->documentsURL();
    for (const auto& target : m_options.open) {
        auto context = openContext(target);
        if (!context) {
            m_err << "reelhaven: " << context.error().description << "\n";
            continue;
        }
        options.urlContexts.push_back(context.value());
    }
    for (const auto& path : m_options.imports) {
        auto context = importContext(path, documents);
        if (!context) {
            m_err << "reelhaven: " << context.error().description << "\n";
            continue;
        }
        options.urlContexts.push_back(context.value());
    }
    return options;
}

std::shared_ptr<ui::Window> AppHost::window() const {
    if (!m_scene) return nullptr;
    auto delegate = std::dynamic_pointer_cast<SceneDelegate>(m_scene->delegate());
    return delegate ? delegate->window() : nullptr;
}

foundation::Status AppHost::switchTransferOn() {
    auto app = AppDelegate::shared();
    auto server = app ? app->webServer() : nullptr;
    if (!server)
        return hostError("the transfer server cannot start: its page bundle is missing (looked for " +
                         WebUploaderBundle::defaultPath() +
                         "); set REELHAVEN_RESOURCES_DIR to the folder that holds WebUploader.bundle");
    if (m_options.port) {
        server->setPortOverride(static_cast<std::uint16_t>(*m_options.port));
    } else if (auto reason = portUnavailableReason(kPreferredTransferPort)) {
        // The import menu's switch would try port 80 first and log its failure as an error; a
        // free port is what it falls back to, and nothing is wrong.
        server->setPortOverride(0);
        m_out << "reelhaven: port " << kPreferredTransferPort << " is not available here (" << *reason
              << "); the server takes a free port" << std::endl;
    }
    auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(window()->rootViewController());
    auto root = navigation ? std::dynamic_pointer_cast<LibraryFileCollectionViewController>(
                                 navigation->viewControllers().empty() ? nullptr : navigation->viewControllers()[0])
                           : nullptr;
    if (!root) return hostError("the library is not on the screen");
    if (!server->isRunning()) {
        // The import button has no title to name it by; find its handle.
        const auto screen = ui::ScreenDriver(window()).capture();
        std::string handle;
        for (size_t i = 0; i < screen.targets().size(); ++i) {
            if (screen.targets()[i].item == root->importButton()) handle = "#" + std::to_string(i + 1);
        }
        if (handle.empty()) return hostError("the import button is not on the screen:\n" + screen.text());
        auto opened = m_session->executeLineQuietly("tap " + handle);
        if (opened != HostSession::Outcome::done) return hostError("the import menu did not open");
        if (m_session->executeLineQuietly("tap \"Enable local Wi-Fi Server\"") != HostSession::Outcome::done)
            return hostError("the import menu offers no server switch");
        // Close the menu as a user does: a touch beside it.
        const auto bounds = window()->bounds();
        window()->dismissPopoverOutside(ui::Point(bounds.size.width / 2, bounds.size.height - 2));
        m_session->settle();
    }
    if (!server->isRunning()) {
        return hostError("the transfer server did not start" +
                         std::string(m_options.port ? " on port " + std::to_string(*m_options.port) : std::string()));
    }
    m_transferOn = true;
    return {};
}

void AppHost::printTransferAddress() {
    auto app = AppDelegate::shared();
    auto server = app ? app->webServer() : nullptr;
    if (!m_transferOn || !server || !server->isRunning()) return;
    m_out << "reelhaven: transfer server running over " << base::escapedText(server->uploadDirectory()) << "\n"
          << "reelhaven: open "
          << server->serverURL().value_or("http://localhost:" + std::to_string(server->port()) + "/")
          << " in a browser on this network (port " << server->port() << ")" << std::endl;
}

foundation::Status AppHost::open(const std::string& pathOrURL) {
    auto context = openContext(pathOrURL);
    if (!context) return context.error();
    m_scene->openURLs({context.value()});
    return {};
}

void AppHost::enterBackground() {
    m_scene->setActivationState(ui::SceneActivationState::background);
    keepSession();
}

foundation::Status AppHost::screenshot(const std::string& path) {
    if (!m_display) return hostError("screenshot needs a window: run with --display");
    m_session->settle();
    // Painting is how the window finds a new video view and has it hand its frames over.
    m_display->capture();
    if (auto shown = waitForPlayerFrame(); !shown) return shown;
    auto png = gfx::PngCodec::encode(m_display->capture());
    if (!png) return hostError("cannot encode the window's pixels as PNG");
    std::ofstream file(path, std::ios::binary);
    if (!(file << *png) || !file.flush()) return hostError("cannot write the screenshot to " + base::escapedText(path));
    m_out << "screenshot\t" << base::escapedText(path) << std::endl;
    return {};
}

foundation::Status AppHost::waitForPlayerFrame() {
    auto delegate = std::dynamic_pointer_cast<SceneDelegate>(m_scene->delegate());
    auto player = delegate ? delegate->presentedPlayer() : nullptr;
    auto session = player ? player->session() : nullptr;
    auto view = player ? player->glkView() : nullptr;
    if (!session || !view) return {};
    // In the background the player draws nothing: the window shows what it last had.
    if (m_scene->activationState() == ui::SceneActivationState::background) return {};
    // The view hands over blank frames before mpv has a picture; once mpv's clock has passed the
    // first frame, every frame drawn from then on shows the file. The render queue may be drawing
    // one frame already (begun before), so the second one handed over counts. A paused player
    // keeps what it shows.
    std::optional<std::uint64_t> playingFrom;
    auto showsTheFile = [&] {
        serveWindow();
        // A file without a picture shows its black view under the player's alert saying so.
        if (auto alert = std::dynamic_pointer_cast<ui::AlertController>(player->presentedViewController()))
            return alert->alertTitle() == std::optional<std::string>(ReelhavenViewController::kNoPictureTitle);
        const auto serial = view->presentedFrame().serial;
        if (playingFrom) return serial > *playingFrom + 1;
        auto info = session->playbackInfo();
        if (!info || !session->hasLoaded(*info)) return false;
        const auto observed = session->observed();
        if (observed.paused.value_or(false)) return serial > 0;
        if (observed.position.value_or(0) <= 0) return false;
        playingFrom = serial;
        return false;
    };
    if (!dispatch::RunLoop::main()->runUntil(showsTheFile, kFrameTimeout))
        return hostError("the player showed no frame of its video within " +
                         std::to_string(kFrameTimeout.count() / 1000) + " s (no screenshot)");
    return {};
}

void AppHost::serveWindow() {
    if (m_display) m_display->presentIfDue();
}

bool AppHost::serveWindowUntil(const std::function<bool()>& done) {
    if (m_display) return m_display->serveUntil(done);
    // No window to close: the loop alone, asleep between what it serves.
    dispatch::RunLoop::main()->runUntil(done, std::chrono::hours(24), dispatch::RunLoop::ConditionSource::servedWork);
    return true;
}

foundation::Status AppHost::click(ui::Point at) {
    if (!m_display) return hostError("click needs a window: run with --display");
    const auto bounds = window()->bounds();
    if (!bounds.contains(at))
        return hostError("a click at " + std::to_string(at.x) + "," + std::to_string(at.y) +
                         " is outside the window (" + std::to_string(bounds.size.width) + " x " +
                         std::to_string(bounds.size.height) + " points)");
    m_display->click(at);
    return {};
}

std::optional<ui::Point> AppHost::drawnPointOf(int handle) {
    if (!m_display) return std::nullopt;
    return m_display->drawnPointOf(handle);
}

foundation::Status AppHost::pressKey(const ui::Key& key) {
    if (!m_display) return hostError("key needs a window: run with --display");
    m_display->pressKey(key.keyCode, key.modifierFlags);
    return {};
}

foundation::Status AppHost::resizeWindow(ui::Size points) {
    if (!m_display) return hostError("resize needs a window: run with --display");
    m_display->resize(points);
    return {};
}

int AppHost::screenshotWhenSettled() {
    int status = 0;
    m_display->screenshotWhenSettled(
        m_options.screenshot,
        // The cells' thumbnails and durations are made in the background: settled only once
        // every job of the shown screens has handed its result over.
        [this] {
            flushShownScreens();
            return true;
        },
        [this, &status](foundation::Status written) {
            if (!written) {
                m_err << "reelhaven: " << written.error().description << std::endl;
                status = 1;
            } else {
                m_out << "screenshot\t" << base::escapedText(m_options.screenshot) << std::endl;
            }
            dispatch::RunLoop::main()->stop();
        });
    m_display->run();
    return status;
}

void AppHost::enterForeground() { m_scene->setActivationState(ui::SceneActivationState::foregroundActive); }

void AppHost::keepSession() {
    if (auto status = m_store.save(*m_scene->session()); !status)
        m_err << "reelhaven: the scene session could not be kept: " << status.error().description << "\n";
}

void AppHost::flushShownScreens(const std::function<void()>& meanwhile) {
    // What the player queued for mpv has run, and what it hands back to the main queue (a popover
    // opened after reading a property, the time after a skip) is posted by now.
    if (auto delegate = m_scene ? std::dynamic_pointer_cast<SceneDelegate>(m_scene->delegate()) : nullptr) {
        if (auto player = delegate->presentedPlayer()) settlePlayer(*player);
    }
    auto shown = window();
    auto navigation =
        shown ? std::dynamic_pointer_cast<ui::NavigationController>(shown->rootViewController()) : nullptr;
    if (!navigation) return;
    for (const auto& controller : navigation->viewControllers()) {
        auto screen = std::dynamic_pointer_cast<FileCollectionViewController>(controller);
        if (!screen) continue;
        screen->fileOperationQueue()->sync([] {});
        // The listing and the metadata pass first: the pass starts the thumbnail and duration jobs.
        screen->videoManager()->videoManagerQueue()->sync([] {});
        if (!meanwhile) {
            screen->videoManager()->waitForMetadataJobs();
            continue;
        }
        while (!screen->videoManager()->waitForMetadataJobs(kServeInterval)) meanwhile();
    }
}

namespace {

// Whether what was queued on `queue` before now has run within `limit`.
bool queueEnds(dispatch::WorkQueue& queue, std::chrono::milliseconds limit) {
    auto ended = std::make_shared<std::promise<void>>();
    auto future = ended->get_future();
    queue.async([ended] { ended->set_value(); });
    return future.wait_for(limit) == std::future_status::ready;
}

}  // namespace

void AppHost::shutDown() {
    if (m_shutDown || !m_scene) return;
    m_shutDown = true;
    enterBackground();
    auto& application = ui::Application::shared();
    application.terminate();
    if (m_transferOn) {
        if (auto app = AppDelegate::shared(); app && app->webServer()) {
            app->webServer()->stop();
            app->webServer()->waitForConnectionsToEnd(std::chrono::seconds(5));
            m_out << "reelhaven: transfer server stopped" << std::endl;
        }
    }
    // The scene goes with its player, which frees its mpv handle and render context on its
    // command queue, and its progress saves run on the global queue; both must end now, not
    // while the process's statics are torn down. The player is let go here too: its render
    // context must go before the window's (below).
    {
        auto delegate = std::dynamic_pointer_cast<SceneDelegate>(m_scene->delegate());
        auto player = delegate ? delegate->presentedPlayer() : nullptr;
        auto playerSession = player ? player->session() : nullptr;
        application.disconnectScene(m_scene);
        // The progress was saved from the position last observed; mpv's teardown waits for its
        // core, which may be busy for seconds, and is not waited for longer than a moment.
        if (playerSession && !queueEnds(*playerSession->commandQueue(), kPlayerTeardownWait))
            m_playerLeftRunning = playerSession;
        if (player) player->waitForProgressSaves();
        if (m_playerLeftRunning) {
            // The dismissal the close posted saves once more as the player goes: it runs, and its
            // save ends, before the process does.
            dispatch::RunLoop::main()->runUntilIdle();
            player->waitForProgressSaves();
            // What the player still holds (its render context, sharing the window's) is left to
            // end with the process, which ends next (`endProcessIfPlayerLeft`).
            return;
        }
    }
    releaseScene();
}

void AppHost::releaseScene() {
    m_session->settle();
    m_firstFrames.reset();
    m_session.reset();
    m_scene.reset();
    ui::Application::shared().reset();
    // Last: the player's render context, gone now, shared the window's.
    m_display.reset();
}

int AppHost::endProcessIfPlayerLeft(int status) {
    if (!m_playerLeftRunning) return status;
    m_out << "reelhaven: the player's mpv is still busy; it ends with the process" << std::endl;
    m_out.flush();
    m_err.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}

int AppHost::run(const LauncherOptions& options, StopSignals& signals) {
    // Started with standard input closed (as a service may be), the next descriptor opened would
    // become the input: hold its place with /dev/null.
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0 && errno == EBADF) ::open("/dev/null", O_RDONLY);
    AppHost host(options, std::cout, std::cerr);
    if (!host.start()) return 1;
    if (options.transfer) {
        if (auto status = host.switchTransferOn(); !status) {
            std::cerr << "reelhaven: " << status.error().description << "\n";
            return 1;
        }
    }
    const bool scripted = !options.script.empty();
    if (options.display && !options.screenshot.empty() && !scripted) {
        host.printTransferAddress();
        const int status = host.screenshotWhenSettled();
        host.shutDown();
        host.endProcessIfPlayerLeft(status);
        dispatch::RunLoop::setMain(nullptr);
        return status;
    }
    auto runner =
        HostRunner::create(host.session(), scripted ? HostRunner::OnFailure::stop : HostRunner::OnFailure::goOn);
    if (scripted) {
        auto script = ScriptInput::open(options.script);
        if (!script) {
            std::cerr << "reelhaven: " << script.error().description << "\n";
            return 1;
        }
        runner->setInput(std::move(script.value()));
        host.printTransferAddress();
    } else {
        host.session().printScreen();
        // Last, under the screen, where a user looks.
        host.printTransferAddress();
        auto input = StreamInput::start(STDIN_FILENO, runner->waker());
        if (!input) {
            std::cerr << "reelhaven: " << input.error().description << "\n";
            return 1;
        }
        if (options.transfer) {
            // The server is what this run is for: the end of the input does not stop it.
            runner->setInput(std::make_unique<EndlessInput>(std::move(input.value()), [&host] {
                host.m_out << "reelhaven: standard input ended; serving until a signal (SIGTERM, SIGINT)" << std::endl;
            }));
        } else {
            runner->setInput(std::move(input.value()));
        }
    }
    auto loop = dispatch::RunLoop::main();
    signals.start(
        [loop, weak = std::weak_ptr<HostRunner>(runner)](int) {
            loop->post([weak] {
                if (auto alive = weak.lock()) alive->requestStop();
            });
        },
        STDOUT_FILENO);
    const int status = host.m_display ? runner->run([&host] { host.m_display->run(); }) : runner->run();
    host.shutDown();
    host.endProcessIfPlayerLeft(status);
    // What the loop still holds (timers of views that went) goes now, while everything it may
    // touch is alive, not among the process's statics at exit.
    dispatch::RunLoop::setMain(nullptr);
    return status;
}

}  // namespace reelhaven
