// The whole app through its launcher, as a person and a browser use it: a clip uploaded with
// curl shows in the grid, plays, is sought and closed; its position is in the container's
// progress file and the next run resumes a second before it; SIGTERM while playing keeps the
// position too. Every wait is on a line the launcher prints, never on a guessed time.

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "core/progress_client.h"
#include "core/video_progress.h"
#include "platform/foundation/url.h"
#include "support/launcher_process.h"
#include "support/launcher_run.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LauncherProcess;

// A run of the host at its terminal. Each command is followed by "wait 0", so the screen the
// command left is the whole stretch between the two screens printed after them.
class HostTerminal {
public:
    HostTerminal(const fs::path& dir, const fs::path& home, std::vector<std::string> extra) {
        std::vector<std::string> arguments{"--home", home.string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        process = std::make_unique<LauncherProcess>(dir, arguments);
    }

    // The start, up to the first screen the terminal shows (the server's address comes after it).
    bool started() { return process->waitFor("Window ").has_value(); }

    std::string screenAfter(const std::string& command) {
        process->send(command);
        process->send("wait 0");
        if (!process->waitFor("\nWindow ")) return "(no screen after " + command + ")";
        auto screen = process->waitFor("\nWindow ");
        return screen ? "Window " + *screen : "(no screen after " + command + ")";
    }

    // Shows the screen again, letting the app run a moment in between, until `ready` holds
    // (the app's background work and the player's clock run on their own).
    std::optional<std::string> screenWhen(const std::function<bool(const std::string&)>& ready, int looks = 600) {
        for (int look = 0; look < looks; ++look) {
            auto screen = screenAfter(look == 0 ? "show" : "wait 0.1");
            if (ready(screen)) return screen;
            if (screen.starts_with("(no screen")) return std::nullopt;
        }
        return std::nullopt;
    }

    // The position the player's first frame showed, from the line the host prints for it.
    std::optional<double> firstFrame(const std::string& title, size_t since) {
        const std::string head = "first frame\t" + title + "\t";
        auto at = process->waitSince(since, head);
        if (!at || !process->waitSince(*at, "\n")) return std::nullopt;
        return std::stod(process->output().substr(*at + head.size()));
    }

    size_t mark() const { return process->output().size(); }
    std::unique_ptr<LauncherProcess> process;
};

// The player's elapsed time as its label shows it ("0:31"), in seconds; none while the player's
// controls are hidden.
std::optional<int> shownElapsed(const std::string& screen) {
    const auto player = screen.find("<ReelhavenViewController>");
    if (player == std::string::npos) return std::nullopt;
    static const std::regex time(R"re(\n *Label [^"\n]*"(\d+):(\d\d)")re");
    std::smatch match;
    const std::string shown = screen.substr(player);
    if (!std::regex_search(shown, match, time)) return std::nullopt;
    return std::stoi(match[1]) * 60 + std::stoi(match[2]);
}

// The handle ("#7") of the first element whose printed line matches `pattern`.
std::string handleOf(const std::string& screen, const std::string& pattern) {
    std::smatch match;
    if (!std::regex_search(screen, match, std::regex("(#\\d+)[^\n]*" + pattern))) return "#0";
    return match[1];
}

// Lets the player play until its label shows at least `seconds`, tapping the picture when its
// controls (and so the label) have hidden themselves.
std::optional<std::string> playedTo(HostTerminal& host, int seconds) {
    std::string step = "show";
    for (int look = 0; look < 600; ++look) {
        const auto screen = host.screenAfter(step);
        const auto elapsed = shownElapsed(screen);
        if (elapsed && *elapsed >= seconds) return screen;
        if (screen.starts_with("(no screen")) return std::nullopt;
        step = elapsed ? "wait 0.1" : "tap " + handleOf(screen, "<ReelhavenViewController>");
    }
    return std::nullopt;
}

// The handle of the element printed last before `text` (a cell before the labels it holds).
std::string handleBefore(const std::string& screen, const std::string& text) {
    const auto at = screen.find(text);
    const auto hash = at == std::string::npos ? std::string::npos : screen.rfind('#', at);
    if (hash == std::string::npos) return "#0";
    return screen.substr(hash, screen.find(' ', hash) - hash);
}

// The subtitle row checked in the player's audio and subtitle popover, opened as a person does:
// a touch on the picture brings the controls, then the captions button. Paused first, so the
// controls stay up: playing, they hide after a few seconds, which a slow machine can reach
// between the touch that showed them and the one on the captions button.
std::string checkedSubtitle(HostTerminal& host) {
    host.screenAfter("key space");
    std::string screen = host.screenAfter("show");
    for (int look = 0; look < 50 && screen.find("sym:captions.bubble") == std::string::npos; ++look)
        screen = host.screenAfter("tap " + handleOf(screen, "<ReelhavenViewController>"));
    screen = host.screenAfter("tap " + handleOf(screen, "sym:captions.bubble"));
    static const std::regex checked(R"re(\[1,\d\] checkmark\n(?: *View [^\n]*\n)* *Label [^"\n]*"([^"\n]*)")re");
    std::smatch match;
    return std::regex_search(screen, match, checked) ? match[1].str() : "(nothing checked)\n" + screen;
}

class HostEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(home / "Documents"); }

    // The saved position of the video named `name` (without extension), if the file holds one.
    std::optional<double> savedPosition(const std::string& file) {
        std::ifstream in(home / "Library/Application Support" / reelhaven::ProgressClient::kFileName);
        if (!in) return std::nullopt;
        const auto json = nlohmann::json::parse(in, nullptr, false);
        const auto key = reelhaven::ProgressClient::progressKey(foundation::URL::fileURLWithPath("/" + file));
        if (!json.is_object() || !json.contains(key)) return std::nullopt;
        return json[key].get<reelhaven::VideoProgress>().progress.seconds;
    }

    testing_support::TempDir dir;
    fs::path home = dir / "home";
};

TEST_F(HostEndToEndTest, AnUploadedClipPlaysIsSoughtAndResumesASecondBeforeWhereItStopped) {
    double stoppedAt = 0;
    {
        HostTerminal host(dir.path(), home, {"--transfer", "--port", "0"});
        ASSERT_TRUE(host.started());
        // The address comes last, under the first screen: the import menu the launcher went
        // through on the user's behalf is not shown.
        auto underScreen = host.process->waitFor(" in a browser on this network (port ");
        ASSERT_TRUE(underScreen) << host.process->output() << host.process->errors();
        EXPECT_EQ(underScreen->find("Wi-Fi Server"), std::string::npos) << *underScreen;
        EXPECT_NE(underScreen->find("NavigationBar \"Library\""), std::string::npos) << *underScreen;
        EXPECT_EQ(host.process->output().find("Window "), host.process->output().rfind("Window "));
        auto portText = host.process->waitFor(")");
        ASSERT_TRUE(portText);
        const int port = std::stoi(*portText);

        // A browser's upload, as the page sends it.
        const std::string curl = "curl -sS -f -o /dev/null -F 'files[]=@" +
                                 testing_support::testMedia("long.mp4").string() +
                                 ";filename=Trip.mp4' -F 'path=/' http://127.0.0.1:" + std::to_string(port) + "/upload";
        ASSERT_EQ(std::system(curl.c_str()), 0) << curl;
        // Its cell, once the listing, the thumbnail and the duration have come.
        auto grid = host.screenWhen([](const std::string& screen) {
            static const std::regex cell(R"re(ImageView [^\n]* image \d+x\d+\n(.*\n)*.*"1:05"\n(.*\n)*.*"Trip")re");
            return std::regex_search(screen, cell);
        });
        ASSERT_TRUE(grid) << host.process->output();

        const auto beforeTap = host.mark();
        host.screenAfter("tap \"Trip\"");
        auto first = host.firstFrame("Trip", beforeTap);
        ASSERT_TRUE(first) << host.process->output() << host.process->errors();
        EXPECT_LT(*first, 1.0) << "a clip never played starts at its beginning";

        // Two skips forward (15 s each unless set otherwise), then the label follows.
        host.screenAfter("key right right");
        auto sought = playedTo(host, 30);
        ASSERT_TRUE(sought) << host.process->output();
        stoppedAt = *shownElapsed(*sought);
        EXPECT_LT(stoppedAt, 45) << *sought;
        const auto closed = host.screenAfter("tap " + handleOf(*sought, "sym:xmark"));
        EXPECT_EQ(closed.find("<ReelhavenViewController>"), std::string::npos) << closed;
        host.process->send("quit");
        EXPECT_EQ(host.process->finish(), 0) << host.process->errors();
    }
    auto saved = savedPosition("Trip.mp4");
    ASSERT_TRUE(saved) << "no position for Trip in the progress file";
    // The label rounds to the nearest second; the player went on a little before it closed.
    EXPECT_GE(*saved, stoppedAt - 0.5);
    EXPECT_LT(*saved, stoppedAt + 5);

    HostTerminal again(dir.path(), home, {});
    ASSERT_TRUE(again.started()) << again.process->errors();
    const auto beforeTap = again.mark();
    again.screenAfter("tap \"Trip\"");
    auto resumed = again.firstFrame("Trip", beforeTap);
    ASSERT_TRUE(resumed) << again.process->output() << again.process->errors();
    EXPECT_NEAR(*resumed, *saved - 1, 0.5);

    // Stopped by the system while it plays: the position is kept all the same.
    again.screenAfter("key right");
    auto later = playedTo(again, static_cast<int>(stoppedAt) + 14);
    ASSERT_TRUE(later) << again.process->output();
    again.process->signal(SIGTERM);
    EXPECT_EQ(again.process->finish(), 0) << again.process->errors();
    auto kept = savedPosition("Trip.mp4");
    ASSERT_TRUE(kept);
    EXPECT_GE(*kept, *shownElapsed(*later) - 0.5);
}

TEST_F(HostEndToEndTest, ASubtitleLanguageChosenInTheSettingsIsTheOneThePlayerShows) {
    fs::copy_file(testing_support::testMedia("subtitles.mkv"), home / "Documents" / "Lesson.mkv");
    {
        HostTerminal host(dir.path(), home, {});
        ASSERT_TRUE(host.started()) << host.process->errors();
        const auto beforeTap = host.mark();
        host.screenAfter("tap \"Lesson\"");
        ASSERT_TRUE(host.firstFrame("Lesson", beforeTap)) << host.process->output() << host.process->errors();
        EXPECT_EQ(checkedSubtitle(host), "None") << "no track is marked default, no language is asked for";
        host.process->send("quit");
        EXPECT_EQ(host.process->finish(), 0) << host.process->errors();
    }
    HostTerminal host(dir.path(), home, {"--no-restore"});
    ASSERT_TRUE(host.started()) << host.process->errors();
    auto screen = host.screenAfter("show");
    screen = host.screenAfter("tap " + handleOf(screen, "sym:gear"));
    screen = host.screenAfter("tap \"Languages\"");
    screen = host.screenAfter("tap " + handleBefore(screen, "\"Subtitle Language\""));
    screen = host.screenAfter("tap \"Japanese\"");
    EXPECT_NE(screen.find("\"jpn\""), std::string::npos) << screen;
    host.screenAfter("back");
    screen = host.screenAfter("back");
    ASSERT_NE(screen.find("NavigationBar \"Library\""), std::string::npos) << screen;

    const auto beforeTap = host.mark();
    host.screenAfter("tap \"Lesson\"");
    ASSERT_TRUE(host.firstFrame("Lesson", beforeTap)) << host.process->output() << host.process->errors();
    EXPECT_NE(checkedSubtitle(host).find("[Jpn]"), std::string::npos);
    host.process->send("quit");
    EXPECT_EQ(host.process->finish(), 0) << host.process->errors();
}

// The elapsed time the player's label shows, in seconds, whether it plays or not.
std::optional<int> labelTime(const std::string& screen) {
    static const std::regex time(R"re(\n *Label 33,761 [^"\n]*"(\d+):(\d\d)")re");
    std::smatch match;
    if (!std::regex_search(screen, match, time)) return std::nullopt;
    return std::stoi(match[1]) * 60 + std::stoi(match[2]);
}

TEST_F(HostEndToEndTest, TheScreenAfterASkipShowsTheTimeItLandedOn) {
    fs::copy_file(testing_support::testMedia("long.mp4"), home / "Documents" / "Long.mp4");
    HostTerminal host(dir.path(), home, {"--no-restore"});
    ASSERT_TRUE(host.started()) << host.process->errors();
    const auto beforeTap = host.mark();
    host.screenAfter("tap \"Long\"");
    ASSERT_TRUE(host.firstFrame("Long", beforeTap)) << host.process->output() << host.process->errors();
    host.screenAfter("key space");  // paused, the controls stay up
    std::string screen = host.screenAfter("show");
    for (int look = 0; look < 50 && screen.find("sym:goforward.15") == std::string::npos; ++look)
        screen = host.screenAfter("tap " + handleOf(screen, "<ReelhavenViewController>"));
    const auto before = labelTime(screen);
    ASSERT_TRUE(before) << screen;
    // Each screen follows its skip at once, with no tick of the player's clock in between: the
    // host waited for mpv to land the seek and showed where.
    const auto once = labelTime(host.screenAfter("tap " + handleOf(screen, "sym:goforward.15")));
    const auto twice = labelTime(host.screenAfter("tap " + handleOf(screen, "sym:goforward.15")));
    ASSERT_TRUE(once && twice);
    // Whole seconds as the label rounds them: each skip moves it 15 s, give or take the rounding.
    EXPECT_NEAR(*once - *before, 15, 1) << screen;
    EXPECT_NEAR(*twice - *before, 30, 1) << screen;
    host.process->send("quit");
    EXPECT_EQ(host.process->finish(), 0) << host.process->errors();
}

}  // namespace
