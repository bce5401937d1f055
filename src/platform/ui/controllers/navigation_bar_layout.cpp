#include "platform/ui/controllers/navigation_bar_layout.h"

#include <algorithm>

#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/text/font.h"

namespace ui {

namespace {
std::string systemItemTitle(BarButtonItem::SystemItem item) {
    using S = BarButtonItem::SystemItem;
    switch (item) {
        case S::done: return "Done";
        case S::cancel: return "Cancel";
        case S::edit: return "Edit";
        case S::close: return "Close";
        default: return {};
    }
}

std::string systemItemSymbol(BarButtonItem::SystemItem item) {
    using S = BarButtonItem::SystemItem;
    switch (item) {
        case S::add: return "plus";
        case S::action: return "square.and.arrow.up";
        case S::trash: return "trash";
        case S::search: return "magnifyingglass";
        default: return {};
    }
}

const Font& itemFont() {
    static const Font font = Font::systemFont(17);
    return font;
}

// `rect` reflected across the middle of `bar`.
Rect mirrored(const Rect& rect, const Rect& bar) {
    return Rect(bar.minX() + bar.maxX() - rect.maxX(), rect.origin.y, rect.size.width, rect.size.height);
}

// The bar laid out left to right, reflected: every piece changes sides, the title's room with them.
void mirror(NavigationBarLayout& layout) {
    const Rect bar = layout.bar;
    layout.rightToLeft = true;
    for (auto* rect : {&layout.backButton, &layout.searchField, &layout.searchCancel})
        if (*rect) *rect = mirrored(**rect, bar);
    for (auto& item : layout.items) item.rect = mirrored(item.rect, bar);
    layout.titleRoom = mirrored(layout.titleRoom, bar);
}
}  // namespace

std::string NavigationBarLayout::backChevron(bool rightToLeft) { return rightToLeft ? "\u203A" : "\u2039"; }

std::optional<NavigationBarLayout> NavigationBarLayout::of(NavigationController& navigation) {
    auto shown = navigation.topViewController();
    if (navigation.isNavigationBarHidden() || !shown) return std::nullopt;
    const auto view = navigation.view();
    const Point origin = view->convertToWindow(view->bounds().origin);
    constexpr double height = NavigationController::barHeight;
    NavigationBarLayout layout;
    layout.top = origin.y;
    layout.bar = Rect(origin.x, origin.y + view->safeAreaInsets().top, view->bounds().size.width, height);
    const auto& bar = layout.bar;
    const double y = bar.origin.y;
    auto item = shown->navigationItem();

    // An item's width: an icon's 44 points, a title's width with 8 points each side.
    auto place = [&](const std::shared_ptr<BarButtonItem>& barItem, double x, bool fromRight) -> double {
        using S = BarButtonItem::SystemItem;
        if (barItem->isHidden() || barItem->systemItem() == S::flexibleSpace || barItem->systemItem() == S::fixedSpace)
            return 0;
        Item placed{barItem, {}, barItem->image(), barItem->title(), false};
        if (!placed.image && !systemItemSymbol(barItem->systemItem()).empty())
            placed.image = Image::systemImage(systemItemSymbol(barItem->systemItem()));
        if (placed.title.empty()) placed.title = systemItemTitle(barItem->systemItem());
        placed.bold = barItem->style() == BarButtonItem::Style::done || barItem->systemItem() == S::done;
        const auto font = placed.bold ? Font::systemFont(17, FontWeight::semibold) : itemFont();
        const double width = placed.image && placed.title.empty() ? 44 : font.widthOf(placed.title) + 16;
        placed.rect = Rect(fromRight ? x - width : x, y, width, height);
        layout.items.push_back(std::move(placed));
        return width;
    };

    double left = bar.origin.x + 8;
    const auto& stack = navigation.viewControllers();
    if (stack.size() > 1 && !item->hidesBackButton() && item->leftBarButtonItems().empty()) {
        const auto& previous = stack[stack.size() - 2];
        std::string title = previous->navigationItem()->backButtonTitle();
        if (title.empty())
            title =
                previous->navigationItem()->title().empty() ? previous->title() : previous->navigationItem()->title();
        if (title.empty()) title = "Back";
        layout.backTitle = title;
        const double width = std::min(itemFont().widthOf(backChevron(false) + " " + title) + 16, bar.size.width / 3);
        layout.backButton = Rect(left, y, width, height);
        left += width;
    }
    for (const auto& leftItem : item->leftBarButtonItems()) left += place(leftItem, left, false);
    double right = bar.origin.x + bar.size.width - 8;
    for (const auto& rightItem : item->rightBarButtonItems()) right -= place(rightItem, right, true);
    layout.title = item->title().empty() ? shown->title() : item->title();
    const double middle = bar.origin.x + bar.size.width / 2;
    const double room = std::max(0.0, std::min(middle - left, right - middle));
    layout.titleRoom = Rect(middle - room, y, 2 * room, height);
    // A title view takes the title's place: the title text under it would show through.
    const auto titleView = item->titleView();
    layout.showsTitle = !titleView || titleView->isHidden();
    auto search = item->searchController();
    layout.searchBar = search ? search->searchBar() : nullptr;
    if (layout.searchBar) {
        // The room between the items, not only the part centred on the bar; at most a comfortable
        // field's width, its Cancel button at its right while editing. A wide bar keeps the title
        // at its left; a narrow one (a phone's) gives the field the title's place.
        constexpr double fieldHeight = 36, widest = 420, gap = 16;
        const Rect between(left + 4, y, std::max(0.0, right - left - 8), height);
        double width = std::min(between.size.width, widest);
        double x = between.origin.x + (between.size.width - width) / 2;
        const double titleWidth = Font::systemFont(17, FontWeight::semibold).widthOf(layout.title);
        layout.showsTitle = layout.showsTitle && between.size.width >= widest + titleWidth + 2 * gap;
        if (layout.showsTitle) {
            x = between.maxX() - width;
            layout.titleRoom = Rect(between.origin.x, y, x - gap - between.origin.x, height);
        }
        if (layout.searchBar->isEditing()) {
            const double cancel = itemFont().widthOf("Cancel") + 16;
            layout.searchCancel = Rect(x + width - cancel, y, cancel, height);
            width = std::max(0.0, width - cancel);
        }
        layout.searchField = Rect(x, y + (height - fieldHeight) / 2, width, fieldHeight);
    }
    if (view->isRightToLeft()) mirror(layout);
    return layout;
}

std::optional<Rect> NavigationBarLayout::frameOf(const BarButtonItem& item) const {
    for (const auto& placed : items) {
        if (placed.item.get() == &item) return placed.rect;
    }
    return std::nullopt;
}

}  // namespace ui
