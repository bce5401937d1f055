#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/lists/index_path.h"

namespace ui {

class TableView;
class TableViewCell;
class View;

// Hears a table's selection and display events and gives its headers (held weakly).
class TableViewDelegate {
public:
    virtual ~TableViewDelegate() = default;
    // False: touching the row neither highlights nor selects it (programmatic selection still works).
    virtual bool shouldHighlightRow(TableView& /*table*/, const IndexPath& /*indexPath*/) { return true; }
    virtual bool shouldSelectRow(TableView& /*table*/, const IndexPath& /*indexPath*/) { return true; }
    virtual void didSelectRow(TableView& /*table*/, const IndexPath& /*indexPath*/) {}
    // After `didSelectRow`: what the row itself triggers, as a static row its segue.
    virtual void rowSelectionDidEnd(TableView& /*table*/, const IndexPath& /*indexPath*/) {}
    virtual void didDeselectRow(TableView& /*table*/, const IndexPath& /*indexPath*/) {}
    virtual void willDisplayCell(TableView& /*table*/, TableViewCell& /*cell*/, const IndexPath& /*indexPath*/) {}
    virtual std::shared_ptr<View> viewForHeader(TableView& /*table*/, int /*section*/) { return nullptr; }
    virtual std::shared_ptr<View> viewForFooter(TableView& /*table*/, int /*section*/) { return nullptr; }
    virtual void willDisplayHeaderView(TableView& /*table*/, View& /*view*/, int /*section*/) {}
    virtual void willDisplayFooterView(TableView& /*table*/, View& /*view*/, int /*section*/) {}
    virtual std::optional<double> heightForRow(TableView& /*table*/, const IndexPath& /*indexPath*/) {
        return std::nullopt;
    }
    virtual std::optional<double> heightForHeader(TableView& /*table*/, int /*section*/) { return std::nullopt; }
    virtual std::optional<double> heightForFooter(TableView& /*table*/, int /*section*/) { return std::nullopt; }
};

}  // namespace ui
