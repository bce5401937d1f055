#include "controls/options_item_cell.h"

#include <gtest/gtest.h>

#include <cmath>

#include "controls/options_header_view.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

OptionsItem item(std::string title, std::optional<OptionsControlType> control = std::nullopt, int indent = 0) {
    OptionsItem made;
    made.title = std::move(title);
    made.indentLevel = indent;
    if (control) made.control = OptionsControl{*control, {}, {}};
    return made;
}

class OptionsItemCellTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<OptionsItemCell> cell = OptionsItemCell::create(ui::Rect(0, 0, 350, 44));
};

TEST_F(OptionsItemCellTest, AnEmptyItemShowsOnlyTheHairline) {
    cell->configure(OptionsItem{}, false);
    EXPECT_FALSE(cell->divider()->isHidden());
    EXPECT_FALSE(cell->control());
    EXPECT_TRUE(cell->controlStack()->arrangedSubviews().empty());
    EXPECT_EQ(cell->vibrancyView()->vibrancyBlurStyle(), ui::VisualEffectView::BlurStyle::dark);
    EXPECT_EQ(cell->label()->superview(), nullptr);
}

TEST_F(OptionsItemCellTest, TheSameRowAgainChangesNothing) {
    cell->configure(item("Shadow", OptionsControlType::toggle), false);
    auto control = cell->control();
    OptionsItem again = item("Shadow", OptionsControlType::slider);
    again.isExpanded = true;
    cell->configure(again, true);
    EXPECT_EQ(cell->control(), control);
    EXPECT_FALSE(cell->isExpanded());
    EXPECT_FALSE(cell->divider()->isHidden());
}

TEST_F(OptionsItemCellTest, FirstAndIndentedRowsHaveNoHairlineAndIndentByLevel) {
    cell->configure(item("Speed"), true);
    EXPECT_TRUE(cell->divider()->isHidden());
    EXPECT_EQ(cell->indentConstraint()->constant(), 0);
    cell->prepareForReuse();
    cell->configure(item("Font", std::nullopt, 1), false);
    EXPECT_TRUE(cell->divider()->isHidden());
    EXPECT_EQ(cell->indentConstraint()->constant(), 45);
    cell->prepareForReuse();
    cell->configure(item("Deep", std::nullopt, 2), false);
    EXPECT_EQ(cell->indentConstraint()->constant(), 90);
}

TEST_F(OptionsItemCellTest, ASliderRowAddsAResetButtonTenApart) {
    OptionsItem size = item("Size", OptionsControlType::slider);
    size.control->configuration = [](const std::shared_ptr<ui::Control>& control) {
        auto slider = std::dynamic_pointer_cast<ui::Slider>(control);
        slider->setMinimumValue(-1.5f);
        slider->setMaximumValue(1.5f);
        slider->setValue(1.0f);
    };
    int resets = 0;
    size.control->reset = [&resets]() -> std::optional<float> {
        ++resets;
        return 0.0f;
    };
    size.subitems.push_back(item("child"));
    cell->configure(size, false);
    auto slider = std::dynamic_pointer_cast<ui::Slider>(cell->control());
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->value(), 1.0f);
    EXPECT_EQ(cell->controlStack()->spacing(), 10);
    EXPECT_EQ(cell->controlStack()->arrangedSubviews(),
              (std::vector<std::shared_ptr<ui::View>>{slider, cell->resetButton(), cell->chevronImageView()}));
    EXPECT_EQ(cell->resetButton()->image(ui::normal)->symbolName(), "arrow.counterclockwise");
    cell->resetButton()->tap();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(slider->value(), 0.0f);

    cell->prepareForReuse();
    cell->configure(item("Shadow", OptionsControlType::toggle), false);
    EXPECT_EQ(cell->controlStack()->spacing(), 15);
    EXPECT_TRUE(std::dynamic_pointer_cast<ui::Switch>(cell->control()));
}

TEST_F(OptionsItemCellTest, AResetThatGivesNothingLeavesTheSlider) {
    OptionsItem size = item("Size", OptionsControlType::slider);
    size.control->reset = []() -> std::optional<float> { return std::nullopt; };
    cell->configure(size, false);
    auto slider = std::dynamic_pointer_cast<ui::Slider>(cell->control());
    slider->setValue(0.7f);
    cell->resetButton()->tap();
    EXPECT_EQ(slider->value(), 0.7f);
}

TEST_F(OptionsItemCellTest, TheChevronTurnsForExpandedRowsAndGreysForSegues) {
    OptionsItem position = item("Position");
    position.subitems.push_back(item("Auto-Adjust", std::nullopt, 1));
    position.isExpanded = true;
    cell->configure(position, false);
    EXPECT_EQ(cell->chevronImageView()->image()->symbolName(), "chevron.right");
    EXPECT_EQ(cell->chevronImageView()->transform(), ui::AffineTransform::rotation(M_PI / 2));
    EXPECT_EQ(cell->chevronImageView()->tintColor(), ui::Color::white());
    cell->setHighlighted(true);
    EXPECT_EQ(cell->chevronImageView()->tintColor(), ui::Color::gray());

    cell->prepareForReuse();
    cell->setHighlighted(false);
    OptionsItem font = item("Font", OptionsControlType::button, 1);
    font.segue = "font";
    cell->configure(font, false);
    EXPECT_EQ(cell->chevronImageView()->transform(), ui::AffineTransform::identity());
    EXPECT_EQ(cell->chevronImageView()->tintColor(), ui::Color::systemGray());
    EXPECT_EQ(cell->chevronImageView()->preferredSymbolConfiguration()->pointSize, 18);
    cell->setSelected(true);
    EXPECT_EQ(cell->chevronImageView()->tintColor(), ui::Color::systemGray2());
}

TEST_F(OptionsItemCellTest, TheChevronPointsTheWayTheWindowReads) {
    auto window = ui::Window::create(ui::Rect(0, 0, 350, 44));
    window->addSubview(cell);
    OptionsItem position = item("Position");
    position.subitems.push_back(item("Auto-Adjust", std::nullopt, 1));
    position.isExpanded = true;
    cell->configure(position, false);
    ui::TraitCollection rightToLeft = window->windowTraitCollection();
    rightToLeft.layoutDirection = ui::TraitEnvironmentLayoutDirection::rightToLeft;
    window->setTraitCollection(rightToLeft);
    EXPECT_EQ(cell->chevronImageView()->image()->symbolName(), "chevron.left");
    EXPECT_EQ(cell->chevronImageView()->transform(), ui::AffineTransform::rotation(-M_PI / 2));
    // The row is mirrored too: the title at its right, the chevron at its left edge.
    window->layoutIfNeeded();
    const auto inCell = [this](const std::shared_ptr<ui::View>& view) {
        return view->superview()->convert(view->frame(), cell.get());
    };
    const auto title = inCell(cell->label());
    const auto chevron = inCell(cell->chevronImageView());
    EXPECT_GT(title.minX(), 175) << "the title at the right half";
    EXPECT_LT(chevron.maxX(), title.minX()) << "the chevron at the trailing (left) side";
    rightToLeft.layoutDirection = ui::TraitEnvironmentLayoutDirection::leftToRight;
    window->setTraitCollection(rightToLeft);
    EXPECT_EQ(cell->chevronImageView()->image()->symbolName(), "chevron.right");
    EXPECT_EQ(cell->chevronImageView()->transform(), ui::AffineTransform::rotation(M_PI / 2));
}

TEST_F(OptionsItemCellTest, TheValueFollowsItsPublisherUntilReuse) {
    foundation::CurrentValueSubject<double> delay(0.0);
    OptionsItem row = item("Delay");
    row.value = ValueTextPublisher::mapping<double>(delay, [](const double& value) {
        return ui::AttributedString::create(std::to_string(static_cast<int>(value)));
    });
    cell->configure(row, false);
    EXPECT_EQ(cell->valueLabel()->attributedText()->string(), "0");
    delay.send(2);
    EXPECT_EQ(cell->valueLabel()->attributedText()->string(), "2");
    cell->prepareForReuse();
    EXPECT_EQ(delay.subscriberCount(), 0u);
    EXPECT_FALSE(cell->setting());
}

TEST_F(OptionsItemCellTest, IconsAndSecondLinesJoinTheLeadingGroup) {
    OptionsItem quality = item("High Quality Video", OptionsControlType::toggle);
    quality.icon = "photo";
    quality.subtitle = "GPU processing, may increase battery usage";
    cell->configure(quality, false);
    EXPECT_EQ(cell->iconImageView()->image()->symbolName(), "photo");
    EXPECT_EQ(cell->iconImageView()->image()->tintColor(), ui::Color::white());
    EXPECT_EQ(cell->subtitleLabel()->text(), quality.subtitle);
    EXPECT_EQ(cell->label()->font().fontName(), "Inter-Medium");
    EXPECT_TRUE(cell->valueLabel()->font().fontDescriptor().hasMonospacedDigits());
}

TEST(OptionsHeaderViewTest, BothHeadersArePlatesThirtyEightHigh) {
    auto header = OptionsHeaderView::create();
    auto table = OptionsTableHeaderView::create("header");
    EXPECT_EQ(header->intrinsicContentSize().height, 38);
    EXPECT_EQ(table->intrinsicContentSize().height, 38);
    EXPECT_EQ(header->innerContainer()->backgroundColor(), ui::Color::systemGray6());
    EXPECT_EQ(table->innerContainer()->layer().cornerRadius(), 10);
    EXPECT_EQ(table->backgroundView()->backgroundColor(), ui::Color::clear());
    EXPECT_EQ(header->label()->font().fontName(), "Inter-Medium");
    EXPECT_FALSE(header->title());
}

}  // namespace
}  // namespace reelhaven
