// The input-method seam in use: the platform's IMM32 calls by default; tests put a scripted
// input method in their place.
#include "kv/KVImm.h"

namespace kv::imm {

namespace {

class PlatformImm : public KVImm {
public:
    HIMC GetContext(HWND window) override { return ::ImmGetContext(window); }
    BOOL ReleaseContext(HWND window, HIMC context) override { return ::ImmReleaseContext(window, context); }
    LONG GetCompositionStringW(HIMC context, DWORD index, void* buffer, DWORD bytes) override
    {
        return ::ImmGetCompositionStringW(context, index, buffer, bytes);
    }
    DWORD GetCandidateListW(HIMC context, DWORD index, CANDIDATELIST* list, DWORD bytes) override
    {
        return ::ImmGetCandidateListW(context, index, list, bytes);
    }
    BOOL NotifyIME(HIMC context, DWORD action, DWORD index, DWORD value) override
    {
        return ::ImmNotifyIME(context, action, index, value);
    }
    BOOL GetConversionStatus(HIMC context, DWORD* conversion, DWORD* sentence) override
    {
        return ::ImmGetConversionStatus(context, conversion, sentence);
    }
    BOOL SetConversionStatus(HIMC context, DWORD conversion, DWORD sentence) override
    {
        return ::ImmSetConversionStatus(context, conversion, sentence);
    }
    HIMC AssociateContext(HWND window, HIMC context) override { return ::ImmAssociateContext(window, context); }
};

PlatformImm g_platform;
KVImm* g_imm = &g_platform;

} // namespace

KVImm& GetImm()
{
    return *g_imm;
}

void SetImm(KVImm* imm)
{
    g_imm = imm ? imm : &g_platform;
}

} // namespace kv::imm
