// `reelhaven --home DIR --list` run as a user runs it, on a container of generated clips.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/launcher_run.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::testMedia;
using testing_support::writeFile;

using testing_support::LauncherRun;
using testing_support::runLauncher;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::string allocated(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return "?";
    return std::to_string(static_cast<unsigned long long>(info.st_blocks) * 512);
}

class ListCommandTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path home = dir / "home";
    fs::path documents = home / "Documents";

    void SetUp() override {
        fs::create_directories(documents / "Shows");
        fs::copy_file(testMedia("wide.mp4"), documents / "Film.mp4");
        fs::copy_file(testMedia("classic.mkv"), documents / "Episode 10.mkv");
        fs::copy_file(testMedia("portrait.mp4"), documents / "Episode 2.mp4");
        fs::copy_file(testMedia("long.mp4"), documents / "Shows" / "Pilot.mp4");
        fs::copy_file(testMedia("truncated.mp4"), documents / "Broken.mp4");
        writeFile(documents / "Film.en.srt", "1\n00:00:01,000 --> 00:00:02,000\nHello\n");
        writeFile(documents / "notes.txt", "not listed");
    }

    std::vector<std::string> expected(const std::string& source) const {
        return {
            "video\tBroken\t-\t" + allocated(documents / "Broken.mp4") + "\tnone",
            "video\tEpisode 2\t0:03\t" + allocated(documents / "Episode 2.mp4") + "\t" + source,
            "video\tEpisode 10\t0:03\t" + allocated(documents / "Episode 10.mkv") + "\t" + source,
            "video\tFilm\t0:04\t" + allocated(documents / "Film.mp4") + "\t" + source,
            "  subtitle\tFilm.en",
            "folder\tShows\t-\t-\t-",
        };
    }
};

TEST_F(ListCommandTest, ListsTheLibraryInItsOrderWithMadeThumbnailsThenReadsThemFromDisk) {
    const LauncherRun first = runLauncher(dir.path(), {"--home", home.string(), "--list"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(linesOf(first.out), expected("generated"));
    EXPECT_NE(first.err.find("making thumbnails and durations 8/8"), std::string::npos) << first.err;
    // FFmpeg's own complaints about the broken file ("moov atom not found") stay off the terminal.
    EXPECT_EQ(first.err.find(" @ 0x"), std::string::npos) << first.err;

    // Three PNG thumbnails in Caches, named by the items' ids.
    int pngs = 0;
    for (const auto& entry : fs::directory_iterator(home / "Library" / "Caches"))
        if (readFile(entry.path()).starts_with("\x89PNG")) ++pngs;
    EXPECT_EQ(pngs, 3);

    const LauncherRun second = runLauncher(dir.path(), {"--home", home.string(), "--list"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(linesOf(second.out), expected("disk"));
}

TEST_F(ListCommandTest, NamesWithTabsLineBreaksAndBackslashesStayOneFieldOfOneLine) {
    fs::remove_all(documents);
    fs::create_directories(documents / "Tab\tFolder");
    // Without escaping, this name would forge a second video line.
    fs::copy_file(testMedia("wide.mp4"), documents / "A\nvideo\tForged.mp4");
    fs::copy_file(testMedia("wide.mp4"), documents / "Back\\slash\x01.mp4");
    const LauncherRun run = runLauncher(dir.path(), {"--home", home.string(), "--list"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(linesOf(run.out),
              (std::vector<std::string>{
                  "video\tA\\nvideo\\tForged\t0:04\t" + allocated(documents / "A\nvideo\tForged.mp4") + "\tgenerated",
                  "video\tBack\\\\slash\\x01\t0:04\t" + allocated(documents / "Back\\slash\x01.mp4") + "\tgenerated",
                  "folder\tTab\\tFolder\t-\t-\t-",
              }));
    const LauncherRun help = runLauncher(dir.path(), {"--help"});
    EXPECT_NE(help.out.find("\\t"), std::string::npos) << help.out;
}

TEST_F(ListCommandTest, ALengthBeyondAnyMediaAndAPictureTooLargeToDecodeAreNoneOnEveryRun) {
    fs::remove_all(documents);
    fs::create_directories(documents);
    // A header claiming 1e10 s; a second-long still of 6000 x 6000 16-bit RGBA (275 MiB decoded).
    fs::copy_file(testMedia("huge-duration.mkv"), documents / "Endless.mkv");
    // What a listing takes without the still, in a home of its own: the still is measured against
    // it, since a sanitizer's build takes far more for all of a listing.
    const fs::path plainHome = dir / "plain-home";
    fs::create_directories(plainHome / "Documents");
    fs::copy_file(testMedia("huge-duration.mkv"), plainHome / "Documents" / "Endless.mkv");
    ASSERT_EQ(runLauncher(dir.path(), {"--home", plainHome.string(), "--list"}).status, 0);
    rusage usage{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    const long plainPeak = usage.ru_maxrss;
    fs::copy_file(testMedia("huge-picture.mkv"), documents / "Poster.mkv");
    // The first run reads both from one opening of each file, the second reads the length alone
    // beside the thumbnail it saved.
    for (const char* source : {"generated", "disk"}) {
        SCOPED_TRACE(source);
        const LauncherRun run = runLauncher(dir.path(), {"--home", home.string(), "--list"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(linesOf(run.out), (std::vector<std::string>{
                                        "video\tEndless\t-\t" + allocated(documents / "Endless.mkv") + "\t" + source,
                                        "video\tPoster\t0:01\t" + allocated(documents / "Poster.mkv") + "\tnone",
                                    }));
    }
    // Decoding the still would take 275 MiB more than the plain listing.
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss - plainPeak, 100 * 1024) << "kB more at most in any run than " << plainPeak;
}

TEST_F(ListCommandTest, AnEmptyLibraryListsNothing) {
    fs::remove_all(documents);
    fs::create_directories(documents);
    const LauncherRun run = runLauncher(dir.path(), {"--home", home.string(), "--list"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(ListCommandTest, AHomeThatIsAFileIsRefusedWithAMessage) {
    writeFile(dir / "plain", "x");
    const LauncherRun run = runLauncher(dir.path(), {"--home", (dir / "plain").string(), "--list"});
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("reelhaven: "), std::string::npos) << run.err;
}

}  // namespace

TEST(ListCommandMemoryTest, PicturesWhoseHeaderGivesNoSizeOrAFalseOneOrThatKeepManyReferencesStayWithinTheirBound) {
    TempDir dir;
    // What a listing takes without them, measured first: a sanitizer's build takes far more for
    // all of a listing.
    const fs::path plainHome = dir / "plain-home";
    fs::create_directories(plainHome / "Documents");
    fs::copy_file(testMedia("wide.mp4"), plainHome / "Documents" / "Film.mp4");
    ASSERT_EQ(runLauncher(dir.path(), {"--home", plainHome.string(), "--list"}).status, 0);
    rusage usage{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    const long plainPeak = usage.ru_maxrss;

    // Listed side by side: a 12000 x 12000 picture (216 MB) in streams that give no size before
    // decoding (a transport stream, and a program stream whose streams appear only as they are
    // read) and under a header claiming 64 x 64; 1600 x 1200 under such a header; three streams
    // of 6000 x 6000 pictures (52 MB) kept as sixteen references. They took 2.5 GB.
    const fs::path documents = dir / "home" / "Documents";
    fs::create_directories(documents);
    fs::copy_file(testMedia("huge-no-size.ts"), documents / "Huge.ts");
    fs::copy_file(testMedia("huge-no-size.mpg"), documents / "Huge.mpg");
    fs::copy_file(testMedia("huge-false-size.mkv"), documents / "Liar.mkv");
    fs::copy_file(testMedia("false-size.mkv"), documents / "Small liar.mkv");
    for (const char* name : {"References 1.ts", "References 2.ts", "References 3.ts"})
        fs::copy_file(testMedia("many-references.ts"), documents / name);
    const LauncherRun run = runLauncher(dir.path(), {"--home", (dir / "home").string(), "--list"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> sources;
    for (const std::string& line : linesOf(run.out)) sources.push_back(line.substr(line.rfind('\t') + 1));
    EXPECT_EQ(sources,
              (std::vector<std::string>{"none", "none", "none", "generated", "generated", "generated", "generated"}))
        << run.out;
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
#ifdef __SANITIZE_ADDRESS__
    constexpr long kQuarantine = 256 * 1024;  // freed memory the sanitizer keeps, in kB
#else
    constexpr long kQuarantine = 0;
#endif
    EXPECT_LT(usage.ru_maxrss - plainPeak, 200 * 1024 + kQuarantine) << "kB more at most than " << plainPeak;
}
