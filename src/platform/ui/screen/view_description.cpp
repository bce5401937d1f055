#include "platform/ui/screen/view_description.h"

#include <cmath>
#include <cstdio>

#include "platform/base/escaped_text.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/progress_view.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/image_view.h"

namespace ui {

std::string quoted(std::string_view text) { return "\"" + base::escapedText(text, base::QuoteEscape::escape) + "\""; }

std::string formatNumber(double value) {
    const double rounded = std::round(value * 100) / 100;
    if (rounded == std::floor(rounded)) return std::to_string(static_cast<long long>(rounded));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", rounded);
    std::string text = buffer;
    while (text.back() == '0') text.pop_back();
    return text;
}

std::string describeImage(const Image* image) {
    if (!image) return {};
    if (image->isSymbolImage()) return "sym:" + image->symbolName();
    if (!image->assetName().empty()) return "image:" + image->assetName();
    const Size size = image->size();
    return "image " + formatNumber(size.width) + "x" + formatNumber(size.height);
}

namespace {

void append(std::string& details, const std::string& word) {
    if (word.empty()) return;
    if (!details.empty()) details += ' ';
    details += word;
}

// Text and placeholder of an input, the text shown as dots when it is secret.
void describeInput(ViewDescription& d, const std::optional<std::string>& text, const std::string& placeholder,
                   bool secure) {
    const std::string shown = text ? (secure ? std::string(text->size(), '*') : *text) : std::string();
    append(d.details, "text " + quoted(shown));
    if (!placeholder.empty()) append(d.details, "placeholder " + quoted(placeholder));
    if (!shown.empty()) d.texts.push_back(shown);
    if (!placeholder.empty()) d.texts.push_back(placeholder);
}

void describeControlState(ViewDescription& d, const Control& control) {
    if (!control.isEnabled()) append(d.details, "disabled");
    if (control.isSelected()) append(d.details, "selected");
}

void describeButton(ViewDescription& d, const Button& button) {
    const auto title = button.currentTitle();
    const auto attributed = button.attributedTitle(button.state());
    const std::string text = attributed ? attributed->string() : title.value_or("");
    if (!text.empty()) {
        append(d.details, quoted(text));
        d.texts.push_back(text);
    }
    append(d.details, describeImage(button.currentImage().get()));
    if (button.menu() && button.showsMenuAsPrimaryAction()) append(d.details, "menu");
    if (button.opensMenuOnPress()) append(d.details, "menu when held");
}

void describeSegments(ViewDescription& d, const SegmentedControl& segments) {
    std::string list;
    for (int i = 0; i < segments.numberOfSegments(); ++i) {
        std::string title = segments.titleForSegment(i);
        if (title.empty()) title = describeImage(segments.imageForSegment(i).get());
        std::string segment = quoted(title);
        if (i == segments.selectedSegmentIndex()) segment = "[" + segment + "]";
        if (!segments.isEnabledForSegment(i)) segment += " disabled";
        list += (i ? " " : "") + segment;
        d.texts.push_back(segments.titleForSegment(i));
    }
    append(d.details, "segments " + list);
}

std::string range(double value, double minimum, double maximum) {
    return "value " + formatNumber(value) + " of " + formatNumber(minimum) + ".." + formatNumber(maximum);
}

bool hasEnabledRecognizer(const View& view) {
    for (const auto& recognizer : view.gestureRecognizers()) {
        if (recognizer->isEnabled()) return true;
    }
    return false;
}

}  // namespace

ViewDescription describeView(const View& view) {
    ViewDescription d;
    if (const auto* bar = dynamic_cast<const SearchBar*>(&view)) {
        describeInput(d, bar->text(), bar->placeholder(), false);
        if (bar->isEditing()) append(d.details, "editing");
        d.actionable = true;
    } else if (const auto* control = dynamic_cast<const Control*>(&view)) {
        if (const auto* field = dynamic_cast<const TextField*>(control)) {
            describeInput(d, field->text(), field->placeholder(), field->isSecureTextEntry());
        } else if (const auto* button = dynamic_cast<const Button*>(control)) {
            describeButton(d, *button);
        } else if (const auto* toggle = dynamic_cast<const Switch*>(control)) {
            append(d.details, toggle->isOn() ? "on" : "off");
        } else if (const auto* slider = dynamic_cast<const Slider*>(control)) {
            append(d.details, range(slider->value(), slider->minimumValue(), slider->maximumValue()));
        } else if (const auto* segments = dynamic_cast<const SegmentedControl*>(control)) {
            describeSegments(d, *segments);
        } else if (const auto* stepper = dynamic_cast<const Stepper*>(control)) {
            append(d.details, range(stepper->value(), stepper->minimumValue(), stepper->maximumValue()));
            if (stepper->isEnabled() && !stepper->isHalfEnabled(Stepper::Half::minus))
                append(d.details, "minus disabled");
            if (stepper->isEnabled() && !stepper->isHalfEnabled(Stepper::Half::plus))
                append(d.details, "plus disabled");
        }
        describeControlState(d, *control);
        d.actionable = true;
    } else if (const auto* label = dynamic_cast<const Label*>(&view)) {
        const auto attributed = label->attributedText();
        const std::string text = attributed ? attributed->string() : label->text().value_or("");
        append(d.details, quoted(text));
        if (!text.empty()) d.texts.push_back(text);
    } else if (const auto* imageView = dynamic_cast<const ImageView*>(&view)) {
        const std::string image = describeImage(imageView->image().get());
        append(d.details, image.empty() ? "no image" : image);
    } else if (const auto* progress = dynamic_cast<const ProgressView*>(&view)) {
        append(d.details, "progress " + formatNumber(progress->progress()));
    } else if (const auto* scroll = dynamic_cast<const ScrollView*>(&view)) {
        const Point offset = scroll->contentOffset();
        const Size content = scroll->contentSize();
        append(d.details, "offset " + formatNumber(offset.x) + "," + formatNumber(offset.y) + " content " +
                              formatNumber(content.width) + "x" + formatNumber(content.height));
        d.actionable = scroll->isScrollEnabled();
    }
    if (!view.isUserInteractionEnabled()) {
        // Only worth saying where a user would expect to act (labels and images never take touches).
        if (d.actionable || hasEnabledRecognizer(view)) append(d.details, "no touches");
        d.actionable = false;
    } else if (hasEnabledRecognizer(view)) {
        d.actionable = true;
    }
    return d;
}

}  // namespace ui
