#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/media/picture_in_picture_controller.h"
#include "platform/media/sample_buffer_display_layer.h"

namespace media {
namespace {

struct RecordingDelegate final : PictureInPictureControllerDelegate {
    void record(PictureInPictureController& controller, const std::string& what) {
        calls.push_back(what + (controller.isPictureInPictureActive().value() ? ":active" : ":inactive"));
    }
    void willStartPictureInPicture(PictureInPictureController& c) override { record(c, "willStart"); }
    void didStartPictureInPicture(PictureInPictureController& c) override { record(c, "didStart"); }
    void failedToStartPictureInPicture(PictureInPictureController& c, const foundation::Error&) override {
        record(c, "failed");
    }
    void willStopPictureInPicture(PictureInPictureController& c) override { record(c, "willStop"); }
    void didStopPictureInPicture(PictureInPictureController& c) override { record(c, "didStop"); }
    std::vector<std::string> calls;
};

struct RecordingPlayback final : PictureInPictureSampleBufferPlaybackDelegate {
    void setPlaying(PictureInPictureController&, bool playing) override { paused = !playing; }
    TimeRange timeRangeForPlayback(PictureInPictureController&) override {
        return {Time::zero(), Time::positiveInfinity()};
    }
    bool isPlaybackPaused(PictureInPictureController&) override { return paused; }
    void didTransitionToRenderSize(PictureInPictureController&, VideoDimensions size) override {
        sizes.push_back(size);
    }
    void skipByInterval(PictureInPictureController&, Time interval, std::function<void()> completion) override {
        skips.push_back(interval.seconds());
        if (completeSkips) completion();
    }
    bool paused = false;
    bool completeSkips = true;
    std::vector<VideoDimensions> sizes;
    std::vector<double> skips;
};

class PictureInPictureTest : public ::testing::Test {
protected:
    PictureInPictureTest() {
        controller = PictureInPictureController::create({layer, playback});
        controller->setDelegate(delegate);
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<SampleBufferDisplayLayer> layer = SampleBufferDisplayLayer::create();
    std::shared_ptr<RecordingPlayback> playback = std::make_shared<RecordingPlayback>();
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::shared_ptr<PictureInPictureController> controller;
};

TEST_F(PictureInPictureTest, StartAndStopTellTheDelegateAroundTheActiveFlag) {
    std::vector<bool> published;
    auto subscription = controller->isPictureInPictureActive().sink([&](const bool& v) { published.push_back(v); });
    controller->startPictureInPicture();
    controller->startPictureInPicture();  // already active
    controller->stopPictureInPicture();
    controller->stopPictureInPicture();  // already stopped
    EXPECT_EQ(delegate->calls, (std::vector<std::string>{"willStart:inactive", "didStart:active", "willStop:active",
                                                         "didStop:inactive"}));
    EXPECT_EQ(published, (std::vector<bool>{false, true, false}));
}

TEST_F(PictureInPictureTest, CannotStartOnceTheContentSourceIsGone) {
    playback.reset();
    EXPECT_FALSE(controller->isPictureInPicturePossible());
    controller->startPictureInPicture();
    EXPECT_EQ(delegate->calls, std::vector<std::string>{"failed:inactive"});
    EXPECT_FALSE(controller->isPictureInPictureActive().value());
}

TEST_F(PictureInPictureTest, WindowDriversReachThePlaybackDelegate) {
    controller->resize({320, 180});
    controller->setPlaying(false);
    EXPECT_TRUE(playback->paused);
    EXPECT_TRUE(controller->skip(-15));
    playback->completeSkips = false;
    EXPECT_FALSE(controller->skip(10));
    EXPECT_EQ(playback->sizes, std::vector<VideoDimensions>{(VideoDimensions{320, 180})});
    EXPECT_EQ(playback->skips, (std::vector<double>{-15, 10}));

    EXPECT_FALSE(controller->shownPaused());
    controller->invalidatePlaybackState();
    EXPECT_EQ(controller->invalidationCount(), 1u);
    EXPECT_EQ(controller->shownPaused(), true);
    EXPECT_EQ(controller->shownTimeRange()->duration, Time::positiveInfinity());
}

std::shared_ptr<SampleBuffer> makeSample(bool displayImmediately) {
    auto image = PixelBuffer::create(4, 2, PixelFormat::rgba64Half);
    auto sample = SampleBuffer::createReadyWithImageBuffer(image, VideoFormatDescription::create(image), {});
    if (displayImmediately) sample->setAttachment(kSampleAttachmentKeyDisplayImmediately, true);
    return sample;
}

TEST_F(PictureInPictureTest, DisplayLayerShowsImmediateSamplesAndFlushesFailures) {
    auto first = makeSample(true);
    layer->enqueue(first);
    EXPECT_EQ(layer->status(), SampleBufferDisplayLayer::Status::rendering);
    EXPECT_EQ(layer->displayedSampleBuffer(), first);
    layer->enqueue(makeSample(false));
    EXPECT_EQ(layer->queuedCount(), 1u);
    layer->flush();
    EXPECT_EQ(layer->queuedCount(), 0u);
    EXPECT_EQ(layer->displayedSampleBuffer(), first);

    layer->fail({"AVFoundationErrorDomain", -11847, "interrupted"});
    layer->enqueue(makeSample(true));
    EXPECT_EQ(layer->status(), SampleBufferDisplayLayer::Status::failed);
    EXPECT_EQ(layer->displayedSampleBuffer(), first);
    layer->flushAndRemoveImage();
    EXPECT_EQ(layer->displayedSampleBuffer(), nullptr);
    auto next = makeSample(true);
    layer->enqueue(next);
    EXPECT_EQ(layer->displayedSampleBuffer(), next);
    EXPECT_EQ(layer->enqueuedCount(), 4u);
}

TEST_F(PictureInPictureTest, TimebaseFollowsTheManualClockAtItsRate) {
    auto& timebase = layer->timebase();
    loop.advanceSeconds(2);
    EXPECT_DOUBLE_EQ(timebase.time().seconds(), 2);
    timebase.setRate(0);
    loop.advanceSeconds(1);
    EXPECT_DOUBLE_EQ(timebase.time().seconds(), 2);
    timebase.setTime(Time::make(30, 1));
    timebase.setRate(2);
    loop.advanceSeconds(1.5);
    EXPECT_DOUBLE_EQ(timebase.time().seconds(), 33);
    EXPECT_EQ(timebase.time().timescale, Timebase::kTimescale);
}

}  // namespace
}  // namespace media
