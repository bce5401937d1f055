#pragma once

#include <memory>
#include <string>

#include "library/external_subtitle_icon_view.h"
#include "library/library_collection_view_cell.h"
#include "platform/ui/controls/progress_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"

namespace reelhaven {

// A video of the library grid: thumbnail in a rounded frame, duration, progress bar, finished
// mark, time-remaining badge, size and a badge for an external subtitle file. Main thread.
class VideoCollectionViewCell : public LibraryCollectionViewCell {
public:
    static constexpr const char* nibName = "VideoCollectionViewCell";

    // The outlets the nib connects; the cell holds them weakly.
    struct Outlets {
        std::weak_ptr<ui::View> thumbnailView;
        std::weak_ptr<ui::View> containerView;
        std::weak_ptr<ui::ImageView> imageView;
        std::weak_ptr<ui::Label> timestampLabel;
        std::weak_ptr<ui::ProgressView> progressView;
        std::weak_ptr<ui::ImageView> finishedIcon;
        std::weak_ptr<ui::Label> timeRemainingLabel;
        std::weak_ptr<ui::View> timeRemainingShadowView;
        std::weak_ptr<ui::Label> sizeLabel;
        std::weak_ptr<ExternalSubtitleIconView> externalSubtitleIcon;
    };

    static std::shared_ptr<VideoCollectionViewCell> create(const ui::Rect& frame = {});
    std::string className() const override { return "VideoCollectionViewCell"; }

    void connect(Outlets outlets) { m_outlets = std::move(outlets); }

    std::shared_ptr<ui::View> thumbnailView() const { return m_outlets.thumbnailView.lock(); }
    std::shared_ptr<ui::View> containerView() const { return m_outlets.containerView.lock(); }
    std::shared_ptr<ui::ImageView> imageView() const { return m_outlets.imageView.lock(); }
    std::shared_ptr<ui::Label> timestampLabel() const { return m_outlets.timestampLabel.lock(); }
    std::shared_ptr<ui::ProgressView> progressView() const { return m_outlets.progressView.lock(); }
    std::shared_ptr<ui::ImageView> finishedIcon() const { return m_outlets.finishedIcon.lock(); }
    std::shared_ptr<ui::Label> timeRemainingLabel() const { return m_outlets.timeRemainingLabel.lock(); }
    std::shared_ptr<ui::View> timeRemainingShadowView() const { return m_outlets.timeRemainingShadowView.lock(); }
    std::shared_ptr<ui::Label> sizeLabel() const { return m_outlets.sizeLabel.lock(); }
    std::shared_ptr<ExternalSubtitleIconView> externalSubtitleIcon() const {
        return m_outlets.externalSubtitleIcon.lock();
    }

    void awakeFromNib() override;
    void layoutSubviews() override;

protected:
    explicit VideoCollectionViewCell(const ui::Rect& frame) : LibraryCollectionViewCell(frame) {}
    std::shared_ptr<ui::View> dimmedView() const override { return thumbnailView(); }

private:
    Outlets m_outlets;
};

}  // namespace reelhaven
