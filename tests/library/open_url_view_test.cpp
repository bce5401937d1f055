#include "library/open_url_view.h"

#include <gtest/gtest.h>

#include <cmath>

#include "library/open_url_hosting_controller.h"
#include "library/string_extensions.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/scenes/pasteboard.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

TEST(OpenURLTextTest, PlayNeedsTheWholeTextToBeOneLink) {
    EXPECT_TRUE(isValidURL("https://example.com/movie.mp4"));
    EXPECT_TRUE(isValidURL("http://192.168.1.5:8080/live.m3u8"));
    EXPECT_TRUE(isValidURL("www.example.com/a"));
    EXPECT_FALSE(isValidURL(""));
    EXPECT_FALSE(isValidURL(" "));  // what the field is made with
    EXPECT_FALSE(isValidURL("https://"));
    EXPECT_FALSE(isValidURL(" https://example.com/a"));
    EXPECT_FALSE(isValidURL("https://example.com/a "));
    EXPECT_FALSE(isValidURL("watch https://example.com/a"));
    EXPECT_FALSE(isValidURL("https://example.com/a now"));
    EXPECT_FALSE(isValidURL("https://example.com/a."));  // the dot ends a sentence, not the link
}

TEST(OpenURLTextTest, TheRefusedSiteIsKnownByItsNinePrefixesOnly) {
    for (const char* scheme : {"https://", "http://", ""}) {
        for (const auto host : OpenURLView::restrictedHosts) {
            const std::string url = std::string(scheme) + std::string(host) + "/watch?v=abc";
            EXPECT_TRUE(OpenURLView::isRestrictedSite(url)) << url;
            EXPECT_TRUE(OpenURLView::isRestrictedSite(std::string(scheme) + std::string(host))) << url;
        }
    }
    EXPECT_FALSE(OpenURLView::isRestrictedSite("HTTPS://www.youtube.com/watch"));  // letter case counts
    EXPECT_FALSE(OpenURLView::isRestrictedSite("https://www.YouTube.com/watch"));
    EXPECT_FALSE(OpenURLView::isRestrictedSite("https://music.youtube.com/watch"));  // another subdomain
    EXPECT_FALSE(OpenURLView::isRestrictedSite("https://youtu.beach.example/a"));    // another host entirely
    EXPECT_FALSE(OpenURLView::isRestrictedSite("https://example.com/?u=youtu.be"));
}

// The sheet as the root screen hosts it, presented from a screen in a window.
class OpenURLSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::Pasteboard::general().clear();
        root->setView(ui::View::create(window->bounds()));
        window->setRootViewController(root);
        window->makeKeyAndVisible();
    }
    void TearDown() override { ui::Pasteboard::general().clear(); }

    std::shared_ptr<OpenURLHostingController> open() {
        if (!controller) {
            controller = makeOpenURLController(
                [this](const std::optional<std::string>& text) { received.push_back(text.value_or("(none)")); },
                subscription);
        }
        root->present(controller, true);
        driver.settle();
        return controller;
    }
    OpenURLView& sheet() { return *controller->rootView(); }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    std::shared_ptr<ui::ViewController> root = ui::ViewController::create();
    ui::ScreenDriver driver{window};
    std::shared_ptr<OpenURLHostingController> controller;
    foundation::Cancellable subscription;
    std::vector<std::string> received;
};

TEST_F(OpenURLSheetTest, TypingALinkEnablesPlayWhichSendsTheTextUnchanged) {
    open();
    EXPECT_EQ(sheet().url(), "");  // made with " ", emptied as the field appears
    EXPECT_FALSE(sheet().playButton()->isEnabled());
    EXPECT_FALSE(driver.tap("Play "));

    ASSERT_TRUE(driver.type("https://", "https://example.com/a%20b.mkv"));
    EXPECT_TRUE(sheet().playButton()->isEnabled());
    EXPECT_EQ(sheet().playButton()->backgroundColor(), ui::Color::systemBlue());
    EXPECT_TRUE(sheet().restrictionLabel()->isHidden());
    ASSERT_TRUE(driver.tap("Play "));
    EXPECT_EQ(received, std::vector<std::string>{"https://example.com/a%20b.mkv"});
    EXPECT_EQ(sheet().delegate()->url, "https://example.com/a%20b.mkv");
    EXPECT_NE(root->presentedViewController(), nullptr);  // the root screen closes it, not play

    ASSERT_TRUE(driver.type("https://example.com/a%20b.mkv", "see https://example.com"));
    EXPECT_FALSE(sheet().playButton()->isEnabled());
    EXPECT_EQ(sheet().playButton()->backgroundColor(), ui::Color::systemGray());
}

TEST_F(OpenURLSheetTest, TheTopPaddingFollowsTheVerticalSizeClassOfTheWindowTheSheetJoins) {
    const auto cancelTop = [this] {
        window->layoutIfNeeded();
        const auto& cancel = sheet().cancelButton();
        return cancel->superview()->convert(cancel->frame(), &sheet()).minY();
    };
    // A phone on its side: the sheet is made, then joins the compact window.
    window->setTraitCollection(ui::TraitCollection::withSizeClasses(window->windowTraitCollection(), 844, 390));
    window->transitionToSize({844, 390}, 0);
    open();
    EXPECT_EQ(cancelTop(), 4);
    window->setTraitCollection(ui::TraitCollection::withSizeClasses(window->windowTraitCollection(), 390, 844));
    window->transitionToSize({390, 844}, 0);
    EXPECT_EQ(cancelTop(), 18);
}

TEST_F(OpenURLSheetTest, TheRefusedSiteSaysWhyAndKeepsPlayOff) {
    open();
    ASSERT_TRUE(driver.type("https://", "https://m.youtube.com/watch?v=1"));
    EXPECT_FALSE(sheet().restrictionLabel()->isHidden());
    EXPECT_FALSE(sheet().playButton()->isEnabled());
    EXPECT_NE(driver.screen().find(OpenURLView::restrictionMessage), std::string::npos) << driver.screen();
    ASSERT_TRUE(driver.type("https://m.youtube.com/watch?v=1", "https://example.com/watch?v=1"));
    EXPECT_TRUE(sheet().restrictionLabel()->isHidden());
    EXPECT_TRUE(sheet().playButton()->isEnabled());
}

TEST_F(OpenURLSheetTest, ThePasteControlTakesTheFirstCopiedString) {
    open();
    ASSERT_NE(sheet().pasteButton(), nullptr);
    EXPECT_FALSE(sheet().pasteButton()->isEnabled());  // nothing copied
    ui::Pasteboard::general().setStrings({"https://example.com/first.mp4", "https://example.com/second.mp4"});
    ASSERT_TRUE(sheet().pasteButton()->tap());
    driver.settle();
    EXPECT_EQ(sheet().url(), "https://example.com/first.mp4");
    EXPECT_EQ(sheet().addressField()->text(), "https://example.com/first.mp4");
    EXPECT_TRUE(sheet().playButton()->isEnabled());
    sheet().paste({});
    EXPECT_EQ(sheet().url(), "https://example.com/first.mp4");
}

TEST_F(OpenURLSheetTest, CancelClosesTheSheetAndReopeningShowsAnEmptyField) {
    open();
    ASSERT_TRUE(driver.type("https://", "https://example.com/a.mp4"));
    ASSERT_TRUE(driver.tap("Cancel"));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_TRUE(received.empty());
    open();
    EXPECT_EQ(sheet().url(), "");
    EXPECT_EQ(sheet().addressField()->text().value_or(""), "");
    EXPECT_FALSE(sheet().playButton()->isEnabled());

    subscription.cancel();  // the root screen is gone: nothing hears the sheet
    ASSERT_TRUE(driver.type("https://", "https://example.com/b.mp4"));
    ASSERT_TRUE(driver.tap("Play "));
    EXPECT_TRUE(received.empty());
}

TEST_F(OpenURLSheetTest, TheFieldGrowsWithALongAddressUpToEightLines) {
    open();
    auto field = sheet().addressField();
    EXPECT_EQ(field->lineLimit(), 8);
    const double oneLine = field->frame().height();
    const double width = field->frame().width();

    std::string address = "https://example.com/";
    while (address.size() < 120) address += "segment/";
    ASSERT_TRUE(driver.type("https://", address));
    window->layoutIfNeeded();
    const double grown = field->frame().height();
    EXPECT_GT(grown, oneLine * 1.5);
    EXPECT_EQ(field->frame().width(), width);  // it grows down, not across the sheet

    // However long, no more than 8 lines.
    std::string endless = "https://example.com/";
    while (endless.size() < 4000) endless += "segment/";
    ASSERT_TRUE(driver.type(address, endless));
    window->layoutIfNeeded();
    const double lineHeight = std::ceil(field->font().lineHeight());
    EXPECT_LE(field->frame().height(), oneLine + 7 * lineHeight + 1);
    EXPECT_GT(field->frame().height(), oneLine + 6 * lineHeight);

    // Emptied, it is one line again.
    ASSERT_TRUE(driver.type(endless, ""));
    window->layoutIfNeeded();
    EXPECT_EQ(field->frame().height(), oneLine);
}

TEST_F(OpenURLSheetTest, BeforeSystem16TheFieldStaysOneLine) {
    ui::ScopedPlatformVersion old({15, 0, 0});
    open();
    auto field = sheet().addressField();
    EXPECT_EQ(field->lineLimit(), 1);
    const double oneLine = field->frame().height();
    ASSERT_TRUE(driver.type("https://", "https://example.com/" + std::string(300, 'a')));
    window->layoutIfNeeded();
    EXPECT_EQ(field->frame().height(), oneLine);
}

TEST_F(OpenURLSheetTest, BeforeSystem16ThereIsNoPasteControl) {
    ui::ScopedPlatformVersion old({15, 0, 0});
    open();
    EXPECT_EQ(sheet().pasteButton(), nullptr);
    EXPECT_EQ(driver.screen().find("PasteButton"), std::string::npos);
}

}  // namespace
}  // namespace reelhaven
