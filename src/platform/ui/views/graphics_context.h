#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/graphics/image.h"
#include "platform/ui/views/drawing_operation.h"
#include "platform/ui/views/image.h"

namespace ui {

// A drawing target. Every call is recorded as a DrawingOperation; a bitmap context also paints
// fills and images into its RGBA pixels (strokes are recorded only). Coordinates are points,
// scaled by the context's scale into pixels. Contexts form a per-thread stack; `current()` is the
// innermost. Main thread only for views; image contexts may be used on any one thread.
class GraphicsContext {
public:
    static std::shared_ptr<GraphicsContext> createRecording(Size size);
    static std::shared_ptr<GraphicsContext> createBitmap(Size size, double scale, bool opaque);

    static std::shared_ptr<GraphicsContext> current();
    static void push(const std::shared_ptr<GraphicsContext>& context);
    static void pop();

    // The image context of the platform: a bitmap context pushed as current.
    static void beginImageContext(Size size, bool opaque, double scale);
    // The current bitmap context's pixels as an image, or null when there is none.
    static std::shared_ptr<Image> imageFromCurrentImageContext();
    static void endImageContext();

    Size size() const { return m_size; }
    double scale() const { return m_scale; }
    const std::vector<DrawingOperation>& operations() const { return m_operations; }
    const gfx::Image* bitmap() const { return m_bitmap ? &*m_bitmap : nullptr; }

    void saveState();
    void restoreState();
    // Offset and blur in points; `color` none removes the shadow.
    void setShadow(Size offset, double blur, std::optional<Color> color);
    void setFillColor(const Color& color);
    void setStrokeColor(const Color& color);
    void setLineWidth(double width);
    void setLineCap(LineCap cap);
    void fillRect(const Rect& rect);
    void strokeRect(const Rect& rect);
    void fillEllipse(const Rect& rect);
    void strokeEllipse(const Rect& rect);
    void moveTo(Point point);
    void lineTo(Point point);
    void closePath();
    void addEllipse(const Rect& rect);
    void fillPath();
    void strokePath();
    void drawImage(const Image& image, const Rect& rect);
    // A label's text in `rect` (recorded only: the window lays the text out as the label does).
    void drawText(const Rect& rect);

private:
    struct State {
        Color fill = Color::black();
        Color stroke = Color::black();
        double lineWidth = 1;
        LineCap lineCap = LineCap::butt;
    };

    GraphicsContext(Size size, double scale) : m_size(size), m_scale(scale) {}
    void record(DrawingOperation operation) { m_operations.push_back(std::move(operation)); }
    // Records a filled (fill colour) or stroked (stroke colour and line width) rectangle or ellipse.
    void recordShape(DrawingOperation::Kind kind, const Rect& rect, bool fill);
    void paintEllipse(const Rect& rect, const Color& color);
    void paintRect(const Rect& rect, const Color& color);
    void blend(int x, int y, const Color& color, double coverage);

    Size m_size;
    double m_scale;
    std::optional<gfx::Image> m_bitmap;
    std::vector<DrawingOperation> m_operations;
    State m_state;
    std::vector<State> m_saved;
    std::vector<Rect> m_pathEllipses;
};

}  // namespace ui
