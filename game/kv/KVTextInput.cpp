// Shared text-input rules of the edit box and the text area.
#include "kv/KVTextInput.h"

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

void ActivateTextInput(bool active)
{
    KVSystem* system = KVSystem::GetPtr();
    KVInputMethodProvider* provider = system ? system->GetInputMethodProvider() : nullptr;
    KVDefaultIme* service = provider ? provider->GetService() : nullptr;
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

} // namespace kv
