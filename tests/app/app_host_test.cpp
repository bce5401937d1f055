// The application run by its host in this process, on a real container with real clips, the
// real library screens, player and server, and the manual clock: start-up and services,
// connecting, activity changes, opened URLs and restoration.

#include "app/app_host.h"

#include <gtest/gtest.h>

#include <any>
#include <cmath>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/app_delegate.h"
#include "app/scene_delegate.h"
#include "core/ffmpeg_utility.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "in_process_host.h"
#include "library/library_file_collection_view_controller.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/container.h"
#include "platform/foundation/security_scope.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/user_activity.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"
#include "playback/model/playback_info.h"
#include "playback/reelhaven_view_controller.h"
#include "support/temp_dir.h"
#include "support/test_media.h"
#include "toolkit/empty_data_set.h"
#include "toolkit/empty_data_set_view.h"
#include "transfer/web_uploader.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::testMedia;
using testing_support::writeFile;

class AppHostTest : public ::testing::Test, protected InProcessHost<dispatch::ScopedMainRunLoop> {
protected:
    void TearDown() override { shutDown(); }

    std::vector<std::string> libraryNames() const {
        std::vector<std::string> names;
        for (const auto& item : root()->videoManager()->library()) names.push_back(item->displayName());
        return names;
    }
};

TEST_F(AppHostTest, ConnectingShowsTheLibraryListedBeforeTheScreenAppears) {
    fs::copy_file(testMedia("wide.mp4"), documents / "Film.mp4");
    fs::create_directories(documents / "Shows");
    ASSERT_TRUE(launch()) << err.str();
    EXPECT_EQ(libraryNames(), (std::vector<std::string>{"Film", "Shows"}));
    EXPECT_TRUE(host->window()->isKeyWindow());
    EXPECT_EQ(root()->navigationItem()->title(), "Library");
    EXPECT_TRUE(sceneDelegate()->previouslyActive());
    auto app = AppDelegate::shared();
    ASSERT_TRUE(app);
    EXPECT_EQ(root()->videoManager()->progressClient(), app->progressClient());
    EXPECT_EQ(root()->webServer(), app->webServer());
    EXPECT_EQ(root()->mediaCenterService(), app->mediaCenterService());
}

TEST_F(AppHostTest, TheWindowsSizeClassesAndDirectionFollowTheDeviceAndScreen) {
    using SizeClass = ui::UserInterfaceSizeClass;
    using Device = LauncherOptions::Device;
    using Direction = LauncherOptions::LayoutDirection;
    struct Case {
        Device device;
        std::optional<std::pair<double, double>> size;
        Direction direction;
        SizeClass horizontal, vertical;
    };
    // Each device is tried in both directions, so the direction cannot be told from the device.
    for (const auto& c :
         {Case{Device::phone, std::nullopt, Direction::leftToRight, SizeClass::compact, SizeClass::regular},
          Case{Device::pad, std::nullopt, Direction::rightToLeft, SizeClass::regular, SizeClass::regular},
          Case{Device::phone, std::pair(844.0, 390.0), Direction::rightToLeft, SizeClass::regular, SizeClass::compact},
          Case{Device::pad, std::pair(500.0, 1000.0), Direction::leftToRight, SizeClass::compact,
               SizeClass::regular}}) {
        LauncherOptions options;
        options.device = c.device;
        options.size = c.size;
        options.layoutDirection = c.direction;
        ASSERT_TRUE(launch(options)) << err.str();
        const auto traits = root()->traitCollection();
        EXPECT_EQ(traits.horizontalSizeClass, c.horizontal);
        EXPECT_EQ(traits.verticalSizeClass, c.vertical);
        EXPECT_EQ(traits.userInterfaceIdiom,
                  c.device == Device::pad ? ui::UserInterfaceIdiom::pad : ui::UserInterfaceIdiom::phone);
        EXPECT_EQ(traits.effectiveLayoutDirection(), c.direction == Direction::rightToLeft
                                                         ? ui::UserInterfaceLayoutDirection::rightToLeft
                                                         : ui::UserInterfaceLayoutDirection::leftToRight);
        shutDown();
    }
}

TEST_F(AppHostTest, AfterASearchTheKeysReachThePlayerNotTheSearchFieldUnderIt) {
    fs::copy_file(testMedia("wide.mp4"), documents / "Film.mp4");
    fs::copy_file(testMedia("wide.mp4"), documents / "Other.mp4");
    ASSERT_TRUE(launch()) << err.str();
    ASSERT_TRUE(command("search \"Fil\""));
    ASSERT_TRUE(command("tap \"Film\""));
    ASSERT_TRUE(player()) << screen();
    ASSERT_FALSE(player()->playbackInfo()->isPaused());
    ASSERT_TRUE(command("key space"));
    EXPECT_TRUE(player()->playbackInfo()->isPaused()) << "the space bar pauses";
    closePlayer();
}

TEST_F(AppHostTest, TheFirstActivationDoesNotListAgainLaterOnesDo) {
    ASSERT_TRUE(launch()) << err.str();
    fs::copy_file(testMedia("wide.mp4"), documents / "Later.mp4");
    host->session().settle();
    EXPECT_EQ(libraryNames(), std::vector<std::string>{});
    ASSERT_TRUE(command("background"));
    ASSERT_TRUE(command("foreground"));
    EXPECT_EQ(libraryNames(), std::vector<std::string>{"Later"});
}

TEST_F(AppHostTest, GoingToTheBackgroundSavesProgressWithNoPlayerAndKeepsTheSession) {
    ASSERT_TRUE(launch()) << err.str();
    const auto progressFile = home / "Library/Application Support/progressData";
    fs::remove(progressFile);
    ASSERT_TRUE(command("background"));
    EXPECT_EQ(readFile(progressFile), "{}");
    EXPECT_TRUE(fs::exists(home / "Library/Saved Application State/scene.json"));
}

TEST_F(AppHostTest, AFileOpenedInPlacePlaysWhereItIs) {
    const auto outside = dir / "outside" / "Trip.mp4";
    fs::create_directories(outside.parent_path());
    fs::copy_file(testMedia("wide.mp4"), outside);
    LauncherOptions options;
    options.open = {outside.string()};
    ASSERT_TRUE(launch(options)) << err.str();
    ASSERT_TRUE(player());
    auto info = player()->playbackInfo();
    EXPECT_EQ(info->url().path(), outside.string());
    EXPECT_TRUE(info->isSecurityScoped());
    EXPECT_TRUE(fs::exists(outside));
    EXPECT_FALSE(fs::exists(documents / "Trip.mp4"));
    player()->session()->commandQueue()->sync([] {});  // the player's load, which starts the access
    EXPECT_GE(foundation::SecurityScope::accessCount(outside.string()), 1);

    // While it plays, another URL is ignored.
    const auto other = dir / "outside" / "Other.mp4";
    fs::copy_file(testMedia("wide.mp4"), other);
    ASSERT_TRUE(command("open " + other.string()));
    EXPECT_EQ(player()->playbackInfo(), info);
}

TEST_F(AppHostTest, AFileOpenedFromOutsideIsAccessedOnceWhilePlayingAndNotAfter) {
    const auto outside = dir / "outside" / "Trip.mp4";
    fs::create_directories(outside.parent_path());
    fs::copy_file(testMedia("wide.mp4"), outside);
    LauncherOptions options;
    options.open = {outside.string()};
    options.audioOutput = "null";
    ASSERT_TRUE(launch(options)) << err.str();
    ASSERT_TRUE(player());
    auto session = player()->session();
    session->commandQueue()->sync([] {});  // the load has run
    EXPECT_EQ(foundation::SecurityScope::accessCount(outside.string()), 1);
    player()->close(false);
    session->commandQueue()->sync([] {});  // the teardown has run
    EXPECT_EQ(foundation::SecurityScope::accessCount(outside.string()), 0);
}

TEST_F(AppHostTest, ThePlayerUsesTheAudioOutputTheAppWasStartedWith) {
    LauncherOptions options;
    options.open = {testMedia("classic.mkv").string()};
    options.audioOutput = "null";
    ASSERT_TRUE(launch(options)) << err.str();
    ASSERT_TRUE(player());
    auto session = player()->session();
    ASSERT_TRUE(session);
    EXPECT_EQ(session->commandQueue()->syncValue([&] { return session->stringProperty("ao"); }), "null");
}

TEST_F(AppHostTest, AFileHandedOverAsACopyMovesIntoTheLibraryUnderAFreeName) {
    fs::copy_file(testMedia("wide.mp4"), documents / "Clip.mp4");
    const auto outside = dir / "Clip.mp4";
    fs::copy_file(testMedia("portrait.mp4"), outside);
    LauncherOptions options;
    options.imports = {outside.string()};
    ASSERT_TRUE(launch(options)) << err.str();
    ASSERT_TRUE(player());
    EXPECT_EQ(player()->playbackInfo()->url().path(), (documents / "Clip (1).mp4").string());
    EXPECT_EQ(fs::file_size(documents / "Clip (1).mp4"), fs::file_size(testMedia("portrait.mp4")));
    EXPECT_TRUE(fs::is_empty(documents / "Inbox"));
    EXPECT_TRUE(fs::exists(outside)) << "the other app keeps its own file";
}

TEST_F(AppHostTest, EveryFileHandedOverAsACopyJoinsTheLibraryAndTheFirstPlays) {
    std::vector<std::string> imports;
    for (const char* name : {"One.mp4", "Two.mp4", "Three.mp4"}) {
        fs::copy_file(testMedia("wide.mp4"), dir / name);
        imports.push_back((dir / name).string());
    }
    LauncherOptions options;
    options.imports = imports;
    ASSERT_TRUE(launch(options)) << err.str();
    ASSERT_TRUE(player());
    EXPECT_EQ(player()->playbackInfo()->url().path(), (documents / "One.mp4").string());
    for (const char* name : {"One.mp4", "Two.mp4", "Three.mp4"}) EXPECT_TRUE(fs::exists(documents / name)) << name;
    EXPECT_TRUE(fs::is_empty(documents / "Inbox"));
    root()->videoManager()->videoManagerQueue()->sync([] {});
    EXPECT_EQ(libraryNames(), (std::vector<std::string>{"One", "Three", "Two"}));

    // A copy that arrives while a player is up is not played, and still joins.
    const auto inbox = documents / "Inbox" / "Four.mp4";
    fs::copy_file(testMedia("wide.mp4"), inbox);
    sceneDelegate()->openURLContexts({{foundation::URL::fileURLWithPath(inbox.string()), {}}});
    EXPECT_EQ(player()->playbackInfo()->url().path(), (documents / "One.mp4").string());
    EXPECT_TRUE(fs::exists(documents / "Four.mp4"));
    EXPECT_TRUE(fs::is_empty(documents / "Inbox"));
}

TEST_F(AppHostTest, AnAppURLPlaysTheNetworkAddressItCarries) {
    ASSERT_TRUE(launch()) << err.str();
    // Nothing answers there, and the player closes once mpv says so; what it was given is read
    // before the main queue hears of that.
    host->scene()->openURLs({{*foundation::URL::parse("reelhaven://127.0.0.1:9/media//a.mp4"), {}}});
    auto presented = std::dynamic_pointer_cast<ReelhavenViewController>(root()->presentedViewController());
    ASSERT_TRUE(presented);
    EXPECT_EQ(presented->playbackInfo()->url().absoluteString(), "http://127.0.0.1:9/media//a.mp4");
    EXPECT_TRUE(presented->playbackInfo()->isNetworkStream());
}

TEST_F(AppHostTest, AURLTheAppHandsOnIsRefusedAndPrinted) {
    ASSERT_TRUE(launch()) << err.str();
    std::optional<bool> answer;
    ui::Application::shared().open(*foundation::URL::parse("https://apps.example.com/review"),
                                   [&](bool opened) { answer = opened; });
    host->session().settle();
    EXPECT_EQ(answer, false);
    EXPECT_NE(err.str().find("reelhaven: cannot open https://apps.example.com/review here"), std::string::npos)
        << err.str();
}

TEST_F(AppHostTest, AMissingFileIsRefusedWithTheReason) {
    ASSERT_TRUE(launch()) << err.str();
    EXPECT_EQ(run("open " + (dir / "gone.mp4").string()), Outcome::failed);
    EXPECT_NE(err.str().find("no such file"), std::string::npos) << err.str();
    EXPECT_FALSE(player());
}

// The empty state fades in once the last video is gone: the screen printed next shows it whole,
// not a step of its fade, though that step ends after the half second the command's own delays get.
TEST_F(AppHostTest, TheScreenAfterTheLastDeleteShowsTheEmptyStateFadedInWhole) {
    fs::copy_file(testMedia("wide.mp4"), documents / "Film.mp4");
    ASSERT_TRUE(launch()) << err.str();
    ASSERT_TRUE(command("menu \"Film\""));
    ASSERT_TRUE(command("choose \"Delete\""));
    ASSERT_TRUE(command("choose \"Delete\""));
    // The delete waits a moment first; on this clock the test says when it has passed.
    ASSERT_TRUE(command("wait 0.4"));
    EXPECT_FALSE(fs::exists(documents / "Film.mp4"));
    out.str({});
    ASSERT_TRUE(command("show"));
    EXPECT_NE(out.str().find("\"No Videos Yet\""), std::string::npos) << out.str();
    auto empty = EmptyDataSet::emptyDataSetView(*root()->collectionView(), false);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->contentView()->layer().presentationOpacity(), 1.0);
    EXPECT_FALSE(empty->contentView()->layer().isAnimating());
}

TEST_F(AppHostTest, AURLArrivingOverAMenuClosesItAndPlays) {
    fs::copy_file(testMedia("wide.mp4"), documents / "Film.mp4");
    ASSERT_TRUE(launch()) << err.str();
    ASSERT_TRUE(command("menu \"Film\""));
    ASSERT_TRUE(host->window()->presentedMenu());
    const auto outside = dir / "Trip.mp4";
    fs::copy_file(testMedia("wide.mp4"), outside);
    ASSERT_TRUE(command("open " + outside.string()));
    EXPECT_FALSE(host->window()->presentedMenu());
    ASSERT_TRUE(player());
    EXPECT_EQ(player()->playbackInfo()->url().path(), outside.string());
}

// The activity a player leaves when the app stops, written where the next run finds it.
void keepActivity(const fs::path& home, const fs::path& video, bool securityScoped, double duration = 10.0) {
    auto session = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept");
    auto activity = ui::UserActivity::create(PlaybackInfo::kActivityType);
    auto bookmark = foundation::URL::fileURLWithPath(video.string()).bookmarkData();
    ASSERT_TRUE(bookmark);
    activity->setUserInfo({{"url", bookmark.value()},
                           {"isSecurityScoped", securityScoped},
                           {"duration", duration},
                           {"controlsHidden", true}});
    session->setStateRestorationActivity(activity);
    ASSERT_TRUE(SceneSessionStore(home).save(*session));
}

TEST_F(AppHostTest, AVideoInASubFolderIsRestoredWithAManagerOfItsFolder) {
    fs::create_directories(documents / "Shows");
    fs::copy_file(testMedia("wide.mp4"), documents / "Shows" / "Pilot.mp4");
    keepActivity(home, documents / "Shows" / "Pilot.mp4", false);
    ASSERT_TRUE(launch()) << err.str();
    ASSERT_TRUE(player());
    auto info = player()->playbackInfo();
    EXPECT_TRUE(info->isRestored());
    EXPECT_TRUE(info->hideControls());
    EXPECT_EQ(info->video()->duration(),
              VideoTime{FFmpegUtility::getDurationForFile((documents / "Shows" / "Pilot.mp4").string())})
        << "the file's own length, not the scene's 10 s";
    EXPECT_EQ(info->videoManager()->folderURL().path(), (documents / "Shows").string());
    EXPECT_EQ(info->videoManager()->parent(), root()->videoManager());
    // The root screen does not show the video, so it is not marked played there.
    EXPECT_TRUE(root()->videoManager()->playedVideos().empty());
    EXPECT_FALSE(host->scene()->isStateRestorationPending());
    EXPECT_EQ(host->scene()->stateRestorationExtensions(), 1);
}

TEST_F(AppHostTest, ARestoredPlayerTakesTheFilesLengthOverAKeptSceneThatDisagrees) {
    const auto film = documents / "Film.mp4";
    fs::copy_file(testMedia("long.mp4"), film);
    const double length = FFmpegUtility::getDurationForFile(film.string());
    ASSERT_GT(length, 60);
    const auto key = ProgressClient::progressKey(foundation::URL::fileURLWithPath(film.string()));
    for (double kept : {1e308, -5.0, 30.0, 0.5}) {
        SCOPED_TRACE(kept);
        // What the last run saved: 41.5 s into the file, and a scene that says otherwise of its length.
        writeFile(home / "Library/Application Support/progressData",
                  R"({")" + key + R"(":{"progress":{"seconds":41.5},"duration":{"seconds":)" +
                      nlohmann::json(length).dump() + R"(},"isFinished":false}})");
        keepActivity(home, film, false, kept);
        ASSERT_TRUE(launch()) << err.str();
        ASSERT_TRUE(player());
        auto info = player()->playbackInfo();
        EXPECT_EQ(info->video()->duration(), VideoTime{length});
        EXPECT_NEAR(info->progress(), 41.5, 0.5) << "the position of the file's record";
        info->saveProgress();
        const auto record = AppDelegate::shared()->progressClient()->progress(*info->video());
        ASSERT_TRUE(record);
        EXPECT_EQ(record->duration, VideoTime{length}) << "the scene's length is not saved into the record";
        shutDown();
    }
}

TEST(SceneRestorationTest, AKeptLengthStandsOnlyWhileTheFilesCannotBeReadAndOnlyWhenItCanBeOne) {
    auto url = [](const char* clip) { return foundation::URL::fileURLWithPath(testMedia(clip).string()); };
    const double own = FFmpegUtility::getDurationForFile(testMedia("long.mp4").string());
    ASSERT_GT(own, 60);
    for (double kept : {30.0, 1e308, -5.0}) EXPECT_EQ(SceneDelegate::restoredDuration(url("long.mp4"), kept), own);
    // A raw stream has no length FFmpeg can read without decoding it all; a header's claim of
    // 1e10 s is none either.
    for (const char* unread : {"raw.h264", "huge-duration.mkv"}) {
        SCOPED_TRACE(unread);
        EXPECT_EQ(SceneDelegate::restoredDuration(url(unread), 30.0), 30.0);
        for (double bogus : {1e308, 1e10, -5.0, 0.0, std::nan("")})
            EXPECT_EQ(SceneDelegate::restoredDuration(url(unread), bogus), std::nullopt) << bogus;
    }
}

TEST_F(AppHostTest, TheActivityOfTheSceneWhenItStopsRestoresThePlayerNextTime) {
    fs::copy_file(testMedia("wide.mp4"), documents / "Film.mp4");
    ASSERT_TRUE(launch()) << err.str();
    // What the player puts on its scene once its file is loaded.
    auto video = std::dynamic_pointer_cast<Video>(root()->videoManager()->library().at(0));
    ASSERT_TRUE(video);
    video->setDuration(VideoTime{10.0});
    auto info = PlaybackInfo::create(AppDelegate::shared()->progressClient(), root()->videoManager(), video, false,
                                     false, std::nullopt);
    host->scene()->setUserActivity(info->userActivity());
    shutDown();

    ASSERT_TRUE(launch()) << err.str();
    ASSERT_TRUE(player());
    EXPECT_TRUE(player()->playbackInfo()->isRestored());
    EXPECT_EQ(player()->playbackInfo()->url().path(), (documents / "Film.mp4").string());
    EXPECT_FALSE(player()->playbackInfo()->hideControls());
    // Shown in the root grid, so its cell is refreshed when the grid shows again.
    EXPECT_EQ(root()->videoManager()->playedVideos().size(), 1u);
}

TEST_F(AppHostTest, APlayerOffersItsActivityAsSoonAsItShowsAndNotOnOldSystems) {
    fs::copy_file(testMedia("wide.mp4"), documents / "Film.mp4");
    ASSERT_TRUE(launch()) << err.str();
    EXPECT_FALSE(host->scene()->userActivity());
    ASSERT_TRUE(command("tap \"Film\""));
    ASSERT_TRUE(player());
    // Nothing has touched the controls, and the scene already carries the video.
    auto activity = host->scene()->userActivity();
    ASSERT_TRUE(activity);
    EXPECT_EQ(activity->activityType(), PlaybackInfo::kActivityType);
    EXPECT_EQ(activity->title(), "Film");
    EXPECT_EQ(std::any_cast<bool>(activity->userInfo().at("isSecurityScoped")), false);
    ASSERT_TRUE(command("background"));
    ASSERT_TRUE(host->scene()->session()->stateRestorationActivity());
    EXPECT_EQ(host->scene()->session()->stateRestorationActivity()->title(), "Film");
    shutDown();

    ui::ScopedPlatformVersion old({14, 0, 0});
    LauncherOptions fresh;
    fresh.restore = false;
    ASSERT_TRUE(launch(fresh)) << err.str();
    ASSERT_TRUE(command("tap \"Film\""));
    ASSERT_TRUE(player());
    EXPECT_FALSE(host->scene()->userActivity());
}

TEST_F(AppHostTest, AVideoFromOutsideTheLibraryIsNeverRestored) {
    fs::copy_file(testMedia("wide.mp4"), dir / "Trip.mp4");
    keepActivity(home, dir / "Trip.mp4", true);
    ASSERT_TRUE(launch()) << err.str();
    EXPECT_FALSE(player());
    EXPECT_EQ(host->scene()->stateRestorationExtensions(), 1);
    EXPECT_FALSE(host->scene()->isStateRestorationPending());
}

TEST_F(AppHostTest, AFileOpenedAtLaunchWinsOverTheSavedPlayerAndRestorationStillEnds) {
    fs::copy_file(testMedia("wide.mp4"), documents / "Film.mp4");
    keepActivity(home, documents / "Film.mp4", false);
    fs::copy_file(testMedia("portrait.mp4"), dir / "Trip.mp4");
    LauncherOptions options;
    options.open = {(dir / "Trip.mp4").string()};
    ASSERT_TRUE(launch(options)) << err.str();
    ASSERT_TRUE(player());
    EXPECT_EQ(player()->playbackInfo()->url().path(), (dir / "Trip.mp4").string());
    EXPECT_FALSE(host->scene()->isStateRestorationPending());
}

TEST_F(AppHostTest, NoRestoreForgetsTheSavedPlayer) {
    fs::copy_file(testMedia("wide.mp4"), documents / "Film.mp4");
    keepActivity(home, documents / "Film.mp4", false);
    LauncherOptions options;
    options.restore = false;
    ASSERT_TRUE(launch(options)) << err.str();
    EXPECT_FALSE(player());
    EXPECT_EQ(host->scene()->stateRestorationExtensions(), 0);
}

TEST(AppDelegateTest, ServicesAreMadeOnFirstUseAndKept) {
    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir dir;
    foundation::ScopedContainer container(dir / "home");
    const auto progressFile = dir / "home/Library/Application Support/progressData";
    writeFile(
        progressFile,
        R"({"0cc175b9c0f1b6a831c399e269772661":{"progress":{"seconds":12},"duration":{"seconds":60},"isFinished":false}})");
    auto app = AppDelegate::create();
    auto progress = app->progressClient();
    EXPECT_EQ(progress->records().size(), 1u) << "loaded when made";
    EXPECT_EQ(app->progressClient(), progress);
    EXPECT_EQ(app->documentsClient(), app->documentsClient());
    auto server = app->webServer();
    ASSERT_TRUE(server);
    EXPECT_EQ(server->uploadDirectory(), (dir / "home/Documents").string());
    EXPECT_FALSE(server->isRunning());
    EXPECT_EQ(app->webServer(), server);
    EXPECT_EQ(app->mediaCenterService(), app->mediaCenterService());
}

TEST(AppDelegateTest, TerminatingSavesTheProgressStoreEvenBeforeAnyScene) {
    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir dir;
    foundation::ScopedContainer container(dir / "home");
    const auto progressFile = dir / "home/Library/Application Support/progressData";
    auto app = AppDelegate::create();
    app->willTerminate(ui::Application::shared());
    EXPECT_EQ(readFile(progressFile), "{}");
}

TEST(AppDelegateTest, NoServerWithoutADocumentsFolder) {
    dispatch::ScopedMainRunLoop loop;
    foundation::Container::setCurrent(nullptr);
    auto app = AppDelegate::create();
    EXPECT_EQ(app->webServer(), nullptr);
}

}  // namespace
}  // namespace reelhaven
