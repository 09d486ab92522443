#include "spectrum/CnxCtrlSpectrumDll.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "settings/CnxAppOptions.h"

namespace {

// Every wrapper answers 0 (or null) and calls nothing that could fail.
void ExpectEveryWrapperAnswersZero(CnxCtrlSpectrumDll& binding) {
#define K740RX_EXPECT_ZERO(name, ret, params)                                                  \
    EXPECT_EQ(                                                                                 \
        ZeroArguments<ret params>::Apply([&](auto... args) { return binding.name(args...); }), \
        ret{})                                                                                 \
        << #name;
    K740RX_ANALYZER_FUNCTIONS(K740RX_EXPECT_ZERO)
#undef K740RX_EXPECT_ZERO
}

class OptionGuard {
public:
    ~OptionGuard() { ResetAppOptions(); }
};

}  // namespace

TEST(CnxCtrlSpectrumDllTest, ResolvesEveryExportOfTheAnalyzerLibrary) {
    EnsureCoreApp();
    CnxCtrlSpectrumDll binding("aspect_vcl.dll");
    ASSERT_TRUE(binding.IsLoaded());
#define K740RX_EXPECT_EXPORT(name, ret, params) \
    EXPECT_NE(binding.GetFunction(#name, nullptr), nullptr) << #name;
    K740RX_ANALYZER_FUNCTIONS(K740RX_EXPECT_EXPORT)
#undef K740RX_EXPECT_EXPORT

    const AspectHandle analyzer =
        binding.CreateAnalyzer(std::uintptr_t{0}, 0, 0, 64, 32, 0x56010000u, 0);
    ASSERT_NE(analyzer, nullptr);
    // Results come back unchanged: the library rounds FFT sizes up to a power of two.
    EXPECT_EQ(binding.SetFFTSize(analyzer, 3000), 4096);
    EXPECT_EQ(binding.SetVisZeroOffset(analyzer, 4000), 4000);
    EXPECT_EQ(binding.DestroyAnalyzer(analyzer), 1);
    EXPECT_EQ(binding.DestroyAnalyzer(analyzer), 0);
}

TEST(CnxCtrlSpectrumDllTest, MissingExportsAnswerZeroThroughTheirStubs) {
    EnsureCoreApp();
    // A library that is there but exports none of the analyzer's functions.
    CnxCtrlSpectrumDll binding("QVK740RXAPI.dll");
    ASSERT_TRUE(binding.IsLoaded());
    ExpectEveryWrapperAnswersZero(binding);
}

TEST(CnxCtrlSpectrumDllTest, SpectrumOffOptionLetsTheLibraryGoAtOnce) {
    EnsureCoreApp();
    OptionGuard restore;
    g_optNSpectrum.present = true;
    CnxCtrlSpectrumDll binding("aspect_vcl.dll");
    EXPECT_FALSE(binding.IsLoaded());
    EXPECT_STREQ(binding.GetFileName(), "aspect_vcl.dll");
    EXPECT_EQ(binding.CreateAnalyzer(std::uintptr_t{0}, 0, 0, 64, 32, 0u, 0), nullptr);
    ExpectEveryWrapperAnswersZero(binding);
}
