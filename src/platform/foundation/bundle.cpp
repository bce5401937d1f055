#include "platform/foundation/bundle.h"

#include <cstdlib>
#include <filesystem>

namespace foundation {

Bundle& Bundle::main() {
    static Bundle bundle;
    return bundle;
}

Bundle::Bundle()
    : m_info{{"CFBundleName", "Reelhaven"},
             {"CFBundleDisplayName", "Reelhaven"},
             {"CFBundleIdentifier", "app.reelhaven"},
             {"CFBundleShortVersionString", REELHAVEN_VERSION}} {}

Bundle::InfoDictionary Bundle::infoDictionary() const {
    std::lock_guard lock(m_mutex);
    return m_info;
}

std::optional<std::string> Bundle::objectForInfoDictionaryKey(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    auto found = m_info.find(key);
    if (found == m_info.end()) return std::nullopt;
    return found->second;
}

void Bundle::setInfoDictionary(InfoDictionary info) {
    std::lock_guard lock(m_mutex);
    m_info = std::move(info);
}

std::string Bundle::resourcePath() const {
    if (const char* resources = std::getenv("REELHAVEN_RESOURCES_DIR"); resources && *resources) return resources;
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        for (auto folder = executable.parent_path(); !folder.empty() && folder != folder.root_path();
             folder = folder.parent_path()) {
            const auto candidate = folder / "resources";
            if (std::filesystem::is_directory(candidate, error)) return candidate.string();
        }
    }
    return REELHAVEN_SOURCE_RESOURCES;
}

std::optional<std::string> Bundle::pathForResource(const std::string& name, const std::string& type) const {
    if (name.empty()) return std::nullopt;
    const auto path = std::filesystem::path(resourcePath()) / (type.empty() ? name : name + "." + type);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return std::nullopt;
    return path.string();
}

ScopedBundleInfo::ScopedBundleInfo(Bundle::InfoDictionary info) : m_previous(Bundle::main().infoDictionary()) {
    Bundle::main().setInfoDictionary(std::move(info));
}

ScopedBundleInfo::~ScopedBundleInfo() { Bundle::main().setInfoDictionary(std::move(m_previous)); }

}  // namespace foundation
