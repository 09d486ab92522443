#include "receiver/CnxInterfaceDll.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>

#include "ReceiverTestSupport.h"
#include "receiver/InxK740RXQvkApi.h"

namespace {

// Calls a wrapper with a zero or null for every parameter of the export's signature.
template <typename Signature>
struct ZeroArguments;
template <typename R, typename... Params>
struct ZeroArguments<R(Params...)> {
    template <typename Call>
    static R Apply(Call call) {
        return call(Params{}...);
    }
};

void ZeroFallback() {}

}  // namespace

TEST(CnxInterfaceDllTest, WindowsNameLoadsThePlatformLibraryBesideTheProgram) {
    EnsureApplication();
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    EXPECT_EQ(CnxInterfaceDll::PlatformFileName("QVK740RXAPI.dll"), folder + "/libQVK740RXAPI.so");
    EXPECT_EQ(CnxInterfaceDll::PlatformFileName("/opt/k740/smetersdk.DLL"),
              "/opt/k740/libsmetersdk.so");
    EXPECT_EQ(CnxInterfaceDll::PlatformFileName("/opt/k740/libother.so"), "/opt/k740/libother.so");

    CnxInterfaceDll binding("QVK740RXAPI.dll");
    ASSERT_TRUE(binding.IsLoaded());
    EXPECT_STREQ(binding.GetFileName(), "QVK740RXAPI.dll");
    EXPECT_NE(binding.GetFunction("K7Open", nullptr), nullptr);
    EXPECT_EQ(binding.GetFunction("NoSuchExport", &ZeroFallback), &ZeroFallback);
    EXPECT_EQ(binding.GetFunction("NoSuchExport", nullptr), nullptr);

    EXPECT_TRUE(binding.Release());
    EXPECT_FALSE(binding.IsLoaded());
    EXPECT_FALSE(binding.Release());
    EXPECT_EQ(binding.GetFunction("K7Open", &ZeroFallback), nullptr);
    EXPECT_STREQ(binding.GetFileName(), "QVK740RXAPI.dll");
}

TEST(CnxInterfaceDllTest, MissingLibraryLeavesTheBindingUnloaded) {
    EnsureApplication();
    CnxInterfaceDll unnamed;
    EXPECT_FALSE(unnamed.IsLoaded());
    EXPECT_EQ(unnamed.GetFileName(), nullptr);
    EXPECT_FALSE(unnamed.Load(nullptr));
    EXPECT_EQ(unnamed.GetFileName(), nullptr);

    CnxInterfaceDll missing("NoSuchLibrary.dll");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_STREQ(missing.GetFileName(), "NoSuchLibrary.dll");
    EXPECT_EQ(missing.GetFunction("K7Open", &ZeroFallback), nullptr);
    EXPECT_FALSE(missing.Release());

    // A later successful load replaces the name.
    EXPECT_TRUE(missing.Load("QVK740RXAPI.dll"));
    EXPECT_STREQ(missing.GetFileName(), "QVK740RXAPI.dll");
}

TEST(InxK740RXQvkApiTest, EveryWrapperAnswersZeroWithoutTheLibrary) {
    EnsureApplication();
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

TEST(InxK740RXQvkApiTest, WrappersReachTheLoadedLibrary) {
    EnsureApplication();
    qunsetenv("QVK740RX_SIM");
    InxK740RXQvkApi api("QVK740RXAPI.dll");
    ASSERT_TRUE(api.IsLoaded());
    const K7Handle handle = api.K7Open("DEMO");
    ASSERT_NE(handle, 0u);
    EXPECT_NE(api.SetAtten(handle, 1), 0);
    EXPECT_EQ(api.GetAtten(handle), 1);
    EXPECT_NE(api.IsDeviceConnected(handle), 0);
    EXPECT_NE(api.CloseRadioDevice(handle), 0);
    EXPECT_EQ(api.IsDeviceConnected(handle), 0);
}
