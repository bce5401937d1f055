#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/views/color.h"
#include "platform/ui/views/rect.h"

namespace display {

// A 64-bit digest of the values a drawing depends on: equal fingerprints mean the drawing would
// come out the same. Objects named by address are pinned (kept alive) with the fingerprint, so no
// other object can take their address while a cache holds it.
class Fingerprint {
public:
    Fingerprint& add(const void* bytes, size_t size) {
        const auto* p = static_cast<const unsigned char*>(bytes);
        for (size_t i = 0; i < size; ++i) {
            m_hash ^= p[i];
            m_hash *= 1099511628211ull;  // FNV-1a
        }
        return *this;
    }
    Fingerprint& add(double value) {
        if (value == 0) value = 0;  // -0 draws as 0
        return add(&value, sizeof value);
    }
    Fingerprint& add(std::uint64_t value) { return add(&value, sizeof value); }
    Fingerprint& add(int value) { return add(static_cast<std::uint64_t>(static_cast<std::int64_t>(value))); }
    Fingerprint& add(bool value) { return add(std::uint64_t{value}); }
    Fingerprint& add(const std::string& text) {
        add(static_cast<std::uint64_t>(text.size()));
        return add(text.data(), text.size());
    }
    Fingerprint& add(const ui::Color& c) { return add(c.red).add(c.green).add(c.blue).add(c.alpha); }
    Fingerprint& add(const std::optional<ui::Color>& c) {
        add(c.has_value());
        return c ? add(*c) : *this;
    }
    Fingerprint& add(ui::Point p) { return add(p.x).add(p.y); }
    Fingerprint& add(ui::Size s) { return add(s.width).add(s.height); }
    Fingerprint& add(const ui::Rect& r) { return add(r.origin).add(r.size); }
    // An object by identity; it stays alive as long as this fingerprint.
    Fingerprint& pin(std::shared_ptr<const void> object) {
        add(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(object.get())));
        if (object) m_pinned.push_back(std::move(object));
        return *this;
    }

    std::uint64_t value() const { return m_hash; }
    bool operator==(const Fingerprint& other) const { return m_hash == other.m_hash; }

private:
    std::uint64_t m_hash = 14695981039346656037ull;
    std::vector<std::shared_ptr<const void>> m_pinned;
};

}  // namespace display
