#include "core/content_mode.h"

namespace reelhaven {

std::string_view rawValue(ContentMode mode) {
    switch (mode) {
        case ContentMode::aspectFit: return "aspectFit";
        case ContentMode::aspectFitUnsafe: return "aspectFitUnsafe";
        case ContentMode::aspectFill: return "aspectFill";
    }
    return "aspectFit";
}

std::optional<ContentMode> contentModeFromRawValue(std::string_view raw) {
    for (auto mode : {ContentMode::aspectFit, ContentMode::aspectFitUnsafe, ContentMode::aspectFill}) {
        if (rawValue(mode) == raw) return mode;
    }
    return std::nullopt;
}

}  // namespace reelhaven
