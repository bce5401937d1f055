#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui {

class Image;
class View;

// What a person sees of one view, in a few words, for the screen printed as text.
struct ViewDescription {
    // Follows the view's kind and frame on its line: `"Play" disabled`, `on`, `value 0.5 of 0..1`.
    std::string details;
    // The texts the view itself shows, by which a user may name it.
    std::vector<std::string> texts;
    // The user can act on it (a control, a search bar, a view with gesture recognisers, a list
    // that scrolls); it gets a handle.
    bool actionable = false;
};

ViewDescription describeView(const View& view);

// `"text"` escaped as every text from outside is printed (base::escapedText), its quotes too: every
// element stays on one line, and a name's control characters reach no terminal.
std::string quoted(std::string_view text);
// Whole numbers without decimals, others with at most two: "16", "16.5", "0.33".
std::string formatNumber(double value);
// `sym:play.fill`, `image:name`, `image 40x30`, or empty for none.
std::string describeImage(const Image* image);

}  // namespace ui
