#include "platform/ui/views/device.h"

#include "platform/foundation/notification_center.h"
#include "platform/ui/views/platform_version.h"

namespace ui {

Device& Device::current() {
    static Device device;
    return device;
}

void Device::setOrientation(DeviceOrientation orientation) {
    if (orientation == m_orientation) return;
    m_orientation = orientation;
    foundation::NotificationCenter::defaultCenter().post(orientationDidChangeNotification);
}

std::string Device::systemVersion() const { return PlatformVersion::current().text(); }

}  // namespace ui
