#include "controls_test_support.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/foundation/container.h"
#include "support/temp_dir.h"
#include "toolkit/number_text.h"

namespace reelhaven::controls_testing {
namespace {

// One container for the whole program, installed before any test reads a setting.
class ContainerEnvironment : public ::testing::Environment {
public:
    static std::filesystem::path folder() { return s_folder; }

    void SetUp() override {
        m_dir = std::make_unique<testing_support::TempDir>();
        m_container = std::make_unique<foundation::ScopedContainer>(*m_dir / "home");
        s_folder = m_dir->path();
    }
    void TearDown() override {
        m_container.reset();
        m_dir.reset();
    }

private:
    std::unique_ptr<testing_support::TempDir> m_dir;
    std::unique_ptr<foundation::ScopedContainer> m_container;
    static inline std::filesystem::path s_folder;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new ContainerEnvironment);

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
    const auto path = ContainerEnvironment::folder() / "videos" / fileName;
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
