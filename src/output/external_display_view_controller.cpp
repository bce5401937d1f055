#include "output/external_display_view_controller.h"

#include <mutex>

#include "output/mpv_glk_view.h"
#include "platform/base/fatal.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/window.h"

namespace reelhaven {

void ExternalDisplayViewController::registerStoryboard() {
    static std::once_flag once;
    std::call_once(once, [] {
        ui::Storyboard::registerController(kStoryboard, kIdentifier,
                                           [] { return ui::make<ExternalDisplayViewController>(); });
    });
}

std::shared_ptr<ExternalDisplayViewController> ExternalDisplayViewController::current() {
    ui::checkMainThread();
    for (const auto& scene : ui::Application::shared().connectedScenes()) {
        for (const auto& window : scene->windows()) {
            if (scene->session()->role() != ui::SceneSessionRole::windowExternalDisplayNonInteractive) continue;
            return std::dynamic_pointer_cast<ExternalDisplayViewController>(window->rootViewController());
        }
    }
    return nullptr;
}

// The interface file's content: the video view centred at 16:9 on black, and the placeholder (the
// app's name over a film symbol) in the middle.
void ExternalDisplayViewController::loadView() {
    auto root = ui::View::create();
    root->setBackgroundColor(ui::Color::black());
    auto glk = MPVGLKView::create();
    glk->setTranslatesAutoresizingMaskIntoConstraints(false);
    glk->setHidden(true);
    auto symbol = ui::ImageView::create(ui::Image::systemImage("film"));
    auto name = ui::Label::create();
    name->setText("Reelhaven");
    name->setTextColor(ui::Color::white());
    auto placeholder = ui::StackView::create({symbol, name});
    placeholder->setAxis(ui::LayoutAxis::vertical);
    placeholder->setAlignment(ui::StackViewAlignment::center);
    placeholder->setSpacing(8);
    placeholder->setTranslatesAutoresizingMaskIntoConstraints(false);
    root->addSubview(glk);
    root->addSubview(placeholder);
    aspectRatioConstraint = glk->widthAnchor().constraint(glk->heightAnchor(), 16.0 / 9.0, 0);
    auto fitWidth = glk->widthAnchor().constraint(root->widthAnchor(), 1.0, 0);
    fitWidth->setPriority(ui::LayoutPriority::defaultHigh);
    ui::LayoutConstraint::activate({
        glk->centerXAnchor().constraint(root->centerXAnchor(), 0),
        glk->centerYAnchor().constraint(root->centerYAnchor(), 0),
        glk->widthAnchor().constraintLessThanOrEqualTo(root->widthAnchor(), 0),
        glk->heightAnchor().constraintLessThanOrEqualTo(root->heightAnchor(), 0),
        fitWidth,
        aspectRatioConstraint,
        placeholder->centerXAnchor().constraint(root->centerXAnchor(), 0),
        placeholder->centerYAnchor().constraint(root->centerYAnchor(), 0),
    });
    m_glkView = glk;
    m_placeholderView = placeholder;
    setView(root);
}

void ExternalDisplayViewController::viewDidAppear(bool animated) {
    ui::ViewController::viewDidAppear(animated);
    foundation::NotificationCenter::defaultCenter().post(kExternalDisplayReady);
}

void ExternalDisplayViewController::showPlaceholder() {
    auto glk = glkView();
    auto placeholder = placeholderView();
    if (!glk || !placeholder) base::fatal("ExternalDisplayViewController: an outlet is not connected");
    glk->setHidden(true);
    ui::View::transition(placeholder, 0.5, ui::transitionCrossDissolve,
                         [placeholder] { placeholder->setHidden(false); });
}

}  // namespace reelhaven
