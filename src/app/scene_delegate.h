#pragma once

#include <memory>
#include <vector>

#include "core/media_origin.h"
#include "platform/foundation/url.h"
#include "platform/ui/scenes/scene_delegate.h"

namespace ui {
class Window;
}

namespace reelhaven {

class FileCollectionViewController;
class ReelhavenViewController;

// The delegate of the app's window scene. Connecting builds the window, the root library manager
// and the root library screen in a navigation controller; URLs handed to the scene are played
// (files from elsewhere moved into Documents unless opened in place, "reelhaven" URLs as the
// network address they carry); the scene's activity changes reach the player on screen; the
// library is listed again each time the scene comes back; the progress store is saved when the
// scene goes to the background; and a player that was up when the scene was last saved is
// restored. It keeps only the window: the library screens and the player are found through it
// each time.
//
// Main thread only. Files: scene_delegate.cpp (connecting, activity changes, lookups),
// scene_delegate_player.cpp (opening URLs, presenting the player, restoring it).
class SceneDelegate : public ui::SceneDelegate, public std::enable_shared_from_this<SceneDelegate> {
public:
    static std::shared_ptr<SceneDelegate> create() { return std::shared_ptr<SceneDelegate>(new SceneDelegate()); }

    std::shared_ptr<ui::Window> window() const { return m_window; }
    void setWindow(std::shared_ptr<ui::Window> window) { m_window = std::move(window); }
    bool previouslyActive() const { return m_previouslyActive; }

    // --- scene_delegate.cpp
    void willConnect(ui::Scene& scene, ui::SceneSession& session, const ui::ConnectionOptions& options) override;
    void didDisconnect(ui::Scene& scene) override;
    void didBecomeActive(ui::Scene& scene) override;
    void willResignActive(ui::Scene& scene) override;
    void willEnterForeground(ui::Scene& scene) override;
    void didEnterBackground(ui::Scene& scene) override;
    std::shared_ptr<ui::UserActivity> stateRestorationActivity(ui::Scene& scene) override;

    // The navigation controller's top screen when it is a library screen.
    std::shared_ptr<FileCollectionViewController> topLibraryScreen() const;
    // The player that screen presents, if any.
    std::shared_ptr<ReelhavenViewController> presentedPlayer() const;

    // --- scene_delegate_player.cpp
    void openURLContexts(ui::Scene& scene, const std::vector<ui::OpenURLContext>& contexts) override;
    void restoreInteractionState(ui::Scene& scene, const ui::UserActivity& activity) override;
    // Plays the first of the contexts; nothing while a player is up. Every file handed over as a
    // copy moves into Documents all the same.
    void openURLContexts(const std::vector<ui::OpenURLContext>& contexts);
    // Presents the player for a file or network URL from outside the library, held to the limits
    // of where it came from: a "reelhaven:" link's address is a link's; a file offered to be
    // opened where it lies was opened by the user (in Files, or with --open or the host's `open`
    // as the launcher stands in for the system); a copy moved into Documents is a library file.
    void presentPlayer(const foundation::URL& url, MediaOrigin origin);
    // Rebuilds the player from the activity the player saved; every way out completes the
    // scene's restoration.
    void restorePlayer(ui::Scene& scene, const ui::UserActivity& activity);
    // The length a restored player starts with. The file's own wins: a kept length that
    // disagrees (a stale or damaged scene's, 1e308 or -5) would make the saved position look
    // like another file's, restore the player at 0 and be saved into the progress record. The
    // kept one is used only while the file's cannot be read, and only when it can be a length.
    static std::optional<double> restoredDuration(const foundation::URL& file, double kept);

private:
    SceneDelegate() = default;
    // Moves each copy among the contexts into Documents and lists the library again when one
    // arrived; the place in Documents of the first context's copy (none when it is no copy or
    // could not be moved).
    std::optional<foundation::URL> moveCopiesIntoDocuments(const std::vector<ui::OpenURLContext>& contexts);

    std::shared_ptr<ui::Window> m_window;
    bool m_previouslyActive = false;
};

}  // namespace reelhaven
