#pragma once

#include <cstdint>

namespace net {

// NAT port mapping through the network gateway. This platform has no gateway mapping service,
// so every request fails with kNatPortMappingUnsupported; callers log it and serve without one.
inline constexpr int kNatPortMappingUnsupported = -65544;

struct NatPortMappingResult {
    int error = 0;  // 0 on success
    std::uint16_t externalPort = 0;
};

NatPortMappingResult requestNatPortMapping(std::uint16_t internalPort);

}  // namespace net
