#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "core/preferences.h"
#include "platform/base/log.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/text/label.h"
#include "settings/gesture_settings_view_controller.h"
#include "settings/new_settings_view_controller.h"
#include "settings_test_support.h"

namespace reelhaven {
namespace {

using Strings = std::vector<std::string>;
using Gesture = GestureSettingsViewController::Gesture;

class GestureSettingsTest : public settings_testing::SettingsScreenTest {
protected:
    std::shared_ptr<GestureSettingsViewController> openGestures() {
        auto settings = openSettings();
        settings->tableView()->tapRow({SettingsTableViewController::interface, 0});
        settle();
        auto gestures = std::dynamic_pointer_cast<GestureSettingsViewController>(navigation->topViewController());
        if (gestures) {
            gestures->collectionView()->layoutIfNeeded();
        }
        return gestures;
    }
    static std::shared_ptr<ui::CollectionViewCell> row(GestureSettingsViewController& screen, int item) {
        return screen.collectionView()->cellAt({0, item});
    }
    static std::shared_ptr<ui::Switch> toggle(GestureSettingsViewController& screen, int item) {
        auto cell = row(screen, item);
        if (!cell || cell->accessories().empty()) return nullptr;
        return std::dynamic_pointer_cast<ui::Switch>(cell->accessories().front().view);
    }
};

TEST_F(GestureSettingsTest, RowsComeInTheirOwnOrderWithTitlesAndSubtitles) {
    auto gestures = openGestures();
    ASSERT_TRUE(gestures);
    EXPECT_EQ(gestures->navigationItem()->title(), "Gestures");
    ASSERT_EQ(gestures->collectionView()->numberOfItems(0), 5);
    Strings titles, subtitles;
    for (int item = 0; item < 5; ++item) {
        auto cell = row(*gestures, item);
        ASSERT_TRUE(cell && cell->contentConfiguration());
        titles.push_back(cell->contentConfiguration()->text.value_or(""));
        subtitles.push_back(cell->contentConfiguration()->secondaryText.value_or(""));
        EXPECT_EQ(cell->backgroundColorConfiguration(), ui::Color::systemGray5());
    }
    EXPECT_EQ(titles, (Strings{"Seek", "Play or Pause", "Volume", "Brightness", "Change aspect ratio"}));
    EXPECT_EQ(subtitles, (Strings{"Swipe left or right", "Tap with two fingers", "Swipe up or down on the right edge",
                                  "Swipe up or down on the left edge", "Pinch with two fingers"}));
    EXPECT_EQ(gestures->collectionView()->backgroundColor(), ui::Color::systemGray6());
}

TEST_F(GestureSettingsTest, EachSwitchWritesItsKeyAtOnceAndTheScreenShowsItNextTime) {
    Preferences::shared().brightnessGestures.setWrappedValue(false);
    auto gestures = openGestures();
    const std::vector<std::pair<int, std::string>> rows{
        {0, "SEEK_GESTURES"}, {1, "PLAY_PAUSE_TAP_GESTURES"}, {2, "VOLUME_GESTURES"}, {3, "BRIGHTNESS_GESTURES"}};
    ASSERT_TRUE(toggle(*gestures, 3));
    EXPECT_FALSE(toggle(*gestures, 3)->isOn());
    for (const auto& [item, key] : rows) {
        auto control = toggle(*gestures, item);
        ASSERT_TRUE(control) << key;
        const bool was = control->isOn();
        control->tap();
        EXPECT_EQ(settings_testing::storedDefaults().value(key, was), !was) << key;
    }
    navigation->popViewController(false);
    gestures = openGestures();
    EXPECT_FALSE(toggle(*gestures, 2)->isOn());  // volume, turned off above
    EXPECT_TRUE(toggle(*gestures, 3)->isOn());
}

TEST_F(GestureSettingsTest, TheAspectRatioRowHasNoVisibleSwitchAndStoresNothing) {
    auto gestures = openGestures();
    auto cell = row(*gestures, 4);
    ASSERT_EQ(cell->accessories().size(), 1u);
    EXPECT_TRUE(cell->accessories().front().isHidden);
    auto control = toggle(*gestures, 4);
    ASSERT_TRUE(control);
    EXPECT_TRUE(control->isOn());
    const auto before = settings_testing::storedDefaults();
    control->tap();
    EXPECT_EQ(settings_testing::storedDefaults(), before);
    for (int item = 0; item < 4; ++item) EXPECT_FALSE(row(*gestures, item)->accessories().front().isHidden);
}

TEST_F(GestureSettingsTest, AValueChangeFromAnotherControlIsIgnored) {
    auto gestures = openGestures();
    const auto before = settings_testing::storedDefaults();
    auto button = ui::Control::create();
    gestures->switchChanged(*button, GestureSettingsViewController::items()[0]);
    EXPECT_EQ(settings_testing::storedDefaults(), before);
}

TEST_F(GestureSettingsTest, EachRowKeepsItsTextsAndSwitchInsideWithNothingUndecided) {
    std::vector<std::string> warnings;
    base::ScopedLogSink sink([&](base::LogLevel, std::string_view category, std::string_view message) {
        if (category == "layout") warnings.emplace_back(message);
    });
    auto gestures = openGestures();
    ASSERT_TRUE(gestures);
    for (const auto& [width, height, orientation] :
         {std::tuple(390.0, 844.0, ui::InterfaceOrientation::portrait),
          std::tuple(844.0, 390.0, ui::InterfaceOrientation::landscapeRight)}) {
        resizeWindow(width, height, orientation);
        gestures->collectionView()->layoutIfNeeded();
        for (int item = 0; item < 5; ++item) {
            auto cell = row(*gestures, item);
            ASSERT_TRUE(cell) << item;
            const ui::Rect bounds = cell->bounds();
            std::vector<ui::Rect> texts;
            // The texts and the switch a person sees in the row (hidden ones and those under a
            // hidden view do not show): inside the row, the texts apart from each other.
            std::function<void(const ui::View&)> visit = [&](const ui::View& view) {
                if (view.isHidden()) return;
                const auto* label = dynamic_cast<const ui::Label*>(&view);
                if (label || dynamic_cast<const ui::Switch*>(&view)) {
                    const ui::Rect frame = view.convert(view.bounds(), cell.get());
                    EXPECT_TRUE(bounds.intersection(frame) == frame)
                        << "row " << item << " at " << width << ": " << view.layoutItemName() << " leaves the row";
                    if (label) {
                        for (const auto& other : texts) {
                            const ui::Rect common = frame.intersection(other);
                            EXPECT_TRUE(common.isNull() || common.size.width <= 0 || common.size.height <= 0)
                                << "row " << item << " at " << width << ": the texts cover each other";
                        }
                        texts.push_back(frame);
                    }
                }
                for (const auto& child : view.subviews()) visit(*child);
            };
            visit(*cell);
            EXPECT_EQ(texts.size(), 2u) << "row " << item << ": the title and the subtitle";
        }
    }
    for (const auto& line : warnings) EXPECT_FALSE(line.starts_with("Ambiguous layout")) << line;
}

TEST_F(GestureSettingsTest, MarginsGoToTheCollectionView) {
    auto gestures = openGestures();
    resizeWindow(1000, 800, ui::InterfaceOrientation::portrait);
    EXPECT_EQ(gestures->collectionView()->layoutMargins(), (ui::EdgeInsets{0, 100, 0, 100}));
}

TEST(NewSettingsTest, EverySectionShowsItsHeaderAndThreePlaceholderRows) {
    dispatch::ScopedMainRunLoop loop;
    auto window = ui::Window::create(ui::Rect(0, 0, 390, 2000));
    auto screen = NewSettingsViewController::create();
    window->setRootViewController(screen);
    window->makeKeyAndVisible();
    window->layoutIfNeeded();
    auto view = screen->collectionView();
    view->layoutIfNeeded();
    EXPECT_EQ(screen->navigationItem()->title(), "Settings");
    ASSERT_EQ(view->numberOfSections(), 4);
    const Strings headers{"Storage Usage", "Playback", "Interface", "Feedback"};
    for (int section = 0; section < 4; ++section) {
        ASSERT_EQ(view->numberOfItems(section), 4) << section;
        Strings texts;
        for (int item = 0; item < 4; ++item) {
            auto cell = view->cellAt({section, item});
            ASSERT_TRUE(cell && cell->contentConfiguration()) << section << "." << item;
            texts.push_back(cell->contentConfiguration()->text.value_or(""));
            EXPECT_EQ(cell->accessories().empty(), item == 0);
        }
        EXPECT_EQ(texts, (Strings{headers[static_cast<size_t>(section)], "Item 0", "Item 1", "Item 2"}));
    }
    const auto before = view->numberOfItems(1);
    view->tapItem({1, 2});
    EXPECT_EQ(view->numberOfItems(1), before);
    EXPECT_EQ(window->rootViewController(), screen);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST(NewSettingsTest, ItemsWithTheSameTitleAreDifferentRows) {
    const SettingsItem first{"Item 0"};
    const SettingsItem second{"Item 0"};
    EXPECT_NE(first, second);
    EXPECT_EQ(first, first);
    const SettingsItem untitled{std::nullopt, first.identifier};
    EXPECT_NE(untitled, first);
    EXPECT_NE(SettingsItem::Hash()(untitled), SettingsItem::Hash()(first));
}

}  // namespace
}  // namespace reelhaven
