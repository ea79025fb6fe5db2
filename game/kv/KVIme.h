// The input-method service: reads composition and result strings from the input method and hands
// them to the focus window as character events, with a composing flag and the target clause, so
// edit boxes and text areas can show the syllable being composed inside their own text. It hides
// the input method's own windows and is switched on only while a text widget has the focus.
#pragma once

#include <win32/Types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

class KVInputMethodService {
public:
    virtual ~KVInputMethodService() = default;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void SetNativeMode(bool native) = 0;
    virtual bool IsNativeMode() = 0;
    // Copy rule: returns the text's length L; with a buffer, a positive length and L >= length,
    // copies the first length characters (no terminator) and empties the text.
    virtual int32_t GetText(wchar_t* buffer, int32_t length) = 0;
};

class KVImeService : public KVInputMethodService {
public:
    explicit KVImeService(HWND window) : m_window(window) {}

    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override { return m_enabled; }
    int32_t GetText(wchar_t* buffer, int32_t length) override;

    virtual int32_t GetCandidateCount() const = 0;
    virtual bool IsComposing() const = 0;
    virtual bool IsCandidateOpen() const = 0;
    virtual void CompleteComposition(bool complete) = 0;
    virtual int32_t GetComposition(wchar_t* buffer, int32_t length) = 0;
    virtual int32_t GetCandidate(int32_t index, wchar_t* buffer, int32_t length) = 0;
    virtual int32_t GetResult(wchar_t* buffer, int32_t length) = 0;

    // Dispatches one window message; may clear `continueFlag` (the window procedure then
    // swallows the message) and the lParam of WM_IME_SETCONTEXT.
    virtual void HandleMessage(UINT message, WPARAM wParam, LPARAM& lParam, bool& continueFlag);
    virtual bool OnInputLanguageChange(WPARAM /*wParam*/, LPARAM /*lParam*/) { return true; }
    virtual bool OnSetContext(WPARAM wParam, LPARAM lParam);
    virtual bool OnStartComposition() = 0;
    virtual bool OnComposition(WPARAM wParam, LPARAM lParam) = 0;
    virtual bool OnEndComposition() = 0;
    virtual bool OnNotify(WPARAM wParam, LPARAM lParam) = 0;
    virtual bool OnImeChar(WPARAM wParam, LPARAM lParam) = 0;
    virtual bool OnChar(WPARAM wParam, LPARAM lParam) = 0;

    bool IsContextActive() const { return m_contextActive; }
    HWND GetWindow() const { return m_window; }

protected:
    HWND m_window;
    bool m_enabled = true;
    bool m_contextActive = false;
    std::wstring m_text;
};

class KVDefaultIme : public KVImeService {
public:
    explicit KVDefaultIme(HWND window) : KVImeService(window) {}
    ~KVDefaultIme() override;

    void SetNativeMode(bool native) override;
    bool IsNativeMode() override;
    int32_t GetCandidateCount() const override { return m_candidateCount; }
    bool IsComposing() const override { return m_composing; }
    bool IsCandidateOpen() const override { return m_candidatesOpen; }
    void CompleteComposition(bool complete) override;
    int32_t GetComposition(wchar_t* buffer, int32_t length) override;
    int32_t GetCandidate(int32_t index, wchar_t* buffer, int32_t length) override;
    int32_t GetResult(wchar_t* buffer, int32_t length) override;

    bool OnStartComposition() override;
    bool OnComposition(WPARAM wParam, LPARAM lParam) override;
    bool OnEndComposition() override;
    bool OnNotify(WPARAM wParam, LPARAM lParam) override;
    bool OnImeChar(WPARAM, LPARAM) override { return true; }
    bool OnChar(WPARAM wParam, LPARAM lParam) override;

    // After HandleMessage: true when the message produced text (a character, a composition
    // update or a finished composition), which GetText then gives.
    bool ProduceText(UINT message);
    const int32_t* GetTargetClause() const { return m_targetClause; }

    // A password edit box detaches the input context from the window while it has the focus;
    // the service keeps it and gives it back at destruction.
    void SaveContext(HIMC context, HWND window);
    HIMC TakeSavedContext();

private:
    // The string, or nothing when there is no context or no string to read.
    std::optional<std::wstring> ReadString(DWORD index);
    void ReadTargetClause();
    void ReadCandidatePage();

    bool m_composing = false;
    bool m_candidatesOpen = false;
    int32_t m_candidateCount = 0;
    int32_t m_targetClause[2] = {0, 0};
    std::wstring m_composition;
    std::vector<std::wstring> m_candidates;
    std::wstring m_result;
    HIMC m_savedContext = nullptr;
    HWND m_savedWindow = nullptr;
    bool m_hideCandidateWindow = true;
    // The first half of a character outside the basic plane typed as two WM_CHAR units.
    wchar_t m_highSurrogate = 0;
};

// The one input-method provider, made by the window system's InstallInputMethod.
class KVInputMethodProvider {
public:
    explicit KVInputMethodProvider(KVDefaultIme* service);
    virtual ~KVInputMethodProvider();
    KVInputMethodProvider(const KVInputMethodProvider&) = delete;
    KVInputMethodProvider& operator=(const KVInputMethodProvider&) = delete;

    static KVInputMethodProvider* GetPtr();
    KVDefaultIme* GetService() const { return m_service; }

private:
    KVDefaultIme* m_service;
};

} // namespace kv
