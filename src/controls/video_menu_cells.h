#pragma once

#include <memory>
#include <string>

#include "platform/ui/layout/stack_view.h"
#include "platform/ui/lists/collection_view_cell.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/visual_effect_view.h"

namespace reelhaven {

// One video of the video menu's playlist: thumbnail in a selection frame, name and duration. A
// selected row (the playing video) has a blue frame and a "play.fill" overlay. Main thread.
class VideoMenuPlaylistItemCell : public ui::CollectionViewCell {
public:
    static std::shared_ptr<VideoMenuPlaylistItemCell> create(const ui::Rect& frame = {});
    std::string className() const override { return "VideoMenuPlaylistItemCell"; }

    void setSelected(bool selected) override;
    ui::Size intrinsicContentSize() const override { return {noIntrinsicMetric, 65}; }

    const std::shared_ptr<ui::StackView>& containerStackView() const { return m_containerStackView; }
    const std::shared_ptr<ui::View>& selectionView() const { return m_selectionView; }
    const std::shared_ptr<ui::ImageView>& thumbnail() const { return m_thumbnail; }
    const std::shared_ptr<ui::ImageView>& overlay() const { return m_overlay; }
    const std::shared_ptr<ui::StackView>& infoStackView() const { return m_infoStackView; }
    const std::shared_ptr<ui::Label>& titleLabel() const { return m_titleLabel; }
    const std::shared_ptr<ui::Label>& durationLabel() const { return m_durationLabel; }
    const std::shared_ptr<ui::VisualEffectView>& vibrancyView() const { return m_vibrancyView; }
    const std::shared_ptr<ui::View>& divider() const { return m_divider; }

protected:
    explicit VideoMenuPlaylistItemCell(const ui::Rect& frame);

private:
    void setupViews();
    void updateSelection();

    std::shared_ptr<ui::StackView> m_containerStackView;
    std::shared_ptr<ui::View> m_selectionView;
    std::shared_ptr<ui::ImageView> m_thumbnail;
    std::shared_ptr<ui::ImageView> m_overlay;
    std::shared_ptr<ui::StackView> m_infoStackView;
    std::shared_ptr<ui::Label> m_titleLabel;
    std::shared_ptr<ui::Label> m_durationLabel;
    std::shared_ptr<ui::VisualEffectView> m_vibrancyView;
    std::shared_ptr<ui::View> m_divider;
};

// One chapter of the video menu: bookmark, title and start time on a rounded plate that turns
// blue (with a filled bookmark) for the current chapter. Main thread.
class VideoMenuChapterCell : public ui::CollectionViewCell {
public:
    static std::shared_ptr<VideoMenuChapterCell> create(const ui::Rect& frame = {});
    std::string className() const override { return "VideoMenuChapterCell"; }

    void setSelected(bool selected) override;
    ui::Size intrinsicContentSize() const override { return {noIntrinsicMetric, 44}; }

    const std::shared_ptr<ui::StackView>& containerStackView() const { return m_containerStackView; }
    const std::shared_ptr<ui::View>& selectionView() const { return m_selectionView; }
    const std::shared_ptr<ui::ImageView>& iconView() const { return m_iconView; }
    const std::shared_ptr<ui::Label>& titleLabel() const { return m_titleLabel; }
    const std::shared_ptr<ui::Label>& startTimeLabel() const { return m_startTimeLabel; }

protected:
    explicit VideoMenuChapterCell(const ui::Rect& frame);

private:
    void setupViews();
    void updateSelection();
    void applySelectionStyle(const ui::Color& background, const ui::Color& timeColor, const std::string& iconName);

    std::shared_ptr<ui::StackView> m_containerStackView;
    std::shared_ptr<ui::View> m_selectionView;
    std::shared_ptr<ui::ImageView> m_iconView;
    std::shared_ptr<ui::Label> m_titleLabel;
    std::shared_ptr<ui::Label> m_startTimeLabel;
};

}  // namespace reelhaven
