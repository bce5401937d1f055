#pragma once

#include <map>
#include <string>
#include <string_view>

namespace reelhaven {

// Orders header names without regard to ASCII case, so lookups match any spelling.
struct WebServerCaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// Header name to value; a name appears once (repeated headers are joined with ", ").
using WebServerHeaders = std::map<std::string, std::string, WebServerCaseInsensitiveLess>;

// A header value, or nullptr when the header is absent.
const std::string* WebServerHeaderValue(const WebServerHeaders& headers, std::string_view name);

}  // namespace reelhaven
