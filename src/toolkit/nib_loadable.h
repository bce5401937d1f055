#pragma once

#include <memory>
#include <string>

#include "platform/base/fatal.h"
#include "platform/ui/controllers/nib.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/views/view.h"

namespace reelhaven {

// For views whose content is laid out in an interface file named after the view's type: the view
// calls `setupFromNib()` from its own creation to fill itself from that file. `Self` is the
// adopting view class.
template <typename Self>
class NibLoadable {
public:
    // The unqualified name of the adopting type ("TitleView").
    std::string nibName() const { return static_cast<const Self*>(this)->className(); }
    std::shared_ptr<ui::Nib> nib() const { return ui::Nib::named(nibName()); }

    // Loads the file with this view as owner; its first top-level object must be a view, which is
    // added and pinned to this view's safe area. Anything else is a programming error.
    void setupFromNib() {
        auto& self = *static_cast<Self*>(this);
        auto owner = self.template sharedAs<ui::View>();
        const auto objects = nib()->instantiate(owner);
        auto content = objects.empty() ? nullptr : std::dynamic_pointer_cast<ui::View>(objects.front());
        if (!content) base::fatal("Error loading " + self.description() + " from nib");
        self.addSubview(content);
        content->setTranslatesAutoresizingMaskIntoConstraints(false);
        auto guide = self.safeAreaLayoutGuide();
        ui::LayoutConstraint::activate({content->leadingAnchor().constraint(guide->leadingAnchor(), 0),
                                        content->topAnchor().constraint(guide->topAnchor(), 0),
                                        content->trailingAnchor().constraint(guide->trailingAnchor(), 0),
                                        content->bottomAnchor().constraint(guide->bottomAnchor(), 0)});
    }

protected:
    NibLoadable() = default;
    ~NibLoadable() = default;
};

}  // namespace reelhaven
