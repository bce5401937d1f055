#pragma once

#include <optional>

namespace ui {

enum class SymbolWeight { unspecified, ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };
enum class SymbolScale { defaultScale, unspecified, small, medium, large };

// How a symbol image is drawn: point size, weight and scale.
struct SymbolConfiguration {
    std::optional<double> pointSize;
    SymbolWeight weight = SymbolWeight::unspecified;
    SymbolScale scale = SymbolScale::defaultScale;

    // This configuration with the set values of `other` taking precedence.
    SymbolConfiguration applying(const SymbolConfiguration& other) const {
        SymbolConfiguration result = *this;
        if (other.pointSize) result.pointSize = other.pointSize;
        if (other.weight != SymbolWeight::unspecified) result.weight = other.weight;
        if (other.scale != SymbolScale::defaultScale) result.scale = other.scale;
        return result;
    }
    bool operator==(const SymbolConfiguration&) const = default;
};

}  // namespace ui
