#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controls/paste_button.h"
#include "platform/ui/scenes/pasteboard.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

class PasteButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        Pasteboard::general().clear();
        window->makeKeyAndVisible();
        paste->setFrame(Rect(10, 10, 44, 44));
        window->addSubview(paste);
        paste->onPaste = [this](const std::vector<std::string>& strings) { pasted.push_back(strings); };
    }
    void TearDown() override { Pasteboard::general().clear(); }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 320, 480));
    std::shared_ptr<PasteButton> paste =
        PasteButton::create(PasteButton::DisplayMode::iconOnly, PasteButton::CornerStyle::capsule);
    std::vector<std::vector<std::string>> pasted;
};

TEST_F(PasteButtonTest, ATouchHandsOverEveryCopiedString) {
    Pasteboard::general().setStrings({"https://example.com/a.mp4", "second"});
    EXPECT_TRUE(paste->isEnabled());
    window->tap(Point{32, 32});  // a real touch, down and up inside
    EXPECT_TRUE(paste->tap());
    ASSERT_EQ(pasted.size(), 2u);
    EXPECT_EQ(pasted[0], (std::vector<std::string>{"https://example.com/a.mp4", "second"}));
    EXPECT_FALSE(paste->currentTitle().has_value());  // icon only
    ASSERT_NE(paste->currentImage(), nullptr);
    EXPECT_EQ(paste->currentImage()->symbolName(), "doc.on.clipboard");
}

TEST_F(PasteButtonTest, NothingToPasteDisablesTheControl) {
    EXPECT_FALSE(paste->isEnabled());
    EXPECT_FALSE(paste->tap());
    window->tap(Point{32, 32});
    EXPECT_TRUE(pasted.empty());
    const long before = Pasteboard::general().changeCount();
    Pasteboard::general().setString("copied");
    EXPECT_GT(Pasteboard::general().changeCount(), before);
    EXPECT_TRUE(paste->isEnabled());
    paste->setEnabled(false);  // the app's own switch still counts
    EXPECT_FALSE(paste->isEnabled());
}

}  // namespace
}  // namespace ui
