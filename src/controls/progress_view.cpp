#include "controls/progress_view.h"

#include <cmath>

namespace reelhaven {

std::shared_ptr<ProgressView> ProgressView::create(const ui::Rect& frame) {
    auto view = std::shared_ptr<ProgressView>(new ProgressView(frame));
    view->setup();
    return view;
}

ProgressView::ProgressView(const ui::Rect& frame) : ui::View(frame), m_progressView(ui::View::create()) {}

void ProgressView::setup() {
    setClipsToBounds(true);
    setBackgroundColor(ui::Color::systemGray());
    m_progressView->setBackgroundColor(ui::Color::white());
    addSubview(m_progressView);
    m_progressView->setTranslatesAutoresizingMaskIntoConstraints(false);
    m_progressView->topAnchor().constraint(topAnchor(), 0)->setActive(true);
    m_progressView->leadingAnchor().constraint(leadingAnchor(), 0)->setActive(true);
    m_progressView->bottomAnchor().constraint(bottomAnchor(), 0)->setActive(true);
    m_widthConstraint = m_progressView->widthAnchor().constraintEqualToConstant(140);
    m_widthConstraint->setActive(true);
    setClipsToBounds(true);
    layer().setCornerRadius(1);
}

void ProgressView::setProgress(float progress) {
    m_progress = progress;
    updateFillWidth();
}

void ProgressView::layoutSubviews() {
    ui::View::layoutSubviews();
    updateFillWidth();
}

void ProgressView::updateFillWidth() {
    // A fraction that is not a number (a duration of 0) shows an empty bar.
    const double width = bounds().size.width * m_progress;
    m_widthConstraint->setConstant(std::isfinite(width) ? width : 0);
}

}  // namespace reelhaven
