#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/basic_animation.h"
#include "platform/ui/animation/keyframe_animation.h"
#include "platform/ui/animation/transaction.h"
#include "platform/ui/views/layer.h"
#include "platform/ui/views/view.h"

namespace ui {
namespace {

class RecordingDelegate : public AnimationDelegate {
public:
    void animationDidStop(const std::shared_ptr<Animation>& animation, bool finished) override {
        stops.push_back({animation->keyPath(), finished});
    }
    std::vector<std::pair<std::string, bool>> stops;
};

// Opacity from 0 to 1 over 2 s, reporting to `delegate`.
std::shared_ptr<BasicAnimation> fadeIn(const std::shared_ptr<RecordingDelegate>& delegate) {
    auto animation = BasicAnimation::create("opacity");
    animation->fromValue = 0.0;
    animation->toValue = 1.0;
    animation->duration = 2;
    animation->delegate = delegate;
    return animation;
}

TEST(MediaTimingFunctionTest, NamedCurvesHaveTheirControlPointsAndEnds) {
    const auto linear = MediaTimingFunction::named(MediaTimingFunction::Name::linear);
    EXPECT_EQ(linear.controlPoint(1), (Point{0, 0}));
    EXPECT_EQ(linear.controlPoint(2), (Point{1, 1}));
    EXPECT_NEAR(linear.evaluate(0.3), 0.3, 1e-6);
    const auto easeIn = MediaTimingFunction::named(MediaTimingFunction::Name::easeIn);
    EXPECT_EQ(easeIn.controlPoint(1), (Point{0.42, 0}));
    EXPECT_LT(easeIn.evaluate(0.5), 0.5);
    EXPECT_NEAR(easeIn.evaluate(0), 0, 1e-9);
    EXPECT_NEAR(easeIn.evaluate(1), 1, 1e-9);
    const auto easeOut = MediaTimingFunction::named(MediaTimingFunction::Name::easeOut);
    EXPECT_GT(easeOut.evaluate(0.5), 0.5);
    const auto both = MediaTimingFunction::named(MediaTimingFunction::Name::easeInEaseOut);
    EXPECT_NEAR(both.evaluate(0.5), 0.5, 1e-6);  // symmetric
}

TEST(KeyframeAnimationTest, EvaluatesBetweenKeyTimesWithEachSegmentsTiming) {
    auto animation = KeyframeAnimation::create("position");
    animation->values = {Point{0, 0}, Point{100, 0}, Point{100, 50}};
    animation->keyTimes = {0, 0.5f, 1};
    animation->timingFunctions = {MediaTimingFunction::named(MediaTimingFunction::Name::linear),
                                  MediaTimingFunction::named(MediaTimingFunction::Name::easeIn)};
    const AnimationValue model = Point{};
    EXPECT_EQ(std::get<Point>(*animation->valueAt(0.25, model)), (Point{50, 0}));
    EXPECT_EQ(std::get<Point>(*animation->valueAt(0.5, model)), (Point{100, 0}));
    const Point eased = std::get<Point>(*animation->valueAt(0.75, model));
    EXPECT_LT(eased.y, 25);  // ease-in lags behind linear
    EXPECT_EQ(std::get<Point>(*animation->valueAt(1, model)), (Point{100, 50}));
}

TEST(KeyframeAnimationTest, ZeroLengthSegmentJumpsAndEmptyValuesGiveNothing) {
    auto animation = KeyframeAnimation::create("opacity");
    animation->values = {0.0, 1.0, 0.5};
    animation->keyTimes = {0, 0.5f, 0.5f};
    EXPECT_DOUBLE_EQ(std::get<double>(*animation->valueAt(0.5, 0.0)), 1.0);
    EXPECT_DOUBLE_EQ(std::get<double>(*animation->valueAt(0.75, 0.0)), 0.5);
    auto empty = KeyframeAnimation::create("opacity");
    EXPECT_FALSE(empty->valueAt(0.5, 0.0).has_value());
}

TEST(KeyframeAnimationTest, SpreadsValuesEvenlyWithoutKeyTimes) {
    auto animation = KeyframeAnimation::create("opacity");
    animation->values = {0.0, 1.0, 0.0};
    EXPECT_DOUBLE_EQ(std::get<double>(*animation->valueAt(0.25, 0.0)), 0.5);
    EXPECT_DOUBLE_EQ(std::get<double>(*animation->valueAt(0.5, 0.0)), 1.0);
}

TEST(LayerAnimationTest, FinishesWhenTheClockPassesItsDuration) {
    dispatch::ScopedMainRunLoop loop;
    auto layer = Layer::create();
    auto delegate = std::make_shared<RecordingDelegate>();
    layer->addAnimation(fadeIn(delegate), "fade");
    loop.advanceSeconds(1);
    EXPECT_NEAR(layer->presentationOpacity(), 0.5, 1e-9);
    EXPECT_TRUE(delegate->stops.empty());
    loop.advanceSeconds(1);
    ASSERT_EQ(delegate->stops.size(), 1u);
    EXPECT_TRUE(delegate->stops[0].second);
    EXPECT_EQ(layer->animation("fade"), nullptr);
    EXPECT_DOUBLE_EQ(layer->presentationOpacity(), 1.0);  // back to the model
}

TEST(LayerAnimationTest, RemovingEndsWithFinishedFalseAndTakesTransactionDuration) {
    dispatch::ScopedMainRunLoop loop;
    auto layer = Layer::create();
    auto delegate = std::make_shared<RecordingDelegate>();
    auto animation = BasicAnimation::create("position");
    animation->delegate = delegate;
    Transaction::begin();
    Transaction::setAnimationDuration(3);
    layer->addAnimation(animation, "move");
    Transaction::commit();
    EXPECT_DOUBLE_EQ(layer->animation("move")->duration, 3);
    EXPECT_DOUBLE_EQ(animation->duration, 0);  // the layer holds a copy
    layer->removeAllAnimations();
    ASSERT_EQ(delegate->stops.size(), 1u);
    EXPECT_FALSE(delegate->stops[0].second);
    loop.advanceSeconds(5);
    EXPECT_EQ(delegate->stops.size(), 1u);
}

TEST(LayerAnimationTest, FillForwardsKeepsTheEndValueAndReportsOnce) {
    dispatch::ScopedMainRunLoop loop;
    auto layer = Layer::create();
    auto delegate = std::make_shared<RecordingDelegate>();
    auto animation = BasicAnimation::create("position");
    animation->toValue = Point{40, 0};
    animation->duration = 1;
    animation->fillMode = FillMode::forwards;
    animation->isRemovedOnCompletion = false;
    animation->delegate = delegate;
    layer->addAnimation(animation, "position");
    loop.advanceSeconds(2);
    EXPECT_EQ(layer->presentationPosition(), (Point{40, 0}));
    ASSERT_NE(layer->animation("position"), nullptr);
    layer->removeAnimation("position");
    EXPECT_EQ(delegate->stops.size(), 1u);
    EXPECT_EQ(layer->presentationPosition(), (Point{0, 0}));
}

TEST(LayerAnimationTest, PausedLayerHoldsItsAnimationUntilResumed) {
    dispatch::ScopedMainRunLoop loop;
    auto layer = Layer::create();
    auto delegate = std::make_shared<RecordingDelegate>();
    layer->addAnimation(fadeIn(delegate), "fade");
    loop.advanceSeconds(0.5);
    // Pause the way the platform's layers are paused: freeze the local time.
    const double paused = layer->convertTime(dispatch::toSeconds(loop.loop().now()), nullptr);
    layer->setSpeed(0);
    layer->setTimeOffset(paused);
    loop.advanceSeconds(10);
    EXPECT_TRUE(delegate->stops.empty());
    EXPECT_NEAR(layer->presentationOpacity(), 0.25, 1e-9);
    layer->setSpeed(1);
    layer->setTimeOffset(0);
    layer->setBeginTime(0);
    layer->setBeginTime(layer->convertTime(dispatch::toSeconds(loop.loop().now()), nullptr) - paused);
    EXPECT_NEAR(layer->presentationOpacity(), 0.25, 1e-9);
    loop.advanceSeconds(1.4);
    EXPECT_TRUE(delegate->stops.empty());
    loop.advanceSeconds(0.1);
    ASSERT_EQ(delegate->stops.size(), 1u);
    EXPECT_TRUE(delegate->stops[0].second);
}

TEST(ViewAnimationTest, AppliesTheEndStateAtOnceAndCompletesAfterTheDuration) {
    dispatch::ScopedMainRunLoop loop;
    auto view = View::create(Rect(0, 0, 10, 10));
    std::vector<bool> completions;
    View::animate(
        0.3, 0.2, curveLinear, [&] { view->setAlpha(0); }, [&](bool finished) { completions.push_back(finished); });
    EXPECT_DOUBLE_EQ(view->alpha(), 0);
    ASSERT_NE(view->layer().animation("opacity"), nullptr);
    loop.advanceSeconds(0.1);
    EXPECT_DOUBLE_EQ(view->layer().presentationOpacity(), 1.0);  // still in its delay
    loop.advanceSeconds(0.25);
    EXPECT_NEAR(view->layer().presentationOpacity(), 0.5, 1e-6);
    EXPECT_TRUE(completions.empty());
    loop.advanceSeconds(0.15);
    EXPECT_EQ(completions, std::vector<bool>{true});
}

TEST(ViewAnimationTest, RemovingTheLayerAnimationFinishesWithFalse) {
    dispatch::ScopedMainRunLoop loop;
    auto view = View::create(Rect(0, 0, 10, 10));
    std::vector<bool> completions;
    View::animate(
        1, [&] { view->setFrame(Rect(5, 5, 20, 20)); }, [&](bool f) { completions.push_back(f); });
    EXPECT_EQ(view->frame(), Rect(5, 5, 20, 20));
    view->layer().removeAllAnimations();
    EXPECT_EQ(completions, std::vector<bool>{false});
    loop.advanceSeconds(2);
    EXPECT_EQ(completions.size(), 1u);
}

TEST(ViewAnimationTest, BlockWithoutChangesStillFinishesOnTheClock) {
    dispatch::ScopedMainRunLoop loop;
    int calls = 0;
    View::animate(
        0.5, [] {},
        [&](bool finished) {
            EXPECT_TRUE(finished);
            ++calls;
        });
    loop.advanceSeconds(0.4);
    EXPECT_EQ(calls, 0);
    loop.advanceSeconds(0.1);
    EXPECT_EQ(calls, 1);
}

TEST(ViewAnimationTest, PerformWithoutAnimationAddsNoLayerAnimations) {
    dispatch::ScopedMainRunLoop loop;
    auto view = View::create();
    View::animate(1, [&] { View::performWithoutAnimation([&] { view->setAlpha(0.2); }); });
    EXPECT_TRUE(view->layer().animationKeys().empty());
    EXPECT_DOUBLE_EQ(view->alpha(), 0.2);
}

TEST(ViewAnimationTest, CrossDissolveTransitionRunsOnTheLayerAndCompletes) {
    dispatch::ScopedMainRunLoop loop;
    auto view = View::create();
    bool done = false;
    View::transition(
        view, 0.25, transitionCrossDissolve, [&] { view->setHidden(true); }, [&](bool f) { done = f; });
    EXPECT_TRUE(view->isHidden());
    EXPECT_NE(view->layer().animation("transition"), nullptr);
    EXPECT_TRUE(view->layer().animationKeys() == std::vector<std::string>{"transition"});
    loop.advanceSeconds(0.25);
    EXPECT_TRUE(done);
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST(KeyframeAnimationTest, EvaluatesAtATimeWithRepetitionsAndReversal) {
    auto animation = KeyframeAnimation::create("opacity");
    animation->values = {0.0, 1.0};
    animation->duration = 2;
    animation->autoreverses = true;
    animation->repeatCount = 2;
    EXPECT_DOUBLE_EQ(animation->activeDuration(), 8);
    EXPECT_DOUBLE_EQ(std::get<double>(*animation->valueAtTime(1, 0.0)), 0.5);
    EXPECT_DOUBLE_EQ(std::get<double>(*animation->valueAtTime(3, 0.0)), 0.5);     // on the way back
    EXPECT_DOUBLE_EQ(std::get<double>(*animation->valueAtTime(4.5, 0.0)), 0.25);  // second pass
    EXPECT_DOUBLE_EQ(std::get<double>(*animation->valueAtTime(20, 0.0)), 0.0);    // the end of the last pass
    animation->timingFunction = MediaTimingFunction::named(MediaTimingFunction::Name::easeIn);
    EXPECT_LT(std::get<double>(*animation->valueAtTime(1, 0.0)), 0.5);
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST(ViewAnimationTest, ANewAnimationOfTheSamePropertyLetsTheEarlierOneFinish) {
    dispatch::ScopedMainRunLoop loop;
    auto view = View::create();
    std::vector<std::string> done;
    View::animate(
        1, [&] { view->setAlpha(0.5); },
        [&](bool f) { done.push_back(std::string("first ") + (f ? "finished" : "stopped")); });
    loop.advanceSeconds(0.5);
    View::animate(
        1, [&] { view->setAlpha(0); },
        [&](bool f) { done.push_back(std::string("second ") + (f ? "finished" : "stopped")); });
    EXPECT_EQ(view->layer().animationKeys(), (std::vector<std::string>{"opacity", "opacity-2"}));
    loop.advanceSeconds(1);
    EXPECT_EQ(done, (std::vector<std::string>{"first finished", "second finished"}));
}

}  // namespace
}  // namespace ui
