#include "toolkit/scrolling_label.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

using ScrollType = ScrollingLabel::ScrollType;

const std::string longText = "A title far too long to fit inside one hundred points";

// A label of 100 x 20 points inside a controller's view in a visible window.
class ScrollingLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = ui::Window::create(ui::Rect(0, 0, 390, 844));
        controller = ui::ViewController::create();
        window->setRootViewController(controller);
        window->makeKeyAndVisible();
    }

    std::shared_ptr<ScrollingLabel> makeLabel(ScrollType type = ScrollType::continuous, double fade = 0) {
        auto label = ScrollingLabel::createWithDuration(ui::Rect(10, 10, 100, 20), 7.0, fade);
        label->setType(type);
        controller->view()->addSubview(label);
        label->setText(longText);
        return label;
    }

    double textWidth(const ScrollingLabel& label) const {
        return std::ceil(label.sublabel()->font().widthOf(longText));
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> controller;
};

std::vector<float> keyTimesOf(const ScrollingLabel& label) {
    return std::dynamic_pointer_cast<ui::KeyframeAnimation>(label.sublabel()->layer().animation("position"))->keyTimes;
}

TEST_F(ScrollingLabelTest, ShortOrEmptyTextRestsAtHomeWithoutMaskOrCopies) {
    auto label = makeLabel(ScrollType::continuous, 10);
    label->setText("Hi");
    EXPECT_FALSE(label->labelShouldScroll());
    EXPECT_EQ(label->homeLabelFrame(), ui::Rect(0, 0, 100, 20));
    EXPECT_EQ(label->awayOffset(), 0);
    EXPECT_EQ(label->replicatorLayer().instanceCount(), 1);
    EXPECT_EQ(label->layer().mask(), nullptr);
    EXPECT_TRUE(label->sublabel()->layer().animationKeys().empty());
    label->setText("");
    EXPECT_FALSE(label->labelShouldScroll());
    label->setText(std::nullopt);
    EXPECT_FALSE(label->labelShouldScroll());
}

TEST_F(ScrollingLabelTest, RightTypesRestAgainstTheRightEdgeLessTheLeadingBuffer) {
    auto label = makeLabel(ScrollType::rightLeft);
    label->setText("Hi");
    label->setLeadingBuffer(6);
    EXPECT_EQ(label->homeLabelFrame(), ui::Rect(0, 0, 94, 20));
    label->setType(ScrollType::left);
    EXPECT_EQ(label->homeLabelFrame(), ui::Rect(6, 0, 94, 20));
}

TEST_F(ScrollingLabelTest, HomeAndAwayFramesOfEachType) {
    auto label = makeLabel(ScrollType::left, 0);
    label->setLeadingBuffer(4);
    label->setTrailingBuffer(12);
    const double w = textWidth(*label);
    const double h = 20;
    struct Case {
        ScrollType type;
        ui::Rect home;
        double away;
        int instances;
    };
    const std::vector<Case> cases{
        {ScrollType::left, ui::Rect(4, 0, w, h), 100 - (w + 4 + 12), 1},
        {ScrollType::leftRight, ui::Rect(4, 0, w, h), 100 - (w + 4 + 12), 1},
        {ScrollType::right, ui::Rect(100 - (w + 4), 0, w, h), (w + 12 + 4) - 100, 1},
        {ScrollType::rightLeft, ui::Rect(100 - (w + 4), 0, w, h), (w + 12 + 4) - 100, 1},
        {ScrollType::continuous, ui::Rect(4, 0, w, h), -(12 + w), 2},
        {ScrollType::continuousReverse, ui::Rect(100 - (w + 4), 0, w, h), 12 + w, 2},
    };
    for (const auto& c : cases) {
        label->setType(c.type);
        EXPECT_EQ(label->homeLabelFrame(), c.home.integral()) << static_cast<int>(c.type);
        EXPECT_DOUBLE_EQ(label->awayOffset(), c.away) << static_cast<int>(c.type);
        EXPECT_EQ(label->replicatorLayer().instanceCount(), c.instances);
        EXPECT_EQ(label->sublabel()->frame(), label->homeLabelFrame());
        if (c.instances == 2) {
            EXPECT_DOUBLE_EQ(label->replicatorLayer().instanceTransform().translationX(), -c.away);
        }
    }
}

TEST_F(ScrollingLabelTest, VeryWideTextIsLaidOutAtMostTheLimitWide) {
    auto label = makeLabel(ScrollType::left);
    std::string huge;
    for (int i = 0; i < 600; ++i) huge += "Wide ";
    label->setText(huge);
    EXPECT_EQ(label->homeLabelFrame().size.width, ScrollingLabel::maximumTextWidth);
}

TEST_F(ScrollingLabelTest, ContinuousKeyFramesFollowTheDurationAndTheRate) {
    auto label = makeLabel(ScrollType::continuous);
    label->setAnimationDelay(2);
    label->restartLabel();
    auto animation = std::dynamic_pointer_cast<ui::KeyframeAnimation>(label->sublabel()->layer().animation("position"));
    ASSERT_NE(animation, nullptr);
    EXPECT_DOUBLE_EQ(animation->duration, 9.0);  // delay + 7 s
    ASSERT_EQ(animation->values.size(), 3u);
    const ui::Point home = label->homeLabelFrame().origin;
    EXPECT_EQ(std::get<ui::Point>(animation->values[0]), home);
    EXPECT_EQ(std::get<ui::Point>(animation->values[1]), home);
    EXPECT_EQ(std::get<ui::Point>(animation->values[2]), (ui::Point{home.x + label->awayOffset(), home.y}));
    EXPECT_EQ(animation->keyTimes, (std::vector<float>{0.0f, static_cast<float>(2.0 / 9.0), 1.0f}));
    EXPECT_EQ(animation->timingFunctions.size(), 2u);

    label->setSpeed(ScrollingLabel::SpeedLimit::rate(50));
    EXPECT_DOUBLE_EQ(label->scrollRate(), 50);
    EXPECT_DOUBLE_EQ(label->scrollDuration(), 0);
    const double moving = std::abs(label->awayOffset()) / 50;
    EXPECT_DOUBLE_EQ(label->animationDuration(), moving);
    EXPECT_DOUBLE_EQ(label->sublabel()->layer().animation("position")->duration, 2 + moving);
}

TEST_F(ScrollingLabelTest, ContinuousLeadingFadeEndsWhenTheFirstCopyHasPassedTheEdge) {
    for (auto curve : {ui::ViewAnimationCurve::linear, ui::ViewAnimationCurve::easeInOut}) {
        auto label = makeLabel(ScrollType::continuous, 8);
        label->setAnimationCurve(curve);
        label->restartLabel();
        auto fade = std::dynamic_pointer_cast<ui::KeyframeAnimation>(label->maskLayer()->animation("gradient"));
        ASSERT_NE(fade, nullptr);
        ASSERT_EQ(fade->keyTimes.size(), 5u);
        const ui::Color clear = ui::Color::clear(), black = ui::Color::black();
        const std::vector<ui::Color> both{clear, black, black, clear}, trailing{black, black, black, clear};
        EXPECT_EQ(std::get<std::vector<ui::Color>>(fade->values[1]), trailing);
        EXPECT_EQ(std::get<std::vector<ui::Color>>(fade->values[2]), both);
        EXPECT_EQ(std::get<std::vector<ui::Color>>(fade->values[3]), both);
        EXPECT_EQ(std::get<std::vector<ui::Color>>(fade->values[4]), trailing);
        const double total = 1 + 7;
        EXPECT_FLOAT_EQ(fade->keyTimes[2], static_cast<float>(1.2 / total));
        // At the moment the leading fade is withdrawn, the text has moved by its own width.
        loop.advanceSeconds(fade->keyTimes[3] * total);
        const ui::Rect home = label->homeLabelFrame();
        EXPECT_NEAR(label->sublabel()->layer().presentationPosition().x, home.origin.x - home.size.width,
                    std::abs(label->awayOffset()) / (total * 100))
            << static_cast<int>(curve);
        label->removeFromSuperview();
    }
}

TEST_F(ScrollingLabelTest, BackAndForthKeyFramesAndEdgeFades) {
    auto label = makeLabel(ScrollType::leftRight, 8);
    const double d = 1, m = 7, total = 2 * d + 2 * m;
    EXPECT_EQ(keyTimesOf(*label),
              (std::vector<float>{0.0f, static_cast<float>(d / total), static_cast<float>((d + m) / total),
                                  static_cast<float>((2 * d + m) / total), 1.0f}));
    auto fade = std::dynamic_pointer_cast<ui::KeyframeAnimation>(label->maskLayer()->animation("gradient"));
    ASSERT_NE(fade, nullptr);
    // Both edges fade from 0.2 s after each departure until 0.2 s before each arrival.
    const std::vector<double> times{0, d, d + 0.2, d + m - 0.2, d + m, 2 * d + m, 2 * d + m + 0.2, total - 0.2, total};
    ASSERT_EQ(fade->keyTimes.size(), times.size());
    for (size_t i = 0; i < times.size(); ++i) EXPECT_FLOAT_EQ(fade->keyTimes[i], static_cast<float>(times[i] / total));
    const ui::Color clear = ui::Color::clear(), black = ui::Color::black();
    EXPECT_EQ(std::get<std::vector<ui::Color>>(fade->values[0]), (std::vector<ui::Color>{black, black, black, clear}));
    EXPECT_EQ(std::get<std::vector<ui::Color>>(fade->values[2]), (std::vector<ui::Color>{clear, black, black, clear}));
    EXPECT_EQ(std::get<std::vector<ui::Color>>(fade->values[5]), (std::vector<ui::Color>{clear, black, black, black}));
    EXPECT_EQ(fade->timingFunctions.size(), times.size() - 1);
}

TEST_F(ScrollingLabelTest, OneWayAndRightTypesKeyFramesAtARate) {
    auto label = makeLabel(ScrollType::left, 8);
    label->setScrollRate(40);
    const double d = 1, m = std::abs(label->awayOffset()) / 40, total = 2 * d + m;
    auto position = std::dynamic_pointer_cast<ui::KeyframeAnimation>(label->sublabel()->layer().animation("position"));
    ASSERT_NE(position, nullptr);
    EXPECT_DOUBLE_EQ(position->duration, total);
    EXPECT_EQ(position->keyTimes,
              (std::vector<float>{0.0f, static_cast<float>(d / total), static_cast<float>((d + m) / total), 1.0f}));
    const ui::Point home = label->homeLabelFrame().origin, away{home.x + label->awayOffset(), home.y};
    EXPECT_EQ(position->values, (std::vector<ui::AnimationValue>{home, home, away, away}));

    // The right types read from the right: the trailing edge is the left one.
    label->setType(ScrollType::rightLeft);
    auto fade = std::dynamic_pointer_cast<ui::KeyframeAnimation>(label->maskLayer()->animation("gradient"));
    ASSERT_NE(fade, nullptr);
    const ui::Color clear = ui::Color::clear(), black = ui::Color::black();
    EXPECT_EQ(std::get<std::vector<ui::Color>>(fade->values[0]), (std::vector<ui::Color>{clear, black, black, black}));
    EXPECT_EQ(std::get<std::vector<ui::Color>>(fade->values[5]), (std::vector<ui::Color>{black, black, black, clear}));
    EXPECT_GT(label->awayOffset(), 0);
    EXPECT_EQ(keyTimesOf(*label).size(), 5u);
}

TEST_F(ScrollingLabelTest, MaskLocationsAndRestColoursFollowTheFadeLength) {
    auto label = makeLabel(ScrollType::rightLeft, 10);
    auto mask = label->maskLayer();
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->locations(), (std::vector<double>{0, 0.1f, 0.9f, 1}));
    EXPECT_EQ(mask->bounds(), label->layer().bounds());
    label->shutdownLabel();
    EXPECT_EQ(mask->colors(),
              (std::vector<ui::Color>{ui::Color::clear(), ui::Color::black(), ui::Color::black(), ui::Color::black()}));
    label->setFadeLength(0);
    EXPECT_EQ(label->layer().mask(), nullptr);
}

TEST_F(ScrollingLabelTest, ZeroWidthAndZeroTimeNeverGiveNaN) {
    auto label = ScrollingLabel::createWithDuration(ui::Rect(0, 0, 0, 20), 7, 0);
    controller->view()->addSubview(label);
    label->setText(longText);
    label->setFadeLength(5);
    ASSERT_NE(label->maskLayer(), nullptr);
    for (double location : label->maskLayer()->locations()) EXPECT_FALSE(std::isnan(location));

    label->setScrollSequence(std::vector<ScrollingLabelStep>{
        ScrollStep{0, ui::ViewAnimationCurve::linear, ScrollStep::Position::home(), EdgeFade::trailingEdge()},
        FadeStep{0, ui::ViewAnimationCurve::linear, EdgeFade::both()},
        ScrollStep{0, ui::ViewAnimationCurve::linear, ScrollStep::Position::away(), EdgeFade::trailingEdge()}});
    label->restartLabel();
    for (float t : keyTimesOf(*label)) EXPECT_FALSE(std::isnan(t));
    auto fade = std::dynamic_pointer_cast<ui::KeyframeAnimation>(label->maskLayer()->animation("gradient"));
    ASSERT_NE(fade, nullptr);
    for (float t : fade->keyTimes) EXPECT_FALSE(std::isnan(t));
    loop.advanceSeconds(1);  // a pass of no time runs once instead of spinning
    EXPECT_EQ(label->sublabel()->layer().animation("position"), nullptr);
}

TEST_F(ScrollingLabelTest, SequenceWithoutScrollStepsHasNoKeyFrames) {
    auto label = makeLabel();
    const auto animation =
        label->generateScrollAnimation({FadeStep{1, ui::ViewAnimationCurve::linear, EdgeFade::both()}});
    EXPECT_TRUE(animation.first->values.empty());
    EXPECT_EQ(animation.second, 0);
}

TEST_F(ScrollingLabelTest, FadeStepsThatCannotBePlacedAreLeftOut) {
    auto label = makeLabel();
    const auto linear = ui::ViewAnimationCurve::linear;
    const std::vector<ScrollingLabelStep> sequence{
        FadeStep{0.5, linear, EdgeFade::both()},  // at index 0
        ScrollStep{1, linear, ScrollStep::Position::home(), EdgeFade::none()},
        FadeStep{0.1, linear, EdgeFade::both()},   // kept: after a scroll step
        FadeStep{0.2, linear, EdgeFade::both()},   // after a fade step
        FadeStep{-0.3, linear, EdgeFade::both()},  // before a fade step
        FadeStep{-0.4, linear, EdgeFade::both()},  // kept: before a scroll step
        ScrollStep{2, linear, ScrollStep::Position::away(), EdgeFade::none()}};
    const auto fade = label->generateGradientAnimation(sequence, 3);
    EXPECT_EQ(fade->keyTimes, (std::vector<float>{static_cast<float>(1 / 3.0), static_cast<float>(1.1 / 3),
                                                  static_cast<float>(2.6 / 3), 1.0f}));
}

TEST(ScrollingLabelSolverTest, FindsTheParameterOrReportsFailure) {
    const auto points = ScrollingLabel::timingControlPoints(
        ui::MediaTimingFunction::named(ui::MediaTimingFunction::Name::easeInEaseOut));
    const double t = ScrollingLabel::bezierParameterForY(points, 0.3, 1e-4);
    const double u = 1 - t;
    EXPECT_NEAR(3 * points[1].y * t * u * u + 3 * points[2].y * t * t * u + t * t * t, 0.3, 1e-4);
    testing::internal::CaptureStdout();
    ScrollingLabel::bezierParameterForY(points, 0.3, 0);  // a tolerance no estimate can meet
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ScrollingLabel: Failed to find t for Y input!\n");
}

TEST_F(ScrollingLabelTest, ContinuousPassesRepeatAndLeftParksAway) {
    auto label = makeLabel(ScrollType::continuous);
    auto first = label->sublabel()->layer().animation("position");
    loop.advanceSeconds(8);  // 1 s delay + 7 s
    auto second = label->sublabel()->layer().animation("position");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);

    auto parked = makeLabel(ScrollType::left);
    loop.advanceSeconds(8 + 0.2 + 7);  // rest, move, rest away
    ASSERT_NE(parked->sublabel()->layer().animation("position"), nullptr);
    EXPECT_DOUBLE_EQ(parked->sublabel()->layer().presentationPosition().x,
                     parked->homeLabelFrame().origin.x + parked->awayOffset());
    EXPECT_TRUE(parked->awayFromHome());
}

TEST_F(ScrollingLabelTest, TapToScrollRunsOnePassPerTap) {
    auto label = makeLabel(ScrollType::continuous);
    label->setTapToScroll(true);
    EXPECT_TRUE(label->isUserInteractionEnabled());
    ASSERT_EQ(label->gestureRecognizers().size(), 1u);
    loop.advanceSeconds(8);
    EXPECT_EQ(label->sublabel()->layer().animation("position"), nullptr);
    window->tap(label->convert(ui::Point{50, 10}, nullptr));
    EXPECT_NE(label->sublabel()->layer().animation("position"), nullptr);
    label->setTapToScroll(false);
    EXPECT_TRUE(label->gestureRecognizers().empty());
    EXPECT_FALSE(label->isUserInteractionEnabled());
}

TEST_F(ScrollingLabelTest, HoldScrollingWaitsUntilReleased) {
    auto label = makeLabel();
    label->setHoldScrolling(true);
    label->restartLabel();
    EXPECT_EQ(label->sublabel()->layer().animation("position"), nullptr);
    EXPECT_EQ(label->homeLabelFrame().origin.x, 0);  // laid out, resting at home
    label->setTapToScroll(true);
    window->tap(label->convert(ui::Point{50, 10}, nullptr));  // a tap overrides the hold
    EXPECT_NE(label->sublabel()->layer().animation("position"), nullptr);
    label->shutdownLabel();
    label->setTapToScroll(false);
    label->setHoldScrolling(false);
    EXPECT_NE(label->sublabel()->layer().animation("position"), nullptr);
}

TEST_F(ScrollingLabelTest, SettingTheSameTextOrFontDoesNotRestart) {
    auto label = makeLabel();
    auto running = label->sublabel()->layer().animation("position");
    label->setText(longText);
    label->setFont(label->font());
    EXPECT_EQ(label->sublabel()->layer().animation("position"), running);
    label->setText(longText + "!");
    EXPECT_NE(label->sublabel()->layer().animation("position"), running);
}

TEST_F(ScrollingLabelTest, ForwardsTextAndKeepsOneLine) {
    auto label = makeLabel();
    label->setNumberOfLines(3);
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumScaleFactor(0.5);
    EXPECT_EQ(label->numberOfLines(), 1);
    EXPECT_FALSE(label->adjustsFontSizeToFitWidth());
    EXPECT_EQ(label->minimumScaleFactor(), 0.0);
    EXPECT_EQ(label->sublabel()->tag(), ScrollingLabel::sublabelTag);
    EXPECT_EQ(label->sublabel()->text(), longText);
    EXPECT_EQ(label->ui::Label::text(), longText);
    label->setLeadingBuffer(5);
    EXPECT_DOUBLE_EQ(label->intrinsicContentSize().width, label->sublabel()->intrinsicContentSize().width + 5);
}

TEST_F(ScrollingLabelTest, TintIsInheritedUntilSetAndThenSharedWithTheSublabel) {
    auto label = makeLabel();
    controller->view()->setTintColor(ui::Color::redColor());
    EXPECT_EQ(label->tintColor(), ui::Color::redColor());
    EXPECT_EQ(label->sublabel()->tintColor(), ui::Color::redColor());

    label->setTintColor(ui::Color::greenColor());
    EXPECT_EQ(label->tintColor(), ui::Color::greenColor());
    EXPECT_EQ(label->sublabel()->tintColor(), ui::Color::greenColor());

    label->setTintColor(std::nullopt);
    EXPECT_EQ(label->tintColor(), ui::Color::redColor());
    EXPECT_EQ(label->sublabel()->tintColor(), ui::Color::redColor());
}

TEST_F(ScrollingLabelTest, ARateOfZeroGivesNoMovingTime) {
    auto label = makeLabel(ScrollType::leftRight);
    label->setScrollRate(0);
    EXPECT_FALSE(label->labelShouldScroll());
    EXPECT_EQ(label->animationDuration(), 0);
    label->setScrollRate(-20);
    EXPECT_EQ(label->animationDuration(), 0);
}

TEST_F(ScrollingLabelTest, InitialiserLimitsTheFadeToHalfTheWidth) {
    auto label = ScrollingLabel::createWithRate(ui::Rect(0, 0, 40, 20), 30, 50);
    EXPECT_DOUBLE_EQ(label->fadeLength(), 20);
    EXPECT_EQ(label->speed(), ScrollingLabel::SpeedLimit::rate(30));
}

TEST_F(ScrollingLabelTest, ControllerNotificationsReachOnlyTheOwningControllersLabels) {
    auto label = makeLabel();
    auto other = ui::ViewController::create();
    ScrollingLabel::controllerLabelsLabelize(other);
    EXPECT_FALSE(label->labelize());
    foundation::NotificationCenter::defaultCenter().post(ScrollingLabel::labelizeNotification);
    EXPECT_FALSE(label->labelize());
    ScrollingLabel::controllerLabelsLabelize(controller);
    EXPECT_TRUE(label->labelize());
    EXPECT_EQ(label->sublabel()->layer().animation("position"), nullptr);
    ScrollingLabel::controllerLabelsAnimate(controller);
    EXPECT_FALSE(label->labelize());
    auto running = label->sublabel()->layer().animation("position");
    ASSERT_NE(running, nullptr);
    ScrollingLabel::restartLabelsOfController(other);
    EXPECT_EQ(label->sublabel()->layer().animation("position"), running);
    ScrollingLabel::controllerViewDidAppear(controller);
    EXPECT_NE(label->sublabel()->layer().animation("position"), running);
}

TEST_F(ScrollingLabelTest, BackgroundShutsDownAndBecomingActiveRestarts) {
    auto label = makeLabel();
    foundation::NotificationCenter::defaultCenter().post(ui::Application::didEnterBackgroundNotification);
    EXPECT_EQ(label->sublabel()->layer().animation("position"), nullptr);
    EXPECT_FALSE(label->hasScrollCompletionBlock());
    foundation::NotificationCenter::defaultCenter().post(ui::Application::didBecomeActiveNotification);
    EXPECT_NE(label->sublabel()->layer().animation("position"), nullptr);
}

TEST_F(ScrollingLabelTest, PauseFreezesTheTextAndUnpauseContinues) {
    auto label = makeLabel(ScrollType::continuous);
    label->pauseLabel();  // at home: nothing
    EXPECT_FALSE(label->isPaused());
    loop.advanceSeconds(1 + 3.5);
    const double x = label->sublabel()->layer().presentationPosition().x;
    EXPECT_NEAR(x, label->homeLabelFrame().origin.x + label->awayOffset() / 2, 1e-6);
    label->pauseLabel();
    EXPECT_TRUE(label->isPaused());
    label->pauseLabel();
    loop.advanceSeconds(30);
    EXPECT_DOUBLE_EQ(label->sublabel()->layer().presentationPosition().x, x);
    label->unpauseLabel();
    EXPECT_FALSE(label->isPaused());
    EXPECT_NEAR(label->sublabel()->layer().presentationPosition().x, x, 1e-6);
    loop.advanceSeconds(3.5);
    EXPECT_NE(label->sublabel()->layer().animation("position"), nullptr);  // the next pass began
    label->unpauseLabel();                                                 // not paused: nothing
}

TEST_F(ScrollingLabelTest, LeavingTheWindowReturnsHome) {
    auto label = makeLabel();
    loop.advanceSeconds(3);
    EXPECT_TRUE(label->awayFromHome());
    label->removeFromSuperview();
    EXPECT_FALSE(label->awayFromHome());
    EXPECT_TRUE(label->sublabel()->layer().animationKeys().empty());
}

}  // namespace
}  // namespace reelhaven

namespace reelhaven {
namespace {

TEST_F(ScrollingLabelTest, LabelsFromInterfaceFilesForwardWhatTheFileSet) {
    auto label = ScrollingLabel::createFromCoder();
    // What decoding the file leaves in the label's own storage.
    label->ui::Label::setText(std::string("Holiday.mkv"));
    label->ui::Label::setTextColor(ui::Color::white());
    label->ui::Label::setTextAlignment(ui::TextAlignment::center);
    EXPECT_EQ(label->text(), std::nullopt);
    label->awakeFromNib();
    EXPECT_EQ(label->text(), "Holiday.mkv");
    EXPECT_EQ(label->textColor(), ui::Color::white());
    EXPECT_EQ(label->sublabel()->textAlignment(), ui::TextAlignment::center);
    EXPECT_EQ(label->backgroundColor(), ui::Color::clear());
}

TEST_F(ScrollingLabelTest, ResetForgetsHomeAndTriggerStartsOnlyFromHome) {
    auto label = makeLabel();
    label->resetLabel();
    EXPECT_TRUE(label->homeLabelFrame().isNull());
    EXPECT_EQ(label->awayOffset(), 0);
    EXPECT_TRUE(label->sublabel()->layer().animationKeys().empty());
    label->restartLabel();
    loop.advanceSeconds(2);  // moving away
    auto running = label->sublabel()->layer().animation("position");
    label->triggerScrollStart();
    EXPECT_EQ(label->sublabel()->layer().animation("position"), running);
    label->shutdownLabel();
    label->triggerScrollStart();
    EXPECT_NE(label->sublabel()->layer().animation("position"), nullptr);
}

}  // namespace
}  // namespace reelhaven
