#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "controls/option_rows.h"
#include "controls/options_header_view.h"
#include "controls/options_item_cell.h"
#include "controls/options_popover_view_controller.h"
#include "controls_test_support.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/gestures/finger.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

using Strings = std::vector<std::string>;

std::vector<std::string> titles(const OptionSections& sections) {
    std::vector<std::string> result;
    for (const auto& [section, rows] : sections) result.emplace_back(rawValue(section));
    return result;
}

const std::vector<OptionsItem>& rowsOf(const OptionSections& sections, OptionsSection wanted) {
    for (const auto& [section, rows] : sections) {
        if (section == wanted) return rows;
    }
    static const std::vector<OptionsItem> none;
    return none;
}

std::vector<std::string> rowTitles(const std::vector<OptionsItem>& rows) {
    std::vector<std::string> result;
    for (const auto& row : rows) result.push_back(row.title.value_or("<none>"));
    return result;
}

class OptionsPopoverTest : public controls_testing::PopoverTest {
protected:
    std::shared_ptr<controls_testing::RecordingOptionsDelegate> mpv =
        std::make_shared<controls_testing::RecordingOptionsDelegate>();
    PlaybackInfoPtr info = controls_testing::makePlaybackInfo();
    std::shared_ptr<OptionsPopoverViewController> popover;

    void SetUp() override {
        PopoverTest::SetUp();
        OptionsPopoverViewController::expansionState().clear();
        setSubtitles(true);
        popover = makePopover();
    }
    void setSubtitles(bool has) {
        std::vector<Track> subtitles{Track::none(TrackType::subtitle)};
        if (has) subtitles.push_back({TrackType::subtitle, 1, "English"});
        info->setTracks({}, {Track::none(TrackType::audio)}, subtitles);
    }
    std::shared_ptr<OptionsPopoverViewController> makePopover(std::optional<double> maxHeight = std::nullopt) {
        auto made = OptionsPopoverViewController::create();
        made->setPlaybackInfo(info);
        made->setOptionsDelegate(mpv);
        made->setMaxHeight(maxHeight);
        return made;
    }
    void present(const std::shared_ptr<OptionsPopoverViewController>& shown) { player->present(shown, false); }

    // A finger on `control` at `local` in its own coordinates. The control is one made from the
    // row's record as a cell makes it, not the one in the shown popover: it is put on top of the
    // window at its own size for the touch, so the touch goes through the window's hit-testing
    // and the control's own tracking, but not through the popover's list and its scrolling.
    void touch(const std::shared_ptr<ui::Control>& control, std::function<ui::Point(const ui::Control&)> local) {
        control->setFrame(ui::Rect({20, 200}, control->intrinsicContentSize()));
        window->addSubview(control);
        const ui::Point at = control->convertToWindow(local(*control));
        ui::Finger finger(window);
        finger.down(at);
        finger.up(at);
        control->removeFromSuperview();
    }
    void step(const std::shared_ptr<ui::Stepper>& stepper, ui::Stepper::Half half) {
        touch(stepper,
              [half](const ui::Control& c) { return static_cast<const ui::Stepper&>(c).halfFrame(half).center(); });
    }
    void chooseSegment(const std::shared_ptr<ui::SegmentedControl>& segments, int index) {
        touch(segments, [index](const ui::Control& c) {
            return static_cast<const ui::SegmentedControl&>(c).segmentFrame(index).center();
        });
    }
    void close() { player->dismiss(false); }

    // A control of the row's type made and set up as a cell would.
    template <typename Control>
    std::shared_ptr<Control> made(const OptionsControl& record) {
        std::shared_ptr<Control> control;
        if constexpr (std::is_same_v<Control, ui::Button>) {
            control = ui::Button::create(ui::ButtonType::custom);
        } else {
            control = Control::create();
        }
        record.configuration(control);
        return control;
    }
    std::shared_ptr<OptionsItemCell> cellTitled(const std::string& title) {
        for (const auto& cell : popover->collectionView()->visibleCells()) {
            auto options = std::dynamic_pointer_cast<OptionsItemCell>(cell);
            if (options && options->setting() && options->setting()->title == title) return options;
        }
        return nullptr;
    }
    void tapRow(const std::string& title) {
        auto cell = cellTitled(title);
        ASSERT_TRUE(cell) << title;
        popover->collectionView()->tapItem(*popover->collectionView()->indexPathFor(*cell));
    }
    std::vector<std::string> shownTitles() { return rowTitles(popover->dataSource()->snapshot().itemIdentifiers()); }
};

TEST_F(OptionsPopoverTest, TheSizeSliderMapsBothHalvesToScales) {
    EXPECT_DOUBLE_EQ(OptionsControls::subtitleScale(0), 1.0);
    EXPECT_DOUBLE_EQ(OptionsControls::subtitleScale(1.5f), 2.5);
    EXPECT_DOUBLE_EQ(OptionsControls::subtitleScale(-1.5f), 0.4);
    EXPECT_DOUBLE_EQ(OptionsControls::subtitleScale(0.25f), 1.26);
    EXPECT_DOUBLE_EQ(OptionsControls::subtitleScale(-0.5f), 1 / 1.5);
    EXPECT_FLOAT_EQ(OptionsControls::subtitleScaleSliderValue(0.5), -1.0f);
    EXPECT_FLOAT_EQ(OptionsControls::subtitleScaleSliderValue(2.0), 1.0f);
    EXPECT_FLOAT_EQ(OptionsControls::subtitleScaleSliderValue(1.0), 0.0f);
}

TEST_F(OptionsPopoverTest, MovingTheSizeSliderStoresTheScaleThenWritesIt) {
    present(popover);
    Preferences::shared().subtitleScale.setWrappedValue(0.5);
    auto slider = made<ui::Slider>(popover->controls()->subtitleScaleSlider());
    EXPECT_FLOAT_EQ(slider->value(), -1.0f);
    EXPECT_EQ(slider->minimumValue(), -1.5f);
    EXPECT_EQ(slider->maximumValue(), 1.5f);
    slider->setValue(0.25f);
    slider->sendActions(ui::valueChanged);
    EXPECT_DOUBLE_EQ(Preferences::shared().subtitleScale.wrappedValue(), 1.26);
    EXPECT_EQ(mpv->calls, Strings{"double sub-scale 1.26"});
}

TEST_F(OptionsPopoverTest, SliderResetsRestoreTheDefaultsThroughTheIntegerSetter) {
    present(popover);
    Preferences::shared().subtitleScale.setWrappedValue(2.0);
    Preferences::shared().subtitlePosition.setWrappedValue(40);
    EXPECT_EQ(popover->controls()->subtitleScaleSlider().reset(), 0.0f);
    EXPECT_EQ(popover->controls()->subtitlePositionSlider().reset(), 100.0f);
    EXPECT_EQ(Preferences::shared().subtitleScale.wrappedValue(), 1.0);
    EXPECT_EQ(Preferences::shared().subtitlePosition.wrappedValue(), 100);
    EXPECT_EQ(mpv->calls, (Strings{"int sub-scale 1", "int sub-pos 100"}));
}

TEST_F(OptionsPopoverTest, ThePositionSliderStoresWholePositions) {
    present(popover);
    auto slider = made<ui::Slider>(popover->controls()->subtitlePositionSlider());
    EXPECT_EQ(slider->value(), 100);
    slider->setValue(37.9f);
    slider->sendActions(ui::valueChanged);
    EXPECT_EQ(Preferences::shared().subtitlePosition.wrappedValue(), 37);
    EXPECT_EQ(mpv->calls, Strings{"int sub-pos 37"});
}

TEST_F(OptionsPopoverTest, TheShadowSwitchWritesOffsetAndColourEitherWay) {
    present(popover);
    auto shadow = made<ui::Switch>(popover->controls()->subtitleShadowSwitch());
    EXPECT_FALSE(shadow->isOn());
    shadow->tap();
    shadow->tap();
    EXPECT_FALSE(Preferences::shared().subtitleShadow.wrappedValue());
    EXPECT_EQ(mpv->calls, (Strings{"double sub-shadow-offset 1.5", "string sub-shadow-color #33000000",
                                   "double sub-shadow-offset 0.0", "string sub-shadow-color #33000000"}));
}

TEST_F(OptionsPopoverTest, TheAppearanceResetStoresWritesThenUpdatesThePlayer) {
    present(popover);
    Preferences::shared().subtitleShadow.setWrappedValue(true);
    Preferences::shared().subtitleFont.setWrappedValue("Inter-Bold");
    Preferences::shared().subtitleBorderSize.setWrappedValue(0.5);
    made<ui::Button>(popover->controls()->subtitleResetButton())->tap();
    EXPECT_FALSE(Preferences::shared().subtitleShadow.wrappedValue());
    EXPECT_EQ(Preferences::shared().subtitleFont.wrappedValue(), "sans-serif");
    EXPECT_EQ(Preferences::shared().subtitleBorderSize.wrappedValue(), 3.0);
    EXPECT_EQ(mpv->calls, (Strings{"double sub-border-size 3.0", "double sub-shadow-offset 0.0",
                                   "string sub-shadow-color #33000000"}));
    EXPECT_EQ(player->calls, (Strings{"updateSubtitlePosition", "updateSubtitleFont"}));
}

TEST_F(OptionsPopoverTest, WithThePlayerGoneOnlyTheSettingsChange) {
    popover->loadViewIfNeeded();  // not presented by a player
    mpv.reset();
    Preferences::shared().subtitleBorderSize.setWrappedValue(0.5);
    popover->controls()->resetSubtitleAppearance();
    made<ui::Switch>(popover->controls()->loopSwitch())->tap();
    EXPECT_EQ(Preferences::shared().subtitleBorderSize.wrappedValue(), 3.0);
    EXPECT_EQ(info->loop(), true);
    EXPECT_TRUE(player->calls.empty());
}

TEST_F(OptionsPopoverTest, SkipSegmentsShowTenForOtherIntervalsAndRefreshThePlayersIcons) {
    present(popover);
    Preferences::shared().skipInterval.setWrappedValue("20");
    auto segments = made<ui::SegmentedControl>(popover->controls()->skipIntervalsSegmentedControl());
    EXPECT_EQ(segments->numberOfSegments(), 4);
    EXPECT_EQ(segments->titleForSegment(0), "5");
    EXPECT_EQ(segments->selectedSegmentIndex(), 1);
    chooseSegment(segments, 3);
    EXPECT_EQ(Preferences::shared().skipInterval.wrappedValue(), "30");
    EXPECT_EQ(player->controls->bottomControlView()->skipForwardButton()->image(ui::normal)->symbolName(),
              "goforward.30");
    chooseSegment(segments, 0);
    EXPECT_EQ(Preferences::shared().skipInterval.wrappedValue(), "5");
    EXPECT_TRUE(mpv->calls.empty());
}

TEST_F(OptionsPopoverTest, VolumeSegmentsTreatOtherVolumesAsNormal) {
    present(popover);
    info->setVolume(75);
    auto segments = made<ui::SegmentedControl>(popover->controls()->volumeSegmentedControl());
    EXPECT_EQ(segments->selectedSegmentIndex(), 1);
    EXPECT_EQ(segments->titleForSegment(2), "Higher");
    chooseSegment(segments, 0);
    chooseSegment(segments, 1);
    EXPECT_EQ(info->volume(), 100);
    EXPECT_EQ(mpv->calls, (Strings{"int volume 50", "int volume 100"}));
    info->setVolume(150);
    EXPECT_EQ(made<ui::SegmentedControl>(popover->controls()->volumeSegmentedControl())->selectedSegmentIndex(), 2);
}

TEST_F(OptionsPopoverTest, TheSpeedStepperStartsRoundedAndStoresWhatItReads) {
    present(popover);
    info->setPlaybackSpeed(1.25);
    auto stepper = made<ui::Stepper>(popover->controls()->playbackSpeedStepper());
    EXPECT_DOUBLE_EQ(stepper->value(), 1.2);
    EXPECT_DOUBLE_EQ(stepper->minimumValue(), 0.1);
    EXPECT_DOUBLE_EQ(stepper->maximumValue(), 4.0);
    step(stepper, ui::Stepper::Half::plus);
    EXPECT_EQ(info->playbackSpeed(), stepper->value());
    EXPECT_EQ(mpv->calls.size(), 1u);
    EXPECT_EQ(mpv->calls[0].rfind("double speed 1.3", 0), 0u);
}

TEST_F(OptionsPopoverTest, SwitchesStoreAndWriteTheirProperties) {
    present(popover);
    made<ui::Switch>(popover->controls()->loopSwitch())->tap();
    made<ui::Switch>(popover->controls()->deinterlaceSwitch())->tap();
    made<ui::Switch>(popover->controls()->highQualityVideoSwitch())->tap();
    made<ui::Switch>(popover->controls()->continuousPlaybackSwitch())->tap();
    step(made<ui::Stepper>(popover->controls()->subtitleDelayStepper()), ui::Stepper::Half::minus);
    step(made<ui::Stepper>(popover->controls()->subtitleBorderSizeStepper()), ui::Stepper::Half::plus);
    EXPECT_EQ(info->loop(), true);
    EXPECT_EQ(info->deinterlace(), true);
    EXPECT_TRUE(Preferences::shared().highQualityVideo.wrappedValue());
    EXPECT_TRUE(Preferences::shared().continuousPlayback.wrappedValue());
    EXPECT_EQ(Preferences::shared().subtitleDelay.wrappedValue(), -0.5);
    EXPECT_EQ(mpv->calls, (Strings{"string loop-file inf", "flag deinterlace true", "highQuality true",
                                   "double sub-delay -0.5", "double sub-border-size 3.5"}));
}

TEST_F(OptionsPopoverTest, TheAutomaticPositionSwitchAddsTheManualRowThenUpdatesThePlayer) {
    OptionsPopoverViewController::expansionState()[OptionsRowKind::subtitlePosition] = true;
    present(popover);
    EXPECT_EQ(rowTitles(rowsOf(popover->sectionItems(), OptionsSection::subtitles)[1].subitems),
              Strings{"Auto-Adjust"});
    auto automatic = cellTitled("Auto-Adjust");
    ASSERT_TRUE(automatic);
    automatic->control()->tap();
    EXPECT_FALSE(Preferences::shared().subtitlePositionAuto.wrappedValue());
    const auto shown = shownTitles();
    auto at = std::find(shown.begin(), shown.end(), "Auto-Adjust");
    ASSERT_NE(at, shown.end());
    EXPECT_EQ(*(at + 1), "Manual");
    EXPECT_EQ(player->calls, Strings{"updateSubtitlePosition"});
}

TEST_F(OptionsPopoverTest, AVideoWithoutSubtitlesHasFourSections) {
    setSubtitles(false);
    present(popover);
    EXPECT_EQ(titles(popover->sectionItems()), (Strings{"Playback", "Video", "Interface", "Audio"}));
    auto header =
        popover->collectionView()->visibleSupplementaryView(OptionsPopoverViewController::sectionHeaderElementKind, 3);
    ASSERT_TRUE(header);
    EXPECT_EQ(std::dynamic_pointer_cast<OptionsHeaderView>(header)->label()->text(), "Audio");
}

TEST_F(OptionsPopoverTest, RowsFollowInterlacingTheDeviceAndExpansion) {
    std::map<OptionsRowKind, bool> expansion{{OptionsRowKind::subtitleAppearance, true}};
    OptionRowsState state;
    state.expansion = &expansion;
    auto rows = makeOptionRows(*info, *popover->controls(), state);
    EXPECT_EQ(titles(rows), (Strings{"Playback", "Video", "Interface", "Subtitles", "Audio"}));
    EXPECT_EQ(rowTitles(rowsOf(rows, OptionsSection::video)), Strings{"High Quality Video"});
    EXPECT_EQ(rowTitles(rowsOf(rows, OptionsSection::interface)), (Strings{"Skip Interval", "Prefer Landscape"}));
    const auto& subtitles = rowsOf(rows, OptionsSection::subtitles);
    EXPECT_EQ(rowTitles(subtitles), (Strings{"Size", "Position", "Delay", "Appearance"}));
    EXPECT_FALSE(subtitles[1].isExpanded);
    EXPECT_TRUE(subtitles[3].isExpanded);
    EXPECT_EQ(rowTitles(subtitles[3].subitems), (Strings{"Font", "Border Size", "Shadow", ""}));
    EXPECT_EQ(subtitles[3].subitems[0].segue, "font");
    EXPECT_EQ(subtitles[3].subitems[1].indentLevel, 1);
    EXPECT_EQ(subtitles[3].subtitle, "For subtitles without embedded styles");

    state.isInterlaced = true;
    state.isPad = true;
    rows = makeOptionRows(*info, *popover->controls(), state);
    EXPECT_EQ(rowTitles(rowsOf(rows, OptionsSection::video)), (Strings{"High Quality Video", "Deinterlacing"}));
    EXPECT_EQ(rowTitles(rowsOf(rows, OptionsSection::interface)), Strings{"Skip Interval"});
    EXPECT_EQ(optionsRowKind(""), OptionsRowKind::subtitleReset);
}

TEST_F(OptionsPopoverTest, ExpansionLastsAcrossPopoversAndVideos) {
    present(popover);
    tapRow("Appearance");
    EXPECT_TRUE(OptionsPopoverViewController::expansionState()[OptionsRowKind::subtitleAppearance]);
    auto shown = shownTitles();
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Border Size"), shown.end());
    EXPECT_EQ(cellTitled("Appearance")->chevronImageView()->transform(), ui::AffineTransform::rotation(M_PI / 2));
    close();
    info = controls_testing::makePlaybackInfo(controls_testing::makeVideo("other.mkv"));
    setSubtitles(true);
    popover = makePopover();
    present(popover);
    shown = shownTitles();
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Shadow"), shown.end());
    tapRow("Appearance");
    shown = shownTitles();
    EXPECT_EQ(std::find(shown.begin(), shown.end(), "Shadow"), shown.end());
}

TEST_F(OptionsPopoverTest, SelectingAPlainRowOnlyDeselectsIt) {
    present(popover);
    const auto before = shownTitles();
    tapRow("File Loop");
    EXPECT_TRUE(popover->collectionView()->selectedIndexPaths().empty());
    EXPECT_EQ(shownTitles(), before);
    EXPECT_FALSE(popover->presentedViewController());
}

TEST_F(OptionsPopoverTest, TheFontRowOpensThePickerWhosePickIsStored) {
    OptionsPopoverViewController::expansionState()[OptionsRowKind::subtitleAppearance] = true;
    present(popover);
    tapRow("Font");
    auto picker = std::dynamic_pointer_cast<ui::FontPickerViewController>(popover->presentedViewController());
    ASSERT_TRUE(picker);
    EXPECT_TRUE(picker->configuration().includeFaces);
    picker->cancel();
    EXPECT_EQ(Preferences::shared().subtitleFont.wrappedValue(), "sans-serif");
    picker->pick(ui::FontDescriptor("Inter-SemiBold", 12));
    loop.advanceSeconds(1);
    EXPECT_EQ(Preferences::shared().subtitleFont.wrappedValue(), "Inter-SemiBold");
    EXPECT_EQ(player->calls, Strings{"updateSubtitleFont"});
    EXPECT_FALSE(popover->presentedViewController());
    auto fontButton = std::dynamic_pointer_cast<ui::Button>(cellTitled("Font")->control());
    EXPECT_EQ(fontButton->title(ui::normal), "Inter-SemiBold");
}

TEST_F(OptionsPopoverTest, ThePopoverIsAsHighAsItsContentUnderTheCaps) {
    OptionsPopoverViewController::expansionState()[OptionsRowKind::subtitleAppearance] = true;
    present(popover);
    const double content = popover->collectionView()->contentSize().height;
    EXPECT_GT(content, 500);
    EXPECT_EQ(popover->preferredContentSize(), ui::Size(350, 400));
    close();
    for (auto [maxHeight, expected] : {std::pair<double, double>{300, 300}, {500, 400}}) {
        popover = makePopover(maxHeight);
        present(popover);
        EXPECT_EQ(popover->preferredContentSize(), ui::Size(350, expected)) << maxHeight;
        close();
    }
}

TEST_F(OptionsPopoverTest, TheScrollPositionReturnsForTheSameVideo) {
    present(popover);
    EXPECT_EQ(popover->collectionView()->contentOffset(), ui::Point(0, 0));
    popover->collectionView()->setContentOffset({0, 120});
    close();
    EXPECT_EQ(info->optionsScrollPosition(), ui::Point(0, 120));
    popover = makePopover();
    present(popover);
    EXPECT_EQ(popover->collectionView()->contentOffset(), ui::Point(0, 120));
}

TEST_F(OptionsPopoverTest, NoRowShowsInTheMarginAboveAPinnedHeadersPlate) {
    // Scrolled a point at a time through the whole list: wherever a header is pinned at the top,
    // its grey plate starts at the list's top edge, so no row passing under it shows above it.
    OptionsPopoverViewController::expansionState()[OptionsRowKind::subtitleAppearance] = true;
    present(popover);
    popover->view()->setFrame(ui::Rect({0, 0}, popover->preferredContentSize()));  // as a popover shows it
    popover->view()->layoutIfNeeded();
    auto list = popover->collectionView();
    const double end = list->contentSize().height - list->bounds().height();
    ASSERT_GT(end, 200);
    int rowsUnderAPinnedHeader = 0;
    std::vector<std::string> shown;  // what showed where it should not
    for (double offset = 0; offset <= end; ++offset) {
        list->setContentOffset({0, offset});
        list->layoutIfNeeded();
        std::vector<std::shared_ptr<OptionsHeaderView>> headers;
        for (const auto& view : list->subviews()) {
            auto header = std::dynamic_pointer_cast<OptionsHeaderView>(view);
            if (header && !header->isHidden()) headers.push_back(header);
        }
        for (const auto& header : headers) {
            const ui::Rect frame = header->frame();
            if (frame.minY() > offset || frame.maxY() <= offset) continue;  // not at the top
            const double plateTop = frame.minY() + header->innerContainer()->frame().minY();
            // Only the next section's header, pushing it out, cuts a pinned plate.
            const bool pushed = std::any_of(headers.begin(), headers.end(), [&](const auto& next) {
                return std::abs(next->frame().minY() - frame.maxY()) < 0.5;
            });
            if (plateTop < offset && !pushed)
                shown.push_back("a cut plate at " + std::to_string(static_cast<int>(offset)));
            for (const auto& other : list->subviews()) {
                auto cell = std::dynamic_pointer_cast<OptionsItemCell>(other);
                if (!cell || cell->isHidden() || cell->frame().maxY() <= offset) continue;
                if (cell->frame().minY() < frame.maxY() - OptionsHeaderView::plateInset) ++rowsUnderAPinnedHeader;
                if (std::max(cell->frame().minY(), offset) < plateTop)
                    shown.push_back("a row above the " + header->title().value_or("") + " plate at " +
                                    std::to_string(static_cast<int>(offset)));
            }
        }
    }
    EXPECT_GT(rowsUnderAPinnedHeader, 0);  // the walk reached rows scrolling under pinned headers
    EXPECT_TRUE(shown.empty()) << shown.size() << " times, first " << shown.front();
}

TEST_F(OptionsPopoverTest, TheOtherPopoverButtonsAreGreyWhileItShows) {
    auto bar = player->controls->bottomControlView();
    auto videoMenu = player->controls->topControlView()->videoMenuButtonView()->button();
    present(popover);
    EXPECT_EQ(bar->audioSubtitlesButton()->tintColor(), ui::Color::gray());
    EXPECT_EQ(videoMenu->tintColor(), ui::Color::gray());
    EXPECT_EQ(bar->optionsButton()->tintColor(), ui::Color::white());
    close();
    EXPECT_EQ(bar->audioSubtitlesButton()->tintColor(), ui::Color::white());
    EXPECT_EQ(videoMenu->tintColor(), ui::Color::white());
}

TEST_F(OptionsPopoverTest, TheSpeedRowShowsEachNewSpeed) {
    present(popover);
    auto speed = cellTitled("Speed");
    ASSERT_TRUE(speed);
    EXPECT_EQ(speed->valueLabel()->attributedText()->string(), "1\xC3\x97");
    info->setPlaybackSpeed(1.5);
    EXPECT_EQ(speed->valueLabel()->attributedText()->string(), "1.5\xC3\x97");
}

}  // namespace
}  // namespace reelhaven
