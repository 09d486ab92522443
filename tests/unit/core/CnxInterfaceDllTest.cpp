#include "core/CnxInterfaceDll.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>

#include "TestSupport.h"

namespace {

void ZeroFallback() {}

}  // namespace

TEST(CnxInterfaceDllTest, WindowsNameLoadsThePlatformLibraryBesideTheProgram) {
    EnsureCoreApp();
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    EXPECT_EQ(CnxInterfaceDll::PlatformFileName("QVK740RXAPI.dll"), folder + "/libQVK740RXAPI.so");
    EXPECT_EQ(CnxInterfaceDll::PlatformFileName("/opt/k740/smetersdk.DLL"),
              "/opt/k740/libsmetersdk.so");
    EXPECT_EQ(CnxInterfaceDll::PlatformFileName("/opt/k740/libother.so"), "/opt/k740/libother.so");

    CnxInterfaceDll binding("QVK740RXAPI.dll");
    ASSERT_TRUE(binding.IsLoaded());
    EXPECT_NE(binding.GetFunction("K7Open", nullptr), nullptr);
    EXPECT_EQ(binding.GetFunction("NoSuchExport", &ZeroFallback), &ZeroFallback);

    EXPECT_TRUE(binding.Release());
    EXPECT_FALSE(binding.Release());
    EXPECT_EQ(binding.GetFunction("K7Open", &ZeroFallback), nullptr);
    EXPECT_STREQ(binding.GetFileName(), "QVK740RXAPI.dll");
}

TEST(CnxInterfaceDllTest, MissingLibraryLeavesTheBindingUnloaded) {
    EnsureCoreApp();
    CnxInterfaceDll unnamed;
    EXPECT_FALSE(unnamed.Load(nullptr));
    EXPECT_EQ(unnamed.GetFileName(), nullptr);

    CnxInterfaceDll missing("NoSuchLibrary.dll");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(missing.GetFunction("K7Open", &ZeroFallback), nullptr);
    EXPECT_FALSE(missing.Release());

    // A later successful load replaces the name.
    EXPECT_TRUE(missing.Load("QVK740RXAPI.dll"));
    EXPECT_STREQ(missing.GetFileName(), "QVK740RXAPI.dll");
}
