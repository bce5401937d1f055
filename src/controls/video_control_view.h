#pragma once

#include <memory>

#include "controls/bottom_control_view.h"
#include "controls/top_control_view.h"
#include "platform/ui/controls/feedback_generator.h"
#include "playback/model/progress_label_style.h"
#include "playback/model/video_control_delegate.h"

namespace reelhaven {

class PlaybackInfo;

// The container of the player's controls: it wires every button of the top and bottom bars to
// its actions and forwards them to the player (the weak delegate), writes the time labels,
// switches the play/pause symbol, sets the skip-interval icons and dims the popover buttons while
// a popover is open. The player's interface file makes it with its two bars (the weak outlets).
// Main thread.
class VideoControlView : public ui::View {
public:
    // As the player's interface file makes it: the bars are its subviews and outlets, then the
    // set-up runs. A missing bar is a programming error.
    static std::shared_ptr<VideoControlView> create(const std::shared_ptr<TopControlView>& top,
                                                    const std::shared_ptr<BottomControlView>& bottom,
                                                    const ui::Rect& frame = {});
    std::string className() const override { return "VideoControlView"; }

    std::shared_ptr<VideoControlDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<VideoControlDelegate>& delegate) { m_delegate = delegate; }
    // The playing video's state, whose pause flag play/pause negates; set by the player.
    void setPlaybackInfo(const std::shared_ptr<PlaybackInfo>& info) { m_playbackInfo = info; }
    ProgressLabelStyle progressLabelStyle() const { return m_progressLabelStyle; }
    void setProgressLabelStyle(ProgressLabelStyle style) { m_progressLabelStyle = style; }
    const std::shared_ptr<ui::FeedbackGenerator>& lightHapticFeedbackGenerator() const { return m_haptics; }
    std::shared_ptr<TopControlView> topControlView() const { return m_topControlView.lock(); }
    std::shared_ptr<BottomControlView> bottomControlView() const { return m_bottomControlView.lock(); }

    void showPlaying();
    void showPaused();
    void updateSkipIntervalIcons();
    void updateProgressLabels(double progress, double duration);
    void toggleProgressLabelStyle();
    void dimButtonsForOptionsPopover(bool dimmed);
    void dimButtonsForVideoMenuPopover(bool dimmed);
    void dimButtonsForAudioSubtitlePopover(bool dimmed);

    // Actions.
    void closeButtonPressed();
    void videoButtonPressed();
    void playButtonPressed();
    void skipBackwardButtonPressed();
    void skipForwardButtonPressed();
    void aspectRatioButtonPressed();
    void audioSubtitleButtonPressed();
    void optionsButtonPressed();
    void progressLabelTapped();

protected:
    explicit VideoControlView(const ui::Rect& frame);

private:
    void awakeFromNib();
    std::shared_ptr<TopControlView> top() const;
    std::shared_ptr<BottomControlView> bottom() const;
    void showPlayPauseSymbol(const char* symbol, bool selected);
    // Runs `call` on the delegate unless this view is hidden.
    void unlessHidden(const std::function<void(VideoControlDelegate&)>& call);
    // The same between a prepared and an occurred light impact, unless haptics are reduced.
    void withHaptics(const std::function<void(VideoControlDelegate&)>& call);

    std::weak_ptr<VideoControlDelegate> m_delegate;
    std::weak_ptr<PlaybackInfo> m_playbackInfo;
    ProgressLabelStyle m_progressLabelStyle = ProgressLabelStyle::progressTimeRemaining;
    std::shared_ptr<ui::FeedbackGenerator> m_haptics;
    std::weak_ptr<TopControlView> m_topControlView;
    std::weak_ptr<BottomControlView> m_bottomControlView;
};

}  // namespace reelhaven
