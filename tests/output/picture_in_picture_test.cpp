#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "core/progress_client.h"
#include "output/picture_in_picture_size.h"
#include "output/picture_in_picture_view.h"
#include "output/sample_buffer_playback_delegate.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/views/platform_version.h"

namespace reelhaven {
namespace {

TEST(PictureInPictureRenderSize, BeforeTheWindowReportsASizeFramesFollowTheInlineView) {
    EXPECT_EQ(pictureInPictureRenderSize(std::nullopt, 3, PixelSize{3840, 2160}, {1170, 658}), (PixelSize{1170, 658}));
}

TEST(PictureInPictureRenderSize, TakesTheSmallestShareOfTheVideoThatCoversTheWindow) {
    const PixelSize uhd{3840, 2160};
    EXPECT_EQ(pictureInPictureRenderSize(media::VideoDimensions{320, 180}, 3, uhd, {}), (PixelSize{960, 540}));
    EXPECT_EQ(pictureInPictureRenderSize(media::VideoDimensions{640, 360}, 3, uhd, {}), (PixelSize{1920, 1080}));
    EXPECT_EQ(pictureInPictureRenderSize(media::VideoDimensions{641, 360}, 3, uhd, {}), (PixelSize{3840, 2160}));
    // Covering means both directions: a tall window needs the whole video's height.
    EXPECT_EQ(pictureInPictureRenderSize(media::VideoDimensions{100, 500}, 3, uhd, {}), (PixelSize{3840, 2160}));
}

TEST(PictureInPictureRenderSize, AWindowLargerThanTheVideoOrAnUnknownVideoRendersAtTheWindowsPixels) {
    EXPECT_EQ(pictureInPictureRenderSize(media::VideoDimensions{640, 360}, 3, PixelSize{1280, 720}, {}),
              (PixelSize{1920, 1080}));
    EXPECT_EQ(pictureInPictureRenderSize(media::VideoDimensions{640, 360}, 2, std::nullopt, {}),
              (PixelSize{1280, 720}));
}

// Records what the window asks of the player.
class RecordingControls : public VideoControlDelegate {
public:
    std::vector<bool> paused;
    std::vector<double> seeks;
    void setPaused(bool value, bool updateUI) override {
        EXPECT_TRUE(updateUI);
        paused.push_back(value);
    }
    void seekBy(double seconds) override { seeks.push_back(seconds); }
    void seekTo(double) override {}
    void skipForward() override {}
    void skipBackward() override {}
    void selectChapter(int) override {}
    void close(bool) override {}
    void updateProgressLabelWidths() override {}
    void toggleAspectRatio() override {}
    void showAudioSubtitlePopover() override {}
    void showOptionsPopover() override {}
    void showVideoMenuPopover() override {}
    std::shared_ptr<PlaybackInfo> playbackInfo() const override { return nullptr; }
};

class SampleBufferPlaybackDelegateTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop mainLoop;
    PlaybackInfoPtr info =
        PlaybackInfo::create(ProgressClient::create(), nullptr,
                             Video::create(foundation::URL::fileURLWithPath("/v/a.mp4"), LibraryItemType::file, true),
                             false, true, std::nullopt);
    std::shared_ptr<RecordingControls> controls = std::make_shared<RecordingControls>();
    std::shared_ptr<SampleBufferPlaybackDelegate> delegate = SampleBufferPlaybackDelegate::create(info);
    std::shared_ptr<PictureInPictureView> view = PictureInPictureView::create();
    std::shared_ptr<media::PictureInPictureController> controller =
        media::PictureInPictureController::create({view->sampleBufferDisplayLayer(), delegate});

    void SetUp() override { delegate->controlDelegate = controls; }
};

TEST_F(SampleBufferPlaybackDelegateTest, TheTimelinesPresentIsTheVideosPosition) {
    info->setDuration(100);
    info->setProgress(30);
    mainLoop.advanceSeconds(50);  // the layer's timebase runs on the main clock
    const auto range = delegate->timeRangeForPlayback(*controller);
    EXPECT_DOUBLE_EQ(range.start.seconds(), 20);
    EXPECT_DOUBLE_EQ(range.duration.seconds(), 100);
    EXPECT_EQ(range.start.timescale, media::Timebase::kTimescale);
    EXPECT_EQ(range.duration.timescale, media::Timebase::kTimescale);

    controller->invalidatePlaybackState();
    EXPECT_EQ(controller->shownTimeRange(), range);
}

TEST_F(SampleBufferPlaybackDelegateTest, WithoutDurationOrBeforeTheSystemHasItTheTimelineIsUnbounded) {
    const media::TimeRange unbounded{media::Time::zero(), media::Time::positiveInfinity()};
    EXPECT_EQ(delegate->timeRangeForPlayback(*controller), unbounded);
    info->setDuration(100);
    ui::ScopedPlatformVersion older({14, 0, 0});
    EXPECT_EQ(delegate->timeRangeForPlayback(*controller), unbounded);
}

TEST_F(SampleBufferPlaybackDelegateTest, TheWindowsButtonsDriveThePlayer) {
    controller->setPlaying(false);
    controller->setPlaying(true);
    EXPECT_EQ(controls->paused, (std::vector<bool>{true, false}));

    EXPECT_TRUE(controller->skip(-15));
    EXPECT_TRUE(controller->skip(15));
    EXPECT_EQ(controls->seeks, (std::vector<double>{-15, 15}));

    info->setIsPaused(true);
    controller->invalidatePlaybackState();
    EXPECT_EQ(controller->shownPaused(), true);
}

TEST_F(SampleBufferPlaybackDelegateTest, ASkipCompletesWhenThePlayerIsGone) {
    controls.reset();
    EXPECT_TRUE(controller->skip(10));
}

TEST_F(SampleBufferPlaybackDelegateTest, ARecordHandedOverLaterAnswersTheWindow) {
    auto next =
        PlaybackInfo::create(ProgressClient::create(), nullptr,
                             Video::create(foundation::URL::fileURLWithPath("/v/b.mp4"), LibraryItemType::file, true),
                             false, true, std::nullopt);
    next->setIsPaused(true);
    delegate->setPlaybackInfo(next);
    EXPECT_TRUE(delegate->isPlaybackPaused(*controller));
}

}  // namespace
}  // namespace reelhaven
