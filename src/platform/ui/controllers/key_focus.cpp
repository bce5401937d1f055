#include "platform/ui/controllers/key_focus.h"

#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/text/text_input.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

namespace {

// Whether `responder` is part of `shown`: the controller itself, a controller or view inside its
// view, or the search field of its navigation item (drawn in the bar, in no view of its own).
bool liesOn(Responder& responder, ViewController& shown) {
    if (&responder == &shown) return true;
    if (auto search = shown.navigationItem()->searchController(); search && search->searchBar().get() == &responder)
        return true;
    if (!shown.isViewLoaded()) return false;
    const View& screen = *shown.view();
    if (auto view = dynamic_cast<const View*>(&responder)) return view->isDescendant(screen);
    if (auto controller = dynamic_cast<ViewController*>(&responder))
        return controller->isViewLoaded() && controller->view()->isDescendant(screen);
    return false;
}

// The first responder, unless it is a field that another screen covers.
std::shared_ptr<Responder> shownFirstResponder(const Window& window) {
    auto first = Responder::firstResponder();
    if (!first || !dynamic_cast<const TextInput*>(first.get())) return first;
    auto shown = shownViewController(window);
    return shown && liesOn(*first, *shown) ? first : nullptr;
}

}  // namespace

std::shared_ptr<ViewController> shownViewController(const Window& window) {
    checkMainThread();
    auto controller = window.rootViewController();
    for (bool deeper = true; controller && deeper;) {
        deeper = false;
        if (auto presented = controller->presentedViewController()) {
            controller = presented;
            deeper = true;
        } else if (auto navigation = std::dynamic_pointer_cast<NavigationController>(controller);
                   navigation && navigation->topViewController()) {
            controller = navigation->topViewController();
            deeper = true;
        }
    }
    return controller;
}

std::shared_ptr<TextInput> editingInput(const Window& window) {
    return std::dynamic_pointer_cast<TextInput>(shownFirstResponder(window));
}

std::shared_ptr<Responder> keyResponder(const std::shared_ptr<Window>& window) {
    if (!window) return nullptr;
    if (auto first = shownFirstResponder(*window)) return first;
    if (auto shown = shownViewController(*window)) return shown;
    return window;
}

}  // namespace ui
