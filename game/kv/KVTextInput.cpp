// Shared text-input rules of the edit box and the text area.
#include "kv/KVTextInput.h"

#include "kv/KVCaret.h"
#include "kv/KVIme.h"
#include "kv/KVInterface.h"
#include "kv/KVSystem.h"

#include <algorithm>

namespace kv {

bool InsertWithinLimit(std::wstring& text, int32_t index, const std::wstring& input, int32_t maxLength)
{
    if (text.size() + input.size() > static_cast<size_t>(std::max(maxLength, 0)))
        return false;
    text.insert(static_cast<size_t>(ClampIndex(index, text)), input);
    return true;
}

void EraseAt(std::wstring& text, int32_t index, int32_t count)
{
    size_t at = static_cast<size_t>(ClampIndex(index, text));
    size_t n = std::min(static_cast<size_t>(std::max(count, 0)), text.size() - at);
    text.erase(at, n);
}

int32_t ClampIndex(int32_t index, const std::wstring& text)
{
    return std::clamp(index, 0, static_cast<int32_t>(text.size()));
}

uint32_t ScaleColorAlpha(uint32_t colour, float alpha)
{
    double a = (static_cast<double>(colour >> 24) / 255.0) * static_cast<double>(alpha) * 255.0;
    uint32_t byte = static_cast<uint32_t>(std::clamp(a, 0.0, 255.0));
    return (colour & 0x00FFFFFFu) | (byte << 24);
}

KVInterface* TextInterface()
{
    KVSystem* system = KVSystem::GetPtr();
    return system ? system->GetInterface() : nullptr;
}

KVRenderer* SystemRenderer()
{
    KVSystem* system = KVSystem::GetPtr();
    return system ? system->GetRenderer() : nullptr;
}

KVDefaultIme* InputMethodService()
{
    KVSystem* system = KVSystem::GetPtr();
    KVInputMethodProvider* provider = system ? system->GetInputMethodProvider() : nullptr;
    return provider ? provider->GetService() : nullptr;
}

void ActivateTextInput(bool active)
{
    KVDefaultIme* service = InputMethodService();
    if (active && service)
        service->SetEnabled(true);
    if (KVInterface* iface = TextInterface())
        iface->SetTextInputActive(active);
    if (!active && service)
        service->SetEnabled(false);
}

int32_t MeasureWidth(const std::wstring& face, const std::wstring& text)
{
    KVInterface* iface = TextInterface();
    return iface ? iface->MeasureText(face, text).width : 0;
}

KVTextStyle KVTextLook::StyleAt(float alpha) const
{
    KVTextStyle drawn;
    drawn.faceName = fontName;
    drawn.size = fontSize;
    drawn.style = style;
    drawn.colour = ScaleColorAlpha(color, alpha);
    drawn.outlineColour = outlineColor;
    drawn.shadowColour = shadowColor;
    return drawn;
}

KVRect KVTextLook::Inside(const KVRect& r) const
{
    return {r.left + padding.left, r.right - padding.right, r.top + padding.top, r.bottom - padding.bottom};
}

std::unique_ptr<KVCaret> KVTextLook::NewCaret(const std::wstring& group, int32_t& imageCounter) const
{
    if (caretPath.empty())
        return nullptr;
    auto caret = std::make_unique<KVCaret>();
    caret->Init(group, caretRect, imageCounter++, caretPath);
    return caret;
}

void KVComposition::End(int32_t caret)
{
    start = end = caret;
    active = false;
}

void KVComposition::EraseFrom(std::wstring& text, int32_t& caret) const
{
    caret = ClampIndex(caret, text);
    if (!text.empty() && active)
        EraseAt(text, caret, Length());
}

void KVComposition::Drop(std::wstring& text, int32_t& caret)
{
    if (!active)
        return;
    caret = ClampIndex(caret, text);
    EraseAt(text, caret, Length());
    End(caret);
}

void KVComposition::Accept(bool fitted, bool composing, int32_t length, const std::wstring& text, int32_t& caret)
{
    if (!fitted) {
        End(caret);
    } else if (composing) {
        start = caret;
        end = caret + length;
        active = length != 0;
    } else {
        caret = ClampIndex(caret + length, text);
        End(caret);
    }
}

} // namespace kv
