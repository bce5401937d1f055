#include <string>

#include "controls/bottom_control_view.h"
#include "controls/video_control_view.h"
#include "core/progress_client.h"
#include "platform/ui/text/label.h"
#include "playback/player_screen_fixture.h"

namespace reelhaven::playback_test {
namespace {

// The player's clock: its 0.2 s interface timer and its saves, resting while nothing can move the
// position and woken by what can, driven as a user drives it (keys) with mpv's real events.
class PlayerClockTest : public PlayerScreenTest {};

TEST_F(PlayerClockTest, APausedPlayerRestsOnceMpvHasStoppedAndLeavesNothingToWakeTheMainThread) {
    auto video = clip("long.mp4", false);
    openPausedAt(video, 20);
    EXPECT_FALSE(player->saveProgressTimer()->isValid());
    EXPECT_DOUBLE_EQ(player->playbackInfo()->progress(), 20);
    // The 30 s commit writes the resting position at its next beat, and is the last to go. (The
    // rest's save into the records, on the global queue, has long run by then.)
    ASSERT_TRUE(player->commitProgressTimer()->isValid());
    player->waitForProgressSaves();
    mainLoop.advanceSeconds(30);
    EXPECT_FALSE(player->commitProgressTimer()->isValid());
    EXPECT_FALSE(mainLoop.loop().nextTimerTime()) << "a timer is left to wake a paused player";
    player->waitForProgressSaves();
    auto written = ProgressClient::create()->progress(*video);  // read back from the file
    ASSERT_TRUE(written);
    EXPECT_DOUBLE_EQ(written->progress.seconds, 20);
}

TEST_F(PlayerClockTest, ASeekAskedForWhilePausedMovesTheLabelsThoughTicksReadTheOldPositionFirst) {
    openPausedAt(clip("long.mp4"), 20);
    auto label = player->controlView()->bottomControlView()->progressLabel();
    ASSERT_EQ(label->text(), "0:20");
    {
        // mpv has not begun the seek: every tick meanwhile reads the old position, as still as
        // a paused one.
        QueueHold hold(player->session()->commandQueue());
        press(ui::Key::rightArrow);  // the default skip: 15 s
        EXPECT_TRUE(clockRuns()) << "a seek asked for wakes the clock";
        mainLoop.advanceSeconds(1);
        EXPECT_TRUE(clockRuns()) << "the clock stopped on the position before the seek";
        EXPECT_EQ(label->text(), "0:20");
    }
    ASSERT_TRUE(waitFor([&] { return label->text() == "0:35"; })) << label->text().value_or("(none)");
    EXPECT_DOUBLE_EQ(player->playbackInfo()->progress(), 35);
    EXPECT_TRUE(waitFor([&] { return !clockRuns(); })) << "landed and paused, the clock rests again";
}

TEST_F(PlayerClockTest, PlayingAgainWakesTheClockAtOnceAndItFollowsThePosition) {
    openPausedAt(clip("long.mp4"), 20);
    press(ui::Key::spacebar);
    EXPECT_TRUE(clockRuns());
    ASSERT_TRUE(waitFor([&] { return std::stod(property("time-pos").value_or("0")) > 20.1; }));
    mainLoop.advanceSeconds(0.2);
    EXPECT_GT(player->playbackInfo()->progress(), 20.1);
    EXPECT_TRUE(clockRuns()) << "a playing clock does not rest";
}

TEST_F(PlayerClockTest, AnOptionSetWhilePausedIsSavedBeforeTheClockRestsAgain) {
    auto video = clip("long.mp4", false);
    openPausedAt(video, 20);
    // As the options popover sets a speed: the record, then mpv through the player.
    player->playbackInfo()->setPlaybackSpeed(1.5);
    player->setDoubleProperty("speed", 1.5);
    EXPECT_TRUE(clockRuns());
    mainLoop.advanceSeconds(0.2);
    EXPECT_FALSE(clockRuns());
    player->waitForProgressSaves();
    auto saved = savedProgress(*video);
    ASSERT_TRUE(saved);
    ASSERT_TRUE(saved->playbackSpeed);
    EXPECT_DOUBLE_EQ(*saved->playbackSpeed, 1.5);
}

}  // namespace
}  // namespace reelhaven::playback_test
