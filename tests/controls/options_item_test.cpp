#include "controls/options_item.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace reelhaven {
namespace {

OptionsItem row(std::string title) {
    OptionsItem item;
    item.title = std::move(title);
    item.icon = "photo";
    return item;
}

TEST(OptionsItemTest, ExpansionValueAndControlDoNotChangeARowsIdentity) {
    OptionsItem item = row("Position");
    OptionsItem changed = item;
    changed.isExpanded = true;
    changed.subitems.push_back(row("Auto-Adjust"));
    changed.control = OptionsControl{OptionsControlType::slider, {}, {}};
    EXPECT_EQ(item, changed);
    EXPECT_EQ(item.hashValue(), changed.hashValue());
}

TEST(OptionsItemTest, EachHashedFieldTellsRowsApart) {
    const OptionsItem base = row("Size");
    OptionsItem indented = base;
    indented.indentLevel = 1;
    OptionsItem emptySubtitle = base;
    emptySubtitle.subtitle = "";
    OptionsItem withSegue = base;
    withSegue.segue = "font";
    OptionsItem otherIcon = base;
    otherIcon.icon = "grid";
    OptionsItem noTitle = base;
    noTitle.title.reset();

    const std::unordered_set<OptionsItem, OptionsItemHash> rows{base,      indented,  emptySubtitle,
                                                                withSegue, otherIcon, noTitle};
    EXPECT_EQ(rows.size(), 6u);
    EXPECT_NE(base, emptySubtitle);
    EXPECT_NE(base.hashValue(), emptySubtitle.hashValue());
}

TEST(OptionsItemTest, AnEmptyTitleIsARowOfItsOwn) {
    OptionsItem reset = row("");
    EXPECT_NE(reset, row("Reset"));
    EXPECT_EQ(reset, row(""));
}

}  // namespace
}  // namespace reelhaven
