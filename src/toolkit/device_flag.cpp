#include "toolkit/device_flag.h"

#include "platform/ui/views/device.h"

namespace reelhaven {

bool isPad() {
    static const bool pad = ui::Device::current().userInterfaceIdiom() == ui::UserInterfaceIdiom::pad;
    return pad;
}

}  // namespace reelhaven
