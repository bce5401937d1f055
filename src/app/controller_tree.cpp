#include "app/controller_tree.h"

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/screen/view_description.h"
#include "platform/ui/views/window.h"

namespace reelhaven {

namespace {

const char* appearanceName(ui::ViewController::AppearanceState state) {
    switch (state) {
        case ui::ViewController::AppearanceState::disappeared: return "hidden";
        case ui::ViewController::AppearanceState::appearing: return "appearing";
        case ui::ViewController::AppearanceState::appeared: return "shown";
        case ui::ViewController::AppearanceState::disappearing: return "disappearing";
    }
    return "";
}

void describe(const ui::ViewController& controller, int depth, const std::string& role, std::string& out) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += role + controller.className();
    if (!controller.title().empty()) out += " " + ui::quoted(controller.title());
    out += std::string(" (") + appearanceName(controller.appearanceState()) + ")\n";
    for (const auto& child : controller.children()) describe(*child, depth + 1, "", out);
    if (auto presented = controller.presentedViewController()) describe(*presented, depth + 1, "presents ", out);
}

}  // namespace

std::string describeControllers(const ui::Window& window) {
    std::string out = "Window\n";
    if (auto root = window.rootViewController()) describe(*root, 1, "", out);
    return out;
}

}  // namespace reelhaven
