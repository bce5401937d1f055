#pragma once

namespace reelhaven {

// Which edges of a scrolling label are faded: an option set over a signed integer. Leading is
// the edge where the text starts reading.
struct EdgeFade {
    int rawValue = 0;

    static constexpr int leading = 1;
    static constexpr int trailing = 2;
    static EdgeFade none() { return {0}; }
    static EdgeFade leadingEdge() { return {leading}; }
    static EdgeFade trailingEdge() { return {trailing}; }
    static EdgeFade both() { return {leading | trailing}; }

    bool contains(int option) const { return (rawValue & option) == option; }
    bool operator==(const EdgeFade&) const = default;
};

}  // namespace reelhaven
