#pragma once

#include <map>
#include <optional>
#include <string>

namespace reelhaven {

// The upload page's bundle folder ("WebUploader.bundle"): the page template, its scripts and
// styles, and its strings (en.lproj/Localizable.strings, lines of "KEY" = "value";).
class WebUploaderBundle {
public:
    // The bundle at `path`, or nothing when it is not a folder holding "index.html".
    static std::optional<WebUploaderBundle> open(const std::string& path);
    // Where the application's bundle lies: $REELHAVEN_RESOURCES_DIR, then "resources" next to or
    // above the executable, then the source tree the program was built from.
    static std::string defaultPath();

    const std::string& path() const { return m_path; }
    std::string resourcePath(const std::string& name) const { return m_path + "/" + name; }
    // The localised string for `key`, or `fallback`.
    std::string localizedString(const std::string& key, const std::string& fallback = "") const;

    // Parses the "strings" format; malformed lines are skipped.
    static std::map<std::string, std::string> parseStrings(const std::string& text);

private:
    std::string m_path;
    std::map<std::string, std::string> m_strings;
};

}  // namespace reelhaven
