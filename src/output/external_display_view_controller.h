#pragma once

#include <memory>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/layout/stack_view.h"

namespace reelhaven {

class MPVGLKView;

// Notifications of the second screen, posted on the default centre with no object.
inline constexpr const char* kExternalDisplayReady = "externalDisplayReady";
inline constexpr const char* kExternalDisplayDisconnected = "externalDisplayDisconnected";

// The root controller of the second screen's window, from the storyboard "ExternalDisplay" with
// the identifier "externalDisplayPlayer": a GL view the renderer draws the video into while a
// player uses the screen, and a placeholder shown otherwise. Main thread.
class ExternalDisplayViewController : public ui::ViewController {
public:
    static constexpr const char* kStoryboard = "ExternalDisplay";
    static constexpr const char* kIdentifier = "externalDisplayPlayer";

    // Registers the storyboard's controller (once).
    static void registerStoryboard();
    // The root controller of the first window whose scene has the external-display role, when it
    // is one of these; none without such a window.
    static std::shared_ptr<ExternalDisplayViewController> current();

    std::string className() const override { return "ExternalDisplayViewController"; }

    // Outlets, connected when the view loads.
    std::shared_ptr<MPVGLKView> glkView() const { return m_glkView.lock(); }
    std::shared_ptr<ui::StackView> placeholderView() const { return m_placeholderView.lock(); }
    // The GL view's aspect ratio; the player replaces it for the video's.
    std::shared_ptr<ui::LayoutConstraint> aspectRatioConstraint;

    void loadView() override;
    // Posts "externalDisplayReady", on every appearance.
    void viewDidAppear(bool animated) override;
    // Hides the GL view at once and fades the placeholder in over 0.5 s.
    void showPlaceholder();

protected:
    ExternalDisplayViewController() = default;

private:
    std::weak_ptr<MPVGLKView> m_glkView;
    std::weak_ptr<ui::StackView> m_placeholderView;
};

}  // namespace reelhaven
