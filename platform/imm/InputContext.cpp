// Input contexts and the composition messages: SDL's text editing and text input become
// WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION or WM_CHAR, in the order
// a Windows input method sends them.
#include "InputContext.h"

#include "ImeEvents.h"
#include "imm/Imm.h"
#include "imm/TestIme.h"
#include "win32/Messages.h"
#include "win32/Window.h"

#include "../win32/UserState.h"

#include <SDL.h>

#include <algorithm>

namespace platform::ime {

namespace {

constexpr LPARAM kCompositionUpdate = GCS_COMPSTR | GCS_COMPATTR | GCS_CURSORPOS;

WPARAM LastCharacter(const std::wstring& text)
{
    return text.empty() ? 0 : static_cast<WPARAM>(text.back());
}

} // namespace

State& Get()
{
    static State* state = new State;
    return *state;
}

InputContext* Find(State& s, HIMC handle)
{
    auto it = s.contexts.find(reinterpret_cast<uintptr_t>(handle));
    return it == s.contexts.end() ? nullptr : &it->second;
}

InputContext* ContextOfWindow(State& s, HWND hwnd, HIMC* handle)
{
    if (handle)
        *handle = nullptr;
    if (!IsWindow(hwnd))
        return nullptr;
    auto it = s.associated.find(hwnd);
    if (it == s.associated.end()) {
        const uintptr_t id = (s.nextHandle += 4);
        s.contexts[id].owner = hwnd;
        it = s.associated.emplace(hwnd, id).first;
    }
    if (it->second == 0)
        return nullptr;
    if (handle)
        *handle = reinterpret_cast<HIMC>(it->second);
    return Find(s, reinterpret_cast<HIMC>(it->second));
}

void SetComposition(InputContext& c, std::wstring text, std::vector<BYTE> attributes, int cursor)
{
    if (!c.composing) {
        c.composing = true;
        platform::user::Post(c.owner, WM_IME_STARTCOMPOSITION, 0, 0);
    }
    attributes.resize(text.size(), ATTR_INPUT);
    c.composition = std::move(text);
    c.attributes = std::move(attributes);
    c.cursor = std::clamp(cursor, 0, static_cast<int>(c.composition.size()));
    platform::user::Post(c.owner, WM_IME_COMPOSITION, LastCharacter(c.composition), kCompositionUpdate);
}

void FinishComposition(InputContext& c, std::wstring result)
{
    if (!c.composing && !result.empty())
        platform::user::Post(c.owner, WM_IME_STARTCOMPOSITION, 0, 0);
    c.composing = false;
    c.composition.clear();
    c.attributes.clear();
    c.cursor = 0;
    c.result = std::move(result);
    platform::user::Post(c.owner, WM_IME_COMPOSITION, LastCharacter(c.result), GCS_RESULTSTR);
    platform::user::Post(c.owner, WM_IME_ENDCOMPOSITION, 0, 0);
}

// An erased composition: an empty update, then the end.
void CancelComposition(InputContext& c)
{
    if (!c.composing)
        return;
    c.composing = false;
    c.composition.clear();
    c.attributes.clear();
    c.cursor = 0;
    platform::user::Post(c.owner, WM_IME_COMPOSITION, 0, kCompositionUpdate);
    platform::user::Post(c.owner, WM_IME_ENDCOMPOSITION, 0, 0);
}

void OnTextEditing(HWND hwnd, const std::wstring& text, int selectionStart, int selectionLength)
{
    auto& s = Get();
    std::lock_guard guard(s.lock);
    InputContext* c = ContextOfWindow(s, hwnd);
    if (!c)
        return;
    if (text.empty()) {
        CancelComposition(*c);
        return;
    }
    // The selected range is the clause being converted; the rest is plain input.
    const int size = static_cast<int>(text.size());
    const int start = std::clamp(selectionStart, 0, size);
    const int end = std::clamp(start + std::max(selectionLength, 0), start, size);
    std::vector<BYTE> attributes(text.size(), ATTR_INPUT);
    std::fill(attributes.begin() + start, attributes.begin() + end, ATTR_TARGET_CONVERTED);
    SetComposition(*c, text, std::move(attributes), start);
}

void OnTextInput(HWND hwnd, const std::wstring& text)
{
    if (text.empty())
        return;
    auto& s = Get();
    std::lock_guard guard(s.lock);
    InputContext* c = ContextOfWindow(s, hwnd);
    if (c && c->composing) {
        FinishComposition(*c, text);
        return;
    }
    for (wchar_t ch : text)
        platform::user::Post(hwnd, WM_CHAR, static_cast<WPARAM>(ch), 1);
}

void OnFocusGained(HWND /*hwnd*/)
{
    if (platform::user::OnVideoThread())
        SDL_StartTextInput();
}

void ForgetWindow(HWND hwnd)
{
    auto& s = Get();
    std::lock_guard guard(s.lock);
    s.associated.erase(hwnd);
    std::erase_if(s.contexts, [hwnd](const auto& entry) { return entry.second.owner == hwnd; });
    for (auto& [window, id] : s.associated)
        if (id && !s.contexts.count(id))
            id = 0;
}

void SendResultAsImeChars(HWND hwnd)
{
    std::wstring result;
    {
        auto& s = Get();
        std::lock_guard guard(s.lock);
        if (InputContext* c = ContextOfWindow(s, hwnd))
            result = c->result;
    }
    for (wchar_t ch : result)
        SendMessageW(hwnd, WM_IME_CHAR, static_cast<WPARAM>(ch), 1);
}

} // namespace platform::ime

namespace platform {

void InjectImeComposition(HWND hwnd, const std::wstring& text, const std::vector<BYTE>& attributes, int cursor)
{
    auto& s = ime::Get();
    std::lock_guard guard(s.lock);
    if (ime::InputContext* c = ime::ContextOfWindow(s, hwnd)) {
        if (text.empty())
            ime::CancelComposition(*c);
        else
            ime::SetComposition(*c, text, attributes, cursor);
    }
}

void InjectImeResult(HWND hwnd, const std::wstring& result)
{
    auto& s = ime::Get();
    std::lock_guard guard(s.lock);
    if (ime::InputContext* c = ime::ContextOfWindow(s, hwnd))
        ime::FinishComposition(*c, result);
}

} // namespace platform
