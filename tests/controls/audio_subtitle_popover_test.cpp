#include "controls/audio_subtitle_popover_view_controller.h"

#include <gtest/gtest.h>

#include "controls/options_header_view.h"
#include "controls_test_support.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/text_attachment.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

using Strings = std::vector<std::string>;

std::vector<Track> tracks(TrackType type, int count) {
    std::vector<Track> list{Track::none(type)};
    for (int id = 1; id <= count; ++id) list.push_back({type, id, "Track " + std::to_string(id)});
    return list;
}

class AudioSubtitlePopoverTest : public controls_testing::PopoverTest {
protected:
    std::shared_ptr<controls_testing::RecordingOptionsDelegate> mpv =
        std::make_shared<controls_testing::RecordingOptionsDelegate>();
    PlaybackInfoPtr info = controls_testing::makePlaybackInfo();
    std::shared_ptr<AudioSubtitlePopoverViewController> popover;

    void SetUp() override {
        PopoverTest::SetUp();
        info->setTracks({}, tracks(TrackType::audio, 2), tracks(TrackType::subtitle, 2));
        info->setActiveAudioTrack(info->audioTracks()[1]);
        info->setActiveSubtitleTrack(info->subtitleTracks()[0]);
    }
    void present(std::optional<double> maxHeight = std::nullopt) {
        popover = AudioSubtitlePopoverViewController::create();
        popover->setPlaybackInfo(info);
        popover->setOptionsDelegate(mpv);
        popover->setMaxHeight(maxHeight);
        player->present(popover, false);
    }
    std::shared_ptr<ui::TableViewCell> cell(int section, int row) {
        return popover->tableView()->cellForRow({section, row});
    }
    Strings checks(int section) {
        Strings marked;
        for (int row = 0; row < popover->tableView()->numberOfItems(section); ++row) {
            auto shown = cell(section, row);
            if (shown && shown->accessoryType() == ui::TableViewCellAccessoryType::checkmark) {
                marked.push_back(std::to_string(row));
            }
        }
        return marked;
    }
};

TEST_F(AudioSubtitlePopoverTest, AVideoWithoutStreamsShowsTwoNoneRows) {
    info->setTracks({}, tracks(TrackType::audio, 0), tracks(TrackType::subtitle, 0));
    present();
    EXPECT_EQ(popover->preferredContentSize(), ui::Size(350, 164));
    EXPECT_EQ(popover->tableView()->numberOfSections(), 2);
    EXPECT_EQ(cell(0, 0)->textLabel()->text(), "None");
    EXPECT_EQ(cell(1, 0)->textLabel()->textColor(), ui::Color::lightGray());
    auto header = std::dynamic_pointer_cast<OptionsTableHeaderView>(popover->tableView()->headerView(1));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->title(), "Subtitles");
    EXPECT_EQ(header->label()->text(), "Subtitles");
}

TEST_F(AudioSubtitlePopoverTest, SectionHeadersAreDequeuedUnderHeaderAndReused) {
    present();
    auto table = popover->tableView();
    auto audio = std::dynamic_pointer_cast<OptionsTableHeaderView>(table->headerView(0));
    auto subtitles = std::dynamic_pointer_cast<OptionsTableHeaderView>(table->headerView(1));
    ASSERT_TRUE(audio && subtitles);
    EXPECT_EQ(audio->reuseIdentifier(), "header");
    table->reloadData();
    auto again = std::dynamic_pointer_cast<OptionsTableHeaderView>(table->headerView(0));
    ASSERT_TRUE(again);
    // The plates come back from the reuse queue, titled for where they now stand.
    EXPECT_TRUE(again == audio || again == subtitles);
    EXPECT_EQ(again->reuseCount(), 1);
    EXPECT_EQ(again->title(), "Audio");
    EXPECT_EQ(std::dynamic_pointer_cast<OptionsTableHeaderView>(table->headerView(1))->label()->text(), "Subtitles");
}

TEST_F(AudioSubtitlePopoverTest, ManyTracksAreClampedToTheLimitOrTheRoomGiven) {
    info->setTracks({}, tracks(TrackType::audio, 9), tracks(TrackType::subtitle, 9));
    present();
    EXPECT_EQ(popover->preferredContentSize(), ui::Size(350, 340));
    player->dismiss(false);
    present(200);
    EXPECT_EQ(popover->preferredContentSize().height, 200);
    player->dismiss(false);
    present(500);
    EXPECT_EQ(popover->preferredContentSize().height, 340);
}

TEST_F(AudioSubtitlePopoverTest, RowsShowTheirSymbolTitleAndTheTrackInUse) {
    present();
    auto text = cell(0, 1)->textLabel()->attributedText();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string().substr(text->string().size() - 9), "  Track 1");
    auto attachment = std::any_cast<std::shared_ptr<ui::TextAttachment>>(
        text->runs().front().attributes.at(ui::AttributedStringKey::attachment()));
    EXPECT_EQ(attachment->image()->symbolName(), "speaker.1");
    EXPECT_EQ(cell(0, 1)->textLabel()->textColor(), ui::Color::white());
    EXPECT_EQ(cell(0, 1)->selectedBackgroundView()->alpha(), 0.2);
    EXPECT_EQ(checks(0), Strings{"1"});
    EXPECT_EQ(checks(1), Strings{"0"});
    EXPECT_EQ(popover->tableView()->separatorStyle(), ui::TableViewCellSeparatorStyle::none);
    EXPECT_EQ(popover->tableView()->sectionHeaderTopPadding(), 0.0);
}

TEST_F(AudioSubtitlePopoverTest, PickingATrackAsksThePlayerAndMovesTheCheckMark) {
    present();
    popover->tableView()->tapRow({1, 2});
    EXPECT_EQ(mpv->calls, Strings{"selectTrack sub 2"});
    EXPECT_EQ(checks(1), Strings{"2"});
    EXPECT_TRUE(popover->tableView()->selectedIndexPaths().empty());
    popover->tableView()->tapRow({0, 1});  // the track already in use
    EXPECT_EQ(mpv->calls.back(), "selectTrack audio 1");
    EXPECT_EQ(checks(0), Strings{"1"});
}

TEST_F(AudioSubtitlePopoverTest, NoneTurnsSubtitlesOff) {
    info->setActiveSubtitleTrack(info->subtitleTracks()[2]);
    present();
    popover->tableView()->tapRow({1, 0});
    EXPECT_EQ(mpv->calls, Strings{"selectTrack sub -1"});
    EXPECT_EQ(checks(1), Strings{"0"});
}

TEST_F(AudioSubtitlePopoverTest, WithThePlayerGoneTheCheckMarkStays) {
    present();
    mpv.reset();
    popover->tableView()->tapRow({0, 2});
    EXPECT_EQ(checks(0), Strings{"1"});
}

TEST_F(AudioSubtitlePopoverTest, TheScrollPositionReturnsAndTheOtherButtonsDim) {
    present();
    auto options = player->controls->bottomControlView()->optionsButton();
    EXPECT_EQ(options->tintColor(), ui::Color::gray());
    popover->tableView()->setContentOffset({0, 30});
    player->dismiss(false);
    EXPECT_EQ(options->tintColor(), ui::Color::white());
    EXPECT_EQ(info->audioSubtitleScrollPosition(), ui::Point(0, 30));
    present();
    EXPECT_EQ(popover->tableView()->contentOffset(), ui::Point(0, 30));
}

TEST_F(AudioSubtitlePopoverTest, BeforeVersion15TheHeaderPaddingIsTheSystems) {
    ui::ScopedPlatformVersion version({14, 0, 0});
    present();
    EXPECT_EQ(popover->tableView()->sectionHeaderTopPadding(), std::nullopt);
}

}  // namespace
}  // namespace reelhaven
