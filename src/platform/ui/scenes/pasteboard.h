#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// The system's general pasteboard, for text: what the user copied last, as a list of strings
// (several items may be copied at once). Every change counts up `changeCount`. Tests stand for
// another app by setting strings. Thread safe.
class Pasteboard {
public:
    static Pasteboard& general();

    std::vector<std::string> strings() const;
    // The first string, if any.
    std::optional<std::string> string() const;
    bool hasStrings() const;
    void setStrings(std::vector<std::string> strings);
    void setString(std::string text) { setStrings({std::move(text)}); }
    void clear() { setStrings({}); }
    long changeCount() const;

private:
    Pasteboard() = default;

    mutable std::mutex m_mutex;
    std::vector<std::string> m_strings;  // guarded by m_mutex
    long m_changeCount = 0;              // guarded by m_mutex
};

}  // namespace ui
