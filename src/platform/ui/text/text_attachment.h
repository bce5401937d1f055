#pragma once

#include <memory>

#include "platform/ui/views/image.h"
#include "platform/ui/views/rect.h"

namespace ui {

// An image inside text; it takes its bounds' width (or its image's) on the line.
class TextAttachment : public Object {
public:
    static std::shared_ptr<TextAttachment> create(std::shared_ptr<Image> image = nullptr);
    std::string className() const override { return "TextAttachment"; }

    std::shared_ptr<Image> image() const { return m_image; }
    void setImage(std::shared_ptr<Image> image) { m_image = std::move(image); }
    Rect bounds() const { return m_bounds; }
    void setBounds(const Rect& bounds) { m_bounds = bounds; }
    Size sizeOnLine() const;

private:
    TextAttachment() = default;

    std::shared_ptr<Image> m_image;
    Rect m_bounds;
};

}  // namespace ui
