#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace reelhaven {

// Why this process cannot listen on a TCP port of every IPv4 address ("Address already in use",
// "Permission denied"), or nothing when it can. The port is let go at once.
std::optional<std::string> portUnavailableReason(std::uint16_t port);

}  // namespace reelhaven
