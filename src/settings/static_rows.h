#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controllers/static_table_section.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/color.h"

namespace reelhaven {

// The kinds of row the settings storyboard's static tables are made of. Main thread.
class StaticRows {
public:
    // A title with a chevron; `segue` is performed when the row is selected.
    static ui::StaticTableRow disclosure(const std::string& title, std::optional<std::string> segue = std::nullopt);
    // A title with a value at the trailing side, handed back in `detail`.
    static ui::StaticTableRow value(const std::string& title, std::shared_ptr<ui::Label>& detail,
                                    std::optional<std::string> segue = std::nullopt);
    // A title with a switch as accessory, handed back in `toggle`.
    static ui::StaticTableRow toggle(const std::string& title, std::shared_ptr<ui::Switch>& toggle);
    // A title in a colour, with nothing else (an action row).
    static ui::StaticTableRow action(const std::string& title, const ui::Color& color);
};

}  // namespace reelhaven
