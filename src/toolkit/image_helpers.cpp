#include "toolkit/image_helpers.h"

#include "platform/ui/views/graphics_context.h"
#include "platform/ui/views/screen.h"

namespace reelhaven {

std::shared_ptr<ui::Image> imageWithInsets(const ui::Image& image, const ui::EdgeInsets& insets) {
    const double s = image.scale();
    // Drawing a symbol into a bitmap would leave it blank; the padded symbol keeps its name.
    if (image.isSymbolImage())
        return image.withPadding({s * insets.top, s * insets.left, s * insets.bottom, s * insets.right});
    const ui::Size size = image.size();
    ui::GraphicsContext::beginImageContext(
        {size.width + s * insets.left + s * insets.right, size.height + s * insets.top + s * insets.bottom}, false, s);
    ui::GraphicsContext::current()->drawImage(image,
                                              ui::Rect(s * insets.left, s * insets.top, size.width, size.height));
    auto result = ui::GraphicsContext::imageFromCurrentImageContext();
    ui::GraphicsContext::endImageContext();
    return result ? result->withRenderingMode(image.renderingMode()) : nullptr;
}

std::shared_ptr<ui::Image> filledCircleImage(const ui::Color& color, ui::Size size) {
    ui::GraphicsContext::beginImageContext(size, false, ui::Screen::main()->scale());
    if (auto context = ui::GraphicsContext::current()) {
        context->setFillColor(color);
        context->setStrokeColor(ui::Color::clear());
        context->addEllipse(ui::Rect(0, 0, size.width, size.height));
        context->fillPath();
    }
    auto result = ui::GraphicsContext::imageFromCurrentImageContext();
    ui::GraphicsContext::endImageContext();
    return result;
}

std::shared_ptr<ui::Image> decodedImage(const std::shared_ptr<ui::Image>& image) {
    if (!image) return image;
    const auto bitmap = image->cgImage();
    if (!bitmap || bitmap->isEmpty()) return image;
    const ui::Size pixels{static_cast<double>(bitmap->width()), static_cast<double>(bitmap->height())};
    auto context = ui::GraphicsContext::createBitmap(pixels, 1, false);
    if (!context->bitmap()) return image;
    context->drawImage(*ui::Image::create(*bitmap), ui::Rect({0, 0}, pixels));
    return ui::Image::create(*context->bitmap(), 1, ui::ImageOrientation::up);
}

bool beginContentAccess(const ui::Image&) { return false; }
void endContentAccess(const ui::Image&) {}
void discardContentIfPossible(const ui::Image&) {}
bool isContentDiscarded(const ui::Image&) { return false; }

}  // namespace reelhaven
