#include "platform/network/nat_port_mapping.h"

namespace net {

NatPortMappingResult requestNatPortMapping(std::uint16_t /*internalPort*/) {
    return NatPortMappingResult{kNatPortMappingUnsupported, 0};
}

}  // namespace net
