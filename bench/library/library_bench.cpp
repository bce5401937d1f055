// The library manager at scale, beside the command-line tools that do the same work, measured in
// one run: a cold-cache metadata pass over generated 1080p clips against ffmpegthumbnailer on
// every core, and listings of a folder of 10,000 files against getfattr over the same tree.
// Run through bench/library/run.sh, which makes the clips and sets the folders.
#include <benchmark/benchmark.h>
#include <sys/xattr.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "core/documents_client.h"
#include "core/file_identity.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"

namespace {

namespace fs = std::filesystem;
using namespace reelhaven;

fs::path fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) {
        std::fprintf(stderr, "%s is not set; run bench/library/run.sh\n", name);
        std::exit(2);
    }
    return value;
}

fs::path media() { return fromEnvironment("REELHAVEN_BENCH_MEDIA"); }
fs::path work() { return fromEnvironment("REELHAVEN_BENCH_WORK"); }

std::string quoted(const fs::path& path) {
    std::string text(1, '\'');
    text += path.string();
    text += '\'';
    return text;
}

// A container under the work folder with its own settings file.
struct Library {
    explicit Library(const fs::path& home)
        : container(home),
          documents(container.container().folder(foundation::SearchPathDirectory::documents)),
          caches(container.container().folder(foundation::SearchPathDirectory::caches)),
          documentsClient(
              DocumentsClient::create(Preferences::create(foundation::UserDefaults::create(home / "defaults.json")))),
          progressClient(ProgressClient::create()) {}

    foundation::URL documentsURL() const { return foundation::URL::fileURLWithPath(documents.string()); }
    void emptyCaches() const {
        for (const auto& entry : fs::directory_iterator(caches)) fs::remove_all(entry.path());
    }

    foundation::ScopedContainer container;
    fs::path documents;
    fs::path caches;
    std::shared_ptr<DocumentsClient> documentsClient;
    std::shared_ptr<ProgressClient> progressClient;
};

std::size_t clipCount() {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(media()))
        if (entry.path().extension() == ".mp4") ++count;
    return count;
}

// --- Metadata pass ---

void metadataPassColdCache(benchmark::State& state) {
    Library library(work() / "pass-home");
    for (const auto& entry : fs::directory_iterator(media())) {
        const fs::path link = library.documents / entry.path().filename();
        if (entry.path().extension() == ".mp4" && !fs::exists(link)) fs::create_hard_link(entry.path(), link);
    }
    const std::size_t clips = clipCount();

    for (auto _ : state) {
        state.PauseTiming();
        library.emptyCaches();
        auto manager = VideoManager::create(library.documentsClient, library.progressClient);
        auto listing = library.documentsClient->contents(library.documentsURL(), false);
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::size_t generated = 0;
        manager->setOnMetadataPassProgress([&](const VideoManager::MetadataPassProgress& progress) {
            std::lock_guard lock(mutex);
            if (progress.thumbnailSource == VideoManager::ThumbnailSource::generated) ++generated;
            if (progress.finished) {
                done = true;
                finished.notify_all();
            }
        });
        state.ResumeTiming();

        manager->update(listing);
        std::unique_lock lock(mutex);
        finished.wait(lock, [&] { return done; });
        lock.unlock();

        state.PauseTiming();
        if (generated != clips) state.SkipWithError("not every clip got a generated thumbnail");
        manager->videoManagerQueue()->sync([] {});
        state.ResumeTiming();
    }
    state.counters["clips"] = static_cast<double>(clips);
    state.counters["clips_per_second"] = benchmark::Counter(
        static_cast<double>(clips) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// ffmpegthumbnailer makes a 640-wide PNG of each clip, one process per clip, as many at a time
// as the machine has cores.
void ffmpegthumbnailerOnEveryCore(benchmark::State& state) {
    const fs::path out = work() / "ffmpegthumbnailer-out";
    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    const std::string command = "cd " + quoted(media()) + " && ls *.mp4 | xargs -d '\\n' -P " +
                                std::to_string(workers) + " -I{} ffmpegthumbnailer -s 640 -i {} -o " + quoted(out) +
                                "/{}.png 2>/dev/null";
    const std::size_t clips = clipCount();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(out);
        fs::create_directories(out);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpegthumbnailer failed");
    }
    state.counters["clips"] = static_cast<double>(clips);
    state.counters["workers"] = workers;
    state.counters["clips_per_second"] = benchmark::Counter(
        static_cast<double>(clips) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// --- Listing a large folder ---

constexpr int kListedFiles = 10000;

Library& listingLibrary() {
    static Library* library = [] {
        auto* made = new Library(work() / "list-home");
        for (int i = 0; i < kListedFiles; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "video %05d.mp4", i);
            const fs::path path = made->documents / name;
            if (!fs::exists(path)) std::ofstream(path).put('x');
        }
        return made;
    }();
    return *library;
}

void forgetIdentities(const Library& library) {
    for (const auto& entry : fs::directory_iterator(library.documents))
        ::removexattr(entry.path().c_str(), FileIdentity::kAttributeName);
}

// The first listing gives every file an identity attribute.
void firstListing(benchmark::State& state) {
    Library& library = listingLibrary();
    for (auto _ : state) {
        state.PauseTiming();
        forgetIdentities(library);
        state.ResumeTiming();
        auto items = library.documentsClient->contents(library.documentsURL(), false);
        if (items.size() != kListedFiles) state.SkipWithError("listing incomplete");
    }
    state.counters["files_per_second"] =
        benchmark::Counter(double(kListedFiles) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Listing again reads the identities back.
void relisting(benchmark::State& state) {
    Library& library = listingLibrary();
    (void)library.documentsClient->contents(library.documentsURL(), false);
    for (auto _ : state) {
        auto items = library.documentsClient->contents(library.documentsURL(), false);
        if (items.size() != kListedFiles) state.SkipWithError("listing incomplete");
    }
    state.counters["files_per_second"] =
        benchmark::Counter(double(kListedFiles) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// A manager holding the folder merges a fresh, unchanged listing of it: reload's work.
void reloadUnchanged(benchmark::State& state) {
    Library& library = listingLibrary();
    auto manager = VideoManager::create(library.documentsClient, library.progressClient);
    manager->update(library.documentsClient->contents(library.documentsURL(), false));
    manager->videoManagerQueue()->sync([] {});
    manager->waitForMetadataJobs();
    for (auto _ : state) {
        manager->update(library.documentsClient->contents(library.documentsURL(), false));
    }
    state.counters["files_per_second"] =
        benchmark::Counter(double(kListedFiles) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// getfattr dumping every user attribute of the same tree.
void getfattrTree(benchmark::State& state) {
    Library& library = listingLibrary();
    (void)library.documentsClient->contents(library.documentsURL(), false);
    const std::string command = "getfattr -d -R " + quoted(library.documents) + " >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("getfattr failed");
    }
    state.counters["files_per_second"] =
        benchmark::Counter(double(kListedFiles) * double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(metadataPassColdCache)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ffmpegthumbnailerOnEveryCore)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(firstListing)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(relisting)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(reloadUnchanged)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(getfattrTree)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
