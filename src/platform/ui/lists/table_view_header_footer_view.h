#pragma once

#include <memory>
#include <optional>

#include "platform/ui/lists/collection_reusable_view.h"
#include "platform/ui/lists/list_content_configuration.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A section header or footer of a table, with the title in its text label.
class TableViewHeaderFooterView : public CollectionReusableView {
public:
    static std::shared_ptr<TableViewHeaderFooterView> create(std::string reuseIdentifier = {});
    std::string className() const override { return "TableViewHeaderFooterView"; }

    std::shared_ptr<View> contentView();
    std::shared_ptr<Label> textLabel();
    // The height that shows the whole title at `width` (the table's), at least `minimum`: a title
    // longer than a line wraps and the view grows by the lines it adds.
    double heightFitting(double width, double minimum) const;
    const std::optional<ListContentConfiguration>& contentConfiguration() const { return m_configuration; }
    void setContentConfiguration(std::optional<ListContentConfiguration> c) {
        checkMainThread();
        m_configuration = std::move(c);
    }

protected:
    TableViewHeaderFooterView() : CollectionReusableView(Rect(0, 0, 320, 28)) {}

private:
    // The title across the content, inset from both edges; runs in the content view's layout pass.
    void layoutContent();

    std::shared_ptr<View> m_contentView;
    std::shared_ptr<Label> m_textLabel;
    std::optional<ListContentConfiguration> m_configuration;
};

}  // namespace ui
