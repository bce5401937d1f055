#include "platform/ui/scenes/pasteboard.h"

namespace ui {

Pasteboard& Pasteboard::general() {
    static Pasteboard board;
    return board;
}

std::vector<std::string> Pasteboard::strings() const {
    std::lock_guard lock(m_mutex);
    return m_strings;
}

std::optional<std::string> Pasteboard::string() const {
    std::lock_guard lock(m_mutex);
    if (m_strings.empty()) return std::nullopt;
    return m_strings.front();
}

bool Pasteboard::hasStrings() const {
    std::lock_guard lock(m_mutex);
    return !m_strings.empty();
}

void Pasteboard::setStrings(std::vector<std::string> strings) {
    std::lock_guard lock(m_mutex);
    m_strings = std::move(strings);
    ++m_changeCount;
}

long Pasteboard::changeCount() const {
    std::lock_guard lock(m_mutex);
    return m_changeCount;
}

}  // namespace ui
