#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/ui/views/view.h"

namespace ui {

enum class StackViewDistribution { fill, fillEqually, fillProportionally, equalSpacing, equalCentering };
enum class StackViewAlignment { fill, leading, firstBaseline, center, trailing, lastBaseline };

// Keeps arranged subviews in order along an axis with spacing; the layout pass places them by
// the distribution and alignment (StackArrangement). Hidden arranged views collapse. An arranged
// view removed from the hierarchy leaves the arrangement too.
class StackView : public View {
public:
    static constexpr double useDefaultSpacing = -1;

    static std::shared_ptr<StackView> create(std::vector<std::shared_ptr<View>> arrangedSubviews = {});
    std::string className() const override { return "StackView"; }

    const std::vector<std::shared_ptr<View>>& arrangedSubviews() const { return m_arranged; }
    void addArrangedSubview(const std::shared_ptr<View>& view);
    void insertArrangedSubview(const std::shared_ptr<View>& view, size_t index);
    // Leaves the view a subview, as the platform does.
    void removeArrangedSubview(const std::shared_ptr<View>& view);

    LayoutAxis axis() const { return m_axis; }
    void setAxis(LayoutAxis axis) {
        m_axis = axis;
        arrangementChanged();
    }
    StackViewDistribution distribution() const { return m_distribution; }
    void setDistribution(StackViewDistribution distribution) {
        m_distribution = distribution;
        arrangementChanged();
    }
    StackViewAlignment alignment() const { return m_alignment; }
    void setAlignment(StackViewAlignment alignment) {
        m_alignment = alignment;
        arrangementChanged();
    }
    double spacing() const { return m_spacing; }
    void setSpacing(double spacing) {
        m_spacing = spacing;
        arrangementChanged();
    }
    void setCustomSpacing(double spacing, const std::shared_ptr<View>& after);
    // The spacing after `view`: its custom spacing, or `useDefaultSpacing`.
    double customSpacing(const std::shared_ptr<View>& after) const;
    // The gap the layout leaves after `view`: its custom spacing, else `spacing()`.
    double spacingAfter(const View& view) const;
    bool isLayoutMarginsRelativeArrangement() const { return m_marginsRelative; }
    void setLayoutMarginsRelativeArrangement(bool relative) {
        m_marginsRelative = relative;
        arrangementChanged();
    }

    void willRemoveSubview(const std::shared_ptr<View>& subview) override;

protected:
    StackView() : View(Rect{}) {}

private:
    void arrangementChanged();

    std::vector<std::shared_ptr<View>> m_arranged;
    LayoutAxis m_axis = LayoutAxis::horizontal;
    StackViewDistribution m_distribution = StackViewDistribution::fill;
    StackViewAlignment m_alignment = StackViewAlignment::fill;
    double m_spacing = 0;
    std::map<const View*, double> m_customSpacing;
    bool m_marginsRelative = false;
};

}  // namespace ui
