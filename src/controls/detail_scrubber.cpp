#include "controls/detail_scrubber.h"

#include <cmath>

#include "platform/ui/gestures/touch.h"
#include "platform/ui/views/bezier_path.h"
#include "platform/ui/views/shape_layer.h"

namespace reelhaven {
namespace {

constexpr double kGrowDuration = 0.05;
constexpr double kShrinkDuration = 0.2;
constexpr double kTrackHeight = 6;
constexpr double kMaskInset = 10;

// Runs `change` on the scrubber inside an animation that holds it weakly.
void animateTransform(const std::shared_ptr<DetailScrubber>& scrubber, double duration, ui::AffineTransform transform) {
    std::weak_ptr<DetailScrubber> weak = scrubber;
    ui::View::animate(duration, 0, ui::beginFromCurrentState, [weak, transform] {
        if (auto strong = weak.lock()) strong->setTransform(transform);
    });
}

}  // namespace

std::shared_ptr<DetailScrubber> DetailScrubber::create(const ui::Rect& frame) {
    auto scrubber = std::shared_ptr<DetailScrubber>(new DetailScrubber(frame));
    // A timeline runs left to right in every language, and the drag below measures travel so: a
    // scrubber read right to left would move against the finger.
    scrubber->setSemanticContentAttribute(ui::SemanticContentAttribute::playback);
    return scrubber;
}

DetailScrubber::DetailScrubber(const ui::Rect& frame) : ui::Slider(frame) { rebuildTrackMask(); }

void DetailScrubber::setScrubbingSpeeds(SpeedTable speeds) {
    m_scrubbingSpeeds = std::move(speeds);
    m_scrubbingSpeeds[0] = 1.0f;
}

void DetailScrubber::setValue(float value, bool animated) {
    m_realPositionValue = value;
    ui::Slider::setValue(value, animated);
}

void DetailScrubber::setFrame(const ui::Rect& frame) {
    ui::Slider::setFrame(frame);
    rebuildTrackMask();
}

void DetailScrubber::setBounds(const ui::Rect& bounds) {
    ui::Slider::setBounds(bounds);
    rebuildTrackMask();
}

ui::Rect DetailScrubber::trackRect(const ui::Rect& bounds) const {
    ui::Rect rect = ui::Slider::trackRect(bounds);
    rect.origin.y -= 1;
    rect.size.height = kTrackHeight;
    return rect;
}

DetailScrubber::SpeedEntry DetailScrubber::speedEntry(double distance) const {
    // The table always holds distance 0, and distances are never negative.
    auto above = m_scrubbingSpeeds.upper_bound(distance);
    if (above == m_scrubbingSpeeds.begin()) return {above->first, above->second};
    --above;
    return {above->first, above->second};
}

bool DetailScrubber::beginTracking(const ui::Touch& touch) {
    if (auto owner = delegate()) {
        if (auto speeds = owner->scrubbingSpeeds(*this)) setScrubbingSpeeds(std::move(*speeds));
    }
    m_realPositionValue = value();
    m_beganTrackingLocation = touch.location(this);
    animateTransform(sharedAs<DetailScrubber>(), kGrowDuration, ui::AffineTransform::scale(1.0, 1.3));
    return true;
}

bool DetailScrubber::continueTracking(const ui::Touch& touch) {
    if (!isTracking()) return false;
    const ui::Point previous = touch.previousLocation(this);
    const ui::Point location = touch.location(this);
    const double startY = m_beganTrackingLocation.y;

    const double before = m_scrubbingSpeed.yOffset;
    m_scrubbingSpeed = speedEntry(std::fabs(location.y - startY));
    if (m_scrubbingSpeed.yOffset != before) {
        if (auto owner = delegate())
            owner->didChangeScrubbingSpeed(*this, m_scrubbingSpeed.speed, m_scrubbingSpeed.yOffset);
    }

    // Before layout gives the track a width there is no travel to measure a move against.
    const double width = trackRect(bounds()).size.width;
    if (width <= 0) return isTracking();

    const float range = maximumValue() - minimumValue();
    const auto fraction = static_cast<float>((location.x - previous.x) / width);
    m_realPositionValue += range * fraction;
    const float step = m_scrubbingSpeed.speed * range * fraction;

    // Moving back toward the start line pulls the value toward where a full-speed drag would be,
    // harder the nearer the finger is to the line.
    float correction = 0;
    const bool belowMovingUp = startY < location.y && location.y < previous.y;
    const bool aboveMovingDown = location.y < startY && previous.y < location.y;
    if (belowMovingUp || aboveMovingDown) {
        correction = (m_realPositionValue - value()) / static_cast<float>(std::fabs(location.y - startY) + 1);
    }
    ui::Slider::setValue(value() + (step + correction));
    if (isContinuous()) sendActions(ui::valueChanged);
    return isTracking();
}

void DetailScrubber::endTracking(const ui::Touch* /*touch*/) {
    if (isTracking()) finishTracking();
}

void DetailScrubber::cancelTracking() {
    if (isTracking()) finishTracking();
}

void DetailScrubber::finishTracking() {
    const float fullSpeed = m_scrubbingSpeeds.at(0);
    const double leftOffset = m_scrubbingSpeed.yOffset;
    m_scrubbingSpeed = {0, fullSpeed};
    if (leftOffset != 0) {
        if (auto owner = delegate()) owner->didChangeScrubbingSpeed(*this, fullSpeed, 0);
    }
    sendActions(ui::valueChanged);
    animateTransform(sharedAs<DetailScrubber>(), kShrinkDuration, ui::AffineTransform::identity());
}

void DetailScrubber::rebuildTrackMask() {
    const ui::Rect area = bounds();
    if (area.size.height <= kTrackHeight || area.size.width <= 2 * kMaskInset) return;
    const ui::Rect band = area.insetBy(kMaskInset, (area.size.height - kTrackHeight) / 2);
    auto mask = ui::ShapeLayer::create();
    mask->setFrame(area);
    mask->setPath(ui::BezierPath::roundedRect(band, kTrackHeight / 2));
    layer().setMask(mask);
}

}  // namespace reelhaven
