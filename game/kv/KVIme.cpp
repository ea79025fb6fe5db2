// Input-method service over the IMM seam (kv/KVImm.h).
#include "kv/KVIme.h"

#include "kv/KVImm.h"
#include "kv/KVWinMessages.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>

namespace kv {

using namespace imm;

namespace {

// Copy rule shared by the text, the composition and the result.
int32_t CopyOut(std::wstring& text, wchar_t* buffer, int32_t length)
{
    int32_t total = static_cast<int32_t>(text.size());
    if (buffer && length > 0 && total >= length) {
        std::copy_n(text.begin(), length, buffer);
        text.clear();
    }
    return total;
}

// The largest string or candidate list read from the input method (a defensive bound).
constexpr LONG kMaxImeBytes = 64 * 1024;

class ContextScope {
public:
    explicit ContextScope(HWND window) : m_window(window), m_context(GetImm().GetContext(window)) {}
    ~ContextScope()
    {
        if (m_context)
            GetImm().ReleaseContext(m_window, m_context);
    }
    HIMC Get() const { return m_context; }

private:
    HWND m_window;
    HIMC m_context;
};

bool IsControlCode(uint32_t code)
{
    return code < 32 || code == 127;
}

} // namespace

// KVImeService

void KVImeService::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        CompleteComposition(false);
}

int32_t KVImeService::GetText(wchar_t* buffer, int32_t length)
{
    return CopyOut(m_text, buffer, length);
}

bool KVImeService::OnSetContext(WPARAM wParam, LPARAM)
{
    m_contextActive = wParam == 1;
    return true;
}

void KVImeService::HandleMessage(UINT message, WPARAM wParam, LPARAM& lParam, bool& continueFlag)
{
    continueFlag = true;
    if (!m_enabled) {
        // The system never sees composition messages, so it shows no composition window and
        // makes no characters of its own from them.
        if (message == WM_IME_STARTCOMPOSITION || message == WM_IME_ENDCOMPOSITION ||
            message == WM_IME_COMPOSITION)
            continueFlag = false;
        return;
    }
    switch (message) {
    case WM_INPUTLANGCHANGE:
        continueFlag = OnInputLanguageChange(wParam, lParam);
        break;
    case WM_CHAR:
        continueFlag = OnChar(wParam, lParam);
        break;
    case WM_IME_STARTCOMPOSITION:
        OnStartComposition();
        continueFlag = false;
        break;
    case WM_IME_ENDCOMPOSITION:
        OnEndComposition();
        continueFlag = false;
        break;
    case WM_IME_COMPOSITION:
        OnComposition(wParam, lParam);
        continueFlag = false;
        break;
    case WM_IME_SETCONTEXT:
        // Clearing the show flags keeps the input method from drawing its own windows.
        if (OnSetContext(wParam, lParam))
            lParam = 0;
        break;
    case WM_IME_NOTIFY:
        continueFlag = OnNotify(wParam, lParam);
        break;
    case WM_IME_CHAR:
        OnImeChar(wParam, lParam);
        break;
    default:
        break;
    }
}

// KVDefaultIme

KVDefaultIme::~KVDefaultIme()
{
    if (m_savedContext)
        GetImm().AssociateContext(m_savedWindow, m_savedContext);
}

void KVDefaultIme::SaveContext(HIMC context, HWND window)
{
    m_savedContext = context;
    m_savedWindow = window;
}

HIMC KVDefaultIme::TakeSavedContext()
{
    HIMC context = m_savedContext;
    m_savedContext = nullptr;
    return context;
}

void KVDefaultIme::SetNativeMode(bool native)
{
    ContextScope context(m_window);
    if (!context.Get())
        return;
    DWORD conversion = 0;
    DWORD sentence = 0;
    GetImm().GetConversionStatus(context.Get(), &conversion, &sentence);
    if (native)
        conversion = (conversion | IME_CMODE_NATIVE) & ~IME_CMODE_KATAKANA;
    else
        conversion &= ~(IME_CMODE_NATIVE | IME_CMODE_KATAKANA);
    GetImm().SetConversionStatus(context.Get(), conversion, sentence);
}

bool KVDefaultIme::IsNativeMode()
{
    ContextScope context(m_window);
    DWORD conversion = 0;
    DWORD sentence = 0;
    if (!context.Get() || !GetImm().GetConversionStatus(context.Get(), &conversion, &sentence))
        return false;
    return (conversion & IME_CMODE_NATIVE) != 0;
}

void KVDefaultIme::CompleteComposition(bool complete)
{
    {
        ContextScope context(m_window);
        if (context.Get())
            GetImm().NotifyIME(context.Get(), NI_COMPOSITIONSTR, complete ? CPS_COMPLETE : CPS_CANCEL, 0);
    }
    if (!complete) {
        // A cancelled composition is gone here too, so no stale syllable is delivered later.
        m_composing = false;
        m_composition.clear();
    }
}

int32_t KVDefaultIme::GetComposition(wchar_t* buffer, int32_t length)
{
    return CopyOut(m_composition, buffer, length);
}

int32_t KVDefaultIme::GetCandidate(int32_t index, wchar_t* buffer, int32_t length)
{
    if (index < 0 || static_cast<size_t>(index) >= m_candidates.size())
        return -1;
    const std::wstring& candidate = m_candidates[static_cast<size_t>(index)];
    if (buffer && length > 0)
        std::copy_n(candidate.begin(), std::min<size_t>(static_cast<size_t>(length), candidate.size()), buffer);
    return static_cast<int32_t>(candidate.size());
}

int32_t KVDefaultIme::GetResult(wchar_t* buffer, int32_t length)
{
    if (buffer && length == 0) {
        m_result.clear();
        return 0;
    }
    return CopyOut(m_result, buffer, length);
}

bool KVDefaultIme::OnStartComposition()
{
    m_composing = true;
    return false;
}

bool KVDefaultIme::OnEndComposition()
{
    m_composing = false;
    m_composition.clear();
    return false;
}

std::optional<std::wstring> KVDefaultIme::ReadString(DWORD index)
{
    ContextScope context(m_window);
    if (!context.Get())
        return std::nullopt;
    LONG bytes = GetImm().GetCompositionStringW(context.Get(), index, nullptr, 0);
    if (bytes <= 0 || bytes > kMaxImeBytes)
        return std::nullopt;
    std::vector<wchar_t> buffer(static_cast<size_t>(bytes) / sizeof(wchar_t) + 1, L'\0');
    LONG read = GetImm().GetCompositionStringW(context.Get(), index, buffer.data(),
                                               static_cast<DWORD>(buffer.size() * sizeof(wchar_t)));
    read = std::clamp<LONG>(read, 0, bytes);
    return std::wstring(buffer.data(), static_cast<size_t>(read) / sizeof(wchar_t));
}

void KVDefaultIme::ReadTargetClause()
{
    ContextScope context(m_window);
    if (!context.Get())
        return;
    LONG bytes = GetImm().GetCompositionStringW(context.Get(), GCS_COMPATTR, nullptr, 0);
    if (bytes < 0 || bytes > kMaxImeBytes)
        return;
    std::vector<BYTE> attributes(static_cast<size_t>(bytes));
    if (bytes > 0)
        bytes = std::clamp<LONG>(GetImm().GetCompositionStringW(context.Get(), GCS_COMPATTR, attributes.data(),
                                                                static_cast<DWORD>(bytes)),
                                 0, bytes);
    int32_t count = static_cast<int32_t>(bytes);
    int32_t start = count;
    for (int32_t i = 0; i < count; ++i)
        if (attributes[i] == ATTR_TARGET_CONVERTED || attributes[i] == ATTR_TARGET_NOTCONVERTED) {
            start = i;
            break;
        }
    int32_t end = start;
    while (end < count && attributes[end] == attributes[start])
        ++end;
    m_targetClause[0] = start;
    m_targetClause[1] = end;
}

bool KVDefaultIme::OnComposition(WPARAM, LPARAM lParam)
{
    DWORD flags = static_cast<DWORD>(lParam);
    // A read that finds no context or no string leaves the strings as they were.
    if (flags & GCS_COMPSTR) {
        m_composing = true;
        if (auto text = ReadString(GCS_COMPSTR))
            m_composition = *text;
    }
    if (flags & GCS_RESULTSTR) {
        m_composing = false;
        if (auto text = ReadString(GCS_RESULTSTR))
            m_result = *text;
    }
    if (flags & GCS_COMPATTR)
        ReadTargetClause();
    return false;
}

void KVDefaultIme::ReadCandidatePage()
{
    ContextScope context(m_window);
    if (!context.Get())
        return;
    DWORD size = GetImm().GetCandidateListW(context.Get(), 0, nullptr, 0);
    if (size < 1 || size > static_cast<DWORD>(kMaxImeBytes) || size < offsetof(CANDIDATELIST, dwOffset))
        return;
    m_candidates.clear();
    std::vector<DWORD> storage(size / sizeof(DWORD) + 2, 0);
    auto* list = reinterpret_cast<CANDIDATELIST*>(storage.data());
    GetImm().GetCandidateListW(context.Get(), 0, list, size);
    const char* base = reinterpret_cast<const char*>(storage.data());
    // Every offset and string is checked against the list's own size before it is read.
    DWORD maxCount = (size - offsetof(CANDIDATELIST, dwOffset)) / sizeof(DWORD);
    DWORD count = std::min(list->dwCount, maxCount);
    DWORD pageSize = list->dwPageSize > 0 ? list->dwPageSize : count;
    DWORD pageStart = pageSize > 0 ? pageSize * (list->dwSelection / pageSize) : 0;
    for (DWORD i = 0; i < pageSize && pageStart + i < count; ++i) {
        DWORD offset = list->dwOffset[pageStart + i];
        if (offset >= size)
            break;
        const wchar_t* text = reinterpret_cast<const wchar_t*>(base + offset);
        size_t room = (size - offset) / sizeof(wchar_t);
        m_candidates.emplace_back(text, wcsnlen(text, room));
    }
    m_candidateCount = static_cast<int32_t>(m_candidates.size());
}

bool KVDefaultIme::OnNotify(WPARAM wParam, LPARAM)
{
    switch (wParam) {
    case IMN_CLOSECANDIDATE:
        m_candidatesOpen = false;
        m_targetClause[0] = m_targetClause[1] = 0;
        m_candidateCount = 0;
        m_candidates.clear();
        return false;
    case IMN_OPENCANDIDATE:
        if (m_hideCandidateWindow) {
            ContextScope context(m_window);
            if (context.Get())
                GetImm().NotifyIME(context.Get(), NI_CLOSECANDIDATE, 0, 0);
            return false;
        }
        [[fallthrough]];
    case IMN_CHANGECANDIDATE:
        m_candidatesOpen = true;
        ReadCandidatePage();
        return false;
    default:
        return true;
    }
}

bool KVDefaultIme::OnChar(WPARAM wParam, LPARAM)
{
    // The whole character is taken, not only its low byte; a character outside the basic plane
    // may come as two UTF-16 halves, which are joined.
    uint32_t code = static_cast<uint32_t>(wParam);
    if (code >= 0xD800 && code <= 0xDBFF) {
        m_highSurrogate = static_cast<wchar_t>(code);
        return true;
    }
    if (code >= 0xDC00 && code <= 0xDFFF) {
        if (!m_highSurrogate)
            return true;
        code = 0x10000 + ((static_cast<uint32_t>(m_highSurrogate) - 0xD800) << 10) + (code - 0xDC00);
    }
    m_highSurrogate = 0;
    // Control keys reach the windows as key messages only.
    if (IsControlCode(code) || code > 0x10FFFF)
        return true;
    m_result.assign(1, static_cast<wchar_t>(code));
    return true;
}

bool KVDefaultIme::ProduceText(UINT message)
{
    if (message != WM_CHAR && message != WM_IME_ENDCOMPOSITION && message != WM_IME_COMPOSITION)
        return false;
    // A switched-off service produces nothing: no typed character reaches a window.
    if (!m_enabled)
        return false;
    m_text.clear();
    if (m_composing) {
        int32_t length = GetComposition(nullptr, 0);
        if (length < 1)
            return true;
        m_text.resize(static_cast<size_t>(length));
        GetComposition(m_text.data(), length);
        return true;
    }
    int32_t length = GetResult(nullptr, 0);
    if (length < 1)
        return false;
    m_text.resize(static_cast<size_t>(length));
    GetResult(m_text.data(), length);
    return true;
}

// KVInputMethodProvider

namespace {
KVInputMethodProvider* g_pProvider = nullptr;
}

KVInputMethodProvider::KVInputMethodProvider(KVDefaultIme* service) : m_service(service)
{
    g_pProvider = this;
}

KVInputMethodProvider::~KVInputMethodProvider()
{
    delete m_service;
    if (g_pProvider == this)
        g_pProvider = nullptr;
}

KVInputMethodProvider* KVInputMethodProvider::GetPtr()
{
    return g_pProvider;
}

} // namespace kv
