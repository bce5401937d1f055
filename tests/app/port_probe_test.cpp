// Whether the transfer server's preferred port can be had, asked of the real network stack.

#include "app/port_probe.h"

#include <gtest/gtest.h>
#include <netinet/in.h>

#include "platform/network/listening_socket.h"

namespace reelhaven {
namespace {

TEST(PortProbeTest, APortInUseIsNamedWithTheSystemsReasonAndAFreeOneIsLetGo) {
    auto taken = net::ListeningSocket::open(AF_INET, 0, net::BindScope::anyAddress, 1);
    ASSERT_TRUE(taken.isOpen());
    const auto port = taken.boundPort();
    ASSERT_TRUE(port);
    EXPECT_EQ(portUnavailableReason(*port), "Address already in use");

    taken.close();
    EXPECT_EQ(portUnavailableReason(*port), std::nullopt);
    // The probe let it go: it can be had again.
    EXPECT_EQ(portUnavailableReason(*port), std::nullopt);
}

}  // namespace
}  // namespace reelhaven
