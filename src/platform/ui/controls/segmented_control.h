#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls/control.h"
#include "platform/ui/views/image.h"

namespace ui {

// A row of equally wide segments, one selected. A touch lifted over an enabled segment selects
// it and sends "value changed", unless it is selected already; a momentary control sends it for
// every touch and shows no segment selected afterwards. Main thread only.
class SegmentedControl : public Control {
public:
    static constexpr int noSegment = -1;

    static std::shared_ptr<SegmentedControl> create(std::vector<std::string> titles = {});
    std::string className() const override { return "SegmentedControl"; }
    // Every segment as wide as the widest title with its padding, the row 32 high.
    static constexpr double segmentPadding = 12;
    static constexpr double height = 32;
    Size intrinsicContentSize() const override;
    Size sizeThatFits(Size) const override { return intrinsicContentSize(); }

    int numberOfSegments() const { return static_cast<int>(m_titles.size()); }
    std::string titleForSegment(int index) const;
    void setTitle(std::string title, int index);
    std::shared_ptr<Image> imageForSegment(int index) const;
    void setImage(std::shared_ptr<Image> image, int index);
    void insertSegment(std::string title, int index);
    void removeAllSegments();
    bool isEnabledForSegment(int index) const;
    void setEnabledForSegment(bool enabled, int index);
    int selectedSegmentIndex() const { return m_selected; }
    void setSelectedSegmentIndex(int index);

    bool isMomentary() const { return m_momentary; }
    void setMomentary(bool momentary) {
        checkMainThread();
        m_momentary = momentary;
    }
    // Where segment `index` lies in the control's own coordinates, and the segment at a point.
    Rect segmentFrame(int index) const;
    int segmentAt(Point local) const;

    // A finger lifted over segment `index` (a touch on the control, without hit-testing): whether
    // it changed anything.
    bool selectSegment(int index);

    bool beginTracking(const Touch& touch) override;
    bool continueTracking(const Touch& touch) override;

protected:
    SegmentedControl() : Control(Rect{}) {}
    void touchEndedInside() override;

private:
    std::vector<std::string> m_titles;
    std::vector<std::shared_ptr<Image>> m_images;
    std::vector<bool> m_enabled;
    int m_selected = noSegment;
    bool m_momentary = false;
    Point m_lastTouch;
};

}  // namespace ui
