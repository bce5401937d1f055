#include "controls/options_item_cell.h"

#include <cmath>

#include "platform/ui/controls/action.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/views/image.h"
#include "toolkit/monospaced_digits.h"
#include "toolkit/stack_view_builder.h"

namespace reelhaven {
namespace {

constexpr double kIndentPerLevel = 45;

ui::Font interMedium(double size, bool monospacedDigits = false) {
    auto font = ui::Font::named("Inter-Medium", size);
    if (!font) return ui::Font::systemFont(size);
    return monospacedDigits ? ui::Font::fromDescriptor(withMonospacedDigits(font->fontDescriptor()), 0) : *font;
}

template <typename T>
std::shared_ptr<T> constrained(std::shared_ptr<T> view) {
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    return view;
}

}  // namespace

std::shared_ptr<OptionsItemCell> OptionsItemCell::create(const ui::Rect& frame) {
    auto cell = std::shared_ptr<OptionsItemCell>(new OptionsItemCell(frame));
    cell->setupViews();
    cell->updateChevron();
    return cell;
}

OptionsItemCell::OptionsItemCell(const ui::Rect& frame)
    : ui::CollectionViewCell(frame),
      m_containerView(constrained(ui::View::create())),
      m_label(constrained(ui::Label::create())),
      m_valueLabel(constrained(ui::Label::create())),
      m_subtitleLabel(constrained(ui::Label::create())),
      m_chevronImageView(constrained(ui::ImageView::create())),
      m_iconImageView(constrained(ui::ImageView::create())),
      m_vibrancyView(constrained(ui::VisualEffectView::createVibrancy(ui::VisualEffectView::BlurStyle::dark))),
      m_divider(constrained(ui::View::create())) {}

void OptionsItemCell::setupViews() {
    m_iconImageView->setTintColor(ui::Color::white());
    m_iconImageView->setContentMode(ui::ContentMode::center);
    m_iconImageView->setContentCompressionResistancePriority(1000, ui::LayoutAxis::horizontal);
    m_label->setFont(interMedium(14));
    m_label->setContentCompressionResistancePriority(1000, ui::LayoutAxis::horizontal);
    m_valueLabel->setFont(interMedium(16, true));
    m_subtitleLabel->setFont(interMedium(10));
    m_subtitleLabel->setTextColor(ui::Color::secondaryLabel());
    m_divider->setBackgroundColor(ui::Color::separator());

    auto content = contentView();
    content->addSubview(m_containerView);
    m_indentConstraint = m_containerView->leadingAnchor().constraint(content->leadingAnchor(), m_inset);
    ui::LayoutConstraint::activate({m_containerView->topAnchor().constraint(content->topAnchor()),
                                    m_containerView->bottomAnchor().constraint(content->bottomAnchor()),
                                    m_containerView->trailingAnchor().constraint(content->trailingAnchor()),
                                    m_indentConstraint});
}

void OptionsItemCell::configure(const OptionsItem& item, bool isFirstRow) {
    if (m_setting && m_setting->hashValue() == item.hashValue() && *m_setting == item) return;
    m_setting = item;
    for (const auto& subview : std::vector<std::shared_ptr<ui::View>>(m_containerView->subviews())) {
        subview->removeFromSuperview();
    }
    m_cancellables.clear();
    m_control.reset();
    m_resetButton.reset();
    if (m_indentConstraint) m_indentConstraint->setConstant(item.indentLevel * kIndentPerLevel);
    m_divider->setHidden(isFirstRow || item.indentLevel != 0);

    auto leading = makeLeadingStack(item);
    m_controlStack = makeControlStack(item);
    m_isExpanded = item.isExpanded;
    updateChevron();

    m_containerView->addSubview(leading);
    m_containerView->addSubview(m_controlStack);
    m_containerView->addSubview(m_vibrancyView);
    m_vibrancyView->contentView()->addSubview(m_divider);
    auto vibrancyContent = m_vibrancyView->contentView();
    ui::LayoutConstraint::activate({
        m_iconImageView->widthAnchor().constraintEqualToConstant(30),
        m_vibrancyView->heightAnchor().constraintEqualToConstant(1),
        m_vibrancyView->trailingAnchor().constraint(m_containerView->trailingAnchor(), -5),
        m_vibrancyView->leadingAnchor().constraint(m_containerView->leadingAnchor(), 15),
        m_vibrancyView->topAnchor().constraint(m_containerView->topAnchor()),
        m_divider->leadingAnchor().constraint(vibrancyContent->leadingAnchor()),
        m_divider->trailingAnchor().constraint(vibrancyContent->trailingAnchor()),
        m_divider->topAnchor().constraint(vibrancyContent->topAnchor()),
        m_divider->bottomAnchor().constraint(vibrancyContent->bottomAnchor()),
        leading->leadingAnchor().constraint(m_containerView->leadingAnchor(), 10),
        leading->centerYAnchor().constraint(m_containerView->centerYAnchor()),
        m_controlStack->trailingAnchor().constraint(m_containerView->trailingAnchor(), -10),
        m_controlStack->centerYAnchor().constraint(m_containerView->centerYAnchor()),
        m_controlStack->leadingAnchor().constraintGreaterThanOrEqualTo(leading->trailingAnchor(), 10),
    });
}

std::shared_ptr<ui::StackView> OptionsItemCell::makeLeadingStack(const OptionsItem& item) {
    auto titleRow = makeStackView(ui::LayoutAxis::horizontal, ui::StackViewDistribution::fill,
                                  ui::StackViewAlignment::firstBaseline, 10, {});
    if (item.title) {
        titleRow->addArrangedSubview(m_label);
        m_label->setText(*item.title);
    }
    auto textColumn = makeStackView(ui::LayoutAxis::vertical, ui::StackViewDistribution::fill,
                                    ui::StackViewAlignment::leading, 3, {titleRow});
    if (item.subtitle) {
        textColumn->addArrangedSubview(m_subtitleLabel);
        m_subtitleLabel->setText(*item.subtitle);
    }
    auto leading = makeStackView(ui::LayoutAxis::horizontal, ui::StackViewDistribution::fill,
                                 ui::StackViewAlignment::center, 5, {});
    leading->setContentCompressionResistancePriority(1000, ui::LayoutAxis::horizontal);
    if (item.icon) {
        leading->addArrangedSubview(m_iconImageView);
        const ui::SymbolConfiguration configuration{14, ui::SymbolWeight::medium, ui::SymbolScale::large};
        // Every symbol name is known to the platform layer; the program's own images come next.
        auto image = ui::Image::systemImage(*item.icon, configuration);
        if (!image) image = ui::Image::named(*item.icon);
        if (image) m_iconImageView->setImage(image->withTintColor(ui::Color::white()));
    }
    leading->addArrangedSubview(textColumn);
    return leading;
}

std::shared_ptr<ui::StackView> OptionsItemCell::makeControlStack(const OptionsItem& item) {
    auto stack = makeStackView(ui::LayoutAxis::horizontal, ui::StackViewDistribution::fill,
                               ui::StackViewAlignment::center, 15, {});
    if (item.value) {
        std::weak_ptr<ui::Label> label = m_valueLabel;
        m_cancellables.push_back(item.value->sink([label](const ValueTextPublisher::Text& text) {
            if (auto target = label.lock()) target->setAttributedText(text);
        }));
        stack->addArrangedSubview(m_valueLabel);
    }
    if (item.control) {
        m_control = makeControl(*item.control);
        stack->addArrangedSubview(m_control);
        if (auto slider = std::dynamic_pointer_cast<ui::Slider>(m_control)) {
            stack->setSpacing(10);
            m_resetButton = makeResetButton(*item.control, slider);
            stack->addArrangedSubview(m_resetButton);
        }
    }
    if (!item.subitems.empty() || item.segue) stack->addArrangedSubview(m_chevronImageView);
    return stack;
}

std::shared_ptr<ui::Control> OptionsItemCell::makeControl(const OptionsControl& control) {
    std::shared_ptr<ui::Control> made;
    switch (control.type) {
        case OptionsControlType::toggle: made = ui::Switch::create(); break;
        case OptionsControlType::slider: made = ui::Slider::create(); break;
        case OptionsControlType::stepper: made = ui::Stepper::create(); break;
        case OptionsControlType::segmentedControl: made = ui::SegmentedControl::create(); break;
        case OptionsControlType::button: made = ui::Button::create(ui::ButtonType::custom); break;
    }
    if (control.configuration) control.configuration(made);
    return made;
}

std::shared_ptr<ui::Button> OptionsItemCell::makeResetButton(const OptionsControl& control,
                                                             const std::shared_ptr<ui::Slider>& slider) {
    std::weak_ptr<ui::Slider> weakSlider = slider;
    auto reset = control.reset;
    auto action = ui::Action::create("", [weakSlider, reset](ui::Action&) {
        if (!reset) return;
        auto value = reset();
        auto target = weakSlider.lock();
        if (value && target) target->setValue(*value, true);
    });
    auto button = ui::Button::create(ui::ButtonType::system, action);
    button->setImage(
        ui::Image::systemImage("arrow.counterclockwise", ui::SymbolConfiguration{14, ui::SymbolWeight::medium}),
        ui::normal);
    button->setTintColor(ui::Color::white());
    button->setContentHuggingPriority(1000, ui::LayoutAxis::horizontal);
    return button;
}

void OptionsItemCell::updateChevron() {
    const bool rightToLeft =
        traitCollection().effectiveLayoutDirection() == ui::UserInterfaceLayoutDirection::rightToLeft;
    const std::string name = rightToLeft ? "chevron.left" : "chevron.right";
    const bool pressed = isHighlighted() || isSelected();
    ui::SymbolConfiguration configuration;
    ui::AffineTransform transform = ui::AffineTransform::identity();
    ui::Color tint = ui::Color::white();
    if (m_setting && m_setting->segue) {
        configuration = {18, ui::SymbolWeight::bold, ui::SymbolScale::small};
        tint = pressed ? ui::Color::systemGray2() : ui::Color::systemGray();
    } else {
        configuration.weight = ui::SymbolWeight::bold;
        if (m_isExpanded) transform = ui::AffineTransform::rotation(rightToLeft ? -M_PI / 2 : M_PI / 2);
        tint = pressed ? ui::Color::gray() : ui::Color::white();
    }
    m_chevronImageView->setImage(ui::Image::systemImage(name));
    m_chevronImageView->setPreferredSymbolConfiguration(configuration);
    m_chevronImageView->setTransform(transform);
    m_chevronImageView->setTintColor(tint);
}

void OptionsItemCell::traitCollectionDidChange(const ui::TraitCollection& previous) {
    ui::CollectionViewCell::traitCollectionDidChange(previous);
    if (previous.layoutDirection != traitCollection().layoutDirection) updateChevron();
}

void OptionsItemCell::setSelected(bool selected) {
    ui::CollectionViewCell::setSelected(selected);
    updateChevron();
}

void OptionsItemCell::setHighlighted(bool highlighted) {
    ui::CollectionViewCell::setHighlighted(highlighted);
    updateChevron();
}

void OptionsItemCell::prepareForReuse() {
    ui::CollectionViewCell::prepareForReuse();
    for (const auto& subview : std::vector<std::shared_ptr<ui::View>>(m_containerView->subviews())) {
        subview->removeFromSuperview();
    }
    m_setting.reset();
    m_cancellables.clear();
}

}  // namespace reelhaven
