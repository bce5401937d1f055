#include "controls_test_support.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/foundation/container.h"
#include "support/container_environment.h"
#include "toolkit/number_text.h"

namespace reelhaven::controls_testing {
namespace {

// One container for the whole program, installed before any test reads a setting.
[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new testing_support::ContainerEnvironment);

}  // namespace

void resetPreferences() {
    auto& preferences = Preferences::shared();
    preferences.continuousPlayback.setWrappedValue(false);
    preferences.highQualityVideo.setWrappedValue(false);
    preferences.skipInterval.setWrappedValue("15");
    preferences.preferLandscape.setWrappedValue(false);
    preferences.reduceHaptics.setWrappedValue(false);
    preferences.screenshotWithSubtitles.setWrappedValue(true);
    preferences.subtitleFont.setWrappedValue("sans-serif");
    preferences.subtitlePositionAuto.setWrappedValue(true);
    preferences.subtitlePosition.setWrappedValue(100);
    preferences.subtitleScale.setWrappedValue(1.0);
    preferences.subtitleDelay.setWrappedValue(0.0);
    preferences.subtitleBorderSize.setWrappedValue(3.0);
    preferences.subtitleShadow.setWrappedValue(false);
}

VideoPtr makeVideo(const std::string& fileName, bool isSecurityScoped) {
    const auto path = testing_support::ContainerEnvironment::folder() / "videos" / fileName;
    if (!std::filesystem::exists(path)) testing_support::writeFile(path, "x");
    return Video::create(foundation::URL::fileURLWithPath(path.string()), LibraryItemType::file, isSecurityScoped);
}

PlaybackInfoPtr makePlaybackInfo(VideoPtr video) {
    return PlaybackInfo::create(nullptr, nullptr, video ? video : makeVideo("movie.mp4"), false, false, std::nullopt);
}

void FakePlayer::switchToVideo(const std::shared_ptr<Video>& video) {
    calls.push_back("switchToVideo " + video->url().lastPathComponent());
}

void RecordingOptionsDelegate::setDoubleProperty(const std::string& name, double value) {
    calls.push_back("double " + name + " " + doubleText(value));
}

}  // namespace reelhaven::controls_testing
