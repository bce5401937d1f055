#include "controls/options_header_view.h"

#include "platform/base/fatal.h"
#include "platform/ui/layout/layout_constraint.h"

namespace reelhaven {
namespace {

constexpr double kHeaderHeight = 38;

// The rounded grey plate with the title, inset 5 from the header (`trailingInset` at the end).
void setupPlate(ui::View& header, ui::View& container, ui::Label& label, double trailingInset) {
    container.setTranslatesAutoresizingMaskIntoConstraints(false);
    label.setTranslatesAutoresizingMaskIntoConstraints(false);
    auto font = ui::Font::named("Inter-Medium", 14);
    if (!font) base::fatal("Missing font Inter-Medium");
    label.setFont(*font);
    label.setTextColor(ui::Color::label());
    header.addSubview(container.sharedAs<ui::View>());
    container.addSubview(label.sharedAs<ui::View>());
    constexpr double inset = OptionsHeaderView::plateInset;
    ui::LayoutConstraint::activate({container.topAnchor().constraint(header.topAnchor(), inset),
                                    container.bottomAnchor().constraint(header.bottomAnchor(), -inset),
                                    container.leadingAnchor().constraint(header.leadingAnchor(), inset),
                                    container.trailingAnchor().constraint(header.trailingAnchor(), -trailingInset),
                                    label.leadingAnchor().constraint(container.leadingAnchor(), 10),
                                    label.centerYAnchor().constraint(container.centerYAnchor(), 0)});
    container.setBackgroundColor(ui::Color::systemGray6());
    container.setClipsToBounds(true);
    container.layer().setCornerRadius(10);
    container.layer().setCornerCurve(ui::CornerCurve::continuous);
}

}  // namespace

std::shared_ptr<OptionsHeaderView> OptionsHeaderView::create(const ui::Rect& frame) {
    auto view = std::shared_ptr<OptionsHeaderView>(new OptionsHeaderView(frame));
    setupPlate(*view, *view->m_innerContainer, *view->m_label, 0);
    return view;
}

OptionsHeaderView::OptionsHeaderView(const ui::Rect& frame)
    : ui::CollectionReusableView(frame), m_innerContainer(ui::View::create()), m_label(ui::Label::create()) {}

ui::Size OptionsHeaderView::intrinsicContentSize() const { return {noIntrinsicMetric, kHeaderHeight}; }

std::shared_ptr<OptionsTableHeaderView> OptionsTableHeaderView::create(std::string reuseIdentifier) {
    auto view = std::shared_ptr<OptionsTableHeaderView>(new OptionsTableHeaderView());
    view->setReuseIdentifier(std::move(reuseIdentifier));
    view->m_backgroundView->setBackgroundColor(ui::Color::clear());
    view->m_backgroundView->setAutoresizingMask(ui::flexibleWidth | ui::flexibleHeight);
    view->m_backgroundView->setFrame(view->bounds());
    view->insertSubview(view->m_backgroundView, 0);
    setupPlate(*view, *view->m_innerContainer, *view->m_label, 5);
    return view;
}

OptionsTableHeaderView::OptionsTableHeaderView()
    : m_backgroundView(ui::View::create()), m_innerContainer(ui::View::create()), m_label(ui::Label::create()) {}

ui::Size OptionsTableHeaderView::intrinsicContentSize() const { return {noIntrinsicMetric, kHeaderHeight}; }

}  // namespace reelhaven
