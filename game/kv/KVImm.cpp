// The default input-method seam: no input context. Every call that would need one fails, and the
// framework then reads nothing, as it does on a system without an input method.
#include "kv/KVImm.h"

#include <win32/Debug.h>

namespace kv::imm {

namespace {

class NoContextImm : public KVImm {
public:
    HIMC GetContext(HWND) override
    {
        platform::LogOnce("[kv] no input-method context: composition is unavailable");
        return nullptr;
    }
    BOOL ReleaseContext(HWND, HIMC) override { return FALSE; }
    LONG GetCompositionStringW(HIMC, DWORD, void*, DWORD) override { return 0; }
    DWORD GetCandidateListW(HIMC, DWORD, CANDIDATELIST*, DWORD) override { return 0; }
    BOOL NotifyIME(HIMC, DWORD, DWORD, DWORD) override { return FALSE; }
    BOOL GetConversionStatus(HIMC, DWORD*, DWORD*) override { return FALSE; }
    BOOL SetConversionStatus(HIMC, DWORD, DWORD) override { return FALSE; }
    HIMC AssociateContext(HWND, HIMC) override { return nullptr; }
};

NoContextImm g_noContext;
KVImm* g_imm = &g_noContext;

} // namespace

KVImm& GetImm()
{
    return *g_imm;
}

void SetImm(KVImm* imm)
{
    g_imm = imm ? imm : &g_noContext;
}

} // namespace kv::imm
