#include <gtest/gtest.h>

#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/text/font.h"

namespace ui {
namespace {

std::string fontOf(const TextAttributes& attributes) {
    const auto it = attributes.find(AttributedStringKey::font());
    return it == attributes.end() ? "" : std::any_cast<Font>(it->second).fontName();
}

TEST(BarAppearanceTest, AStateWithoutItsOwnTitleAttributesDrawsWithTheNormalOnes) {
    auto confirm = BarButtonItem::create("Confirm", nullptr, BarButtonItem::Style::done);
    confirm->setTitleTextAttributes({{AttributedStringKey::font(), Font::systemFont(16, FontWeight::bold)}},
                                    ControlState::normal);
    confirm->setTitleTextAttributes({{AttributedStringKey::foregroundColor(), Color::darkGray()}},
                                    ControlState::disabled);
    EXPECT_TRUE(confirm->titleTextAttributes(ControlState::highlighted).empty());
    EXPECT_EQ(fontOf(confirm->effectiveTitleTextAttributes(ControlState::highlighted)), "Inter-Bold");

    EXPECT_EQ(confirm->currentTitleTextAttributes().count(AttributedStringKey::foregroundColor()), 0u);
    confirm->setEnabled(false);
    const auto disabled = confirm->currentTitleTextAttributes();
    EXPECT_EQ(fontOf(disabled), "Inter-Bold");
    EXPECT_EQ(std::any_cast<Color>(disabled.at(AttributedStringKey::foregroundColor())), Color::darkGray());
}

}  // namespace
}  // namespace ui
