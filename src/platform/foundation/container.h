#pragma once

#include <filesystem>
#include <memory>

#include "platform/foundation/error.h"
#include "platform/foundation/url.h"

namespace foundation {

// The standard folders of the user domain.
enum class SearchPathDirectory { documents, caches, applicationSupport, preferences, temporary };

// The app's home folder (chosen by the launcher or a test) and its standard folders:
// Documents, Library/Caches, Library/Application Support, Library/Preferences and tmp.
class Container {
public:
    explicit Container(std::filesystem::path home);

    const std::filesystem::path& home() const { return m_home; }
    std::filesystem::path folder(SearchPathDirectory directory) const;
    // A directory URL for the folder.
    URL url(SearchPathDirectory directory) const;

    URL documentsURL() const { return url(SearchPathDirectory::documents); }
    URL cachesURL() const { return url(SearchPathDirectory::caches); }
    URL applicationSupportURL() const { return url(SearchPathDirectory::applicationSupport); }
    URL preferencesURL() const { return url(SearchPathDirectory::preferences); }
    URL temporaryURL() const { return url(SearchPathDirectory::temporary); }

    // Creates the home folder and every standard folder (existing ones are fine).
    Status createFolders() const;

    // The container the process uses; nullptr until one is installed. Thread safe.
    static std::shared_ptr<const Container> current();
    static void setCurrent(std::shared_ptr<const Container> container);

private:
    std::filesystem::path m_home;
};

// Installs a container on `home` (creating its folders) for as long as the object lives; the
// previous container comes back after. For tests.
class ScopedContainer {
public:
    explicit ScopedContainer(std::filesystem::path home);
    ~ScopedContainer();
    ScopedContainer(const ScopedContainer&) = delete;
    ScopedContainer& operator=(const ScopedContainer&) = delete;

    const Container& container() const { return *m_container; }

private:
    std::shared_ptr<const Container> m_container;
    std::shared_ptr<const Container> m_previous;
};

}  // namespace foundation
