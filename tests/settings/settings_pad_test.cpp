#include <gtest/gtest.h>

#include "core/preferences.h"
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

}  // namespace
}  // namespace reelhaven
