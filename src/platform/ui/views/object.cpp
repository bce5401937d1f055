#include "platform/ui/views/object.h"

#include <cstdio>

namespace ui {

std::string Object::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<" + className() + ": " + address + ">";
}

void Object::setAssociatedObject(const std::string& key, std::shared_ptr<void> value) {
    if (value) {
        m_associated[key] = std::move(value);
    } else {
        m_associated.erase(key);
    }
}

std::shared_ptr<void> Object::associatedObject(const std::string& key) const {
    const auto it = m_associated.find(key);
    return it == m_associated.end() ? nullptr : it->second;
}

}  // namespace ui
