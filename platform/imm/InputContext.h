// The input contexts behind HIMC handles: one default context per window, made on first use.
#pragma once

#include "win32/Types.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace platform::ime {

struct InputContext {
    HWND owner = nullptr;            // the window whose messages the context queues
    bool composing = false;
    std::wstring composition;
    std::vector<BYTE> attributes;    // one per composition character
    int cursor = 0;
    std::wstring result;
    DWORD conversion = 0;
    DWORD sentence = 0;
};

struct State {
    std::recursive_mutex lock;
    std::map<uintptr_t, InputContext> contexts;   // keyed by handle value
    std::map<HWND, uintptr_t> associated;         // 0 = detached
    uintptr_t nextHandle = 0x1000;
};

State& Get();
// The context behind a handle, or null.
InputContext* Find(State& s, HIMC handle);
// The window's associated context (its default made on first use); null when detached or
// when the handle is not a window.
InputContext* ContextOfWindow(State& s, HWND hwnd, HIMC* handle = nullptr);

// Composition changes with their messages, queued to the context's window.
void SetComposition(InputContext& c, std::wstring text, std::vector<BYTE> attributes, int cursor);
void FinishComposition(InputContext& c, std::wstring result);
void CancelComposition(InputContext& c);

} // namespace platform::ime
