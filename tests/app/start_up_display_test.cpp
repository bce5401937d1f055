// The app's start in a real window, run by its host in this process on the real clock: a file
// opened at launch and a player brought back from a kept session reach the window, and the host's
// "first frame" line is printed only once the window has swapped the picture on. Without a display
// (the display stage runs these under Xvfb and Weston) the cases skip.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>

#include "app/app_host.h"
#include "app/scene_delegate.h"
#include "app/scene_session_store.h"
#include "output/mpv_glk_view.h"
#include "platform/display/display_host.h"
#include "platform/foundation/container.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/user_activity.h"
#include "platform/ui/scenes/window_scene.h"
#include "playback/model/playback_info.h"
#include "playback/reelhaven_view_controller.h"
#include "support/display_stage.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using testing_support::testMedia;

// Standard output as the host writes it, handed over line by line the moment each line ends.
class LineSink : public std::streambuf {
public:
    std::function<void(const std::string&)> onLine;

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        if (c != '\n') {
            m_line.push_back(static_cast<char>(c));
            return c;
        }
        const auto line = std::exchange(m_line, {});
        if (onLine) onLine(line);
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        for (std::streamsize i = 0; i < count; ++i) overflow(static_cast<unsigned char>(text[i]));
        return count;
    }

private:
    std::string m_line;
};

class DisplayHostStartUp : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(home / "Documents");
        sink.onLine = [this](const std::string& line) {
            if (line.rfind("first frame\t", 0) != 0 || firstFrameLine) return;
            // What the window had shown when the line was printed.
            firstFrameLine = line;
            videoFramesAtLine = host->display()->statistics().videoFrames;
            auto delegate = std::dynamic_pointer_cast<SceneDelegate>(host->scene()->delegate());
            auto player = delegate ? delegate->presentedPlayer() : nullptr;
            auto view = player ? player->glkView() : nullptr;
            playerFramesAtLine = view ? view->framesShownInWindow() : 0;
        };
    }
    void TearDown() override {
        if (host) host->shutDown();
        host.reset();
        ui::Application::shared().reset();
    }

    bool launch(LauncherOptions options) {
        options.home = home;
        options.display = true;
        options.audioOutput = "null";
        host = std::make_unique<AppHost>(options, out, err);
        return host->start();
    }
    // Serves the window as the host does after its start, until the "first frame" line.
    bool serveUntilFirstFrame() {
        return testing_support::serveWindowUntil(
            *mainLoop.loop(), *host->display(), [this] { return firstFrameLine.has_value(); },
            std::chrono::seconds(30));
    }
    // A session kept with the player showing `video`, its controls up, as a user leaves it.
    void keepPlayerShowing(const fs::path& video) {
        auto session = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept");
        auto activity = ui::UserActivity::create(PlaybackInfo::kActivityType);
        auto bookmark = foundation::URL::fileURLWithPath(video.string()).bookmarkData();
        ASSERT_TRUE(bookmark);
        activity->setUserInfo(
            {{"url", bookmark.value()}, {"isSecurityScoped", false}, {"duration", 10.0}, {"controlsHidden", false}});
        session->setStateRestorationActivity(activity);
        ASSERT_TRUE(SceneSessionStore(home).save(*session));
    }

    testing_support::RealMainLoop mainLoop;
    testing_support::TempDir dir;
    fs::path home = dir / "home";
    foundation::ScopedContainer container{home};
    LineSink sink;
    std::ostream out{&sink};
    std::ostringstream err;
    std::optional<std::string> firstFrameLine;
    std::uint64_t videoFramesAtLine = 0;
    std::uint64_t playerFramesAtLine = 0;
    std::unique_ptr<AppHost> host;
};

TEST_F(DisplayHostStartUp, TheFirstFrameLineComesOnceTheWindowHasSwappedThePlayersPicture) {
    fs::copy_file(testMedia("wide.mp4"), dir / "Trip.mp4");
    LauncherOptions options;
    options.open = {(dir / "Trip.mp4").string()};
    options.restore = false;
    ASSERT_TRUE(launch(options)) << err.str();
    ASSERT_TRUE(serveUntilFirstFrame()) << err.str();
    EXPECT_EQ(firstFrameLine->rfind("first frame\tTrip\t", 0), 0u) << *firstFrameLine;
    EXPECT_GE(videoFramesAtLine, 1u) << "no video frame had reached the window";
    EXPECT_GE(playerFramesAtLine, 1u) << "the player's view had not been shown";
}

TEST_F(DisplayHostStartUp, ARestoredPlayerWithItsControlsUpLetsTheStartComeToRestAndShowsItsPicture) {
    fs::copy_file(testMedia("wide.mp4"), home / "Documents" / "Film.mp4");
    keepPlayerShowing(home / "Documents" / "Film.mp4");
    ASSERT_TRUE(launch({})) << err.str();
    // The wait for the first frame keeps nothing busy: the start's settle ends at rest.
    EXPECT_EQ(err.str().find("did not come to rest"), std::string::npos) << err.str();
    ASSERT_TRUE(serveUntilFirstFrame()) << err.str();
    EXPECT_EQ(firstFrameLine->rfind("first frame\tFilm\t", 0), 0u) << *firstFrameLine;
    EXPECT_GE(videoFramesAtLine, 1u);
    EXPECT_GE(playerFramesAtLine, 1u);
}

}  // namespace
}  // namespace reelhaven
