#include "controls/detail_scrubber.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/views/bezier_path.h"
#include "platform/ui/views/shape_layer.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

class RecordingScrubberDelegate : public DetailScrubberDelegate {
public:
    std::optional<DetailScrubber::SpeedTable> table;
    std::vector<std::pair<float, double>> changes;

    std::optional<DetailScrubber::SpeedTable> scrubbingSpeeds(DetailScrubber&) override { return table; }
    void didChangeScrubbingSpeed(DetailScrubber&, float speed, double yOffset) override {
        changes.emplace_back(speed, yOffset);
    }
};

// A 300-point bar (the track is as wide) over 0...100 in a window, with a finger on it.
class DetailScrubberTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 400, 400));
    std::shared_ptr<DetailScrubber> scrubber = DetailScrubber::create(ui::Rect(0, 100, 300, 30));
    std::shared_ptr<RecordingScrubberDelegate> delegate = std::make_shared<RecordingScrubberDelegate>();
    int valueChanges = 0;

    void SetUp() override {
        window->addSubview(scrubber);
        scrubber->setMaximumValue(100);
        scrubber->setValue(50);
        scrubber->setDelegate(delegate);
        scrubber->addTarget(
            window, [this](ui::Control&) { ++valueChanges; }, ui::valueChanged);
    }
    // Points relative to the place the drag starts, (150, 115) in the window.
    void down() { scrubber->touchDown({150, 115}); }
    void move(double dx, double dy) { scrubber->touchMove({150 + dx, 115 + dy}); }
    void up(double dx, double dy) { scrubber->touchUp({150 + dx, 115 + dy}); }
};

TEST_F(DetailScrubberTest, ADragAlongTheBarFollowsTheFingerWithoutJumpingToIt) {
    down();
    EXPECT_EQ(scrubber->value(), 50);
    move(30, 0);
    EXPECT_FLOAT_EQ(scrubber->value(), 60);
    move(-30, 10);
    EXPECT_FLOAT_EQ(scrubber->value(), 40);
    EXPECT_EQ(scrubber->currentSpeed(), 1.0f);
    EXPECT_EQ(valueChanges, 2);
}

TEST_F(DetailScrubberTest, FarFromTheBarTheValueMovesByTheBandsFraction) {
    down();
    move(0, 120);
    EXPECT_EQ(scrubber->currentSpeed(), 0.25f);
    move(60, 120);
    EXPECT_FLOAT_EQ(scrubber->value(), 55);  // a quarter of 20
    move(0, -120);
    move(60, -120);
    EXPECT_EQ(scrubber->currentSpeed(), 0.25f);
}

TEST_F(DetailScrubberTest, EachBandOfTheDefaultTableHasItsSpeed) {
    const std::vector<std::pair<double, float>> bands{{0, 1.0f},   {49, 1.0f},  {50, 0.5f},   {99, 0.5f},  {100, 0.25f},
                                                      {150, 0.1f}, {199, 0.1f}, {200, 0.05f}, {900, 0.05f}};
    down();
    for (auto [distance, speed] : bands) {
        move(0, distance);
        EXPECT_EQ(scrubber->currentSpeed(), speed) << distance;
    }
}

TEST_F(DetailScrubberTest, TheDelegateHearsOnlyChangesOfBand) {
    down();
    move(0, 49);
    move(0, 50);
    move(0, 70);
    move(0, 99);
    EXPECT_EQ(delegate->changes, (std::vector<std::pair<float, double>>{{0.5f, 50}}));
    up(0, 99);
    EXPECT_EQ(delegate->changes, (std::vector<std::pair<float, double>>{{0.5f, 50}, {1.0f, 0}}));
    EXPECT_EQ(scrubber->currentSpeed(), 1.0f);
}

TEST_F(DetailScrubberTest, EndingNearTheBarSendsTheValueWithoutASpeedChange) {
    scrubber->setContinuous(false);
    down();
    move(30, 10);
    EXPECT_EQ(valueChanges, 0);
    up(30, 10);
    EXPECT_TRUE(delegate->changes.empty());
    EXPECT_EQ(valueChanges, 1);
}

TEST_F(DetailScrubberTest, ACancelledDragEndsLikeALiftedOne) {
    down();
    move(0, 160);
    scrubber->touchCancel();
    EXPECT_EQ(delegate->changes.back(), (std::pair<float, double>{1.0f, 0}));
    EXPECT_EQ(valueChanges, 2);
    EXPECT_EQ(scrubber->currentSpeed(), 1.0f);
}

TEST_F(DetailScrubberTest, MovingBackTowardTheStartLinePullsTowardTheFullSpeedPosition) {
    down();
    move(0, 200);
    move(60, 200);  // full speed would be at 70; a twentieth of it moves to 51
    EXPECT_FLOAT_EQ(scrubber->value(), 51);
    move(60, 100);  // back up: the entry is 0.25, no travel, a pull of (70 - 51) / 101
    EXPECT_FLOAT_EQ(scrubber->value(), 51 + 19.0f / 101);
    move(60, 150);  // away again: no pull
    EXPECT_FLOAT_EQ(scrubber->value(), 51 + 19.0f / 101);
    move(60, -20);  // across the line and above it: moving up is away from it
    EXPECT_FLOAT_EQ(scrubber->value(), 51 + 19.0f / 101);
    move(60, -10);  // above and moving down toward it
    EXPECT_GT(scrubber->value(), 51 + 19.0f / 101);
}

TEST_F(DetailScrubberTest, ThePlayersValueIsWhereTheNextPullAims) {
    down();
    move(0, 200);
    scrubber->setValue(30);  // playback moved the bar during the drag
    move(0, 100);
    EXPECT_FLOAT_EQ(scrubber->value(), 30);  // no pull back toward the drag's 50
}

TEST_F(DetailScrubberTest, TheValueStaysInsideTheRange) {
    down();
    move(400, 0);
    EXPECT_EQ(scrubber->value(), 100);
}

TEST_F(DetailScrubberTest, TheBarGrowsWhileTouchedAndShrinksAfter) {
    down();
    EXPECT_EQ(scrubber->transform(), ui::AffineTransform::scale(1.0, 1.3));
    loop.advanceSeconds(0.05);
    up(0, 0);
    EXPECT_EQ(scrubber->transform(), ui::AffineTransform::identity());
}

TEST_F(DetailScrubberTest, BeforeAnyDragTheSpeedIsZero) { EXPECT_EQ(scrubber->currentSpeed(), 0.0f); }

TEST_F(DetailScrubberTest, ATableAlwaysRunsDistanceZeroAtFullSpeed) {
    scrubber->setScrubbingSpeeds({{30, 0.3f}});
    EXPECT_EQ(scrubber->scrubbingSpeeds(), (DetailScrubber::SpeedTable{{0, 1.0f}, {30, 0.3f}}));
    scrubber->setScrubbingSpeeds({{0, 0.8f}});
    EXPECT_EQ(scrubber->scrubbingSpeeds(), (DetailScrubber::SpeedTable{{0, 1.0f}}));
}

TEST_F(DetailScrubberTest, TheDelegatesTableReplacesTheOwnAtEachDrag) {
    delegate->table = DetailScrubber::SpeedTable{{20, 0.5f}};
    down();
    move(0, 25);
    EXPECT_EQ(scrubber->currentSpeed(), 0.5f);
    up(0, 25);
    EXPECT_EQ(scrubber->scrubbingSpeeds(), (DetailScrubber::SpeedTable{{0, 1.0f}, {20, 0.5f}}));
    delegate->table.reset();
    down();
    EXPECT_EQ(scrubber->scrubbingSpeeds().size(), 2u);
}

TEST_F(DetailScrubberTest, ATrackWithoutWidthIgnoresMoves) {
    auto unlaid = DetailScrubber::create();
    window->addSubview(unlaid);
    unlaid->setMaximumValue(100);
    unlaid->setValue(40);
    EXPECT_TRUE(unlaid->touchDown({0, 0}));
    unlaid->touchMove({30, 0});
    EXPECT_EQ(unlaid->value(), 40);
}

TEST_F(DetailScrubberTest, TheMaskIsASixPointBandTenPointsShortOfEachEnd) {
    auto mask = std::dynamic_pointer_cast<ui::ShapeLayer>(scrubber->layer().mask());
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->frame(), ui::Rect(0, 0, 300, 30));
    ASSERT_TRUE(mask->path());
    EXPECT_EQ(*mask->path(), ui::BezierPath::roundedRect(ui::Rect(10, 12, 280, 6), 3));
    EXPECT_EQ(scrubber->trackRect(scrubber->bounds()), ui::Rect(0, 12, 300, 6));
}

TEST_F(DetailScrubberTest, SmallBoundsKeepThePreviousMask) {
    auto before = scrubber->layer().mask();
    scrubber->setBounds(ui::Rect(0, 0, 300, 6));
    EXPECT_EQ(scrubber->layer().mask(), before);
    scrubber->setBounds(ui::Rect(0, 0, 20, 30));
    EXPECT_EQ(scrubber->layer().mask(), before);
    scrubber->setBounds(ui::Rect(0, 0, 21, 7));
    EXPECT_NE(scrubber->layer().mask(), before);
    EXPECT_FALSE(DetailScrubber::create()->layer().mask());
}

}  // namespace
}  // namespace reelhaven
