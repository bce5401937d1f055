#pragma once

#include <any>
#include <map>
#include <string>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/font_descriptor.h"

namespace reelhaven {

// Maps keyed by text made into maps keyed by the platform's key types; values unchanged.
ui::TextAttributes convertToAttributedStringKeys(const std::map<std::string, std::any>& attributes);
ui::FontDescriptorAttributes convertToFontDescriptorAttributes(const std::map<std::string, std::any>& attributes);

}  // namespace reelhaven
