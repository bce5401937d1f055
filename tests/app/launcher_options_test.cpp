#include <gtest/gtest.h>

#include <map>

#include "app/launcher_options.h"

using namespace reelhaven;

namespace {
auto environmentOf(std::map<std::string, std::string> variables) {
    return [variables](const char* name) -> std::optional<std::string> {
        auto found = variables.find(name);
        if (found == variables.end()) return std::nullopt;
        return found->second;
    };
}

LauncherOptions parsed(std::vector<std::string> arguments,
                       std::map<std::string, std::string> env = {{"HOME", "/home/u"}}) {
    auto result = parseLauncherOptions(arguments, environmentOf(env));
    EXPECT_TRUE(std::holds_alternative<LauncherOptions>(result));
    return std::get<LauncherOptions>(result);
}

std::string failure(std::vector<std::string> arguments,
                    std::map<std::string, std::string> env = {{"HOME", "/home/u"}}) {
    auto result = parseLauncherOptions(arguments, environmentOf(env));
    EXPECT_TRUE(std::holds_alternative<LauncherError>(result));
    return std::holds_alternative<LauncherError>(result) ? std::get<LauncherError>(result).message : "";
}
}  // namespace

TEST(LauncherOptions, DefaultHomeFollowsXdgDataHomeThenHome) {
    EXPECT_EQ(parsed({"--list"}, {{"XDG_DATA_HOME", "/data"}, {"HOME", "/home/u"}}).home, "/data/reelhaven");
    EXPECT_EQ(parsed({"--list"}, {{"HOME", "/home/u"}}).home, "/home/u/.local/share/reelhaven");
    // A relative XDG_DATA_HOME is invalid and ignored.
    EXPECT_EQ(parsed({"--list"}, {{"XDG_DATA_HOME", "rel"}, {"HOME", "/home/u"}}).home,
              "/home/u/.local/share/reelhaven");
    EXPECT_NE(failure({"--list"}, {}).find("no home folder"), std::string::npos);
}

TEST(LauncherOptions, RunsTheAppUnlessAOneShotCommandIsAsked) {
    auto options = parsed({"--home", "/srv/lib/../lib", "--transfer", "--port", "0"});
    EXPECT_EQ(options.mode, LauncherOptions::Mode::host);
    EXPECT_TRUE(options.transfer);
    EXPECT_EQ(options.home, "/srv/lib");
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(parsed({}).mode, LauncherOptions::Mode::host);
    EXPECT_FALSE(parsed({}).transfer);
    EXPECT_EQ(parsed({"--help"}).mode, LauncherOptions::Mode::help);
    EXPECT_EQ(parsed({"--list"}).mode, LauncherOptions::Mode::list);
}

TEST(LauncherOptions, ReadsTheHostsOptions) {
    auto options = parsed({"--script", "steps.txt", "--device", "pad", "--size", "1024x768", "--open", "a.mp4",
                           "--open", "https://example.com/b.mp4", "--import", "c.mkv", "--no-restore"});
    EXPECT_EQ(options.script, "steps.txt");
    EXPECT_EQ(options.device, LauncherOptions::Device::pad);
    EXPECT_EQ(options.size, (std::pair<double, double>(1024, 768)));
    EXPECT_EQ(options.open, (std::vector<std::string>{"a.mp4", "https://example.com/b.mp4"}));
    EXPECT_EQ(options.imports, std::vector<std::string>{"c.mkv"});
    EXPECT_FALSE(options.restore);
    EXPECT_TRUE(parsed({}).restore);
    EXPECT_EQ(parsed({}).device, LauncherOptions::Device::phone);
}

TEST(LauncherOptions, ReadsTheLayoutDirection) {
    EXPECT_EQ(parsed({}).layoutDirection, LauncherOptions::LayoutDirection::leftToRight);
    EXPECT_EQ(parsed({"--layout-direction", "rtl"}).layoutDirection, LauncherOptions::LayoutDirection::rightToLeft);
    EXPECT_EQ(parsed({"--layout-direction", "ltr"}).layoutDirection, LauncherOptions::LayoutDirection::leftToRight);
    EXPECT_NE(failure({"--layout-direction", "up"}).find("ltr or rtl"), std::string::npos);
    EXPECT_NE(failure({"--list", "--layout-direction", "rtl"}).find("apply only when the app runs"), std::string::npos);
}

TEST(LauncherOptions, RejectsWhatItCannotUseWithAClearMessage) {
    EXPECT_NE(failure({"--port", "80"}).find("only to --transfer"), std::string::npos);
    EXPECT_NE(failure({"--transfer", "--port", "65536"}).find("65535"), std::string::npos);
    EXPECT_NE(failure({"--transfer", "--port", "8o"}).find("\"8o\""), std::string::npos);
    EXPECT_NE(failure({"--transfer", "--port"}).find("--port needs"), std::string::npos);
    EXPECT_NE(failure({"--home"}).find("--home needs"), std::string::npos);
    EXPECT_NE(failure({"--list", "--transfer"}).find("apply only when the app runs"), std::string::npos);
    EXPECT_NE(failure({"--play", "a.mp4", "--open", "b.mp4"}).find("apply only when the app runs"), std::string::npos);
    EXPECT_NE(failure({"--list", "--help"}).find("choose one"), std::string::npos);
    EXPECT_NE(failure({"--device", "watch"}).find("phone or pad"), std::string::npos);
    for (const char* size : {"390", "390x", "x844", "99x844", "390x10001", "390x844x2", "a x b"})
        EXPECT_NE(failure({"--size", size}).find("--size needs"), std::string::npos) << size;
    EXPECT_NE(failure({"--open"}).find("--open needs a file or a URL"), std::string::npos);
    EXPECT_NE(failure({"--script"}).find("--script needs"), std::string::npos);
    EXPECT_NE(failure({"--verbose"}).find("unknown option \"--verbose\""), std::string::npos);
}

TEST(LauncherOptions, ReadsPlayWithItsOwnOptionsOnly) {
    auto options = parsed({"--play", "clip.mkv", "--seconds", "2.5", "--audio-output", "null", "--frame-out", "f.png"});
    EXPECT_EQ(options.mode, LauncherOptions::Mode::play);
    EXPECT_EQ(options.playPath, "clip.mkv");
    EXPECT_EQ(options.seconds, 2.5);
    EXPECT_EQ(options.audioOutput, "null");
    EXPECT_EQ(options.frameOut, "f.png");
    EXPECT_EQ(parsed({"--play", "https://example.com/v.mp4"}).audioOutput, "") << "the default device";
    EXPECT_NE(failure({"--play"}).find("--play needs"), std::string::npos);
    EXPECT_NE(failure({"--play", "a.mp4", "--seconds", "-1"}).find("--seconds needs"), std::string::npos);
    EXPECT_NE(failure({"--play", "a.mp4", "--seconds", "soon"}).find("--seconds needs"), std::string::npos);
    EXPECT_NE(failure({"--list", "--seconds", "3"}).find("only to --play"), std::string::npos);
    EXPECT_NE(failure({"--list", "--frame-out", "f.png"}).find("only to --play"), std::string::npos);
}

TEST(LauncherOptions, TheAppTakesAnAudioOutputLikePlay) {
    auto options = parsed({"--audio-output", "null", "--open", "song.mp3"});
    EXPECT_EQ(options.mode, LauncherOptions::Mode::host);
    EXPECT_EQ(options.audioOutput, "null");
    EXPECT_EQ(failure({"--list", "--audio-output", "null"}),
              "--audio-output, --display and --screenshot apply only to --play and when the app runs");
    EXPECT_NE(failure({"--list", "--play", "a.mp4"}).find("choose one of"), std::string::npos);
}

// Each misplaced option is named with every other option that applies where it does.
TEST(LauncherOptions, SaysWhereAMisplacedOptionApplies) {
    EXPECT_EQ(failure({"--play", "a.mp4", "--no-restore"}),
              "--transfer, --script, --device, --size, --layout-direction, --open, --import and --no-restore apply "
              "only when the app runs, not with --list, --play or --help");
    EXPECT_EQ(failure({"--seconds", "3"}), "--seconds and --frame-out apply only to --play");
    EXPECT_EQ(failure({"--list", "--port", "80"}), "--port applies only to --transfer");
    EXPECT_EQ(failure({"--help", "--screenshot", "a.png"}),
              "--audio-output, --display and --screenshot apply only to --play and when the app runs");
    EXPECT_EQ(parsed({"-h"}).mode, LauncherOptions::Mode::help);
}
