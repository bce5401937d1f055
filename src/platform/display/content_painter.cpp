#include "platform/display/content_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/display/backdrop_blur.h"
#include "platform/display/image_painter.h"
#include "platform/display/recorded_drawing.h"
#include "platform/display/text_painter.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/progress_view.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/gl/gl_view.h"
#include "platform/ui/lists/collection_view_cell.h"
#include "platform/ui/text/label.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/text/text_frame.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/visual_effect_view.h"

namespace display {

namespace {
void setColor(cairo_t* cr, const ui::Color& c) { cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha); }

void roundedRect(cairo_t* cr, const ui::Rect& r, double radius) {
    radius = std::min({radius, r.size.width / 2, r.size.height / 2});
    const double x = r.origin.x, y = r.origin.y, w = r.size.width, h = r.size.height;
    constexpr double pi = std::numbers::pi;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -pi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, pi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, pi / 2, pi);
    cairo_arc(cr, x + radius, y + radius, radius, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

// A button shows its image and title itself until its image view or title label is asked for and
// placed; then that subview draws it.
struct ButtonFace {
    std::shared_ptr<ui::Image> image;
    std::optional<std::string> title;
    ui::Font font = ui::Font::systemFont(15);
};

ButtonFace buttonFace(ui::Button& button) {
    ButtonFace face{button.currentImage(), button.currentTitle()};
    for (const auto& sub : button.subviews()) {
        auto* label = dynamic_cast<ui::Label*>(sub.get());
        if (label) face.font = label->font();
        if (sub->bounds().size.width <= 0 || sub->bounds().size.height <= 0) continue;
        if (dynamic_cast<ui::ImageView*>(sub.get())) face.image = nullptr;
        if (label) face.title.reset();
    }
    if (face.title && face.title->empty()) face.title.reset();
    return face;
}

ui::Color buttonTint(ui::Button& button) {
    auto tint = button.tintColor();
    if (!button.isEnabled()) return tint.withAlpha(tint.alpha * 0.35);
    if (button.isHighlighted() && button.buttonType() == ui::ButtonType::system)
        return tint.withAlpha(tint.alpha * 0.5);
    return tint;
}

void knob(cairo_t* cr, ui::Point centre, double radius) {
    setColor(cr, ui::Color::black().withAlpha(0.15));
    cairo_arc(cr, centre.x, centre.y + 1, radius + 0.5, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    setColor(cr, ui::Color::white());
    cairo_arc(cr, centre.x, centre.y, radius, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
}

}  // namespace

template <typename T>
void ContentPainter::add(void (ContentPainter::*drawer)(cairo_t*, T&, double),
                         void (*keyer)(std::type_identity_t<T>&, Fingerprint&), Kind kind) {
    m_drawers.push_back({[](ui::View& view) { return dynamic_cast<T*>(&view) != nullptr; },
                         [this, drawer](cairo_t* cr, ui::View& view, double scale) {
                             (this->*drawer)(cr, static_cast<T&>(view), scale);
                         },
                         [keyer](ui::View& view, Fingerprint& key) {
                             if (keyer) keyer(static_cast<T&>(view), key);
                         },
                         kind});
}

ContentPainter::ContentPainter(ImagePainter& images, TextPainter& text) : m_images(images), m_text(text) {
    add(&ContentPainter::drawGLView, nullptr, Kind::live);  // the video's frames: drawn every time
    add(&ContentPainter::drawLabel, &keyLabel);
    add(&ContentPainter::drawImageView, &keyImageView);
    add(&ContentPainter::drawTextField, &keyTextField);
    add(&ContentPainter::drawSwitch, &keySwitch);
    add(&ContentPainter::drawSlider, &keySlider);
    add(&ContentPainter::drawProgressView, &keyProgressView);
    add(&ContentPainter::drawSegmentedControl, &keySegmentedControl);
    // A blur shows what lies behind it, which may change under it: drawn every time.
    add(&ContentPainter::drawVisualEffectView, &keyVisualEffectView, Kind::live);
    add(&ContentPainter::drawButton, &keyButton);
    add(&ContentPainter::drawStepper, &keyStepper);
    add(&ContentPainter::drawCell, &keyCell);
}

const ContentPainter::Drawer* ContentPainter::drawerOf(ui::View& view) {
    const std::type_index type(typeid(view));
    auto found = m_drawerOfClass.find(type);
    if (found == m_drawerOfClass.end()) {
        int index = -1;
        for (size_t i = 0; i < m_drawers.size() && index < 0; ++i) {
            if (m_drawers[i].takes(view)) index = static_cast<int>(i);
        }
        found = m_drawerOfClass.emplace(type, index).first;
    }
    return found->second >= 0 ? &m_drawers[static_cast<size_t>(found->second)] : nullptr;
}

ContentPainter::Kind ContentPainter::kind(ui::View& view) {
    const auto* drawer = drawerOf(view);
    if (drawer && drawer->kind == Kind::live) return Kind::live;
    // What the view's own `draw` records, made again when asked for or when the view took another
    // size (a check mark draws over its whole bounds). An OpenGL view draws on its render queue,
    // never here.
    if (view.lastDrawingSize() != view.bounds().size) view.setNeedsDisplay();
    view.displayIfNeeded();
    if (drawer) return drawer->kind;
    return view.lastDrawing().empty() ? Kind::none : Kind::cacheable;
}

void ContentPainter::fingerprint(ui::View& view, Fingerprint& key) {
    key.add(view.bounds());
    RecordedDrawing::fingerprint(view.lastDrawing(), key);
    if (const auto* drawer = drawerOf(view)) drawer->key(view, key);
}

void ContentPainter::draw(cairo_t* cr, ui::View& view, double scale) {
    const auto* drawer = drawerOf(view);
    if (!drawer && view.lastDrawing().empty()) return;
    ++m_draws;
    if (!drawer || drawer->kind != Kind::live) RecordedDrawing::play(cr, view.lastDrawing(), scale);
    if (drawer) drawer->draw(cr, view, scale);
}

void ContentPainter::drawLabel(cairo_t* cr, ui::Label& label, double scale) {
    // A label whose class draws otherwise (a scrolling label leaves its text to an inner label)
    // shows no text of its own.
    if (!RecordedDrawing::drawsText(label.lastDrawing())) return;
    const auto frame = label.textFrame();
    if (frame.lines().empty()) return;
    SavedState saved(cr);
    if (!label.isEnabled()) cairo_push_group(cr);
    m_text.draw(cr, frame, label.textRect().origin, scale);
    if (!label.isEnabled()) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, 0.4);
    }
}

void ContentPainter::keyLabel(ui::Label& label, Fingerprint& key) {
    key.add(label.isEnabled()).add(label.textRect().origin);
    TextPainter::fingerprint(label.textFrame(), key);
}

void ContentPainter::drawImageView(cairo_t* cr, ui::ImageView& view, double scale) {
    auto image = view.isHighlighted() && view.highlightedImage() ? view.highlightedImage() : view.image();
    if (!image) return;
    if (auto configuration = view.preferredSymbolConfiguration(); configuration && image->isSymbolImage())
        image = image->withConfiguration(
            image->symbolConfiguration().value_or(ui::SymbolConfiguration{}).applying(*configuration));
    auto mode = view.contentMode();
    // A symbol keeps its proportions whatever the view's mode, as the platform draws them.
    if (image->isSymbolImage() && mode == ui::ContentMode::scaleToFill) mode = ui::ContentMode::scaleAspectFit;
    m_images.draw(cr, *image, view.bounds(), mode, view.tintColor(), scale);
}

void ContentPainter::keyImageView(ui::ImageView& view, Fingerprint& key) {
    auto image = view.isHighlighted() && view.highlightedImage() ? view.highlightedImage() : view.image();
    key.add(image != nullptr);
    if (!image) return;
    ImagePainter::fingerprint(*image, key);
    if (auto configuration = view.preferredSymbolConfiguration(); configuration && image->isSymbolImage())
        ImagePainter::fingerprint(
            *image->withConfiguration(
                image->symbolConfiguration().value_or(ui::SymbolConfiguration{}).applying(*configuration)),
            key);
    key.add(static_cast<int>(view.contentMode())).add(view.tintColor());
}

void ContentPainter::drawTextField(cairo_t* cr, ui::TextField& field, double scale) {
    const auto bounds = field.bounds();
    if (field.borderStyle() == ui::TextFieldBorderStyle::roundedRect) {
        roundedRect(cr, bounds, 5);
        setColor(cr, ui::Color::tertiaryLabel());
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // The field lays its text out as it shows it: cut at its end, or scrolled to the caret while edited.
    const auto layout = field.shownLayout();
    if (field.isEditing()) drawSelection(cr, field, layout);
    if (layout.frame().lines().empty()) return;
    SavedState saved(cr);
    if (layout.isScrollable()) {
        const auto clip = layout.clip();
        cairo_rectangle(cr, clip.origin.x, clip.origin.y, clip.size.width, clip.size.height);
        cairo_clip(cr);
    }
    m_text.draw(cr, layout.frame(), layout.origin(), scale);
}

void ContentPainter::drawSelection(cairo_t* cr, ui::TextField& field, const ui::FieldTextLayout& layout) {
    const auto tint = field.tintColor();
    auto fill = [&](const ui::Rect& rect, const ui::Color& color) {
        setColor(cr, color);
        cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
        cairo_fill(cr);
    };
    // A secure field shows dots, not the characters the selection counts: its caret keeps to the end.
    if (field.isSecureTextEntry()) return fill(layout.caret(field.displayedText().size()), tint);
    const auto selected = field.selectedTextRange();
    for (const auto& rect : layout.selection(selected)) fill(rect, tint.withAlpha(0.25));
    if (selected.length == 0) fill(layout.caret(selected.location), tint);
}

void ContentPainter::keyTextField(ui::TextField& field, Fingerprint& key) {
    key.add(static_cast<int>(field.borderStyle())).add(!field.text() || field.text()->empty());
    key.add(field.displayedText()).add(field.font().fontName()).add(field.font().pointSize()).add(field.lineLimit());
    key.add(field.isRightToLeft());
    key.add(field.isEditing() ? field.shownLayout().scroll() : 0.0);
    const auto selected = field.selectedTextRange();
    key.add(field.isEditing())
        .add(field.isEditing() ? selected.location : 0)
        .add(field.isEditing() ? selected.length : 0);
    if (field.isEditing()) key.add(field.tintColor());
}

void ContentPainter::drawSwitch(cairo_t* cr, ui::Switch& control, double) {
    const auto b = control.bounds();
    const ui::Rect track(b.origin.x, b.origin.y + (b.size.height - 31) / 2, 51, 31);
    roundedRect(cr, track, 15.5);
    setColor(cr, control.isOn() ? control.onTintColor().value_or(ui::Color::systemGreen())
                                : ui::Color::secondarySystemFill());
    cairo_fill(cr);
    // The knob sits at the trailing end when on: the left one when the switch reads right to left.
    const bool atRight = control.isOn() != control.isRightToLeft();
    const double x = atRight ? track.origin.x + 51 - 15.5 : track.origin.x + 15.5;
    knob(cr, {x, track.origin.y + 15.5}, 13.5);
}

void ContentPainter::keySwitch(ui::Switch& control, Fingerprint& key) {
    key.add(control.isOn()).add(control.onTintColor()).add(control.isRightToLeft());
}

void ContentPainter::drawSlider(cairo_t* cr, ui::Slider& slider, double scale) {
    const auto b = slider.bounds();
    const double span = slider.maximumValue() - slider.minimumValue();
    const double fraction = span > 0 ? std::clamp((slider.value() - slider.minimumValue()) / span, 0.0, 1.0) : 0;
    // The track the slider reports (a subclass may make it taller), the thumb where the value lies.
    const auto track = slider.trackRect(b);
    const double radius = track.size.height / 2;
    const auto thumb = slider.thumbImage(slider.state());
    const double knobRadius = 14;
    // The default knob stays inside the bounds at the ends; an image thumb sits on the value.
    const double inset = thumb ? 0 : std::min(knobRadius, track.size.width / 2);
    // Read right to left, the minimum is at the right end and the filled part grows leftwards.
    const bool rightToLeft = slider.isRightToLeft();
    const double travel = (track.size.width - 2 * inset) * fraction;
    const double x = rightToLeft ? track.maxX() - inset - travel : track.minX() + inset + travel;
    roundedRect(cr, track, radius);
    setColor(cr, slider.maximumTrackTintColor().value_or(ui::Color::systemGray3()));
    cairo_fill(cr);
    const double filledFrom = rightToLeft ? x : track.minX();
    roundedRect(
        cr, ui::Rect(filledFrom, track.minY(), rightToLeft ? track.maxX() - x : x - track.minX(), track.size.height),
        radius);
    setColor(cr, slider.minimumTrackTintColor().value_or(slider.tintColor()));
    cairo_fill(cr);
    if (!thumb) {
        knob(cr, {x, track.midY()}, knobRadius);
        return;
    }
    const auto size = thumb->size();
    m_images.draw(cr, *thumb, ui::Rect(x - size.width / 2, track.midY() - size.height / 2, size.width, size.height),
                  ui::ContentMode::scaleToFill, slider.tintColor(), scale);
}

void ContentPainter::keySlider(ui::Slider& slider, Fingerprint& key) {
    key.add(double{slider.value()}).add(double{slider.minimumValue()}).add(double{slider.maximumValue()});
    key.add(slider.minimumTrackTintColor()).add(slider.maximumTrackTintColor()).add(slider.tintColor());
    key.add(slider.trackRect(slider.bounds())).add(slider.isRightToLeft());
    const auto thumb = slider.thumbImage(slider.state());
    key.add(thumb != nullptr);
    if (thumb) ImagePainter::fingerprint(*thumb, key);
}

void ContentPainter::drawProgressView(cairo_t* cr, ui::ProgressView& progress, double) {
    const auto b = progress.bounds();
    roundedRect(cr, b, b.size.height / 2);
    setColor(cr, progress.trackTintColor().value_or(ui::Color::systemGray5()));
    cairo_fill(cr);
    const double fraction = std::clamp(static_cast<double>(progress.progress()), 0.0, 1.0);
    // It fills from its leading edge: the right one when the bar reads right to left.
    const double filled = b.size.width * fraction;
    const double left = progress.isRightToLeft() ? b.maxX() - filled : b.origin.x;
    roundedRect(cr, ui::Rect(left, b.origin.y, filled, b.size.height), b.size.height / 2);
    setColor(cr, progress.progressTintColor().value_or(progress.tintColor()));
    cairo_fill(cr);
}

void ContentPainter::keyProgressView(ui::ProgressView& progress, Fingerprint& key) {
    key.add(double{progress.progress()}).add(progress.trackTintColor()).add(progress.progressTintColor());
    key.add(progress.tintColor()).add(progress.isRightToLeft());
}

void ContentPainter::drawSegmentedControl(cairo_t* cr, ui::SegmentedControl& control, double scale) {
    const auto b = control.bounds();
    const int count = control.numberOfSegments();
    roundedRect(cr, b, 8);
    setColor(cr, ui::Color::secondarySystemFill());
    cairo_fill(cr);
    if (count == 0 || b.isEmpty()) return;
    const auto font = ui::Font::systemFont(13, ui::FontWeight::medium);
    for (int i = 0; i < count; ++i) {
        // Where a touch selects it: the segments run from the right when the control reads so.
        const ui::Rect segment = control.segmentFrame(i);
        const double width = segment.size.width;
        if (i == control.selectedSegmentIndex()) {
            roundedRect(cr, ui::Rect(segment.origin.x + 2, segment.origin.y + 2, width - 4, b.size.height - 4), 7);
            setColor(cr, ui::Color::systemGray());
            cairo_fill(cr);
        }
        const auto color = control.isEnabledForSegment(i) ? ui::Color::label() : ui::Color::tertiaryLabel();
        if (auto image = control.imageForSegment(i)) {
            m_images.draw(cr, *image, segment, ui::ContentMode::center, color, scale);
        } else {
            m_text.drawLine(cr, control.titleForSegment(i), font, color, segment, ui::TextAlignment::center, scale);
        }
    }
}

void ContentPainter::keySegmentedControl(ui::SegmentedControl& control, Fingerprint& key) {
    key.add(control.numberOfSegments()).add(control.selectedSegmentIndex()).add(control.isRightToLeft());
    for (int i = 0; i < control.numberOfSegments(); ++i) {
        key.add(control.isEnabledForSegment(i)).add(control.titleForSegment(i));
        auto image = control.imageForSegment(i);
        key.add(image != nullptr);
        if (image) ImagePainter::fingerprint(*image, key);
    }
}

void ContentPainter::drawVisualEffectView(cairo_t* cr, ui::VisualEffectView& view, double scale) {
    using Style = ui::VisualEffectView::BlurStyle;
    auto effect = view.effect();
    if (!effect || view.vibrancyBlurStyle()) return;
    // What lies behind is blurred, so text under a popover or a sheet does not read through its
    // material; the material's tint goes over it. A video under it is blurred where it is
    // composited.
    blurBackdrop(cr, view.bounds(), 20, scale);
    const auto over = deviceClip(cr, view.bounds());
    for (auto& region : m_videoRegions) {
        const auto blurred = over.intersection(region.clip);
        if (!blurred.isEmpty()) region.blurs.push_back(blurred);
    }
    ui::Color tint = ui::Color::white(0.1, 0.75);
    switch (*effect) {
        case Style::extraLight:
        case Style::light: tint = ui::Color::white(0.97, 0.8); break;
        case Style::systemUltraThinMaterial:
        case Style::systemUltraThinMaterialDark: tint = ui::Color::white(0.1, 0.45); break;
        case Style::systemThinMaterial:
        case Style::systemThinMaterialDark: tint = ui::Color::white(0.12, 0.6); break;
        default: break;
    }
    setColor(cr, tint);
    const auto b = view.bounds();
    cairo_rectangle(cr, b.origin.x, b.origin.y, b.size.width, b.size.height);
    cairo_fill(cr);
}

void ContentPainter::keyVisualEffectView(ui::VisualEffectView& view, Fingerprint& key) {
    key.add(view.effect() ? static_cast<int>(*view.effect()) : -1);
    key.add(view.vibrancyBlurStyle().has_value());
}

ui::Rect ContentPainter::deviceClip(cairo_t* cr, const ui::Rect& b, ui::Rect* whole) {
    double x0 = b.origin.x, y0 = b.origin.y, x1 = b.origin.x + b.size.width, y1 = b.origin.y + b.size.height;
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    double cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0;
    cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
    cairo_user_to_device(cr, &cx0, &cy0);
    cairo_user_to_device(cr, &cx1, &cy1);
    const ui::Rect rect = ui::Rect(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0));
    if (whole) *whole = rect;
    return ui::Rect(std::min(cx0, cx1), std::min(cy0, cy1), std::abs(cx1 - cx0), std::abs(cy1 - cy0))
        .intersection(rect);
}

void ContentPainter::drawGLView(cairo_t* cr, ui::GLView& view, double) {
    const auto b = view.bounds();
    ui::Rect rect;
    const ui::Rect clip = deviceClip(cr, b, &rect);
    m_videoRegions.push_back({view.sharedAs<ui::GLView>(), rect, clip, {}});
    // The frames show through a hole: what lies beneath the view here is covered by the video.
    SavedState saved(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, b.origin.x, b.origin.y, b.size.width, b.size.height);
    cairo_fill(cr);
}

void ContentPainter::drawButton(cairo_t* cr, ui::Button& button, double scale) {
    const auto b = button.bounds();
    if (auto background = button.backgroundImage(button.state()))
        m_images.draw(cr, *background, b, ui::ContentMode::scaleToFill, buttonTint(button), scale);
    const auto face = buttonFace(button);
    if (!face.image && !face.title) return;
    const auto frames = button.contentFrames();
    if (face.image) m_images.draw(cr, *face.image, frames.image, ui::ContentMode::center, buttonTint(button), scale);
    if (face.title && frames.title.size.width > 0) {
        m_text.drawLine(cr, *face.title, face.font, button.currentTitleColor(), frames.title, ui::TextAlignment::left,
                        scale);
    }
}

void ContentPainter::keyButton(ui::Button& button, Fingerprint& key) {
    const auto face = buttonFace(button);
    key.add(button.tintColor()).add(button.isEnabled()).add(button.isHighlighted());
    key.add(button.contentEdgeInsets().left).add(button.contentEdgeInsets().top);
    key.add(button.contentEdgeInsets().right).add(button.contentEdgeInsets().bottom);
    for (const auto& image : {button.backgroundImage(button.state()), face.image}) {
        key.add(image != nullptr);
        if (image) ImagePainter::fingerprint(*image, key);
    }
    key.add(face.title.value_or("")).add(button.currentTitleColor());
    key.add(face.font.fontName()).add(face.font.pointSize());
}

void ContentPainter::drawStepper(cairo_t* cr, ui::Stepper& stepper, double) {
    using Half = ui::Stepper::Half;
    const auto b = stepper.bounds();
    roundedRect(cr, b, 8);
    setColor(cr, ui::Color::secondarySystemFill());
    cairo_fill(cr);
    // The divider between the halves.
    const auto minus = stepper.halfFrame(Half::minus), plus = stepper.halfFrame(Half::plus);
    setColor(cr, ui::Color::separator());
    cairo_rectangle(cr, plus.origin.x - 0.5, b.origin.y + b.size.height * 0.2, 1, b.size.height * 0.6);
    cairo_fill(cr);
    const auto tint = stepper.tintColor();
    // A half that would leave a limit (or the whole of a disabled stepper) is drawn faint.
    auto colorOf = [&](Half half) { return stepper.isHalfEnabled(half) ? tint : tint.withAlpha(tint.alpha * 0.3); };
    const double arm = std::min(7.0, std::min(minus.size.width, minus.size.height) / 3);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const auto minusCentre = minus.center(), plusCentre = plus.center();
    cairo_move_to(cr, minusCentre.x - arm, minusCentre.y);
    cairo_line_to(cr, minusCentre.x + arm, minusCentre.y);
    setColor(cr, colorOf(Half::minus));
    cairo_stroke(cr);
    cairo_move_to(cr, plusCentre.x - arm, plusCentre.y);
    cairo_line_to(cr, plusCentre.x + arm, plusCentre.y);
    cairo_move_to(cr, plusCentre.x, plusCentre.y - arm);
    cairo_line_to(cr, plusCentre.x, plusCentre.y + arm);
    setColor(cr, colorOf(Half::plus));
    cairo_stroke(cr);
}

void ContentPainter::keyStepper(ui::Stepper& stepper, Fingerprint& key) {
    key.add(stepper.tintColor());
    key.add(stepper.isHalfEnabled(ui::Stepper::Half::minus)).add(stepper.isHalfEnabled(ui::Stepper::Half::plus));
}

void ContentPainter::drawCell(cairo_t* cr, ui::CollectionViewCell& cell, double) {
    const auto b = cell.bounds();
    if (const auto background = cell.backgroundColorConfiguration()) {
        setColor(cr, *background);
        cairo_rectangle(cr, b.origin.x, b.origin.y, b.size.width, b.size.height);
        cairo_fill(cr);
    }
    // A highlighted cell (held, or a folder under a carried item that would take it) shows a
    // plate under its content.
    if (cell.isHighlighted()) {
        setColor(cr, ui::Color::systemGray4());
        roundedRect(cr, b, 10);
        cairo_fill(cr);
    }
}

void ContentPainter::keyCell(ui::CollectionViewCell& cell, Fingerprint& key) {
    key.add(cell.backgroundColorConfiguration()).add(cell.isHighlighted());
}

}  // namespace display
