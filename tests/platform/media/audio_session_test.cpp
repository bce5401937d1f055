#include "platform/media/audio_session.h"

#include <gtest/gtest.h>

#include <any>
#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/notification_center.h"
#include "platform/media/volume_view.h"
#include "platform/ui/controls/slider.h"

namespace media {
namespace {

class AudioSessionTest : public ::testing::Test {
protected:
    AudioSessionTest() { AudioSession::shared()->reset(); }
    ~AudioSessionTest() override {
        for (auto token : m_tokens) foundation::NotificationCenter::defaultCenter().removeObserver(token);
        AudioSession::shared()->reset();
    }

    void observe(const char* name) {
        m_tokens.push_back(foundation::NotificationCenter::defaultCenter().addObserver(
            name, nullptr, [this](const foundation::Notification& n) { m_received.push_back(n); }));
    }

    std::vector<foundation::Notification> m_received;
    std::vector<foundation::NotificationCenter::Token> m_tokens;
};

TEST_F(AudioSessionTest, RouteChangePostsReasonAndPreviousRouteFromTheSharedSession) {
    observe(kRouteChangeNotification);
    auto session = AudioSession::shared();
    session->changeRoute(AudioSession::headphonesRoute(), RouteChangeReason::newDeviceAvailable);
    session->changeRoute(AudioSession::speakerRoute(), RouteChangeReason::oldDeviceUnavailable);

    ASSERT_EQ(m_received.size(), 2u);
    EXPECT_EQ(m_received[1].object.get(), session.get());
    const auto& info = m_received[1].userInfo;
    EXPECT_EQ(std::any_cast<std::uint64_t>(info.at(kRouteChangeReasonKey)), 2u);
    auto previous = std::any_cast<RouteDescription>(info.at(kRouteChangePreviousRouteKey));
    EXPECT_TRUE(previous.hasOutput(PortType::headphones));
    EXPECT_FALSE(previous.hasOutput(PortType::builtInSpeaker));
    EXPECT_TRUE(session->currentRoute().hasOutput(PortType::builtInSpeaker));
    EXPECT_EQ(portTypeName(PortType::bluetoothA2DP), "BluetoothA2DPOutput");
}

TEST_F(AudioSessionTest, InterruptionCarriesTypeAndOptionsOnlyWhenGiven) {
    observe(kInterruptionNotification);
    AudioSession::shared()->interrupt(InterruptionType::began);
    AudioSession::shared()->interrupt(InterruptionType::ended, kInterruptionOptionShouldResume);

    ASSERT_EQ(m_received.size(), 2u);
    EXPECT_EQ(std::any_cast<std::uint64_t>(m_received[0].userInfo.at(kInterruptionTypeKey)), 1u);
    EXPECT_EQ(m_received[0].userInfo.count(kInterruptionOptionKey), 0u);
    EXPECT_EQ(std::any_cast<std::uint64_t>(m_received[1].userInfo.at(kInterruptionTypeKey)), 0u);
    EXPECT_EQ(std::any_cast<std::uint64_t>(m_received[1].userInfo.at(kInterruptionOptionKey)), 1u);
}

TEST_F(AudioSessionTest, VolumeViewSliderStartsAtAndSetsTheOutputVolume) {
    dispatch::ScopedMainRunLoop loop;
    AudioSession::shared()->setOutputVolume(0.3f);
    auto view = VolumeView::create();
    ASSERT_EQ(view->subviews().size(), 1u);
    auto slider = std::dynamic_pointer_cast<ui::Slider>(view->subviews().front());
    ASSERT_NE(slider, nullptr);
    EXPECT_FLOAT_EQ(slider->value(), 0.3f);

    slider->setValue(0.75f);
    EXPECT_FLOAT_EQ(AudioSession::shared()->outputVolume(), 0.75f);
    slider->setValue(4.0f);
    EXPECT_FLOAT_EQ(AudioSession::shared()->outputVolume(), 1.0f);
}

TEST_F(AudioSessionTest, HintsAreReadBackAndResetRestoresTheSpeaker) {
    auto session = AudioSession::shared();
    session->setOtherAudioPlaying(true);
    session->setSecondaryAudioShouldBeSilencedHint(true);
    session->changeRoute(AudioSession::bluetoothA2DPRoute(), RouteChangeReason::newDeviceAvailable);
    EXPECT_TRUE(session->isOtherAudioPlaying());
    EXPECT_TRUE(session->secondaryAudioShouldBeSilencedHint());
    session->reset();
    EXPECT_FALSE(session->isOtherAudioPlaying());
    EXPECT_FALSE(session->secondaryAudioShouldBeSilencedHint());
    EXPECT_EQ(session->currentRoute(), AudioSession::speakerRoute());
}

}  // namespace
}  // namespace media
