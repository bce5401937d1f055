#include "toolkit/check_mark.h"

#include <gtest/gtest.h>

namespace reelhaven {
namespace {

using Kind = ui::DrawingOperation::Kind;

std::vector<ui::DrawingOperation> drawn(CheckMark& mark) {
    mark.setNeedsDisplay();
    mark.displayIfNeeded();
    return mark.lastDrawing();
}

std::vector<Kind> kinds(const std::vector<ui::DrawingOperation>& operations) {
    std::vector<Kind> result;
    for (const auto& op : operations) result.push_back(op.kind);
    return result;
}

TEST(CheckMarkTest, CheckedMarkIsABlueDiscWithRingAndTick) {
    auto mark = CheckMark::create(ui::Rect(0, 0, 24, 24));
    mark->checkedBool = true;
    const auto ops = drawn(*mark);
    EXPECT_EQ(kinds(ops),
              (std::vector<Kind>{Kind::saveState, Kind::setShadow, Kind::setFillColor, Kind::fillEllipse,
                                 Kind::restoreState, Kind::setStrokeColor, Kind::setLineWidth, Kind::strokeEllipse,
                                 Kind::moveTo, Kind::lineTo, Kind::lineTo, Kind::setStrokeColor, Kind::setLineWidth,
                                 Kind::setLineCap, Kind::strokePath}));
    EXPECT_EQ(ops[1].offset, (ui::Size{0.1, -0.1}));
    EXPECT_DOUBLE_EQ(ops[1].value, 2.5);
    EXPECT_EQ(*ops[2].color, ui::Color::rgba(0.078, 0.435, 0.875, 1.0));
    EXPECT_EQ(ops[3].rect, ui::Rect(3, 3, 18, 18));
    EXPECT_DOUBLE_EQ(ops[6].value, 1.0);
    EXPECT_EQ(ops[8].point, (ui::Point{3 + 0.27083 * 18, 3 + 0.54167 * 18}));
    EXPECT_EQ(ops[10].point, (ui::Point{3 + 0.75 * 18, 3 + 0.35417 * 18}));
    EXPECT_DOUBLE_EQ(ops[12].value, 1.3);
    EXPECT_EQ(ops[13].lineCap, ui::LineCap::square);
}

TEST(CheckMarkTest, OvalRoundsToWholePointsWhileTheTickScales) {
    auto mark = CheckMark::create(ui::Rect(0, 0, 24.4, 24.4));
    mark->checkedBool = true;
    const auto ops = drawn(*mark);
    EXPECT_EQ(ops[3].rect, ui::Rect(3, 3, 18, 18));
    EXPECT_NEAR(ops[10].point.x, 3 + 0.75 * 18.4, 1e-9);
}

TEST(CheckMarkTest, UncheckedStylesDrawFadedDiscOrOpenRing) {
    auto mark = CheckMark::create(ui::Rect(0, 0, 24, 24));
    mark->checkMarkStyleReal = CheckMarkStyle::GrayedOut;
    const auto grayed = drawn(*mark);
    EXPECT_EQ(*grayed[2].color, ui::Color::rgba(1, 1, 1, 0.6));
    EXPECT_EQ(grayed.size(), 15u);
    mark->checkMarkStyleReal = CheckMarkStyle::OpenCircle;
    const auto open = drawn(*mark);
    EXPECT_EQ(kinds(open), (std::vector<Kind>{Kind::saveState, Kind::setShadow, Kind::setStrokeColor,
                                              Kind::setLineWidth, Kind::strokeEllipse, Kind::restoreState}));
    EXPECT_DOUBLE_EQ(open[1].value, 0.5);
    mark->checkedBool = true;  // checked wins over any style
    EXPECT_EQ(*drawn(*mark)[2].color, ui::Color::rgba(0.078, 0.435, 0.875, 1.0));
}

TEST(CheckMarkTest, ChangingTheFieldDoesNotRedrawByItself) {
    auto mark = CheckMark::create(ui::Rect(0, 0, 24, 24));
    mark->displayIfNeeded();
    const auto before = mark->lastDrawing();
    ASSERT_EQ(kinds(before).back(), Kind::restoreState);  // the open ring was drawn once
    mark->checkedBool = true;
    mark->displayIfNeeded();
    EXPECT_EQ(mark->lastDrawing(), before);
}

TEST(CheckMarkTest, StyleFromRawValue) {
    EXPECT_EQ(checkMarkStyleFromRawValue(0), CheckMarkStyle::OpenCircle);
    EXPECT_EQ(checkMarkStyleFromRawValue(1), CheckMarkStyle::GrayedOut);
    EXPECT_FALSE(checkMarkStyleFromRawValue(2).has_value());
}

}  // namespace
}  // namespace reelhaven
