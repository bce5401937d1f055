#include "core/library_item.h"

#include "core/file_identity.h"
#include "platform/foundation/json.h"
#include "platform/foundation/string_compare.h"

namespace reelhaven {

namespace {

foundation::Error decodingError(const std::string& description) {
    return foundation::Error::foundation(foundation::kErrorCorruptData, description);
}

}  // namespace

std::optional<LibraryItemType> libraryItemTypeFromRawValue(long long raw) {
    switch (raw) {
        case 0: return LibraryItemType::file;
        case 1: return LibraryItemType::folder;
        case 2: return LibraryItemType::subtitle;
        default: return std::nullopt;
    }
}

LibraryItem::LibraryItem(foundation::URL url, LibraryItemType type, bool isSecurityScoped)
    : m_url(std::move(url)), m_type(type), m_isSecurityScoped(isSecurityScoped) {
    // A file opened from elsewhere is not ours to mark, so it gets a fresh id every time.
    m_id = isSecurityScoped ? foundation::UUID::random() : FileIdentity::identify(m_url.path());
}

LibraryItem::LibraryItem(foundation::URL url, LibraryItemType type, const ListedIdentity& listed)
    : m_url(std::move(url)), m_type(type), m_isSecurityScoped(false) {
    m_id = FileIdentity::identify(m_url.path(), listed);
}

std::shared_ptr<LibraryItem> LibraryItem::create(foundation::URL url, LibraryItemType type, bool isSecurityScoped) {
    return std::shared_ptr<LibraryItem>(new LibraryItem(std::move(url), type, isSecurityScoped));
}

foundation::Result<std::shared_ptr<LibraryItem>> LibraryItem::decode(const nlohmann::json& json) {
    using foundation::JsonCoding;
    auto urlText = JsonCoding::decode<std::string>(json, "url");
    if (!urlText) return urlText.error();
    auto url = foundation::URL::parse(*urlText);
    if (!url) return decodingError("\"url\" is not a URL");
    auto idText = JsonCoding::decode<std::string>(json, "id");
    if (!idText) return idText.error();
    auto id = foundation::UUID::parse(*idText);
    if (!id) return decodingError("\"id\" is not a UUID");
    auto rawType = JsonCoding::decode<long long>(json, "type");
    if (!rawType) return rawType.error();
    auto type = libraryItemTypeFromRawValue(*rawType);
    if (!type) return decodingError("\"type\" is not a library item type");
    auto isSecurityScoped = JsonCoding::decode<bool>(json, "isSecurityScoped");
    if (!isSecurityScoped) return isSecurityScoped.error();

    // Built with a security scope first so the file is not touched, then given the coded values.
    auto item = std::shared_ptr<LibraryItem>(new LibraryItem(std::move(*url), *type, true));
    item->m_id = *id;
    item->m_isSecurityScoped = *isSecurityScoped;
    return item;
}

foundation::URL LibraryItem::url() const {
    std::lock_guard lock(m_mutex);
    return m_url;
}

void LibraryItem::setUrl(foundation::URL url) {
    std::lock_guard lock(m_mutex);
    m_url = std::move(url);
}

foundation::UUID LibraryItem::id() const {
    std::lock_guard lock(m_mutex);
    return m_id;
}

void LibraryItem::setId(foundation::UUID id) {
    std::lock_guard lock(m_mutex);
    m_id = id;
}

LibraryItemType LibraryItem::type() const {
    std::lock_guard lock(m_mutex);
    return m_type;
}

void LibraryItem::setType(LibraryItemType type) {
    std::lock_guard lock(m_mutex);
    m_type = type;
}

bool LibraryItem::isSecurityScoped() const {
    std::lock_guard lock(m_mutex);
    return m_isSecurityScoped;
}

void LibraryItem::setIsSecurityScoped(bool isSecurityScoped) {
    std::lock_guard lock(m_mutex);
    m_isSecurityScoped = isSecurityScoped;
}

std::string LibraryItem::displayName() const {
    std::lock_guard lock(m_mutex);
    if (m_type == LibraryItemType::folder) return m_url.lastPathComponent();
    return m_url.deletingPathExtension().lastPathComponent();
}

bool LibraryItem::operator==(const LibraryItem& other) const {
    if (this == &other) return true;
    if (id() != other.id()) return false;
    return foundation::StringCompare::canonicallyEqual(displayName(), other.displayName());
}

nlohmann::json LibraryItem::encode() const {
    std::lock_guard lock(m_mutex);
    return nlohmann::json{{"url", m_url.absoluteString()},
                          {"id", m_id.uuidString()},
                          {"type", rawValue(m_type)},
                          {"isSecurityScoped", m_isSecurityScoped}};
}

}  // namespace reelhaven
