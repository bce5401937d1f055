#include "toolkit/attribute_conversions.h"

namespace reelhaven {

ui::TextAttributes convertToAttributedStringKeys(const std::map<std::string, std::any>& attributes) {
    ui::TextAttributes result;
    for (const auto& [key, value] : attributes) result[ui::AttributedStringKey{key}] = value;
    return result;
}

ui::FontDescriptorAttributes convertToFontDescriptorAttributes(const std::map<std::string, std::any>& attributes) {
    ui::FontDescriptorAttributes result;
    for (const auto& [key, value] : attributes) result[ui::FontDescriptorAttributeName{key}] = value;
    return result;
}

}  // namespace reelhaven
