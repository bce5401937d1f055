#include "platform/ui/controls/segmented_control.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/gestures/touch.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/font.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<SegmentedControl> SegmentedControl::create(std::vector<std::string> titles) {
    auto control = make<SegmentedControl>();
    for (auto& title : titles) control->insertSegment(std::move(title), control->numberOfSegments());
    return control;
}

std::string SegmentedControl::titleForSegment(int index) const {
    return index >= 0 && index < numberOfSegments() ? m_titles[static_cast<size_t>(index)] : std::string();
}

void SegmentedControl::setTitle(std::string title, int index) {
    checkMainThread();
    if (index >= 0 && index < numberOfSegments()) m_titles[static_cast<size_t>(index)] = std::move(title);
}

std::shared_ptr<Image> SegmentedControl::imageForSegment(int index) const {
    return index >= 0 && index < numberOfSegments() ? m_images[static_cast<size_t>(index)] : nullptr;
}

void SegmentedControl::setImage(std::shared_ptr<Image> image, int index) {
    checkMainThread();
    if (index >= 0 && index < numberOfSegments()) m_images[static_cast<size_t>(index)] = std::move(image);
}

void SegmentedControl::insertSegment(std::string title, int index) {
    checkMainThread();
    index = std::max(0, std::min(index, numberOfSegments()));
    m_titles.insert(m_titles.begin() + index, std::move(title));
    m_images.insert(m_images.begin() + index, nullptr);
    m_enabled.insert(m_enabled.begin() + index, true);
    if (m_selected >= index) ++m_selected;
}

void SegmentedControl::removeAllSegments() {
    checkMainThread();
    m_titles.clear();
    m_images.clear();
    m_enabled.clear();
    m_selected = noSegment;
}

bool SegmentedControl::isEnabledForSegment(int index) const {
    return index >= 0 && index < numberOfSegments() && m_enabled[static_cast<size_t>(index)];
}

void SegmentedControl::setEnabledForSegment(bool enabled, int index) {
    checkMainThread();
    if (index >= 0 && index < numberOfSegments()) m_enabled[static_cast<size_t>(index)] = enabled;
}

void SegmentedControl::setSelectedSegmentIndex(int index) {
    checkMainThread();
    m_selected = index >= 0 && index < numberOfSegments() ? index : noSegment;
}

Rect SegmentedControl::segmentFrame(int index) const {
    // A control never laid out is touched as if it had its own size.
    const Rect b = bounds().isEmpty() ? Rect({0, 0}, intrinsicContentSize()) : bounds();
    if (index < 0 || index >= numberOfSegments()) return {};
    const double width = b.size.width / numberOfSegments();
    // Read right to left, the first segment is the rightmost.
    const int slot = isRightToLeft() ? numberOfSegments() - 1 - index : index;
    return {b.origin.x + slot * width, b.origin.y, width, b.size.height};
}

int SegmentedControl::segmentAt(Point local) const {
    for (int i = 0; i < numberOfSegments(); ++i) {
        if (segmentFrame(i).contains(local)) return i;
    }
    return noSegment;
}

bool SegmentedControl::beginTracking(const Touch& touch) {
    m_lastTouch = touch.location(this);
    return true;
}

bool SegmentedControl::continueTracking(const Touch& touch) {
    m_lastTouch = touch.location(this);
    return true;
}

void SegmentedControl::touchEndedInside() {
    const int index = segmentAt(m_lastTouch);
    Control::touchEndedInside();
    if (!isEnabledForSegment(index) || (index == m_selected && !m_momentary)) return;
    m_selected = index;
    noteReaction();
    sendActions(valueChanged);
    if (m_momentary) m_selected = noSegment;
}

bool SegmentedControl::selectSegment(int index) {
    checkMainThread();
    if (index < 0 || index >= numberOfSegments()) return false;
    return tapAt(convertToWindow(segmentFrame(index).center()));
}

Size SegmentedControl::intrinsicContentSize() const {
    double widest = 0;
    for (int i = 0; i < numberOfSegments(); ++i) {
        widest =
            std::max(widest, AttributedString::create(titleForSegment(i))->singleLineSize(Font::systemFont(13)).width);
    }
    return {std::ceil(numberOfSegments() * (widest + 2 * segmentPadding)), height};
}

}  // namespace ui
