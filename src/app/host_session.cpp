#include "app/host_session.h"

#include <filesystem>
#include <ostream>
#include <utility>

#include "app/controller_tree.h"
#include "app/host_system.h"
#include "app/local_file.h"
#include "app/play_keys.h"
#include "platform/base/escaped_text.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/cancel_topmost.h"
#include "platform/ui/controllers/document_picker_view_controller.h"
#include "platform/ui/controllers/font_picker_view_controller.h"
#include "platform/ui/controllers/key_focus.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/views/responder.h"
#include "platform/ui/views/window.h"

namespace reelhaven {

namespace {

using Verb = HostCommand::Verb;

foundation::Error sessionError(std::string description) {
    return {"HostSessionErrorDomain", 1, std::move(description)};
}

// A way the parser accepted.
ui::ScreenDriver::Direction direction(const std::string& way) {
    using Direction = ui::ScreenDriver::Direction;
    if (way == "up") return Direction::up;
    if (way == "down") return Direction::down;
    return way == "left" ? Direction::left : Direction::right;
}

std::string handle(size_t index) { return "#" + std::to_string(index + 1); }

// The search bar the user sees on top: the last one printed.
std::optional<size_t> searchBarTarget(const ui::TextScreen& screen) {
    const auto& targets = screen.targets();
    for (size_t i = targets.size(); i-- > 0;) {
        if (std::dynamic_pointer_cast<ui::SearchBar>(targets[i].view)) return i;
    }
    return std::nullopt;
}

// The picker of a kind on the screen (a file or a font picker): the last one shown in the
// window's controllers, their children and what they present (a presentation may start from any
// of them).
template <typename Picker>
void findPicker(const std::shared_ptr<ui::ViewController>& controller, std::shared_ptr<Picker>& found) {
    if (!controller) return;
    if (auto picker = std::dynamic_pointer_cast<Picker>(controller);
        picker && picker->appearanceState() == ui::ViewController::AppearanceState::appeared)
        found = picker;
    for (const auto& child : controller->children()) findPicker(child, found);
    findPicker(controller->presentedViewController(), found);
}

template <typename Picker = ui::DocumentPickerViewController>
std::shared_ptr<Picker> shownPicker(ui::Window& window) {
    std::shared_ptr<Picker> found;
    findPicker(window.rootViewController(), found);
    return found;
}

}  // namespace

HostSession::HostSession(std::shared_ptr<ui::Window> window, HostSystem& system, HostSettler::FlushShownScreens flush,
                         std::ostream& out, std::ostream& err, Printing printing)
    : m_window(std::move(window)),
      m_system(system),
      m_driver(m_window),
      m_settler(
          m_driver, std::move(flush),
          system.hasWindow() ? std::function<void()>([&system] { system.serveWindow(); }) : std::function<void()>()),
      m_out(out),
      m_err(err),
      m_printing(printing) {}

HostSession::Outcome HostSession::executeLine(std::string_view line) {
    auto parsed = HostCommand::parse(line);
    if (!parsed) {
        m_err << "reelhaven: " << parsed.error().description << "\n";
        return Outcome::failed;
    }
    if (!parsed.value()) return Outcome::done;
    return execute(**parsed);
}

HostSession::Outcome HostSession::executeLineQuietly(std::string_view line) {
    const Printing printing = std::exchange(m_printing, Printing::onShow);
    const Outcome outcome = executeLine(line);
    m_printing = printing;
    return outcome;
}

HostSession::Outcome HostSession::execute(const HostCommand& command) {
    if (command.verb == Verb::quit) return Outcome::quit;
    auto status = perform(command);
    // A wait is the script's own measure of time: nothing beyond it runs.
    settle(command.verb != Verb::wait);
    if (!status) m_err << "reelhaven: " << status.error().description << "\n";
    if (command.verb == Verb::show) {
        if (command.tree) m_out << describeControllers(*m_window);
        printScreen();
    } else if (m_printing == Printing::afterEachCommand) {
        printScreen();
    }
    return status ? Outcome::done : Outcome::failed;
}

void HostSession::printScreen() { m_out << m_driver.screen() << std::flush; }

void HostSession::settle(bool shortDelays) {
    if (!m_settler.settle(shortDelays)) m_err << "reelhaven: the screen did not come to rest\n";
}

foundation::Status HostSession::perform(const HostCommand& command) {
    const auto& arguments = command.arguments;
    switch (command.verb) {
        case Verb::tap: return m_driver.tap(arguments[0]);
        case Verb::menu: return m_driver.longPress(arguments[0]);
        case Verb::choose: return m_driver.choose(arguments[0]);
        case Verb::type: return m_driver.type(arguments[0], arguments[1]);
        case Verb::search: return search(arguments[0]);
        case Verb::cancel: return cancel();
        case Verb::alert: return alert(arguments[0]);
        case Verb::pick: return pick(arguments);
        case Verb::drag: return m_driver.dragAndDrop(arguments[0], arguments[1]);
        case Verb::slide: return m_driver.slide(arguments[0], command.value);
        case Verb::step: return m_driver.step(arguments[0], arguments[1] == "up");
        case Verb::swipe: return m_driver.swipe(arguments[0], direction(arguments[1]));
        case Verb::key: return pressKeys(arguments);
        case Verb::back: return m_driver.back();
        case Verb::wait: wait(command.seconds); return {};
        case Verb::open: return m_system.open(arguments[0]);
        case Verb::background: m_system.enterBackground(); return {};
        case Verb::foreground: m_system.enterForeground(); return {};
        case Verb::screenshot: return m_system.screenshot(arguments[0]);
        case Verb::click: return click(command);
        case Verb::resize: return m_system.resizeWindow({command.size.first, command.size.second});
        case Verb::show:
        case Verb::quit: return {};
    }
    return {};
}

foundation::Status HostSession::click(const HostCommand& command) {
    if (command.point) return m_system.click({command.point->first, command.point->second});
    const auto& what = command.arguments[0];
    // What the window draws outside its views is clicked where it drew it.
    if (auto handle = m_driver.drawnHandleOf(what); handle && m_system.hasWindow()) {
        auto drawn = m_system.drawnPointOf(*handle);
        if (!drawn)
            return sessionError(base::escapedText(what) +
                                " is not drawn where a click reaches it (something lies over it)");
        return m_system.click(*drawn);
    }
    // An element is clicked where a finger would touch it; the click itself goes through the window.
    auto point = m_driver.touchPointOf(what);
    if (!point) return point.error();
    return m_system.click(point.value());
}

foundation::Status HostSession::search(const std::string& text) {
    auto bar = searchBarTarget(m_driver.capture());
    if (!bar) return sessionError("no search bar on the screen");
    if (auto status = m_driver.tap(handle(*bar)); !status) return status;
    // Beginning a search may lay the screen out anew; find the bar again.
    bar = searchBarTarget(m_driver.capture());
    if (!bar) return sessionError("the search bar went away when touched");
    return m_driver.type(handle(*bar), text);
}

foundation::Status HostSession::cancel() {
    // A menu, a picker or a sheet on top, as Escape leaves them in the window.
    if (ui::cancelTopmost(*m_window)) return {};
    if (auto picker = shownPicker(*m_window)) {
        picker->cancel();
        return {};
    }
    if (auto picker = shownPicker<ui::FontPickerViewController>(*m_window)) {
        picker->cancel();
        return {};
    }
    const auto screen = m_driver.capture();
    if (auto bar = searchBarTarget(screen)) {
        auto searchBar = std::static_pointer_cast<ui::SearchBar>(screen.targets()[*bar].view);
        if (searchBar->isEditing() || !searchBar->text().value_or("").empty()) {
            searchBar->tapCancel();
            return {};
        }
    }
    return sessionError("nothing to cancel: no menu, file or font picker, sheet, popover or search is open");
}

foundation::Status HostSession::alert(const std::string& action) {
    const auto screen = m_driver.capture();
    bool anyAlert = false;
    for (size_t i = 0; i < screen.targets().size(); ++i) {
        const auto& target = screen.targets()[i];
        if (target.kind != ui::ScreenTarget::Kind::alertAction) continue;
        anyAlert = true;
        if (target.title == action) return m_driver.tap(handle(i));
    }
    return sessionError(anyAlert ? "the alert has no action " + ui::quoted(action) + ":\n" + screen.text()
                                 : "no alert on the screen");
}

foundation::Status HostSession::pick(const std::vector<std::string>& paths) {
    auto picker = shownPicker(*m_window);
    if (!picker) return sessionError("no file picker on the screen");
    std::vector<foundation::URL> urls;
    for (const auto& path : paths) {
        std::error_code error;
        const auto absolute = std::filesystem::absolute(path, error).lexically_normal();
        if (error || !std::filesystem::exists(absolute, error))
            return sessionError("no such file: " + base::escapedText(path) + " (nothing was picked)");
        // A picker offers files only: a folder, a pipe, a device or a file of /proc would be
        // copied into Documents, where the transfer server serves it.
        auto file = localFileURL(path, "pick");
        if (!file) return sessionError(file.error().description + " (nothing was picked)");
        urls.push_back(file.value());
    }
    picker->pick(std::move(urls));
    return {};
}

foundation::Status HostSession::pressKeys(const std::vector<std::string>& names) {
    std::vector<ui::Press> presses;
    for (const auto& name : names) {
        auto press = namedKeyPress(name);
        if (!press) return sessionError("unknown key " + ui::quoted(name));
        presses.push_back(*press);
    }
    if (m_system.hasWindow()) {
        // A desktop window's keyboard: the keys go through its input path.
        for (const auto& press : presses) {
            if (auto status = m_system.pressKey(press.key); !status) return status;
        }
        return {};
    }
    // Escape leaves what is on top, as in the window; other keys go where a keyboard's would: to
    // the first responder on the screen the user sees (a search field under the player has none),
    // else to that screen.
    std::erase_if(presses, [this](const ui::Press& press) {
        return press.key.keyCode == ui::Key::escape && ui::cancelTopmost(*m_window);
    });
    for (const auto& press : presses) ui::Responder::deliverPressesTo({press}, ui::keyResponder(m_window));
    return {};
}

void HostSession::wait(double seconds) {
    auto loop = dispatch::RunLoop::main();
    if (loop->clock().isManual() && !m_system.hasWindow()) {
        loop->advance(dispatch::seconds(seconds));
        return;
    }
    // Serve the app meanwhile, and end early when the process is asked to stop (a request the
    // main queue runs). Nothing but what is served changes the app, so it sleeps until a post, a
    // timer (this one the wait's end), and with a window a video frame or the user's input.
    const auto until = loop->now() + dispatch::seconds(seconds);
    const auto due = loop->schedule(until, [] {});
    const auto done = [&] { return m_stopRequested || loop->now() >= until; };
    if (m_system.hasWindow()) {
        // A window closed meanwhile ends the script: nothing is left to show it.
        if (!m_system.serveWindowUntil(done)) m_stopRequested = true;
    } else {
        loop->runUntil(
            [&] {
                m_system.serveWindow();
                return done();
            },
            std::chrono::milliseconds(static_cast<long long>(seconds * 1000) + 1000),
            dispatch::RunLoop::ConditionSource::servedWork);
    }
    loop->cancel(due);
}

}  // namespace reelhaven
