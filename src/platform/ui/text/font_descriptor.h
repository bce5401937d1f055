#pragma once

#include <any>
#include <map>
#include <string>
#include <vector>

namespace ui {

enum class FontWeight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };

// One typographic feature: a type and a selector (type 6, selector 0: monospaced numbers).
struct FontFeature {
    int typeIdentifier = 0;
    int selectorIdentifier = 0;
    bool operator==(const FontFeature&) const = default;
};

// The name of a font-descriptor attribute, made from its text.
struct FontDescriptorAttributeName {
    std::string rawValue;

    static FontDescriptorAttributeName name() { return {"NSFontNameAttribute"}; }
    static FontDescriptorAttributeName size() { return {"NSFontSizeAttribute"}; }
    // Value: std::vector<FontFeature>, or a list of maps from "CTFeatureTypeIdentifier" and
    // "CTFeatureSelectorIdentifier" to ints.
    static FontDescriptorAttributeName featureSettings() { return {"NSCTFontFeatureSettingsAttribute"}; }

    bool operator<(const FontDescriptorAttributeName& o) const { return rawValue < o.rawValue; }
    bool operator==(const FontDescriptorAttributeName&) const = default;
};

using FontDescriptorAttributes = std::map<FontDescriptorAttributeName, std::any>;

// Describes a font: PostScript name, size and features.
class FontDescriptor {
public:
    FontDescriptor() = default;
    FontDescriptor(std::string postscriptName, double pointSize)
        : m_postscriptName(std::move(postscriptName)), m_pointSize(pointSize) {}

    const std::string& postscriptName() const { return m_postscriptName; }
    double pointSize() const { return m_pointSize; }
    const std::vector<FontFeature>& featureSettings() const { return m_features; }
    // Attributes given that this model does not interpret, kept as given.
    const FontDescriptorAttributes& otherAttributes() const { return m_other; }

    // A copy with the attributes added (features append to those already there).
    FontDescriptor addingAttributes(const FontDescriptorAttributes& attributes) const;
    FontDescriptor withSize(double size) const;
    bool hasMonospacedDigits() const;

    bool operator==(const FontDescriptor& o) const {
        return m_postscriptName == o.m_postscriptName && m_pointSize == o.m_pointSize && m_features == o.m_features;
    }

private:
    std::string m_postscriptName;
    double m_pointSize = 0;
    std::vector<FontFeature> m_features;
    FontDescriptorAttributes m_other;
};

}  // namespace ui
