#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "platform/foundation/error.h"
#include "platform/foundation/url.h"
#include "platform/foundation/uuid.h"

namespace reelhaven {

struct ListedIdentity;

enum class LibraryItemType { file = 0, folder = 1, subtitle = 2 };

// Nothing for any integer but 0, 1 and 2.
std::optional<LibraryItemType> libraryItemTypeFromRawValue(long long raw);
constexpr int rawValue(LibraryItemType type) { return static_cast<int>(type); }

// One entry of the library: a folder, a video file or a subtitle file. Items are shared by the
// library manager's lists, the screens and the player; what one holder fills in, every holder
// sees. The identity is `id`, kept in the file's identity attribute so it survives renames.
//
// Fields are guarded by the item's own mutex, so any thread may read or fill them.
class LibraryItem {
public:
    // Makes an item of exactly this class. Unless `isSecurityScoped`, the id comes from the file's
    // identity attribute (a new one is written when there is none); a security-scoped item gets a
    // fresh id and its file is not touched.
    static std::shared_ptr<LibraryItem> create(foundation::URL url, LibraryItemType type, bool isSecurityScoped);

    // Decodes the coded form ("url", "id", "type", "isSecurityScoped"); the identity attribute is
    // not consulted. Fails for a missing key, a value of the wrong type or an unknown type number.
    static foundation::Result<std::shared_ptr<LibraryItem>> decode(const nlohmann::json& json);

    virtual ~LibraryItem() = default;
    LibraryItem(const LibraryItem&) = delete;
    LibraryItem& operator=(const LibraryItem&) = delete;

    foundation::URL url() const;
    void setUrl(foundation::URL url);
    foundation::UUID id() const;
    void setId(foundation::UUID id);
    LibraryItemType type() const;
    void setType(LibraryItemType type);
    bool isSecurityScoped() const;
    void setIsSecurityScoped(bool isSecurityScoped);

    // The last path component for a folder; for files and subtitles the last component without
    // its extension.
    std::string displayName() const;

    // Equal ids and canonically equivalent display names.
    bool operator==(const LibraryItem& other) const;
    // Feeds only the id, so items equal by the rule above hash alike.
    std::size_t hash() const { return std::hash<foundation::UUID>{}(id()); }

    // Writes exactly the four keys, whatever the subclass.
    nlohmann::json encode() const;

protected:
    LibraryItem(foundation::URL url, LibraryItemType type, bool isSecurityScoped);
    // An item of the library's own folders whose identity attribute a listing has read already.
    LibraryItem(foundation::URL url, LibraryItemType type, const ListedIdentity& listed);

    // Guards the fields of this object and of its subclass.
    mutable std::mutex m_mutex;

private:
    foundation::URL m_url;
    foundation::UUID m_id;
    LibraryItemType m_type;
    bool m_isSecurityScoped;
};

using LibraryItemPtr = std::shared_ptr<LibraryItem>;

// For sets and maps of shared items with the items' own equality and hashing.
struct LibraryItemPtrHash {
    std::size_t operator()(const LibraryItemPtr& item) const { return item ? item->hash() : 0; }
};
struct LibraryItemPtrEqual {
    bool operator()(const LibraryItemPtr& a, const LibraryItemPtr& b) const {
        if (!a || !b) return a == b;
        return *a == *b;
    }
};

}  // namespace reelhaven
