#include "sync/CnxSystemError.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(CnxSystemError, KnownCodesHaveTheSystemTextOthersFunctionError) {
    EXPECT_EQ(CnxSystemErrorText(EBADF), "Bad file descriptor");
    EXPECT_EQ(CnxSystemErrorText(0), "Function Error");
    EXPECT_EQ(CnxSystemErrorText(-5), "Function Error");
    EXPECT_EQ(CnxSystemErrorText(100000), "Function Error");
}
