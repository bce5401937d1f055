#pragma once

#include <optional>
#include <string>

namespace reelhaven {

// The device's IPv4 address on its Wi-Fi interface as numeric text: the last such entry of the
// interface list. Entries without an address, or whose address does not turn into text, are
// stepped over (an empty address is never the answer). Nothing when the list cannot be read or
// holds no such entry.
std::optional<std::string> getWiFiAddress();

}  // namespace reelhaven
