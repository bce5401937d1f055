#include "platform/ui/views/graphics_context.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

std::vector<std::shared_ptr<GraphicsContext>>& stack() {
    static thread_local std::vector<std::shared_ptr<GraphicsContext>> contexts;
    return contexts;
}

DrawingOperation op(DrawingOperation::Kind kind) {
    DrawingOperation operation;
    operation.kind = kind;
    return operation;
}

}  // namespace

std::string drawingOperationName(DrawingOperation::Kind kind) {
    using K = DrawingOperation::Kind;
    switch (kind) {
        case K::saveState: return "saveState";
        case K::restoreState: return "restoreState";
        case K::setShadow: return "setShadow";
        case K::setFillColor: return "setFillColor";
        case K::setStrokeColor: return "setStrokeColor";
        case K::setLineWidth: return "setLineWidth";
        case K::setLineCap: return "setLineCap";
        case K::fillEllipse: return "fillEllipse";
        case K::strokeEllipse: return "strokeEllipse";
        case K::fillRect: return "fillRect";
        case K::strokeRect: return "strokeRect";
        case K::moveTo: return "moveTo";
        case K::lineTo: return "lineTo";
        case K::closePath: return "closePath";
        case K::addEllipse: return "addEllipse";
        case K::fillPath: return "fillPath";
        case K::strokePath: return "strokePath";
        case K::drawImage: return "drawImage";
        case K::drawText: return "drawText";
    }
    return "";
}

std::shared_ptr<GraphicsContext> GraphicsContext::createRecording(Size size) {
    return std::shared_ptr<GraphicsContext>(new GraphicsContext(size, 1));
}

std::shared_ptr<GraphicsContext> GraphicsContext::createBitmap(Size size, double scale, bool opaque) {
    if (scale <= 0) scale = 1;
    auto context = std::shared_ptr<GraphicsContext>(new GraphicsContext(size, scale));
    const int width = std::max(0, static_cast<int>(std::ceil(size.width * scale)));
    const int height = std::max(0, static_cast<int>(std::ceil(size.height * scale)));
    context->m_bitmap.emplace(width, height);
    if (opaque) context->m_bitmap->fill(gfx::Color::black());
    return context;
}

std::shared_ptr<GraphicsContext> GraphicsContext::current() { return stack().empty() ? nullptr : stack().back(); }
void GraphicsContext::push(const std::shared_ptr<GraphicsContext>& context) { stack().push_back(context); }
void GraphicsContext::pop() {
    if (!stack().empty()) stack().pop_back();
}

void GraphicsContext::beginImageContext(Size size, bool opaque, double scale) {
    push(createBitmap(size, scale, opaque));
}

std::shared_ptr<Image> GraphicsContext::imageFromCurrentImageContext() {
    auto context = current();
    if (!context || !context->m_bitmap || context->m_bitmap->isEmpty()) return nullptr;
    return Image::create(*context->m_bitmap, context->m_scale);
}

void GraphicsContext::endImageContext() { pop(); }

void GraphicsContext::saveState() {
    m_saved.push_back(m_state);
    record(op(DrawingOperation::Kind::saveState));
}

void GraphicsContext::restoreState() {
    if (!m_saved.empty()) {
        m_state = m_saved.back();
        m_saved.pop_back();
    }
    record(op(DrawingOperation::Kind::restoreState));
}

void GraphicsContext::setShadow(Size offset, double blur, std::optional<Color> color) {
    auto operation = op(DrawingOperation::Kind::setShadow);
    operation.offset = offset;
    operation.value = blur;
    operation.color = std::move(color);
    record(operation);
}

void GraphicsContext::setFillColor(const Color& color) {
    m_state.fill = color;
    auto operation = op(DrawingOperation::Kind::setFillColor);
    operation.color = color;
    record(operation);
}

void GraphicsContext::setStrokeColor(const Color& color) {
    m_state.stroke = color;
    auto operation = op(DrawingOperation::Kind::setStrokeColor);
    operation.color = color;
    record(operation);
}

void GraphicsContext::setLineWidth(double width) {
    m_state.lineWidth = width;
    auto operation = op(DrawingOperation::Kind::setLineWidth);
    operation.value = width;
    record(operation);
}

void GraphicsContext::setLineCap(LineCap cap) {
    m_state.lineCap = cap;
    auto operation = op(DrawingOperation::Kind::setLineCap);
    operation.lineCap = cap;
    record(operation);
}

void GraphicsContext::recordShape(DrawingOperation::Kind kind, const Rect& rect, bool fill) {
    auto operation = op(kind);
    operation.rect = rect;
    operation.color = fill ? m_state.fill : m_state.stroke;
    if (!fill) operation.value = m_state.lineWidth;
    record(operation);
}

void GraphicsContext::fillRect(const Rect& rect) {
    recordShape(DrawingOperation::Kind::fillRect, rect, true);
    paintRect(rect, m_state.fill);
}

void GraphicsContext::strokeRect(const Rect& rect) { recordShape(DrawingOperation::Kind::strokeRect, rect, false); }

void GraphicsContext::fillEllipse(const Rect& rect) {
    recordShape(DrawingOperation::Kind::fillEllipse, rect, true);
    paintEllipse(rect, m_state.fill);
}

void GraphicsContext::strokeEllipse(const Rect& rect) {
    recordShape(DrawingOperation::Kind::strokeEllipse, rect, false);
}

void GraphicsContext::moveTo(Point point) {
    auto operation = op(DrawingOperation::Kind::moveTo);
    operation.point = point;
    record(operation);
}

void GraphicsContext::lineTo(Point point) {
    auto operation = op(DrawingOperation::Kind::lineTo);
    operation.point = point;
    record(operation);
}

void GraphicsContext::closePath() { record(op(DrawingOperation::Kind::closePath)); }

void GraphicsContext::addEllipse(const Rect& rect) {
    auto operation = op(DrawingOperation::Kind::addEllipse);
    operation.rect = rect;
    record(operation);
    m_pathEllipses.push_back(rect);
}

void GraphicsContext::fillPath() {
    auto operation = op(DrawingOperation::Kind::fillPath);
    operation.color = m_state.fill;
    record(operation);
    for (const auto& ellipse : m_pathEllipses) paintEllipse(ellipse, m_state.fill);
    m_pathEllipses.clear();
}

void GraphicsContext::strokePath() {
    auto operation = op(DrawingOperation::Kind::strokePath);
    operation.color = m_state.stroke;
    operation.value = m_state.lineWidth;
    operation.lineCap = m_state.lineCap;
    record(operation);
    m_pathEllipses.clear();
}

void GraphicsContext::drawText(const Rect& rect) {
    auto operation = op(DrawingOperation::Kind::drawText);
    operation.rect = rect;
    record(operation);
}

void GraphicsContext::drawImage(const Image& image, const Rect& rect) {
    auto operation = op(DrawingOperation::Kind::drawImage);
    operation.rect = rect;
    record(operation);
    const auto source = image.cgImage();
    if (!m_bitmap || !source || source->isEmpty() || rect.isEmpty()) return;
    // Nearest-neighbour copy of the source over the target rectangle, blended over what is there.
    const int x0 = static_cast<int>(std::floor(rect.minX() * m_scale));
    const int y0 = static_cast<int>(std::floor(rect.minY() * m_scale));
    const int x1 = static_cast<int>(std::ceil(rect.maxX() * m_scale));
    const int y1 = static_cast<int>(std::ceil(rect.maxY() * m_scale));
    for (int y = std::max(0, y0); y < std::min(m_bitmap->height(), y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(m_bitmap->width(), x1); ++x) {
            const int sx = std::min(source->width() - 1, (x - x0) * source->width() / std::max(1, x1 - x0));
            const int sy = std::min(source->height() - 1, (y - y0) * source->height() / std::max(1, y1 - y0));
            blend(x, y, Color::fromGraphics(gfx::Image::toColor(source->pixel(sx, sy))), 1);
        }
    }
}

void GraphicsContext::paintRect(const Rect& rect, const Color& color) {
    if (!m_bitmap || rect.isEmpty()) return;
    const int x0 = std::max(0, static_cast<int>(std::floor(rect.minX() * m_scale)));
    const int y0 = std::max(0, static_cast<int>(std::floor(rect.minY() * m_scale)));
    const int x1 = std::min(m_bitmap->width(), static_cast<int>(std::ceil(rect.maxX() * m_scale)));
    const int y1 = std::min(m_bitmap->height(), static_cast<int>(std::ceil(rect.maxY() * m_scale)));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) blend(x, y, color, 1);
}

void GraphicsContext::paintEllipse(const Rect& rect, const Color& color) {
    if (!m_bitmap || rect.isEmpty()) return;
    const double cx = rect.midX() * m_scale;
    const double cy = rect.midY() * m_scale;
    const double rx = rect.width() / 2 * m_scale;
    const double ry = rect.height() / 2 * m_scale;
    const int x0 = std::max(0, static_cast<int>(std::floor(cx - rx)));
    const int y0 = std::max(0, static_cast<int>(std::floor(cy - ry)));
    const int x1 = std::min(m_bitmap->width(), static_cast<int>(std::ceil(cx + rx)));
    const int y1 = std::min(m_bitmap->height(), static_cast<int>(std::ceil(cy + ry)));
    constexpr int samples = 4;  // 4 x 4 coverage samples per pixel for smooth edges
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double px = (x + (sx + 0.5) / samples - cx) / rx;
                    const double py = (y + (sy + 0.5) / samples - cy) / ry;
                    if (px * px + py * py <= 1) ++inside;
                }
            }
            if (inside) blend(x, y, color, static_cast<double>(inside) / (samples * samples));
        }
    }
}

void GraphicsContext::blend(int x, int y, const Color& color, double coverage) {
    const gfx::Color under = gfx::Image::toColor(m_bitmap->pixel(x, y));
    const double a = std::clamp(color.alpha * coverage, 0.0, 1.0);
    const double outA = a + under.alpha * (1 - a);
    if (outA <= 0) {
        m_bitmap->setPixel(x, y, gfx::Pixel{});
        return;
    }
    auto channel = [&](double top, double bottom) { return (top * a + bottom * under.alpha * (1 - a)) / outA; };
    m_bitmap->setPixel(x, y,
                       gfx::Image::toPixel({channel(color.red, under.red), channel(color.green, under.green),
                                            channel(color.blue, under.blue), outA}));
}

}  // namespace ui
