// The input-method calls the framework makes, behind a small seam: the platform's IMM32 calls sit
// behind it in the program (the default), and tests put a scripted input method in their place.
// The values and the candidate-list layout are the platform's IMM32 ones, named again in kv::imm
// so the framework's code spells them in its own namespace.
#pragma once

#include <imm/Imm.h>
#include <win32/Types.h>

namespace kv::imm {

using ::ATTR_CONVERTED;
using ::ATTR_INPUT;
using ::ATTR_TARGET_CONVERTED;
using ::ATTR_TARGET_NOTCONVERTED;
using ::CANDIDATELIST;
using ::CPS_CANCEL;
using ::CPS_COMPLETE;
using ::GCS_COMPATTR;
using ::GCS_COMPSTR;
using ::GCS_RESULTSTR;
using ::IME_CMODE_ALPHANUMERIC;
using ::IME_CMODE_KATAKANA;
using ::IME_CMODE_NATIVE;
using ::IMN_CHANGECANDIDATE;
using ::IMN_CLOSECANDIDATE;
using ::IMN_OPENCANDIDATE;
using ::NI_CLOSECANDIDATE;
using ::NI_COMPOSITIONSTR;

class KVImm {
public:
    virtual ~KVImm() = default;
    virtual HIMC GetContext(HWND window) = 0;
    virtual BOOL ReleaseContext(HWND window, HIMC context) = 0;
    // With a null buffer: the size in bytes. Strings are wchar_t units; attributes one byte each.
    virtual LONG GetCompositionStringW(HIMC context, DWORD index, void* buffer, DWORD bytes) = 0;
    virtual DWORD GetCandidateListW(HIMC context, DWORD index, CANDIDATELIST* list, DWORD bytes) = 0;
    virtual BOOL NotifyIME(HIMC context, DWORD action, DWORD index, DWORD value) = 0;
    virtual BOOL GetConversionStatus(HIMC context, DWORD* conversion, DWORD* sentence) = 0;
    virtual BOOL SetConversionStatus(HIMC context, DWORD conversion, DWORD sentence) = 0;
    virtual HIMC AssociateContext(HWND window, HIMC context) = 0;
};

// The seam in use; never null. SetImm(null) restores the platform's calls.
KVImm& GetImm();
void SetImm(KVImm* imm);

} // namespace kv::imm
