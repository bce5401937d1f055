#pragma once

namespace ui {

enum class UserInterfaceIdiom { unspecified = -1, phone = 0, pad = 1, tv = 2, carPlay = 3, mac = 5 };
enum class UserInterfaceSizeClass { unspecified = 0, compact = 1, regular = 2 };
enum class UserInterfaceStyle { unspecified = 0, light = 1, dark = 2 };

// The environment a view is shown in. Views and controllers hear `traitCollectionDidChange`
// when the one of their window changes.
struct TraitCollection {
    UserInterfaceIdiom userInterfaceIdiom = UserInterfaceIdiom::phone;
    UserInterfaceSizeClass horizontalSizeClass = UserInterfaceSizeClass::compact;
    UserInterfaceSizeClass verticalSizeClass = UserInterfaceSizeClass::regular;
    UserInterfaceStyle userInterfaceStyle = UserInterfaceStyle::dark;
    double displayScale = 3;

    bool operator==(const TraitCollection&) const = default;
};

}  // namespace ui
