#pragma once

#include <functional>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "platform/display/cairo_surface.h"
#include "platform/ui/views/view.h"

namespace ui {
class GLView;
class ImageView;
class Label;
class ProgressView;
class SegmentedControl;
class Slider;
class Switch;
class TextField;
class VisualEffectView;
}  // namespace ui

namespace display {

class ImagePainter;
class TextPainter;

// Where an OpenGL view shows on the target, in device pixels: the painter leaves that area
// transparent, and the compositor draws the view's frames beneath.
struct VideoRegion {
    std::weak_ptr<ui::GLView> view;
    ui::Rect rect;  // the view's bounds on the target
    ui::Rect clip;  // the part left visible by clipping ancestors
};

// Draws what a view shows beyond its layer's own appearance: a label's text, an image view's
// picture, the faces of switches, sliders, progress bars, segmented controls and text fields, the
// tint of a blur. Views of other kinds show only their layers. Main thread (the painter's).
class ContentPainter {
public:
    ContentPainter(ImagePainter& images, TextPainter& text);

    // Draws `view`'s content in its bounds (the user space of `cr` is the view's bounds).
    void draw(cairo_t* cr, ui::View& view, double scale);

    // The OpenGL views met since the last `takeVideoRegions`, top-most last.
    std::vector<VideoRegion> takeVideoRegions() { return std::move(m_videoRegions); }

private:
    // A drawer takes the views of its class and of every subclass; the first that takes a view's
    // class draws it, remembered per class.
    using Drawer = std::function<bool(cairo_t*, ui::View&, double)>;
    template <typename T>
    void add(void (ContentPainter::*drawer)(cairo_t*, T&, double));

    void drawLabel(cairo_t* cr, ui::Label& label, double scale);
    void drawImageView(cairo_t* cr, ui::ImageView& view, double scale);
    void drawTextField(cairo_t* cr, ui::TextField& field, double scale);
    void drawSwitch(cairo_t* cr, ui::Switch& control, double scale);
    void drawSlider(cairo_t* cr, ui::Slider& slider, double scale);
    void drawProgressView(cairo_t* cr, ui::ProgressView& progress, double scale);
    void drawSegmentedControl(cairo_t* cr, ui::SegmentedControl& control, double scale);
    void drawVisualEffectView(cairo_t* cr, ui::VisualEffectView& view, double scale);
    void drawGLView(cairo_t* cr, ui::GLView& view, double scale);

    ImagePainter& m_images;
    TextPainter& m_text;
    std::vector<Drawer> m_drawers;
    std::unordered_map<std::type_index, int> m_drawerOfClass;  // -1: draws nothing
    std::vector<VideoRegion> m_videoRegions;
};

}  // namespace display
