#pragma once

#include <optional>
#include <string>

#include "platform/ui/views/color.h"
#include "platform/ui/views/rect.h"

namespace ui {

enum class LineCap { butt, round, square };

// One recorded drawing call of a graphics context, so tests can check what a view drew.
struct DrawingOperation {
    enum class Kind {
        saveState,
        restoreState,
        setShadow,  // offset, value = blur, color (none: no shadow)
        setFillColor,
        setStrokeColor,
        setLineWidth,  // value
        setLineCap,
        fillEllipse,    // rect
        strokeEllipse,  // rect
        fillRect,
        strokeRect,
        moveTo,  // point
        lineTo,  // point
        closePath,
        addEllipse,  // rect, to the current path
        fillPath,
        strokePath,
        drawImage,  // rect
        drawText,   // rect: a label's text, laid out as the label lays it out
    };

    Kind kind = Kind::saveState;
    Rect rect;
    Point point;
    Size offset;
    double value = 0;
    std::optional<Color> color;
    LineCap lineCap = LineCap::butt;

    bool operator==(const DrawingOperation&) const = default;
};

std::string drawingOperationName(DrawingOperation::Kind kind);

}  // namespace ui
