#include "platform/ui/scenes/pasteboard.h"

namespace ui {

Pasteboard& Pasteboard::general() {
    static Pasteboard board;
    return board;
}

std::vector<std::string> Pasteboard::strings() const {
    std::lock_guard lock(m_mutex);
    return m_store ? m_store->strings() : m_strings;
}

std::optional<std::string> Pasteboard::string() const {
    auto all = strings();
    if (all.empty()) return std::nullopt;
    return all.front();
}

bool Pasteboard::hasStrings() const {
    std::lock_guard lock(m_mutex);
    return m_store ? m_store->hasStrings() : !m_strings.empty();
}

void Pasteboard::setStrings(std::vector<std::string> strings) {
    std::lock_guard lock(m_mutex);
    if (m_store) {
        m_store->setStrings(strings);
    } else {
        m_strings = std::move(strings);
    }
    ++m_changeCount;
}

long Pasteboard::changeCount() const {
    std::lock_guard lock(m_mutex);
    return m_changeCount;
}

void Pasteboard::setStore(std::shared_ptr<PasteboardStore> store) {
    std::lock_guard lock(m_mutex);
    m_store = std::move(store);
    ++m_changeCount;  // what it holds is another's now
}

void Pasteboard::storeDidChange() {
    std::lock_guard lock(m_mutex);
    ++m_changeCount;
}

}  // namespace ui
