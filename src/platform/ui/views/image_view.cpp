#include "platform/ui/views/image_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<ImageView> ImageView::create(std::shared_ptr<Image> image) {
    auto view = make<ImageView>();
    view->setUserInteractionEnabled(false);
    if (image) {
        view->setFrame(Rect({0, 0}, image->size()));
        view->m_image = std::move(image);
    }
    return view;
}

void ImageView::setImage(std::shared_ptr<Image> image) {
    checkMainThread();
    m_image = std::move(image);
    invalidateIntrinsicContentSize();
}

Size ImageView::intrinsicContentSize() const {
    if (!m_image) return {noIntrinsicMetric, noIntrinsicMetric};
    return m_image->size();
}

Size ImageView::sizeThatFits(Size) const { return m_image ? m_image->size() : Size{}; }

}  // namespace ui
