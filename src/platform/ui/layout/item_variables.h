#pragma once

#include "platform/ui/layout/layout_attribute.h"
#include "platform/ui/layout/linear_expression.h"

namespace ui {

// The unknowns of one view or layout guide in the engine's space (the root's coordinates, bounds
// origins left out, so scrolled content keeps its place): left and top edges, width and height.
struct ItemVariables {
    layout::Variable left;
    layout::Variable top;
    layout::Variable width;
    layout::Variable height;

    // The attribute as an expression of the variables. Baselines sit at the bottom edge unless
    // `baselines` moves them (a text view's first and last baseline from its top).
    layout::Expression expression(LayoutAttribute attribute, double firstBaseline = -1,
                                  double lastBaseline = -1) const {
        using layout::Expression;
        switch (attribute) {
            case LayoutAttribute::left:
            case LayoutAttribute::leading: return Expression(left);
            case LayoutAttribute::right:
            case LayoutAttribute::trailing: return Expression(left) + Expression(width);
            case LayoutAttribute::top: return Expression(top);
            case LayoutAttribute::bottom: return Expression(top) + Expression(height);
            case LayoutAttribute::width: return Expression(width);
            case LayoutAttribute::height: return Expression(height);
            case LayoutAttribute::centerX: return Expression(left) + Expression(width, 0.5);
            case LayoutAttribute::centerY: return Expression(top) + Expression(height, 0.5);
            case LayoutAttribute::firstBaseline:
                if (firstBaseline >= 0) return Expression(top) + firstBaseline;
                return Expression(top) + Expression(height);
            case LayoutAttribute::lastBaseline:
                if (lastBaseline >= 0) return Expression(top) + lastBaseline;
                return Expression(top) + Expression(height);
            case LayoutAttribute::notAnAttribute: break;
        }
        return Expression();
    }
};

}  // namespace ui
