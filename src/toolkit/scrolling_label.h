#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/foundation/notification_center.h"
#include "platform/ui/animation/animation_delegate.h"
#include "platform/ui/animation/keyframe_animation.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/gradient_layer.h"
#include "platform/ui/views/replicator_layer.h"
#include "toolkit/scrolling_label_step.h"

namespace reelhaven {

// A one-line label that scrolls its text back and forth or in a loop, instead of truncating it,
// when the text is wider than the label. An inner label (`sublabel`) holds the text and is moved
// by key-frame animations of its layer's position; the label clips to its bounds and can fade
// its edges with a gradient mask. Main thread only.
class ScrollingLabel : public ui::Label, public ui::AnimationDelegate {
public:
    enum class ScrollType { left, leftRight, right, rightLeft, continuous, continuousReverse };

    // Points per second (`rate`) or seconds per moving step (`duration`).
    struct SpeedLimit {
        enum class Kind { rate, duration };
        Kind kind = Kind::duration;
        double value = 7.0;

        static SpeedLimit rate(double pointsPerSecond) { return {Kind::rate, pointsPerSecond}; }
        static SpeedLimit duration(double seconds) { return {Kind::duration, seconds}; }
        bool operator==(const SpeedLimit&) const = default;
    };

    using ScrollAnimation = std::pair<std::shared_ptr<ui::KeyframeAnimation>, double>;
    using CompletionBlock = std::function<void(bool finished)>;

    static constexpr int sublabelTag = 700;
    static constexpr double maximumTextWidth = 5461.0;
    static constexpr const char* restartNotification = "SLViewControllerRestart";
    static constexpr const char* labelizeNotification = "SLShouldLabelize";
    static constexpr const char* animateNotification = "SLShouldAnimate";
    static constexpr const char* completionKey = "SLAnimationCompletion";

    static std::shared_ptr<ScrollingLabel> create(const ui::Rect& frame = {});
    static std::shared_ptr<ScrollingLabel> createWithRate(const ui::Rect& frame, double rate, double fadeLength);
    static std::shared_ptr<ScrollingLabel> createWithDuration(const ui::Rect& frame, double duration,
                                                              double fadeLength);
    // As an interface file makes it: initial values, zero frame; `awakeFromNib` follows.
    static std::shared_ptr<ScrollingLabel> createFromCoder();
    ~ScrollingLabel() override;
    std::string className() const override { return "ScrollingLabel"; }

    virtual void awakeFromNib() { forwardPropertiesToSublabel(); }

    // Settings.
    ScrollType type() const { return m_type; }
    void setType(ScrollType type);
    const std::optional<std::vector<ScrollingLabelStep>>& scrollSequence() const { return m_scrollSequence; }
    void setScrollSequence(std::optional<std::vector<ScrollingLabelStep>> sequence) {
        m_scrollSequence = std::move(sequence);
    }
    ui::ViewAnimationCurve animationCurve() const { return m_animationCurve; }
    void setAnimationCurve(ui::ViewAnimationCurve curve) { m_animationCurve = curve; }
    bool labelize() const { return m_labelize; }
    void setLabelize(bool labelize);
    bool holdScrolling() const { return m_holdScrolling; }
    void setHoldScrolling(bool hold);
    bool tapToScroll() const { return m_tapToScroll; }
    void setTapToScroll(bool tap);
    SpeedLimit speed() const { return m_speed; }
    void setSpeed(SpeedLimit speed);
    double scrollDuration() const;
    void setScrollDuration(double duration) { setSpeed(SpeedLimit::duration(duration)); }
    double scrollRate() const;
    void setScrollRate(double rate) { setSpeed(SpeedLimit::rate(rate)); }
    double leadingBuffer() const { return m_leadingBuffer; }
    void setLeadingBuffer(double buffer);
    double trailingBuffer() const { return m_trailingBuffer; }
    void setTrailingBuffer(double buffer);
    double fadeLength() const { return m_fadeLength; }
    void setFadeLength(double length);
    double animationDelay() const { return m_animationDelay; }
    void setAnimationDelay(double delay) { m_animationDelay = delay; }
    double animationDuration() const;
    bool isPaused() const;
    bool awayFromHome() const;

    // State.
    std::shared_ptr<ui::Label> sublabel() const { return m_sublabel; }
    ui::Rect homeLabelFrame() const { return m_homeLabelFrame; }
    double awayOffset() const { return m_awayOffset; }
    bool hasScrollCompletionBlock() const { return static_cast<bool>(m_scrollCompletionBlock); }
    std::shared_ptr<ui::GradientLayer> maskLayer() const;
    ui::ReplicatorLayer& replicatorLayer() const;

    // Label members forwarded to the sublabel.
    std::optional<std::string> text() const override;
    void setText(std::optional<std::string> text) override;
    std::shared_ptr<ui::AttributedString> attributedText() const override;
    void setAttributedText(std::shared_ptr<ui::AttributedString> text) override;
    ui::Font font() const override;
    void setFont(const ui::Font& font) override;
    ui::Color textColor() const override;
    void setTextColor(const ui::Color& color) override;
    std::optional<ui::Color> backgroundColor() const override;
    void setBackgroundColor(std::optional<ui::Color> color) override;
    std::optional<ui::Color> shadowColor() const override;
    void setShadowColor(std::optional<ui::Color> color) override;
    std::optional<ui::Color> highlightedTextColor() const override;
    void setHighlightedTextColor(std::optional<ui::Color> color) override;
    ui::Size shadowOffset() const override;
    void setShadowOffset(ui::Size offset) override;
    bool isHighlighted() const override;
    void setHighlighted(bool highlighted) override;
    bool isEnabled() const override;
    void setEnabled(bool enabled) override;
    ui::BaselineAdjustment baselineAdjustment() const override;
    void setBaselineAdjustment(ui::BaselineAdjustment adjustment) override;
    ui::Color tintColor() const override;
    void setTintColor(std::optional<ui::Color> color) override;
    ui::ContentMode contentMode() const override;
    void setContentMode(ui::ContentMode mode) override;
    void setNumberOfLines(int lines) override;
    void setAdjustsFontSizeToFitWidth(bool adjusts) override;
    void setMinimumScaleFactor(double factor) override;
    void setIsAccessibilityElement(bool element) override;
    ui::Size intrinsicContentSize() const override;
    ui::Size sizeThatFits(ui::Size size) const override;
    std::shared_ptr<ui::View> forBaselineLayout() override { return m_sublabel; }
    std::shared_ptr<ui::View> forLastBaselineLayout() override { return m_sublabel; }
    void tintColorDidChange() override;
    void layoutSubviews() override;
    void willMoveToWindow(const std::shared_ptr<ui::Window>& window) override;
    void didMoveToWindow() override;
    void draw(const ui::Rect& rect) override;

    // Driving all labels of a view controller (through the default notification centre).
    static void restartLabelsOfController(const std::shared_ptr<ui::ViewController>& controller);
    static void controllerViewWillAppear(const std::shared_ptr<ui::ViewController>& controller);
    static void controllerViewDidAppear(const std::shared_ptr<ui::ViewController>& controller);
    static void controllerLabelsLabelize(const std::shared_ptr<ui::ViewController>& controller);
    static void controllerLabelsAnimate(const std::shared_ptr<ui::ViewController>& controller);

    // Control.
    virtual void forwardPropertiesToSublabel();
    virtual void updateAndScroll(bool overrideHold);
    virtual bool labelShouldScroll() const;
    virtual void restartLabel();
    virtual void resetLabel();
    virtual void shutdownLabel();
    virtual void triggerScrollStart();
    virtual void labelWasTapped(ui::GestureRecognizer& recognizer);
    virtual void pauseLabel();
    virtual void unpauseLabel();
    virtual void labelWillBeginScroll() {}
    virtual void labelReturnedToHome(bool /*finished*/) {}
    // The first controller on the responder chain, walking only through views.
    std::shared_ptr<ui::ViewController> owningViewController() const;

    // Animation (the edge mask, the position and fade animations, their repetition).
    virtual std::vector<ScrollingLabelStep> defaultSequence() const;
    virtual ScrollAnimation generateScrollAnimation(const std::vector<ScrollingLabelStep>& sequence) const;
    virtual std::shared_ptr<ui::KeyframeAnimation> generateGradientAnimation(
        const std::vector<ScrollingLabelStep>& sequence, double totalDuration) const;
    virtual void applyGradientMask(double fadeLength, bool animated,
                                   std::optional<ScrollingLabelStep> firstStep = std::nullopt);
    virtual void scroll(const ScrollAnimation& animation, std::optional<ScrollAnimation> fader);
    void animationDidStop(const std::shared_ptr<ui::Animation>& animation, bool finished) override;

    // The curve parameter at which the y of the cubic Bezier through `points` reaches `y`
    // (Newton's method, at most 15 steps). Not converging prints
    // "ScrollingLabel: Failed to find t for Y input!" and returns the last estimate.
    static double bezierParameterForY(const std::vector<ui::Point>& points, double y, double tolerance);
    static std::vector<ui::Point> timingControlPoints(const ui::MediaTimingFunction& function);
    static ui::MediaTimingFunction timingFunctionForCurve(ui::ViewAnimationCurve curve);

protected:
    explicit ScrollingLabel(const ui::Rect& frame);
    void setup();

private:
    bool isLeftType() const;
    bool canRunNow() const;
    void restartForViewController(const foundation::Notification& notification);
    void labelizeForController(const foundation::Notification& notification);
    void animateForController(const foundation::Notification& notification);
    bool isForThisController(const foundation::Notification& notification) const;
    void removeRunningAnimations();
    static void post(const char* name, const std::shared_ptr<ui::ViewController>& controller);

    ScrollType m_type = ScrollType::continuous;
    std::optional<std::vector<ScrollingLabelStep>> m_scrollSequence;
    ui::ViewAnimationCurve m_animationCurve = ui::ViewAnimationCurve::linear;
    bool m_labelize = false;
    bool m_holdScrolling = false;
    bool m_tapToScroll = false;
    SpeedLimit m_speed = SpeedLimit::duration(7.0);
    double m_leadingBuffer = 0;
    double m_trailingBuffer = 0;
    double m_fadeLength = 0;
    double m_animationDelay = 1.0;
    std::shared_ptr<ui::Label> m_sublabel;
    ui::Rect m_homeLabelFrame;
    double m_awayOffset = 0;
    CompletionBlock m_scrollCompletionBlock;
    std::vector<foundation::NotificationCenter::Token> m_observers;
};

}  // namespace reelhaven
