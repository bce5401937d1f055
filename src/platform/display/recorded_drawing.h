#pragma once

#include <vector>

#include "platform/display/cairo_surface.h"
#include "platform/display/fingerprint.h"
#include "platform/ui/views/drawing_operation.h"

namespace display {

// Plays what a view's own `draw` recorded (ui::GraphicsContext's operations: fills, strokes,
// paths, shadows, saved states) with cairo, in the view's bounds space. Text a label asks for is
// drawn by the content painter; recorded images carry no picture and are left out. Stateless.
class RecordedDrawing {
public:
    // Adds what playing `operations` depends on to `key`.
    static void fingerprint(const std::vector<ui::DrawingOperation>& operations, Fingerprint& key);
    static void play(cairo_t* cr, const std::vector<ui::DrawingOperation>& operations, double scale);
    // Whether the drawing asks for the label's text (a label's own `draw` does; one that a
    // subclass replaced may not).
    static bool drawsText(const std::vector<ui::DrawingOperation>& operations);
};

}  // namespace display
