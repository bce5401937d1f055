#include "platform/display/chrome_painter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "platform/display/backdrop_blur.h"
#include "platform/display/chrome_drawing.h"
#include "platform/display/layer_cache.h"
#include "platform/display/layer_painter.h"
#include "platform/display/text_painter.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_bar_layout.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/menu_element.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/screen/text_screen.h"
#include "platform/ui/text/field_mouse.h"
#include "platform/ui/text/field_text_layout.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/text/text_input.h"
#include "platform/ui/views/window.h"

namespace display {

// The handles of the printed screen, by the object each stands for.
struct ChromePainter::Handles {
    std::map<const void*, int> items;                           // bar items, back buttons
    std::map<std::pair<const void*, std::string>, int> titled;  // alert actions, menu entries

    // 0: none.
    int item(const void* object) const {
        const auto found = items.find(object);
        return found == items.end() ? 0 : found->second;
    }
    int entry(const void* owner, const std::string& title) const {
        const auto found = titled.find({owner, title});
        return found == titled.end() ? 0 : found->second;
    }
};

namespace {
constexpr double barHeight = ui::NavigationController::barHeight;

constexpr double alertRadius = 14;
// A menu's rows, the gap between its groups, its title's height, its width and its corners.
constexpr double menuRow = 44, menuGroupGap = 8, menuTitleHeight = 30, menuWidth = 250, menuRadius = 13;

ui::Font alertMessageFont() { return ui::Font::systemFont(13); }

// A bar item held down fades; a held row of an alert or a menu darkens.
ui::Color pressed(const ui::Color& color) { return color.withAlpha(color.alpha * 0.3); }

void collectNavigations(const std::shared_ptr<ui::View>& view, std::vector<std::shared_ptr<ui::View>>& out) {
    if (view->isHidden() || view->alpha() < 0.01) return;
    if (std::dynamic_pointer_cast<ui::NavigationController>(view->viewController())) out.push_back(view);
    for (const auto& child : view->subviews()) collectNavigations(child, out);
}

// Whether an opaque view the window shows above its subview `index` (a controller presented over
// the whole screen) covers `rect` wholly: a navigation bar there is neither drawn nor touched. A
// clear view (a popover's dimming) covers nothing.
bool coveredAbove(const std::vector<std::shared_ptr<ui::View>>& windowSubviews, size_t index, const ui::Rect& rect) {
    for (size_t above = index + 1; above < windowSubviews.size(); ++above) {
        const auto& view = windowSubviews[above];
        const auto background = view->backgroundColor();
        if (view->isHidden() || view->alpha() < 0.99 || !background || background->alpha < 0.99) continue;
        const auto frame = view->frame();
        if (frame.contains(rect.origin) && frame.contains({rect.maxX() - 0.5, rect.maxY() - 0.5})) return true;
    }
    return false;
}

// The frames of what the window shows above its subview `index` (screens presented later, views
// with a background): a bar under them is neither drawn nor touched there. `popover`: one of them
// is a popover, whose outside only dismisses it, so no bar under it takes a click anywhere.
struct Above {
    std::vector<ui::Rect> frames;
    bool popover = false;
};
Above above(const std::vector<std::shared_ptr<ui::View>>& windowSubviews, size_t index) {
    Above result;
    for (size_t i = index + 1; i < windowSubviews.size(); ++i) {
        const auto& view = windowSubviews[i];
        if (view->isHidden() || view->alpha() < 0.01) continue;
        // A presented screen, clear or not; a plain clear view (a dimming) covers nothing. An
        // alert hides nothing: its dimming, drawn over the bars, lets them show through.
        auto controller = view->viewController();
        if (std::dynamic_pointer_cast<ui::AlertController>(controller)) continue;
        const bool presented = controller && controller->presentingViewController();
        const auto background = view->backgroundColor();
        if (!presented && (!background || background->alpha < 0.01)) continue;
        result.frames.push_back(view->frame());
        if (presented && !controller->isBeingDismissed() &&
            controller->effectivePresentationStyle() == ui::ModalPresentationStyle::popover)
            result.popover = true;
    }
    return result;
}

// Clips `cr` (user space in window points, `scale` pixels per point) to the window less `frames`,
// whole device pixels each.
void clipOut(cairo_t* cr, const ui::Rect& window, const std::vector<ui::Rect>& frames, double scale) {
    auto pixels = [scale](const ui::Rect& rect) {
        const int x = static_cast<int>(std::floor(rect.origin.x * scale));
        const int y = static_cast<int>(std::floor(rect.origin.y * scale));
        return cairo_rectangle_int_t{x, y, static_cast<int>(std::ceil(rect.maxX() * scale)) - x,
                                     static_cast<int>(std::ceil(rect.maxY() * scale)) - y};
    };
    const auto whole = pixels(window);
    cairo_region_t* region = cairo_region_create_rectangle(&whole);
    for (const auto& frame : frames) {
        const auto cut = pixels(frame);
        cairo_region_subtract_rectangle(region, &cut);
    }
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    cairo_identity_matrix(cr);
    for (int i = 0; i < cairo_region_num_rectangles(region); ++i) {
        cairo_rectangle_int_t rect;
        cairo_region_get_rectangle(region, i, &rect);
        cairo_rectangle(cr, rect.x, rect.y, rect.width, rect.height);
    }
    cairo_region_destroy(region);
    cairo_clip(cr);
    cairo_set_matrix(cr, &matrix);
}

}  // namespace

void ChromePainter::addTarget(const ui::Rect& rect, int handle, std::weak_ptr<const void> element) {
    if (handle <= 0) return;
    ChromeTarget target{rect, handle};
    target.element = std::move(element);
    m_result.targets.push_back(std::move(target));
}

template <typename Surface>
void ChromePainter::belongTo(size_t first, const std::shared_ptr<Surface>& surface) {
    if (!surface) return;
    std::weak_ptr<Surface> weak = surface;
    auto shownAt = [weak] {
        // Gone since this paint: its targets take nothing (their handles may name another now).
        auto shown = weak.lock();
        return shown ? shown->shownAt() : std::numeric_limits<ui::ClickRuns::Stamp>::max();
    };
    for (auto i = first; i < m_result.targets.size(); ++i) m_result.targets[i].shownAt = shownAt;
}

void ChromePainter::draw(cairo_t* cr, const ui::Layer& owner, Part part, const ChromeDrawing& drawing, double scale,
                         Area area) {
    Fingerprint key;
    key.add(scale);
    drawing.fingerprint(key);
    // The cache keeps a piece moved by whole pixels; where it is matters only to the damage.
    Fingerprint placed;
    placed.add(key.value()).add(drawing.origin());
    m_result.pieces.push_back({&owner, static_cast<int>(part), area.rect, placed.value(), area.blurred});
    if (!cr) return;
    SavedState saved(cr);
    cairo_translate(cr, drawing.origin().x, drawing.origin().y);
    m_cache.draw(cr, owner, static_cast<int>(part), key, false, [&](cairo_t* target) {
        ++m_draws;
        drawing.draw(target, m_images, m_text, scale);
    });
}

ChromePainter::Result ChromePainter::paint(cairo_t* cr, ui::Window& window, double scale, int highlighted) {
    m_result = {};
    m_itemRects.clear();
    m_highlighted = highlighted;
    Handles handles;
    const auto screen = ui::TextScreen::capture(window);
    for (size_t i = 0; i < screen.targets().size(); ++i) {
        const auto& target = screen.targets()[i];
        const int handle = static_cast<int>(i) + 1;
        using Kind = ui::ScreenTarget::Kind;
        if (target.kind == Kind::barItem) handles.items[target.item.get()] = handle;
        if (target.kind == Kind::backButton) handles.items[target.navigation.get()] = handle;
        if (target.kind == Kind::alertAction) handles.titled[{target.alert.get(), target.title}] = handle;
        if (target.kind == Kind::menuEntry) handles.titled[{target.menu.get(), target.title}] = handle;
        // Search fields in bars and alerts' text fields, drawn here rather than as views.
        if (target.kind == Kind::view && std::dynamic_pointer_cast<ui::TextInput>(target.view))
            handles.items[target.view.get()] = handle;
    }
    m_handles = &handles;
    if (!window.isHidden()) {
        const auto windowSubviews = window.subviews();
        for (size_t index = 0; index < windowSubviews.size(); ++index) {
            std::vector<std::shared_ptr<ui::View>> navigations;
            collectNavigations(windowSubviews[index], navigations);
            for (const auto& view : navigations) {
                auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(view->viewController());
                const auto layout = ui::NavigationBarLayout::of(*navigation);
                if (!layout || coveredAbove(windowSubviews, index, layout->bar)) continue;
                const auto over = above(windowSubviews, index);
                const auto targetsBefore = m_result.targets.size();
                if (cr) {
                    SavedState saved(cr);
                    if (!over.frames.empty()) clipOut(cr, window.bounds(), over.frames, scale);
                    paintBar(cr, *navigation, *layout, scale);
                } else {
                    // Only laid out, for the damage it would paint.
                    paintBar(nullptr, *navigation, *layout, scale);
                }
                // Only the topmost presented thing takes touches where it lies.
                auto& targets = m_result.targets;
                const auto first = targets.begin() + static_cast<std::ptrdiff_t>(targetsBefore);
                const auto covered = std::remove_if(first, targets.end(), [&over](const ChromeTarget& target) {
                    return std::any_of(over.frames.begin(), over.frames.end(),
                                       [&](const ui::Rect& f) { return f.intersects(target.rect); });
                });
                targets.erase(covered, targets.end());
                for (auto it = targets.begin() + static_cast<std::ptrdiff_t>(targetsBefore); it != targets.end(); ++it)
                    it->takesClicks = !over.popover;
                auto top = navigation->topViewController();
                belongTo(targetsBefore, top);
                auto titleView = top ? top->navigationItem()->titleView() : nullptr;
                if (titleView && titleView->superview() == view && !titleView->isHidden())
                    m_result.titleViews.push_back(std::move(titleView));
            }
        }
        paintAlerts(cr, window, scale);
        paintMenu(cr, window, scale);
    }
    m_handles = nullptr;
    return std::move(m_result);
}

void ChromePainter::paintBar(cairo_t* cr, ui::NavigationController& navigation, const ui::NavigationBarLayout& layout,
                             double scale) {
    const auto& bar = layout.bar;
    const double y = bar.origin.y, top = layout.top;
    // The bar's colour reaches up to the top of the navigation's view, under the status area; no
    // higher, so a sheet's bar leaves the screen behind the sheet uncovered.
    ChromeDrawing drawing({bar.origin.x, top});
    drawing.fill(ui::Rect(bar.origin.x, top, bar.size.width, y + barHeight - top),
                 ui::Color::secondarySystemBackground().withAlpha(0.94));
    drawing.hairline({bar.origin.x, y + barHeight}, {bar.origin.x + bar.size.width, y + barHeight});
    const auto tint = navigation.view()->tintColor();
    if (layout.backButton) {
        const int handle = m_handles->item(&navigation);
        paintBackButton(drawing, layout, isHighlighted(handle) ? pressed(tint) : tint);
        addTarget(*layout.backButton, handle, navigation.topViewController());
    }
    for (const auto& placed : layout.items) {
        const auto& rect = placed.rect;
        const int handle = m_handles->item(placed.item.get());
        auto color = placed.item->isEnabled() ? placed.item->tintColor().value_or(tint) : ui::Color::tertiaryLabel();
        if (isHighlighted(handle)) color = pressed(color);
        if (placed.image && placed.title.empty()) {
            drawing.image(placed.image, ui::Rect(rect.origin.x + 11, y + 11, 22, 22), color);
        } else {
            drawing.text(placed.title,
                         ui::Font::systemFont(17, placed.bold ? ui::FontWeight::semibold : ui::FontWeight::regular),
                         color, rect, ui::TextAlignment::center);
        }
        m_itemRects.push_back({placed.item.get(), rect});
        addTarget(rect, handle, placed.item);
    }
    if (layout.searchField) paintSearchField(drawing, layout, tint);
    if (layout.showsTitle) {
        drawing.text(layout.title, ui::Font::systemFont(17, ui::FontWeight::semibold), ui::Color::label(),
                     layout.titleRoom, ui::TextAlignment::center);
    }
    // The bar is a material too: what scrolls (or lies) under it shows blurred, not as text.
    const ui::Rect material(bar.origin.x, top, bar.size.width, y + barHeight - top);
    if (cr) blurBackdrop(cr, material, 20, scale);
    draw(cr, navigation.view()->layer(), Part::bar, drawing, scale, {material, true});
}

void ChromePainter::paintBackButton(ChromeDrawing& drawing, const ui::NavigationBarLayout& layout,
                                    const ui::Color& color) {
    // The chevron apart from the title, so a title in a script read the other way does not carry it
    // to the far end; both keep to the button's leading end.
    const auto font = ui::Font::systemFont(17);
    const auto& button = *layout.backButton;
    const std::string chevron = ui::NavigationBarLayout::backChevron(layout.rightToLeft);
    const double chevronWidth = std::min(font.widthOf(chevron + " "), button.size.width);
    const auto [chevronRect, titleRect] =
        button.divided(chevronWidth, layout.rightToLeft ? ui::RectEdge::maxX : ui::RectEdge::minX);
    const auto alignment = layout.rightToLeft ? ui::TextAlignment::right : ui::TextAlignment::left;
    drawing.text(chevron, font, color, chevronRect, alignment);
    drawing.text(layout.backTitle, font, color, titleRect, alignment);
}

namespace {

// A field's text in `room` on one line: the placeholder when it is empty; while it is edited,
// whole and scrolled to its caret (FieldTextLayout), over what is selected and under the caret.
void paintFieldText(ChromeDrawing& drawing, ui::TextInput& input, const std::string& text,
                    const std::string& placeholder, bool editing, const ui::Font& font, const ui::Rect& room,
                    bool rightToLeft, const ui::Color& tint) {
    const auto alignment = rightToLeft ? ui::TextAlignment::right : ui::TextAlignment::left;
    if (!editing || text.empty()) {
        input.setTextScroll(0);
        drawing.text(text.empty() ? placeholder : text, font,
                     text.empty() ? ui::Color::placeholderText() : ui::Color::label(), room, alignment);
        if (editing) {
            // Before the placeholder, at the field's leading end.
            const auto empty = ui::FieldTextLayout::line({}, font, ui::Color::label(), room, rightToLeft,
                                                         ui::FieldTextLayout::Editing::yes);
            drawing.fill(empty.caret(0), tint);
        }
        return;
    }
    const auto layout = ui::FieldTextLayout::shownBy(input, text, true, font, ui::Color::label(), room, rightToLeft);
    const auto selected = input.selectedTextRange();
    for (const auto& rect : layout.selection(selected)) drawing.fill(rect, tint.withAlpha(0.25));
    drawing.fieldLine(text, font, ui::Color::label(), layout.origin(), room);
    if (selected.length == 0) drawing.fill(layout.caret(selected.location), tint);
}

// The mouse in a field drawn in `room` as paintFieldText draws it: the press begins editing, and
// lands on the text as it was last shown.
template <class Field>
std::function<void(ui::Point, int)> fieldPointer(const std::shared_ptr<Field>& field, const ui::Font& font,
                                                 const ui::Rect& room, bool rightToLeft) {
    auto mouse = std::make_shared<ui::FieldMouse>();
    std::weak_ptr<Field> weak = field;
    return [weak, mouse, font, room, rightToLeft](ui::Point at, int clicks) {
        auto edited = weak.lock();
        if (!edited) return;
        if (clicks > 0) edited->beginEditing();
        if (!edited->isEditing()) return;
        const auto layout = ui::FieldTextLayout::line(edited->inputText(), font, ui::Color::label(), room, rightToLeft,
                                                      ui::FieldTextLayout::Editing::yes, edited->textScroll());
        if (clicks > 0) {
            mouse->press(*edited, layout, at, clicks);
        } else {
            mouse->drag(*edited, layout, at);
        }
    };
}

}  // namespace

void ChromePainter::paintSearchField(ChromeDrawing& drawing, const ui::NavigationBarLayout& layout,
                                     const ui::Color& tint) {
    const auto& field = *layout.searchField;
    auto bar = layout.searchBar;
    const bool rightToLeft = layout.rightToLeft;
    drawing.fill(field, ui::Color::secondarySystemFill(), 10);
    // The magnifying glass at the field's leading end, the text after it.
    const double glass = rightToLeft ? field.maxX() - 26 : field.origin.x + 8;
    drawing.image(ui::Image::systemImage("magnifyingglass"), ui::Rect(glass, field.midY() - 9, 18, 18),
                  ui::Color::secondaryLabel());
    const auto font = ui::Font::systemFont(17);
    const ui::Rect room(field.origin.x + (rightToLeft ? 8 : 32), field.origin.y, std::max(0.0, field.size.width - 40),
                        field.size.height);
    paintFieldText(drawing, *bar, bar->text().value_or(""), bar->placeholder(), bar->isEditing(), font, room,
                   rightToLeft, tint);
    std::weak_ptr<ui::SearchBar> weak = bar;
    ChromeTarget target{field, m_handles->item(bar.get()), [weak] {
                            if (auto searchBar = weak.lock()) searchBar->beginEditing();
                        }};
    target.textPointer = fieldPointer(bar, font, room, rightToLeft);
    target.element = bar;
    m_result.targets.push_back(std::move(target));
    if (layout.searchCancel) {
        drawing.text("Cancel", font, tint, *layout.searchCancel, ui::TextAlignment::center);
        ChromeTarget cancel{*layout.searchCancel, 0, [weak] {
                                if (auto searchBar = weak.lock()) searchBar->tapCancel();
                            }};
        cancel.element = bar;
        cancel.part = 1;
        m_result.targets.push_back(std::move(cancel));
    }
}

// Where an alert or action sheet lies in its window and how its parts divide it.
struct ChromePainter::AlertLayout {
    bool sheet = false;
    bool sideBySide = false;  // two buttons in one row
    double x = 0, y = 0, width = 0, height = 0;
    double row = 0;            // one action's height
    double header = 0;         // title, message and fields above the actions
    double messageHeight = 0;  // 0: no message
};

ChromePainter::AlertLayout ChromePainter::layoutAlert(const ui::AlertController& alert, const ui::Window& window) {
    const auto size = window.bounds().size;
    AlertLayout layout;
    layout.sheet = alert.preferredStyle() == ui::AlertControllerStyle::actionSheet;
    const auto& actions = alert.actions();
    layout.width = layout.sheet ? std::min(size.width - 16, 400.0) : 270;
    layout.row = layout.sheet ? 57 : 44;
    layout.sideBySide = !layout.sheet && actions.size() == 2;
    // A message longer than a line wraps, and the alert grows to hold it.
    layout.messageHeight =
        alert.message()
            ? std::max(20.0,
                       ChromeDrawing::paragraphHeight(*alert.message(), alertMessageFont(), layout.width - 32) + 4)
            : 0;
    layout.header = 20 + (alert.alertTitle() ? 22 : 0) + layout.messageHeight +
                    28.0 * static_cast<double>(alert.textFields().size());
    const double rows = layout.sideBySide ? 1 : static_cast<double>(actions.size());
    layout.height = layout.header + layout.row * rows;
    layout.x = (size.width - layout.width) / 2;
    layout.y = layout.sheet ? size.height - layout.height - 8 - window.safeAreaInsets().bottom
                            : (size.height - layout.height) / 2;
    return layout;
}

void ChromePainter::paintAlerts(cairo_t* cr, ui::Window& window, double scale) {
    const auto size = window.bounds().size;
    for (const auto& view : window.subviews()) {
        auto alert = std::dynamic_pointer_cast<ui::AlertController>(view->viewController());
        if (!alert || view->isHidden()) continue;
        m_result.modal = true;
        // Only the alert's actions take touches: what lies under it (a bar's items) is dimmed out.
        m_result.targets.clear();
        // A plain fill costs no more to draw than a bitmap of it would to copy.
        if (cr) {
            cairo_set_source_rgba(cr, 0, 0, 0, 0.4);
            cairo_rectangle(cr, 0, 0, size.width, size.height);
            cairo_fill(cr);
        }
        const AlertLayout layout = layoutAlert(*alert, window);
        ChromeDrawing drawing({layout.x, layout.y});
        drawing.fill(ui::Rect(layout.x, layout.y, layout.width, layout.height), ui::Color::systemGray5(), alertRadius);
        paintAlertHeader(drawing, *alert, *view, layout);
        paintAlertActions(drawing, *alert, *view, layout);
        belongTo(0, alert);
        // The dimming covers the window.
        draw(cr, view->layer(), Part::alert, drawing, scale, {ui::Rect(0, 0, size.width, size.height), false});
    }
}

void ChromePainter::paintAlertHeader(ChromeDrawing& drawing, const ui::AlertController& alert, const ui::View& view,
                                     const AlertLayout& layout) {
    const double x = layout.x, width = layout.width;
    double line = layout.y + 12;
    if (alert.alertTitle()) {
        drawing.text(*alert.alertTitle(), ui::Font::systemFont(17, ui::FontWeight::semibold), ui::Color::label(),
                     ui::Rect(x + 16, line, width - 32, 22), ui::TextAlignment::center);
        line += 22;
    }
    if (alert.message()) {
        drawing.paragraph(*alert.message(), alertMessageFont(), ui::Color::label(),
                          ui::Rect(x + 16, line + 2, width - 32, layout.messageHeight - 4), ui::TextAlignment::center);
        line += layout.messageHeight;
    }
    for (const auto& field : alert.textFields()) {
        const ui::Rect box(x + 16, line + 2, width - 32, 24);
        drawing.fill(box, ui::Color::systemGray6(), 5);
        const auto font = ui::Font::systemFont(13);
        const auto room = box.insetBy(6, 0);
        const bool empty = !field->text() || field->text()->empty();
        paintFieldText(drawing, *field, empty ? std::string() : field->displayedText(), field->placeholder(),
                       field->isEditing(), font, room, view.isRightToLeft(), view.tintColor());
        // A click in the field edits it, where it lands in the text.
        std::weak_ptr<ui::TextField> weakField = field;
        ChromeTarget target{box, m_handles->item(field.get()), [weakField] {
                                if (auto edited = weakField.lock()) edited->beginEditing();
                            }};
        target.textPointer = fieldPointer(field, font, room, view.isRightToLeft());
        target.element = field;
        m_result.targets.push_back(std::move(target));
        line += 28;
    }
}

void ChromePainter::paintAlertActions(ChromeDrawing& drawing, const ui::AlertController& alert, const ui::View& view,
                                      const AlertLayout& layout) {
    const auto& actions = alert.actions();
    const double x = layout.x, width = layout.width, row = layout.row;
    const bool sideBySide = layout.sideBySide;
    // Two buttons side by side read from the leading end: the first at the right, right to left.
    const bool rightToLeft = view.isRightToLeft();
    double line = layout.y + layout.header;
    const auto emphasized = alert.emphasizedAction();
    for (size_t i = 0; i < actions.size(); ++i) {
        const auto& action = actions[i];
        ui::Rect rect(x, line, width, row);
        const bool leftHalf = (i == 0) != rightToLeft;
        if (sideBySide) rect = ui::Rect(leftHalf ? x : x + width / 2, line, width / 2, row);
        const int handle = m_handles->entry(&alert, action->title());
        if (isHighlighted(handle)) {
            // The bottom row's highlight follows the alert's rounded corners.
            std::uint32_t corners = 0;
            if (sideBySide) corners = leftHalf ? ui::minXMaxYCorner : ui::maxXMaxYCorner;
            if (!sideBySide && i + 1 == actions.size()) corners = ui::minXMaxYCorner | ui::maxXMaxYCorner;
            drawing.fill(rect, ui::Color::systemGray4(), alertRadius, corners);
        }
        drawing.hairline(rect.origin, {rect.origin.x + rect.size.width, rect.origin.y});
        if (sideBySide && i == 1) drawing.hairline({x + width / 2, line}, {x + width / 2, line + row});
        const auto color = !action->isEnabled()                                   ? ui::Color::tertiaryLabel()
                           : action->style() == ui::AlertActionStyle::destructive ? ui::Color::systemRed()
                                                                                  : view.tintColor();
        // Bold is what Enter takes (else what Escape takes), so the keys do what the alert shows.
        const bool bold = action == emphasized;
        drawing.text(action->title(),
                     ui::Font::systemFont(17, bold ? ui::FontWeight::semibold : ui::FontWeight::regular), color, rect,
                     ui::TextAlignment::center);
        addTarget(rect, handle, action);
        if (!sideBySide) line += row;
    }
}

ui::Rect ChromePainter::menuAnchor(const ui::PresentedMenu& menu, const ui::Window& window) const {
    const auto size = window.bounds().size;
    ui::Rect anchor(size.width / 2, size.height / 3, 0, 0);
    if (auto view = menu.anchorView()) {
        anchor = ui::Rect(view->convertToWindow(view->bounds().origin), view->bounds().size);
    } else if (auto item = menu.anchorItem()) {
        for (const auto& [key, rect] : m_itemRects)
            if (key == item.get()) anchor = rect;
    }
    // Opened by the pointer, the menu hangs from the pointer by its leading top corner, turned to
    // the other side where the window's edge is too near.
    if (auto at = menu.location()) {
        const bool rightToLeft = window.isRightToLeft();
        const bool fits = rightToLeft ? at->x - menuWidth >= 8 : at->x + menuWidth <= size.width - 8;
        anchor = ui::Rect(rightToLeft == fits ? at->x - menuWidth : at->x, at->y, menuWidth, 0);
    }
    return anchor;
}

void ChromePainter::paintMenu(cairo_t* cr, ui::Window& window, double scale) {
    auto menu = window.presentedMenu();
    if (!menu) return;
    const auto size = window.bounds().size;
    const auto& entries = menu->entries();
    int groups = 0;
    for (size_t i = 1; i < entries.size(); ++i) groups += entries[i].group != entries[i - 1].group;
    const bool titled = !menu->menu()->title().empty();
    const double height =
        menuRow * static_cast<double>(entries.size()) + menuGroupGap * groups + (titled ? menuTitleHeight : 0);
    // The menu hangs from its anchor's trailing end, towards the middle of the window.
    const ui::Rect anchor = menuAnchor(*menu, window);
    const double hung = window.isRightToLeft() ? anchor.origin.x : anchor.origin.x + anchor.size.width - menuWidth;
    const double x = std::clamp(hung, 8.0, std::max(8.0, size.width - menuWidth - 8));
    double y = anchor.origin.y + anchor.size.height + 4;
    if (y + height > size.height - 8) y = std::max(8.0, anchor.origin.y - height - 4);
    const ui::Rect box(x, y, menuWidth, height);
    m_result.menuRects.push_back(box);
    ChromeDrawing drawing({x, y});
    drawing.fill(box, ui::Color::systemGray5().withAlpha(0.97), menuRadius);
    const auto targetsBefore = m_result.targets.size();
    paintMenuEntries(drawing, *menu, box, window.isRightToLeft());
    belongTo(targetsBefore, menu);
    // A menu is a material: the little of what lies under it that its fill lets through shows
    // blurred, never as faint text to read.
    if (cr) {
        SavedState saved(cr);
        LayerPainter::cornerPath(cr, box, menuRadius, ui::allCorners);
        cairo_clip(cr);
        blurBackdrop(cr, box, 20, scale);
    }
    // With room for the shadow a menu casts.
    constexpr double shadow = 40;
    draw(cr, window.layer(), Part::menu, drawing, scale, {box.insetBy(-shadow, -shadow), true});
}

void ChromePainter::paintMenuEntries(ChromeDrawing& drawing, const ui::PresentedMenu& menu, const ui::Rect& box,
                                     bool rightToLeft) {
    const auto& entries = menu.entries();
    const double x = box.origin.x, width = box.size.width;
    const bool titled = !menu.menu()->title().empty();
    double line = box.origin.y;
    // A row reads from its leading end: the check mark, the title, and the image at the trailing end.
    const auto alignment = rightToLeft ? ui::TextAlignment::right : ui::TextAlignment::left;
    const auto inRow = [&](double from, double length) { return rightToLeft ? x + width - from - length : x + from; };
    if (titled) {
        drawing.text(menu.menu()->title(), ui::Font::systemFont(13), ui::Color::secondaryLabel(),
                     ui::Rect(x + 16, line, width - 32, menuTitleHeight), alignment);
        line += menuTitleHeight;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& entry = entries[i];
        if (i > 0) {
            if (entry.group != entries[i - 1].group) {
                drawing.fill(ui::Rect(x, line, width, menuGroupGap), ui::Color::black().withAlpha(0.25));
                line += menuGroupGap;
            } else {
                drawing.hairline({x, line}, {x + width, line});
            }
        }
        const ui::Rect rect(x, line, width, menuRow);
        const int handle = m_handles->entry(&menu, entry.element->title());
        if (isHighlighted(handle)) {
            // The first and last rows' highlights follow the menu's rounded corners.
            std::uint32_t corners = 0;
            if (i == 0 && !titled) corners |= ui::minXMinYCorner | ui::maxXMinYCorner;
            if (i + 1 == entries.size()) corners |= ui::minXMaxYCorner | ui::maxXMaxYCorner;
            drawing.fill(rect, ui::Color::systemGray4(), menuRadius, corners);
        }
        const auto action = std::dynamic_pointer_cast<ui::Action>(entry.element);
        const bool disabled = action && action->isDisabled();
        const auto color = disabled                            ? ui::Color::tertiaryLabel()
                           : action && action->isDestructive() ? ui::Color::systemRed()
                                                               : ui::Color::label();
        if (action && action->state() == ui::Action::State::on)
            drawing.image(ui::Image::systemImage("checkmark"), ui::Rect(inRow(10, 16), line + 14, 16, 16), color);
        const std::string submenu = rightToLeft ? "\u2039  " : "  \u203A";
        const std::string title = entry.element->title();
        drawing.text(entry.isSubmenu ? (rightToLeft ? submenu + title : title + submenu) : title,
                     ui::Font::systemFont(17), color,
                     ui::Rect(inRow(34, width - 34 - 44), line, width - 34 - 44, menuRow), alignment);
        if (auto image = entry.element->image())
            drawing.image(image, ui::Rect(inRow(width - 36, 22), line + 11, 22, 22), color);
        addTarget(rect, handle, entry.element);
        line += menuRow;
    }
}

}  // namespace display
