#pragma once

#include <optional>
#include <string>

namespace net {

enum class AddressFamily { ipv4, ipv6 };

// The numeric address of the machine's primary network interface: the first interface that is up,
// is not a loopback and has an address of `family`; nothing when there is none.
std::optional<std::string> primaryAddress(AddressFamily family);

}  // namespace net
