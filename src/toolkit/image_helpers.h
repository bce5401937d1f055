#pragma once

#include <memory>

#include "platform/ui/views/color.h"
#include "platform/ui/views/edge_insets.h"
#include "platform/ui/views/image.h"

namespace reelhaven {

// A copy grown by the insets, each times the image's scale (an inset of 2 on a scale-3 image adds
// 6 points on that side), with the image drawn at (left, top) scaled the same way and the same
// rendering mode; none when no image could be made. A symbol keeps its name, padded by the same
// amounts.
std::shared_ptr<ui::Image> imageWithInsets(const ui::Image& image, const ui::EdgeInsets& insets);

// An image of `size` at the screen's scale holding the ellipse that fills it, in `color`.
std::shared_ptr<ui::Image> filledCircleImage(const ui::Color& color, ui::Size size);

// A copy whose pixels are already decoded into a bitmap (scale 1, orientation up); the image
// itself when it has no bitmap or one cannot be made.
std::shared_ptr<ui::Image> decodedImage(const std::shared_ptr<ui::Image>& image);

// How images answer the memory cache's questions about discardable content: their content is
// never discarded, so access is never begun or ended.
bool beginContentAccess(const ui::Image& image);
void endContentAccess(const ui::Image& image);
void discardContentIfPossible(const ui::Image& image);
bool isContentDiscarded(const ui::Image& image);

}  // namespace reelhaven
