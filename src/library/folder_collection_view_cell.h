#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "library/library_collection_view_cell.h"
#include "platform/foundation/uuid.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"

namespace reelhaven {

// A folder of the library grid: up to four previews of its contents on a rounded plate and the
// number of items. Main thread.
class FolderCollectionViewCell : public LibraryCollectionViewCell {
public:
    static constexpr const char* nibName = "FolderCollectionViewCell";
    static constexpr int thumbCount = 4;

    struct Outlets {
        std::weak_ptr<ui::View> containerView;
        std::weak_ptr<ui::Label> contentsLabel;
        std::weak_ptr<ui::View> thumbnailContainerView;
        std::array<std::weak_ptr<ui::ImageView>, thumbCount> thumbs;
    };

    static std::shared_ptr<FolderCollectionViewCell> create(const ui::Rect& frame = {});
    std::string className() const override { return "FolderCollectionViewCell"; }

    void connect(Outlets outlets) { m_outlets = std::move(outlets); }

    std::shared_ptr<ui::View> containerView() const { return m_outlets.containerView.lock(); }
    std::shared_ptr<ui::Label> contentsLabel() const { return m_outlets.contentsLabel.lock(); }
    std::shared_ptr<ui::View> thumbnailContainerView() const { return m_outlets.thumbnailContainerView.lock(); }
    // thumb1 ... thumb4 as 0 ... 3.
    std::shared_ptr<ui::ImageView> thumb(int index) const { return m_outlets.thumbs.at(index).lock(); }

    // Which video a preview was asked for, so an answer that comes late for a reused cell is
    // dropped instead of showing another folder's picture.
    std::optional<foundation::UUID> previewItem(int index) const { return m_previewItems.at(index); }
    void setPreviewItem(int index, std::optional<foundation::UUID> id) { m_previewItems.at(index) = id; }

    void awakeFromNib() override;
    void prepareForReuse() override;

protected:
    explicit FolderCollectionViewCell(const ui::Rect& frame) : LibraryCollectionViewCell(frame) {}
    std::shared_ptr<ui::View> dimmedView() const override { return thumbnailContainerView(); }

private:
    Outlets m_outlets;
    std::array<std::optional<foundation::UUID>, thumbCount> m_previewItems;
};

}  // namespace reelhaven
