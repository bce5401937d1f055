#include "platform/ui/lists/scroll_view.h"

#include <algorithm>

#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<ScrollView> ScrollView::create(const Rect& frame) { return make<ScrollView>(frame); }

void ScrollView::setContentOffset(Point offset, bool) {
    checkMainThread();
    Rect b = bounds();
    if (b.origin == offset) return;
    b.origin = offset;
    setBounds(b);
    if (auto d = scrollDelegate()) d->scrollViewDidScroll(*this);
}

EdgeInsets ScrollView::adjustedContentInset() const {
    const EdgeInsets safe = safeAreaInsets();
    return {m_contentInset.top + safe.top, m_contentInset.left + safe.left, m_contentInset.bottom + safe.bottom,
            m_contentInset.right + safe.right};
}

bool ScrollView::drag(Point offset) {
    checkMainThread();
    if (!m_scrollEnabled) return false;
    auto d = scrollDelegate();
    if (d) d->scrollViewWillBeginDragging(*this);
    // A finger may pull the content past its ends, but it springs back when let go: the drag comes
    // to rest with the content filling the bounds, or at its start when it is shorter.
    const EdgeInsets inset = adjustedContentInset();
    const Size visible = bounds().size;
    const Size content = contentSize();
    const auto rest = [](double wanted, double start, double end) { return std::max(start, std::min(wanted, end)); };
    offset.x = rest(offset.x, -inset.left, content.width + inset.right - visible.width);
    offset.y = rest(offset.y, -inset.top, content.height + inset.bottom - visible.height);
    setContentOffset(offset);
    if (d) d->scrollViewDidEndDragging(*this, false);
    return true;
}

}  // namespace ui
