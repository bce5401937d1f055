#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/text/font_descriptor.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

class FontPickerViewController;

class FontPickerDelegate {
public:
    virtual ~FontPickerDelegate() = default;
    virtual void didPickFont(FontPickerViewController& picker) = 0;
    virtual void didCancel(FontPickerViewController& /*picker*/) {}
};

// What the font picker offers.
struct FontPickerConfiguration {
    bool includeFaces = false;
    bool displayUsingSystemFont = false;
};

class Button;
class TableView;
class TextField;

// The system's font picker: a list of the installed fonts (every face, or one per family) under a
// search field, which narrows it to the names holding the typed text, and a "Cancel" button.
// Tapping a font picks it (the delegate dismisses the picker); "Cancel" dismisses the picker and
// tells the delegate. Tests pick a descriptor or cancel, as the user would.
class FontPickerViewController : public ViewController {
public:
    using Configuration = FontPickerConfiguration;

    static std::shared_ptr<FontPickerViewController> create(Configuration configuration = {});
    std::string className() const override { return "FontPickerViewController"; }

    const Configuration& configuration() const { return m_configuration; }
    std::optional<FontDescriptor> selectedFontDescriptor() const { return m_selected; }
    void setSelectedFontDescriptor(std::optional<FontDescriptor> descriptor) {
        checkMainThread();
        m_selected = std::move(descriptor);
    }
    std::shared_ptr<FontPickerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<FontPickerDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }

    void pick(const FontDescriptor& descriptor);
    void cancel();

    // The PostScript names the list offers now, in order.
    const std::vector<std::string>& fontNames() const { return m_names; }
    std::shared_ptr<TableView> tableView() const { return m_tableView; }
    std::shared_ptr<TextField> searchField() const { return m_searchField; }
    std::shared_ptr<Button> cancelButton() const { return m_cancelButton; }
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

protected:
    FontPickerViewController() = default;

private:
    // The search field and its Cancel button across the top, for the view's width and direction.
    void placeSearchRow();
    class List;

    // The list shows the offered names that hold the search text, ignoring case.
    void filter(const std::string& text);

    std::vector<std::string> m_offered;
    std::vector<std::string> m_names;
    std::shared_ptr<List> m_list;
    std::shared_ptr<TextField> m_searchField;
    std::shared_ptr<TableView> m_tableView;
    std::shared_ptr<Button> m_cancelButton;
    Configuration m_configuration;
    std::optional<FontDescriptor> m_selected;
    std::weak_ptr<FontPickerDelegate> m_delegate;
};

}  // namespace ui
