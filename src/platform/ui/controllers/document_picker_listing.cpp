#include "platform/ui/controllers/document_picker_listing.h"

#include <algorithm>
#include <cctype>

#include "platform/foundation/file_manager.h"

namespace ui {

namespace {
std::string folded(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}
}  // namespace

foundation::Result<DocumentPickerListing> DocumentPickerListing::list(
    const foundation::URL& folder, const std::function<bool(const foundation::URL&)>& canPick) {
    auto& files = foundation::FileManager::defaultManager();
    auto contents = files.contentsOfDirectory(folder, foundation::HiddenFiles::skip);
    if (!contents) return contents.error();
    DocumentPickerListing listing;
    listing.m_folder = folder;
    for (const auto& url : contents.value()) {
        bool isFolder = false;
        if (!files.fileExists(url, &isFolder)) continue;  // a dangling link
        if (!isFolder && !canPick(url)) continue;
        listing.m_entries.push_back({url, url.lastPathComponent(), isFolder});
    }
    std::stable_sort(listing.m_entries.begin(), listing.m_entries.end(), [](const Entry& a, const Entry& b) {
        if (a.isFolder != b.isFolder) return a.isFolder;
        return folded(a.name) < folded(b.name);
    });
    return listing;
}

std::optional<foundation::URL> DocumentPickerListing::parentOf(const foundation::URL& folder) {
    const auto path = folder.path();
    if (path == "/" || path.empty()) return std::nullopt;
    return folder.deletingLastPathComponent();
}

std::string DocumentPickerListing::titleOf(const foundation::URL& folder) {
    return parentOf(folder) ? folder.lastPathComponent() : std::string("/");
}

}  // namespace ui
