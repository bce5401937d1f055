#include "platform/foundation/error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace foundation {
namespace {

TEST(ResultTest, HoldsAValueOrAnError) {
    Result<int> good = 3;
    Result<int> bad = Error::posix(ENOENT, "open /x");
    EXPECT_TRUE(good.ok());
    EXPECT_EQ(*good, 3);
    EXPECT_FALSE(bad);
    EXPECT_TRUE(bad.error().isPOSIX(ENOENT));
    EXPECT_EQ(bad.error().description.rfind("open /x: ", 0), 0u);
    EXPECT_EQ(bad.valueOr(7), 7);
    EXPECT_FALSE(bad.optional());
    Status fine;
    EXPECT_TRUE(fine);
    Status failed = Error::foundation(kErrorFileExists, "exists");
    EXPECT_EQ(failed.error().code, kErrorFileExists);
}

TEST(ResultTest, MisuseIsAProgrammingError) {
    base::ScopedFatalThrows throws;
    Result<int> bad = Error::foundation(kErrorInvalidArgument, "bad");
    EXPECT_THROW((void)bad.value(), base::FatalError);
    Result<int> good = 1;
    EXPECT_THROW((void)good.error(), base::FatalError);
    EXPECT_THROW((void)Status().error(), base::FatalError);
}

}  // namespace
}  // namespace foundation
