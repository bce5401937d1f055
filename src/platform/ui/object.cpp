#include "platform/ui/object.h"

#include <cstdio>

namespace ui {

std::string Object::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<" + className() + ": " + address + ">";
}

}  // namespace ui
