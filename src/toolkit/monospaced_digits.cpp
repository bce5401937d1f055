#include "toolkit/monospaced_digits.h"

#include <vector>

#include "toolkit/attribute_conversions.h"

namespace reelhaven {

ui::FontDescriptor withMonospacedDigits(const ui::FontDescriptor& descriptor) {
    const std::vector<std::map<std::string, int>> features{
        {{"CTFeatureTypeIdentifier", 6}, {"CTFeatureSelectorIdentifier", 0}}};
    return descriptor.addingAttributes(
        convertToFontDescriptorAttributes({{ui::FontDescriptorAttributeName::featureSettings().rawValue, features}}));
}

}  // namespace reelhaven
