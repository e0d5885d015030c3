#include "service/originpolicy.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tally::service {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(OriginPolicy, ListSplitsOnBlanksCommasAndSemicolons)
{
    EXPECT_THAT(OriginPolicy::fromList(" https://ERP.example.com/ ,http://10.0.0.5:8080;\n"
                                       "http://localhost:3000\tnull")
                    .origins(),
                ElementsAre("https://erp.example.com", "http://10.0.0.5:8080",
                            "http://localhost:3000", "null"));
    for (const char *empty : {"", " ", ",;", "/"}) {
        const OriginPolicy policy = OriginPolicy::fromList(empty);
        EXPECT_THAT(policy.origins(), IsEmpty()) << empty;
        EXPECT_FALSE(policy.restricted()) << empty;
    }
}

TEST(OriginPolicy, WithoutAListEverythingIsAllowed)
{
    const OriginPolicy open;
    EXPECT_FALSE(open.restricted());
    EXPECT_TRUE(open.allowsOrigin("https://anything.example"));
    EXPECT_TRUE(open.allowsOrigin("null"));
    EXPECT_TRUE(open.allowsHost("rebound.example:9300"));
}

struct AllowCase
{
    const char *value;
    bool allowed;
};

TEST(OriginPolicy, OnlyListedOriginsAreAllowed)
{
    const OriginPolicy policy =
        OriginPolicy::fromList("https://erp.example.com http://10.0.0.5:8080");
    const AllowCase cases[] = {
        {"https://erp.example.com", true},
        {"HTTPS://Erp.Example.com", true},
        {"http://10.0.0.5:8080", true},
        {"http://erp.example.com", false},       // other scheme
        {"https://erp.example.com:8443", false}, // other port
        {"https://erp.example.com.evil", false},
        {"http://10.0.0.5", false},
        {"null", false},
        {"", false},
    };
    for (const AllowCase &c : cases)
        EXPECT_EQ(policy.allowsOrigin(c.value), c.allowed) << c.value;
}

TEST(OriginPolicy, WithAListOnlyLocalhostAndAddressesAreAcceptedAsHost)
{
    const OriginPolicy policy = OriginPolicy::fromList("https://erp.example.com");
    const AllowCase cases[] = {
        {"", true}, // no Host header (HTTP/1.0)
        {"localhost", true},
        {"localhost:9300", true},
        {"LocalHost.:9300", true},
        {"127.0.0.1:9300", true},
        {"192.168.1.20", true},
        {"[::1]:9300", true},
        {"[fe80::1]", true},
        {"rebound.example:9300", false},
        {"erp.example.com", false}, // the page's own name, rebound to us
        {"localhost.example", false},
        {"printer", false},
        {"1.2.3", false},
        {"1.2.3.4.5", false},
        {"256.1.1.1", false},
        {"0x7f.0.0.1", false},
        {"[evil.example]", false},
        {":9300", false},
    };
    for (const AllowCase &c : cases)
        EXPECT_EQ(policy.allowsHost(c.value), c.allowed) << c.value;
}

} // namespace
} // namespace tally::service
