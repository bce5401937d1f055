// The font picker as a person uses it: its list of installed fonts, a tap that picks one, and
// "Cancel" that leaves it.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/font_picker_view_controller.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

class Recorder : public FontPickerDelegate {
public:
    void didPickFont(FontPickerViewController& picker) override {
        picked.push_back(picker.selectedFontDescriptor()->postscriptName());
        // As the options popover does: a pick closes the picker.
        picker.dismiss(true);
    }
    void didCancel(FontPickerViewController&) override { ++cancelled; }
    std::vector<std::string> picked;
    int cancelled = 0;
};

class FontPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window->setRootViewController(root);
        window->makeKeyAndVisible();
    }
    std::shared_ptr<FontPickerViewController> present(bool includeFaces) {
        FontPickerConfiguration configuration;
        configuration.includeFaces = includeFaces;
        auto picker = FontPickerViewController::create(configuration);
        picker->setDelegate(recorder);
        root->present(picker, true);
        driver.settle();
        return picker;
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 390, 844));
    std::shared_ptr<ViewController> root = ViewController::create();
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
    ScreenDriver driver{window};
};

TEST_F(FontPickerTest, ATapOnAFontPicksItsFace) {
    auto picker = present(true);
    const auto& names = picker->fontNames();
    ASSERT_TRUE(std::ranges::count(names, "Inter-Bold")) << "fonts-inter is installed";
    EXPECT_TRUE(std::ranges::is_sorted(names));
    // Far down the list: the search brings it into view.
    ASSERT_TRUE(driver.type("Search", "inter-bo").ok()) << driver.screen();
    EXPECT_EQ(picker->fontNames(), (std::vector<std::string>{"Inter-Bold", "Inter-BoldItalic"}));
    ASSERT_TRUE(driver.tap("Inter-Bold").ok()) << driver.screen();
    EXPECT_EQ(recorder->picked, std::vector<std::string>{"Inter-Bold"});
    EXPECT_EQ(picker->selectedFontDescriptor()->postscriptName(), "Inter-Bold");
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(FontPickerTest, WithoutFacesEachFamilyIsOfferedOnceByItsRegularFace) {
    const auto faces = present(true)->fontNames();
    root->dismiss(false);
    const auto names = present(false)->fontNames();
    EXPECT_EQ(std::ranges::count(names, "Inter-Regular"), 1);
    EXPECT_EQ(std::ranges::count(names, "Inter-Bold"), 0);
    EXPECT_LT(names.size(), faces.size());
}

TEST_F(FontPickerTest, CancelLeavesThePickerAndPicksNothing) {
    auto picker = present(true);
    ASSERT_TRUE(driver.tap("Cancel").ok()) << driver.screen();
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(recorder->cancelled, 1);
    EXPECT_TRUE(recorder->picked.empty());
    EXPECT_EQ(picker->selectedFontDescriptor(), std::nullopt);
}

TEST_F(FontPickerTest, ReadRightToLeftTheSearchFieldIsAtTheRightAndCancelAtTheLeft) {
    auto traits = window->windowTraitCollection();
    traits.layoutDirection = TraitEnvironmentLayoutDirection::rightToLeft;
    window->setTraitCollection(traits);
    auto picker = present(false);
    window->layoutIfNeeded();
    const auto cancel = picker->cancelButton()->frame();
    const auto field = picker->searchField()->frame();
    EXPECT_EQ(cancel.minX(), 16);
    EXPECT_EQ(field.maxX(), 390 - 16);
    EXPECT_LT(cancel.maxX(), field.minX());
    // A touch where Cancel is drawn takes it.
    ASSERT_TRUE(driver.tap("Cancel").ok()) << driver.screen();
    EXPECT_EQ(recorder->cancelled, 1);
}

}  // namespace
}  // namespace ui
