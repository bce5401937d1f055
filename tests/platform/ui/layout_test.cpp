#include <gtest/gtest.h>

#include "platform/base/fatal.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

TEST(VisualFormatTest, ReadsGapsPredicatesPrioritiesAndEdges) {
    auto parent = View::create();
    auto label = View::create();
    auto detail = View::create();
    parent->addSubview(label);
    parent->addSubview(detail);
    const auto horizontal = LayoutConstraint::constraintsWithVisualFormat(
        "H:|-(padding@750)-[label(>=0)]-(padding@750)-|", {{"padding", 23}}, {{"label", label}});
    ASSERT_EQ(horizontal.size(), 3u);
    EXPECT_EQ(horizontal[0]->firstAttribute(), LayoutAttribute::width);
    EXPECT_EQ(horizontal[0]->relation(), LayoutRelation::greaterThanOrEqual);
    EXPECT_EQ(horizontal[1]->firstItem(), std::shared_ptr<LayoutItem>(label));
    EXPECT_EQ(horizontal[1]->firstAttribute(), LayoutAttribute::leading);
    EXPECT_EQ(horizontal[1]->secondItem(), std::shared_ptr<LayoutItem>(parent));
    EXPECT_EQ(horizontal[1]->constant(), 23);
    EXPECT_EQ(horizontal[1]->priority(), 750);
    EXPECT_EQ(horizontal[2]->firstItem(), std::shared_ptr<LayoutItem>(parent));
    EXPECT_EQ(horizontal[2]->firstAttribute(), LayoutAttribute::trailing);
    const auto vertical = LayoutConstraint::constraintsWithVisualFormat("V:|[label]-(5@750)-[detail]-|", {},
                                                                        {{"label", label}, {"detail", detail}});
    ASSERT_EQ(vertical.size(), 3u);
    EXPECT_EQ(vertical[0]->firstAttribute(), LayoutAttribute::top);
    EXPECT_EQ(vertical[0]->constant(), 0);
    EXPECT_EQ(vertical[1]->firstItem(), std::shared_ptr<LayoutItem>(detail));
    EXPECT_EQ(vertical[1]->secondAttribute(), LayoutAttribute::bottom);
    EXPECT_EQ(vertical[1]->constant(), 5);
    EXPECT_EQ(vertical[2]->constant(), 20);  // the standard gap to the superview
    EXPECT_EQ(vertical[2]->visualFormat(), "V:|[label]-(5@750)-[detail]-|");
}

TEST(VisualFormatTest, UnreadableFormatsAreFatal) {
    base::ScopedFatalThrows throws;
    auto view = View::create();
    EXPECT_THROW(LayoutConstraint::constraintsWithVisualFormat("H:|[missing]|", {}, {{"view", view}}),
                 base::FatalError);
    EXPECT_THROW(LayoutConstraint::constraintsWithVisualFormat("H:|[view", {}, {{"view", view}}), base::FatalError);
    EXPECT_THROW(LayoutConstraint::constraintsWithVisualFormat("H:|-(gap)-[view]|", {}, {{"view", view}}),
                 base::FatalError);
}

TEST(ConstraintTest, ActivationInstallsOnTheCommonAncestorAndRemovalTakesThemAway) {
    auto root = View::create();
    auto a = View::create();
    auto b = View::create();
    auto inner = View::create();
    root->addSubview(a);
    root->addSubview(b);
    a->addSubview(inner);
    auto constraint = inner->leadingAnchor().constraint(b->trailingAnchor(), 8);
    EXPECT_FALSE(constraint->isActive());
    constraint->setActive(true);
    EXPECT_EQ(constraint->owningView(), root);
    auto width = inner->widthAnchor().constraintEqualToConstant(40);
    width->setActive(true);
    EXPECT_EQ(width->owningView(), inner);
    a->removeFromSuperview();
    EXPECT_FALSE(constraint->isActive());
    EXPECT_TRUE(width->isActive());
    base::ScopedFatalThrows throws;
    auto stranger = View::create();
    EXPECT_THROW(stranger->topAnchor().constraint(root->topAnchor())->setActive(true), base::FatalError);
}

TEST(ViewTest, SafeAreaComesFromTheWindowWhereViewsOverlapIt) {
    auto window = Window::create(Rect(0, 0, 390, 844));
    window->setSafeAreaInsets(EdgeInsets{47, 0, 34, 0});
    auto full = View::create(Rect(0, 0, 390, 844));
    auto middle = View::create(Rect(0, 100, 390, 600));
    auto nearTop = View::create(Rect(0, 20, 390, 100));
    window->addSubview(full);
    window->addSubview(middle);
    full->addSubview(nearTop);
    EXPECT_EQ(full->safeAreaInsets(), (EdgeInsets{47, 0, 34, 0}));
    EXPECT_EQ(middle->safeAreaInsets(), (EdgeInsets{0, 0, 0, 0}));
    EXPECT_EQ(nearTop->safeAreaInsets(), (EdgeInsets{27, 0, 0, 0}));
}

class Counting : public View {
public:
    static std::shared_ptr<Counting> create() { return make<Counting>(Rect(0, 0, 10, 10)); }
    void layoutSubviews() override { ++layouts; }
    void didMoveToWindow() override { windowChanges.push_back(window() != nullptr); }
    void traitCollectionDidChange(const TraitCollection& previous) override {
        previousStyles.push_back(previous.userInterfaceStyle);
    }
    int layouts = 0;
    std::vector<bool> windowChanges;
    std::vector<UserInterfaceStyle> previousStyles;

protected:
    using View::View;
};

TEST(ViewTest, LayoutRunsOnceOnTheNextTurnOrWhenAsked) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 100, 100));
    auto view = Counting::create();
    window->addSubview(view);
    EXPECT_EQ(view->windowChanges, std::vector<bool>{true});
    loop.runUntilIdle();
    EXPECT_EQ(view->layouts, 1);
    view->setNeedsLayout();
    view->setNeedsLayout();
    loop.runUntilIdle();
    EXPECT_EQ(view->layouts, 2);
    view->setFrame(Rect(0, 0, 20, 20));
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 3);
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 3);
    view->removeFromSuperview();
    EXPECT_EQ(view->windowChanges, (std::vector<bool>{true, false}));
}

TEST(ViewTest, TraitChangesReachEveryViewWithThePreviousTraits) {
    auto window = Window::create(Rect(0, 0, 100, 100));
    auto view = Counting::create();
    window->addSubview(view);
    TraitCollection light = window->windowTraitCollection();
    light.userInterfaceStyle = UserInterfaceStyle::light;
    window->setTraitCollection(light);
    window->setTraitCollection(light);
    EXPECT_EQ(view->previousStyles, std::vector<UserInterfaceStyle>{UserInterfaceStyle::dark});
    EXPECT_EQ(view->traitCollection().userInterfaceStyle, UserInterfaceStyle::light);
    view->setOverrideUserInterfaceStyle(UserInterfaceStyle::dark);
    EXPECT_EQ(view->traitCollection().userInterfaceStyle, UserInterfaceStyle::dark);
}

TEST(ViewTest, HitTestingSkipsHiddenAndNonInteractiveViewsAndConvertsPoints) {
    auto root = View::create(Rect(0, 0, 200, 200));
    auto panel = View::create(Rect(50, 50, 100, 100));
    auto button = View::create(Rect(10, 10, 20, 20));
    root->addSubview(panel);
    panel->addSubview(button);
    EXPECT_EQ(root->hitTest({65, 65}), button);
    EXPECT_EQ(button->convert(Point{0, 0}, root.get()), (Point{60, 60}));
    button->setHidden(true);
    EXPECT_EQ(root->hitTest({65, 65}), panel);
    panel->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({65, 65}), root);
    EXPECT_EQ(root->hitTest({250, 10}), nullptr);
}

TEST(ViewTest, TintIsInheritedUntilSetAndChangesAreHeard) {
    class Tinted : public View {
    public:
        static std::shared_ptr<Tinted> create() { return make<Tinted>(); }
        void tintColorDidChange() override { ++changes; }
        int changes = 0;
    };
    auto parent = View::create();
    auto child = Tinted::create();
    parent->addSubview(child);
    EXPECT_EQ(child->tintColor(), Color::systemBlue());
    parent->setTintColor(Color::white());
    EXPECT_EQ(child->tintColor(), Color::white());
    EXPECT_EQ(child->changes, 1);
    child->setTintColor(Color::redColor());
    parent->setTintColor(Color::black());
    EXPECT_EQ(child->changes, 2);
}

TEST(StackViewTest, ArrangedViewsLeaveWithTheirSuperview) {
    auto a = View::create();
    auto b = View::create();
    auto stack = StackView::create({a, b});
    stack->setCustomSpacing(12, a);
    EXPECT_EQ(stack->customSpacing(a), 12);
    EXPECT_EQ(stack->customSpacing(b), StackView::useDefaultSpacing);
    stack->removeArrangedSubview(a);
    EXPECT_EQ(a->superview(), stack);  // still a subview
    b->removeFromSuperview();
    EXPECT_TRUE(stack->arrangedSubviews().empty());
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST(ViewTest, RemovingAViewsOwnListsEmptiesThem) {
    auto parent = View::create();
    auto child = View::create();
    parent->addSubview(child);
    parent->addConstraints(LayoutConstraint::constraintsWithVisualFormat("H:|-[child]-|", {}, {{"child", child}}));
    ASSERT_EQ(parent->constraints().size(), 2u);
    parent->removeConstraints(parent->constraints());
    EXPECT_TRUE(parent->constraints().empty());
    child->addGestureRecognizer(TapGestureRecognizer::create());
    child->addGestureRecognizer(TapGestureRecognizer::create());
    child->removeGestureRecognizer(child->gestureRecognizers().front());
    EXPECT_EQ(child->gestureRecognizers().size(), 1u);
}

}  // namespace
}  // namespace ui
