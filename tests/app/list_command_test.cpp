// `reelhaven --home DIR --list` run as a user runs it, on a container of generated clips.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/crafted_mp4.h"
#include "support/hostile_media.h"
#include "support/launcher_run.h"
#include "support/process_tree_memory.h"
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

// Each name of a hard-linked clip is a video of its own to the user, with an identity of its own
// from the first listing on, since the thumbnail and the resume position hang on it: the next
// listing finds every thumbnail the first made, and makes none again. An ordinary file keeps the
// identity it carries.
TEST_F(ListCommandTest, EachNameOfAHardLinkedClipHasItsOwnIdentityFromTheFirstListingOn) {
    fs::remove_all(documents);
    fs::create_directories(documents);
    fs::copy_file(testMedia("wide.mp4"), documents / "Clip 1.mp4");
    fs::create_hard_link(documents / "Clip 1.mp4", documents / "Clip 2.mp4");
    fs::create_hard_link(documents / "Clip 1.mp4", documents / "Clip 3.mp4");
    fs::copy_file(testMedia("portrait.mp4"), documents / "Single.mp4");
    const std::string single = "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F1";
    ASSERT_EQ(::setxattr((documents / "Single.mp4").c_str(), "user.reelhaven.UUID", single.data(), single.size(), 0),
              0);
    // The thumbnails, named by their videos' identities.
    const auto caches = [this, &single] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(home / "Library" / "Caches"))
            if (entry.is_regular_file() && entry.path().filename().string().size() == single.size())
                names.insert(entry.path().filename().string());
        return names;
    };

    std::vector<std::set<std::string>> kept;
    for (const char* source : {"generated", "disk"}) {
        SCOPED_TRACE(source);
        const LauncherRun run = runLauncher(dir.path(), {"--home", home.string(), "--list"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string size = allocated(documents / "Clip 1.mp4");
        EXPECT_EQ(linesOf(run.out), (std::vector<std::string>{
                                        "video\tClip 1\t0:04\t" + size + "\t" + source,
                                        "video\tClip 2\t0:04\t" + size + "\t" + source,
                                        "video\tClip 3\t0:04\t" + size + "\t" + source,
                                        "video\tSingle\t0:03\t" + allocated(documents / "Single.mp4") + "\t" + source,
                                    }));
        kept.push_back(caches());
    }
    EXPECT_EQ(kept[0].size(), 4u);
    EXPECT_EQ(kept[0], kept[1]);
    EXPECT_EQ(kept[0].count(single), 1u);
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

// One run of the launcher with `arguments`, its output in files under `dir`, the peak resident
// memory of the largest of its processes (the app or a media helper, in kB), and the peaks of its
// process tree.
struct MeasuredRun {
    int status = -1;
    std::string out;
    long peakKilobytes = 0;
    testing_support::ProcessTreeMemory::Peaks tree;
};

MeasuredRun runMeasured(const fs::path& dir, const std::vector<std::string>& arguments) {
    const char* executable = std::getenv("REELHAVEN_EXECUTABLE");
    if (!executable) return {};
    std::vector<std::string> words{executable};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const fs::path out = dir / "measured-out.txt";
    const pid_t child = ::fork();
    if (child == 0) {
        const int input = ::open("/dev/null", O_RDONLY);
        const int output = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errors = ::open((dir / "measured-err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (input < 0 || output < 0 || errors < 0) ::_exit(127);
        ::dup2(input, 0);
        ::dup2(output, 1);
        ::dup2(errors, 2);
        ::execv(executable, argv.data());
        ::_exit(127);
    }
    MeasuredRun run;
    if (child < 0) return run;
    testing_support::ProcessTreeMemory tree(child);
    int status = 0;
    rusage usage{};
    const bool waited = ::wait4(child, &status, 0, &usage) == child;
    run.tree = tree.stop();
    if (!waited) return run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFile(out);
    run.peakKilobytes = usage.ru_maxrss;
    return run;
}

int ffmpeg(const std::string& arguments) {
    return std::system(("ffmpeg -hide_banner -loglevel error -nostdin -y " + arguments).c_str());
}

std::string quoted(const fs::path& path) { return testing_support::shellQuoted(path.string()); }

// A clip carrying a 200 MB attachment (of zeros, sparse where it is kept before being attached).
fs::path withLargeAttachment(const fs::path& dir) {
    const fs::path blob = dir / "blob.bin";
    writeFile(blob, "");
    fs::resize_file(blob, 200 << 20);
    const fs::path clip = dir / "attachment.mkv";
    EXPECT_EQ(ffmpeg("-i " + quoted(testMedia("classic.mkv")) + " -attach " + quoted(blob) +
                     " -metadata:s:t mimetype=application/octet-stream -c copy " + quoted(clip)),
              0);
    fs::remove(blob);
    return clip;
}

// A crafted MP4 file of a few hundred bytes, written as `name` into `dir`.
fs::path crafted(const fs::path& dir, const std::string& name, const std::string& bytes) {
    writeFile(dir / name, bytes);
    return dir / name;
}

// Fifty million samples under a top-level box no count looks into, which FFmpeg reads as the
// movie header all the same.
std::string uncountedMovie() {
    std::string bytes = crafted_mp4::movie({{.samples = 50'000'000}});
    if (const auto at = bytes.find("moov"); at != std::string::npos) bytes.replace(at, 4, "hoov");
    return bytes;
}

#if defined(__SANITIZE_THREAD__)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif

// How often the file at `path` was read since `watch` was made (inotify).
class ReadWatch {
public:
    explicit ReadWatch(const fs::path& path) : m_queue(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (m_queue >= 0) ::inotify_add_watch(m_queue, path.c_str(), IN_ACCESS);
    }
    ~ReadWatch() {
        if (m_queue >= 0) ::close(m_queue);
    }
    ReadWatch(const ReadWatch&) = delete;
    ReadWatch& operator=(const ReadWatch&) = delete;
    // The reads since the last call.
    int reads() {
        int count = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(m_queue, buffer, sizeof buffer)) > 0;)
            for (char* at = buffer; at < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->mask & IN_ACCESS) ++count;
                at += sizeof(inotify_event) + event->len;
            }
        return count;
    }
    bool valid() const { return m_queue >= 0; }

private:
    int m_queue;
};

// A clip whose video stream is given 500 times.
fs::path withManyStreams(const fs::path& dir) {
    std::string maps;
    for (int i = 0; i < 500; ++i) maps += " -map 0:v";
    const fs::path clip = dir / "streams.mkv";
    EXPECT_EQ(ffmpeg("-i " + quoted(testMedia("classic.mkv")) + maps + " -c copy " + quoted(clip)), 0);
    return clip;
}

TEST(ListCommandMemoryTest, HostileFilesStayWithinTheBoundAloneAndEightInOneFolder) {
    TempDir dir;
    const fs::path plainHome = dir / "plain-home";
    fs::create_directories(plainHome / "Documents");
    fs::copy_file(testMedia("wide.mp4"), plainHome / "Documents" / "Film.mp4");
    const MeasuredRun plain = runMeasured(dir.path(), {"--home", plainHome.string(), "--list"});
    ASSERT_EQ(plain.status, 0);
#ifdef __SANITIZE_ADDRESS__
    constexpr long kQuarantine = 256 * 1024;  // freed memory the sanitizer keeps, in kB
#else
    constexpr long kQuarantine = 0;
#endif
    struct Case {
        const char* name;
        std::function<fs::path()> file;
        const char* length;  // what each copy gets: its length and its thumbnail
        const char* source;
    };
    const Case cases[] = {
        // 11520 x 11520 progressive JPEG at 4:4:4: the decoder keeps 800 MB of coefficients
        // beside a reduced picture (833 MB; eight 6 GB).
        {"huge progressive JPEG in Matroska", [] { return testMedia("huge-progressive-jpeg.mkv"); }, "0:00", "none"},
        {"huge progressive JPEG in AVI", [] { return testMedia("huge-progressive-jpeg.avi"); }, "0:00", "none"},
        {"progressive JPEG that fits", [] { return testMedia("progressive-jpeg.mkv"); }, "0:00", "generated"},
        // Read whole on every opening (657 MB; eight 4 GB).
        {"200 MB attachment", [&] { return withLargeAttachment(dir.path()); }, "0:03", "generated"},
        // Every stream probed and its packets kept (788 MB).
        {"500 video streams", [&] { return withManyStreams(dir.path()); }, "0:03", "generated"},
        // libdav1d's own pictures, which the guard does not see.
        {"4096 x 4096 AV1", [] { return testMedia("large-av1.mkv"); }, "0:00", "none"},
        // Sample tables of a few hundred bytes declaring tens of millions of samples, each an
        // index entry of the demuxer's (1.2 to 1.6 GB; eight 10 GB): refused unopened.
        {"50 million samples",
         [&] { return crafted(dir.path(), "samples.mp4", crafted_mp4::movie({{.samples = 50'000'000}})); }, "-",
         "none"},
        {"a million samples shown 64 times",
         [&] {
             return crafted(dir.path(), "edits.mp4", crafted_mp4::movie({{.samples = 1'000'000, .mediaEdits = 64}}));
         },
         "-", "none"},
        {"a compressed header",
         [&] { return crafted(dir.path(), "compressed.mov", crafted_mp4::movie({{.samples = 50'000'000}}, true)); },
         "-", "none"},
        {"a fragment's run", [&] { return crafted(dir.path(), "fragment.mp4", crafted_mp4::fragmented(50'000'000)); },
         "-", "none"},
        // The same tables under a top-level box no count looks into, which FFmpeg reads as the
        // movie header all the same (1.2 GB): they cost a media helper its memory, not the app.
        {"fifty million samples under a box no count knows",
         [&] { return crafted(dir.path(), "uncounted.mp4", uncountedMovie()); }, "-", "none"},
        {"65,535 fragments of 1,000 tracks",
         [&] { return crafted(dir.path(), "index.mp4", crafted_mp4::segmentIndexed(1000, 65535)); }, "-", "none"},
        // Within what one file may take (100 MB), listed; eight at once would take 800 MB.
        {"4 million samples",
         [&] { return crafted(dir.path(), "allowed.mp4", crafted_mp4::movie({{.samples = 4'000'000}})); }, "0:01",
         "none"},
    };
    for (const Case& hostile : cases) {
        SCOPED_TRACE(hostile.name);
        const fs::path file = hostile.file();
        for (const int copies : {1, 8}) {
            SCOPED_TRACE(copies);
            const fs::path home = dir / "home";
            fs::remove_all(home);
            fs::create_directories(home / "Documents");
            // Links, not copies: the folder of eight costs no disk.
            for (int i = 1; i <= copies; ++i)
                fs::create_hard_link(file,
                                     home / "Documents" / ("Clip " + std::to_string(i) + file.extension().string()));
            const MeasuredRun run = runMeasured(dir.path(), {"--home", home.string(), "--list"});
            ASSERT_EQ(run.status, 0);
            const std::vector<std::string> lines = linesOf(run.out);
            ASSERT_EQ(lines.size(), static_cast<std::size_t>(copies)) << run.out;
            for (const std::string& line : lines) {
                std::vector<std::string> fields;
                std::istringstream stream(line);
                for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
                ASSERT_EQ(fields.size(), 5u) << line;
                EXPECT_EQ(fields[2], hostile.length) << line;
                EXPECT_EQ(fields[4], hostile.source) << line;
            }
            const long bound = (copies == 1 ? 200 : 600) * 1024 + kQuarantine;
            EXPECT_LT(run.peakKilobytes - plain.peakKilobytes, bound) << "kB more at most than " << plain.peakKilobytes;
            // The app and its helpers together, shared libraries counted once: 400 MiB for one
            // hostile file, 1 GiB for eight. A sanitizer's helpers are given more room.
            if (kQuarantine == 0 && !kThreadSanitizer) {
                EXPECT_LT(run.tree.treeKilobytes, (copies == 1 ? 400 : 1024) * 1024) << "kB summed";
            }
        }
    }
}

// Every crafted shape at the size that took the app past its bound when it read files itself
// (0.4 to 2 GB each): alone, and all of them in one folder, the app and its helpers together stay
// within it, and each file is still listed by its name.
TEST(ListCommandMemoryTest, EveryCraftedShapeAtFullSizeStaysWithinTheBoundAloneAndAllInOneFolder) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "a sanitizer's helpers are given more room than the bound";
#endif
    if (kThreadSanitizer) GTEST_SKIP() << "a sanitizer's helpers are given more room than the bound";
    TempDir dir;
    const fs::path made = dir / "made";
    fs::create_directories(made);
    const fs::path all = dir / "all" / "Documents";
    fs::create_directories(all);
    for (const auto& shape : hostile_media::shapes()) {
        SCOPED_TRACE(shape.name);
        const fs::path file = hostile_media::write(shape, made, hostile_media::Scale::full);
        fs::create_hard_link(file, all / file.filename());
        const fs::path home = dir / shape.name;
        fs::create_directories(home / "Documents");
        fs::create_hard_link(file, home / "Documents" / file.filename());
        const MeasuredRun run = runMeasured(dir.path(), {"--home", home.string(), "--list"});
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(linesOf(run.out).size(), 1u) << run.out;
        EXPECT_LT(run.tree.treeKilobytes, 400 * 1024) << "kB summed";
        EXPECT_LT(run.tree.largestKilobytes, 400 * 1024) << "kB in one process";
    }
    const MeasuredRun run = runMeasured(dir.path(), {"--home", (dir / "all").string(), "--list"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(linesOf(run.out).size(), hostile_media::shapes().size()) << run.out;
    EXPECT_LT(run.tree.treeKilobytes, 1024 * 1024) << "kB summed";
}

TEST(ListCommandMemoryTest, AFileThatTookAHelperToItsLimitIsNotReadAgainOnTheNextListing) {
    TempDir dir;
    const fs::path home = dir / "home";
    fs::create_directories(home / "Documents");
    const fs::path hostile = crafted(home / "Documents", "Hostile.mp4", uncountedMovie());
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Film.mp4");
    ReadWatch watch(hostile);
    ASSERT_TRUE(watch.valid());
    auto expected = [&](const char* source) {
        return std::vector<std::string>{
            "video\tFilm\t0:04\t" + allocated(home / "Documents" / "Film.mp4") + "\t" + source,
            "video\tHostile\t-\t" + allocated(hostile) + "\tnone",
        };
    };
    const MeasuredRun first = runMeasured(dir.path(), {"--home", home.string(), "--list"});
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(linesOf(first.out), expected("generated"));
    EXPECT_GT(watch.reads(), 0) << "the first listing reads it";
    // Its identity: device, inode, size and time of change.
    EXPECT_EQ(linesOf(readFile(home / "Library" / "Caches" / "refused-media")).size(), 1u);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const MeasuredRun again = runMeasured(dir.path(), {"--home", home.string(), "--list"});
        ASSERT_EQ(again.status, 0);
        EXPECT_EQ(linesOf(again.out), expected("disk"));
        EXPECT_EQ(watch.reads(), 0) << "a later listing does not read it again";
    }
    // Changed, it is another file: read again.
    writeFile(hostile, uncountedMovie() + std::string(16, '\0'));
    watch.reads();
    ASSERT_EQ(runMeasured(dir.path(), {"--home", home.string(), "--list"}).status, 0);
    EXPECT_GT(watch.reads(), 0);
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
