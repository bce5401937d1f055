#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/lists/collection_view_cell.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/edge_insets.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

enum class TableViewCellStyle { defaultStyle, value1, value2, subtitle };
enum class TableViewCellAccessoryType { none, disclosureIndicator, detailDisclosureButton, checkmark, detailButton };
enum class TableViewCellSelectionStyle { none, blue, gray, defaultStyle };

// A table row: the cell of a collection view plus the classic labels, image and accessory.
class TableViewCell : public CollectionViewCell {
public:
    static std::shared_ptr<TableViewCell> create(TableViewCellStyle style = TableViewCellStyle::defaultStyle,
                                                 std::string reuseIdentifier = {});
    std::string className() const override { return "TableViewCell"; }

    TableViewCellStyle style() const { return m_style; }
    std::shared_ptr<Label> textLabel();
    // None for the default style, as on the platform.
    std::shared_ptr<Label> detailTextLabel();
    std::shared_ptr<ImageView> imageView();
    TableViewCellAccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(TableViewCellAccessoryType type);
    // The space between an accessory view and the row's trailing edge.
    static constexpr double kAccessoryTrailingInset = 16;
    std::shared_ptr<View> accessoryView() const { return m_accessoryView; }
    void setAccessoryView(std::shared_ptr<View> view);
    TableViewCellSelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(TableViewCellSelectionStyle style) {
        checkMainThread();
        m_selectionStyle = style;
    }
    // Replaces the table's separator inset under this row.
    std::optional<EdgeInsets> separatorInset() const { return m_separatorInset; }
    void setSeparatorInset(std::optional<EdgeInsets> inset) {
        checkMainThread();
        m_separatorInset = inset;
    }
    // Shown behind the content while the cell is selected or highlighted.
    std::shared_ptr<View> selectedBackgroundView() const { return m_selectedBackgroundView; }
    void setSelectedBackgroundView(std::shared_ptr<View> view) {
        checkMainThread();
        m_selectedBackgroundView = std::move(view);
    }

protected:
    explicit TableViewCell(TableViewCellStyle style) : CollectionViewCell(Rect(0, 0, 320, 44)), m_style(style) {}
    // The image and labels in the standard places of the row's style, clear of the accessory.
    void layoutContent() override;

private:
    // The accessory type's image on the indicator, for the direction the row reads in now.
    void showIndicatorSymbol();

    TableViewCellStyle m_style;
    std::shared_ptr<Label> m_textLabel;
    std::shared_ptr<Label> m_detailTextLabel;
    std::shared_ptr<ImageView> m_imageView;
    TableViewCellAccessoryType m_accessoryType = TableViewCellAccessoryType::none;
    std::shared_ptr<View> m_accessoryView;
    std::shared_ptr<class CellAccessoryIndicatorView> m_indicator;  // for the accessory type
    std::string m_indicatorSymbol;                                  // the symbol it shows
    TableViewCellSelectionStyle m_selectionStyle = TableViewCellSelectionStyle::defaultStyle;
    std::shared_ptr<View> m_selectedBackgroundView;
    std::optional<EdgeInsets> m_separatorInset;
};

}  // namespace ui
