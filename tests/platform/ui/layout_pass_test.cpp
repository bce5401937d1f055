// Frames the layout pass solves from constraints, content sizes, guides and masks.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/base/log.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/progress_view.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/compositional_layout.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

// A view whose content has a fixed size, as a control or an image would report it.
class Sized : public View {
public:
    static std::shared_ptr<Sized> create(Size content) {
        auto view = make<Sized>();
        view->content = content;
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        return view;
    }
    Size intrinsicContentSize() const override { return content; }
    Size content;
};

std::shared_ptr<View> constrained(const std::string& name) {
    auto view = View::create();
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    view->setAccessibilityIdentifier(name);
    return view;
}

// Log lines of the "layout" category while the object lives.
struct LayoutLog {
    std::vector<std::string> lines;
    base::ScopedLogSink sink{[this](base::LogLevel, std::string_view category, std::string_view message) {
        if (category == "layout") lines.emplace_back(message);
    }};
};

TEST(LayoutPassTest, PinsAndCentresByAnchors) {
    auto root = View::create(Rect(0, 0, 390, 844));
    auto pinned = constrained("pinned");
    auto centred = constrained("centred");
    root->addSubview(pinned);
    root->addSubview(centred);
    LayoutConstraint::activate({
        pinned->leadingAnchor().constraint(root->leadingAnchor(), 16),
        pinned->trailingAnchor().constraint(root->trailingAnchor(), -16),
        pinned->topAnchor().constraint(root->topAnchor(), 20),
        pinned->heightAnchor().constraintEqualToConstant(60),
        centred->centerXAnchor().constraint(root->centerXAnchor()),
        centred->centerYAnchor().constraint(root->centerYAnchor()),
        centred->widthAnchor().constraintEqualToConstant(100),
        centred->heightAnchor().constraintEqualToConstant(44),
    });
    root->layoutIfNeeded();
    EXPECT_EQ(pinned->frame(), Rect(16, 20, 358, 60));
    EXPECT_EQ(centred->frame(), Rect(145, 400, 100, 44));
    // A resize re-solves: the pins follow.
    root->setFrame(Rect(0, 0, 844, 390));
    root->layoutIfNeeded();
    EXPECT_EQ(pinned->frame(), Rect(16, 20, 812, 60));
    EXPECT_EQ(centred->frame(), Rect(372, 173, 100, 44));
}

TEST(LayoutPassTest, MultipliersAndAspectRatios) {
    auto root = View::create(Rect(0, 0, 400, 800));
    auto video = constrained("video");
    auto half = constrained("half");
    root->addSubview(video);
    video->addSubview(half);
    LayoutConstraint::activate({
        video->leadingAnchor().constraint(root->leadingAnchor()),
        video->widthAnchor().constraint(root->widthAnchor()),
        video->topAnchor().constraint(root->topAnchor(), 10),
        video->heightAnchor().constraint(video->widthAnchor(), 9.0 / 16, 0),  // 16:9
        half->widthAnchor().constraint(video->widthAnchor(), 0.5, 0),
        half->heightAnchor().constraint(video->heightAnchor(), 0.5, 0),
        half->trailingAnchor().constraint(video->trailingAnchor()),
        half->bottomAnchor().constraint(video->bottomAnchor()),
    });
    root->layoutIfNeeded();
    EXPECT_EQ(video->frame(), Rect(0, 10, 400, 225));
    EXPECT_EQ(half->frame(), Rect(200, 112.5, 200, 112.5));  // in the video's coordinates
}

TEST(LayoutPassTest, InequalitiesGiveWayByPriority) {
    auto root = View::create(Rect(0, 0, 320, 100));
    auto view = constrained("view");
    root->addSubview(view);
    auto wish = view->widthAnchor().constraintEqualToConstant(500);
    wish->setPriority(LayoutPriority::defaultHigh);
    auto cap = view->widthAnchor().constraintLessThanOrEqualTo(root->widthAnchor(), -20);
    auto floor = view->heightAnchor().constraintGreaterThanOrEqualToConstant(30);
    auto lowWish = view->heightAnchor().constraintEqualToConstant(10);
    lowWish->setPriority(LayoutPriority::defaultLow);
    LayoutConstraint::activate({view->leadingAnchor().constraint(root->leadingAnchor()),
                                view->topAnchor().constraint(root->topAnchor()), wish, cap, floor, lowWish});
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame(), Rect(0, 0, 300, 30));
    // A stronger wish of the same kind wins over a weaker one.
    auto strongWish = view->heightAnchor().constraintEqualToConstant(80);
    strongWish->setPriority(LayoutPriority::defaultHigh);
    strongWish->setActive(true);
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame().size, (Size{300, 80}));
    // Lowering the cap's priority below the wish lets the wish through.
    cap->setPriority(LayoutPriority::defaultLow);
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame().size.width, 500);
    strongWish->setConstant(60);
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame().size.height, 60);
}

TEST(LayoutPassTest, HuggingAndCompressionResistanceDecideWhoGivesWay) {
    auto root = View::create(Rect(0, 0, 300, 100));
    auto title = Sized::create({120, 20});
    auto value = Sized::create({80, 20});
    root->addSubview(title);
    root->addSubview(value);
    LayoutConstraint::activate({
        title->leadingAnchor().constraint(root->leadingAnchor()),
        value->leadingAnchor().constraint(title->trailingAnchor(), 10),
        value->trailingAnchor().constraint(root->trailingAnchor()),
        title->topAnchor().constraint(root->topAnchor()),
        value->topAnchor().constraint(root->topAnchor()),
    });
    // Room to spare: the view that hugs less stretches.
    value->setContentHuggingPriority(LayoutPriority::defaultLow + 1, LayoutAxis::horizontal);
    root->layoutIfNeeded();
    EXPECT_EQ(title->frame(), Rect(0, 0, 210, 20));
    EXPECT_EQ(value->frame(), Rect(220, 0, 80, 20));
    // Too little room: the view that resists less shrinks.
    root->setFrame(Rect(0, 0, 150, 100));
    title->setContentCompressionResistancePriority(LayoutPriority::defaultHigh - 1, LayoutAxis::horizontal);
    root->layoutIfNeeded();
    EXPECT_EQ(title->frame(), Rect(0, 0, 60, 20));
    EXPECT_EQ(value->frame(), Rect(70, 0, 80, 20));
    // A label measures its text.
    auto label = Label::create();
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    label->setText("Playback");
    root->addSubview(label);
    LayoutConstraint::activate({label->centerXAnchor().constraint(root->centerXAnchor()),
                                label->bottomAnchor().constraint(root->bottomAnchor())});
    root->layoutIfNeeded();
    const Size text = label->intrinsicContentSize();
    ASSERT_GT(text.width, 0);
    EXPECT_EQ(label->frame(), Rect(75 - text.width / 2, 100 - text.height, text.width, text.height));
}

TEST(LayoutPassTest, SafeAreaMarginsAndReadableGuidesFollowARotation) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 390, 844));
    window->setSafeAreaInsets(EdgeInsets{47, 0, 34, 0});
    auto controller = ViewController::create();
    window->setRootViewController(controller);
    window->makeKeyAndVisible();
    auto content = constrained("content");
    auto text = constrained("text");
    controller->view()->addSubview(content);
    controller->view()->addSubview(text);
    auto safe = controller->view()->safeAreaLayoutGuide();
    auto readable = controller->view()->readableContentGuide();
    LayoutConstraint::activate({
        content->leadingAnchor().constraint(safe->leadingAnchor()),
        content->trailingAnchor().constraint(safe->trailingAnchor()),
        content->topAnchor().constraint(safe->topAnchor()),
        content->bottomAnchor().constraint(safe->bottomAnchor()),
        text->leadingAnchor().constraint(readable->leadingAnchor()),
        text->trailingAnchor().constraint(readable->trailingAnchor()),
        text->topAnchor().constraint(readable->topAnchor()),
        text->heightAnchor().constraintEqualToConstant(40),
    });
    loop.runUntilIdle();
    EXPECT_EQ(content->frame(), Rect(0, 47, 390, 763));
    EXPECT_EQ(text->frame(), Rect(8, 55, 374, 40));  // margins of 8 inside the safe area
    // Landscape: the insets move to the sides, the readable width stops at a line's length.
    window->setSafeAreaInsets(EdgeInsets{0, 47, 21, 47});
    window->transitionToSize({844, 390}, 0);
    loop.runUntilIdle();
    EXPECT_EQ(controller->view()->frame(), Rect(0, 0, 844, 390));
    EXPECT_EQ(content->frame(), Rect(47, 0, 750, 369));
    EXPECT_EQ(text->frame(), Rect(86, 8, 672, 40));
}

TEST(LayoutPassTest, FramesSetByCodeStayWhereNoConstraintGoverns) {
    auto root = View::create(Rect(0, 0, 400, 400));
    auto manual = View::create(Rect(10, 20, 30, 40));  // translates its (empty) mask
    auto sized = constrained("sized");
    auto sibling = constrained("sibling");
    root->addSubview(manual);
    root->addSubview(sized);
    root->addSubview(sibling);
    sized->setFrame(Rect(50, 60, 10, 10));
    LayoutConstraint::activate({
        sized->widthAnchor().constraintEqualToConstant(70),
        sibling->leadingAnchor().constraint(manual->trailingAnchor(), 5),
        sibling->topAnchor().constraint(manual->bottomAnchor()),
        sibling->widthAnchor().constraint(manual->widthAnchor()),
        sibling->heightAnchor().constraint(manual->heightAnchor()),
    });
    LayoutLog log;
    root->layoutIfNeeded();
    EXPECT_EQ(manual->frame(), Rect(10, 20, 30, 40));
    EXPECT_EQ(sibling->frame(), Rect(45, 60, 30, 40));
    // Only the width is decided; the rest stays where code put it, and that is logged.
    EXPECT_EQ(sized->frame(), Rect(50, 60, 70, 10));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "Ambiguous layout, constraints leave undecided: sized");
    manual->setFrame(Rect(100, 100, 20, 20));
    root->layoutIfNeeded();
    EXPECT_EQ(sibling->frame(), Rect(125, 120, 20, 20));
    // Autoresizing masks follow a superview that constraints resize.
    auto flexible = View::create(Rect(10, 0, 50, 10));
    flexible->setAutoresizingMask(flexibleWidth);
    sibling->addSubview(flexible);
    sibling->removeConstraints(sibling->constraints());
    manual->setFrame(Rect(100, 100, 90, 20));
    root->layoutIfNeeded();
    EXPECT_EQ(sibling->frame().size.width, 90);
    EXPECT_EQ(flexible->frame(), Rect(10, 0, 120, 10));
}

TEST(LayoutPassTest, TransformsAreLeftOutOfLayout) {
    auto root = View::create(Rect(0, 0, 200, 200));
    auto view = constrained("scaled");
    root->addSubview(view);
    view->setTransform(AffineTransform::scale(2, 2));
    LayoutConstraint::activate({view->leadingAnchor().constraint(root->leadingAnchor(), 10),
                                view->topAnchor().constraint(root->topAnchor(), 10),
                                view->widthAnchor().constraintEqualToConstant(50),
                                view->heightAnchor().constraintEqualToConstant(50)});
    root->layoutIfNeeded();
    EXPECT_EQ(view->bounds().size, (Size{50, 50}));
    EXPECT_EQ(view->center(), (Point{35, 35}));
    EXPECT_EQ(view->transform(), AffineTransform::scale(2, 2));
}

TEST(LayoutPassTest, AnUnsatisfiableSystemBreaksItsLastRequiredConstraintAndLogsOnce) {
    auto root = View::create(Rect(0, 0, 300, 300));
    auto view = constrained("box");
    root->addSubview(view);
    auto wide = view->widthAnchor().constraintEqualToConstant(100);
    auto wider = view->widthAnchor().constraintEqualToConstant(200);
    auto preferred = view->widthAnchor().constraintEqualToConstant(150);
    preferred->setPriority(LayoutPriority::defaultHigh);
    LayoutConstraint::activate({view->leadingAnchor().constraint(root->leadingAnchor()),
                                view->topAnchor().constraint(root->topAnchor()),
                                view->heightAnchor().constraintEqualToConstant(10), wide, preferred, wider});
    LayoutLog log;
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame(), Rect(0, 0, 100, 10));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0],
              "Unable to satisfy all required constraints at once:\n    box.width == 100 @1000\n"
              "    box.width == 200 @1000\nBreaking box.width == 200 @1000");
    root->setNeedsLayout();
    root->setFrame(Rect(0, 0, 310, 300));
    root->layoutIfNeeded();
    EXPECT_EQ(log.lines.size(), 1u);
    // Once the conflict goes, the broken constraint holds again.
    wide->setActive(false);
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame().size.width, 200);
}

TEST(LayoutPassTest, ControlsBringTheirOwnSizes) {
    auto root = View::create(Rect(0, 0, 300, 400));
    auto toggle = Switch::create();
    auto slider = Slider::create();
    auto row = StackView::create({toggle, slider});
    row->setSpacing(8);
    row->setAlignment(StackViewAlignment::center);
    row->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto progress = ProgressView::create();
    progress->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto segments = SegmentedControl::create({"Fit", "Fill"});
    segments->setTranslatesAutoresizingMaskIntoConstraints(false);
    for (const auto& view : std::vector<std::shared_ptr<View>>{row, progress, segments}) root->addSubview(view);
    LayoutConstraint::activate({
        row->leadingAnchor().constraint(root->leadingAnchor()),
        row->trailingAnchor().constraint(root->trailingAnchor()),
        row->topAnchor().constraint(root->topAnchor()),
        progress->leadingAnchor().constraint(root->leadingAnchor()),
        progress->trailingAnchor().constraint(root->trailingAnchor()),
        progress->topAnchor().constraint(row->bottomAnchor(), 10),
        segments->centerXAnchor().constraint(root->centerXAnchor()),
        segments->topAnchor().constraint(progress->bottomAnchor(), 10),
    });
    root->layoutIfNeeded();
    EXPECT_EQ(row->frame(), Rect(0, 0, 300, 31));
    EXPECT_EQ(toggle->frame(), Rect(0, 0, 51, 31));
    EXPECT_EQ(slider->frame(), Rect(59, 0, 241, 31));
    EXPECT_EQ(progress->frame(), Rect(0, 41, 300, 4));
    const double title = AttributedString::create("Fill")->singleLineSize(Font::systemFont(13)).width;
    const double width = std::ceil(2 * (title + 2 * SegmentedControl::segmentPadding));
    EXPECT_EQ(segments->frame(), Rect(150 - width / 2, 55, width, 32));
}

class LayoutCounting : public ViewController {
public:
    static std::shared_ptr<LayoutCounting> create() { return make<LayoutCounting>(); }
    void viewWillLayoutSubviews() override {
        events.push_back("will " + std::to_string(int(view()->frame().size.width)));
        if (height) height->setConstant(view()->frame().size.width > 500 ? 100 : 200);
    }
    void viewDidLayoutSubviews() override {
        events.push_back("did " + std::to_string(int(banner->frame().size.height)));
    }
    std::vector<std::string> events;
    std::shared_ptr<View> banner;
    std::shared_ptr<LayoutConstraint> height;
};

TEST(LayoutPassTest, ControllersHearTheirViewsPassAndMayChangeConstraintsInIt) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 390, 844));
    auto controller = LayoutCounting::create();
    window->setRootViewController(controller);
    window->makeKeyAndVisible();
    controller->banner = constrained("banner");
    controller->view()->addSubview(controller->banner);
    controller->height = controller->banner->heightAnchor().constraintEqualToConstant(10);
    LayoutConstraint::activate({controller->banner->topAnchor().constraint(controller->view()->topAnchor()),
                                controller->banner->leadingAnchor().constraint(controller->view()->leadingAnchor()),
                                controller->banner->widthAnchor().constraint(controller->view()->widthAnchor()),
                                controller->height});
    loop.runUntilIdle();
    EXPECT_EQ(controller->events, (std::vector<std::string>{"will 390", "did 200"}));
    window->transitionToSize({844, 390}, 0);
    loop.runUntilIdle();
    EXPECT_EQ(controller->events.back(), "did 100");
    EXPECT_EQ(controller->banner->frame(), Rect(0, 0, 844, 100));
}

TEST(LayoutPassTest, AListPinnedToItsControllersSafeAreaGetsItsFrame) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 390, 844));
    window->setSafeAreaInsets(EdgeInsets{47, 0, 34, 0});
    auto controller = ViewController::create();
    window->setRootViewController(controller);
    window->makeKeyAndVisible();
    std::vector<Size> asked;
    auto layout = CompositionalLayout::create([&](int, const CollectionLayoutEnvironment& environment) {
        asked.push_back(environment.effectiveContentSize);
        return std::optional<CollectionLayoutSection>();
    });
    auto list = CollectionView::create(Rect(), layout);
    list->setTranslatesAutoresizingMaskIntoConstraints(false);
    controller->view()->addSubview(list);
    auto safe = controller->view()->safeAreaLayoutGuide();
    LayoutConstraint::activate({list->leadingAnchor().constraint(controller->view()->leadingAnchor()),
                                list->trailingAnchor().constraint(controller->view()->trailingAnchor()),
                                list->topAnchor().constraint(safe->topAnchor()),
                                list->bottomAnchor().constraint(controller->view()->bottomAnchor())});
    loop.runUntilIdle();
    EXPECT_EQ(list->frame(), Rect(0, 47, 390, 797));
    EXPECT_EQ(window->hitTest({100, 100}), list);
}

}  // namespace
}  // namespace ui
