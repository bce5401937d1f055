#include <gtest/gtest.h>

#include <cmath>

#include <any>

#include "controls/options_value_texts.h"
#include "controls/progress_label_texts.h"
#include "platform/ui/views/color.h"

namespace reelhaven {
namespace {

const std::string kTimes = "\xC3\x97";

// The text and whether it is the grey neutral form.
std::pair<std::string, bool> shown(const std::shared_ptr<ui::AttributedString>& text) {
    auto attributes = text->attributesAtStart();
    auto colour = attributes.find(ui::AttributedStringKey::foregroundColor());
    const bool grey = colour != attributes.end() && std::any_cast<ui::Color>(colour->second) == ui::Color::systemGray();
    return {text->string(), grey};
}

TEST(ValueTextsTest, NormalSpeedIsAGreyOneAndOtherSpeedsAreRoundedHalfToEven) {
    EXPECT_EQ(shown(speedText(std::nullopt)), std::make_pair("1" + kTimes, true));
    EXPECT_EQ(shown(speedText(1.0)), std::make_pair("1" + kTimes, true));
    EXPECT_EQ(shown(speedText(1.04)), std::make_pair("1" + kTimes, true));
    EXPECT_EQ(shown(speedText(1.25)), std::make_pair("1.2" + kTimes, false));
    EXPECT_EQ(shown(speedText(0.1)), std::make_pair("0.1" + kTimes, false));
    EXPECT_EQ(shown(speedText(4)), std::make_pair("4.0" + kTimes, false));
    EXPECT_EQ(shown(speedText(1.5)), std::make_pair("1.5" + kTimes, false));
}

TEST(ValueTextsTest, NoDelayIsAGreyOffAndOtherDelaysAreSeconds) {
    EXPECT_EQ(shown(delayText(0)), std::make_pair(std::string("Off"), true));
    EXPECT_EQ(shown(delayText(-0.0)), std::make_pair(std::string("Off"), true));
    EXPECT_EQ(shown(delayText(-0.5)), std::make_pair(std::string("-0.5s"), false));
    EXPECT_EQ(shown(delayText(0.5)), std::make_pair(std::string("0.5s"), false));
    EXPECT_EQ(shown(delayText(-1.5)), std::make_pair(std::string("-1.5s"), false));
}

TEST(ValueTextsTest, BorderSizesArePlainPointsEvenAtZero) {
    EXPECT_EQ(shown(borderSizeText(0)), std::make_pair(std::string("0.0pt"), false));
    EXPECT_EQ(shown(borderSizeText(3)), std::make_pair(std::string("3.0pt"), false));
    EXPECT_EQ(shown(borderSizeText(2.5)), std::make_pair(std::string("2.5pt"), false));
}

TEST(ProgressLabelTextsTest, ProgressBelowZeroShowsZeroAndTheWholeDurationRemains) {
    auto texts = progressLabelTexts(-3, 100, ProgressLabelStyle::progressTimeRemaining);
    EXPECT_EQ(texts.progress, "0:00");
    EXPECT_EQ(texts.duration, "-1:40");
    EXPECT_EQ(progressLabelTexts(-0.0, 100, ProgressLabelStyle::progressTimeRemaining).progress, "0:00");
}

TEST(ProgressLabelTextsTest, TheRemainingTimeCountsToTheRoundedDuration) {
    EXPECT_EQ(progressLabelTexts(30, 100.4, ProgressLabelStyle::progressTimeRemaining).duration, "-1:10");
    EXPECT_EQ(progressLabelTexts(30, 100.5, ProgressLabelStyle::progressTimeRemaining).duration, "-1:11");
    EXPECT_EQ(progressLabelTexts(30, 100.4, ProgressLabelStyle::progressDuration).duration, "1:40");
    EXPECT_EQ(progressLabelTexts(30, 3700, ProgressLabelStyle::progressDuration).duration, "1:01:40");
}

TEST(ProgressLabelTextsTest, PastTheEndTheRemainingTimeHasNoMinus) {
    EXPECT_EQ(progressLabelTexts(101, 100.2, ProgressLabelStyle::progressTimeRemaining).duration, "0:01");
    EXPECT_EQ(progressLabelTexts(100, 100.2, ProgressLabelStyle::progressTimeRemaining).duration, "0:00");
}

TEST(ProgressLabelTextsTest, ATimeThatIsNotANumberShowsZero) {
    auto texts = progressLabelTexts(std::nan(""), std::nan(""), ProgressLabelStyle::progressTimeRemaining);
    EXPECT_EQ(texts.progress, "0:00");
    EXPECT_EQ(texts.duration, "0:00");
}

}  // namespace
}  // namespace reelhaven
