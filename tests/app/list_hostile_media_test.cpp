// `reelhaven --list` over the crafted hostile shapes and over recordings whose structure is
// unusual but ordinary, through the launcher as a user runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/crafted_mp4.h"
#include "support/hostile_media.h"
#include "support/launcher_run.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LauncherRun;
using testing_support::runLauncher;
using testing_support::TempDir;
using testing_support::writeFile;

// Each listed video's fields by its name: its length and where its thumbnail came from.
std::map<std::string, std::pair<std::string, std::string>> listed(const std::string& out) {
    std::map<std::string, std::pair<std::string, std::string>> videos;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream stream(line);
        for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
        if (fields.size() == 5 && fields[0] == "video") videos[fields[1]] = {fields[2], fields[4]};
    }
    return videos;
}

// 45 minutes at 60 frames a second, fragmented on every frame: 1.1 million boxes, which the
// sample-table walk gave up on and so refused the file unopened.
TEST(ListHostileMediaTest, ARecordingFragmentedOnEveryFrameIsListedWithItsLength) {
    TempDir dir;
    const fs::path home = dir / "home";
    writeFile(home / "Documents" / "Recording.mp4", crafted_mp4::recording(45 * 60 * 60, 60));
    const LauncherRun run = runLauncher(dir.path(), {"--home", home.string(), "--list"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto videos = listed(run.out);
    ASSERT_EQ(videos.count("Recording"), 1u) << run.out;
    EXPECT_EQ(videos.at("Recording"), (std::pair<std::string, std::string>{"45:00", "generated"})) << run.out;
}

// Every shape, made small, is listed by its name in one folder, each as it was before the helper
// processes: the many streams, the SVG text and the TIFF strip with a picture made of them, the rest
// without.
// (What they cost at full size is the hostile bench's.)
TEST(ListHostileMediaTest, EveryCraftedShapeMadeSmallIsListedByItsName) {
    TempDir dir;
    const fs::path documents = dir / "home" / "Documents";
    fs::create_directories(documents);
    for (const auto& shape : hostile_media::shapes())
        hostile_media::write(shape, documents, hostile_media::Scale::cheap);
    const LauncherRun run = runLauncher(dir.path(), {"--home", (dir / "home").string(), "--list"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto videos = listed(run.out);
    EXPECT_EQ(videos.size(), hostile_media::shapes().size()) << run.out;
    for (const auto& shape : hostile_media::shapes()) {
        SCOPED_TRACE(shape.name);
        const auto video = videos.find(fs::path(shape.fileName).stem().string());
        ASSERT_NE(video, videos.end()) << run.out;
        const std::string name = shape.name;
        const bool pictured = name == "streams" || name == "svg" || name == "tiff";
        EXPECT_EQ(video->second.second, pictured ? "generated" : "none") << run.out;
    }
}

}  // namespace
