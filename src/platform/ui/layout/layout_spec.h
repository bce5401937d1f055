#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "platform/ui/layout/layout_attribute.h"
#include "platform/ui/layout/linear_expression.h"

namespace ui {

class LayoutConstraint;
class View;

// One constraint as the layout engine hands it to the solver: a user's constraint, or one the
// layer makes itself (autoresizing masks, content sizes, guides, stacks, stays). The key names it
// from one layout pass to the next, so an unchanged constraint is left alone and a changed
// constant is re-solved in place.
struct LayoutSpec {
    enum class Kind : int {
        user,
        rootX,
        rootY,
        rootWidth,
        rootHeight,
        autoresizingX,
        autoresizingY,
        autoresizingWidth,
        autoresizingHeight,
        stayX,
        stayY,
        stayWidth,
        stayHeight,
        huggingWidth,
        huggingHeight,
        compressionWidth,
        compressionHeight,
        nonNegativeWidth,
        nonNegativeHeight,
        guideX,
        guideY,
        guideWidth,
        guideHeight,
        readableLimit,
        readableFill,
        stack,
    };
    struct Key {
        const void* owner = nullptr;
        Kind kind = Kind::user;
        int index = 0;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const {
            return std::hash<const void*>()(key.owner) ^ (static_cast<std::size_t>(key.kind) * 0x9e3779b97f4a7c15ULL) ^
                   (static_cast<std::size_t>(key.index) << 20);
        }
    };

    Key key;
    layout::Expression expression;
    layout::Relation relation = layout::Relation::equal;
    float priority = LayoutPriority::required;
    // For logs: the user's constraint, or the view a made constraint belongs to.
    std::weak_ptr<LayoutConstraint> constraint;
    const View* view = nullptr;
};

}  // namespace ui
