// `reelhaven` running the app in its own process: a script's screens and exit status, and a
// player brought back by the next run after the app was stopped.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "app/scene_session_store.h"
#include "core/progress_client.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/url.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/user_activity.h"
#include "support/launcher_process.h"
#include "support/launcher_run.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::testMedia;
using testing_support::writeFile;

using testing_support::LauncherRun;

class HostLauncherTest : public ::testing::Test {
protected:
    LauncherRun launch(const std::vector<std::string>& arguments, const std::string& script) {
        writeFile(dir / "script.txt", script);
        std::vector<std::string> all = {"--home", home.string(), "--script", (dir / "script.txt").string()};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return testing_support::runLauncher(dir.path(), all);
    }

    testing_support::TempDir dir;
    fs::path home = dir / "home";
};

TEST_F(HostLauncherTest, AScriptPrintsTheScreenOnShowAndEndsWithItsLastLine) {
    fs::create_directories(home / "Documents");
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Film.mp4");
    auto run = launch({}, "// the library as it opens\nshow\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("NavigationBar \"Library\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"Film\""), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Window "), run.out.rfind("Window ")) << "printed once, on show:\n" << run.out;
}

// The context menu's delete waits a moment before it starts: the screen printed after the choice
// shows it done, and a quit right after it loses nothing of it.
TEST_F(HostLauncherTest, TheScreenAfterACommandShowsTheAppsOwnShortDelaysRun) {
    fs::create_directories(home / "Documents");
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Film.mp4");
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Other.mp4");
    auto run = launch({},
                      "menu \"Film\"\nchoose \"Delete\"\nchoose \"Delete\"\nshow\nmenu \"Other\"\n"
                      "choose \"Delete\"\nchoose \"Delete\"\nquit\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("\"Film\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"Other\""), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(home / "Documents" / "Film.mp4"));
    EXPECT_FALSE(fs::exists(home / "Documents" / "Other.mp4")) << "the quit came before the delete";
}

TEST_F(HostLauncherTest, AScriptStopsAtItsFirstFailedCommand) {
    auto run = launch({}, "tap \"Nothing Here\"\nshow\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("reelhaven: nothing shows Nothing Here on the screen"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Window "), std::string::npos) << "the show after it never ran:\n" << run.out;
}

TEST_F(HostLauncherTest, TheKeptSessionBringsThePlayerBackUnlessToldNot) {
    fs::create_directories(home / "Documents");
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Film.mp4");
    // What a run that stopped while "Film" played left behind.
    {
        dispatch::ScopedMainRunLoop loop;
        auto session = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept");
        auto activity = ui::UserActivity::create("com.qvrm.reelhaven.playVideo");
        auto bookmark = foundation::URL::fileURLWithPath((home / "Documents" / "Film.mp4").string()).bookmarkData();
        ASSERT_TRUE(bookmark);
        activity->setUserInfo(
            {{"url", bookmark.value()}, {"isSecurityScoped", false}, {"duration", 5.0}, {"controlsHidden", true}});
        session->setStateRestorationActivity(activity);
        ASSERT_TRUE(reelhaven::SceneSessionStore(home).save(*session));
    }
    auto restored = launch({}, "show tree\n");
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_NE(restored.out.find("presents ReelhavenViewController"), std::string::npos) << restored.out;

    auto forgotten = launch({"--no-restore"}, "show tree\n");
    EXPECT_EQ(forgotten.status, 0) << forgotten.err;
    EXPECT_EQ(forgotten.out.find("ReelhavenViewController"), std::string::npos) << forgotten.out;
}

TEST_F(HostLauncherTest, APlayerNeverTouchedIsBroughtBackRunAfterRun) {
    fs::create_directories(home / "Documents");
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Film.mp4");
    // Played from the grid, and the app stopped before the screen is touched again.
    auto played = launch({}, "tap \"Film\"\n");
    ASSERT_EQ(played.status, 0) << played.err;
    for (int run = 1; run <= 2; ++run) {
        // Each restored player, left alone, offers itself for the run after it.
        auto restored = launch({}, "show tree\n");
        EXPECT_EQ(restored.status, 0) << restored.err;
        EXPECT_NE(restored.out.find("presents ReelhavenViewController"), std::string::npos) << "run " << run << ":\n"
                                                                                            << restored.out;
    }
}

TEST_F(HostLauncherTest, StateFilesThatArePipesOrDevicesNeitherHangNorStopTheStart) {
    fs::create_directories(home / "Documents");
    fs::create_directories(home / "Library/Application Support");
    fs::create_directories(home / "Library/Preferences");
    fs::create_directories(home / "Library/Saved Application State");
    ASSERT_EQ(::mkfifo((home / "Library/Application Support/progressData").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((home / "Library/Preferences/com.qvrm.reelhaven.json").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", home / "Library/Saved Application State/scene.json");
    auto run = launch({}, "show\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("NavigationBar \"Library\""), std::string::npos) << run.out;
    // The stop saved over them.
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(home / "Library/Saved Application State/scene.json")));
}

TEST_F(HostLauncherTest, AClosedTerminalStopsTheAppAsSIGTERMDoes) {
    fs::create_directories(home / "Documents");
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Film.mp4");
    testing_support::LauncherProcess app(dir.path(), {"--home", home.string()});
    ASSERT_TRUE(app.waitFor("Window ")) << app.errors();
    app.send("tap \"Film\"");
    ASSERT_TRUE(app.waitFor("first frame\tFilm")) << app.output() << app.errors();
    app.signal(SIGHUP);
    EXPECT_EQ(app.finish(), 0) << app.errors();
    // The stop saved the progress and kept the scene with its player for the next run.
    EXPECT_TRUE(fs::is_regular_file(home / "Library/Application Support/progressData"));
    EXPECT_NE(readFile(home / "Library/Saved Application State/scene.json").find("com.qvrm.reelhaven.playVideo"),
              std::string::npos);
}

// A name that came in from outside (an upload over Wi-Fi) carries a terminal's escape sequences:
// the screen and the first-frame line print them escaped, and the printed name, typed back,
// names the file.
TEST_F(HostLauncherTest, ANamesEscapeSequencesReachTheTerminalEscaped) {
    fs::create_directories(home / "Documents");
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" /
                                             "\x1b]0;owned\x07\x1b[2J\x1b[3J\xc2\x9b"
                                             "2JFilm.mp4");
    const std::string printed = "\\x1b]0;owned\\x07\\x1b[2J\\x1b[3J\\xc2\\x9b2JFilm";
    testing_support::LauncherProcess app(dir.path(), {"--home", home.string()});
    ASSERT_TRUE(app.waitFor("\"" + printed + "\"")) << app.output() << app.errors();
    app.send("tap \"" + printed + "\"");
    ASSERT_TRUE(app.waitFor("first frame\t" + printed + "\t")) << app.output() << app.errors();
    app.signal(SIGTERM);
    EXPECT_EQ(app.finish(), 0) << app.errors();
    EXPECT_EQ(app.output().find_first_of("\x1b\x07\x9b"), std::string::npos) << app.output();
    EXPECT_EQ(app.errors().find_first_of("\x1b\x07\x9b"), std::string::npos) << app.errors();
}

// Piped into a reader that has seen enough (`| head`): the output closes under the app, which
// saves and stops as it does on SIGTERM instead of dying on the next screen it prints.
TEST_F(HostLauncherTest, AClosedOutputStopsTheAppAsSIGTERMDoes) {
    fs::create_directories(home / "Documents");
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Film.mp4");
    testing_support::LauncherProcess app(dir.path(), {"--home", home.string()});
    ASSERT_TRUE(app.waitFor("Window ")) << app.errors();
    app.send("tap \"Film\"");
    ASSERT_TRUE(app.waitFor("first frame\tFilm")) << app.output() << app.errors();
    app.closeOutput();
    app.send("show");
    EXPECT_EQ(app.waitForExit(), 0) << app.errors();
    EXPECT_TRUE(fs::is_regular_file(home / "Library/Application Support/progressData"));
    EXPECT_NE(readFile(home / "Library/Saved Application State/scene.json").find("com.qvrm.reelhaven.playVideo"),
              std::string::npos);
}

// The launcher hands every local item over to be opened where it lies, whether named by a path
// or by a "file:" URL; what is no file is refused with its reason, and nothing is moved, copied or
// removed. Refused at the start, the app still runs; refused in a script, the script stops there.
TEST_F(HostLauncherTest, LocalItemsOpenWhereTheyLieAndWhatIsNoFileIsRefused) {
    const auto notes = dir / "outside" / "notes.mp4";
    fs::create_directories(notes.parent_path());
    fs::copy_file(testMedia("wide.mp4"), notes);
    fs::create_directories(dir / "Films" / "Inner");
    fs::copy_file(testMedia("wide.mp4"), dir / "Films" / "Inner" / "a.mp4");
    ASSERT_EQ(::mkfifo((dir / "pipe.mp4").c_str(), 0644), 0);
    fs::create_directories(home / "Documents");
    const auto fileURL = [](const fs::path& path) { return "file://" + path.string(); };

    auto started = launch({"--open", (dir / "Films").string(), "--open", fileURL(dir / "pipe.mp4"), "--open",
                           "file:///proc/self/environ", "--import", "/dev/zero", "--open", fileURL(notes)},
                          "show tree\n");
    EXPECT_EQ(started.status, 0) << started.err;
    for (const std::string& line :
         {"reelhaven: cannot open " + (dir / "Films").string() + ": it is a folder, not a file\n",
          "reelhaven: cannot open " + fileURL(dir / "pipe.mp4") + ": it is a FIFO (a named pipe), not a file\n",
          std::string("reelhaven: cannot open file:///proc/self/environ: it is one of the system's files (/proc, "
                      "/sys), not a file to play\n"),
          std::string("reelhaven: cannot import /dev/zero: it is a device, not a file\n")}) {
        EXPECT_NE(started.err.find(line), std::string::npos) << line << started.err;
    }
    EXPECT_NE(started.out.find("presents ReelhavenViewController"), std::string::npos) << started.out;
    EXPECT_TRUE(fs::is_empty(home / "Documents")) << "nothing was moved or copied into the library";
    EXPECT_EQ(fs::file_size(notes), fs::file_size(testMedia("wide.mp4")));
    EXPECT_TRUE(fs::exists(dir / "Films" / "Inner" / "a.mp4"));
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.mp4"));

    auto scripted = launch({"--no-restore"}, "open \"" + fileURL(dir / "Films") + "\"\nshow\n");
    EXPECT_EQ(scripted.status, 1);
    EXPECT_NE(scripted.err.find("reelhaven: cannot open " + fileURL(dir / "Films") + ": it is a folder, not a file\n"),
              std::string::npos)
        << scripted.err;
    EXPECT_EQ(scripted.out.find("Window "), std::string::npos) << "the script stopped there:\n" << scripted.out;
    EXPECT_TRUE(fs::exists(dir / "Films" / "Inner" / "a.mp4"));
    EXPECT_TRUE(fs::is_empty(home / "Documents"));
}

// A script is a file or a pipe, read to its end before it runs: anything else is refused unread (a
// device such as /dev/zero never ends), and so is a line past the bound, as soon as it is met,
// however much follows it. Refused, the run fails with the reason.
TEST_F(HostLauncherTest, AScriptThatIsNoFileOrPipeOrHasAnEndlessLineIsRefusedWithItsReason) {
    const std::string endless = "show\n" + std::string(16 * 1024 * 1024, 'x');
    writeFile(dir / "endless.txt", endless);
    writeFile(dir / "long.txt", "show\n" + std::string(1024 * 1024 + 1, ' ') + "\nshow\n");
    writeFile(dir / "longest.txt", std::string(1024 * 1024 - 4, ' ') + "show\n");
    fs::create_directories(dir / "Folder.txt");
    const struct {
        std::string script;
        int status;
        std::string message;  // on standard error
    } cases[] = {
        {"/dev/zero", 1, "it is a device, not a file of commands"},
        {"/dev/null", 1, "it is a device, not a file of commands"},
        {(dir / "Folder.txt").string(), 1, "it is a folder, not a file of commands"},
        {(dir / "endless.txt").string(), 1, "line 2 is longer than 1048576 bytes"},
        {(dir / "long.txt").string(), 1, "line 2 is longer than 1048576 bytes"},
        {(dir / "longest.txt").string(), 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const auto run = testing_support::runLauncher(dir.path(), {"--home", home.string(), "--script", c.script});
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.status == 0) {
            EXPECT_NE(run.out.find("Window "), std::string::npos) << run.out;
            continue;
        }
        EXPECT_NE(run.err.find("reelhaven: cannot read the script " + c.script + ": " + c.message + "\n"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(run.out.find("Window "), std::string::npos) << "nothing of it ran:\n" << run.out;
    }

    // A pipe ends when its writer closes it.
    testing_support::LauncherProcess piped(dir.path(), {"--home", home.string(), "--script", "/dev/stdin"});
    piped.send("show");
    EXPECT_EQ(piped.finish(), 0) << piped.errors();
    EXPECT_NE(piped.output().find("Window "), std::string::npos) << piped.output();
}

// From the terminal, a line past the bound is dropped unread with a warning, and the next runs.
TEST_F(HostLauncherTest, ALineFromTheTerminalPastTheBoundIsDroppedAndTheNextOneRuns) {
    testing_support::LauncherProcess typed(dir.path(), {"--home", home.string(), "--no-restore"});
    ASSERT_TRUE(typed.waitFor("Window ")) << typed.errors();
    typed.send(std::string(3 * 1024 * 1024, 'x'));
    typed.send("quit");
    EXPECT_EQ(typed.finish(), 0) << typed.errors();
    EXPECT_NE(typed.errors().find("a line longer than 1048576 bytes was dropped"), std::string::npos) << typed.errors();
    EXPECT_EQ(typed.errors().find("unknown command"), std::string::npos) << typed.errors();
}

// What the user typed is echoed in messages as every printed text is: a terminal's escape
// sequence in an option, a home folder's name or a script's line reaches standard error escaped.
TEST_F(HostLauncherTest, EchoedInputReachesStandardErrorEscaped) {
    const std::string raw = "\x1b]0;owned\x07\x1b[2J";
    const std::string printed = "\\x1b]0;owned\\x07\\x1b[2J";
    const auto homeFile = dir / ("home" + raw);
    writeFile(homeFile, "a file, not a folder");
    struct Case {
        std::vector<std::string> arguments;  // after --home and --script, unless a --home is given here
        std::string script;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--bogus" + raw}, "", 2, "reelhaven: unknown option \"--bogus" + printed + "\" (see --help)\n"},
        {{"--transfer", "--port", raw}, "", 2, "reelhaven: --port needs a number from 0 to 65535, not \"" + printed},
        {{"--home", homeFile.string()},
         "",
         1,
         "reelhaven: cannot use the home folder " + (dir / "home").string() + printed},
        {{}, "bogus" + raw + "\n", 1, "reelhaven: unknown command \"bogus" + printed + "\"; the commands are:\n"},
        {{}, "tap \"" + printed + "\"\n", 1, "reelhaven: nothing shows " + printed + " on the screen:\n"},
        {{}, "tap " + raw + "\n", 1, "reelhaven: nothing shows " + printed + " on the screen:\n"},
        {{}, "key " + raw + "\n", 1, "reelhaven: unknown key \"" + printed + "\"; the keys are "},
    };
    for (const auto& c : cases) {
        auto run = launch(c.arguments, c.script);
        EXPECT_EQ(run.status, c.status) << c.message << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.message << "\n" << run.err;
        EXPECT_EQ(run.err.find_first_of("\x1b\x07"), std::string::npos) << run.err;
    }
}

// Stored files whose numbers lie outside every range (past 64 bits, past a double, negative where
// none belongs) neither crash nor stop the start: the app lists the library and plays the video
// whose record holds them, with the values it cannot use left out.
TEST_F(HostLauncherTest, StoredNumbersOutOfEveryRangeNeitherCrashNorStopTheStart) {
    fs::create_directories(home / "Documents");
    fs::copy_file(testMedia("long.mp4"), home / "Documents" / "Long.mp4");
    const auto key = reelhaven::ProgressClient::progressKey(
        foundation::URL::fileURLWithPath((home / "Documents" / "Long.mp4").string()));
    fs::create_directories(home / "Library/Application Support");
    fs::create_directories(home / "Library/Preferences");
    writeFile(home / "Library/Application Support/progressData",
              "{\"" + key +
                  "\": {\"progress\": {\"seconds\": 1e308}, \"duration\": {\"seconds\": 99999999999999999999999},"
                  " \"isFinished\": false, \"selectedAudio\": 99999999999999999999, \"selectedSubtitle\":"
                  " -99999999999999999999, \"volume\": 18446744073709551616, \"playbackSpeed\": -1e308,"
                  " \"videoAspectRatio\": 4e-320}, \"0\": {\"progress\": {\"seconds\": 1e400}}}");
    writeFile(home / "Library/Preferences/com.qvrm.reelhaven.json",
              "{\"PLAY_EXTERNAL_FILE_INDEX\": 99999999999999999999, \"SUBTITLE_POSITION\": -9223372036854775808,"
              " \"SUBTITLE_POSITION_AUTO\": false, \"SUBTITLE_SCALE\": 1e308, \"SUBTITLE_DELAY\": -1e308,"
              " \"SUBTITLE_BORDER_SIZE\": 1e400, \"SKIP_INTERVAL\": \"99999999999999999999\"}");
    auto run = launch({}, "show\ntap \"Long\"\nshow tree\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"Long\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("presents ReelhavenViewController"), std::string::npos) << run.out;
}

// A handle of more digits than any number holds names no element, as a handle past the last one
// does: every command that takes one refuses it with the same message, from a script (which stops
// there) and from the terminal (which goes on), and the app never aborts.
TEST_F(HostLauncherTest, AnOverlongHandleIsRefusedAsAnyUnknownOneFromAScriptAndFromTheTerminal) {
    fs::create_directories(home / "Documents");
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Film.mp4");
    const std::string overlong = "#99999999999999999999";
    const std::vector<std::string> forms = {"tap H",     "menu H",          "slide H 0.5",
                                            "step H up", "type H \"x\"",    "swipe H left",
                                            "click H",   "drag H \"Film\"", "drag \"Film\" H"};
    const auto commandOf = [](std::string form, const std::string& handle) {
        return form.replace(form.find('H'), 1, handle);
    };
    struct Case {
        std::string command, handle;
    };
    std::vector<Case> cases;
    for (const auto& form : forms) cases.push_back({commandOf(form, overlong), overlong});
    // 2^64, which wraps to 0 in 64 bits, and 2^32 + 1, which wraps to 1 in 32.
    for (const std::string handle : {"#18446744073709551616", "#4294967297"})
        cases.push_back({"tap " + handle, handle});
    for (const auto& c : cases) {
        auto run = launch({}, c.command + "\nshow\n");
        EXPECT_EQ(run.status, 1) << c.command << "\n" << run.err;
        EXPECT_NE(run.err.find("reelhaven: no element " + c.handle + " on the screen:\n"), std::string::npos)
            << c.command << "\n"
            << run.err;
        EXPECT_EQ(run.out.find("Window "), std::string::npos) << c.command << ": the script went on";
    }

    testing_support::LauncherProcess app(dir.path(), {"--home", home.string()});
    ASSERT_TRUE(app.waitFor("Window ")) << app.errors();
    for (const auto& form : forms) app.send(commandOf(form, overlong));
    app.send("show");
    EXPECT_EQ(app.finish(), 0) << app.errors();
    const std::string errors = app.errors();
    size_t refused = 0;
    for (size_t at = errors.find("no element " + overlong); at != std::string::npos;
         at = errors.find("no element " + overlong, at + 1))
        ++refused;
    EXPECT_EQ(refused, forms.size()) << errors;
}

// A stop asked for while the app is still starting waits until the app can stop as asked, rather
// than ending the process at once.
TEST_F(HostLauncherTest, SIGTERMWhileTheAppStartsStopsItAsAsked) {
    // The start looks for the GPU driver's library once the container is set up, before the app
    // runs: a pipe in its place holds the start there until the test opens the other end.
    const auto drivers = dir / "drivers";
    fs::create_directories(drivers);
    const auto driver = drivers / "libcuda.so.1";
    ASSERT_EQ(::mkfifo(driver.c_str(), 0644), 0);
    std::optional<testing_support::LauncherProcess> app;
    {
        const testing_support::ScopedEnvironment libraries("LD_LIBRARY_PATH", drivers.string());
        app.emplace(dir.path(), std::vector<std::string>{"--home", home.string()});
    }
    // Returns once the start has opened the pipe to read it, and holds it reading.
    auto writer = std::async(std::launch::async, [&] { return ::open(driver.c_str(), O_WRONLY | O_CLOEXEC); });
    if (writer.wait_for(std::chrono::seconds(120)) != std::future_status::ready) {
        const int unblock = ::open(driver.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ::close(writer.get());
        ::close(unblock);
        FAIL() << "the start never looked for the GPU driver: " << app->errors();
    }
    const int held = writer.get();
    ASSERT_GE(held, 0);
    app->signal(SIGTERM);
    // Let go: the start reads no library there and goes on.
    fs::remove(driver);
    ::close(held);
    EXPECT_EQ(app->waitForExit(), 0) << app->errors();
    EXPECT_TRUE(fs::is_regular_file(home / "Library/Saved Application State/scene.json")) << app->errors();
}

}  // namespace
