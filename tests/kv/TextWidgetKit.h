// Test support for the text widgets: the real widgets (text widgets included) behind their type
// names, a scripted input method behind the framework's input-method seam, and helpers that type,
// compose and press keys as a player does, through window messages and the input-method hook.
#pragma once

#include "kv/KVImm.h"
#include "kv/KVSystem.h"
#include "kv/KVTextWidgetFactories.h"
#include "kv/KVWinMessages.h"

#include "WidgetTestEnv.h"

#include <win32/Keyboard.h>

#include <cstring>
#include <string>
#include <vector>

namespace textkit {

// An input method with one context whose composition and result strings the test sets.
class ScriptedImm : public kv::imm::KVImm {
public:
    HIMC GetContext(HWND) override { return kContext; }
    BOOL ReleaseContext(HWND, HIMC) override { return TRUE; }
    LONG GetCompositionStringW(HIMC, DWORD index, void* buffer, DWORD bytes) override
    {
        if (index == kv::imm::GCS_COMPATTR)
            return 0;
        const std::wstring& text = index == kv::imm::GCS_COMPSTR ? composition : result;
        LONG size = static_cast<LONG>(text.size() * sizeof(wchar_t));
        if (buffer)
            std::memcpy(buffer, text.data(), std::min<size_t>(bytes, static_cast<size_t>(size)));
        return size;
    }
    DWORD GetCandidateListW(HIMC, DWORD, kv::imm::CANDIDATELIST* list, DWORD bytes) override
    {
        if (list)
            std::memcpy(list, candidateList.data(), std::min<size_t>(bytes, candidateList.size()));
        return static_cast<DWORD>(candidateList.size());
    }
    BOOL NotifyIME(HIMC, DWORD, DWORD, DWORD) override { return TRUE; }
    BOOL GetConversionStatus(HIMC, DWORD* conversion, DWORD* sentence) override
    {
        *conversion = 0;
        *sentence = 0;
        return TRUE;
    }
    BOOL SetConversionStatus(HIMC, DWORD, DWORD) override { return TRUE; }
    // Detaching hands back the attached context, as the platform does.
    HIMC AssociateContext(HWND, HIMC context) override
    {
        associations.push_back(context);
        HIMC previous = attached;
        attached = context;
        return previous;
    }

    static inline HIMC const kContext = reinterpret_cast<HIMC>(0x1);
    std::wstring composition, result;
    std::vector<char> candidateList;
    HIMC attached = kContext;
    std::vector<HIMC> associations;
};

class TextEnv : public testsupport::WidgetEnv {
public:
    TextEnv()
    {
        kv::imm::SetImm(&imm);
        kv::RegisterTextWidgetFactories(system->GetRegistry());
        system->InstallInputMethod(nullptr);
        platform::ReleaseAllKeys();
    }
    ~TextEnv()
    {
        // Windows and the input-method service go first, while the scripted input method is in place.
        system.reset();
        kv::imm::SetImm(nullptr);
        platform::ReleaseAllKeys();
    }

    kv::KVWnd* ShowFixture(const std::string& name)
    {
        kv::KVWnd* top = Load(std::string(QUIBLY_FIXTURES_DIR) + "/kv/text/" + name);
        if (top) {
            top->SetVisualEffect(nullptr);
            top->SetVisible(true);
        }
        return top;
    }

    // Typed characters, one WM_CHAR each.
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text)
            SendIme(WM_CHAR, static_cast<WPARAM>(c));
    }
    void Compose(const std::wstring& text)
    {
        imm.composition = text;
        SendIme(WM_IME_COMPOSITION, 0, kv::imm::GCS_COMPSTR);
    }
    void FinishComposition(const std::wstring& text)
    {
        imm.result = text;
        SendIme(WM_IME_COMPOSITION, 0, kv::imm::GCS_RESULTSTR);
    }
    void Press(int vk, bool shift = false)
    {
        platform::SetKeyDown(VK_SHIFT, shift);
        KeyDown(vk);
        platform::SetKeyDown(VK_SHIFT, false);
    }

    ScriptedImm imm;
};

} // namespace textkit
