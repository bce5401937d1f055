// Listing a folder of 10,000 files, first and again, and the library manager merging it, beside
// getfattr over the same tree. Run through bench/library/run.sh, which sets the work folder (the
// metadata pass is timed there as whole processes, by compare_pass.py).
#include <benchmark/benchmark.h>

#include <sys/xattr.h>
#include "../benchmark_main.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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
          documentsClient(
              DocumentsClient::create(Preferences::create(foundation::UserDefaults::create(home / "defaults.json")))),
          progressClient(ProgressClient::create()) {}

    foundation::URL documentsURL() const { return foundation::URL::fileURLWithPath(documents.string()); }

    foundation::ScopedContainer container;
    fs::path documents;
    std::shared_ptr<DocumentsClient> documentsClient;
    std::shared_ptr<ProgressClient> progressClient;
};

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

BENCHMARK(firstListing)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(relisting)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(reloadUnchanged)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(getfattrTree)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

REELHAVEN_BENCHMARK_MAIN()
