#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controllers/static_table_section.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A controller whose view is a table, with itself as the table's data source and delegate.
// Subclasses answer the table's questions; by default the table is empty. The table loads its
// rows as the controller first appears (or when asked before). A table that an interface file
// fixes gets static sections from its storyboard factory: the default answers then come from
// them (so an override can ask the base for the static count, title or height), and a row with a
// segue performs it, with its cell as sender, after `didSelectRow`.
class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    static std::shared_ptr<TableViewController> create(TableViewStyle style = TableViewStyle::plain);
    std::string className() const override { return "TableViewController"; }

    std::shared_ptr<TableView> tableView();
    TableViewStyle tableViewStyle() const { return m_style; }
    bool clearsSelectionOnViewWillAppear() const { return m_clearsSelection; }
    void setClearsSelectionOnViewWillAppear(bool clears) {
        checkMainThread();
        m_clearsSelection = clears;
    }

    void loadView() override;
    void viewWillAppear(bool animated) override;

    // Set before the table first asks (the storyboard factory does), and not changed after.
    void setStaticSections(std::vector<StaticTableSection> sections);
    const std::vector<StaticTableSection>& staticSections() const { return m_staticSections; }

    int numberOfSections(TableView& table) override;
    int numberOfRows(TableView& table, int section) override;
    // The static cell; a row the static table does not have is a programming error.
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& indexPath) override;
    std::optional<std::string> titleForHeader(TableView& table, int section) override;
    std::optional<std::string> titleForFooter(TableView& table, int section) override;
    std::optional<double> heightForRow(TableView& table, const IndexPath& indexPath) override;
    std::optional<double> heightForHeader(TableView& table, int section) override;
    std::optional<double> heightForFooter(TableView& table, int section) override;
    void rowSelectionDidEnd(TableView& table, const IndexPath& indexPath) override;

protected:
    explicit TableViewController(TableViewStyle style) : m_style(style) {}

private:
    const StaticTableSection* staticSection(int section) const;
    const StaticTableRow* staticRow(const IndexPath& indexPath) const;

    TableViewStyle m_style;
    std::vector<StaticTableSection> m_staticSections;
    bool m_isStatic = false;
    bool m_clearsSelection = true;
    bool m_hasAppeared = false;
};

}  // namespace ui
