#include "toolkit/scrolling_label.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/views/window.h"

namespace reelhaven {

namespace {

constexpr double largest = std::numeric_limits<double>::max();

}  // namespace

ScrollingLabel::ScrollingLabel(const ui::Rect& frame) : ui::Label(frame, ui::ReplicatorLayer::create()) {}

std::shared_ptr<ScrollingLabel> ScrollingLabel::create(const ui::Rect& frame) {
    return createWithDuration(frame, 7.0, 0.0);
}

std::shared_ptr<ScrollingLabel> ScrollingLabel::createWithRate(const ui::Rect& frame, double rate, double fadeLength) {
    auto label = ui::make<ScrollingLabel>(frame);
    label->m_speed = SpeedLimit::rate(rate);
    label->m_fadeLength = std::min(fadeLength, frame.size.width / 2);
    label->setup();
    return label;
}

std::shared_ptr<ScrollingLabel> ScrollingLabel::createWithDuration(const ui::Rect& frame, double duration,
                                                                   double fadeLength) {
    auto label = ui::make<ScrollingLabel>(frame);
    label->m_speed = SpeedLimit::duration(duration);
    label->m_fadeLength = std::min(fadeLength, frame.size.width / 2);
    label->setup();
    return label;
}

std::shared_ptr<ScrollingLabel> ScrollingLabel::createFromCoder() {
    auto label = ui::make<ScrollingLabel>(ui::Rect{});
    label->setup();
    return label;
}

ScrollingLabel::~ScrollingLabel() {
    auto& center = foundation::NotificationCenter::defaultCenter();
    for (const auto& token : m_observers) center.removeObserver(token);
}

void ScrollingLabel::setup() {
    m_sublabel = ui::Label::create(bounds());
    m_sublabel->setTag(sublabelTag);
    m_sublabel->layer().setAnchorPoint({0, 0});
    addSubview(m_sublabel);
    setClipsToBounds(true);
    ui::Label::setNumberOfLines(1);
    std::weak_ptr<ScrollingLabel> weak = sharedAs<ScrollingLabel>();
    auto& center = foundation::NotificationCenter::defaultCenter();
    auto observe = [&](const char* name, std::function<void(ScrollingLabel&, const foundation::Notification&)> act) {
        m_observers.push_back(center.addObserver(name, nullptr, [weak, act](const foundation::Notification& n) {
            if (auto self = weak.lock()) act(*self, n);
        }));
    };
    observe(restartNotification,
            [](ScrollingLabel& l, const foundation::Notification& n) { l.restartForViewController(n); });
    observe(labelizeNotification,
            [](ScrollingLabel& l, const foundation::Notification& n) { l.labelizeForController(n); });
    observe(animateNotification,
            [](ScrollingLabel& l, const foundation::Notification& n) { l.animateForController(n); });
    observe(ui::Application::didBecomeActiveNotification,
            [](ScrollingLabel& l, const foundation::Notification&) { l.restartLabel(); });
    observe(ui::Application::didEnterBackgroundNotification,
            [](ScrollingLabel& l, const foundation::Notification&) { l.shutdownLabel(); });
}

// ----- Settings -----

void ScrollingLabel::setType(ScrollType type) {
    if (type == m_type) return;
    m_type = type;
    updateAndScroll(false);
}

void ScrollingLabel::setLabelize(bool labelize) {
    if (labelize == m_labelize) return;
    m_labelize = labelize;
    updateAndScroll(false);
}

void ScrollingLabel::setHoldScrolling(bool hold) {
    const bool was = m_holdScrolling;
    m_holdScrolling = hold;
    if (was && !hold && !awayFromHome() && !m_labelize && labelShouldScroll()) updateAndScroll(false);
}

void ScrollingLabel::setTapToScroll(bool tap) {
    if (tap == m_tapToScroll) return;
    m_tapToScroll = tap;
    if (tap) {
        std::weak_ptr<ScrollingLabel> weak = sharedAs<ScrollingLabel>();
        addGestureRecognizer(
            ui::TapGestureRecognizer::create(sharedAs<ScrollingLabel>(), [weak](ui::GestureRecognizer& r) {
                if (auto self = weak.lock()) self->labelWasTapped(r);
            }));
        setUserInteractionEnabled(true);
    } else {
        if (!gestureRecognizers().empty()) removeGestureRecognizer(gestureRecognizers().front());
        setUserInteractionEnabled(false);
    }
}

void ScrollingLabel::setSpeed(SpeedLimit speed) {
    if (speed == m_speed) return;
    m_speed = speed;
    updateAndScroll(false);
}

double ScrollingLabel::scrollDuration() const { return m_speed.kind == SpeedLimit::Kind::duration ? m_speed.value : 0; }
double ScrollingLabel::scrollRate() const { return m_speed.kind == SpeedLimit::Kind::rate ? m_speed.value : 0; }

void ScrollingLabel::setLeadingBuffer(double buffer) {
    if (buffer == m_leadingBuffer) return;
    m_leadingBuffer = buffer;
    updateAndScroll(false);
}

void ScrollingLabel::setTrailingBuffer(double buffer) {
    if (buffer == m_trailingBuffer) return;
    m_trailingBuffer = buffer;
    updateAndScroll(false);
}

void ScrollingLabel::setFadeLength(double length) {
    if (length == m_fadeLength) return;
    m_fadeLength = length;
    applyGradientMask(length, true);
    updateAndScroll(false);
}

double ScrollingLabel::animationDuration() const {
    if (m_speed.kind == SpeedLimit::Kind::duration) return m_speed.value;
    // A rate of 0 or less never scrolls; it gives no moving time rather than a division by zero.
    return m_speed.value > 0 ? std::abs(m_awayOffset) / m_speed.value : 0;
}

bool ScrollingLabel::isPaused() const { return m_sublabel->layer().speed() == 0; }

bool ScrollingLabel::awayFromHome() const {
    return m_sublabel->layer().presentationPosition().x != m_homeLabelFrame.origin.x;
}

std::shared_ptr<ui::GradientLayer> ScrollingLabel::maskLayer() const {
    return std::dynamic_pointer_cast<ui::GradientLayer>(layer().mask());
}

ui::ReplicatorLayer& ScrollingLabel::replicatorLayer() const { return static_cast<ui::ReplicatorLayer&>(layer()); }

// ----- Forwarded label members -----

std::optional<std::string> ScrollingLabel::text() const { return m_sublabel->text(); }

void ScrollingLabel::setText(std::optional<std::string> text) {
    if (text == m_sublabel->text()) return;
    m_sublabel->setText(std::move(text));
    updateAndScroll(false);
    ui::Label::setText(m_sublabel->text());
}

std::shared_ptr<ui::AttributedString> ScrollingLabel::attributedText() const { return m_sublabel->attributedText(); }

void ScrollingLabel::setAttributedText(std::shared_ptr<ui::AttributedString> text) {
    const auto current = m_sublabel->attributedText();
    if (text == current || (text && current && text->isEqual(*current))) return;
    m_sublabel->setAttributedText(std::move(text));
    updateAndScroll(false);
    ui::Label::setAttributedText(m_sublabel->attributedText());
}

ui::Font ScrollingLabel::font() const { return m_sublabel->font(); }

void ScrollingLabel::setFont(const ui::Font& font) {
    if (font == m_sublabel->font()) return;
    m_sublabel->setFont(font);
    ui::Label::setFont(font);
    updateAndScroll(false);
}

ui::Color ScrollingLabel::textColor() const { return m_sublabel->textColor(); }
void ScrollingLabel::setTextColor(const ui::Color& color) {
    m_sublabel->setTextColor(color);
    ui::Label::setTextColor(color);
}

std::optional<ui::Color> ScrollingLabel::backgroundColor() const { return m_sublabel->backgroundColor(); }
void ScrollingLabel::setBackgroundColor(std::optional<ui::Color> color) {
    m_sublabel->setBackgroundColor(color);
    ui::Label::setBackgroundColor(color);
}

std::optional<ui::Color> ScrollingLabel::shadowColor() const { return m_sublabel->shadowColor(); }
void ScrollingLabel::setShadowColor(std::optional<ui::Color> color) {
    m_sublabel->setShadowColor(color);
    ui::Label::setShadowColor(color);
}

std::optional<ui::Color> ScrollingLabel::highlightedTextColor() const { return m_sublabel->highlightedTextColor(); }
void ScrollingLabel::setHighlightedTextColor(std::optional<ui::Color> color) {
    m_sublabel->setHighlightedTextColor(color);
    ui::Label::setHighlightedTextColor(color);
}

ui::Size ScrollingLabel::shadowOffset() const { return m_sublabel->shadowOffset(); }
void ScrollingLabel::setShadowOffset(ui::Size offset) {
    m_sublabel->setShadowOffset(offset);
    ui::Label::setShadowOffset(offset);
}

bool ScrollingLabel::isHighlighted() const { return m_sublabel->isHighlighted(); }
void ScrollingLabel::setHighlighted(bool highlighted) {
    m_sublabel->setHighlighted(highlighted);
    ui::Label::setHighlighted(highlighted);
}

bool ScrollingLabel::isEnabled() const { return m_sublabel->isEnabled(); }
void ScrollingLabel::setEnabled(bool enabled) {
    m_sublabel->setEnabled(enabled);
    ui::Label::setEnabled(enabled);
}

ui::BaselineAdjustment ScrollingLabel::baselineAdjustment() const { return m_sublabel->baselineAdjustment(); }
void ScrollingLabel::setBaselineAdjustment(ui::BaselineAdjustment adjustment) {
    m_sublabel->setBaselineAdjustment(adjustment);
    ui::Label::setBaselineAdjustment(adjustment);
}

// The sublabel's tint is its own, which writes keep equal to the label's, or else what it inherits
// through the label; asking the sublabel would come back here through its superview for ever.
ui::Color ScrollingLabel::tintColor() const { return ui::Label::tintColor(); }
void ScrollingLabel::setTintColor(std::optional<ui::Color> color) {
    m_sublabel->setTintColor(color);
    ui::Label::setTintColor(color);
}

ui::ContentMode ScrollingLabel::contentMode() const { return m_sublabel->contentMode(); }
void ScrollingLabel::setContentMode(ui::ContentMode mode) {
    m_sublabel->setContentMode(mode);
    ui::Label::setContentMode(mode);
}

void ScrollingLabel::setNumberOfLines(int) { ui::Label::setNumberOfLines(1); }
void ScrollingLabel::setAdjustsFontSizeToFitWidth(bool) { ui::Label::setAdjustsFontSizeToFitWidth(false); }
void ScrollingLabel::setMinimumScaleFactor(double) { ui::Label::setMinimumScaleFactor(0.0); }

void ScrollingLabel::setIsAccessibilityElement(bool element) {
    ui::Label::setIsAccessibilityElement(element);
    m_sublabel->setIsAccessibilityElement(ui::Label::isAccessibilityElement());
}

ui::Size ScrollingLabel::intrinsicContentSize() const {
    ui::Size size = m_sublabel->intrinsicContentSize();
    size.width += m_leadingBuffer;
    return size;
}

ui::Size ScrollingLabel::sizeThatFits(ui::Size size) const {
    ui::Size fits = m_sublabel->sizeThatFits(size);
    fits.width += m_leadingBuffer;
    return fits;
}

void ScrollingLabel::tintColorDidChange() {
    ui::Label::tintColorDidChange();
    m_sublabel->tintColorDidChange();
}

void ScrollingLabel::layoutSubviews() {
    ui::Label::layoutSubviews();
    updateAndScroll(false);
}

void ScrollingLabel::willMoveToWindow(const std::shared_ptr<ui::Window>& window) {
    if (!window) shutdownLabel();
}

void ScrollingLabel::didMoveToWindow() {
    if (!window()) {
        shutdownLabel();
    } else {
        updateAndScroll(false);
    }
}

void ScrollingLabel::forwardPropertiesToSublabel() {
    m_sublabel->setText(ui::Label::text());
    m_sublabel->setFont(ui::Label::font());
    m_sublabel->setTextColor(ui::Label::textColor());
    m_sublabel->setBackgroundColor(ui::View::backgroundColor().value_or(ui::Color::clear()));
    m_sublabel->setShadowColor(ui::Label::shadowColor());
    m_sublabel->setShadowOffset(ui::Label::shadowOffset());
    m_sublabel->setBaselineAdjustment(ui::Label::baselineAdjustment());
    m_sublabel->setEnabled(ui::Label::isEnabled());
    m_sublabel->setHighlighted(ui::Label::isHighlighted());
    m_sublabel->setHighlightedTextColor(ui::Label::highlightedTextColor());
    m_sublabel->setMinimumFontSize(ui::Label::minimumFontSize());
    m_sublabel->setShadowOffset(ui::Label::shadowOffset());
    m_sublabel->setTextAlignment(ui::Label::textAlignment());
    m_sublabel->setUserInteractionEnabled(isUserInteractionEnabled());
    m_sublabel->setAdjustsFontSizeToFitWidth(ui::Label::adjustsFontSizeToFitWidth());
    m_sublabel->setLineBreakMode(ui::Label::lineBreakMode());
    m_sublabel->setNumberOfLines(ui::Label::numberOfLines());
    m_sublabel->setContentMode(ui::Label::contentMode());
}

// ----- Measuring and laying out -----

bool ScrollingLabel::labelShouldScroll() const {
    const auto text = m_sublabel->text();
    if (!text || text->empty()) return false;
    const double width = std::min(m_sublabel->sizeThatFits({largest, largest}).width, maximumTextWidth);
    const bool tooLarge = width + m_leadingBuffer > bounds().size.width + DBL_EPSILON;
    return tooLarge && !m_labelize && m_speed.value > 0;
}

bool ScrollingLabel::isLeftType() const {
    return m_type == ScrollType::left || m_type == ScrollType::leftRight || m_type == ScrollType::continuous;
}

bool ScrollingLabel::canRunNow() const {
    if (!superview() || !window()) return false;
    const auto controller = owningViewController();
    return !controller || controller->isViewLoaded();
}

void ScrollingLabel::removeRunningAnimations() {
    if (auto mask = layer().mask()) mask->removeAllAnimations();
    m_sublabel->layer().removeAllAnimations();
    m_scrollCompletionBlock = nullptr;
}

void ScrollingLabel::updateAndScroll(bool overrideHold) {
    if (!canRunNow()) return;
    const ui::Size expected = m_sublabel->sizeThatFits({largest, largest});
    invalidateIntrinsicContentSize();
    removeRunningAnimations();
    const ui::Rect b = bounds();
    if (!labelShouldScroll()) {
        m_sublabel->setTextAlignment(ui::Label::textAlignment());
        m_sublabel->setLineBreakMode(ui::Label::lineBreakMode());
        ui::Rect home;
        if (m_type == ScrollType::continuousReverse || m_type == ScrollType::rightLeft) {
            home = b.divided(m_leadingBuffer, ui::RectEdge::maxX).second;
        } else {
            home = ui::Rect(m_leadingBuffer, 0, b.size.width - m_leadingBuffer, b.size.height);
        }
        m_homeLabelFrame = home.integral();
        m_awayOffset = 0;
        replicatorLayer().setInstanceCount(1);
        m_sublabel->setFrame(m_homeLabelFrame);
        layer().setMask(nullptr);
        return;
    }
    const double w = std::min(expected.width, maximumTextWidth);
    const double h = b.size.height;
    const double minTrailing = std::max({m_leadingBuffer, m_trailingBuffer, m_fadeLength});
    switch (m_type) {
        case ScrollType::left:
        case ScrollType::leftRight:
            m_homeLabelFrame = ui::Rect(m_leadingBuffer, 0, w, h).integral();
            m_awayOffset = b.size.width - (w + m_leadingBuffer + m_trailingBuffer);
            m_sublabel->setTextAlignment(ui::TextAlignment::left);
            replicatorLayer().setInstanceCount(1);
            break;
        case ScrollType::right:
        case ScrollType::rightLeft:
            m_homeLabelFrame = ui::Rect(b.size.width - (w + m_leadingBuffer), 0, w, h).integral();
            m_awayOffset = (w + m_trailingBuffer + m_leadingBuffer) - b.size.width;
            m_sublabel->setTextAlignment(ui::TextAlignment::right);
            replicatorLayer().setInstanceCount(1);
            break;
        case ScrollType::continuous:
        case ScrollType::continuousReverse:
            if (m_type == ScrollType::continuous) {
                m_homeLabelFrame = ui::Rect(m_leadingBuffer, 0, w, h).integral();
                m_awayOffset = -(minTrailing + w);
            } else {
                m_homeLabelFrame = ui::Rect(b.size.width - (w + m_leadingBuffer), 0, w, h).integral();
                m_awayOffset = minTrailing + w;
            }
            replicatorLayer().setInstanceCount(2);
            replicatorLayer().setInstanceTransform(ui::Transform3D::translation(-m_awayOffset, 0, 0));
            break;
    }
    m_sublabel->setFrame(m_homeLabelFrame);
    const auto sequence = m_scrollSequence ? *m_scrollSequence : defaultSequence();
    applyGradientMask(m_fadeLength, !m_labelize);
    if (!overrideHold && m_holdScrolling) return;
    const auto animation = generateScrollAnimation(sequence);
    const auto gradient = generateGradientAnimation(sequence, animation.second);
    scroll(animation, ScrollAnimation{gradient, animation.second});
}

// ----- Control -----

void ScrollingLabel::restartLabel() {
    shutdownLabel();
    updateAndScroll(false);
}

void ScrollingLabel::shutdownLabel() {
    removeRunningAnimations();
    applyGradientMask(m_fadeLength, false);
}

void ScrollingLabel::resetLabel() {
    removeRunningAnimations();
    m_homeLabelFrame = ui::Rect::null();
    m_awayOffset = 0;
}

void ScrollingLabel::triggerScrollStart() {
    if (labelShouldScroll() && !awayFromHome()) updateAndScroll(false);
}

void ScrollingLabel::labelWasTapped(ui::GestureRecognizer&) {
    if (labelShouldScroll() && !awayFromHome()) updateAndScroll(true);
}

std::shared_ptr<ui::ViewController> ScrollingLabel::owningViewController() const {
    for (auto responder = next(); responder; responder = responder->next()) {
        if (auto controller = std::dynamic_pointer_cast<ui::ViewController>(responder)) return controller;
        if (!std::dynamic_pointer_cast<ui::View>(responder)) return nullptr;
    }
    return nullptr;
}

// ----- Controller notifications -----

void ScrollingLabel::post(const char* name, const std::shared_ptr<ui::ViewController>& controller) {
    foundation::NotificationCenter::defaultCenter().post(name, nullptr, {{"controller", controller}});
}

void ScrollingLabel::restartLabelsOfController(const std::shared_ptr<ui::ViewController>& c) {
    post(restartNotification, c);
}
void ScrollingLabel::controllerViewWillAppear(const std::shared_ptr<ui::ViewController>& c) {
    post(restartNotification, c);
}
void ScrollingLabel::controllerViewDidAppear(const std::shared_ptr<ui::ViewController>& c) {
    post(restartNotification, c);
}
void ScrollingLabel::controllerLabelsLabelize(const std::shared_ptr<ui::ViewController>& c) {
    post(labelizeNotification, c);
}
void ScrollingLabel::controllerLabelsAnimate(const std::shared_ptr<ui::ViewController>& c) {
    post(animateNotification, c);
}

bool ScrollingLabel::isForThisController(const foundation::Notification& notification) const {
    const auto it = notification.userInfo.find("controller");
    if (it == notification.userInfo.end()) return false;
    const auto* controller = std::any_cast<std::shared_ptr<ui::ViewController>>(&it->second);
    if (!controller || !*controller) return false;
    return *controller == owningViewController();
}

void ScrollingLabel::restartForViewController(const foundation::Notification& notification) {
    if (!isForThisController(notification)) return;
    shutdownLabel();
    updateAndScroll(false);
}

void ScrollingLabel::labelizeForController(const foundation::Notification& notification) {
    if (isForThisController(notification)) setLabelize(true);
}

void ScrollingLabel::animateForController(const foundation::Notification& notification) {
    if (isForThisController(notification)) setLabelize(false);
}

}  // namespace reelhaven
