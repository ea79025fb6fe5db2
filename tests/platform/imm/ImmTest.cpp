// Input-method calls on handles that are not contexts or windows fail without effect.
#include <imm/Imm.h>

#include <gtest/gtest.h>

namespace {

TEST(ImmTest, MissingContextsAndWindowsFail)
{
    HIMC bogus = reinterpret_cast<HIMC>(static_cast<uintptr_t>(0x7777));
    HWND noWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5550));
    EXPECT_EQ(ImmGetContext(noWindow), nullptr);
    EXPECT_EQ(ImmAssociateContext(noWindow, nullptr), nullptr);
    EXPECT_EQ(ImmGetCompositionStringW(nullptr, GCS_COMPSTR, nullptr, 0), IMM_ERROR_GENERAL);
    EXPECT_EQ(ImmGetCompositionStringW(bogus, GCS_RESULTSTR, nullptr, 0), IMM_ERROR_GENERAL);
    DWORD conversion = 0;
    EXPECT_FALSE(ImmGetConversionStatus(bogus, &conversion, nullptr));
    EXPECT_FALSE(ImmSetConversionStatus(bogus, IME_CMODE_NATIVE, 0));
    EXPECT_FALSE(ImmNotifyIME(bogus, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
    COMPOSITIONFORM form{};
    EXPECT_FALSE(ImmSetCompositionWindow(bogus, &form));
    EXPECT_EQ(ImmGetCandidateListW(bogus, 0, nullptr, 0), 0u);
    EXPECT_TRUE(ImmReleaseContext(noWindow, bogus));
}

} // namespace
