// A library file and its subtitles are opened once each and kept only when cleared; what mpv then
// reads is the descriptor, whatever the names lead to afterwards.

#include "playback/cleared_library_media.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "support/crafted_mp4.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using testing_support::writeFile;

constexpr const char* kCue = "1\n00:00:00,000 --> 00:00:03,000\nHello\n";

// Off the main thread, where the player clears files.
ClearedLibraryMedia clearOffMain(const fs::path& video, const std::vector<std::string>& subtitles) {
    return std::async(std::launch::async, [&] { return ClearedLibraryMedia::clear(video, subtitles); }).get();
}

TEST(ClearedLibraryMediaTest, KeepsTheClearedSubtitlesOfAClearedVideoWithTheirNames) {
    testing_support::TempDir dir;
    fs::copy_file(testing_support::testMedia("wide.mp4"), dir / "Clip.mp4");
    writeFile(dir / "Clip.en.srt", kCue);
    writeFile(dir / "Clip.pt-BR.ass", kCue);
    writeFile(dir / "Clip.srt", crafted_mp4::movie({{.samples = 50'000'000}}));
    writeFile(dir / "Clip.big.srt", kCue);
    fs::resize_file(dir / "Clip.big.srt", ClearedLibraryMedia::kMaximumSubtitleBytes + 1);
    fs::create_directory(dir / "Clip.folder.srt");
    ASSERT_EQ(::mkfifo((dir / "Clip.pipe.srt").c_str(), 0600), 0);
    std::vector<std::string> candidates;
    for (const char* name : {"Clip.en.srt", "Clip.srt", "Clip.big.srt", "Clip.folder.srt", "Clip.pipe.srt",
                             "Clip.missing.srt", "Clip.pt-BR.ass"})
        candidates.push_back(dir / name);

    auto media = clearOffMain(dir / "Clip.mp4", candidates);
    ASSERT_TRUE(media.cleared());
    std::vector<std::pair<std::string, std::string>> kept;
    for (const auto& subtitle : media.subtitles()) kept.emplace_back(subtitle.title, subtitle.language.value_or(""));
    EXPECT_EQ(kept,
              (std::vector<std::pair<std::string, std::string>>{{"Clip.en.srt", "en"}, {"Clip.pt-BR.ass", "pt-BR"}}));
    // What is read is the file that was opened: a rename afterwards changes nothing.
    fs::rename(dir / "Clip.srt", dir / "Clip.mp4");
    struct stat opened {};
    ASSERT_EQ(::fstat(media.videoDescriptor(), &opened), 0);
    EXPECT_EQ(opened.st_size, static_cast<off_t>(fs::file_size(testing_support::testMedia("wide.mp4"))));
}

TEST(ClearedLibraryMediaTest, AVideoThatCannotBeOpenedOrIsRefusedIsNotClearedAndOpensNoSubtitle) {
    testing_support::TempDir dir;
    writeFile(dir / "Tables.mp4", crafted_mp4::movie({{.samples = 50'000'000}}));
    fs::create_directory(dir / "Folder.mp4");
    ASSERT_EQ(::mkfifo((dir / "Pipe.mp4").c_str(), 0600), 0);
    writeFile(dir / "Tables.en.srt", kCue);
    for (const char* name : {"Tables.mp4", "Folder.mp4", "Pipe.mp4", "Missing.mp4"}) {
        SCOPED_TRACE(name);
        auto media = clearOffMain(dir / name, {dir / "Tables.en.srt"});
        EXPECT_FALSE(media.cleared());
        EXPECT_EQ(media.videoDescriptor(), -1);
        EXPECT_TRUE(media.subtitles().empty());
    }
}

TEST(ClearedLibraryMediaTest, ALanguageIsTheTagBeforeTheExtension) {
    const std::vector<std::pair<const char*, const char*>> cases{
        {"Film.en.srt", "en"}, {"Film.eng.ass", "eng"},       {"Film.pt-BR.srt", "pt-BR"},
        {"Film.srt", nullptr}, {"Film.english.srt", nullptr}, {"Film.e1.srt", nullptr},
        {"en.srt", nullptr},   {"Film.pt-.srt", nullptr},     {"Film", nullptr},
    };
    for (const auto& [name, language] : cases) {
        SCOPED_TRACE(name);
        const auto found = ClearedLibraryMedia::languageOf(name);
        if (language)
            EXPECT_EQ(found, std::optional<std::string>(language));
        else
            EXPECT_FALSE(found) << *found;
    }
}

}  // namespace
}  // namespace reelhaven
