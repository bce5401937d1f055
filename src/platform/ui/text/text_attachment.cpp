#include "platform/ui/text/text_attachment.h"

namespace ui {

std::shared_ptr<TextAttachment> TextAttachment::create(std::shared_ptr<Image> image) {
    auto attachment = std::shared_ptr<TextAttachment>(new TextAttachment());
    attachment->m_image = std::move(image);
    return attachment;
}

Size TextAttachment::sizeOnLine() const {
    if (!m_bounds.isEmpty()) return m_bounds.size;
    return m_image ? m_image->size() : Size{};
}

}  // namespace ui
