// The media helpers through the paths the app takes: files handed over as descriptors to helper
// processes of this test executable (its main() serves as one), read under the helpers' limits.

#include "core/media_helper_pool.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/ffmpeg_utility.h"
#include "core/library_media_reader.h"
#include "core/media_clearance.h"
#include "core/refused_media.h"
#include "platform/graphics/image.h"
#include "support/crafted_mp4.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using channel_outcome = media_helper_channel::Outcome;
using media_helper_channel::Request;
using testing_support::TempDir;
using testing_support::testMedia;
using testing_support::writeFile;

// An open file, closed when it goes.
class Opened {
public:
    explicit Opened(const fs::path& path) : m_descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~Opened() {
        if (m_descriptor >= 0) ::close(m_descriptor);
    }
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

// A subtitle text of `events` cues: FFmpeg keeps every cue as a packet of its own.
std::string subtitles(int events) {
    std::string text;
    text.reserve(static_cast<std::size_t>(events) * 48);
    for (int i = 0; i < events; ++i) {
        const int second = i % 3600;
        char cue[96];
        std::snprintf(cue, sizeof cue, "%d\n00:%02d:%02d,000 --> 00:%02d:%02d,500\nLine %d\n\n", i + 1, second / 60,
                      second % 60, second / 60, second % 60, i);
        text += cue;
    }
    return text;
}

// A movie header of fifty million samples under a top-level box no count looks into, which FFmpeg
// reads as the movie header all the same.
std::string unknownMovieBox() {
    std::string bytes = crafted_mp4::movie({{.samples = 50'000'000}});
    const auto at = bytes.find("moov");
    if (at != std::string::npos) bytes.replace(at, 4, "hoov");
    return bytes;
}

// A pool of one small helper, for the limits' own cases: a file of a few megabytes is enough to
// reach them.
MediaHelperPool::Limits smallLimits(std::chrono::milliseconds time = std::chrono::seconds(120)) {
    return {1, MediaHelperPool::defaultLimits().memoryBytes / 4, time};
}

// Kills `pid` and waits (without sleeping) until it has died: a zombie its pool has yet to reap,
// or gone.
void killAndWaitForDeath(pid_t pid) {
    ::kill(pid, SIGKILL);
    for (;;) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line)) return;
        const auto close = line.rfind(')');
        if (close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z') return;
        std::this_thread::yield();
    }
}

// Waits (without sleeping) until `pool` has handed over `files` files.
void waitUntilAsked(const MediaHelperPool& pool, std::uint64_t files) {
    while (pool.filesAsked() < files) std::this_thread::yield();
}

TEST(MediaClearanceTest, ClearsWhatFFmpegOpensWithinTheLimitsAndNothingElse) {
    TempDir dir;
    writeFile(dir / "Clip.srt", subtitles(3));
    writeFile(dir / "Clip.vtt", "WEBVTT\n\n00:00.000 --> 00:01.000\nHello\n");
    writeFile(dir / "Clip.ass",
              "[Script Info]\nScriptType: v4.00+\n\n[Events]\nFormat: Layer, Start, End, Style, Text\n"
              "Dialogue: 0,0:00:00.00,0:00:01.00,Default,Hello\n");
    writeFile(dir / "counted.mp4", crafted_mp4::movie({{.samples = 50'000'000}}));
    writeFile(dir / "uncounted.mp4", unknownMovieBox());
    writeFile(dir / "noise.mkv", std::string(4096, '\x5a'));
    fs::create_directory(dir / "folder.mkv");
    ASSERT_EQ(::mkfifo((dir / "pipe.srt").c_str(), 0600), 0);
    struct Case {
        const char* name;
        fs::path file;
        MediaClearance expected;
    };
    const Case cases[] = {
        {"a clip", testMedia("classic.mkv"), MediaClearance::cleared},
        {"a clip with subtitles and chapters", testMedia("chapters.mkv"), MediaClearance::cleared},
        {"SubRip text", dir / "Clip.srt", MediaClearance::cleared},
        {"WebVTT text", dir / "Clip.vtt", MediaClearance::cleared},
        {"ASS text", dir / "Clip.ass", MediaClearance::cleared},
        {"fifty million samples, counted", dir / "counted.mp4", MediaClearance::refused},
        {"fifty million samples under a box no count knows", dir / "uncounted.mp4", MediaClearance::refused},
        {"bytes of no format", dir / "noise.mkv", MediaClearance::unreadable},
        {"a folder", dir / "folder.mkv", MediaClearance::unreadable},
        {"a pipe", dir / "pipe.srt", MediaClearance::unreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Opened file(c.file);
        ASSERT_GE(file.get(), 0);
        EXPECT_EQ(clearMediaDescriptor(file.get()), c.expected);
    }
    EXPECT_EQ(clearMediaDescriptor(-1), MediaClearance::unreadable);
}

TEST(MediaClearanceTest, WhatIsClearedIsTheOpenFileWhateverItsNameLeadsToMeanwhile) {
    TempDir dir;
    fs::copy_file(testMedia("classic.mkv"), dir / "clip.mkv");
    writeFile(dir / "hostile.mp4", unknownMovieBox());
    // A rename puts the other file under the opened one's name before the helper reads it.
    {
        SCOPED_TRACE("a clip replaced by a hostile file");
        const Opened file(dir / "clip.mkv");
        fs::rename(dir / "hostile.mp4", dir / "clip.mkv");
        EXPECT_EQ(clearMediaDescriptor(file.get()), MediaClearance::cleared);
    }
    {
        SCOPED_TRACE("a hostile file replaced by a clip");
        fs::copy_file(testMedia("classic.mkv"), dir / "good.mkv");
        const Opened file(dir / "clip.mkv");
        fs::rename(dir / "good.mkv", dir / "clip.mkv");
        EXPECT_EQ(clearMediaDescriptor(file.get()), MediaClearance::refused);
    }
}

TEST(MediaHelperPoolTest, HelpersReadTheLengthAndThePictureTheAppWouldHaveRead) {
    MediaHelperPool pool(MediaHelperPool::defaultLimits());
    for (const char* clip : {"wide.mp4", "classic.mkv", "rotated.mp4", "wide.ts", "audio.m4a"}) {
        SCOPED_TRACE(clip);
        const auto own = FFmpegUtility::getMetadataForFile(testMedia(clip).string());
        const Opened file(testMedia(clip));
        const auto answer = pool.ask(Request::metadata, file.get(), testMedia(clip).string());
        EXPECT_EQ(answer.outcome, channel_outcome::read);
        EXPECT_EQ(answer.duration, own.duration);
        ASSERT_EQ(!answer.thumbnail, !own.thumbnail);
        if (own.thumbnail) {
            EXPECT_TRUE(*answer.thumbnail == *own.thumbnail);
        }
        const auto length = pool.ask(Request::duration, file.get(), testMedia(clip).string());
        EXPECT_EQ(length.duration, FFmpegUtility::getDurationForFile(testMedia(clip).string()));
        EXPECT_FALSE(length.thumbnail);
    }
    EXPECT_EQ(pool.processes().size(), 1u) << "one helper, reused file after file";
}

TEST(MediaHelperPoolTest, AFileCostsItsHelperAloneAndTheNextFileGetsAFreshOne) {
    TempDir dir;
    // A million cues: 40 MB of text FFmpeg keeps as far more memory than the helper has.
    writeFile(dir / "Huge.srt", subtitles(1'000'000));
    enum class Fault { killedWhileIdle, killedOnTheFile, pastItsTime, pastItsMemory };
    struct Case {
        const char* name;
        Fault fault;
        std::chrono::milliseconds time;
        channel_outcome expected;
    };
    const Case cases[] = {
        {"a helper killed between files", Fault::killedWhileIdle, std::chrono::seconds(120), channel_outcome::read},
        {"a helper killed on the file", Fault::killedOnTheFile, std::chrono::seconds(120), channel_outcome::refused},
        {"a helper that does not answer in time", Fault::pastItsTime, std::chrono::milliseconds(1),
         channel_outcome::refused},
        {"a file past the helper's memory", Fault::pastItsMemory, std::chrono::seconds(120), channel_outcome::refused},
    };
    const fs::path clip = testMedia("classic.mkv");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MediaHelperPool pool(smallLimits(c.time));
        {
            // A first file starts the helper (and is already too late in the case of the time).
            const Opened file(clip);
            ASSERT_EQ(pool.ask(Request::clearance, file.get(), clip.string()).outcome,
                      c.fault == Fault::pastItsTime ? channel_outcome::refused : channel_outcome::read);
        }
        const auto first = pool.processes();
        const fs::path target = c.fault == Fault::pastItsMemory ? dir / "Huge.srt" : clip;
        const Opened file(target);
        MediaHelperPool::Answer answer;
        switch (c.fault) {
            case Fault::killedWhileIdle:
                ASSERT_EQ(first.size(), 1u);
                killAndWaitForDeath(first[0]);
                answer = pool.ask(Request::metadata, file.get(), target.string());
                break;
            case Fault::killedOnTheFile: {
                ASSERT_EQ(first.size(), 1u);
                // Stopped, it takes the file and cannot answer before it is killed.
                ::kill(first[0], SIGSTOP);
                const std::uint64_t asked = pool.filesAsked();
                std::thread reader([&] { answer = pool.ask(Request::metadata, file.get(), target.string()); });
                waitUntilAsked(pool, asked + 1);
                ::kill(first[0], SIGKILL);
                reader.join();
                break;
            }
            case Fault::pastItsTime:
            case Fault::pastItsMemory: answer = pool.ask(Request::metadata, file.get(), target.string()); break;
        }
        EXPECT_EQ(answer.outcome, c.expected);
        if (c.expected == channel_outcome::refused) {
            EXPECT_EQ(answer.duration, -1);
            EXPECT_FALSE(answer.thumbnail);
        } else {
            EXPECT_GT(answer.duration, 0);
            EXPECT_TRUE(answer.thumbnail);
        }
        // Whatever the last file cost, the next one is read, by a helper started for it.
        if (c.fault != Fault::pastItsTime) {
            const Opened next(clip);
            const auto after = pool.ask(Request::metadata, next.get(), clip.string());
            EXPECT_EQ(after.outcome, channel_outcome::read);
            EXPECT_TRUE(after.thumbnail);
            const auto now = pool.processes();
            ASSERT_EQ(now.size(), 1u);
            EXPECT_NE(now[0], first.empty() ? -1 : first[0]);
        }
    }
}

TEST(MediaHelperPoolTest, ManyThreadsShareAFewHelpers) {
    MediaHelperPool pool({2, MediaHelperPool::defaultLimits().memoryBytes, std::chrono::seconds(120)});
    const fs::path clip = testMedia("wide.mp4");
    const double length = FFmpegUtility::getDurationForFile(clip.string());
    std::atomic<int> read{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 3; ++i) {
                const Opened file(clip);
                const auto answer = pool.ask(Request::duration, file.get(), clip.string());
                if (answer.outcome == channel_outcome::read && answer.duration == length) ++read;
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(read.load(), 18);
    EXPECT_EQ(pool.filesAsked(), 18u);
    EXPECT_LE(pool.processes().size(), 2u);
}

TEST(LibraryMediaReaderTest, AFileThatReachedALimitIsRememberedByItsIdentityAndNotReadAgain) {
    TempDir dir;
    const fs::path store = dir / "refused-media";
    writeFile(dir / "Huge.mkv", unknownMovieBox());
    fs::copy_file(testMedia("classic.mkv"), dir / "Clip.mkv");
    MediaHelperPool pool(smallLimits());
    // Each reader stands for a process of its own: it knows only what the store's file holds.
    auto reader = [&] { return LibraryMediaReader(pool, std::make_shared<RefusedMedia>(store.string())); };
    struct Step {
        const char* name;
        std::function<void()> before;
        const char* file;
        bool readsIt;
        bool gets;
    };
    const Step steps[] = {
        {"first read: the limit", [] {}, "Huge.mkv", true, false},
        {"next process: not read again", [] {}, "Huge.mkv", false, false},
        {"an ordinary file beside it", [] {}, "Clip.mkv", true, true},
        {"its time changed: read again",
         [&] { fs::last_write_time(dir / "Huge.mkv", fs::last_write_time(dir / "Huge.mkv") + std::chrono::hours(1)); },
         "Huge.mkv", true, false},
        {"another file under its name: read",
         [&] { fs::copy_file(dir / "Clip.mkv", dir / "Huge.mkv", fs::copy_options::overwrite_existing); }, "Huge.mkv",
         true, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.before();
        const std::uint64_t asked = pool.filesAsked();
        const auto metadata = reader().metadata((dir / step.file).string());
        EXPECT_EQ(pool.filesAsked(), asked + (step.readsIt ? 1 : 0));
        EXPECT_EQ(metadata.duration > 0, step.gets);
        EXPECT_EQ(!!metadata.thumbnail, step.gets);
    }
    // A pipe and a missing file are nothing to read and nothing to remember.
    ASSERT_EQ(::mkfifo((dir / "pipe.mkv").c_str(), 0600), 0);
    const std::uint64_t asked = pool.filesAsked();
    EXPECT_EQ(reader().duration((dir / "pipe.mkv").string()), -1);
    EXPECT_EQ(reader().duration((dir / "missing.mkv").string()), -1);
    EXPECT_EQ(pool.filesAsked(), asked);
}

}  // namespace
}  // namespace reelhaven
