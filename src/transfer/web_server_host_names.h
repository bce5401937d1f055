#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace reelhaven {

// Whether the value of a request's "Host" header names this machine: an IP address (a browser
// reaching the server by its address), "localhost", the machine's host name or its ".local" form,
// or one of `extraNames` (the announced Bonjour host, names a setting allows). A port after the
// name is ignored; names compare case-insensitively, with or without a final dot. A page of
// another site that rebinds its own name to this machine's address sends its own name, and is
// refused.
bool WebServerHostNamesThisMachine(std::string_view host, const std::vector<std::string>& extraNames);

}  // namespace reelhaven
