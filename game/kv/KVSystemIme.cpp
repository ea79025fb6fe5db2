// The window system's input-method hook: installs the service and turns the text that input
// messages produce into character events for the focus window. Text that arrives while a window
// tree is being built is queued and delivered at the next Update.
#include "kv/KVSystem.h"

#include "kv/KVIme.h"
#include "kv/KVWnd.h"

#include <algorithm>

namespace kv {

void KVSystem::InstallInputMethod(HWND window)
{
    auto* service = new KVDefaultIme(window);
    m_imeProvider = std::make_unique<KVInputMethodProvider>(service);
    service->SetNativeMode(false);
    service->SetEnabled(false);
}

void KVSystem::HandleImeMessage(UINT message, WPARAM wParam, LPARAM& lParam, bool& continueFlag)
{
    continueFlag = true;
    if (!m_imeProvider) {
        continueFlag = false;
        return;
    }
    KVDefaultIme* service = m_imeProvider->GetService();
    service->HandleMessage(message, wParam, lParam, continueFlag);
    if (!service->ProduceText(message))
        return;
    int32_t length = std::min<int32_t>(service->GetText(nullptr, 0), static_cast<int32_t>(kMaxImeText));
    std::wstring text(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length > 0)
        service->GetText(text.data(), length);
    // Whatever did not fit is dropped, so the next message starts from an empty text.
    if (service->GetText(nullptr, 0) > 0) {
        std::wstring rest(static_cast<size_t>(service->GetText(nullptr, 0)), L'\0');
        service->GetText(rest.data(), static_cast<int32_t>(rest.size()));
    }
    DeliverImeText(text, service->IsComposing(), service->GetTargetClause());
}

void KVSystem::DeliverImeText(const std::wstring& text, bool composing, const int32_t caret[2])
{
    std::unique_lock tree(m_treeLock, std::try_to_lock);
    if (!tree.owns_lock()) {
        // Another thread is building windows: keep the text for the next Update, within a bound.
        std::lock_guard queue(m_queueLock);
        if (m_queuedTexts.size() < kMaxQueuedTexts)
            m_queuedTexts.push_back({text, composing, {caret[0], caret[1]}});
        return;
    }
    FlushQueuedTexts();
    OnChar(text, composing, caret);
}

void KVSystem::FlushQueuedTexts()
{
    std::deque<QueuedText> pending;
    {
        std::lock_guard queue(m_queueLock);
        pending.swap(m_queuedTexts);
    }
    for (const QueuedText& entry : pending)
        OnChar(entry.text, entry.composing, entry.caret);
}

} // namespace kv
