// The time from a click on a library cell to the video's first frame on the screen: the launcher's
// app host on a home holding one clip, in a desktop window; the click goes through the window's
// input path (its event queue, the pointer as a finger, the cell's tap) and the clock stops when
// the display host has composited the first video frame onto the window. The player is closed
// between runs; the first run (mpv and the shaders loaded cold) is reported apart from the median
// of the others. run.sh runs it beside the playback and idle figures.
//
// Usage: bench_display_click CLIP RUNS

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>
#include <variant>
#include <vector>

#include "app/app_host.h"
#include "app/container_setup.h"
#include "app/scene_delegate.h"
#include "controls/video_control_view.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/display_host.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/window.h"
#include "playback/reelhaven_view_controller.h"

using namespace reelhaven;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Serves the window until `done` holds, looking every few milliseconds; false after `limit`.
bool serveUntil(display::DisplayHost& display, const std::function<bool()>& done, std::chrono::seconds limit) {
    if (done()) return true;  // a stop before the loop runs would not end it
    auto loop = dispatch::RunLoop::main();
    const auto deadline = Clock::now() + limit;
    bool held = false;
    std::function<void()> look = [&] {
        if (done() || Clock::now() > deadline) {
            held = done();
            loop->stop();
            return;
        }
        loop->schedule(loop->now() + dispatch::seconds(0.002), look);
    };
    loop->schedule(loop->now(), look);
    display.run();
    return held;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[2]) < 2) {
        std::cerr << "usage: bench_display_click CLIP RUNS (RUNS from 2)\n";
        return 2;
    }
    const fs::path clip = fs::absolute(argv[1]);
    const int runs = std::atoi(argv[2]);
    const auto home = fs::temp_directory_path() / "reelhaven-bench-click";
    fs::remove_all(home);
    fs::create_directories(home / "Documents");
    fs::copy_file(clip, home / "Documents" / "Clip.mp4");
    const auto installed = installContainer(home);  // the process's container while it lives
    if (std::holds_alternative<std::string>(installed)) {
        std::cerr << std::get<std::string>(installed) << "\n";
        return 1;
    }

    LauncherOptions options;
    options.home = home;
    options.display = true;
    options.restore = false;
    std::ostringstream screens;  // what the host prints goes nowhere
    AppHost host(options, screens, std::cerr);
    if (!host.start()) return 1;
    auto& display = *host.display();
    ui::ScreenDriver driver(host.window());

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        host.session().settle();
        auto point = driver.touchPointOf("Clip");
        if (!point) {
            std::cerr << "the clip's cell: " << point.error().description << "\n";
            return 1;
        }
        const auto shownBefore = display.statistics().videoFrames;
        const auto start = Clock::now();
        display.click(point.value());
        if (!serveUntil(
                display, [&] { return display.statistics().videoFrames > shownBefore; }, std::chrono::seconds(60))) {
            std::cerr << "run " << run + 1 << ": no video frame within 60 s\n";
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        std::printf("run %d: %.1f ms\n", run + 1, times.back());
        // Back to the grid, as the player's close button does.
        auto delegate = std::dynamic_pointer_cast<SceneDelegate>(host.scene()->delegate());
        auto player = delegate ? delegate->presentedPlayer() : nullptr;
        auto controls = player ? player->controlView() : nullptr;
        if (!controls) {
            std::cerr << "run " << run + 1 << ": no player to close\n";
            return 1;
        }
        // A player opens with its controls hidden; a tap on the picture brings them, as a person
        // would do before reaching the close button.
        display.click(host.window()->bounds().center());
        if (!serveUntil(
                display, [&] { return !controls->isHidden(); }, std::chrono::seconds(60))) {
            std::cerr << "run " << run + 1 << ": a tap on the picture did not show the controls\n";
            return 1;
        }
        controls->closeButtonPressed();
        if (!serveUntil(
                display, [&] { return !delegate->presentedPlayer(); }, std::chrono::seconds(60))) {
            std::cerr << "run " << run + 1 << ": the player did not close\n";
            return 1;
        }
    }
    std::printf("click_to_first_frame_cold_ms %.1f\n", times.front());
    std::printf("click_to_first_frame_median_ms %.1f (runs 2-%d)\n",
                median(std::vector<double>(times.begin() + 1, times.end())), runs);
    host.shutDown();
    dispatch::RunLoop::setMain(nullptr);
    return 0;
}
