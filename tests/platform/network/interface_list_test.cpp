#include <gtest/gtest.h>

#include <algorithm>

#include "platform/network/interface_addresses.h"

namespace net {
namespace {

std::vector<InterfaceEntry> machine() {
    return {
        InterfaceEntry::make("lo", "127.0.0.1", true, true),
        InterfaceEntry::make("eth0", "not an address"),    // a link-layer entry: no address
        InterfaceEntry::make("wlan1", "10.0.0.7", false),  // down
        InterfaceEntry::make("wlan0", "fe80::1"),          // IPv6 first
        InterfaceEntry::make("wlan0", "192.168.1.20"),
        InterfaceEntry::make("eth1", "192.168.2.30"),
    };
}

TEST(InterfaceListTest, ThePrimaryInterfaceIsTheFirstUpNonLoopbackEntryOfTheFamily) {
    ScopedInterfaceList list(machine());
    EXPECT_EQ(primaryAddress(AddressFamily::ipv4), "192.168.1.20");
    EXPECT_EQ(primaryAddress(AddressFamily::ipv6), "fe80::1");
    EXPECT_EQ(primaryInterface(AddressFamily::ipv4)->name, "wlan0");
    const auto entries = interfaceList();
    ASSERT_TRUE(entries.has_value());
    EXPECT_TRUE((*entries)[1].address.isEmpty());
    EXPECT_EQ((*entries)[4].address.family(), AF_INET);
}

TEST(InterfaceListTest, TheWiFiInterfaceIsASettingThatDefaultsToThePrimaryOne) {
    {
        ScopedInterfaceList list(machine());
        EXPECT_EQ(wifiInterfaceName(), "wlan0");
        setWiFiInterfaceName("eth1");
        EXPECT_EQ(wifiInterfaceName(), "eth1");
    }
    {
        ScopedInterfaceList unreadable(std::nullopt);  // the list cannot be read
        EXPECT_FALSE(interfaceList().has_value());
        EXPECT_FALSE(wifiInterfaceName().has_value());
        EXPECT_FALSE(primaryAddress(AddressFamily::ipv4).has_value());
    }
    {
        ScopedInterfaceList named(machine(), "wlan1");
        EXPECT_EQ(wifiInterfaceName(), "wlan1");
    }
}

TEST(InterfaceListTest, TheSystemListNamesItsInterfaces) {
    const auto entries = interfaceList();
    ASSERT_TRUE(entries.has_value());
    // Every machine has its loopback, named and up.
    const bool loopback = std::any_of(entries->begin(), entries->end(), [](const InterfaceEntry& e) {
        return e.isLoopback && e.isUp && !e.name.empty() && e.address.family() == AF_INET &&
               e.address.toString(false) == "127.0.0.1";
    });
    EXPECT_TRUE(loopback);
}

}  // namespace
}  // namespace net
