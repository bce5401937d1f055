#include "transfer/web_server_headers.h"

#include <algorithm>

namespace reelhaven {

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
}  // namespace

bool WebServerCaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lower(x) < lower(y); });
}

const std::string* WebServerHeaderValue(const WebServerHeaders& headers, std::string_view name) {
    auto found = headers.find(name);
    return found == headers.end() ? nullptr : &found->second;
}

}  // namespace reelhaven
