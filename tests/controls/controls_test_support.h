#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "core/video.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/views/window.h"
#include "playback/model/mpv_options_delegate.h"
#include "playback/model/playback_info.h"
#include "playback/model/player_screen.h"
#include "playback/model/video_control_delegate.h"

namespace reelhaven::controls_testing {

// Every setting the controls read back at its default; Preferences::shared() lives over one
// container for the whole test program (see controls_test_support.cpp).
void resetPreferences();

// A video file of that name in the program's temporary folder (written when missing).
VideoPtr makeVideo(const std::string& fileName, bool isSecurityScoped = false);
// The state of playing `video` (a fresh one when null), without progress store or manager.
PlaybackInfoPtr makePlaybackInfo(VideoPtr video = nullptr);

// The player's control operations, recorded as text in call order.
class RecordingVideoControlDelegate : public VideoControlDelegate {
public:
    std::vector<std::string> calls;

    void setPaused(bool paused, bool updateUI) override {
        calls.push_back(std::string("setPaused ") + (paused ? "true" : "false") + (updateUI ? " ui" : ""));
    }
    void seekBy(double seconds) override { calls.push_back("seekBy " + std::to_string(seconds)); }
    void seekTo(double seconds) override { calls.push_back("seekTo " + std::to_string(seconds)); }
    void skipForward() override { calls.push_back("skipForward"); }
    void skipBackward() override { calls.push_back("skipBackward"); }
    void selectChapter(int index) override { calls.push_back("selectChapter " + std::to_string(index)); }
    void close(bool finished) override { calls.push_back(std::string("close ") + (finished ? "true" : "false")); }
    void updateProgressLabelWidths() override { calls.push_back("updateProgressLabelWidths"); }
    void toggleAspectRatio() override { calls.push_back("toggleAspectRatio"); }
    void showAudioSubtitlePopover() override { calls.push_back("showAudioSubtitlePopover"); }
    void showOptionsPopover() override { calls.push_back("showOptionsPopover"); }
    void showVideoMenuPopover() override { calls.push_back("showVideoMenuPopover"); }
    PlaybackInfoPtr playbackInfo() const override { return nullptr; }
};

// The player's mpv writes, recorded as "kind name value" in call order.
class RecordingOptionsDelegate : public MPVOptionsDelegate {
public:
    std::vector<std::string> calls;

    mpv_handle* mpv() const override { return nullptr; }
    void setFlagProperty(const std::string& name, bool value) override {
        calls.push_back("flag " + name + (value ? " true" : " false"));
    }
    void setIntProperty(const std::string& name, std::int64_t value) override {
        calls.push_back("int " + name + " " + std::to_string(value));
    }
    void setDoubleProperty(const std::string& name, double value) override;
    void setStringProperty(const std::string& name, const std::string& value) override {
        calls.push_back("string " + name + " " + value);
    }
    void setHighQualityVideo(bool on) override {
        calls.push_back(std::string("highQuality ") + (on ? "true" : "false"));
    }
    void updateSubtitleFont() override { calls.push_back("updateSubtitleFont"); }
    void updateSubtitlePosition() override { calls.push_back("updateSubtitlePosition"); }
    void selectTrack(const Track& track) override {
        calls.push_back("selectTrack " + std::string(rawValue(track.type)) + " " + std::to_string(track.id));
    }
};

// A player screen that presents popovers: it records what they ask of it and owns a real
// control bar.
class FakePlayer : public ui::ViewController, public PlayerScreen {
public:
    static std::shared_ptr<FakePlayer> create() { return std::shared_ptr<FakePlayer>(new FakePlayer()); }

    std::vector<std::string> calls;
    std::shared_ptr<VideoControlView> controls =
        VideoControlView::create(TopControlView::create(), BottomControlView::create());

    void switchToVideo(const std::shared_ptr<Video>& video) override;
    void updateSubtitleFont() override { calls.push_back("updateSubtitleFont"); }
    void updateSubtitlePosition() override { calls.push_back("updateSubtitlePosition"); }
    std::shared_ptr<VideoControlView> controlView() const override { return controls; }
    void takeScreenshot(bool withSubtitles) override {
        calls.push_back(std::string("takeScreenshot ") + (withSubtitles ? "true" : "false"));
    }

private:
    FakePlayer() = default;
};

// A popover's world: a phone window whose root is the player screen that presents it, over the
// settings at their defaults.
class PopoverTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetPreferences();
        window->setRootViewController(player);
        window->makeKeyAndVisible();
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    std::shared_ptr<FakePlayer> player = FakePlayer::create();
};

}  // namespace reelhaven::controls_testing
