#include "receiver/InxK740RXQvkApi.h"

#include <gtest/gtest.h>

#include "ReceiverTestSupport.h"

TEST(InxK740RXQvkApiTest, EveryWrapperAnswersZeroWithoutTheLibrary) {
    EnsureCoreApp();
    InxK740RXQvkApi api("NoSuchLibrary.dll");
    ASSERT_FALSE(api.IsLoaded());
#define K740RX_EXPECT_ZERO(name, ret, params)                                                    \
    EXPECT_EQ(ZeroArguments<ret params>::Apply([&](auto... args) { return api.name(args...); }), \
              ret{0})                                                                            \
        << #name;
    K740RX_DRIVER_FUNCTIONS(K740RX_EXPECT_ZERO)
#undef K740RX_EXPECT_ZERO
    // Not even a serial that the library would accept reaches it.
    EXPECT_EQ(api.K7Open("DEMO"), 0u);
}
