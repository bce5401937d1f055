#pragma once

#include <memory>

#include "core/library_item.h"

namespace reelhaven {

// A subtitle file of the library ("ass", "ssa", "srt", "vtt").
class Subtitle : public LibraryItem {
public:
    static std::shared_ptr<Subtitle> create(foundation::URL url, LibraryItemType type, bool isSecurityScoped);
    // One a listing makes, with the identity attribute it read for the file.
    static std::shared_ptr<Subtitle> create(foundation::URL url, LibraryItemType type, const ListedIdentity& listed);
    // Subtitles are never decoded from their coded form; asking is a programming error.
    [[noreturn]] static void decode(const nlohmann::json& json);

protected:
    using LibraryItem::LibraryItem;
};

}  // namespace reelhaven
