#pragma once

#include <memory>
#include <optional>

#include "controls/detail_scrubber.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/visual_effect_view.h"

namespace reelhaven {

// The player's bottom bar: skip backward, play/pause and skip forward, the progress bar with its
// two time labels, and the options and audio/subtitles buttons, on a blurred rounded panel. It
// arranges them by the size classes and rearranges only when one changes; the controls, their
// targets, images and texts survive every rearrangement. The control view wires the buttons and
// the player the progress bar and the label widths. Main thread.
class BottomControlView : public ui::View {
public:
    // The three arrangements: one row with the times under the bar (compact width, compact or
    // unspecified height), one row with the times beside it (any other width), or two rows
    // (compact width, regular height).
    enum class Arrangement { compact, wide, stacked };

    static std::shared_ptr<BottomControlView> create(const ui::Rect& frame = {});
    std::string className() const override { return "BottomControlView"; }

    void traitCollectionDidChange(const std::optional<ui::TraitCollection>& previous);
    void traitCollectionDidChange(const ui::TraitCollection& previous) override;
    // A bar moved into a window whose size classes differ from the arranged ones rearranges.
    void didMoveToWindow() override;
    Arrangement arrangement() const { return m_arrangement; }

    const std::shared_ptr<ui::Button>& skipBackwardButton() const { return m_skipBackwardButton; }
    const std::shared_ptr<ui::Button>& playPauseButton() const { return m_playPauseButton; }
    const std::shared_ptr<ui::Button>& skipForwardButton() const { return m_skipForwardButton; }
    const std::shared_ptr<DetailScrubber>& progressBar() const { return m_progressBar; }
    const std::shared_ptr<ui::LayoutConstraint>& progressLabelWidthConstraint() const { return m_progressLabelWidth; }
    const std::shared_ptr<ui::Label>& progressLabel() const { return m_progressLabel; }
    const std::shared_ptr<ui::LayoutConstraint>& durationLabelWidthConstraint() const { return m_durationLabelWidth; }
    const std::shared_ptr<ui::Label>& durationLabel() const { return m_durationLabel; }
    const std::shared_ptr<ui::Button>& optionsButton() const { return m_optionsButton; }
    const std::shared_ptr<ui::Button>& audioSubtitlesButton() const { return m_audioSubtitlesButton; }
    const std::shared_ptr<ui::VisualEffectView>& visualEffectView() const { return m_visualEffectView; }
    const std::shared_ptr<ui::StackView>& allControlsStack() const { return m_allControlsStack; }
    const std::shared_ptr<ui::StackView>& labelsStack() const { return m_labelsStack; }
    const std::shared_ptr<ui::StackView>& progressBarStack() const { return m_progressBarStack; }
    const std::shared_ptr<ui::StackView>& buttonsStack() const { return m_buttonsStack; }
    const std::shared_ptr<ui::StackView>& centerButtonsStack() const { return m_centerButtonsStack; }
    const std::shared_ptr<ui::LayoutConstraint>& topPadding() const { return m_topPadding; }
    const std::shared_ptr<ui::LayoutConstraint>& bottomPadding() const { return m_bottomPadding; }
    const std::shared_ptr<ui::LayoutConstraint>& leadingPadding() const { return m_leadingPadding; }
    const std::shared_ptr<ui::LayoutConstraint>& trailingPadding() const { return m_trailingPadding; }

protected:
    explicit BottomControlView(const ui::Rect& frame);

private:
    struct ArrangementStyle;

    void setupLayout();
    void removeArrangedViews();
    // Where the bar is short of room the five buttons give up width, all alike.
    void keepButtonWidthsAlike();
    void applyStyle(const ArrangementStyle& style);
    void arrangeCompact();
    void arrangeWide();
    void arrangeStacked();

    std::shared_ptr<ui::Button> m_skipBackwardButton;
    std::shared_ptr<ui::Button> m_playPauseButton;
    std::shared_ptr<ui::Button> m_skipForwardButton;
    std::shared_ptr<DetailScrubber> m_progressBar;
    std::shared_ptr<ui::LayoutConstraint> m_progressLabelWidth;
    std::shared_ptr<ui::Label> m_progressLabel;
    std::shared_ptr<ui::LayoutConstraint> m_durationLabelWidth;
    std::shared_ptr<ui::Label> m_durationLabel;
    std::shared_ptr<ui::Button> m_optionsButton;
    std::shared_ptr<ui::Button> m_audioSubtitlesButton;
    std::shared_ptr<ui::VisualEffectView> m_visualEffectView;
    std::shared_ptr<ui::StackView> m_allControlsStack;
    std::shared_ptr<ui::StackView> m_labelsStack;
    std::shared_ptr<ui::StackView> m_progressBarStack;
    std::shared_ptr<ui::StackView> m_buttonsStack;
    std::shared_ptr<ui::StackView> m_centerButtonsStack;
    std::shared_ptr<ui::LayoutConstraint> m_topPadding;
    std::shared_ptr<ui::LayoutConstraint> m_bottomPadding;
    std::shared_ptr<ui::LayoutConstraint> m_leadingPadding;
    std::shared_ptr<ui::LayoutConstraint> m_trailingPadding;
    std::shared_ptr<ui::View> m_paddingView;
    Arrangement m_arrangement = Arrangement::compact;
    ui::TraitCollection m_arrangedTraits;
};

}  // namespace reelhaven
