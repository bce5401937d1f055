#include "library/move_items_table_view_controller.h"

#include <algorithm>

#include "core/documents_client.h"
#include "platform/base/fatal.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/text/font.h"
#include "platform/ui/views/visual_effect_view.h"
#include "toolkit/device_flag.h"
#include "toolkit/image_assets.h"
#include "toolkit/image_helpers.h"

namespace reelhaven {

namespace {

// The sheet's own fonts ship with the program; one missing is a broken install.
ui::Font requiredFont(const std::string& name, double size) {
    auto font = ui::Font::named(name, size);
    if (!font) base::fatal("move_items_table_view_controller.cpp: the font " + name + " is missing");
    return *font;
}

ui::TextAttributes titleAttributes(const ui::Font& font, std::optional<ui::Color> color = std::nullopt) {
    ui::TextAttributes attributes{{ui::AttributedStringKey::font(), font}};
    if (color) attributes[ui::AttributedStringKey::foregroundColor()] = *color;
    return attributes;
}

}  // namespace

std::shared_ptr<MoveItemsTableViewController> MoveItemsTableViewController::create() {
    return ui::make<MoveItemsTableViewController>();
}

void MoveItemsTableViewController::setVideoManager(std::shared_ptr<VideoManager> manager) {
    ui::checkMainThread();
    m_videoManager = std::move(manager);
}

void MoveItemsTableViewController::setItemsToMove(std::optional<std::vector<LibraryItemPtr>> items) {
    ui::checkMainThread();
    m_itemsToMove = std::move(items);
}

void MoveItemsTableViewController::setDelegate(const std::shared_ptr<MoveItemsTableViewControllerDelegate>& delegate) {
    ui::checkMainThread();
    m_delegate = delegate;
}

void MoveItemsTableViewController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    registerImageAssets({"openedFolder"});
    if (!m_videoManager)
        base::fatal("move_items_table_view_controller.cpp: the video manager is set before the view loads");
    loadFolders();
    configureLook();
}

void MoveItemsTableViewController::loadFolders() {
    const auto library = m_videoManager->library();
    for (const auto& item : library) {
        if (item->type() != LibraryItemType::folder) continue;
        if (auto folder = std::dynamic_pointer_cast<Folder>(item)) m_folders.push_back(folder);
    }
    if (const auto& url = m_videoManager->url()) {
        auto parent = Folder::create(url->deletingLastPathComponent(), LibraryItemType::folder, false);
        auto current = Folder::create(*url, LibraryItemType::folder, false);
        m_folders.insert(m_folders.begin(), {parent, current});
        m_hasParentFolder = true;
    }
    if (!m_itemsToMove) return;
    // The items themselves are in hand, so a row is found by URL whatever the list holds now.
    m_overlapIndices.emplace();
    for (const auto& item : *m_itemsToMove) {
        const auto url = item->url();
        const auto row = std::find_if(m_folders.begin(), m_folders.end(),
                                      [&](const FolderPtr& folder) { return folder->url() == url; });
        if (row != m_folders.end()) m_overlapIndices->push_back(static_cast<int>(row - m_folders.begin()));
    }
}

void MoveItemsTableViewController::configureLook() {
    if (m_itemsToMove) {
        const auto count = m_itemsToMove->size();
        setTitle("Move " + std::to_string(count) + (count == 1 ? " Item" : " Items"));
    } else {
        setTitle("Move Items");
    }
    styleNavigationBar();

    const auto bold = requiredFont("Inter-Bold", 16);
    m_confirmButton = ui::BarButtonItem::create("Confirm", nullptr, ui::BarButtonItem::Style::done);
    m_confirmButton->setTarget(shared_from_this(), [weak = weakAs<MoveItemsTableViewController>()](ui::BarButtonItem&) {
        if (auto self = weak.lock()) self->confirmMove();
    });
    m_confirmButton->setTitleTextAttributes(titleAttributes(bold), ui::ControlState::normal);
    m_confirmButton->setTitleTextAttributes(titleAttributes(bold), ui::ControlState::highlighted);
    m_confirmButton->setTitleTextAttributes(titleAttributes(bold, ui::Color::darkGray()), ui::ControlState::disabled);
    m_confirmButton->setEnabled(false);
    navigationItem()->setRightBarButtonItem(m_confirmButton);

    const auto regular = requiredFont("Inter-Regular", 16);
    auto cancel = ui::BarButtonItem::create("Cancel", nullptr, ui::BarButtonItem::Style::done);
    cancel->setTarget(shared_from_this(), [weak = weakAs<MoveItemsTableViewController>()](ui::BarButtonItem&) {
        if (auto self = weak.lock()) self->dismissModal();
    });
    cancel->setTitleTextAttributes(titleAttributes(regular), ui::ControlState::normal);
    cancel->setTitleTextAttributes(titleAttributes(regular), ui::ControlState::highlighted);
    navigationItem()->setLeftBarButtonItem(cancel);

    auto table = tableView();
    table->setBackgroundColor(ui::Color::clear());
    table->setBackgroundView(ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark));
    table->registerCell(cellIdentifier,
                        [] { return ui::TableViewCell::create(ui::TableViewCellStyle::defaultStyle, cellIdentifier); });
    table->setScrollEnabled(true);
    table->setSeparatorStyle(ui::TableViewCellSeparatorStyle::singleLine);
    table->setSeparatorColor(ui::Color::darkGray());
    table->setTableFooterView(ui::View::create());
}

void MoveItemsTableViewController::styleNavigationBar() {
    auto navigation = navigationController();
    if (!navigation) return;
    auto bar = navigation->navigationBar();
    bar->setTitleTextAttributes(titleAttributes(requiredFont("Inter-SemiBold", isPad() ? 18 : 16), ui::Color::white()));
    bar->setBarStyle(ui::BarStyle::black);
    bar->setTranslucent(true);
    bar->setTintColor(ui::Color::white());
}

bool MoveItemsTableViewController::isOverlap(int row) const {
    return m_overlapIndices &&
           std::find(m_overlapIndices->begin(), m_overlapIndices->end(), row) != m_overlapIndices->end();
}

std::string MoveItemsTableViewController::rowTitle(int row) const {
    const auto& folder = m_folders[static_cast<size_t>(row)];
    // Only the library root reads "Library": a user's own folder named "Documents" keeps its name.
    if (m_hasParentFolder && row == 0 && folder->url() == m_videoManager->documentsClient()->documentsURL())
        return "Library";
    return folder->displayName();
}

int MoveItemsTableViewController::numberOfRows(ui::TableView&, int) { return static_cast<int>(m_folders.size()); }

std::shared_ptr<ui::TableViewCell> MoveItemsTableViewController::cellForRow(ui::TableView& table,
                                                                            const ui::IndexPath& indexPath) {
    auto cell = table.dequeueReusableCell(cellIdentifier, indexPath);
    cell->textLabel()->setText(rowTitle(indexPath.row()));
    styleCell(*cell, indexPath.row());
    return cell;
}

void MoveItemsTableViewController::styleCell(ui::TableViewCell& cell, int row) const {
    cell.setBackgroundColor(ui::Color::clear());
    cell.setTintColor(ui::Color::white());
    auto selected = ui::View::create();
    selected->setBackgroundColor(ui::Color::darkGray());
    selected->setAlpha(0.2);
    cell.setSelectedBackgroundView(selected);
    cell.setAccessoryType(m_selectedItem == row ? ui::TableViewCellAccessoryType::checkmark
                                                : ui::TableViewCellAccessoryType::none);

    const bool parentRow = m_hasParentFolder && row == 0;
    const bool currentRow = m_hasParentFolder && row == 1;
    const bool greyed = currentRow || (!parentRow && isOverlap(row));
    const bool folderRow = !parentRow && !currentRow;
    const auto font = ui::Font::named(folderRow ? "Inter-Medium" : "Inter-Bold", 14);
    cell.textLabel()->setFont(font.value_or(ui::Font::systemFont(14)));
    cell.textLabel()->setTextColor(greyed ? ui::Color::darkGray() : ui::Color::white());

    std::shared_ptr<ui::Image> image;
    ui::EdgeInsets insets{5, 10, 5, 0};
    if (folderRow) {
        const ui::SymbolConfiguration symbol{22, ui::SymbolWeight::medium, ui::SymbolScale::large};
        image = ui::Image::systemImage("folder.fill", symbol);
        image = image->withTintColor(greyed ? ui::Color::darkGray() : ui::Color::white());
        insets = {5, m_hasParentFolder ? 20.0 : 0.0, 5, 0};
    } else {
        image = ui::Image::named("openedFolder");
    }
    if (image) image = imageWithInsets(*image, insets);
    cell.imageView()->setImage(image);
}

bool MoveItemsTableViewController::shouldHighlightRow(ui::TableView&, const ui::IndexPath& indexPath) {
    const int row = indexPath.row();
    if (m_hasParentFolder && row == 1) return false;
    return !isOverlap(row);
}

void MoveItemsTableViewController::didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) {
    if (m_selectedItem) {
        if (auto previous = table.cellForRow({0, *m_selectedItem}))
            previous->setAccessoryType(ui::TableViewCellAccessoryType::none);
    }
    m_selectedItem = indexPath.row();
    if (auto cell = table.cellForRow(indexPath)) cell->setAccessoryType(ui::TableViewCellAccessoryType::checkmark);
    if (m_confirmButton) m_confirmButton->setEnabled(true);
    table.deselectRow(indexPath);
}

void MoveItemsTableViewController::confirmMove() {
    ui::checkMainThread();
    auto receiver = delegate();
    if (!m_itemsToMove || !m_selectedItem || !receiver) return;
    const int row = *m_selectedItem;
    receiver->moveItems(*m_itemsToMove, m_folders[static_cast<size_t>(row)], m_hasParentFolder && row == 0);
}

void MoveItemsTableViewController::pressesBegan(const std::vector<ui::Press>& presses) {
    const bool isReturn = !presses.empty() && (presses.front().key.keyCode == ui::Key::returnOrEnter ||
                                               presses.front().key.keyCode == ui::Key::keypadEnter);
    if (!isReturn) return ui::TableViewController::pressesBegan(presses);
    // A second Return while the sheet goes must not move the items again.
    const auto navigation = navigationController();
    const bool leaving = navigation ? navigation->isBeingDismissed() : isBeingDismissed();
    if (m_confirmButton && m_confirmButton->isEnabled() && !leaving) confirmMove();
}

void MoveItemsTableViewController::dismissModal() {
    ui::checkMainThread();
    dismiss(true);
}

}  // namespace reelhaven
