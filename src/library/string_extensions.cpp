#include "library/string_extensions.h"

#include "platform/base/fatal.h"
#include "platform/foundation/data_detector.h"

namespace reelhaven {

bool isValidURL(std::string_view text) {
    auto detector = foundation::DataDetector::create(foundation::DataDetector::link);
    if (!detector) base::fatal("StringExtensions: no link detector: " + detector.error().description);
    const size_t length = foundation::DataDetector::utf16Length(text);
    const auto match = detector->firstMatch(text, {0, length});
    return match && match->range.length == length;
}

}  // namespace reelhaven
