#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace foundation {

// The application's bundle: its information (name, version) and where its resources lie. Safe
// from any thread.
class Bundle {
public:
    using InfoDictionary = std::map<std::string, std::string>;

    static Bundle& main();

    // "CFBundleName", "CFBundleDisplayName", "CFBundleIdentifier" and "CFBundleShortVersionString"
    // (the version the program was built as).
    InfoDictionary infoDictionary() const;
    std::optional<std::string> objectForInfoDictionaryKey(const std::string& key) const;
    // For tests of what shows the version; `ScopedBundleInfo` puts the old one back.
    void setInfoDictionary(InfoDictionary info);

    // The folder of the resources: $REELHAVEN_RESOURCES_DIR, else the nearest "resources" folder
    // beside or above the executable, else the source tree the program was built from.
    std::string resourcePath() const;
    // `resourcePath()/name.type` when it exists (`name` alone for an empty type), else nothing.
    std::optional<std::string> pathForResource(const std::string& name, const std::string& type) const;

private:
    Bundle();

    mutable std::mutex m_mutex;  // guards m_info
    InfoDictionary m_info;
};

class ScopedBundleInfo {
public:
    explicit ScopedBundleInfo(Bundle::InfoDictionary info);
    ~ScopedBundleInfo();
    ScopedBundleInfo(const ScopedBundleInfo&) = delete;
    ScopedBundleInfo& operator=(const ScopedBundleInfo&) = delete;

private:
    Bundle::InfoDictionary m_previous;
};

}  // namespace foundation
