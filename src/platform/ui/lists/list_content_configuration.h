#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/text/font.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/image.h"

namespace ui {

// What a list cell or header shows: text, secondary text and an image, each with its look.
struct ListContentConfiguration {
    enum class Style {
        cell,
        subtitleCell,
        valueCell,
        sidebarCell,
        header,
        footer,
        groupedHeader,
        plainHeader,
        prominentInsetGroupedHeader
    };

    struct TextProperties {
        std::optional<Font> font;
        std::optional<Color> color;
        int numberOfLines = 0;
    };
    struct ImageProperties {
        std::optional<Color> tintColor;
        std::optional<double> maximumWidth;
    };

    Style style = Style::cell;
    std::optional<std::string> text;
    std::shared_ptr<class AttributedString> attributedText;
    std::optional<std::string> secondaryText;
    std::shared_ptr<Image> image;
    TextProperties textProperties;
    TextProperties secondaryTextProperties;
    ImageProperties imageProperties;

    static ListContentConfiguration cell() { return {}; }
    static ListContentConfiguration subtitleCell() { return withStyle(Style::subtitleCell); }
    static ListContentConfiguration valueCell() { return withStyle(Style::valueCell); }
    static ListContentConfiguration groupedHeader() { return withStyle(Style::groupedHeader); }
    static ListContentConfiguration plainHeader() { return withStyle(Style::plainHeader); }

private:
    static ListContentConfiguration withStyle(Style style) {
        ListContentConfiguration c;
        c.style = style;
        return c;
    }
};

}  // namespace ui
