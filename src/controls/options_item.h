#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/value_text_publisher.h"

namespace ui {
class Control;
}

namespace reelhaven {

// Which control an option row shows, with the control class its configuration expects:
// toggle ui::Switch, slider ui::Slider, stepper ui::Stepper, segmentedControl
// ui::SegmentedControl, button ui::Button.
enum class OptionsControlType { toggle = 0, slider = 1, stepper = 2, segmentedControl = 3, button = 4 };

// The control of one option row. The closures hold the popover weakly and do nothing (reset:
// nothing) once it is gone.
struct OptionsControl {
    OptionsControlType type = OptionsControlType::toggle;
    // Sets a freshly made control up; it casts to the class of `type` and ignores another class.
    std::function<void(const std::shared_ptr<ui::Control>&)> configuration;
    // Sliders only: restores the default, writes it to the player and gives the value to show.
    std::function<std::optional<float>()> reset;
};

// One row of the options popover, a value copied into the list. A row is identified by its
// label, second line, symbol, indentation and segue: expanding it, changing its value text or
// its control keeps it the same row.
struct OptionsItem {
    std::optional<std::string> title;  // also the row's key (OptionsRowKind)
    std::optional<std::string> subtitle;
    std::optional<std::string> icon;  // a system symbol name
    int indentLevel = 0;
    std::vector<OptionsItem> subitems;  // an item with children expands
    std::optional<std::string> segue;   // "font" opens the font picker
    bool isExpanded = false;
    std::optional<ValueTextPublisher> value;  // shared by reference
    std::optional<OptionsControl> control;

    std::size_t hashValue() const;
    // Equal identities: the five hashed fields.
    bool operator==(const OptionsItem& other) const {
        return title == other.title && subtitle == other.subtitle && icon == other.icon &&
               indentLevel == other.indentLevel && segue == other.segue;
    }
};

struct OptionsItemHash {
    std::size_t operator()(const OptionsItem& item) const { return item.hashValue(); }
};

}  // namespace reelhaven
