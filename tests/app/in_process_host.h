#pragma once

// The application run by its host in this process, on a container in a temporary folder, for
// the tests that drive it through the host's commands as a person would: starting it, running a
// command, naming an element by its handle, the root library screen and the presented player,
// serving the app until something holds, and ending a player's work before the app goes.
// `MainLoop` is the main run loop the app runs on: the manual clock
// (`dispatch::ScopedMainRunLoop`) or, for a window, the real one
// (`testing_support::RealMainLoop`).

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "app/app_host.h"
#include "app/scene_delegate.h"
#include "library/library_file_collection_view_controller.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/container.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/window.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_view_controller.h"
#include "support/temp_dir.h"

namespace reelhaven {

template <typename MainLoop>
class InProcessHost {
protected:
    using Outcome = HostSession::Outcome;

    // Starts the app on the container (`options.home` is set here); false when it did not start,
    // with the reason in `err`.
    bool launch(LauncherOptions options = {}) {
        options.home = home;
        host = std::make_unique<AppHost>(options, out, err);
        return host->start();
    }
    // Shuts the app down as the host does at its end (the scene to the background, progress and
    // session kept), and lets the application go, so the next launch starts afresh.
    void shutDown() {
        if (host) host->shutDown();
        host.reset();
        ui::Application::shared().reset();
    }
    // Closes the presented player as its close button does and waits until its mpv work and its
    // progress saves have ended, so nothing of it runs on while the app goes away.
    void closePlayer() {
        auto shown = player();
        if (!shown) return;
        if (shown->mpv()) shown->close(false);
        if (auto session = shown->session()) session->commandQueue()->sync([] {});
        host->session().settle();
        shown->waitForProgressSaves();
    }

    // Runs a host command as typed at its terminal.
    Outcome run(const std::string& line) { return host->session().executeLine(line); }
    // Runs a host command; a failure carries what the host said and the screen it failed on.
    ::testing::AssertionResult command(const std::string& line) {
        err.str({});
        if (run(line) == Outcome::done) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << line << ": " << err.str() << "\n" << screen();
    }
    ui::ScreenDriver driver() const { return ui::ScreenDriver(host->window()); }
    // The screen as the host prints it now.
    std::string screen() const { return driver().screen(); }
    // The handle of the first element of class `kind` on the screen now whose line goes on as
    // `pattern` says; "#0" (no element) when there is none.
    std::string handle(const std::string& kind, const std::string& pattern = "") const {
        std::smatch found;
        const auto shown = screen();
        if (!std::regex_search(shown, found, std::regex(kind + " #(\\d+) " + pattern))) return "#0";
        return "#" + found[1].str();
    }
    // The handle ("#n") of the element that is `thing` (a view or a bar item) on the screen now.
    std::string handleOf(const void* thing) const {
        const auto shown = driver().capture();
        for (size_t i = 0; i < shown.targets().size(); ++i) {
            const auto& target = shown.targets()[i];
            if (target.view.get() == thing || target.item.get() == thing) return "#" + std::to_string(i + 1);
        }
        ADD_FAILURE() << "not on the screen:\n" << shown.text();
        return "#0";
    }

    std::shared_ptr<SceneDelegate> sceneDelegate() const {
        return host ? std::dynamic_pointer_cast<SceneDelegate>(host->scene()->delegate()) : nullptr;
    }
    std::shared_ptr<LibraryFileCollectionViewController> root() const {
        auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(host->window()->rootViewController());
        return std::dynamic_pointer_cast<LibraryFileCollectionViewController>(navigation->viewControllers().at(0));
    }
    std::shared_ptr<ReelhavenViewController> player() const {
        auto delegate = sceneDelegate();
        return delegate ? delegate->presentedPlayer() : nullptr;
    }

    // Serves the app, letting it settle, until `done` (mpv and the library's workers answer on
    // threads of their own); false when `limit` of real time passed first.
    bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(30)) {
        return dispatch::RunLoop::main()->runUntil(
            [&] {
                host->session().settle();
                return done();
            },
            limit);
    }

    MainLoop loop;
    testing_support::TempDir dir;
    std::filesystem::path home = dir / "home";
    std::filesystem::path documents = home / "Documents";
    foundation::ScopedContainer container{home};
    std::ostringstream out, err;
    std::unique_ptr<AppHost> host;
};

}  // namespace reelhaven
