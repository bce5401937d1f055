// Typing in the window as a person does: a click in a field starts editing it, the keys go there
// as the window system delivers them (SDL's key and text events), Enter takes an alert's action
// or the field's return key, and Ctrl+C / Ctrl+X / Ctrl+V go through the desktop's clipboard.
// The app runs in this process in a real window. Without a display (the display stage runs these
// under Xvfb and Weston) the cases skip.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "library/open_url_hosting_controller.h"
#include "library/open_url_view.h"
#include "platform/display/clipboard.h"
#include "platform/display/display_host.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/gestures/press.h"
#include "playback/model/playback_info.h"
#include "support/display_stage.h"
#include "support/test_media.h"
#include "window_keyboard_host.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;

// HID usage codes (SDL's scancodes) of the keys pressed here.
enum Usage : int { keyA = 4, keyV = 25, keyX = 27, backspace = 42 };

class WindowTypingDisplay : public ::testing::Test, protected WindowKeyboardHost {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(documents);
        fs::copy_file(testing_support::testMedia("wide.mp4"), documents / "Clip.mp4");
        auto options = windowOptions();
        ASSERT_TRUE(launch(options)) << err.str();
    }
    void TearDown() override {
        closePlayer();
        shutDown();
    }
    // The handle of the bar item showing the symbol `name`.
    std::string barItem(const std::string& symbol) const {
        std::smatch found;
        const auto shown = screen();
        if (!std::regex_search(shown, found, std::regex("BarButtonItem #(\\d+) [^\\n]*sym:" + symbol))) return "#0";
        return "#" + found[1].str();
    }
    std::shared_ptr<ui::AlertController> alert() const {
        return std::dynamic_pointer_cast<ui::AlertController>(host->window()->topPresentedViewController());
    }
};

TEST_F(WindowTypingDisplay, TheNewFolderAlertTakesTheTypedNameAndEnterCreatesTheFolder) {
    ASSERT_TRUE(command("click " + handleOf(root()->editButton().get())));
    ASSERT_TRUE(command("click " + barItem("folder.badge.plus")));
    ASSERT_TRUE(alert()) << screen();
    type("Tripz");
    press(backspace);
    type("s");
    EXPECT_EQ(alert()->textFields().at(0)->text(), "Trips");
    press(ui::Key::returnOrEnter);
    ASSERT_TRUE(waitFor([&] { return fs::is_directory(documents / "Trips"); })) << screen();
    EXPECT_FALSE(alert()) << "the alert went";

    // Escape takes the cancel action: nothing is made.
    ASSERT_TRUE(command("click " + barItem("folder.badge.plus")));
    ASSERT_TRUE(alert()) << screen();
    type("Never");
    press(ui::Key::escape);
    ASSERT_TRUE(waitFor([&] { return !alert(); })) << screen();
    EXPECT_FALSE(fs::exists(documents / "Never"));
}

TEST_F(WindowTypingDisplay, TheOpenURLFieldTakesTypedAndPastedTextAndEnterPlays) {
    ASSERT_TRUE(command("click " + handleOf(root()->playButton().get())));
    ASSERT_TRUE(command("click \"Play URL\""));
    auto page = root()->openURLController()->rootView();
    ASSERT_TRUE(page->window());
    auto field = page->addressField();
    type("ignored");  // nothing edits until the field is clicked
    EXPECT_EQ(field->text().value_or(""), "");
    ASSERT_TRUE(command("click " + handleOf(field.get())));
    ASSERT_TRUE(field->isEditing()) << screen();

    // A server that takes the connection and never answers: the player stays up, waiting for it.
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(server, 4), 0);
    ASSERT_EQ(::getsockname(server, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/clip.mp4";

    // Typed, cut to the desktop's clipboard, and pasted back from it.
    type(url);
    EXPECT_TRUE(page->isPlayEnabled());
    press(keyA, ui::Key::control);
    press(keyX, ui::Key::control);
    EXPECT_EQ(field->text(), "");
    EXPECT_FALSE(page->isPlayEnabled());
    EXPECT_EQ(display::SystemClipboard().text(), url);
    press(keyV, ui::Key::control);
    EXPECT_EQ(field->text(), url);
    press(ui::Key::returnOrEnter);
    ASSERT_TRUE(waitFor([&] { return player() != nullptr; })) << screen();
    EXPECT_EQ(player()->playbackInfo()->url().absoluteString(), url);
    closePlayer();
    ::close(server);
}

}  // namespace
}  // namespace reelhaven
