#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controls/menu.h"
#include "platform/ui/gestures/click_runs.h"
#include "platform/ui/views/object.h"
#include "platform/ui/views/point.h"

namespace ui {

class BarButtonItem;
class View;

// A menu open on screen: what a button, a bar item or a long press opened, anchored where it
// came from. Its entries are read when it opens (deferred elements resolved once per opening,
// inline menus flattened into groups, hidden actions left out); choosing a submenu opens it in
// place, choosing an action runs it and closes the menu unless it keeps the menu presented.
// Main thread only.
class PresentedMenu : public Object {
public:
    struct Entry {
        std::shared_ptr<MenuElement> element;
        bool isSubmenu = false;
        int group = 0;  // entries of one inline menu share a group; groups are separated on screen
    };
    static std::shared_ptr<PresentedMenu> create(std::shared_ptr<Menu> menu, const std::shared_ptr<View>& anchorView,
                                                 const std::shared_ptr<BarButtonItem>& anchorItem = nullptr);
    std::string className() const override { return "PresentedMenu"; }

    // The menu whose entries show now (the innermost opened submenu).
    const std::shared_ptr<Menu>& menu() const { return m_menus.back(); }
    const std::vector<Entry>& entries() const { return m_entries; }
    std::shared_ptr<View> anchorView() const { return m_anchorView.lock(); }
    std::shared_ptr<BarButtonItem> anchorItem() const { return m_anchorItem.lock(); }
    // Where a pointer opened the menu, in window points: it shows there rather than hanging from
    // its anchor.
    std::optional<Point> location() const { return m_location; }
    void setLocation(std::optional<Point> location) { m_location = location; }
    // The pointer's run of clicks when the entries showing now appeared (a submenu replaces them):
    // no press of that run lands on them.
    ClickRuns::Stamp shownAt() const { return m_shownAt; }

    // The user picks the entry titled `title`: false when none is shown or it is disabled. An
    // action that closes the menu does so (`onClose`) before its handler runs.
    bool choose(const std::string& title);
    // The user taps outside the menu.
    void close();

    // Told once when the menu closes.
    std::function<void(PresentedMenu&)> onClose;

protected:
    PresentedMenu() = default;

private:
    void open(std::shared_ptr<Menu> menu);
    void addEntries(const std::vector<std::shared_ptr<MenuElement>>& elements, int& group);

    std::vector<std::shared_ptr<Menu>> m_menus;
    std::vector<Entry> m_entries;
    std::weak_ptr<View> m_anchorView;
    std::weak_ptr<BarButtonItem> m_anchorItem;
    std::optional<Point> m_location;
    ClickRuns::Stamp m_shownAt = 0;
    bool m_closed = false;
};

}  // namespace ui
