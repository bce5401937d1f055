#include "controls/options_item.h"

namespace reelhaven {
namespace {

// Feeds values in order, as a hasher does; a present optional adds 1 and its text, an absent one 0.
class Hasher {
public:
    void combine(std::size_t value) { m_seed ^= value + 0x9e3779b97f4a7c15ULL + (m_seed << 6) + (m_seed >> 2); }
    void combine(const std::optional<std::string>& text) {
        combine(std::size_t{text ? 1u : 0u});
        if (text) combine(std::hash<std::string>{}(*text));
    }
    std::size_t finalize() const { return m_seed; }

private:
    std::size_t m_seed = 0;
};

}  // namespace

std::size_t OptionsItem::hashValue() const {
    Hasher hasher;
    hasher.combine(title);
    hasher.combine(subtitle);
    hasher.combine(icon);
    hasher.combine(static_cast<std::size_t>(indentLevel));
    hasher.combine(segue);
    return hasher.finalize();
}

}  // namespace reelhaven
