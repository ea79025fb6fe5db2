// The IMM32 calls over the input contexts.
#include "imm/Imm.h"

#include "InputContext.h"
#include "win32/Debug.h"
#include "win32/SdlBridge.h"
#include "win32/Window.h"

#include "../win32/UserState.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

using platform::ime::InputContext;

namespace {

// Copies whole units that fit; returns the bytes copied, or the bytes needed without a buffer.
LONG CopyUnits(const void* data, size_t unitSize, size_t units, LPVOID buffer, DWORD bufferBytes)
{
    const size_t needed = units * unitSize;
    if (!buffer || bufferBytes == 0)
        return static_cast<LONG>(needed);
    const size_t copied = std::min<size_t>(bufferBytes / unitSize, units) * unitSize;
    if (copied)
        std::memcpy(buffer, data, copied);
    return static_cast<LONG>(copied);
}

void ResetSdlComposition()
{
    if (platform::user::OnVideoThread())
        SDL_ClearComposition();
}

} // namespace

HIMC ImmGetContext(HWND hwnd)
{
    auto& s = platform::ime::Get();
    std::lock_guard guard(s.lock);
    HIMC handle = nullptr;
    platform::ime::ContextOfWindow(s, hwnd, &handle);
    return handle;
}

BOOL ImmReleaseContext(HWND /*hwnd*/, HIMC /*context*/)
{
    return TRUE;
}

HIMC ImmAssociateContext(HWND hwnd, HIMC context)
{
    auto& s = platform::ime::Get();
    std::lock_guard guard(s.lock);
    HIMC previous = nullptr;
    platform::ime::ContextOfWindow(s, hwnd, &previous);
    if (!IsWindow(hwnd) || (context && !platform::ime::Find(s, context)))
        return nullptr;
    s.associated[hwnd] = reinterpret_cast<uintptr_t>(context);
    return previous;
}

LONG ImmGetCompositionStringW(HIMC context, DWORD index, LPVOID buffer, DWORD bufferBytes)
{
    auto& s = platform::ime::Get();
    std::lock_guard guard(s.lock);
    const InputContext* c = platform::ime::Find(s, context);
    if (!c)
        return IMM_ERROR_GENERAL;
    switch (index) {
    case GCS_COMPSTR:
        return CopyUnits(c->composition.data(), sizeof(WCHAR), c->composition.size(), buffer, bufferBytes);
    case GCS_COMPATTR:
        return CopyUnits(c->attributes.data(), 1, c->attributes.size(), buffer, bufferBytes);
    case GCS_CURSORPOS:
        return c->cursor;
    case GCS_RESULTSTR:
        return CopyUnits(c->result.data(), sizeof(WCHAR), c->result.size(), buffer, bufferBytes);
    default:
        platform::LogOnce("[platform] ImmGetCompositionStringW: only the composition, its attributes, "
                          "the cursor and the result are kept");
        return IMM_ERROR_NODATA;
    }
}

DWORD ImmGetCandidateListW(HIMC /*context*/, DWORD /*index*/, CANDIDATELIST* /*list*/, DWORD /*bufferBytes*/)
{
    return 0;
}

BOOL ImmGetConversionStatus(HIMC context, DWORD* conversion, DWORD* sentence)
{
    auto& s = platform::ime::Get();
    std::lock_guard guard(s.lock);
    const InputContext* c = platform::ime::Find(s, context);
    if (!c)
        return FALSE;
    if (conversion)
        *conversion = c->conversion;
    if (sentence)
        *sentence = c->sentence;
    return TRUE;
}

BOOL ImmSetConversionStatus(HIMC context, DWORD conversion, DWORD sentence)
{
    auto& s = platform::ime::Get();
    std::lock_guard guard(s.lock);
    InputContext* c = platform::ime::Find(s, context);
    if (!c)
        return FALSE;
    c->conversion = conversion;
    c->sentence = sentence;
    return TRUE;
}

BOOL ImmNotifyIME(HIMC context, DWORD action, DWORD index, DWORD /*value*/)
{
    auto& s = platform::ime::Get();
    std::lock_guard guard(s.lock);
    InputContext* c = platform::ime::Find(s, context);
    if (!c)
        return FALSE;
    switch (action) {
    case NI_COMPOSITIONSTR:
        if (index == CPS_COMPLETE) {
            if (c->composing)
                platform::ime::FinishComposition(*c, c->composition);
        } else if (index == CPS_CANCEL) {
            platform::ime::CancelComposition(*c);
        } else {
            platform::LogOnce("[platform] ImmNotifyIME: only CPS_COMPLETE and CPS_CANCEL are known");
            return FALSE;
        }
        ResetSdlComposition();
        return TRUE;
    case NI_OPENCANDIDATE:
    case NI_CLOSECANDIDATE:
        return TRUE;
    default:
        platform::LogOnce("[platform] ImmNotifyIME: unsupported action");
        return FALSE;
    }
}

BOOL ImmSetCompositionWindow(HIMC context, const COMPOSITIONFORM* form)
{
    HWND owner = nullptr;
    {
        auto& s = platform::ime::Get();
        std::lock_guard guard(s.lock);
        const InputContext* c = platform::ime::Find(s, context);
        if (!c || !form)
            return FALSE;
        owner = c->owner;
    }
    SDL_Window* window = platform::SdlWindowOf(owner);
    RECT client{};
    if (!window || !platform::user::OnVideoThread() || !GetClientRect(owner, &client) || client.right <= 0 ||
        client.bottom <= 0)
        return TRUE;
    // The point is in client coordinates; SDL wants SDL window coordinates.
    int outW = 0, outH = 0;
    platform::RealWindowSize(window, &outW, &outH);
    const RECT r = platform::ClientPresentRect(owner, outW, outH);
    SDL_Rect area{r.left + form->ptCurrentPos.x * (r.right - r.left) / client.right,
                  r.top + form->ptCurrentPos.y * (r.bottom - r.top) / client.bottom, 1, 1};
    SDL_SetTextInputRect(&area);
    return TRUE;
}
