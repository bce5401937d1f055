// Thumbnails and durations of generated H.264 clips, beside the ffmpeg tool making the same
// picture. Run through bench/thumbnails.sh, which makes the clips and sets REELHAVEN_BENCH_MEDIA.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/ffmpeg_utility.h"
#include "platform/graphics/image.h"

namespace {

std::filesystem::path clip(const char* name) {
    const char* dir = std::getenv("REELHAVEN_BENCH_MEDIA");
    if (!dir) {
        std::fprintf(stderr, "REELHAVEN_BENCH_MEDIA is not set; run bench/thumbnails.sh\n");
        std::exit(2);
    }
    return std::filesystem::path(dir) / name;
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

// The ffmpeg tool seeking to a quarter of the duration and writing a 640-wide PNG.
void ffmpegTool(benchmark::State& state, const char* name) {
    const std::string path = clip(name);
    const double quarter = reelhaven::FFmpegUtility::getDurationForFile(path) / 4;
    const std::string output = (std::filesystem::temp_directory_path() / "reelhaven-bench-out.png").string();
    const std::string command = "ffmpeg -v error -nostdin -y -ss " + std::to_string(quarter) + " -i '" + path +
                                "' -frames:v 1 -vf scale=640:-1 '" + output + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
    }
}

}  // namespace

BENCHMARK_CAPTURE(thumbnail, 1080p, "1080p.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ffmpegTool, 1080p, "1080p.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(duration, 1080p, "1080p.mp4")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(thumbnail, 4k, "4k.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ffmpegTool, 4k, "4k.mp4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(duration, 4k, "4k.mp4")->Unit(benchmark::kMicrosecond)->UseRealTime();

BENCHMARK_MAIN();
