#include "platform/ui/layout/stack_view.h"

#include <algorithm>

#include "platform/ui/layout/layout_engine.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<StackView> StackView::create(std::vector<std::shared_ptr<View>> arrangedSubviews) {
    auto stack = make<StackView>();
    for (const auto& view : arrangedSubviews) stack->addArrangedSubview(view);
    return stack;
}

void StackView::addArrangedSubview(const std::shared_ptr<View>& view) {
    checkMainThread();
    insertArrangedSubview(view, m_arranged.size());
}

void StackView::insertArrangedSubview(const std::shared_ptr<View>& view, size_t index) {
    checkMainThread();
    if (!view) return;
    m_arranged.erase(std::remove(m_arranged.begin(), m_arranged.end(), view), m_arranged.end());
    index = std::min(index, m_arranged.size());
    m_arranged.insert(m_arranged.begin() + static_cast<long>(index), view);
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    if (view->superview().get() != this) addSubview(view);
    arrangementChanged();
}

void StackView::removeArrangedSubview(const std::shared_ptr<View>& view) {
    checkMainThread();
    m_arranged.erase(std::remove(m_arranged.begin(), m_arranged.end(), view), m_arranged.end());
    m_customSpacing.erase(view.get());
    arrangementChanged();
}

void StackView::setCustomSpacing(double spacing, const std::shared_ptr<View>& after) {
    checkMainThread();
    m_customSpacing[after.get()] = spacing;
    arrangementChanged();
}

double StackView::spacingAfter(const View& view) const {
    const auto it = m_customSpacing.find(&view);
    return it == m_customSpacing.end() || it->second == useDefaultSpacing ? m_spacing : it->second;
}

void StackView::arrangementChanged() {
    checkMainThread();
    LayoutEngine::noteChange();
    setNeedsLayout();
}

double StackView::customSpacing(const std::shared_ptr<View>& after) const {
    const auto it = m_customSpacing.find(after.get());
    return it == m_customSpacing.end() ? useDefaultSpacing : it->second;
}

void StackView::willRemoveSubview(const std::shared_ptr<View>& subview) {
    checkMainThread();
    View::willRemoveSubview(subview);
    removeArrangedSubview(subview);
}

}  // namespace ui
