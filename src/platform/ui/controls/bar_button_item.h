#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controls/action.h"
#include "platform/ui/controls/control.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

class View;

// A button of a navigation bar or toolbar. `tap` acts as the user: the primary action, else the
// target's action; an item with only a menu opens it (counted).
class BarButtonItem : public Object {
public:
    enum class Style { plain, done };
    enum class SystemItem { none, done, cancel, edit, add, flexibleSpace, fixedSpace, action, trash, close, search };
    using Handler = std::function<void(BarButtonItem&)>;

    static std::shared_ptr<BarButtonItem> create(std::string title, std::shared_ptr<Image> image = nullptr,
                                                 Style style = Style::plain);
    static std::shared_ptr<BarButtonItem> create(SystemItem item);
    std::string className() const override { return "BarButtonItem"; }

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) {
        checkMainThread();
        m_title = std::move(title);
    }
    std::shared_ptr<Image> image() const { return m_image; }
    void setImage(std::shared_ptr<Image> image) {
        checkMainThread();
        m_image = std::move(image);
    }
    Style style() const { return m_style; }
    void setStyle(Style style) {
        checkMainThread();
        m_style = style;
    }
    SystemItem systemItem() const { return m_systemItem; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) {
        checkMainThread();
        m_enabled = enabled;
    }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) {
        checkMainThread();
        m_hidden = hidden;
    }
    std::optional<Color> tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<Color> color) {
        checkMainThread();
        m_tintColor = std::move(color);
    }
    std::shared_ptr<View> customView() const { return m_customView; }
    void setCustomView(std::shared_ptr<View> view) {
        checkMainThread();
        m_customView = std::move(view);
    }
    std::shared_ptr<Menu> menu() const { return m_menu; }
    void setMenu(std::shared_ptr<Menu> menu) {
        checkMainThread();
        m_menu = std::move(menu);
    }
    std::shared_ptr<Action> primaryAction() const { return m_primaryAction; }
    void setPrimaryAction(std::shared_ptr<Action> action) {
        checkMainThread();
        m_primaryAction = std::move(action);
    }
    void setTarget(const std::shared_ptr<void>& target, Handler action);
    // The title's attributes as set for one state (normal, highlighted, disabled).
    TextAttributes titleTextAttributes(ControlState state) const;
    void setTitleTextAttributes(TextAttributes attributes, ControlState state);
    // What the title is drawn with now or in `state`: that state's attributes over the normal ones.
    TextAttributes effectiveTitleTextAttributes(ControlState state) const;
    TextAttributes currentTitleTextAttributes() const {
        return effectiveTitleTextAttributes(m_enabled ? ControlState::normal : ControlState::disabled);
    }
    double width() const { return m_width; }
    void setWidth(double width) {
        checkMainThread();
        m_width = width;
    }

    // Returns whether anything ran (a disabled item does nothing).
    bool tap();
    int menuOpenings() const { return m_menuOpenings; }

protected:
    BarButtonItem() = default;

private:
    std::string m_title;
    std::shared_ptr<Image> m_image;
    Style m_style = Style::plain;
    SystemItem m_systemItem = SystemItem::none;
    bool m_enabled = true;
    bool m_hidden = false;
    std::optional<Color> m_tintColor;
    std::shared_ptr<View> m_customView;
    std::shared_ptr<Menu> m_menu;
    std::shared_ptr<Action> m_primaryAction;
    std::weak_ptr<void> m_target;
    bool m_hasTarget = false;
    Handler m_action;
    double m_width = 0;
    int m_menuOpenings = 0;
    std::map<ControlState, TextAttributes> m_titleTextAttributes;
};

}  // namespace ui
