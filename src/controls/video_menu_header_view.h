#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/cancellable.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"

namespace reelhaven {

// Posted by the player after a screenshot: one per saved picture, or one when saving failed.
inline constexpr const char* kScreenshotSucceeded = "screenshotSucceeded";
inline constexpr const char* kScreenshotFailed = "screenshotFailed";

// The top of the video menu: "NOW PLAYING", the video's name, the Playlist/Chapters switch, the
// screenshot button and its success mark. It re-enables the button when a screenshot ends and
// shows the mark for a success; the popover wires the controls. Main thread (the notifications
// are expected there).
class VideoMenuHeaderView : public ui::View {
public:
    static constexpr double kHeight = 115;

    static std::shared_ptr<VideoMenuHeaderView> create(const ui::Rect& frame = {});
    std::string className() const override { return "VideoMenuHeaderView"; }

    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string> title);
    bool shouldHideSegmentedControl() const { return m_shouldHideSegmentedControl; }
    // Animates the switch in or out when its hidden state changes.
    void setShouldHideSegmentedControl(bool hide);
    ui::Size intrinsicContentSize() const override { return {noIntrinsicMetric, kHeight}; }

    void showScreenshotSucceeded();

    const std::shared_ptr<ui::StackView>& stackView() const { return m_stackView; }
    const std::shared_ptr<ui::Label>& nowPlayingLabel() const { return m_nowPlayingLabel; }
    const std::shared_ptr<ui::Label>& titleLabel() const { return m_titleLabel; }
    const std::shared_ptr<ui::StackView>& screenshotButtonStack() const { return m_screenshotButtonStack; }
    const std::shared_ptr<ui::SegmentedControl>& chapterPlaylistSegmentedControl() const { return m_segmentedControl; }
    const std::shared_ptr<ui::Button>& screenshotButton() const { return m_screenshotButton; }
    const std::shared_ptr<ui::ImageView>& screenshotButtonSuccessIcon() const { return m_successIcon; }

protected:
    explicit VideoMenuHeaderView(const ui::Rect& frame);

private:
    void setupViews();
    void subscribe();

    std::shared_ptr<ui::StackView> m_stackView;
    std::shared_ptr<ui::Label> m_nowPlayingLabel;
    std::shared_ptr<ui::Label> m_titleLabel;
    std::shared_ptr<ui::StackView> m_screenshotButtonStack;
    std::shared_ptr<ui::SegmentedControl> m_segmentedControl;
    std::shared_ptr<ui::Button> m_screenshotButton;
    std::shared_ptr<ui::ImageView> m_successIcon;
    std::vector<foundation::Cancellable> m_subscriptions;
    std::optional<std::string> m_title;
    bool m_shouldHideSegmentedControl = false;
};

}  // namespace reelhaven
