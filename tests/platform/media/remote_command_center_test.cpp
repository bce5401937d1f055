#include "platform/media/remote_command_center.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/media/now_playing_info_center.h"

namespace media {
namespace {

class RemoteCommandCenterTest : public ::testing::Test {
protected:
    ~RemoteCommandCenterTest() override { RemoteCommandCenter::shared().reset(); }
    RemoteCommand& skip = RemoteCommandCenter::shared().skipForwardCommand;
};

TEST_F(RemoteCommandCenterTest, SendRunsTheHandlerAndReturnsItsStatus) {
    std::vector<double> positions;
    auto& command = RemoteCommandCenter::shared().changePlaybackPositionCommand;
    command.addTarget([&](const RemoteCommandEvent& event) {
        if (event.kind != RemoteCommandEvent::Kind::changePlaybackPosition)
            return RemoteCommandHandlerStatus::commandFailed;
        positions.push_back(event.positionTime);
        return RemoteCommandHandlerStatus::success;
    });
    EXPECT_EQ(command.send({RemoteCommandEvent::Kind::changePlaybackPosition, 0, 42.5}),
              RemoteCommandHandlerStatus::success);
    EXPECT_EQ(command.send({}), RemoteCommandHandlerStatus::commandFailed);
    EXPECT_EQ(positions, std::vector<double>{42.5});
}

TEST_F(RemoteCommandCenterTest, DisabledCommandOrNoTargetFailsWithoutRunningHandlers) {
    EXPECT_EQ(skip.send(), RemoteCommandHandlerStatus::commandFailed);
    int calls = 0;
    skip.addTarget([&](const RemoteCommandEvent&) {
        ++calls;
        return RemoteCommandHandlerStatus::success;
    });
    skip.setEnabled(false);
    EXPECT_EQ(skip.send(), RemoteCommandHandlerStatus::commandFailed);
    EXPECT_EQ(calls, 0);
    skip.setEnabled(true);
    EXPECT_EQ(skip.send(), RemoteCommandHandlerStatus::success);
    EXPECT_EQ(calls, 1);
}

TEST_F(RemoteCommandCenterTest, RemovingATokenRemovesOnlyThatTargetAndNoneRemovesAll) {
    auto first = skip.addTarget([](const RemoteCommandEvent&) { return RemoteCommandHandlerStatus::success; });
    auto second = skip.addTarget([](const RemoteCommandEvent&) { return RemoteCommandHandlerStatus::noSuchContent; });
    EXPECT_NE(first, second);
    skip.removeTarget(second);
    skip.removeTarget(second);
    EXPECT_EQ(skip.targetCount(), 1u);
    EXPECT_EQ(skip.send(), RemoteCommandHandlerStatus::success);
    skip.addTarget([](const RemoteCommandEvent&) { return RemoteCommandHandlerStatus::success; });
    skip.removeTarget(std::nullopt);
    EXPECT_EQ(skip.targetCount(), 0u);
}

TEST_F(RemoteCommandCenterTest, PreferredIntervalsAreKept) {
    skip.setPreferredIntervals({10});
    EXPECT_EQ(skip.preferredIntervals(), std::vector<double>{10});
    RemoteCommandCenter::shared().reset();
    EXPECT_TRUE(skip.preferredIntervals().empty());
    EXPECT_TRUE(skip.isEnabled());
}

TEST(NowPlayingInfoCenterTest, KeepsIntegersAndDoublesApart) {
    auto& center = NowPlayingInfoCenter::defaultCenter();
    center.setNowPlayingInfo(NowPlayingInfo{{kMediaItemPropertyTitle, std::string("Reelhaven")},
                                            {kMediaItemPropertyPlaybackDuration, std::int64_t{0}},
                                            {kNowPlayingInfoPropertyPlaybackRate, 1.0}});
    auto info = center.nowPlayingInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(std::get<std::string>(info->at(kMediaItemPropertyTitle)), "Reelhaven");
    EXPECT_TRUE(std::holds_alternative<std::int64_t>(info->at(kMediaItemPropertyPlaybackDuration)));
    EXPECT_TRUE(std::holds_alternative<double>(info->at(kNowPlayingInfoPropertyPlaybackRate)));
    EXPECT_NE(info->at(kMediaItemPropertyPlaybackDuration), NowPlayingValue{0.0});
    center.setNowPlayingInfo(std::nullopt);
    EXPECT_FALSE(center.nowPlayingInfo());
}

}  // namespace
}  // namespace media
