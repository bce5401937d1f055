#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/url.h"
#include "platform/ui/controllers/document_picker_listing.h"

namespace ui {

class Button;
class Label;
class TableView;
class View;

// What a person sees of a document picker: a bar with "Cancel", the folder's name and "Open"; a
// row to go up to the folder above; the folder's sub-folders and pickable files. A tap on a folder
// opens it; a tap on a file selects it (with several allowed, toggles it), shown by a checkmark;
// "Open" hands the selection on. Main thread only.
class DocumentPickerBrowser {
public:
    struct Callbacks {
        std::function<bool(const foundation::URL&)> canPick;
        std::function<void(std::vector<foundation::URL>)> open;
        std::function<void()> cancel;
    };

    DocumentPickerBrowser(View& root, bool multipleSelection, Callbacks callbacks);
    ~DocumentPickerBrowser();

    // Shows `folder` from its top with nothing selected; one that cannot be read says so and still
    // offers the way up.
    void show(const foundation::URL& folder);
    // Frames from the root's bounds and safe area.
    void layout(View& root);
    void setMultipleSelection(bool multiple) { m_multiple = multiple; }

    const foundation::URL& folder() const { return m_folder; }
    const std::vector<foundation::URL>& selection() const { return m_selection; }

private:
    class List;

    void tapped(size_t row);
    void refresh();

    Callbacks m_callbacks;
    bool m_multiple;
    foundation::URL m_folder;
    std::optional<DocumentPickerListing> m_listing;
    std::vector<foundation::URL> m_selection;
    std::shared_ptr<Button> m_cancel;
    std::shared_ptr<Button> m_open;
    std::shared_ptr<Button> m_up;
    std::shared_ptr<Label> m_title;
    std::shared_ptr<Label> m_note;
    std::shared_ptr<TableView> m_table;
    std::shared_ptr<List> m_list;
};

}  // namespace ui
