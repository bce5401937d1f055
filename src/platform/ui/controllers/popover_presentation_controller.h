#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/controllers/modal_presentation_style.h"
#include "platform/ui/controllers/popover_background_view.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/edge_insets.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/object.h"
#include "platform/ui/views/rect.h"
#include "platform/ui/views/trait_collection.h"

namespace ui {

class BarButtonItem;
class PopoverPresentationController;
class View;
class ViewController;

class PopoverPresentationControllerDelegate {
public:
    virtual ~PopoverPresentationControllerDelegate() = default;
    // The style a popover takes in a compact width; none keeps the platform's default
    // (full screen). Return `ModalPresentationStyle::none` to stay a popover.
    virtual std::optional<ModalPresentationStyle> adaptivePresentationStyle(PopoverPresentationController& /*c*/,
                                                                            const TraitCollection& /*traits*/) {
        return std::nullopt;
    }
    virtual bool popoverShouldDismiss(PopoverPresentationController& /*c*/) {
        checkMainThread();
        return true;
    }
    virtual void popoverDidDismiss(PopoverPresentationController& /*c*/) {}
};

// The settings of a popover presentation: its anchor, arrow directions, background view class
// and delegate. When presented it makes the background view and places the content next to
// the anchor, the arrow's height away.
class PopoverPresentationController : public Object {
public:
    using BackgroundFactory = std::function<std::shared_ptr<PopoverBackgroundView>()>;

    static std::shared_ptr<PopoverPresentationController> create(const std::shared_ptr<ViewController>& presented);
    std::string className() const override { return "PopoverPresentationController"; }

    std::shared_ptr<ViewController> presentedViewController() const { return m_presented.lock(); }
    std::shared_ptr<View> sourceView() const { return m_sourceView.lock(); }
    void setSourceView(const std::shared_ptr<View>& view) {
        checkMainThread();
        m_sourceView = view;
    }
    Rect sourceRect() const { return m_sourceRect; }
    void setSourceRect(const Rect& rect) {
        checkMainThread();
        m_sourceRect = rect;
    }
    std::shared_ptr<BarButtonItem> barButtonItem() const { return m_barButtonItem.lock(); }
    void setBarButtonItem(const std::shared_ptr<BarButtonItem>& item) {
        checkMainThread();
        m_barButtonItem = item;
    }
    unsigned permittedArrowDirections() const { return m_permittedArrowDirections; }
    void setPermittedArrowDirections(unsigned directions) {
        checkMainThread();
        m_permittedArrowDirections = directions;
    }
    std::optional<Color> backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(std::optional<Color> color) {
        checkMainThread();
        m_backgroundColor = std::move(color);
    }
    bool canOverlapSourceViewRect() const { return m_canOverlap; }
    void setCanOverlapSourceViewRect(bool overlap) {
        checkMainThread();
        m_canOverlap = overlap;
    }
    // The space kept free between the popover (arrow and background included) and the edges of
    // the area it is presented in. Set while presented, it places the popover again.
    EdgeInsets popoverLayoutMargins() const { return m_popoverLayoutMargins; }
    void setPopoverLayoutMargins(const EdgeInsets& margins);
    const std::vector<std::weak_ptr<View>>& passthroughViews() const { return m_passthroughViews; }
    void setPassthroughViews(std::vector<std::weak_ptr<View>> views) {
        checkMainThread();
        m_passthroughViews = std::move(views);
    }
    std::shared_ptr<PopoverPresentationControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<PopoverPresentationControllerDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }

    // The background view class, given as a factory with the class's name.
    void setPopoverBackgroundViewClass(std::string name, BackgroundFactory factory);
    const std::string& popoverBackgroundViewClassName() const { return m_backgroundClassName; }
    // Made when the popover is presented.
    std::shared_ptr<PopoverBackgroundView> backgroundView() const { return m_backgroundView; }
    unsigned arrowDirection() const { return m_arrowDirection; }

    // The style the presentation takes for these traits.
    ModalPresentationStyle adaptedStyle(const TraitCollection& traits);
    // Makes the background view and returns the content's frame in the window (`area`).
    Rect prepareForPresentation(const Rect& area);
    // The presented controller asks for another size: while presented, the popover is placed again
    // by the same rules (margins, arrow, anchor), over `resizeDuration` when animated.
    void preferredContentSizeDidChange(bool animated);
    static constexpr double resizeDuration = 0.25;
    // The area it is presented in took another size (the window turned or was resized): while
    // presented, the popover is placed again there by the same rules, next to the anchor's new
    // place. At once: a caller animating the change carries the move along.
    void presentationAreaDidChange(const Rect& area);
    // The area of the last presentation; empty before one.
    Rect presentationArea() const { return m_area; }
    // The user taps outside: asks the delegate, dismisses, then tells it. Returns whether dismissed.
    bool dismissByUser();

private:
    PopoverPresentationController() = default;
    Rect anchorInWindow() const;
    // Presented (also while coming or going): only then does a new size or area move it.
    bool isPresented() const;
    // Places the presented content again, if it is presented now.
    void placeAgain(bool animated);
    // Chooses the arrow and frames the background view; returns the content's frame.
    Rect place();

    std::weak_ptr<ViewController> m_presented;
    std::weak_ptr<View> m_sourceView;
    Rect m_sourceRect;
    std::weak_ptr<BarButtonItem> m_barButtonItem;
    unsigned m_permittedArrowDirections = popoverArrowAny;
    std::optional<Color> m_backgroundColor;
    bool m_canOverlap = false;
    // A popover keeps clear of the window's edges unless its presenter says otherwise.
    EdgeInsets m_popoverLayoutMargins{10, 10, 10, 10};
    std::vector<std::weak_ptr<View>> m_passthroughViews;
    std::weak_ptr<PopoverPresentationControllerDelegate> m_delegate;
    std::string m_backgroundClassName = "PopoverBackgroundView";
    BackgroundFactory m_backgroundFactory;
    std::shared_ptr<PopoverBackgroundView> m_backgroundView;
    Rect m_area;
    unsigned m_arrowDirection = popoverArrowUnknown;
};

}  // namespace ui
