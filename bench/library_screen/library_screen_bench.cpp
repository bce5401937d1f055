// The library screen at scale: a folder of 2,000 videos opened in a real window, timed until every
// visible cell shows its thumbnail and duration, beside the library manager's metadata pass alone
// over the same folder (both with cold caches), alternating round by round (REELHAVEN_BENCH_ROUNDS,
// default 3) so a swing of the machine's load touches both alike; medians and the ratio of the
// medians. Then the main-thread time the grid spends per reloaded cell. Run through
// bench/library_screen/run.sh, which makes the folder.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/documents_client.h"
#include "core/media_helper_pool.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "library/file_collection_view_controller.h"
#include "library/video_collection_view_cell.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/views/window.h"

namespace {

namespace fs = std::filesystem;
using namespace reelhaven;
using Clock = std::chrono::steady_clock;

fs::path fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) {
        std::fprintf(stderr, "%s is not set; run bench/library_screen/run.sh\n", name);
        std::exit(2);
    }
    return value;
}

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A container whose Documents is a fresh copy of the folder, so identities and thumbnails start cold.
struct Library {
    explicit Library(const fs::path& home, const fs::path& folder) : container(home) {
        documents = container.container().folder(foundation::SearchPathDirectory::documents);
        for (const auto& entry : fs::directory_iterator(folder))
            fs::copy_file(entry.path(), documents / entry.path().filename(), fs::copy_options::overwrite_existing);
        documentsClient =
            DocumentsClient::create(Preferences::create(foundation::UserDefaults::create(home / "defaults.json")));
        progressClient = ProgressClient::create();
    }
    std::vector<LibraryItemPtr> listing() const {
        return documentsClient->contents(foundation::URL::fileURLWithPath(documents.string()), false);
    }

    foundation::ScopedContainer container;
    fs::path documents;
    std::shared_ptr<DocumentsClient> documentsClient;
    std::shared_ptr<ProgressClient> progressClient;
};

struct PassFigures {
    double wholeSeconds = 0;
    // Until the first `first` videos of the list had both their thumbnail and duration.
    double firstSeconds = 0;
};

// The manager's metadata pass over the whole folder, until its last answer.
PassFigures metadataPassAlone(const fs::path& home, const fs::path& folder, std::size_t first) {
    Library library(home, folder);
    auto manager = VideoManager::create(library.documentsClient, library.progressClient);
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::map<std::string, int> answers;  // two per video: thumbnail and duration
    std::map<std::string, double> completed;
    const auto start = Clock::now();
    manager->setOnMetadataPassProgress([&](const VideoManager::MetadataPassProgress& progress) {
        std::lock_guard lock(mutex);
        if (progress.video && ++answers[progress.video->displayName()] == 2)
            completed[progress.video->displayName()] = secondsSince(start);
        if (!progress.finished) return;
        done = true;
        finished.notify_all();
    });
    manager->update(library.listing());
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return done; });
    PassFigures figures;
    figures.wholeSeconds = secondsSince(start);
    const auto items = manager->library();
    for (std::size_t index = 0; index < std::min(first, items.size()); ++index)
        figures.firstSeconds = std::max(figures.firstSeconds, completed[items[index]->displayName()]);
    lock.unlock();
    manager->waitForMetadataJobs();
    return figures;
}

bool visibleCellsComplete(ui::CollectionView& grid) {
    const auto cells = grid.visibleCells();
    if (cells.empty()) return false;
    for (const auto& cell : cells) {
        auto video = std::dynamic_pointer_cast<VideoCollectionViewCell>(cell);
        if (!video) continue;
        if (!video->imageView()->image() || video->timestampLabel()->isHidden()) return false;
    }
    return true;
}

struct ScreenFigures {
    double visibleSeconds = 0;
    int visibleCells = 0;
    double reloadMicrosecondsPerCell = 0;
};

ScreenFigures screenOpened(const fs::path& home, const fs::path& folder) {
    Library library(home, folder);
    dispatch::ScopedMainRunLoop loop;
    auto manager = VideoManager::create(library.documentsClient, library.progressClient);
    auto screen = FileCollectionViewController::create(nullptr, manager, library.progressClient, nullptr, nullptr);
    auto window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    window->setRootViewController(ui::NavigationController::create(screen));
    window->makeKeyAndVisible();

    ScreenFigures figures;
    const auto start = Clock::now();
    manager->update(library.listing());
    auto grid = screen->collectionView();
    loop.runUntil(
        [&] {
            window->layoutIfNeeded();
            return visibleCellsComplete(*grid);
        },
        std::chrono::minutes(10));
    figures.visibleSeconds = secondsSince(start);
    figures.visibleCells = static_cast<int>(grid->visibleCells().size());

    // Main-thread work per reloaded cell: the visible videos reloaded as a thumbnail or a duration
    // answer reloads them, with their pictures and durations known.
    std::vector<LibraryItemPtr> visible;
    for (const auto& path : grid->indexPathsForVisibleItems())
        if (auto item = screen->dataSource()->itemIdentifier(path)) visible.push_back(*item);
    constexpr int rounds = 200;
    const auto reloadStart = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (const auto& item : visible) screen->reloadItems({item});
        window->layoutIfNeeded();
    }
    figures.reloadMicrosecondsPerCell =
        secondsSince(reloadStart) * 1e6 / (rounds * static_cast<double>(visible.size()));
    manager->waitForMetadataJobs();
    return figures;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::string load() {
    std::FILE* file = std::fopen("/proc/loadavg", "r");
    char text[64] = {};
    if (file) {
        if (!std::fgets(text, sizeof text, file)) text[0] = 0;
        std::fclose(file);
    }
    std::string line(text);
    // The 1, 5 and 15 minute averages.
    for (int spaces = 0, i = 0; i < static_cast<int>(line.size()); ++i)
        if (line[static_cast<std::size_t>(i)] == ' ' && ++spaces == 3)
            return line.substr(0, static_cast<std::size_t>(i));
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    // Started again as a media helper (the library's jobs read their files in such), it serves as one.
    if (const int status = reelhaven::mediaHelperMain(argc, argv); status >= 0) return status;
    const fs::path folder = fromEnvironment("REELHAVEN_BENCH_FOLDER");
    const fs::path work = fromEnvironment("REELHAVEN_BENCH_WORK");
    const char* roundsText = std::getenv("REELHAVEN_BENCH_ROUNDS");
    const int rounds = std::max(1, roundsText ? std::atoi(roundsText) : 3);
    std::vector<double> visible, first, whole, reload;
    int cells = 0;
    for (int round = 0; round < rounds; ++round) {
        fs::remove_all(work / "alone");
        fs::remove_all(work / "screen");
        std::printf("round %d, load %s\n", round + 1, load().c_str());
        const auto screen = screenOpened(work / "screen", folder);
        const auto alone = metadataPassAlone(work / "alone", folder, static_cast<std::size_t>(screen.visibleCells));
        std::printf("  screen's %d visible cells complete %.3f s; the pass alone answered its first %d in %.3f s\n",
                    screen.visibleCells, screen.visibleSeconds, screen.visibleCells, alone.firstSeconds);
        visible.push_back(screen.visibleSeconds);
        first.push_back(alone.firstSeconds);
        whole.push_back(alone.wholeSeconds);
        reload.push_back(screen.reloadMicrosecondsPerCell);
        cells = screen.visibleCells;
    }
    std::printf("medians of %d rounds, load after %s\n", rounds, load().c_str());
    std::printf("metadata pass alone, whole folder:                %8.3f s\n", median(whole));
    std::printf("metadata pass alone, first %2d videos answered:    %8.3f s\n", cells, median(first));
    std::printf("screen until its %2d visible cells are complete:   %8.3f s (%.2fx the pass's first %d)\n", cells,
                median(visible), median(visible) / median(first), cells);
    std::printf("main-thread time per reloaded cell:               %8.1f us\n", median(reload));
    return 0;
}
