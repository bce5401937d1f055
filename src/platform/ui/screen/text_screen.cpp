#include "platform/ui/screen/text_screen.h"

#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/lists/item_list_view.h"
#include "platform/ui/lists/list_content_view.h"
#include "platform/ui/lists/table_view_cell.h"
#include "platform/ui/views/window.h"

namespace ui {

namespace {

std::string formatPoint(Point p) { return formatNumber(p.x) + "," + formatNumber(p.y); }
std::string formatSize(Size s) { return formatNumber(s.width) + "x" + formatNumber(s.height); }
std::string formatRect(const Rect& r) { return formatPoint(r.origin) + " " + formatSize(r.size); }

std::string join(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " " + b;
}

std::string systemItemName(BarButtonItem::SystemItem item) {
    using S = BarButtonItem::SystemItem;
    switch (item) {
        case S::none: return {};
        case S::done: return "done";
        case S::cancel: return "cancel";
        case S::edit: return "edit";
        case S::add: return "add";
        case S::flexibleSpace: return "flexibleSpace";
        case S::fixedSpace: return "fixedSpace";
        case S::action: return "action";
        case S::trash: return "trash";
        case S::close: return "close";
        case S::search: return "search";
    }
    return {};
}

std::string accessoryName(TableViewCellAccessoryType type) {
    using A = TableViewCellAccessoryType;
    switch (type) {
        case A::none: return {};
        case A::disclosureIndicator: return "disclosure";
        case A::detailDisclosureButton: return "detail-disclosure";
        case A::checkmark: return "checkmark";
        case A::detailButton: return "detail";
    }
    return {};
}

// Index path, selection and the content a cell shows beyond its subviews.
void describeCell(ViewDescription& d, const CollectionViewCell& cell, const IndexPath& indexPath) {
    std::string details = "[" + std::to_string(indexPath.section) + "," + std::to_string(indexPath.item) + "]";
    if (cell.isSelected()) details += " selected";
    if (const auto& content = cell.contentConfiguration()) {
        const std::string text =
            content->attributedText ? content->attributedText->string() : content->text.value_or("");
        if (!text.empty()) {
            details += " " + quoted(text);
            d.texts.push_back(text);
        }
        if (content->secondaryText && !content->secondaryText->empty()) {
            details += " " + quoted(*content->secondaryText);
            d.texts.push_back(*content->secondaryText);
        }
    }
    if (const auto* row = dynamic_cast<const TableViewCell*>(&cell))
        details = join(details, accessoryName(row->accessoryType()));
    d.details = join(details, d.details);
    d.actionable = true;
}

std::string backTitle(NavigationController& navigation) {
    const auto& stack = navigation.viewControllers();
    const auto& previous = stack[stack.size() - 2];
    auto item = previous->navigationItem();
    if (!item->backButtonTitle().empty()) return item->backButtonTitle();
    if (auto back = item->backBarButtonItem(); back && !back->title().empty()) return back->title();
    if (!item->title().empty()) return item->title();
    return previous->title().empty() ? "Back" : previous->title();
}

}  // namespace

TextScreen TextScreen::capture(Window& window) {
    TextScreen screen;
    screen.m_window = &window;
    screen.m_text = "Window " + formatSize(window.bounds().size) + (window.isHidden() ? " hidden" : "") + "\n";
    if (!window.isHidden()) {
        const Rect clip = window.bounds();
        for (const auto& view : window.subviews()) screen.printView(view, 1, -1, clip);
        if (auto menu = window.presentedMenu()) screen.printMenu(menu, 1);
    }
    return screen;
}

int TextScreen::emit(int depth, const std::string& kind, const std::string& rest, ScreenTarget* target, int enclosing) {
    std::string line = kind;
    int index = -1;
    if (target) {
        index = static_cast<int>(m_targets.size());
        line += " #" + std::to_string(index + 1);
    }
    line = join(line, rest);
    m_text += std::string(static_cast<size_t>(depth) * 2, ' ') + line + "\n";
    if (target) {
        target->line = line;
        target->enclosing = enclosing;
        m_targets.push_back(std::move(*target));
    }
    return index;
}

void TextScreen::addInnerTexts(int enclosing, const std::vector<std::string>& texts) {
    if (enclosing < 0) return;
    auto& inner = m_targets[static_cast<size_t>(enclosing)].innerTexts;
    inner.insert(inner.end(), texts.begin(), texts.end());
}

void TextScreen::printView(const std::shared_ptr<View>& view, int depth, int enclosing, const Rect& clip) {
    // The cell's own line already gives its configuration's texts and names its accessory.
    if (dynamic_cast<ListContentView*>(view.get()) || dynamic_cast<CellAccessoryIndicatorView*>(view.get())) return;
    auto controller = view->viewController();
    if (auto alert = std::dynamic_pointer_cast<AlertController>(controller)) {
        if (!view->isHidden()) printAlert(alert, depth);
        return;
    }
    const Rect frame(view->convertToWindow(view->bounds().origin), view->frame().size);
    std::string kind = view->className();
    std::string place = formatRect(frame);
    if (view->isHidden()) {
        emit(depth, kind, place + " hidden", nullptr, enclosing);
        return;
    }
    if (view->alpha() < 0.01) {
        emit(depth, kind, place + " transparent", nullptr, enclosing);
        return;
    }
    if (!frame.isEmpty() && !frame.intersects(clip)) {
        emit(depth, kind, place + " offscreen", nullptr, enclosing);
        return;
    }
    ViewDescription d = describeView(*view);
    ScreenTarget target;
    target.view = view;
    target.inViewTree = true;
    if (auto cell = std::dynamic_pointer_cast<CollectionViewCell>(view)) {
        auto list = std::dynamic_pointer_cast<ItemListView>(view->superview());
        const auto indexPath = list ? list->indexPathFor(*cell) : std::nullopt;
        if (!indexPath) return;  // waiting in a reuse queue, not on screen
        describeCell(d, *cell, *indexPath);
        target.kind = ScreenTarget::Kind::cell;
        target.list = list;
        target.indexPath = *indexPath;
    }
    std::string rest = join(place, d.details);
    if (controller) rest += " <" + controller->className() + ">";
    if (controller && controller->effectivePresentationStyle() == ModalPresentationStyle::popover &&
        controller->presentingViewController())
        rest += " popover " + popoverAnchor(*controller);
    int self = enclosing;
    if (d.actionable) {
        target.texts = d.texts;
        self = emit(depth, kind, rest, &target, enclosing);
        m_handles[view.get()] = self + 1;
    } else {
        emit(depth, kind, rest, nullptr, enclosing);
        addInnerTexts(enclosing, d.texts);
    }
    if (auto navigation = std::dynamic_pointer_cast<NavigationController>(controller))
        printNavigationBar(*navigation, depth + 1, self);
    const Rect inner = view->clipsToBounds() ? clip.intersection(frame) : clip;
    const auto subviews = view->subviews();
    for (const auto& child : subviews) printView(child, depth + 1, self, inner);
}

void TextScreen::printNavigationBar(NavigationController& navigation, int depth, int enclosing) {
    auto top = navigation.topViewController();
    if (!top) return;
    auto item = top->navigationItem();
    const std::string title = item->title().empty() ? top->title() : item->title();
    if (navigation.isNavigationBarHidden()) {
        emit(depth, "NavigationBar", "hidden", nullptr, enclosing);
        return;
    }
    emit(depth, "NavigationBar", quoted(title), nullptr, enclosing);
    addInnerTexts(enclosing, {title});
    if (navigation.viewControllers().size() > 1 && !item->hidesBackButton() && item->leftBarButtonItems().empty()) {
        ScreenTarget back;
        back.kind = ScreenTarget::Kind::backButton;
        back.navigation = navigation.sharedAs<NavigationController>();
        back.title = backTitle(navigation);
        back.texts = {back.title};
        emit(depth + 1, "BackButton", quoted(back.title), &back, enclosing);
    }
    const auto shared = navigation.sharedAs<NavigationController>();
    for (const auto& left : item->leftBarButtonItems()) printBarItem(left, shared, "left", depth + 1, enclosing);
    for (const auto& right : item->rightBarButtonItems()) printBarItem(right, shared, "right", depth + 1, enclosing);
    if (auto search = item->searchController()) {
        if (auto bar = search->searchBar()) {
            ViewDescription d = describeView(*bar);
            ScreenTarget target;
            target.view = bar;
            target.texts = d.texts;
            m_handles[bar.get()] = emit(depth + 1, bar->className(), d.details, &target, enclosing) + 1;
        }
    }
}

void TextScreen::printBarItem(const std::shared_ptr<BarButtonItem>& item,
                              const std::shared_ptr<NavigationController>& navigation, const std::string& side,
                              int depth, int enclosing) {
    if (item->isHidden()) {
        emit(depth, "BarButtonItem", side + " hidden", nullptr, enclosing);
        return;
    }
    const auto system = item->systemItem();
    if (system == BarButtonItem::SystemItem::flexibleSpace || system == BarButtonItem::SystemItem::fixedSpace) return;
    if (auto custom = item->customView()) {
        printView(custom, depth, enclosing, Rect::infinite());
        return;
    }
    std::string rest = side;
    if (!item->title().empty()) rest = join(rest, quoted(item->title()));
    rest = join(rest, systemItemName(system));
    rest = join(rest, describeImage(item->image().get()));
    if (item->menu() && !item->primaryAction()) rest = join(rest, "menu");
    if (!item->isEnabled()) rest = join(rest, "disabled");
    ScreenTarget target;
    target.kind = ScreenTarget::Kind::barItem;
    target.item = item;
    target.navigation = navigation;
    if (!item->title().empty()) target.texts.push_back(item->title());
    if (!systemItemName(system).empty()) target.texts.push_back(systemItemName(system));
    m_handles[item.get()] = emit(depth, "BarButtonItem", rest, &target, enclosing) + 1;
}

void TextScreen::printAlert(const std::shared_ptr<AlertController>& alert, int depth) {
    std::string rest;
    if (alert->alertTitle()) rest = quoted(*alert->alertTitle());
    if (alert->message()) rest = join(rest, quoted(*alert->message()));
    const bool sheet = alert->preferredStyle() == AlertControllerStyle::actionSheet;
    emit(depth, sheet ? "ActionSheet" : "Alert", rest, nullptr, -1);
    for (const auto& field : alert->textFields()) {
        ViewDescription d = describeView(*field);
        ScreenTarget target;
        target.view = field;
        target.texts = d.texts;
        emit(depth + 1, field->className(), d.details, &target, -1);
    }
    for (const auto& action : alert->actions()) {
        std::string details = quoted(action->title());
        if (action->style() == AlertActionStyle::cancel) details += " cancel";
        if (action->style() == AlertActionStyle::destructive) details += " destructive";
        if (action == alert->preferredAction()) details += " preferred";
        if (!action->isEnabled()) details += " disabled";
        ScreenTarget target;
        target.kind = ScreenTarget::Kind::alertAction;
        target.alert = alert;
        target.title = action->title();
        target.texts = {action->title()};
        emit(depth + 1, "AlertAction", details, &target, -1);
    }
}

void TextScreen::printMenu(const std::shared_ptr<PresentedMenu>& menu, int depth) {
    std::string rest = menu->menu()->title().empty() ? std::string() : quoted(menu->menu()->title());
    if (auto anchor = menu->anchorView(); anchor && m_handles.count(anchor.get())) {
        rest = join(rest, "anchor #" + std::to_string(m_handles[anchor.get()]));
    } else if (auto item = menu->anchorItem(); item && m_handles.count(item.get())) {
        rest = join(rest, "anchor #" + std::to_string(m_handles[item.get()]));
    }
    emit(depth, "Menu", rest, nullptr, -1);
    int group = menu->entries().empty() ? 0 : menu->entries().front().group;
    for (const auto& entry : menu->entries()) {
        if (entry.group != group) {
            emit(depth + 1, "---", {}, nullptr, -1);
            group = entry.group;
        }
        std::string details = quoted(entry.element->title());
        if (!entry.element->subtitle().empty()) details += " " + quoted(entry.element->subtitle());
        details = join(details, describeImage(entry.element->image().get()));
        if (auto action = std::dynamic_pointer_cast<Action>(entry.element)) {
            if (action->state() == Action::State::on) details += " checked";
            if (action->state() == Action::State::mixed) details += " mixed";
            if (action->isDestructive()) details += " destructive";
            if (action->isDisabled()) details += " disabled";
        }
        ScreenTarget target;
        target.kind = ScreenTarget::Kind::menuEntry;
        target.menu = menu;
        target.title = entry.element->title();
        target.texts = {entry.element->title()};
        emit(depth + 1, entry.isSubmenu ? "Submenu" : "MenuAction", details, &target, -1);
    }
}

std::string TextScreen::popoverAnchor(ViewController& controller) const {
    auto popover = controller.popoverPresentationController();
    if (!popover) return "unanchored";
    std::string anchor;
    if (auto item = popover->barButtonItem()) {
        const auto it = m_handles.find(item.get());
        anchor = it != m_handles.end() ? "anchor #" + std::to_string(it->second) : "anchor bar item";
    } else if (auto source = popover->sourceView()) {
        const auto it = m_handles.find(source.get());
        anchor = it != m_handles.end() ? "anchor #" + std::to_string(it->second) : "anchor " + source->className();
        const Rect rect = popover->sourceRect();
        const Rect inWindow =
            rect.isEmpty() ? source->convert(source->bounds(), nullptr) : source->convert(rect, nullptr);
        anchor += " at " + formatRect(inWindow);
    } else {
        anchor = "anchor window at " + formatRect(popover->sourceRect());
    }
    return anchor;
}

}  // namespace ui
