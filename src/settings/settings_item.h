#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/foundation/uuid.h"

namespace reelhaven {

// A row of the list settings screen. Every item made gets a new identifier, so two items with
// the same title are still two rows.
struct SettingsItem {
    std::optional<std::string> title;
    foundation::UUID identifier = foundation::UUID::random();

    bool operator==(const SettingsItem&) const = default;
    // The title (with whether there is one), then the identifier.
    struct Hash {
        std::size_t operator()(const SettingsItem& item) const;
    };
};

}  // namespace reelhaven
