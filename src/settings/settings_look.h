#pragma once

#include "platform/ui/lists/index_path.h"
#include "platform/ui/views/color.h"

namespace ui {
class TableView;
class View;
}  // namespace ui

namespace reelhaven {

// The look every settings screen shares: a grey 6 background, section headers in Inter-SemiBold
// 14 in the secondary label colour, a grey selected-row background and side margins chosen by
// the width of the screen's view. Main thread.
class SettingsLook {
public:
    static ui::Color background() { return ui::Color::systemGray6(); }
    // The grey behind a selected row.
    static ui::Color selectedRowColor();

    // The side margin for a view of that width: 200 from 1024 points, 100 above 768, 60 above
    // 414 while its window's scene is in landscape, else 0 (also without window or scene).
    static double sideMargin(const ui::View& view);
    // Gives `target` the margins (0, m, 0, m) for the width of `view`'s frame.
    static void applyLayoutMargins(ui::View& target, const ui::View& view);
    // A header-footer view's text in the header font; a missing font is a programming error.
    static void styleHeader(ui::View& header);
    // The row's cell (when the table shows it) gets the grey selected background; every row may
    // highlight, so the answer is always true.
    static bool highlightRow(ui::TableView& table, const ui::IndexPath& indexPath);
};

}  // namespace reelhaven
