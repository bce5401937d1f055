#include "settings/settings_item.h"

#include <functional>

namespace reelhaven {

std::size_t SettingsItem::Hash::operator()(const SettingsItem& item) const {
    auto combine = [](std::size_t seed, std::size_t value) {
        return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
    };
    std::size_t hash = combine(0, item.title.has_value() ? 1 : 0);
    if (item.title) hash = combine(hash, std::hash<std::string>()(*item.title));
    return combine(hash, std::hash<foundation::UUID>()(item.identifier));
}

}  // namespace reelhaven
