#include "app/play_command.h"

#include <mpv/client.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <thread>

#include "app/host_input.h"
#include "app/play_keys.h"
#include "app/stop_signals.h"
#include "app/window_size.h"
#include "core/documents_client.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "output/mpv_glk_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/dispatch/work_queue.h"
#include "platform/display/display_host.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/screen/text_screen.h"
#include "platform/ui/views/window.h"
#include "playback/media_center_service.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_storyboard.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

namespace {

constexpr double kViewWidth = 640;
constexpr double kViewHeight = 360;
// How long the end waits past --seconds for a first frame still to come.
constexpr double kFramePatience = 30;

std::optional<foundation::URL> playableURL(const std::string& path, std::string& problem) {
    if (auto url = foundation::URL::parse(path); url && (url->scheme() == "http" || url->scheme() == "https" ||
                                                         url->scheme() == "ftp" || url->scheme() == "file")) {
        return url;
    }
    std::error_code error;
    auto absolute = std::filesystem::absolute(path, error);
    if (error || !std::filesystem::is_regular_file(absolute, error)) {
        problem = "no such file: " + path;
        return std::nullopt;
    }
    return foundation::URL::fileURLWithPath(absolute.lexically_normal().string());
}

std::string seconds3(double value) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(3) << value;
    return text.str();
}

}  // namespace

int runPlayCommand(const LauncherOptions& options) { return runPlayCommand(options, std::cout, std::cerr); }

int runPlayCommand(const LauncherOptions& options, std::ostream& out, std::ostream& err) {
    std::string problem;
    auto url = playableURL(options.playPath, problem);
    if (!url) {
        err << "reelhaven: cannot play " << options.playPath << ": " << problem << std::endl;
        return 1;
    }
    StopSignals signals;
    auto loop = dispatch::RunLoop::main();
    loop->bindToCurrentThread();

    // The file is opened from outside the library: it gets no identity attribute.
    auto video = Video::create(*url, LibraryItemType::file, true);
    auto info = PlaybackInfo::create(ProgressClient::create(), nullptr, video, false, true, std::nullopt);

    // In a window the view's frames are composited on the desktop. The window opens before the
    // renderer makes its GL context, which then shares the window's.
    std::unique_ptr<display::DisplayHost> host;
    if (options.display) {
        display::DisplayHost::Options window;
        window.title = "Reelhaven - " + info->title();
        window.minimumSize = kMinimumWindowSize;
        auto opened = display::DisplayHost::open(std::move(window));
        if (!opened) {
            err << "reelhaven: " << opened.error().description << std::endl;
            return 1;
        }
        host = std::move(opened.value());
    }

    // The player screen presented over an empty root screen, as the library presents it.
    auto screen = ui::Screen::create({0, 0, kViewWidth, kViewHeight}, 1.0);
    auto scene =
        ui::WindowScene::create(ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "play"), screen);
    scene->setActivationState(ui::SceneActivationState::foregroundActive);
    auto window = ui::Window::create(scene);
    auto root = ui::ViewController::create();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    if (host) host->show(window);
    registerReelhavenStoryboard();
    auto player = std::dynamic_pointer_cast<ReelhavenViewController>(
        ui::Storyboard::named(ReelhavenViewController::kStoryboardName)
            ->instantiateViewController(ReelhavenViewController::kStoryboardIdentifier, [&](const ui::Coder& coder) {
                return ReelhavenViewController::create(coder, info, MediaCenterService::create());
            }));
    MPVSession::Options sessionOptions;
    sessionOptions.audioOutput = options.audioOutput;
    sessionOptions.documentsClient = DocumentsClient::create();
    sessionOptions.screen = screen;
    player->setSessionOptions(sessionOptions);
    // Loads the player's view: its session is set up and the file starts loading. The session's
    // events reach the main queue only once the loop runs, after the launcher's hooks below.
    root->present(player, false);
    player->becomeFirstResponder();
    const auto session = player->session();
    const auto view = player->glkView();
    view->setKeepsLastFrame(!options.frameOut.empty());

    int exitCode = 0;
    bool restarted = false;
    bool frameSaved = options.frameOut.empty();
    // One end is printed, the first that comes: the file's own, the time asked running out, a
    // signal or the screenshot. Whatever comes after it (the file's end reaching the main queue
    // while the player closes) is not told.
    bool ended = false;
    auto end = [&](const std::string& how, int code) {
        if (std::exchange(ended, true)) return;
        out << "end\t" << how << std::endl;
        exitCode = code;
        // On the next turn: what the end set off (the player closing) runs first.
        dispatch::Queue::main()->async([loop] { loop->stop(); });
    };

    // The playing time counts from the load, so a slow start (a busy machine, a network file) still
    // plays for the time asked and prints what was loaded before it ends. With --frame-out the end
    // waits for the first frame as well (a large picture may come late), for a while.
    bool stopArmed = false;
    bool stopDue = false;
    const std::string afterSeconds = options.seconds ? "after " + MPVSession::decimal(*options.seconds) + " s" : "";
    auto armStop = [&] {
        if (!options.seconds || stopArmed) return;
        stopArmed = true;
        dispatch::Queue::main()->asyncAfter(*options.seconds, [&] {
            if (frameSaved) return end(afterSeconds, 0);
            stopDue = true;
            dispatch::Queue::main()->asyncAfter(kFramePatience, [&] { end(afterSeconds, 0); });
        });
    };
    auto playerLoaded = session->onFileLoaded;
    session->onFileLoaded = [&, playerLoaded](const PlaybackInfoPtr& loaded) {
        if (playerLoaded) playerLoaded(loaded);
        armStop();
        out << "loaded\t" << loaded->title() << "\n";
        for (const auto& list : {loaded->videoTracks(), loaded->audioTracks(), loaded->subtitleTracks()})
            for (const auto& track : list)
                if (!track.isNone())
                    out << "track\t" << rawValue(track.type) << "\t" << track.id << "\t" << track.title << "\n";
        for (const auto& chapter : loaded->chapters())
            out << "chapter\t" << chapter.index << "\t" << seconds3(chapter.startTime.seconds) << "\t" << chapter.title
                << "\n";
        out << std::flush;
    };
    auto playerRestarted = session->onPlaybackRestart;
    session->onPlaybackRestart = [&, playerRestarted] {
        if (playerRestarted) playerRestarted();
        restarted = true;
        if (!frameSaved) view->setKeepsLastFrame(true);
    };
    // The first frame drawn after playback started: handed from the render queue to the main one.
    view->onFrameDisplayed = [&, loop, path = options.frameOut](const gfx::Image& frame) {
        if (frame.isEmpty()) return;
        loop->post([&, frame, path] {
            if (frameSaved || !restarted) return;
            frameSaved = true;
            auto png = gfx::PngCodec::encode(frame);
            std::ofstream file(path, std::ios::binary);
            if (!png || !(file << *png)) {
                err << "reelhaven: cannot write the frame to " << path << std::endl;
                return end("error", 1);
            }
            out << "frame\t" << path << std::endl;
            if (stopDue) end(afterSeconds, 0);
        });
    };
    // The player acts on the end itself (it closes); the launcher then says how it ended and stops.
    auto playerEnded = session->onEndFile;
    session->onEndFile = [&, playerEnded](EndFileAction action, EndFileEvent event) {
        if (playerEnded) playerEnded(action, event);
        if (ended) return;
        if (action == EndFileAction::closeUnfinished) {
            err << "reelhaven: cannot play " << options.playPath << ": " << mpv_error_string(event.error) << std::endl;
            end("error", 1);
        } else if (action == EndFileAction::closeFinished || action == EndFileAction::playNext) {
            end("eof", 0);
        }
    };

    // Lines typed on standard input: arrow keys and the space bar for the player, "screen" to print it.
    auto handleLine = [&](const std::string& line) {
        auto input = parsePlayInput(line);
        if (!input) {
            err << "reelhaven: type left, right, shift-left, shift-right, space or screen" << std::endl;
            return;
        }
        if (!input->presses.empty()) ui::Responder::deliverPresses(input->presses, player);
        if (input->printScreen) out << ui::TextScreen::capture(*window).text() << std::flush;
    };
    std::unique_ptr<StreamInput> keys;
    if (auto started = StreamInput::start(STDIN_FILENO, [loop] { loop->post([] {}); }))
        keys = std::move(started.value());
    auto keyReader = dispatch::Timer::scheduledTimer(0.05, true, [&](dispatch::Timer&) {
        if (!keys) return;
        while (auto line = keys->next()) handleLine(*line);
    });

    signals.start([loop, &end](int signal) {
        loop->post([signal, &end] { end(signal == SIGINT ? "interrupted" : "terminated", 128 + signal); });
    });
    auto clock = dispatch::Timer::scheduledTimer(1.0, true, [&](dispatch::Timer&) {
        if (auto position = session->doubleProperty("time-pos"))
            out << "time\t" << VideoTime::timeString(*position).value_or("-") << std::endl;
    });
    bool screenshotTaken = false;
    if (host && !options.screenshot.empty()) {
        host->screenshotWhenSettled(
            options.screenshot, [&restarted] { return restarted; },
            [&, path = options.screenshot](foundation::Status status) {
                if (!status) {
                    err << "reelhaven: " << status.error().description << std::endl;
                    end("error", 1);
                    return;
                }
                out << "screenshot\t" << path << std::endl;
                screenshotTaken = true;
                end("screenshot", 0);
            });
    }
    if (host) {
        host->run();
    } else {
        loop->run();
    }

    clock->invalidate();
    keyReader->invalidate();
    if (player->mpv()) player->close(false);
    session->teardown();
    VideoRenderer::renderQueue()->sync([&] { view->onFrameDisplayed = nullptr; });
    // Frame hand-overs posted before the teardown, and the player's dismissal: nothing of the
    // screen may be left to the run loop's own destruction at exit.
    loop->runUntil([&] { return root->presentedViewController() == nullptr; }, std::chrono::seconds(5));
    player.reset();
    host.reset();
    if (exitCode == 0 && !options.screenshot.empty() && !screenshotTaken) {
        err << "reelhaven: playback ended before the window settled; no screenshot was saved to " << options.screenshot
            << std::endl;
        return 1;
    }
    if (exitCode == 0 && !frameSaved) {
        err << "reelhaven: no frame was drawn to save to " << options.frameOut << std::endl;
        return 1;
    }
    return exitCode;
}

}  // namespace reelhaven
