#include "platform/ui/views/view.h"

#include <algorithm>

#include "platform/ui/animation/view_animation_context.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/layout/layout_engine.h"
#include "platform/ui/views/graphics_context.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

std::shared_ptr<View> View::create(const Rect& frame) { return make<View>(frame); }

View::View(const Rect& frame, std::shared_ptr<Layer> layer) : m_layer(layer ? std::move(layer) : Layer::create()) {
    m_layer->setFrame(frame);
}

View::~View() = default;

void View::changeAnimatable(const std::string& keyPath, const std::function<void()>& change) {
    auto before = m_layer->presentationValue(keyPath);
    auto model = m_layer->modelValue(keyPath);
    change();
    if (auto context = ViewAnimationContext::current()) {
        auto after = m_layer->modelValue(keyPath);
        if (model && after && !(*model == *after)) context->record(*m_layer, keyPath, *model, *before, *after);
    }
}

void View::setFrame(const Rect& frame) {
    checkMainThread();
    LayoutEngine::noteChange();
    const Size oldSize = bounds().size;
    changeAnimatable("position", [&] { changeAnimatable("bounds", [&] { m_layer->setFrame(frame); }); });
    if (!(oldSize == bounds().size)) {
        setNeedsLayout();
        resizeSubviews(oldSize);
    }
}

void View::setBounds(const Rect& bounds) {
    checkMainThread();
    const Size oldSize = this->bounds().size;
    changeAnimatable("bounds", [&] { m_layer->setBounds(bounds); });
    if (!(oldSize == bounds.size)) {
        LayoutEngine::noteChange();  // scrolling (the origin) moves nothing the engine places
        setNeedsLayout();
        resizeSubviews(oldSize);
    }
}

void View::setCenter(Point center) {
    checkMainThread();
    LayoutEngine::noteChange();
    changeAnimatable("position", [&] { m_layer->setPosition(center); });
}

void View::setTransform(const AffineTransform& transform) {
    checkMainThread();
    changeAnimatable("transform", [&] { m_layer->setTransform(Transform3D::fromAffine(transform)); });
}

void View::setAlpha(double alpha) {
    checkMainThread();
    changeAnimatable("opacity", [&] { m_layer->setOpacity(alpha); });
}

void View::setBackgroundColor(std::optional<Color> color) {
    checkMainThread();
    changeAnimatable("backgroundColor", [&] { m_layer->setBackgroundColor(std::move(color)); });
}

Color View::tintColor() const {
    if (m_tintColor) return *m_tintColor;
    if (auto parent = superview()) return parent->tintColor();
    return Color::systemBlue();
}

void View::setTintColor(std::optional<Color> color) {
    checkMainThread();
    const Color before = tintColor();
    m_tintColor = std::move(color);
    if (!(before == tintColor())) notifyTintChange();
}

void View::notifyTintChange() {
    tintColorDidChange();
    for (const auto& child : m_subviews) {
        if (!child->m_tintColor) child->notifyTintChange();
    }
}

std::shared_ptr<Window> View::window() const {
    auto parent = superview();
    return parent ? parent->window() : nullptr;
}

void View::moveToWindow(const std::shared_ptr<Window>& oldWindow, const std::shared_ptr<Window>& newWindow,
                        bool after) {
    if (oldWindow == newWindow) return;
    forEachInTree([&](View& view) {
        if (after) {
            view.didMoveToWindow();
        } else {
            view.willMoveToWindow(newWindow);
        }
    });
}

void View::addSubview(const std::shared_ptr<View>& view) {
    checkMainThread();
    insertSubview(view, m_subviews.size());
}

void View::insertSubview(const std::shared_ptr<View>& view, size_t index) {
    checkMainThread();
    LayoutEngine::noteChange();
    if (!view || view.get() == this) return;
    auto self = sharedAs<View>();
    auto keep = view;
    if (view->superview() == self) {
        auto& list = m_subviews;
        auto it = std::find(list.begin(), list.end(), view);
        const size_t current = static_cast<size_t>(it - list.begin());
        list.erase(it);
        if (index > current) --index;
        index = std::min(index, list.size());
        list.insert(list.begin() + static_cast<long>(index), view);
        m_layer->insertSublayer(view->m_layer, index);
        return;
    }
    const auto oldWindow = view->window();
    const auto newWindow = window();
    const Color tintBefore = view->tintColor();
    view->willMoveToSuperview(self);
    view->m_layoutEngine.reset();  // no longer a root: the new root's engine takes its constraints
    view->moveToWindow(oldWindow, newWindow, false);
    if (auto old = view->superview()) {
        old->willRemoveSubview(view);
        auto& siblings = old->m_subviews;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), view), siblings.end());
    }
    index = std::min(index, m_subviews.size());
    m_subviews.insert(m_subviews.begin() + static_cast<long>(index), view);
    view->m_superview = self;
    m_layer->insertSublayer(view->m_layer, index);
    view->setNeedsLayout();
    didAddSubview(view);
    view->didMoveToSuperview();
    // A view that inherits its tint sees the new superview's.
    if (!view->m_tintColor && !(tintBefore == view->tintColor())) view->notifyTintChange();
    view->moveToWindow(oldWindow, newWindow, true);
    setNeedsLayout();
}

void View::insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    checkMainThread();
    const auto it = std::find(m_subviews.begin(), m_subviews.end(), sibling);
    insertSubview(view, it == m_subviews.end() ? 0 : static_cast<size_t>(it - m_subviews.begin()));
}

void View::insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    checkMainThread();
    const auto it = std::find(m_subviews.begin(), m_subviews.end(), sibling);
    insertSubview(view, it == m_subviews.end() ? m_subviews.size() : static_cast<size_t>(it - m_subviews.begin()) + 1);
}

void View::removeFromSuperview() {
    checkMainThread();
    LayoutEngine::noteChange();
    auto parent = superview();
    if (!parent) return;
    auto self = sharedAs<View>();
    const auto oldWindow = window();
    willMoveToSuperview(nullptr);
    moveToWindow(oldWindow, nullptr, false);
    parent->willRemoveSubview(self);
    auto& siblings = parent->m_subviews;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
    m_superview.reset();
    m_layer->removeFromSuperlayer();
    // Constraints between this subtree and the rest go with it.
    for (View* v = parent.get(); v; v = v->superview().get()) {
        auto installed = v->m_constraints;
        for (const auto& c : installed) {
            auto first = c->firstItem();
            auto second = c->secondItem();
            auto touches = [&](const std::shared_ptr<LayoutItem>& item) {
                auto owner = item ? item->owningViewForLayout() : nullptr;
                return owner && (owner == self || owner->isDescendant(*this));
            };
            if (touches(first) || touches(second)) v->removeConstraint(c);
        }
    }
    didMoveToSuperview();
    moveToWindow(oldWindow, nullptr, true);
    parent->setNeedsLayout();
}

void View::bringSubviewToFront(const std::shared_ptr<View>& view) {
    checkMainThread();
    if (view && view->superview().get() == this) insertSubview(view, m_subviews.size());
}

void View::sendSubviewToBack(const std::shared_ptr<View>& view) {
    checkMainThread();
    if (view && view->superview().get() == this) insertSubview(view, 0);
}

bool View::isDescendant(const View& ancestor) const {
    for (const View* v = this; v; v = v->superview().get()) {
        if (v == &ancestor) return true;
    }
    return false;
}

std::shared_ptr<View> View::viewWithTag(int tag) {
    checkMainThread();
    if (m_tag == tag) return sharedAs<View>();
    for (const auto& child : m_subviews) {
        if (auto found = child->viewWithTag(tag)) return found;
    }
    return nullptr;
}

std::shared_ptr<View> View::nearestCommonAncestor(const View& other) {
    checkMainThread();
    for (auto v = sharedAs<View>(); v; v = v->superview()) {
        if (other.isDescendant(*v)) return v;
    }
    return nullptr;
}

void View::forEachInTree(const std::function<void(View&)>& visit) {
    visit(*this);
    const auto children = m_subviews;
    for (const auto& child : children) child->forEachInTree(visit);
}

void View::setNeedsLayout() {
    checkMainThread();
    m_needsLayout = true;
    if (auto w = window()) w->scheduleLayoutPass();
}

void View::layoutIfNeeded() {
    checkMainThread();
    // A pass can make views ask again: a wrapping label learns its width only from the pass and
    // then asks for the height its text takes there. A few rounds settle that; a layout that
    // keeps asking stops after the last round instead of spinning.
    constexpr int rounds = 4;
    for (int round = 0; round < rounds; ++round) {
        updateLayoutEngine();
        layoutPass();
        if (!subtreeNeedsLayout()) break;
    }
}

bool View::subtreeNeedsLayout() const {
    if (m_needsLayout) return true;
    for (const auto& child : m_subviews)
        if (child->subtreeNeedsLayout()) return true;
    return false;
}

void View::updateLayoutEngine() {
    View* root = this;
    for (auto parent = superview(); parent; parent = parent->superview()) root = parent.get();
    if (!root->m_layoutEngine) root->m_layoutEngine = std::make_unique<LayoutEngine>();
    root->m_layoutEngine->update(*root);
}

void View::layoutPass() {
    if (m_needsLayout) {
        m_needsLayout = false;
        const auto controller = viewController();
        if (controller) controller->viewWillLayoutSubviews();
        // What the controller changed just now takes effect in this pass.
        updateLayoutEngine();
        layoutSubviews();
        if (controller) controller->viewDidLayoutSubviews();
    }
    const auto children = m_subviews;
    for (const auto& child : children) child->layoutPass();
}

void View::layoutSubviews() { checkMainThread(); }

void View::setHidden(bool hidden) {
    checkMainThread();
    if (hidden == isHidden()) return;
    m_layer->setHidden(hidden);
    // A stack closes the gap of a hidden view.
    LayoutEngine::noteChange();
    if (auto parent = superview()) parent->setNeedsLayout();
}

void View::setAutoresizingMask(std::uint32_t mask) {
    checkMainThread();
    m_autoresizingMask = mask;
    LayoutEngine::noteChange();
}

void View::setTranslatesAutoresizingMaskIntoConstraints(bool translates) {
    checkMainThread();
    if (translates == m_translatesAutoresizing) return;
    m_translatesAutoresizing = translates;
    LayoutEngine::noteChange();
    setNeedsLayout();
}

void View::invalidateIntrinsicContentSize() {
    checkMainThread();
    ++m_intrinsicInvalidations;
    // The superview's pass re-solves; the view itself lays out again only if its size changes
    // (views invalidate from their own layoutSubviews).
    LayoutEngine::noteChange();
    if (auto parent = superview()) parent->setNeedsLayout();
}

void View::setLayoutMargins(const EdgeInsets& margins) {
    checkMainThread();
    // Unchanged margins ask for no pass: a controller that sets them in viewDidLayoutSubviews
    // would otherwise schedule passes for ever.
    if (margins == m_layoutMargins) return;
    m_layoutMargins = margins;
    LayoutEngine::noteChange();
    setNeedsLayout();
    layoutMarginsDidChange();
}

void View::setInsetsLayoutMarginsFromSafeArea(bool insets) {
    checkMainThread();
    m_insetsMarginsFromSafeArea = insets;
    LayoutEngine::noteChange();
    setNeedsLayout();
}

EdgeInsets View::layoutMarginsFromSafeArea() const {
    if (!m_insetsMarginsFromSafeArea) return m_layoutMargins;
    const EdgeInsets safe = safeAreaInsets();
    return {m_layoutMargins.top + safe.top, m_layoutMargins.left + safe.left, m_layoutMargins.bottom + safe.bottom,
            m_layoutMargins.right + safe.right};
}

Size View::sizeThatFits(Size) const { return bounds().size; }

void View::sizeToFit() {
    checkMainThread();
    const Size fitted = sizeThatFits(bounds().size);
    Rect f = frame();
    f.size = fitted;
    setFrame(f);
}

void View::resizeSubviews(Size oldSize) {
    const double dw = bounds().size.width - oldSize.width;
    const double dh = bounds().size.height - oldSize.height;
    for (const auto& child : m_subviews) {
        const auto mask = child->m_autoresizingMask;
        if (mask == autoresizingNone) continue;
        Rect f = child->frame();
        auto share = [](bool low, bool size, bool high, double delta, double& origin, double& extent) {
            const int parts = int(low) + int(size) + int(high);
            if (parts == 0) return;
            const double each = delta / parts;
            if (low) origin += each;
            if (size) extent += each;
        };
        share(mask & flexibleLeftMargin, mask & flexibleWidth, mask & flexibleRightMargin, dw, f.origin.x,
              f.size.width);
        share(mask & flexibleTopMargin, mask & flexibleHeight, mask & flexibleBottomMargin, dh, f.origin.y,
              f.size.height);
        child->setFrame(f);
    }
}

EdgeInsets View::safeAreaInsets() const {
    EdgeInsets own;
    if (m_safeAreaInsets) {
        own = *m_safeAreaInsets;
    } else if (auto parent = superview()) {
        const EdgeInsets outer = parent->safeAreaInsets();
        const Rect f = frame();
        const Rect pb = parent->bounds();
        own = {std::max(0.0, outer.top - (f.minY() - pb.minY())), std::max(0.0, outer.left - (f.minX() - pb.minX())),
               std::max(0.0, outer.bottom - (pb.maxY() - f.maxY())),
               std::max(0.0, outer.right - (pb.maxX() - f.maxX()))};
    }
    const EdgeInsets& more = m_additionalSafeArea;
    return {own.top + more.top, own.left + more.left, own.bottom + more.bottom, own.right + more.right};
}

void View::setAdditionalSafeAreaInsets(const EdgeInsets& insets) {
    checkMainThread();
    if (insets.top == m_additionalSafeArea.top && insets.left == m_additionalSafeArea.left &&
        insets.bottom == m_additionalSafeArea.bottom && insets.right == m_additionalSafeArea.right)
        return;
    LayoutEngine::noteChange();
    m_additionalSafeArea = insets;
    setNeedsLayout();
}

void View::setSafeAreaInsets(std::optional<EdgeInsets> insets) {
    checkMainThread();
    LayoutEngine::noteChange();
    m_safeAreaInsets = insets;
    setNeedsLayout();
}

std::shared_ptr<LayoutGuide> View::safeAreaLayoutGuide() {
    checkMainThread();
    if (!m_safeAreaGuide) {
        m_safeAreaGuide = LayoutGuide::create("safeAreaLayoutGuide");
        m_safeAreaGuide->setOwningView(sharedAs<View>());
    }
    return m_safeAreaGuide;
}

std::shared_ptr<LayoutGuide> View::readableContentGuide() {
    checkMainThread();
    if (!m_readableGuide) {
        m_readableGuide = LayoutGuide::create("readableContentGuide");
        m_readableGuide->setOwningView(sharedAs<View>());
    }
    return m_readableGuide;
}

std::shared_ptr<LayoutGuide> View::layoutMarginsGuide() {
    checkMainThread();
    if (!m_marginsGuide) {
        m_marginsGuide = LayoutGuide::create("layoutMarginsGuide");
        m_marginsGuide->setOwningView(sharedAs<View>());
    }
    return m_marginsGuide;
}

float View::contentHuggingPriority(LayoutAxis axis) const { return m_hugging[static_cast<int>(axis)]; }
void View::setContentHuggingPriority(float priority, LayoutAxis axis) {
    checkMainThread();
    LayoutEngine::noteChange();
    m_hugging[static_cast<int>(axis)] = priority;
}
float View::contentCompressionResistancePriority(LayoutAxis axis) const {
    return m_compression[static_cast<int>(axis)];
}
void View::setContentCompressionResistancePriority(float priority, LayoutAxis axis) {
    checkMainThread();
    LayoutEngine::noteChange();
    m_compression[static_cast<int>(axis)] = priority;
}

void View::addConstraint(const std::shared_ptr<LayoutConstraint>& constraint) {
    checkMainThread();
    LayoutEngine::noteChange();
    if (!constraint) return;
    if (auto owner = constraint->owningView(); owner && owner.get() != this) owner->removeConstraint(constraint);
    if (std::find(m_constraints.begin(), m_constraints.end(), constraint) != m_constraints.end()) return;
    m_constraints.push_back(constraint);
    constraint->m_owner = sharedAs<View>();
    setNeedsLayout();
}

void View::addConstraints(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints) {
    checkMainThread();
    for (const auto& c : constraints) addConstraint(c);
}

void View::removeConstraint(const std::shared_ptr<LayoutConstraint>& given) {
    checkMainThread();
    LayoutEngine::noteChange();
    const auto constraint = given;  // `given` may be an element of the list erased below
    const auto it = std::find(m_constraints.begin(), m_constraints.end(), constraint);
    if (it == m_constraints.end()) return;
    m_constraints.erase(it);
    constraint->m_owner.reset();
}

void View::removeConstraints(const std::vector<std::shared_ptr<LayoutConstraint>>& given) {
    checkMainThread();
    const auto constraints = given;  // `given` may be this view's own list
    for (const auto& c : constraints) removeConstraint(c);
}

std::shared_ptr<LayoutItem> View::layoutItemPointer() { return sharedAs<View>(); }

std::shared_ptr<View> View::owningViewForLayout() const { return std::const_pointer_cast<View>(sharedAs<View>()); }

std::string View::layoutItemName() const {
    return m_accessibilityIdentifier.empty() ? className() : m_accessibilityIdentifier;
}

void View::setNeedsDisplay() {
    checkMainThread();
    m_needsDisplay = true;
    m_layer->setNeedsDisplay();
}

void View::draw(const Rect&) { checkMainThread(); }

void View::displayIfNeeded() {
    checkMainThread();
    if (!m_needsDisplay) return;
    m_needsDisplay = false;
    auto context = GraphicsContext::createRecording(bounds().size);
    GraphicsContext::push(context);
    draw(bounds());
    GraphicsContext::pop();
    m_lastDrawing = context->operations();
    m_lastDrawingSize = bounds().size;
}

TraitCollection View::traitCollection() const {
    TraitCollection traits;
    if (auto w = window()) traits = w->windowTraitCollection();
    for (const View* v = this; v; v = v->superview().get()) {
        if (v->m_overrideStyle != UserInterfaceStyle::unspecified) {
            traits.userInterfaceStyle = v->m_overrideStyle;
            break;
        }
    }
    for (const View* v = this; v; v = v->superview().get()) {
        if (v->m_semanticContent == SemanticContentAttribute::forceLeftToRight ||
            v->m_semanticContent == SemanticContentAttribute::forceRightToLeft) {
            traits.layoutDirection = v->m_semanticContent == SemanticContentAttribute::forceRightToLeft
                                         ? TraitEnvironmentLayoutDirection::rightToLeft
                                         : TraitEnvironmentLayoutDirection::leftToRight;
            break;
        }
    }
    return traits;
}

void View::setSemanticContentAttribute(SemanticContentAttribute attribute) {
    checkMainThread();
    if (attribute == m_semanticContent) return;
    m_semanticContent = attribute;
    LayoutEngine::noteChange();
    setNeedsLayout();
}

UserInterfaceLayoutDirection View::effectiveUserInterfaceLayoutDirection() const {
    if (m_semanticContent == SemanticContentAttribute::playback ||
        m_semanticContent == SemanticContentAttribute::spatial)
        return UserInterfaceLayoutDirection::leftToRight;
    return traitCollection().effectiveLayoutDirection();
}

Point View::convertToWindow(Point point) const {
    Point p = point;
    for (const View* v = this; v; v = v->superview().get()) {
        if (v->superview() == nullptr) break;  // the root's own coordinates are the window's
        const Rect f = v->frame();
        const Rect b = v->bounds();
        p = {p.x - b.origin.x + f.origin.x, p.y - b.origin.y + f.origin.y};
    }
    return p;
}

Point View::convertFromWindow(Point point) const {
    const Point origin = convertToWindow({0, 0});
    return {point.x - origin.x, point.y - origin.y};
}

Point View::convert(Point point, const View* to) const {
    const Point inWindow = convertToWindow(point);
    return to ? to->convertFromWindow(inWindow) : inWindow;
}

Rect View::convert(const Rect& rect, const View* to) const { return Rect(convert(rect.origin, to), rect.size); }

std::shared_ptr<View> View::hitTest(Point point) {
    checkMainThread();
    if (isHidden() || !m_userInteractionEnabled || alpha() < 0.01 || !pointInside(point)) return nullptr;
    for (auto it = m_subviews.rbegin(); it != m_subviews.rend(); ++it) {
        const auto& child = *it;
        const Rect f = child->frame();
        const Rect b = child->bounds();
        const Point inChild{point.x - f.origin.x + b.origin.x, point.y - f.origin.y + b.origin.y};
        if (auto hit = child->hitTest(inChild)) return hit;
    }
    return sharedAs<View>();
}

void View::addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    checkMainThread();
    if (!recognizer) return;
    if (auto old = recognizer->view(); old && old.get() != this) old->removeGestureRecognizer(recognizer);
    if (std::find(m_gestureRecognizers.begin(), m_gestureRecognizers.end(), recognizer) != m_gestureRecognizers.end())
        return;
    m_gestureRecognizers.push_back(recognizer);
    recognizer->setView(sharedAs<View>());
}

void View::removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& given) {
    checkMainThread();
    const auto recognizer = given;  // `given` may be an element of the list erased below
    const auto it = std::find(m_gestureRecognizers.begin(), m_gestureRecognizers.end(), recognizer);
    if (it == m_gestureRecognizers.end()) return;
    m_gestureRecognizers.erase(it);
    recognizer->setView(nullptr);
}

std::shared_ptr<Responder> View::next() const {
    if (auto controller = viewController()) return controller;
    return superview();
}

}  // namespace ui
