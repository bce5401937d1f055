#include "platform/ui/controllers/font_picker_view_controller.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/ui/controls/button.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/text/font_library.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

namespace {

constexpr double kBarHeight = 56;

// Every face, or one face of each family: its regular one when it has one, else its first.
std::vector<std::string> offeredFonts(bool includeFaces) {
    const auto installed = FontLibrary::shared().installedFontNames();
    if (includeFaces) return installed;
    std::map<std::string, std::string> byFamily;
    for (const auto& name : installed) {
        const auto dash = name.find('-');
        const std::string family = name.substr(0, dash);
        const bool regular = dash == std::string::npos || name.substr(dash + 1) == "Regular";
        auto [it, inserted] = byFamily.try_emplace(family, name);
        if (!inserted && regular) it->second = name;
    }
    std::vector<std::string> names;
    for (const auto& [family, name] : byFamily) names.push_back(name);
    return names;
}

}  // namespace

// The rows of the list: one font each, its name in its own face; a tap picks it.
class FontPickerViewController::List : public TableViewDataSource, public TableViewDelegate {
public:
    explicit List(FontPickerViewController& picker) : m_picker(picker) {}
    int numberOfRows(TableView&, int) override { return static_cast<int>(m_picker.m_names.size()); }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& indexPath) override {
        auto cell = table.dequeueReusableCell("font", indexPath);
        const auto& name = m_picker.m_names[static_cast<size_t>(indexPath.item)];
        cell->textLabel()->setText(name);
        cell->textLabel()->setFont(Font::fromDescriptor(FontDescriptor(name, 17), 0));
        return cell;
    }
    void didSelectRow(TableView& table, const IndexPath& indexPath) override {
        table.deselectRow(indexPath);
        m_picker.pick(FontDescriptor(m_picker.m_names[static_cast<size_t>(indexPath.item)], 17));
    }

private:
    FontPickerViewController& m_picker;  // owns this list
};

std::shared_ptr<FontPickerViewController> FontPickerViewController::create(Configuration configuration) {
    auto picker = make<FontPickerViewController>();
    picker->m_configuration = configuration;
    return picker;
}

void FontPickerViewController::viewDidLoad() {
    checkMainThread();
    m_offered = offeredFonts(m_configuration.includeFaces);
    m_names = m_offered;
    auto root = view();
    root->setBackgroundColor(Color::systemGroupedBackground());
    const Rect bounds = root->bounds();

    m_cancelButton = Button::create(ButtonType::system);
    m_cancelButton->setTitle("Cancel", normal);
    std::weak_ptr<FontPickerViewController> weak = sharedAs<FontPickerViewController>();

    m_searchField = TextField::create();
    m_searchField->setPlaceholder("Search");
    m_searchField->setBorderStyle(TextFieldBorderStyle::roundedRect);
    placeSearchRow();
    m_searchField->addTarget(
        nullptr,
        [weak](Control& sender) {
            auto self = weak.lock();
            auto field = dynamic_cast<TextField*>(&sender);
            if (self && field) self->filter(field->text().value_or(""));
        },
        editingChanged);
    root->addSubview(m_searchField);
    m_cancelButton->addTarget(
        nullptr,
        [weak](Control&) {
            if (auto self = weak.lock()) self->cancel();
        },
        touchUpInside);
    root->addSubview(m_cancelButton);

    m_list = std::make_shared<List>(*this);
    m_tableView = TableView::create(Rect(0, kBarHeight, bounds.width(), std::max(0.0, bounds.height() - kBarHeight)));
    m_tableView->setAutoresizingMask(flexibleWidth | flexibleHeight);
    m_tableView->registerCell("font", [] { return TableViewCell::create(); });
    m_tableView->setDataSource(m_list);
    m_tableView->setDelegate(m_list);
    root->addSubview(m_tableView);
    m_tableView->reloadData();
}

void FontPickerViewController::viewDidLayoutSubviews() {
    checkMainThread();
    placeSearchRow();
}

void FontPickerViewController::placeSearchRow() {
    const Rect bounds = view()->bounds();
    const Size size = m_cancelButton->intrinsicContentSize();
    const double fieldWidth = std::max(0.0, bounds.width() - size.width - 48);
    // The field at the leading end, Cancel at the trailing one: mirrored when read right to left.
    const bool rightToLeft = view()->isRightToLeft();
    const double cancelX = rightToLeft ? 16 : bounds.width() - 16 - size.width;
    const double fieldX = rightToLeft ? bounds.width() - 16 - fieldWidth : 16;
    const Rect cancel(cancelX, (kBarHeight - size.height) / 2, size.width, size.height);
    const Rect field(fieldX, (kBarHeight - 36) / 2, fieldWidth, 36);
    if (!(m_cancelButton->frame() == cancel)) m_cancelButton->setFrame(cancel);
    if (!(m_searchField->frame() == field)) m_searchField->setFrame(field);
}

void FontPickerViewController::filter(const std::string& text) {
    const auto lower = [](std::string value) {
        std::transform(value.begin(), value.end(), value.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return value;
    };
    const std::string wanted = lower(text);
    m_names.clear();
    for (const auto& name : m_offered) {
        if (lower(name).find(wanted) != std::string::npos) m_names.push_back(name);
    }
    if (m_tableView) m_tableView->reloadData();
}

void FontPickerViewController::pick(const FontDescriptor& descriptor) {
    checkMainThread();
    m_selected = descriptor;
    if (auto d = delegate()) d->didPickFont(*this);
}

void FontPickerViewController::cancel() {
    checkMainThread();
    // The picker leaves on its own; the delegate hears of it after.
    auto d = delegate();
    if (presentingViewController()) dismiss(true);
    if (d) d->didCancel(*this);
}

}  // namespace ui
