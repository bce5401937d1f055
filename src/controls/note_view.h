#pragma once

#include <memory>
#include <optional>

#include "controls/progress_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/visual_effect_view.h"
#include "toolkit/nib_loadable.h"

namespace reelhaven {

// The seek note shown while the user seeks by panning over the video: the offset with an arrow
// for its direction, the target time, the duration and a thin bar. Its content comes from the
// interface file "NoteView". Main thread.
class NoteView : public ui::View, public NibLoadable<NoteView> {
public:
    enum class ArrowDirection { left, right };

    // As the player's interface file makes it: loaded from "NoteView", then set up.
    static std::shared_ptr<NoteView> create(const ui::Rect& frame = {});
    std::string className() const override { return "NoteView"; }

    // Also forgets the direction, so every seek starts without one.
    void setHidden(bool hidden) override;
    void traitCollectionDidChange(const ui::TraitCollection& previous) override;

    // Seconds: the seek offset (its sign picks the arrow), the target time and the duration.
    void update(double timeOffset, double progress, double duration);

    std::optional<ArrowDirection> seekDirection() const { return m_seekDirection; }

    // Outlets, connected by the interface file.
    std::shared_ptr<ui::Label> timeOffsetLabel() const { return m_timeOffsetLabel.lock(); }
    std::shared_ptr<ui::Label> progressLabel() const { return m_progressLabel.lock(); }
    std::shared_ptr<ui::Label> durationLabel() const { return m_durationLabel.lock(); }
    std::shared_ptr<ui::VisualEffectView> visualEffectView() const { return m_visualEffectView.lock(); }
    std::shared_ptr<ProgressView> progressBar() const { return m_progressBar.lock(); }
    std::shared_ptr<ui::ImageView> arrowView() const { return m_arrowView.lock(); }

protected:
    explicit NoteView(const ui::Rect& frame) : ui::View(frame) {}

private:
    friend class NoteViewNib;

    void awakeFromNib();
    void applyFonts();
    void setSeekDirection(std::optional<ArrowDirection> direction);
    template <typename T>
    std::shared_ptr<T> outlet(const std::weak_ptr<T>& view) const;

    std::weak_ptr<ui::Label> m_timeOffsetLabel;
    std::weak_ptr<ui::Label> m_progressLabel;
    std::weak_ptr<ui::Label> m_durationLabel;
    std::weak_ptr<ui::VisualEffectView> m_visualEffectView;
    std::weak_ptr<ProgressView> m_progressBar;
    std::weak_ptr<ui::ImageView> m_arrowView;
    std::optional<ArrowDirection> m_seekDirection;
};

}  // namespace reelhaven
