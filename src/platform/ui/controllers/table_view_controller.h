#pragma once

#include <memory>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A controller whose view is a table, with itself as the table's data source and delegate.
// Subclasses answer the table's questions; by default the table is empty. The table loads its
// rows as the controller first appears (or when asked before).
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

    int numberOfRows(TableView& /*table*/, int /*section*/) override { return 0; }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& indexPath) override;

protected:
    explicit TableViewController(TableViewStyle style) : m_style(style) {}

private:
    TableViewStyle m_style;
    bool m_clearsSelection = true;
    bool m_hasAppeared = false;
};

}  // namespace ui
