#include "platform/display/recorded_drawing.h"

#include <algorithm>

#include "platform/display/shadow_blur.h"

namespace display {

namespace {
using Kind = ui::DrawingOperation::Kind;

struct State {
    ui::Color fill = ui::Color::black();
    ui::Color stroke = ui::Color::black();
    double lineWidth = 1;
    ui::LineCap lineCap = ui::LineCap::butt;
    // The shadow that fills cast (strokes cast none here: thin lines' shadows hardly show).
    std::optional<ui::Color> shadowColor;
    ui::Size shadowOffset;
    double shadowBlur = 0;
};

void addRect(cairo_t* cr, const ui::Rect& r) {
    cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
}

cairo_line_cap_t capOf(ui::LineCap cap) {
    switch (cap) {
        case ui::LineCap::round: return CAIRO_LINE_CAP_ROUND;
        case ui::LineCap::square: return CAIRO_LINE_CAP_SQUARE;
        default: return CAIRO_LINE_CAP_BUTT;
    }
}

void setColor(cairo_t* cr, const ui::Color& c) { cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha); }

// Fills the current path (given again by `addPath` for the shadow), its shadow first.
void fill(cairo_t* cr, const State& state, double scale, const std::function<void(cairo_t*)>& addPath) {
    if (state.shadowColor && state.shadowColor->alpha > 0) {
        cairo_path_t* path = cairo_copy_path(cr);
        cairo_new_path(cr);
        paintBlurredShape(cr, scale, state.shadowBlur, *state.shadowColor, [&](cairo_t* target) {
            SavedState moved(target);
            cairo_translate(target, state.shadowOffset.width, state.shadowOffset.height);
            addPath(target);
        });
        cairo_append_path(cr, path);
        cairo_path_destroy(path);
    }
    setColor(cr, state.fill);
    cairo_fill(cr);
}

void stroke(cairo_t* cr, const State& state) {
    setColor(cr, state.stroke);
    cairo_set_line_width(cr, state.lineWidth);
    cairo_set_line_cap(cr, capOf(state.lineCap));
    cairo_stroke(cr);
}
}  // namespace

void RecordedDrawing::fingerprint(const std::vector<ui::DrawingOperation>& operations, Fingerprint& key) {
    key.add(static_cast<std::uint64_t>(operations.size()));
    for (const auto& op : operations) {
        key.add(static_cast<int>(op.kind)).add(op.rect).add(op.point).add(op.offset.width).add(op.offset.height);
        key.add(op.value).add(op.color).add(static_cast<int>(op.lineCap));
    }
}

bool RecordedDrawing::drawsText(const std::vector<ui::DrawingOperation>& operations) {
    return std::any_of(operations.begin(), operations.end(),
                       [](const ui::DrawingOperation& op) { return op.kind == Kind::drawText; });
}

void RecordedDrawing::play(cairo_t* cr, const std::vector<ui::DrawingOperation>& operations, double scale) {
    SavedState saved(cr);
    State state;
    std::vector<State> stack;
    // The path built by moves, lines and ellipses, kept to give the shadow its shape again.
    std::vector<const ui::DrawingOperation*> path;
    auto addPath = [&](cairo_t* target) {
        for (const auto* op : path) {
            if (op->kind == Kind::moveTo) cairo_move_to(target, op->point.x, op->point.y);
            if (op->kind == Kind::lineTo) cairo_line_to(target, op->point.x, op->point.y);
            if (op->kind == Kind::closePath) cairo_close_path(target);
            if (op->kind == Kind::addEllipse) addEllipsePath(target, op->rect);
        }
    };
    cairo_new_path(cr);
    for (const auto& op : operations) {
        switch (op.kind) {
            case Kind::saveState: stack.push_back(state); break;
            case Kind::restoreState:
                if (!stack.empty()) {
                    state = stack.back();
                    stack.pop_back();
                }
                break;
            case Kind::setShadow:
                state.shadowColor = op.color;
                state.shadowOffset = op.offset;
                state.shadowBlur = op.value;
                break;
            case Kind::setFillColor: state.fill = op.color.value_or(ui::Color::black()); break;
            case Kind::setStrokeColor: state.stroke = op.color.value_or(ui::Color::black()); break;
            case Kind::setLineWidth: state.lineWidth = op.value; break;
            case Kind::setLineCap: state.lineCap = op.lineCap; break;
            case Kind::fillRect:
            case Kind::fillEllipse: {
                const auto shape = [&](cairo_t* target) {
                    if (op.kind == Kind::fillRect) {
                        addRect(target, op.rect);
                    } else {
                        addEllipsePath(target, op.rect);
                    }
                };
                cairo_new_path(cr);
                shape(cr);
                fill(cr, state, scale, shape);
                break;
            }
            case Kind::strokeRect:
            case Kind::strokeEllipse:
                cairo_new_path(cr);
                if (op.kind == Kind::strokeRect) {
                    addRect(cr, op.rect);
                } else {
                    addEllipsePath(cr, op.rect);
                }
                stroke(cr, state);
                break;
            case Kind::moveTo:
            case Kind::lineTo:
            case Kind::closePath:
            case Kind::addEllipse: path.push_back(&op); break;
            case Kind::fillPath:
                cairo_new_path(cr);
                addPath(cr);
                fill(cr, state, scale, addPath);
                path.clear();
                break;
            case Kind::strokePath:
                cairo_new_path(cr);
                addPath(cr);
                stroke(cr, state);
                path.clear();
                break;
            case Kind::drawImage:
            case Kind::drawText: break;
        }
    }
    cairo_new_path(cr);
}

}  // namespace display
