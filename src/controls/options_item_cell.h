#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "controls/options_item.h"
#include "platform/foundation/cancellable.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/lists/collection_view_cell.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/visual_effect_view.h"

namespace reelhaven {

// One row of the options popover: an optional icon, the title over an optional second line, the
// live value text, the row's own control (a slider with its reset button) and a chevron for rows
// that expand or open another screen; indented by level, with a hairline above unless it is the
// first of its section or indented. Main thread.
class OptionsItemCell : public ui::CollectionViewCell {
public:
    static std::shared_ptr<OptionsItemCell> create(const ui::Rect& frame = {});
    std::string className() const override { return "OptionsItemCell"; }

    // Shows `item`; a row of the same identity as the one shown is left as it is.
    void configure(const OptionsItem& item, bool isFirstRow);
    void updateChevron();
    bool isExpanded() const { return m_isExpanded; }
    void setExpanded(bool expanded) { m_isExpanded = expanded; }

    void setSelected(bool selected) override;
    void setHighlighted(bool highlighted) override;
    void prepareForReuse() override;
    // The chevron points the way the interface reads.
    void traitCollectionDidChange(const ui::TraitCollection& previous) override;

    const std::optional<OptionsItem>& setting() const { return m_setting; }
    const std::shared_ptr<ui::View>& containerView() const { return m_containerView; }
    const std::shared_ptr<ui::Label>& label() const { return m_label; }
    const std::shared_ptr<ui::Label>& valueLabel() const { return m_valueLabel; }
    const std::shared_ptr<ui::Label>& subtitleLabel() const { return m_subtitleLabel; }
    const std::shared_ptr<ui::ImageView>& chevronImageView() const { return m_chevronImageView; }
    const std::shared_ptr<ui::ImageView>& iconImageView() const { return m_iconImageView; }
    const std::shared_ptr<ui::VisualEffectView>& vibrancyView() const { return m_vibrancyView; }
    const std::shared_ptr<ui::View>& divider() const { return m_divider; }
    const std::shared_ptr<ui::LayoutConstraint>& indentConstraint() const { return m_indentConstraint; }
    // The control made for the shown row, if it has one.
    const std::shared_ptr<ui::Control>& control() const { return m_control; }
    // The reset button beside a slider.
    const std::shared_ptr<ui::Button>& resetButton() const { return m_resetButton; }
    // The stack holding the value, the control and the chevron.
    const std::shared_ptr<ui::StackView>& controlStack() const { return m_controlStack; }

protected:
    explicit OptionsItemCell(const ui::Rect& frame);

private:
    void setupViews();
    std::shared_ptr<ui::StackView> makeLeadingStack(const OptionsItem& item);
    std::shared_ptr<ui::StackView> makeControlStack(const OptionsItem& item);
    std::shared_ptr<ui::Control> makeControl(const OptionsControl& control);
    std::shared_ptr<ui::Button> makeResetButton(const OptionsControl& control,
                                                const std::shared_ptr<ui::Slider>& slider);

    std::optional<OptionsItem> m_setting;
    std::shared_ptr<ui::View> m_containerView;
    std::shared_ptr<ui::Label> m_label;
    std::shared_ptr<ui::Label> m_valueLabel;
    std::shared_ptr<ui::Label> m_subtitleLabel;
    std::shared_ptr<ui::ImageView> m_chevronImageView;
    std::shared_ptr<ui::ImageView> m_iconImageView;
    std::shared_ptr<ui::VisualEffectView> m_vibrancyView;
    std::shared_ptr<ui::View> m_divider;
    std::vector<foundation::Cancellable> m_cancellables;
    bool m_isExpanded = false;
    std::shared_ptr<ui::LayoutConstraint> m_indentConstraint;
    const double m_inset = 10;
    std::shared_ptr<ui::Control> m_control;
    std::shared_ptr<ui::Button> m_resetButton;
    std::shared_ptr<ui::StackView> m_controlStack;
};

}  // namespace reelhaven
