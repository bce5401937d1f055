#include "settings/settings_look.h"

#include "platform/base/fatal.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/lists/table_view_header_footer_view.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/text/font.h"
#include "platform/ui/views/window.h"

namespace reelhaven {

ui::Color SettingsLook::selectedRowColor() {
    constexpr double grey = 76.0 / 255.0;
    return ui::Color::rgba(grey, grey, grey, 1);
}

double SettingsLook::sideMargin(const ui::View& view) {
    const double width = view.frame().size.width;
    if (width >= 1024) return 200;
    if (width > 768) return 100;
    if (width > 414) {
        auto window = view.window();
        auto scene = window ? window->windowScene() : nullptr;
        if (scene && ui::isLandscape(scene->interfaceOrientation())) return 60;
    }
    return 0;
}

void SettingsLook::applyLayoutMargins(ui::View& target, const ui::View& view) {
    const double margin = sideMargin(view);
    target.setLayoutMargins({0, margin, 0, margin});
}

void SettingsLook::styleHeader(ui::View& header) {
    auto* titled = dynamic_cast<ui::TableViewHeaderFooterView*>(&header);
    if (!titled) return;
    const auto font = ui::Font::named("Inter-SemiBold", 14);
    if (!font) base::fatal("the font Inter-SemiBold is not installed");
    titled->textLabel()->setFont(*font);
    titled->textLabel()->setTextColor(ui::Color::secondaryLabel());
}

bool SettingsLook::highlightRow(ui::TableView& table, const ui::IndexPath& indexPath) {
    auto cell = table.cellForRow(indexPath);
    if (!cell) return true;
    auto background = ui::View::create();
    background->setBackgroundColor(selectedRowColor());
    background->setClipsToBounds(true);
    cell->setSelectedBackgroundView(background);
    return true;
}

}  // namespace reelhaven
