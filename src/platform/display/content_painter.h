#pragma once

#include <functional>
#include <type_traits>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "platform/display/cairo_surface.h"
#include "platform/display/fingerprint.h"
#include "platform/ui/views/view.h"

namespace ui {
class Button;
class CollectionViewCell;
class GLView;
class ImageView;
class Label;
class ProgressView;
class SegmentedControl;
class Slider;
class Stepper;
class FieldTextLayout;
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
    // Where blur materials painted over the view lie (device pixels, within `clip`): the video
    // under them is shown blurred as well.
    std::vector<ui::Rect> blurs;
};

// Draws what a view shows beyond its layer's own appearance: a label's text, an image view's
// picture, the faces of switches, sliders, progress bars, segmented controls and text fields, the
// tint of a blur, the halves of a stepper, a list cell's background. Views of other kinds show
// only their layers. Each kind also tells what its drawing depends on (a fingerprint read from the
// same state the drawing reads), so a painter can keep the drawing until that changes; an OpenGL
// view is live and drawn every time. Main thread (the painter's).
class ContentPainter {
public:
    enum class Kind { none, cacheable, live };

    ContentPainter(ImagePainter& images, TextPainter& text);

    // What `view` draws: nothing, content a cache may keep, or live content.
    Kind kind(ui::View& view);
    // Adds what `view`'s drawing depends on to `key`.
    void fingerprint(ui::View& view, Fingerprint& key);
    // Draws `view`'s content in its bounds (the user space of `cr` is the view's bounds).
    void draw(cairo_t* cr, ui::View& view, double scale);
    // Views drawn so far (a cache that works keeps this still while nothing changes).
    std::uint64_t draws() const { return m_draws; }

    // The OpenGL views met since the last `takeVideoRegions`, top-most last.
    std::vector<VideoRegion> takeVideoRegions() { return std::move(m_videoRegions); }

private:
    // A drawer takes the views of its class and of every subclass; the first that takes a view's
    // class draws it, remembered per class. Its keyer adds what the drawing depends on.
    struct Drawer {
        std::function<bool(ui::View&)> takes;
        std::function<void(cairo_t*, ui::View&, double)> draw;
        std::function<void(ui::View&, Fingerprint&)> key;
        Kind kind = Kind::cacheable;
    };
    template <typename T>
    void add(void (ContentPainter::*drawer)(cairo_t*, T&, double),
             void (*keyer)(std::type_identity_t<T>&, Fingerprint&), Kind kind = Kind::cacheable);
    // The drawer of `view`'s class, or null when it draws nothing.
    const Drawer* drawerOf(ui::View& view);

    void drawLabel(cairo_t* cr, ui::Label& label, double scale);
    void drawImageView(cairo_t* cr, ui::ImageView& view, double scale);
    void drawTextField(cairo_t* cr, ui::TextField& field, double scale);
    // The caret, or the selection, of a field being edited; `room`: where `frame` is drawn, and the
    // width it was laid out in.
    void drawSelection(cairo_t* cr, ui::TextField& field, const ui::FieldTextLayout& layout);
    void drawSwitch(cairo_t* cr, ui::Switch& control, double scale);
    void drawSlider(cairo_t* cr, ui::Slider& slider, double scale);
    void drawProgressView(cairo_t* cr, ui::ProgressView& progress, double scale);
    void drawSegmentedControl(cairo_t* cr, ui::SegmentedControl& control, double scale);
    void drawVisualEffectView(cairo_t* cr, ui::VisualEffectView& view, double scale);
    void drawGLView(cairo_t* cr, ui::GLView& view, double scale);
    void drawButton(cairo_t* cr, ui::Button& button, double scale);
    void drawStepper(cairo_t* cr, ui::Stepper& stepper, double scale);
    void drawCell(cairo_t* cr, ui::CollectionViewCell& cell, double scale);
    static void keyLabel(ui::Label& label, Fingerprint& key);
    static void keyImageView(ui::ImageView& view, Fingerprint& key);
    static void keyTextField(ui::TextField& field, Fingerprint& key);
    static void keySwitch(ui::Switch& control, Fingerprint& key);
    static void keySlider(ui::Slider& slider, Fingerprint& key);
    static void keyProgressView(ui::ProgressView& progress, Fingerprint& key);
    static void keySegmentedControl(ui::SegmentedControl& control, Fingerprint& key);
    static void keyVisualEffectView(ui::VisualEffectView& view, Fingerprint& key);
    static void keyButton(ui::Button& button, Fingerprint& key);
    static void keyStepper(ui::Stepper& stepper, Fingerprint& key);
    static void keyCell(ui::CollectionViewCell& cell, Fingerprint& key);

    // The part of `rect` (user space) left visible by the clip of `cr`, in device pixels; and the
    // whole of it.
    static ui::Rect deviceClip(cairo_t* cr, const ui::Rect& rect, ui::Rect* whole = nullptr);

    ImagePainter& m_images;
    TextPainter& m_text;
    std::vector<Drawer> m_drawers;
    std::unordered_map<std::type_index, int> m_drawerOfClass;  // -1: draws nothing
    std::vector<VideoRegion> m_videoRegions;
    std::uint64_t m_draws = 0;
};

}  // namespace display
