#include "controls/options_value_texts.h"

#include <string>

#include "platform/ui/views/color.h"
#include "toolkit/number_text.h"

namespace reelhaven {
namespace {

std::shared_ptr<ui::AttributedString> greyText(std::string text) {
    return ui::AttributedString::create(std::move(text),
                                        {{ui::AttributedStringKey::foregroundColor(), ui::Color::systemGray()}});
}

}  // namespace

std::shared_ptr<ui::AttributedString> speedText(std::optional<double> speed) {
    const std::string text = doubleText(speed ? roundedHalfEven(*speed, 1) : 1.0) + kMultiplicationSign;
    if (text == std::string("1.0") + kMultiplicationSign) return greyText(std::string("1") + kMultiplicationSign);
    return ui::AttributedString::create(text);
}

std::shared_ptr<ui::AttributedString> delayText(double seconds) {
    // -0.0 is no delay as well; it must not read "-0.0s".
    if (seconds == 0) return greyText("Off");
    return ui::AttributedString::create(doubleText(seconds) + "s");
}

std::shared_ptr<ui::AttributedString> borderSizeText(double points) {
    return ui::AttributedString::create(doubleText(points) + "pt");
}

}  // namespace reelhaven
