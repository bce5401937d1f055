#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "core/preferences.h"
#include "platform/ui/lists/table_view_header_footer_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/device.h"
#include "settings_test_support.h"
#include "toolkit/device_flag.h"

namespace reelhaven {
namespace {

// This program runs as an iPad: the idiom is set before anything reads the process-wide flag.
class PadEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ui::Device::current().setUserInterfaceIdiom(ui::UserInterfaceIdiom::pad); }
};

[[maybe_unused]] auto* const pad = ::testing::AddGlobalTestEnvironment(new PadEnvironment);

using PadSettingsTest = settings_testing::SettingsScreenTest;

TEST_F(PadSettingsTest, OnlyTheGesturesRowShowsInTheInterfaceSectionAndItsSwitchesAreLeftAlone) {
    ASSERT_TRUE(isPad());
    Preferences::shared().reduceHaptics.setWrappedValue(true);
    Preferences::shared().preferLandscape.setWrappedValue(true);
    auto settings = openSettings();
    EXPECT_EQ(settings->tableView()->numberOfItems(SettingsTableViewController::interface), 1);
    EXPECT_FALSE(settings->outlets().reduceHapticsSwitch.lock()->isOn());
    EXPECT_FALSE(settings->outlets().preferLandscapeSwitch.lock()->isOn());
    EXPECT_TRUE(settings_testing::storedDefaults().value("REDUCE_HAPTICS", false));
    EXPECT_EQ(settings->tableView()->cellForRow({SettingsTableViewController::interface, 1}), nullptr);
    ASSERT_TRUE(settings->tableView()->tapRow({SettingsTableViewController::interface, 0}));
    EXPECT_EQ(navigation->viewControllers().size(), 3u);  // the gestures screen was pushed
}

// On a pad the interface section holds one row, and its header stands as far below the playback
// rows as every header below its section.
TEST_F(PadSettingsTest, EverySectionHeaderHasTheSameGapAboveIt) {
    for (const auto& [width, height, orientation] :
         {std::tuple(820.0, 1180.0, ui::InterfaceOrientation::portrait),
          std::tuple(1180.0, 820.0, ui::InterfaceOrientation::landscapeLeft)}) {
        resizeWindow(width, height, orientation);
        auto settings = openSettings();
        const auto gaps = settings_testing::gapsAboveHeaders(*settings->tableView());
        ASSERT_EQ(gaps.size(), 3u);
        for (size_t index = 0; index < gaps.size(); ++index)
            EXPECT_DOUBLE_EQ(gaps[index], ui::TableView::groupedSectionSpacing)
                << "above section " << index + 1 << " at " << width << " x " << height;
        navigation->popViewController(false);
        settle();
    }
}

TEST_F(PadSettingsTest, SectionHeadersAndFootersLineUpWithTheirInsetRows) {
    resizeWindow(1024, 768, ui::InterfaceOrientation::landscapeLeft);
    auto settings = openSettings();
    auto table = settings->tableView();
    table->layoutIfNeeded();
    auto inWindow = [](const ui::View& view) { return ui::Rect(view.convertToWindow({0, 0}), view.bounds().size); };
    // The labels under a view, however deep.
    std::function<void(const ui::View&, std::vector<std::shared_ptr<ui::Label>>&)> collect =
        [&](const ui::View& view, std::vector<std::shared_ptr<ui::Label>>& labels) {
            for (const auto& child : view.subviews()) {
                if (auto label = std::dynamic_pointer_cast<ui::Label>(child)) labels.push_back(label);
                collect(*child, labels);
            }
        };
    auto labelsUnder = [&](const ui::View& view) {
        std::vector<std::shared_ptr<ui::Label>> labels;
        collect(view, labels);
        return labels;
    };
    auto row = table->cellForRow({SettingsTableViewController::playback, 0});
    ASSERT_NE(row, nullptr);
    const ui::Rect rowFrame = inWindow(*row);
    ASSERT_GT(rowFrame.minX(), 100) << "a pad's wide window insets the rows";
    // Where a row's title starts: its text label's frame.
    double rowText = -1;
    for (const auto& label : labelsUnder(*row))
        if (label->text() == "Languages") rowText = inWindow(*label).minX();
    ASSERT_GT(rowText, 0);
    int titles = 0;
    for (const auto& label : labelsUnder(*table)) {
        auto boundary = label->superview() ? label->superview()->superview() : nullptr;
        if (!std::dynamic_pointer_cast<ui::TableViewHeaderFooterView>(boundary) || !label->text()) continue;
        ++titles;
        const ui::Rect frame = inWindow(*label);
        EXPECT_NEAR(frame.minX(), rowText, 0.5) << *label->text() << " starts where the rows' titles do";
        EXPECT_LE(frame.maxX(), rowFrame.maxX()) << *label->text() << " ends inside the rows";
    }
    EXPECT_GE(titles, 4) << "the section headers and the footer";
}

}  // namespace
}  // namespace reelhaven
