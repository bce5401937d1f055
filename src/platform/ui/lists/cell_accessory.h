#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/views/color.h"

namespace ui {

class View;

// A decoration at the edge of a list cell.
struct CellAccessory {
    enum class Kind {
        disclosureIndicator,
        checkmark,
        deleteAccessory,
        reorder,
        multiselect,
        outlineDisclosure,
        label,
        customView
    };
    enum class Displayed { always, whenEditing, whenNotEditing };

    Kind kind = Kind::disclosureIndicator;
    Displayed displayed = Displayed::always;
    std::optional<Color> tintColor;
    std::string text;            // for `label`
    std::shared_ptr<View> view;  // for `customView`
    bool isHidden = false;       // kept in place but not drawn

    static CellAccessory customView(std::shared_ptr<View> view, Displayed displayed = Displayed::always) {
        CellAccessory a{Kind::customView, displayed};
        a.view = std::move(view);
        return a;
    }

    static CellAccessory disclosureIndicator() { return {Kind::disclosureIndicator}; }
    static CellAccessory checkmark() { return {Kind::checkmark}; }
    static CellAccessory multiselect() { return {Kind::multiselect, Displayed::whenEditing}; }
    static CellAccessory outlineDisclosure() { return {Kind::outlineDisclosure}; }
    static CellAccessory label(std::string text) {
        CellAccessory a{Kind::label};
        a.text = std::move(text);
        return a;
    }
};

}  // namespace ui
