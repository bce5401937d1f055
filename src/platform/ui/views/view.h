#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/layout/layout_anchor.h"
#include "platform/ui/layout/layout_guide.h"
#include "platform/ui/layout/layout_item.h"
#include "platform/ui/views/affine_transform.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/drawing_operation.h"
#include "platform/ui/views/layer.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/rect.h"
#include "platform/ui/views/responder.h"
#include "platform/ui/views/trait_collection.h"
#include "platform/ui/views/view_types.h"

namespace ui {

class GestureRecognizer;
class LayoutEngine;
class ViewController;
class Window;

// A view: a rectangle in a hierarchy, backed by a layer that holds its geometry and appearance.
// Headless: it keeps the state a screen would show. A layout pass (`layoutIfNeeded`, or in a
// window the next turn of the main run loop) solves the constraints of the whole tree into frames
// (LayoutEngine, kept by the root view), then runs `layoutSubviews` on the views marked by
// `setNeedsLayout`, with their controllers' `viewWillLayoutSubviews` and `viewDidLayoutSubviews`
// around it. Views that use no constraints keep the frames code gives them.
// Main thread only.
class View : public Responder, public LayoutItem {
public:
    static constexpr double noIntrinsicMetric = -1;

    static std::shared_ptr<View> create(const Rect& frame = {});
    ~View() override;
    std::string className() const override { return "View"; }

    Layer& layer() const { return *m_layer; }
    const std::shared_ptr<Layer>& layerPointer() const { return m_layer; }

    // Geometry (the frame ignores the transform).
    Rect frame() const { return m_layer->frame(); }
    virtual void setFrame(const Rect& frame);
    Rect bounds() const { return m_layer->bounds(); }
    virtual void setBounds(const Rect& bounds);
    Point center() const { return m_layer->position(); }
    void setCenter(Point center);
    AffineTransform transform() const { return m_layer->transform().affine(); }
    void setTransform(const AffineTransform& transform);

    // Appearance.
    double alpha() const { return m_layer->opacity(); }
    void setAlpha(double alpha);
    bool isHidden() const { return m_layer->isHidden(); }
    virtual void setHidden(bool hidden);
    virtual std::optional<Color> backgroundColor() const { return m_layer->backgroundColor(); }
    virtual void setBackgroundColor(std::optional<Color> color);
    // The own tint colour, else the superview's, else the system tint.
    virtual Color tintColor() const;
    virtual void setTintColor(std::optional<Color> color);
    virtual void tintColorDidChange() {}
    int tag() const { return m_tag; }
    void setTag(int tag) {
        checkMainThread();
        m_tag = tag;
    }
    bool clipsToBounds() const { return m_layer->masksToBounds(); }
    void setClipsToBounds(bool clips) {
        checkMainThread();
        m_layer->setMasksToBounds(clips);
    }
    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    virtual void setUserInteractionEnabled(bool enabled) {
        checkMainThread();
        m_userInteractionEnabled = enabled;
    }
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool opaque) {
        checkMainThread();
        m_opaque = opaque;
    }
    virtual ContentMode contentMode() const { return m_contentMode; }
    virtual void setContentMode(ContentMode mode) {
        checkMainThread();
        m_contentMode = mode;
    }
    std::uint32_t autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(std::uint32_t mask);
    bool translatesAutoresizingMaskIntoConstraints() const { return m_translatesAutoresizing; }
    void setTranslatesAutoresizingMaskIntoConstraints(bool translates);
    const std::string& accessibilityIdentifier() const { return m_accessibilityIdentifier; }
    void setAccessibilityIdentifier(std::string identifier) {
        checkMainThread();
        m_accessibilityIdentifier = std::move(identifier);
    }
    const std::string& accessibilityLabel() const { return m_accessibilityLabel; }
    void setAccessibilityLabel(std::string label) {
        checkMainThread();
        m_accessibilityLabel = std::move(label);
    }
    virtual bool isAccessibilityElement() const { return m_accessibilityElement; }
    virtual void setIsAccessibilityElement(bool element) {
        checkMainThread();
        m_accessibilityElement = element;
    }
    SemanticContentAttribute semanticContentAttribute() const { return m_semanticContent; }
    void setSemanticContentAttribute(SemanticContentAttribute attribute);
    // The direction this view lays out in: leading is its right edge when right to left. A forced
    // attribute holds for the view and everything in it; playback and spatial for the view only.
    UserInterfaceLayoutDirection effectiveUserInterfaceLayoutDirection() const;
    bool isRightToLeft() const {
        return effectiveUserInterfaceLayoutDirection() == UserInterfaceLayoutDirection::rightToLeft;
    }
    UserInterfaceStyle overrideUserInterfaceStyle() const { return m_overrideStyle; }
    void setOverrideUserInterfaceStyle(UserInterfaceStyle style) {
        checkMainThread();
        m_overrideStyle = style;
    }

    // Hierarchy.
    std::shared_ptr<View> superview() const { return m_superview.lock(); }
    const std::vector<std::shared_ptr<View>>& subviews() const { return m_subviews; }
    virtual std::shared_ptr<Window> window() const;
    void addSubview(const std::shared_ptr<View>& view);
    void insertSubview(const std::shared_ptr<View>& view, size_t index);
    void insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const std::shared_ptr<View>& view);
    void sendSubviewToBack(const std::shared_ptr<View>& view);
    bool isDescendant(const View& ancestor) const;
    std::shared_ptr<View> viewWithTag(int tag);
    std::shared_ptr<View> nearestCommonAncestor(const View& other);

    virtual void willMoveToSuperview(const std::shared_ptr<View>& /*newSuperview*/) {}
    virtual void didMoveToSuperview() {}
    virtual void willMoveToWindow(const std::shared_ptr<Window>& /*newWindow*/) {}
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(const std::shared_ptr<View>& /*subview*/) {}
    virtual void willRemoveSubview(const std::shared_ptr<View>& /*subview*/) {}

    // Layout.
    void setNeedsLayout();
    bool needsLayout() const { return m_needsLayout; }
    void layoutIfNeeded();
    virtual void layoutSubviews();
    virtual Size sizeThatFits(Size size) const;
    void sizeToFit();
    virtual Size intrinsicContentSize() const { return {noIntrinsicMetric, noIntrinsicMetric}; }
    // The content changed size: the superview lays out again.
    void invalidateIntrinsicContentSize();
    int intrinsicContentSizeInvalidations() const { return m_intrinsicInvalidations; }
    EdgeInsets layoutMargins() const { return m_layoutMargins; }
    void setLayoutMargins(const EdgeInsets& margins);
    // The margins changed: a view that places content by them places it again.
    virtual void layoutMarginsDidChange() {}
    // Whether the margins are measured from the safe area's edges (the default) or the bounds'.
    bool insetsLayoutMarginsFromSafeArea() const { return m_insetsMarginsFromSafeArea; }
    void setInsetsLayoutMarginsFromSafeArea(bool insets);
    // The margins as measured from the bounds' edges.
    EdgeInsets layoutMarginsFromSafeArea() const;
    // The first and last baseline below the top edge, for baseline constraints; negative when the
    // view has none (its bottom edge stands in).
    virtual std::pair<double, double> layoutBaselines() const { return {-1, -1}; }
    // Given (a window or a test sets them) or inherited from the superview's, where they overlap.
    EdgeInsets safeAreaInsets() const;
    void setSafeAreaInsets(std::optional<EdgeInsets> insets);
    // Added to the inherited or given insets: what a container's own bars cover (a navigation bar).
    EdgeInsets additionalSafeAreaInsets() const { return m_additionalSafeArea; }
    void setAdditionalSafeAreaInsets(const EdgeInsets& insets);
    std::shared_ptr<LayoutGuide> safeAreaLayoutGuide();
    std::shared_ptr<LayoutGuide> layoutMarginsGuide();
    // The layout margins narrowed to a comfortable line length, centred.
    std::shared_ptr<LayoutGuide> readableContentGuide();
    float contentHuggingPriority(LayoutAxis axis) const;
    void setContentHuggingPriority(float priority, LayoutAxis axis);
    float contentCompressionResistancePriority(LayoutAxis axis) const;
    void setContentCompressionResistancePriority(float priority, LayoutAxis axis);

    // Constraints installed on this view.
    const std::vector<std::shared_ptr<LayoutConstraint>>& constraints() const { return m_constraints; }
    void addConstraint(const std::shared_ptr<LayoutConstraint>& constraint);
    void addConstraints(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints);
    void removeConstraint(const std::shared_ptr<LayoutConstraint>& constraint);
    void removeConstraints(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints);
    std::shared_ptr<View> owningViewForLayout() const override;
    std::string layoutItemName() const override;
    virtual std::shared_ptr<View> forBaselineLayout() { return sharedAs<View>(); }
    virtual std::shared_ptr<View> forLastBaselineLayout() { return sharedAs<View>(); }

    // Drawing: `draw` records into the current graphics context when the view is displayed.
    void setNeedsDisplay();
    bool needsDisplay() const { return m_needsDisplay; }
    virtual void draw(const Rect& rect);
    // Runs `draw` into a recording context of the bounds' size when the view needs display.
    void displayIfNeeded();
    const std::vector<DrawingOperation>& lastDrawing() const { return m_lastDrawing; }
    // The bounds' size the last drawing was made for.
    Size lastDrawingSize() const { return m_lastDrawingSize; }

    // Traits.
    TraitCollection traitCollection() const;
    virtual void traitCollectionDidChange(const TraitCollection& /*previous*/) {}

    // Coordinates (transforms ignored).
    Point convertToWindow(Point point) const;
    Point convertFromWindow(Point point) const;
    Point convert(Point point, const View* to) const;
    Rect convert(const Rect& rect, const View* to) const;

    // Hit testing.
    virtual std::shared_ptr<View> hitTest(Point point);
    virtual bool pointInside(Point point) const { return bounds().contains(point); }

    // Gesture recognisers.
    void addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    void removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return m_gestureRecognizers; }

    // Responder chain: the controller of a root view, else the superview.
    std::shared_ptr<Responder> next() const override;
    std::shared_ptr<ViewController> viewController() const { return m_viewController.lock(); }
    void setViewController(const std::shared_ptr<ViewController>& controller) {
        checkMainThread();
        m_viewController = controller;
    }

    // Animations on the main run loop's clock. Changes of frame, bounds, centre, transform, alpha
    // and background colour made in `animations` take effect at once and are animated on the
    // layers; `completion` runs when they end (finished = false when one was removed), or after
    // delay + duration when nothing changed.
    static void animate(double duration, const std::function<void()>& animations,
                        std::function<void(bool)> completion = {});
    static void animate(double duration, double delay, std::uint32_t options, const std::function<void()>& animations,
                        std::function<void(bool)> completion = {});
    static void animateSpring(double duration, double delay, double dampingRatio, double velocity,
                              std::uint32_t options, const std::function<void()>& animations,
                              std::function<void(bool)> completion = {});
    // A transition of the whole view (cross-dissolve, flips): the changes apply at once and a
    // "transition" animation runs on the view's layer.
    static void transition(const std::shared_ptr<View>& view, double duration, std::uint32_t options,
                           const std::function<void()>& animations, std::function<void(bool)> completion = {});
    static void performWithoutAnimation(const std::function<void()>& actions);
    static bool areAnimationsEnabled();
    static void setAnimationsEnabled(bool enabled);

protected:
    explicit View(const Rect& frame = {}, std::shared_ptr<Layer> layer = nullptr);
    std::shared_ptr<LayoutItem> layoutItemPointer() override;

    // Runs `visit` on this view and every descendant, parents first.
    void forEachInTree(const std::function<void(View&)>& visit);

private:
    friend class Window;
    void changeAnimatable(const std::string& keyPath, const std::function<void()>& change);
    void notifyTintChange();
    void resizeSubviews(Size oldSize);
    // The pass below `layoutIfNeeded`: controllers' callbacks around `layoutSubviews`, top down.
    void layoutPass();
    bool subtreeNeedsLayout() const;
    // Solves the constraints of this view's tree (at its root) if anything changed.
    void updateLayoutEngine();
    void moveToWindow(const std::shared_ptr<Window>& oldWindow, const std::shared_ptr<Window>& newWindow, bool after);

    std::shared_ptr<Layer> m_layer;
    std::weak_ptr<View> m_superview;
    std::vector<std::shared_ptr<View>> m_subviews;
    std::weak_ptr<ViewController> m_viewController;
    std::optional<Color> m_tintColor;
    int m_tag = 0;
    bool m_userInteractionEnabled = true;
    bool m_opaque = true;
    ContentMode m_contentMode = ContentMode::scaleToFill;
    std::uint32_t m_autoresizingMask = autoresizingNone;
    bool m_translatesAutoresizing = true;
    std::string m_accessibilityIdentifier;
    std::string m_accessibilityLabel;
    bool m_accessibilityElement = false;
    UserInterfaceStyle m_overrideStyle = UserInterfaceStyle::unspecified;
    SemanticContentAttribute m_semanticContent = SemanticContentAttribute::unspecified;
    bool m_needsLayout = true;
    bool m_needsDisplay = true;
    int m_intrinsicInvalidations = 0;
    EdgeInsets m_layoutMargins{8, 8, 8, 8};
    std::optional<EdgeInsets> m_safeAreaInsets;
    EdgeInsets m_additionalSafeArea;
    std::shared_ptr<LayoutGuide> m_safeAreaGuide;
    std::shared_ptr<LayoutGuide> m_marginsGuide;
    std::shared_ptr<LayoutGuide> m_readableGuide;
    bool m_insetsMarginsFromSafeArea = true;
    std::unique_ptr<LayoutEngine> m_layoutEngine;  // on a root view that was laid out
    float m_hugging[2] = {LayoutPriority::defaultLow, LayoutPriority::defaultLow};
    float m_compression[2] = {LayoutPriority::defaultHigh, LayoutPriority::defaultHigh};
    std::vector<std::shared_ptr<LayoutConstraint>> m_constraints;
    std::vector<std::shared_ptr<GestureRecognizer>> m_gestureRecognizers;
    std::vector<DrawingOperation> m_lastDrawing;
    Size m_lastDrawingSize;
};

}  // namespace ui
