#pragma once

#include <memory>
#include <string>

#include "platform/ui/views/trait_collection.h"

namespace ui {

enum class DeviceOrientation { unknown, portrait, portraitUpsideDown, landscapeLeft, landscapeRight, faceUp, faceDown };

// The device: its idiom (a setting; phone by default), language direction and orientation. Changing the orientation
// posts `orientationDidChangeNotification`. Main thread only.
class Device {
public:
    static constexpr const char* orientationDidChangeNotification = "UIDeviceOrientationDidChangeNotification";

    static Device& current();

    UserInterfaceIdiom userInterfaceIdiom() const { return m_idiom; }
    void setUserInterfaceIdiom(UserInterfaceIdiom idiom) { m_idiom = idiom; }
    // The direction of the language the device runs in (a setting; left to right by default).
    UserInterfaceLayoutDirection userInterfaceLayoutDirection() const { return m_layoutDirection; }
    void setUserInterfaceLayoutDirection(UserInterfaceLayoutDirection direction) { m_layoutDirection = direction; }
    DeviceOrientation orientation() const { return m_orientation; }
    void setOrientation(DeviceOrientation orientation);
    std::string systemName() const { return "iOS"; }
    std::string systemVersion() const;
    std::string model() const { return m_idiom == UserInterfaceIdiom::pad ? "iPad" : "iPhone"; }

private:
    Device() = default;

    UserInterfaceIdiom m_idiom = UserInterfaceIdiom::phone;
    DeviceOrientation m_orientation = DeviceOrientation::portrait;
    UserInterfaceLayoutDirection m_layoutDirection = UserInterfaceLayoutDirection::leftToRight;
};

}  // namespace ui
