// The input-method calls the framework makes, behind a small seam: the platform's IMM32 calls sit
// behind it in the program (the default), and tests put a scripted input method in their place.
// Values are the standard IMM32 ones; they live in kv::imm so they never clash with the
// platform's own declarations.
#pragma once

#include <win32/Types.h>

#include <cstdint>

namespace kv::imm {

constexpr DWORD GCS_COMPSTR = 0x0008;
constexpr DWORD GCS_COMPATTR = 0x0010;
constexpr DWORD GCS_RESULTSTR = 0x0800;
constexpr BYTE ATTR_INPUT = 0;
constexpr BYTE ATTR_TARGET_CONVERTED = 1;
constexpr BYTE ATTR_CONVERTED = 2;
constexpr BYTE ATTR_TARGET_NOTCONVERTED = 3;
constexpr DWORD NI_CLOSECANDIDATE = 0x0011;
constexpr DWORD NI_COMPOSITIONSTR = 0x0015;
constexpr DWORD CPS_COMPLETE = 0x0001;
constexpr DWORD CPS_CANCEL = 0x0004;
constexpr WPARAM IMN_CHANGECANDIDATE = 0x0003;
constexpr WPARAM IMN_CLOSECANDIDATE = 0x0004;
constexpr WPARAM IMN_OPENCANDIDATE = 0x0005;
constexpr DWORD IME_CMODE_ALPHANUMERIC = 0x0000;
constexpr DWORD IME_CMODE_NATIVE = 0x0001;
constexpr DWORD IME_CMODE_KATAKANA = 0x0002;

// A candidate list as IMM32 lays it out: the header, then dwCount offsets (in bytes from the
// start of the list) of NUL-terminated wide strings.
struct CANDIDATELIST {
    DWORD dwSize;
    DWORD dwStyle;
    DWORD dwCount;
    DWORD dwSelection;
    DWORD dwPageStart;
    DWORD dwPageSize;
    DWORD dwOffset[1];
};

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
