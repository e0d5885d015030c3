#include "documents/windownameregistry.h"

#include <gtest/gtest.h>

#include <vector>

namespace tally::documents {
namespace {

TEST(WindowNameRegistry, SecondWindowOfAClassGetsTheLowestFreeNumber)
{
    WindowNameRegistry registry;
    auto first = registry.acquire("PrintDHD");
    auto second = registry.acquire("PrintDHD");
    auto third = registry.acquire("PrintDHD");
    auto other = registry.acquire("PrintJHD");
    EXPECT_EQ(first.name(), "PrintDHD");
    EXPECT_EQ(second.name(), "PrintDHD_1");
    EXPECT_EQ(third.name(), "PrintDHD_2");
    EXPECT_EQ(other.name(), "PrintJHD");

    second = {};
    EXPECT_FALSE(registry.inUse("PrintDHD_1"));
    EXPECT_EQ(registry.acquire("PrintDHD").name(), "PrintDHD_1");
    first = {};
    auto again = registry.acquire("PrintDHD");
    EXPECT_EQ(again.name(), "PrintDHD");
}

TEST(WindowNameRegistry, MovedLeaseReleasesOnce)
{
    WindowNameRegistry registry;
    std::vector<WindowNameRegistry::Lease> leases;
    leases.push_back(registry.acquire("PrintTHD"));
    leases.push_back(registry.acquire("PrintTHD"));
    EXPECT_TRUE(registry.inUse("PrintTHD_1"));
    WindowNameRegistry::Lease moved = std::move(leases.front());
    leases.clear();
    EXPECT_TRUE(registry.inUse("PrintTHD"));
    EXPECT_FALSE(registry.inUse("PrintTHD_1"));
}

} // namespace
} // namespace tally::documents
