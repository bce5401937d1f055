// The host's commands carried out on plain UI-layer screens, with the manual clock: what each
// command does, what is printed and when, and the settle step that waits for background work.

#include <gtest/gtest.h>

#include <sstream>

#include "app/host_runner.h"
#include "app/host_session.h"
#include "app/host_system.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/uniform_type.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/document_picker_view_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/window.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

using Outcome = HostSession::Outcome;

// A screen with a button for each thing the commands reach: a file picker, an alert, background
// work that comes back in three rounds, and a search bar.
class ToolScreen : public ui::ViewController, public ui::DocumentPickerDelegate, public ui::SearchResultsUpdating {
public:
    static std::shared_ptr<ToolScreen> create(std::shared_ptr<dispatch::Queue> work) {
        auto screen = ui::make<ToolScreen>();
        screen->m_work = std::move(work);
        return screen;
    }
    std::string className() const override { return "ToolScreen"; }

    void viewDidLoad() override {
        setTitle("Tools");
        status = ui::Label::create(ui::Rect(16, 300, 350, 21));
        status->setText("Idle");
        view()->addSubview(status);
        addButton("Import", 100, [](ToolScreen& self) {
            auto picker = ui::DocumentPickerViewController::create({"public.movie"}, false);
            picker->setAllowsMultipleSelection(true);
            picker->setDelegate(self.sharedAs<ToolScreen>());
            self.present(picker, true);
        });
        addButton("Delete", 150, [](ToolScreen& self) {
            auto alert = ui::AlertController::create("Delete", "Delete it?", ui::AlertControllerStyle::alert);
            alert->addAction(ui::AlertAction::create("Cancel", ui::AlertActionStyle::cancel));
            std::weak_ptr<ToolScreen> weak = self.sharedAs<ToolScreen>();
            alert->addAction(
                ui::AlertAction::create("Delete", ui::AlertActionStyle::destructive, [weak](ui::AlertAction&) {
                    if (auto screen = weak.lock()) screen->status->setText("Deleted");
                }));
            self.present(alert, true);
        });
        addButton("Load", 200, [](ToolScreen& self) { self.load(1); });
        auto search = ui::SearchController::create();
        search->setSearchResultsUpdater(sharedAs<ToolScreen>());
        navigationItem()->setSearchController(search);
    }

    void didPickDocuments(ui::DocumentPickerViewController&, const std::vector<foundation::URL>& urls) override {
        std::string names;
        for (const auto& url : urls) names += (names.empty() ? "" : ", ") + url.lastPathComponent();
        status->setText("Picked " + names);
    }
    void wasCancelled(ui::DocumentPickerViewController&) override { status->setText("Picker cancelled"); }
    void updateSearchResults(ui::SearchController& controller) override {
        status->setText("Searching \"" + controller.searchBar()->text().value_or("") + "\"");
    }

    std::shared_ptr<ui::Label> status;

private:
    void addButton(const std::string& title, double y, void (*action)(ToolScreen&)) {
        auto button = ui::Button::create();
        button->setTitle(title, ui::ControlState::normal);
        button->setFrame(ui::Rect(16, y, 120, 44));
        std::weak_ptr<ToolScreen> weak = sharedAs<ToolScreen>();
        button->addTarget(
            nullptr,
            [weak, action](ui::Control&) {
                if (auto self = weak.lock()) action(*self);
            },
            ui::touchUpInside);
        view()->addSubview(button);
    }

    // Each round works on the background queue and reports on the main queue, which starts the
    // next, as a listing makes cells ask for thumbnails.
    void load(int round) {
        std::weak_ptr<ToolScreen> weak = sharedAs<ToolScreen>();
        m_work->async([weak, round] {
            dispatch::Queue::main()->async([weak, round] {
                auto self = weak.lock();
                if (!self) return;
                self->status->setText("Loaded " + std::to_string(round));
                if (round < 3) self->load(round + 1);
            });
        });
    }

    std::shared_ptr<dispatch::Queue> m_work;
};

class RecordingSystem : public HostSystem {
public:
    foundation::Status open(const std::string& pathOrURL) override {
        calls.push_back("open " + pathOrURL);
        return {};
    }
    void enterBackground() override { calls.push_back("background"); }
    void enterForeground() override { calls.push_back("foreground"); }
    foundation::Status screenshot(const std::string& path) override {
        calls.push_back("screenshot " + path);
        return {};
    }
    foundation::Status click(ui::Point at) override {
        clicks.push_back(at);
        return {};
    }
    foundation::Status pressKey(const ui::Key& key) override {
        calls.push_back("key " + std::to_string(key.keyCode) + (key.modifierFlags & ui::Key::shift ? " shift" : ""));
        return {};
    }
    foundation::Status resizeWindow(ui::Size points) override {
        calls.push_back("resize " + std::to_string(int(points.width)) + "x" + std::to_string(int(points.height)));
        return {};
    }
    bool hasWindow() const override { return window; }
    void serveWindow() override { ++served; }
    // A window's loop as the test lets time pass in it: the clock moves a step at a time, and
    // the window is closed at `closesAt` when one is given.
    bool serveWindowUntil(const std::function<bool()>& done) override {
        ++waits;
        auto loop = dispatch::RunLoop::main();
        const auto start = loop->now();
        for (;;) {
            loop->runUntilIdle();
            if (done()) return true;
            if (closesAt && loop->now() - start >= dispatch::seconds(*closesAt)) return false;
            loop->advance(dispatch::seconds(0.25));
        }
    }
    std::vector<ui::Point> clicks;
    int served = 0;  // times the host was asked to serve its window
    int waits = 0;   // waits served by the window's loop
    std::optional<double> closesAt;
    bool window = false;
    std::vector<std::string> calls;
};

class HostSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        window->setRootViewController(ui::NavigationController::create(screen));
        window->makeKeyAndVisible();
        session.settle();
    }

    std::string status() const { return screen->status->text().value_or(""); }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<dispatch::Queue> work = dispatch::Queue::create("test.work");
    std::shared_ptr<ToolScreen> screen = ToolScreen::create(work);
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    RecordingSystem system;
    std::ostringstream out, err;
    HostSession session{window, system, [this] { work->sync([] {}); }, out, err, HostSession::Printing::onShow};
    testing_support::TempDir dir;
};

TEST_F(HostSessionTest, ACommandSettlesUntilBackgroundWorkStopsComingBack) {
    EXPECT_EQ(session.executeLine("tap Load"), Outcome::done);
    // Three rounds of work on another thread, each started from the main queue by the last.
    EXPECT_EQ(status(), "Loaded 3");
}

TEST_F(HostSessionTest, AScriptPrintsOnlyOnShowATerminalAfterEveryCommand) {
    EXPECT_EQ(session.executeLine("tap Load"), Outcome::done);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(session.executeLine("show"), Outcome::done);
    EXPECT_NE(out.str().find("Label 16,300 350x21 \"Loaded 3\""), std::string::npos) << out.str();

    std::ostringstream terminal;
    HostSession typed(window, system, {}, terminal, err, HostSession::Printing::afterEachCommand);
    EXPECT_EQ(typed.executeLine("tap Delete"), Outcome::done);
    EXPECT_NE(terminal.str().find("Alert \"Delete\" \"Delete it?\""), std::string::npos) << terminal.str();
    EXPECT_EQ(err.str(), "");
}

TEST_F(HostSessionTest, AlertChoosesAnActionOfTheAlertShown) {
    EXPECT_EQ(session.executeLine("alert Delete"), Outcome::failed);
    EXPECT_NE(err.str().find("reelhaven: no alert on the screen"), std::string::npos) << err.str();
    // "Delete" is also the button under the alert; `alert` only looks at the alert.
    EXPECT_EQ(session.executeLine("tap #3"), Outcome::done);
    EXPECT_EQ(session.executeLine("alert \"Remove\""), Outcome::failed);
    EXPECT_NE(err.str().find("the alert has no action \"Remove\""), std::string::npos) << err.str();
    EXPECT_EQ(session.executeLine("alert \"Delete\""), Outcome::done);
    EXPECT_EQ(status(), "Deleted");
}

TEST_F(HostSessionTest, PickHandsTheShownPickerAbsoluteFileURLs) {
    // Pickers open only their types; Matroska is a movie type the app declares.
    foundation::UniformType::declare({"test.matroska", {"mkv"}, {"public.movie"}});
    testing_support::writeFile(dir / "a.mp4", "a");
    testing_support::writeFile(dir / "b.mkv", "b");
    EXPECT_EQ(session.executeLine("pick " + (dir / "a.mp4").string()), Outcome::failed);
    EXPECT_NE(err.str().find("no file picker on the screen"), std::string::npos) << err.str();

    EXPECT_EQ(session.executeLine("tap Import"), Outcome::done);
    EXPECT_EQ(session.executeLine("pick " + (dir / "a.mp4").string() + " " + (dir / "gone.mp4").string()),
              Outcome::failed);
    EXPECT_NE(err.str().find("no such file: " + (dir / "gone.mp4").string() + " (nothing was picked)"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(status(), "Idle");
    // What is no file is refused as the launcher refuses it, and nothing is picked.
    std::filesystem::create_directories(dir / "Films.mp4");
    for (const std::string& path :
         {(dir / "Films.mp4").string(), std::string("/proc/self/environ"), std::string("/dev/zero")}) {
        EXPECT_EQ(session.executeLine("pick " + (dir / "a.mp4").string() + " " + path), Outcome::failed) << path;
        EXPECT_NE(err.str().find("cannot pick " + path + ": it is "), std::string::npos) << err.str();
        EXPECT_NE(err.str().find("(nothing was picked)"), std::string::npos) << err.str();
        EXPECT_EQ(status(), "Idle");
    }
    EXPECT_EQ(session.executeLine("pick " + (dir / "a.mp4").string() + " \"" + (dir / "b.mkv").string() + "\""),
              Outcome::done);
    EXPECT_EQ(status(), "Picked a.mp4, b.mkv");
    EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST_F(HostSessionTest, CancelClosesWhatIsOpenOrSaysThereIsNothing) {
    EXPECT_EQ(session.executeLine("cancel"), Outcome::failed);
    EXPECT_NE(err.str().find("nothing to cancel"), std::string::npos) << err.str();

    EXPECT_EQ(session.executeLine("tap Import"), Outcome::done);
    EXPECT_EQ(session.executeLine("cancel"), Outcome::done);
    EXPECT_EQ(status(), "Picker cancelled");
    EXPECT_EQ(screen->presentedViewController(), nullptr);

    EXPECT_EQ(session.executeLine("search \"beach\""), Outcome::done);
    EXPECT_EQ(status(), "Searching \"beach\"");
    EXPECT_EQ(session.executeLine("cancel"), Outcome::done);
    EXPECT_EQ(screen->navigationItem()->searchController()->searchBar()->text().value_or(""), "");
}

TEST_F(HostSessionTest, TypingNothingClearsTheField) {
    EXPECT_EQ(session.executeLine("search \"beach\""), Outcome::done);
    EXPECT_EQ(session.executeLine("type #1 \"\""), Outcome::done) << err.str();
    EXPECT_EQ(status(), "Searching \"\"");
    EXPECT_EQ(screen->navigationItem()->searchController()->searchBar()->text().value_or("?"), "");
}

// Fades `view` in over `seconds`; again each time it has, for ever when `again`.
void fadeIn(const std::shared_ptr<ui::View>& view, double seconds, bool again) {
    std::weak_ptr<ui::View> weak = view;
    view->setAlpha(0);
    ui::View::animate(
        seconds,
        [weak] {
            if (auto shown = weak.lock()) shown->setAlpha(1);
        },
        [weak, seconds, again](bool finished) {
            if (auto shown = weak.lock(); shown && finished && again) fadeIn(shown, seconds, again);
        });
}

TEST_F(HostSessionTest, ACommandWaitsForTheShortAnimationsOnScreenNotForLongOnesNorWithoutEnd) {
    auto badge = ui::View::create(ui::Rect(16, 400, 20, 20));
    screen->view()->addSubview(badge);
    auto elapsed = [&, since = loop.loop().now()]() mutable {
        const double seconds = dispatch::toSeconds(loop.loop().now() - since);
        since = loop.loop().now();
        return seconds;
    };
    fadeIn(badge, 0.3, false);
    EXPECT_EQ(session.executeLine("show"), Outcome::done);
    EXPECT_DOUBLE_EQ(elapsed(), 0.3);
    EXPECT_FALSE(badge->layer().isAnimating());
    // A fade that takes seconds is part of the screen as it stays.
    fadeIn(badge, 5, false);
    EXPECT_EQ(session.executeLine("show"), Outcome::done);
    EXPECT_DOUBLE_EQ(elapsed(), 0);
    badge->layer().removeAllAnimations();
    // A wait is the script's own measure of time, whatever moves.
    fadeIn(badge, 0.3, false);
    EXPECT_EQ(session.executeLine("wait 0.1"), Outcome::done);
    EXPECT_DOUBLE_EQ(elapsed(), 0.1);
    // One short fade after another, for ever: the screen is printed all the same, soon.
    fadeIn(badge, 0.2, true);
    EXPECT_EQ(session.executeLine("show"), Outcome::done);
    const double waited = elapsed();
    EXPECT_GT(waited, 0.5);
    EXPECT_LE(waited, 2.5);
    EXPECT_EQ(err.str(), "");
}

TEST_F(HostSessionTest, WaitMovesTheManualClock) {
    const auto before = loop.loop().now();
    bool fired = false;
    dispatch::Queue::main()->asyncAfter(2.0, [&] { fired = true; });
    EXPECT_EQ(session.executeLine("wait 1.5"), Outcome::done);
    EXPECT_FALSE(fired);
    EXPECT_EQ(session.executeLine("wait 0.5"), Outcome::done);
    EXPECT_TRUE(fired);
    EXPECT_EQ(loop.loop().now() - before, dispatch::seconds(2.0));
}

// On the real clock and without a window, a script's wait sleeps until something comes (a timer
// here) or it is due: the app is looked at then, not every few milliseconds in between, which
// would cost a paused player's process its CPU.
TEST_F(HostSessionTest, AWaitOnTheRealClockWithoutAWindowSleepsUntilItIsDue) {
    const auto manual = dispatch::RunLoop::main();
    auto real = dispatch::RunLoop::create(std::make_shared<dispatch::RealClock>());
    dispatch::RunLoop::setMain(real);
    real->bindToCurrentThread();
    const auto start = real->now();
    bool fired = false;
    real->schedule(start + dispatch::seconds(0.02), [&] { fired = true; });
    EXPECT_EQ(session.executeLine("wait 0.06"), Outcome::done);
    const auto waited = real->now() - start;
    dispatch::RunLoop::setMain(manual);
    manual->bindToCurrentThread();
    EXPECT_TRUE(fired);
    EXPECT_GE(waited, dispatch::seconds(0.06));
    // Once at the start, once for the timer, once when due.
    EXPECT_EQ(system.served, 3);
}

// With a window, a script's wait is served by the window's own loop, which sleeps between what
// it serves; the wait ends when due, early on a stop request, and a window closed meanwhile ends
// the script.
TEST_F(HostSessionTest, AWaitWithAWindowIsServedByTheWindowsLoopUntilItIsDueOrTheWindowCloses) {
    system.window = true;
    const auto start = loop.loop().now();
    bool fired = false;
    dispatch::Queue::main()->asyncAfter(1.0, [&] { fired = true; });
    EXPECT_EQ(session.executeLine("wait 1.5"), Outcome::done);
    EXPECT_EQ(system.waits, 1);
    EXPECT_TRUE(fired);
    EXPECT_EQ(loop.loop().now() - start, dispatch::seconds(1.5));
    EXPECT_FALSE(session.stopRequested());

    // A stop request (a signal, which the main queue runs) ends it before its time.
    const auto asked = loop.loop().now();
    dispatch::Queue::main()->asyncAfter(0.5, [&] { session.setStopRequested(); });
    EXPECT_EQ(session.executeLine("wait 10"), Outcome::done);
    EXPECT_EQ(loop.loop().now() - asked, dispatch::seconds(0.5));
    EXPECT_EQ(system.waits, 2);

    // The window closed a second into a long wait: the wait ends there, and so does the script.
    HostSession fresh{window, system, [] {}, out, err, HostSession::Printing::onShow};
    testing_support::writeFile(dir / "steps.txt", "wait 60\nshow\n");
    auto script = ScriptInput::open(dir / "steps.txt");
    ASSERT_TRUE(script);
    auto runner = HostRunner::create(fresh, HostRunner::OnFailure::stop);
    runner->setInput(std::move(script.value()));
    system.closesAt = 1.0;
    const auto closing = loop.loop().now();
    EXPECT_EQ(runner->run(), 0);
    EXPECT_EQ(loop.loop().now() - closing, dispatch::seconds(1.0));
    EXPECT_TRUE(fresh.stopRequested());
    EXPECT_EQ(out.str(), "") << "the script's show never ran";
    EXPECT_EQ(err.str(), "");
}

TEST_F(HostSessionTest, SystemCommandsGoToTheHostSystem) {
    EXPECT_EQ(session.executeLine("open \"/tmp/a b.mp4\""), Outcome::done);
    EXPECT_EQ(session.executeLine("background"), Outcome::done);
    EXPECT_EQ(session.executeLine("foreground"), Outcome::done);
    EXPECT_EQ(system.calls, (std::vector<std::string>{"open /tmp/a b.mp4", "background", "foreground"}));
    EXPECT_EQ(session.executeLine("quit"), Outcome::quit);
}

TEST_F(HostSessionTest, WindowInputGoesToTheHostSystemAndAnElementIsClickedWhereItIsTouched) {
    system.window = true;
    EXPECT_EQ(session.executeLine("key space shift-right"), Outcome::done);
    EXPECT_EQ(session.executeLine("resize 1024 768"), Outcome::done);
    EXPECT_EQ(system.calls, (std::vector<std::string>{"key 44", "key 79 shift", "resize 1024x768"}));

    EXPECT_EQ(session.executeLine("click 12 34"), Outcome::done);
    EXPECT_EQ(session.executeLine("click Load"), Outcome::done);
    ASSERT_EQ(system.clicks.size(), 2u);
    EXPECT_EQ(system.clicks[0], (ui::Point{12, 34}));
    std::shared_ptr<ui::Button> button;
    for (auto view = window->hitTest(system.clicks[1]); view && !button; view = view->superview())
        button = std::dynamic_pointer_cast<ui::Button>(view);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->currentTitle(), "Load") << "the click lands on the button it names";
    EXPECT_EQ(status(), "Idle") << "the session only hands the click on; the window delivers it";

    EXPECT_EQ(session.executeLine("click Missing"), Outcome::failed);
    EXPECT_NE(err.str().find("nothing shows Missing"), std::string::npos) << err.str();
    EXPECT_EQ(system.clicks.size(), 2u);
}

TEST_F(HostSessionTest, ShowTreeOutlinesTheControllers) {
    EXPECT_EQ(session.executeLine("tap Import"), Outcome::done);
    EXPECT_EQ(session.executeLine("show tree"), Outcome::done);
    EXPECT_EQ(out.str().substr(0, out.str().find("Window 390x844")),
              "Window\n"
              "  NavigationController (shown)\n"
              "    ToolScreen \"Tools\" (shown)\n"
              "      presents DocumentPickerViewController (shown)\n");
}

TEST_F(HostSessionTest, UnknownTargetsAndBadLinesFailWithTheReason) {
    EXPECT_EQ(session.executeLine("tap \"Rename\""), Outcome::failed);
    EXPECT_NE(err.str().find("reelhaven: nothing shows Rename on the screen"), std::string::npos) << err.str();
    EXPECT_EQ(session.executeLine("jump"), Outcome::failed);
    EXPECT_NE(err.str().find("unknown command \"jump\""), std::string::npos) << err.str();
    EXPECT_EQ(session.executeLine("// a comment"), Outcome::done);
}

TEST_F(HostSessionTest, AScriptRunsToItsEndOrStopsAtItsFirstFailure) {
    testing_support::writeFile(dir / "good.txt", "tap Load\n\nshow\n");
    auto good = ScriptInput::open(dir / "good.txt");
    ASSERT_TRUE(good);
    auto runner = HostRunner::create(session, HostRunner::OnFailure::stop);
    runner->setInput(std::move(good.value()));
    EXPECT_EQ(runner->run(), 0);
    EXPECT_NE(out.str().find("\"Loaded 3\""), std::string::npos) << out.str();

    testing_support::writeFile(dir / "bad.txt", "tap Missing\ntap Delete\n");
    auto bad = ScriptInput::open(dir / "bad.txt");
    ASSERT_TRUE(bad);
    auto failing = HostRunner::create(session, HostRunner::OnFailure::stop);
    failing->setInput(std::move(bad.value()));
    EXPECT_EQ(failing->run(), 1);
    EXPECT_EQ(screen->presentedViewController(), nullptr);  // "tap Delete" never ran

    EXPECT_FALSE(ScriptInput::open(dir / "missing.txt"));
}

TEST_F(HostSessionTest, StreamInputHandsOverLinesAsTheyArriveAndTheLastWithoutABreak) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    auto runner = HostRunner::create(session, HostRunner::OnFailure::goOn);
    // As the host wires it: the runner owns the input, whose reader must never hold the runner.
    auto input = StreamInput::start(fds[0], runner->waker());
    ASSERT_TRUE(input);
    runner->setInput(std::move(input.value()));
    const std::string text = "tap Missing\ntap Load\nshow";
    ASSERT_EQ(write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(fds[1]);
    EXPECT_EQ(runner->run(), 0);  // a person's failed command does not end the session
    EXPECT_NE(out.str().find("\"Loaded 3\""), std::string::npos) << out.str();
    close(fds[0]);
}

}  // namespace
}  // namespace reelhaven
