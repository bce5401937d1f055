#pragma once

#include <memory>
#include <string>

#include "platform/ui/lists/collection_view_cell.h"
#include "toolkit/check_mark.h"
#include "toolkit/scrolling_label.h"

namespace reelhaven {

// The common part of the library grid's cells: the scrolling title and the selection mark. The
// cells keep only their fixed look and their selection look; the browser writes everything they
// show. Outlets are weak (the view hierarchy owns the views) and connected by the cell's nib,
// which then calls `awakeFromNib`. Main thread.
class LibraryCollectionViewCell : public ui::CollectionViewCell {
public:
    std::string className() const override { return "LibraryCollectionViewCell"; }

    std::shared_ptr<ScrollingLabel> titleLabel() const { return m_titleLabel.lock(); }
    std::shared_ptr<CheckMark> selectedCheckmark() const { return m_selectedCheckmark.lock(); }
    void setTitleLabel(const std::shared_ptr<ScrollingLabel>& label) { m_titleLabel = label; }
    void setSelectedCheckmark(const std::shared_ptr<CheckMark>& mark) { m_selectedCheckmark = mark; }

    // The fixed look, set once the nib has connected the outlets.
    virtual void awakeFromNib();

    void setSelected(bool selected) override;
    // A cell dimmed while its item was being deleted shows the next item whole.
    void prepareForReuse() override;

protected:
    explicit LibraryCollectionViewCell(const ui::Rect& frame) : ui::CollectionViewCell(frame) {}

    // The view that dims while the cell is selected.
    virtual std::shared_ptr<ui::View> dimmedView() const = 0;

private:
    void setupScrollingLabel();

    std::weak_ptr<ScrollingLabel> m_titleLabel;
    std::weak_ptr<CheckMark> m_selectedCheckmark;
};

}  // namespace reelhaven
