#include "platform/ui/controls/progress_view.h"
#include "platform/ui/views/main_thread_check.h"

#include <algorithm>
#include <cmath>

namespace ui {

std::shared_ptr<ProgressView> ProgressView::create(const Rect& frame) { return make<ProgressView>(frame); }

void ProgressView::setProgress(float progress, bool) {
    checkMainThread();
    m_progress = std::isnan(progress) ? 0.0f : std::clamp(progress, 0.0f, 1.0f);
}

}  // namespace ui
