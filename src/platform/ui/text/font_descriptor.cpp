#include "platform/ui/text/font_descriptor.h"

#include <algorithm>

namespace ui {

namespace {

void appendFeatures(const std::any& value, std::vector<FontFeature>& features) {
    if (const auto* list = std::any_cast<std::vector<FontFeature>>(&value)) {
        features.insert(features.end(), list->begin(), list->end());
        return;
    }
    if (const auto* maps = std::any_cast<std::vector<std::map<std::string, int>>>(&value)) {
        for (const auto& map : *maps) {
            FontFeature feature;
            if (auto it = map.find("CTFeatureTypeIdentifier"); it != map.end()) feature.typeIdentifier = it->second;
            if (auto it = map.find("CTFeatureSelectorIdentifier"); it != map.end())
                feature.selectorIdentifier = it->second;
            features.push_back(feature);
        }
    }
}

}  // namespace

FontDescriptor FontDescriptor::addingAttributes(const FontDescriptorAttributes& attributes) const {
    FontDescriptor result = *this;
    for (const auto& [key, value] : attributes) {
        if (key == FontDescriptorAttributeName::featureSettings()) {
            appendFeatures(value, result.m_features);
        } else if (key == FontDescriptorAttributeName::name()) {
            if (const auto* name = std::any_cast<std::string>(&value)) result.m_postscriptName = *name;
        } else if (key == FontDescriptorAttributeName::size()) {
            if (const auto* size = std::any_cast<double>(&value)) result.m_pointSize = *size;
        } else {
            result.m_other[key] = value;
        }
    }
    return result;
}

FontDescriptor FontDescriptor::withSize(double size) const {
    FontDescriptor result = *this;
    result.m_pointSize = size;
    return result;
}

bool FontDescriptor::hasMonospacedDigits() const {
    return std::find(m_features.begin(), m_features.end(), FontFeature{6, 0}) != m_features.end();
}

}  // namespace ui
