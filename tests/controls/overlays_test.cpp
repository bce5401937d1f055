#include <gtest/gtest.h>

#include "controls/note_view.h"
#include "controls/title_view.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

class NoteViewTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    std::shared_ptr<NoteView> note = NoteView::create(ui::Rect(0, 0, 200, 90));

    void SetUp() override { window->addSubview(note); }
    std::string arrow() const { return note->arrowView()->image()->symbolName(); }
    bool arrowCrossDissolves() const {
        auto keys = note->arrowView()->layer().animationKeys();
        return std::find(keys.begin(), keys.end(), "transition") != keys.end();
    }
};

TEST_F(NoteViewTest, ANegativeOffsetDropsItsMinusAndPointsLeft) {
    note->update(-5, 30, 120);
    EXPECT_EQ(note->timeOffsetLabel()->text(), "0:05");
    EXPECT_EQ(arrow(), "arrow.left");
    EXPECT_EQ(note->seekDirection(), NoteView::ArrowDirection::left);
    EXPECT_EQ(note->progressLabel()->text(), "0:30");
    EXPECT_EQ(note->durationLabel()->text(), "2:00");
    note->update(-75, 30, 120);
    EXPECT_EQ(note->timeOffsetLabel()->text(), "1:15");
}

TEST_F(NoteViewTest, APositiveOrZeroOffsetShowsAsItIsAndPointsRight) {
    note->update(5, 30, 120);
    EXPECT_EQ(note->timeOffsetLabel()->text(), "0:05");
    EXPECT_EQ(arrow(), "arrow.right");
    note->setHidden(false);
    note->update(0, 30, 120);
    EXPECT_EQ(arrow(), "arrow.right");
    EXPECT_EQ(note->seekDirection(), NoteView::ArrowDirection::right);
}

TEST_F(NoteViewTest, ANegativeOffsetUnderASecondReadsZeroAndPointsLeft) {
    note->update(-0.5, 30, 120);
    EXPECT_EQ(note->timeOffsetLabel()->text(), "0:00");
    EXPECT_EQ(arrow(), "arrow.left");
}

TEST_F(NoteViewTest, TheFirstArrowIsSetAtOnceAndATurnCrossDissolves) {
    note->update(5, 30, 120);
    EXPECT_FALSE(arrowCrossDissolves());
    note->update(-5, 30, 120);
    EXPECT_TRUE(arrowCrossDissolves());
    EXPECT_EQ(note->arrowView()->layer().animation("transition")->duration, 0.2);
    loop.advanceSeconds(0.2);
    EXPECT_FALSE(arrowCrossDissolves());
    note->update(-6, 30, 120);
    EXPECT_FALSE(arrowCrossDissolves());
}

TEST_F(NoteViewTest, HidingForgetsTheDirectionAndTurnsTheArrowLeft) {
    note->update(5, 30, 120);
    note->setHidden(true);
    EXPECT_EQ(note->seekDirection(), std::nullopt);
    EXPECT_TRUE(arrowCrossDissolves());
    EXPECT_EQ(arrow(), "arrow.left");
    loop.advanceSeconds(0.2);
    note->setHidden(false);
    EXPECT_FALSE(arrowCrossDissolves());  // no direction to leave
    note->update(5, 30, 120);
    EXPECT_FALSE(arrowCrossDissolves());
    EXPECT_EQ(arrow(), "arrow.right");
}

TEST_F(NoteViewTest, TheBarFillsTheShareOfTheDuration) {
    auto bar = note->progressBar();
    bar->setFrame(ui::Rect(0, 0, 140, 3));
    note->update(10, 30, 120);
    EXPECT_EQ(bar->progress(), 0.25f);
    EXPECT_EQ(bar->progressViewWidthConstraint()->constant(), 35);
    bar->setFrame(ui::Rect(0, 0, 200, 3));
    bar->layoutSubviews();
    EXPECT_EQ(bar->progressViewWidthConstraint()->constant(), 50);
}

TEST_F(NoteViewTest, RegularSizeClassesUseTheLargerFonts) {
    EXPECT_EQ(note->timeOffsetLabel()->font().fontName(), "Inter-Bold");
    EXPECT_EQ(note->timeOffsetLabel()->font().pointSize(), 22);
    EXPECT_EQ(note->progressLabel()->font().pointSize(), 12);
    EXPECT_TRUE(note->durationLabel()->font().fontDescriptor().hasMonospacedDigits());
    ui::TraitCollection regular;
    regular.horizontalSizeClass = ui::UserInterfaceSizeClass::regular;
    regular.verticalSizeClass = ui::UserInterfaceSizeClass::regular;
    window->setTraitCollection(regular);
    EXPECT_EQ(note->timeOffsetLabel()->font().pointSize(), 24);
    EXPECT_EQ(note->progressLabel()->font().fontName(), "Inter-Medium");
    EXPECT_EQ(note->durationLabel()->font().pointSize(), 14);
}

TEST_F(NoteViewTest, TheLookIsSetUpFromTheInterfaceFile) {
    EXPECT_EQ(note->backgroundColor(), ui::Color::clear());
    EXPECT_EQ(note->visualEffectView()->layer().cornerRadius(), 22);
    EXPECT_EQ(note->visualEffectView()->layer().cornerCurve(), ui::CornerCurve::continuous);
    EXPECT_EQ(note->durationLabel()->textColor(), ui::Color::secondaryLabel());
    EXPECT_EQ(note->durationLabel()->textAlignment(), ui::TextAlignment::right);
    EXPECT_EQ(note->progressBar()->backgroundColor(), ui::Color::systemGray());
    EXPECT_EQ(note->progressBar()->layer().cornerRadius(), 1);
}

TEST(TitleViewTest, AnUltraThinDarkPanelWithAWhiteTitleOfAnyLength) {
    auto title = TitleView::create();
    EXPECT_EQ(title->visualEffectView()->effect(), ui::VisualEffectView::BlurStyle::systemUltraThinMaterialDark);
    EXPECT_EQ(title->visualEffectView()->layer().cornerRadius(), 20);
    EXPECT_TRUE(title->visualEffectView()->clipsToBounds());
    EXPECT_EQ(title->titleLabel()->textColor(), ui::Color::white());
    EXPECT_EQ(title->titleLabel()->numberOfLines(), 0);
    EXPECT_EQ(title->backgroundColor(), ui::Color::clear());
}

}  // namespace
}  // namespace reelhaven
