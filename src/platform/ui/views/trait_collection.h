#pragma once

namespace ui {

enum class UserInterfaceIdiom { unspecified = -1, phone = 0, pad = 1, tv = 2, carPlay = 3, mac = 5 };
enum class UserInterfaceSizeClass { unspecified = 0, compact = 1, regular = 2 };
enum class UserInterfaceStyle { unspecified = 0, light = 1, dark = 2 };
// The direction the interface reads in: right to left for languages written that way.
enum class UserInterfaceLayoutDirection { leftToRight = 0, rightToLeft = 1 };
enum class TraitEnvironmentLayoutDirection { unspecified = -1, leftToRight = 0, rightToLeft = 1 };

// The environment a view is shown in. Views and controllers hear `traitCollectionDidChange`
// when the one of their window changes.
struct TraitCollection {
    UserInterfaceIdiom userInterfaceIdiom = UserInterfaceIdiom::phone;
    UserInterfaceSizeClass horizontalSizeClass = UserInterfaceSizeClass::compact;
    UserInterfaceSizeClass verticalSizeClass = UserInterfaceSizeClass::regular;
    UserInterfaceStyle userInterfaceStyle = UserInterfaceStyle::dark;
    double displayScale = 3;
    TraitEnvironmentLayoutDirection layoutDirection = TraitEnvironmentLayoutDirection::leftToRight;

    bool operator==(const TraitCollection&) const = default;

    // The direction views lay out in: right to left only when the environment says so.
    UserInterfaceLayoutDirection effectiveLayoutDirection() const {
        return layoutDirection == TraitEnvironmentLayoutDirection::rightToLeft
                   ? UserInterfaceLayoutDirection::rightToLeft
                   : UserInterfaceLayoutDirection::leftToRight;
    }
    // `traits` with the size classes the platform gives a window of `width` x `height` points: a
    // regular width from a tablet's portrait width on, a compact height below a phone's landscape
    // height.
    static TraitCollection withSizeClasses(TraitCollection traits, double width, double height) {
        traits.horizontalSizeClass = width >= 700 ? UserInterfaceSizeClass::regular : UserInterfaceSizeClass::compact;
        traits.verticalSizeClass = height >= 500 ? UserInterfaceSizeClass::regular : UserInterfaceSizeClass::compact;
        return traits;
    }
};

}  // namespace ui
