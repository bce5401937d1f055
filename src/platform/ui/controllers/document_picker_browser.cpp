#include "platform/ui/controllers/document_picker_browser.h"

#include <algorithm>
#include <initializer_list>

#include "platform/ui/controls/button.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image.h"

namespace ui {

namespace {
constexpr double kBarHeight = 44;
constexpr double kSide = 16;
}  // namespace

// The rows: one per entry of the folder shown.
class DocumentPickerBrowser::List : public TableViewDataSource, public TableViewDelegate {
public:
    explicit List(DocumentPickerBrowser& browser) : m_browser(browser) {}
    int numberOfRows(TableView&, int) override {
        return m_browser.m_listing ? static_cast<int>(m_browser.m_listing->entries().size()) : 0;
    }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& indexPath) override {
        auto cell = table.dequeueReusableCell("entry", indexPath);
        const auto& entry = m_browser.m_listing->entries()[static_cast<size_t>(indexPath.item)];
        cell->textLabel()->setText(entry.name);
        cell->imageView()->setImage(Image::systemImage(entry.isFolder ? "folder" : "doc"));
        const auto& selection = m_browser.m_selection;
        const bool selected = std::find(selection.begin(), selection.end(), entry.url) != selection.end();
        cell->setAccessoryType(entry.isFolder ? TableViewCellAccessoryType::disclosureIndicator
                               : selected     ? TableViewCellAccessoryType::checkmark
                                              : TableViewCellAccessoryType::none);
        return cell;
    }
    void didSelectRow(TableView& table, const IndexPath& indexPath) override {
        table.deselectRow(indexPath);
        m_browser.tapped(static_cast<size_t>(indexPath.item));
    }

private:
    DocumentPickerBrowser& m_browser;  // owns this list
};

DocumentPickerBrowser::DocumentPickerBrowser(View& root, bool multipleSelection, Callbacks callbacks)
    : m_callbacks(std::move(callbacks)), m_multiple(multipleSelection) {
    root.setBackgroundColor(Color::systemGroupedBackground());
    auto button = [&root](const std::string& title, std::function<void()> action) {
        auto made = Button::create(ButtonType::system);
        made->setTitle(title, normal);
        made->addTarget(
            nullptr, [action = std::move(action)](Control&) { action(); }, touchUpInside);
        root.addSubview(made);
        return made;
    };
    // The buttons act through the browser, which lives as long as the root's controller.
    m_cancel = button("Cancel", [this] { m_callbacks.cancel(); });
    m_open = button("Open", [this] { m_callbacks.open(m_selection); });
    m_up = button("Up", [this] {
        if (auto parent = DocumentPickerListing::parentOf(m_folder)) show(*parent);
    });
    m_title = Label::create();
    m_title->setFont(Font::systemFont(17, FontWeight::semibold));
    m_title->setTextAlignment(TextAlignment::center);
    root.addSubview(m_title);
    m_note = Label::create();
    m_note->setTextColor(Color::secondaryLabel());
    m_note->setTextAlignment(TextAlignment::center);
    root.addSubview(m_note);
    m_list = std::make_shared<List>(*this);
    m_table = TableView::create(root.bounds());
    m_table->registerCell("entry", [] { return TableViewCell::create(); });
    m_table->setDataSource(m_list);
    m_table->setDelegate(m_list);
    root.addSubview(m_table);
}

DocumentPickerBrowser::~DocumentPickerBrowser() {
    // The table outlives nothing it would ask.
    m_table->setDataSource(nullptr);
    m_table->setDelegate(nullptr);
}

void DocumentPickerBrowser::layout(View& root) {
    const Rect bounds = root.bounds();
    const double top = bounds.minY() + root.safeAreaInsets().top;
    const double width = bounds.width();
    auto place = [](Button& button, double x, double y) {
        const Size size = button.intrinsicContentSize();
        button.setFrame(Rect(x, y + (kBarHeight - size.height) / 2, size.width, size.height));
    };
    place(*m_cancel, bounds.minX() + kSide, top);
    const Size openSize = m_open->intrinsicContentSize();
    place(*m_open, bounds.maxX() - kSide - openSize.width, top);
    const double titleX = m_cancel->frame().maxX() + 8;
    m_title->setFrame(Rect(titleX, top, std::max(0.0, m_open->frame().minX() - 8 - titleX), kBarHeight));
    place(*m_up, bounds.minX() + kSide, top + kBarHeight);
    const double listTop = top + 2 * kBarHeight;
    m_table->setFrame(Rect(bounds.minX(), listTop, width, std::max(0.0, bounds.maxY() - listTop)));
    m_note->setFrame(Rect(bounds.minX() + kSide, listTop + 24, std::max(0.0, width - 2 * kSide), 22));
    // Read right to left, the bar is the mirror image: Cancel and Up at the right, Open at the left.
    if (!root.isRightToLeft()) return;
    for (View* view : std::initializer_list<View*>{m_cancel.get(), m_open.get(), m_title.get(), m_up.get()}) {
        Rect frame = view->frame();
        frame.origin.x = bounds.minX() + bounds.maxX() - frame.maxX();
        view->setFrame(frame);
    }
}

void DocumentPickerBrowser::show(const foundation::URL& folder) {
    m_folder = folder;
    // What is picked lies in the folder shown.
    m_selection.clear();
    auto listing = DocumentPickerListing::list(folder, m_callbacks.canPick);
    if (listing) {
        m_listing = std::move(listing.value());
        m_note->setText(m_listing->entries().empty() ? "No items" : "");
    } else {
        m_listing.reset();
        m_note->setText("This folder cannot be read.");
    }
    refresh();
    // Another folder's offset means nothing here, and past this one's end it shows no rows at all.
    m_table->setContentOffset(Point(m_table->contentOffset().x, -m_table->adjustedContentInset().top));
}

void DocumentPickerBrowser::tapped(size_t row) {
    if (!m_listing || row >= m_listing->entries().size()) return;
    const auto entry = m_listing->entries()[row];
    if (entry.isFolder) {
        show(entry.url);
        return;
    }
    const auto found = std::find(m_selection.begin(), m_selection.end(), entry.url);
    if (found != m_selection.end()) {
        m_selection.erase(found);
    } else {
        if (!m_multiple) m_selection.clear();
        m_selection.push_back(entry.url);
    }
    refresh();
}

void DocumentPickerBrowser::refresh() {
    m_title->setText(DocumentPickerListing::titleOf(m_folder));
    m_up->setEnabled(DocumentPickerListing::parentOf(m_folder).has_value());
    m_open->setEnabled(!m_selection.empty());
    m_note->setHidden(m_note->text().value_or("").empty());
    m_table->reloadData();
}

}  // namespace ui
