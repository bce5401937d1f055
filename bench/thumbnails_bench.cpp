// Thumbnails and durations of generated H.264 clips. In-process figures for the library's own
// calls, and whole processes doing the same work side by side: this program writing one thumbnail
// (`--write-thumbnail`), the ffmpeg tool decoding the same key frame with one thread, and
// ffmpegthumbnailer, each writing a 640-wide PNG. Run through bench/thumbnails.sh, which makes the
// clips and sets REELHAVEN_BENCH_MEDIA.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/ffmpeg_utility.h"
#include "platform/foundation/file_manager.h"
#include "platform/graphics/image.h"
#include "platform/graphics/png_codec.h"

namespace {

std::string self;  // this program, for the whole-process runs

std::filesystem::path clip(const char* name) {
    const char* dir = std::getenv("REELHAVEN_BENCH_MEDIA");
    if (!dir) {
        std::fprintf(stderr, "REELHAVEN_BENCH_MEDIA is not set; run bench/thumbnails.sh\n");
        std::exit(2);
    }
    return std::filesystem::path(dir) / name;
}

std::string output() { return (std::filesystem::temp_directory_path() / "reelhaven-bench-out.png").string(); }

// The library's whole thumbnail work in a process of its own: decode, scale, encode, write.
int writeThumbnail(const char* input, const char* png) {
    auto image = reelhaven::FFmpegUtility::getThumbnailForFile(input);
    if (!image) return 1;
    auto bytes = gfx::PngCodec::encode(*image);
    if (!bytes) return 1;
    return foundation::FileManager::defaultManager().writeFile(foundation::URL::fileURLWithPath(png), *bytes) ? 0 : 1;
}

void thumbnail(benchmark::State& state, const char* name) {
    const std::string path = clip(name);
    for (auto _ : state) {
        auto image = reelhaven::FFmpegUtility::getThumbnailForFile(path);
        if (!image) state.SkipWithError("no thumbnail");
        benchmark::DoNotOptimize(image);
    }
}

void duration(benchmark::State& state, const char* name) {
    const std::string path = clip(name);
    for (auto _ : state) {
        double seconds = reelhaven::FFmpegUtility::getDurationForFile(path);
        if (seconds <= 0) state.SkipWithError("no duration");
        benchmark::DoNotOptimize(seconds);
    }
}

void runCommand(benchmark::State& state, const std::string& command) {
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
    }
}

void process(benchmark::State& state, const char* name) {
    runCommand(state, "'" + self + "' --write-thumbnail '" + clip(name).string() + "' '" + output() + "'");
}

// The ffmpeg tool seeking to the key frame at or before a quarter of the duration, decoding only
// key frames (without that it decodes on to the seek point: 5.4 s of CPU for a 4K clip against
// 0.3 s) with one thread, and writing the PNG.
void ffmpegTool(benchmark::State& state, const char* name) {
    const std::string path = clip(name);
    const double quarter = reelhaven::FFmpegUtility::getDurationForFile(path) / 4;
    runCommand(state, "ffmpeg -v error -nostdin -y -threads 1 -skip_frame nokey -noaccurate_seek -ss " +
                          std::to_string(quarter) + " -i '" + path + "' -frames:v 1 -vf scale=640:-1 '" + output() +
                          "'");
}

void ffmpegthumbnailer(benchmark::State& state, const char* name) {
    runCommand(state, "ffmpegthumbnailer -t 25% -s 640 -i '" + clip(name).string() + "' -o '" + output() +
                          "' >/dev/null 2>&1");
}

}  // namespace

BENCHMARK_CAPTURE(thumbnail, 1080p, "1080p.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(duration, 1080p, "1080p.mp4")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(process, 1080p, "1080p.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ffmpegTool, 1080p, "1080p.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ffmpegthumbnailer, 1080p, "1080p.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(thumbnail, 4k, "4k.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(duration, 4k, "4k.mp4")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(process, 4k, "4k.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ffmpegTool, 4k, "4k.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ffmpegthumbnailer, 4k, "4k.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write-thumbnail") == 0) return writeThumbnail(argv[2], argv[3]);
    self = std::filesystem::absolute(argv[0]).string();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
