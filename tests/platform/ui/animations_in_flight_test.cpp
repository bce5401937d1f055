#include "platform/ui/animation/animations_in_flight.h"

#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/basic_animation.h"
#include "platform/ui/views/layer.h"
#include "platform/ui/views/view.h"

namespace ui {
namespace {

// A fade of `seconds` on `layer`, from now or after `delay`.
void fade(Layer& layer, double seconds, double delay = 0, float repeatCount = 0) {
    auto animation = BasicAnimation::create("opacity");
    animation->fromValue = 0.0;
    animation->toValue = 1.0;
    animation->duration = seconds;
    animation->repeatCount = repeatCount;
    if (delay > 0)
        animation->beginTime =
            layer.convertTime(dispatch::toSeconds(dispatch::RunLoop::main()->now()), nullptr) + delay;
    layer.addAnimation(animation, {});
}

TEST(AnimationsInFlightTest, TheRestIsTheLastEndOfTheShortAnimationsInView) {
    dispatch::ScopedMainRunLoop loop;
    auto root = View::create(Rect(0, 0, 100, 100));
    auto near = View::create(Rect(0, 0, 10, 10));
    auto nearer = View::create(Rect(0, 0, 5, 5));
    root->addSubview(near);
    near->addSubview(nearer);
    EXPECT_EQ(AnimationsInFlight::restingTime(root->layer(), 0.5), std::nullopt) << "nothing moves";
    fade(near->layer(), 0.25);
    fade(nearer->layer(), 0.4);
    EXPECT_DOUBLE_EQ(AnimationsInFlight::restingTime(root->layer(), 0.5).value_or(-1), 0.4);
    loop.advanceSeconds(0.3);
    EXPECT_DOUBLE_EQ(AnimationsInFlight::restingTime(root->layer(), 0.5).value_or(-1), 0.4);
    loop.advanceSeconds(0.1);
    EXPECT_EQ(AnimationsInFlight::restingTime(root->layer(), 0.5), std::nullopt) << "all ended";
}

TEST(AnimationsInFlightTest, WhatRunsOnLongerIsPartOfTheScreenAtRest) {
    dispatch::ScopedMainRunLoop loop;
    auto root = View::create(Rect(0, 0, 100, 100));
    auto sixSecondFade = View::create(Rect(0, 0, 10, 10));
    auto later = View::create(Rect(0, 0, 10, 10));
    auto forever = View::create(Rect(0, 0, 10, 10));
    for (const auto& view : {sixSecondFade, later, forever}) root->addSubview(view);
    fade(sixSecondFade->layer(), 6);
    fade(later->layer(), 0.3, 2.0);         // a fade that waits seconds first
    fade(forever->layer(), 0.2, 0, 1e30f);  // repeats for ever
    EXPECT_EQ(AnimationsInFlight::restingTime(root->layer(), 0.5), std::nullopt);
    // Near its end a long one is waited for like any other.
    loop.advanceSeconds(5.7);
    EXPECT_DOUBLE_EQ(AnimationsInFlight::restingTime(root->layer(), 0.5).value_or(-1), 6.0);
}

TEST(AnimationsInFlightTest, WhatShowsNothingMovesNothing) {
    dispatch::ScopedMainRunLoop loop;
    auto root = View::create(Rect(0, 0, 100, 100));
    auto hidden = View::create(Rect(0, 0, 10, 10));
    auto faded = View::create(Rect(0, 0, 10, 10));
    auto underFaded = View::create(Rect(0, 0, 5, 5));
    auto paused = View::create(Rect(0, 0, 10, 10));
    for (const auto& view : {hidden, faded, paused}) root->addSubview(view);
    faded->addSubview(underFaded);
    hidden->setHidden(true);
    faded->setAlpha(0);
    fade(hidden->layer(), 0.2);
    fade(underFaded->layer(), 0.2);
    // A layer whose time stands still never ends its animation.
    paused->layer().setSpeed(0);
    fade(paused->layer(), 0.2);
    EXPECT_EQ(AnimationsInFlight::restingTime(root->layer(), 0.5), std::nullopt);
    // A view fading in from nothing moves, though it shows nothing yet.
    fade(faded->layer(), 0.3);
    EXPECT_DOUBLE_EQ(AnimationsInFlight::restingTime(root->layer(), 0.5).value_or(-1), 0.3);
}

}  // namespace
}  // namespace ui
