// The player's popovers on the headless UI layer: opening the options popover (rows built,
// list laid out, size taken from the laid-out content) and opening the video menu over a folder
// of 1,000 videos (playlist snapshot, layout, the playing video selected). Each iteration
// presents the popover from a player-sized screen and dismisses it again.
#include <benchmark/benchmark.h>

#include "../benchmark_main.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "controls/options_popover_view_controller.h"
#include "controls/video_menu_popover_view_controller.h"
#include "core/documents_client.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/ui/views/window.h"
#include "playback/model/playback_info.h"

namespace {

using namespace reelhaven;

// A temporary folder with the container and the video files, removed at the end.
class Folder {
public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "controls-bench-XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~Folder() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

VideoPtr makeVideo(const std::filesystem::path& folder, const std::string& name) {
    std::ofstream(folder / name) << "x";
    return Video::create(foundation::URL::fileURLWithPath((folder / name).string()), LibraryItemType::file, false);
}

// A screen to present from, in a phone-sized window.
struct Screen {
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    std::shared_ptr<ui::ViewController> root = ui::ViewController::create();
    Screen() {
        window->setRootViewController(root);
        window->makeKeyAndVisible();
    }
};

void BM_OpenOptionsPopover(benchmark::State& state) {
    Folder folder;
    foundation::ScopedContainer container(folder.path() / "home");
    dispatch::ScopedMainRunLoop loop;
    Screen screen;
    auto info =
        PlaybackInfo::create(nullptr, nullptr, makeVideo(folder.path(), "movie.mp4"), false, false, std::nullopt);
    info->setTracks({}, {Track::none(TrackType::audio)},
                    {Track::none(TrackType::subtitle), Track{TrackType::subtitle, 1, "English"}});
    OptionsPopoverViewController::expansionState()[OptionsRowKind::subtitleAppearance] = true;
    for (auto _ : state) {
        auto popover = OptionsPopoverViewController::create();
        popover->setPlaybackInfo(info);
        screen.root->present(popover, false);
        benchmark::DoNotOptimize(popover->preferredContentSize());
        screen.root->dismiss(false);
    }
}
BENCHMARK(BM_OpenOptionsPopover)->Unit(benchmark::kMicrosecond);

void BM_OpenVideoMenuOf1000Videos(benchmark::State& state) {
    Folder folder;
    foundation::ScopedContainer container(folder.path() / "home");
    dispatch::ScopedMainRunLoop loop;
    Screen screen;
    auto manager = VideoManager::create(DocumentsClient::create(), ProgressClient::create());
    std::vector<LibraryItemPtr> listing;
    for (int index = 0; index < 1000; ++index) {
        listing.push_back(makeVideo(folder.path(), "video " + std::to_string(index) + ".mp4"));
    }
    manager->update(listing);
    manager->waitForMetadataJobs();
    auto playing = std::dynamic_pointer_cast<Video>(manager->library()[500]);
    auto info = PlaybackInfo::create(nullptr, manager, playing, false, false, std::nullopt);
    for (auto _ : state) {
        auto menu = VideoMenuPopoverViewController::create();
        menu->setPlaybackInfo(info);
        menu->setVideoManager(manager);
        screen.root->present(menu, false);
        benchmark::DoNotOptimize(menu->preferredContentSize());
        screen.root->dismiss(false);
        loop.runUntilIdle();
    }
    manager->waitForMetadataJobs();
}
BENCHMARK(BM_OpenVideoMenuOf1000Videos)->Unit(benchmark::kMicrosecond);

}  // namespace

REELHAVEN_BENCHMARK_MAIN()
