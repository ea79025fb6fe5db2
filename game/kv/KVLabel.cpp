// Label: configured from its description, drawn through the window system's interface between
// the renderer's BeginText and EndText.
#include "kv/KVLabel.h"

#include "kv/KVInterface.h"
#include "kv/KVRenderer.h"
#include "kv/KVSystem.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

namespace kv {

uint32_t ScaleColourAlpha(uint32_t colour, float alpha)
{
    double scaled = (static_cast<double>(colour >> 24) / 255.0) * alpha * 255.0;
    auto byte = static_cast<uint32_t>(static_cast<int32_t>(scaled)) & 0xFF;
    return (colour & 0x00FFFFFF) | (byte << 24);
}

int32_t AlignText(int32_t alignment, float low, float high, int32_t extent)
{
    switch (alignment) {
    case 0:
        return static_cast<int32_t>(low);
    case 1:
        return (static_cast<int32_t>(high - low) - extent) / 2 + static_cast<int32_t>(low);
    case 2:
        return static_cast<int32_t>(high - static_cast<float>(extent));
    default:
        return 0;
    }
}

void KVLabel::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    auto* label = dynamic_cast<LabelBase*>(description);
    if (!label)
        return;
    text = g_pKVInterface ? g_pKVInterface->Translate(label->text) : label->text;
    fontName = label->fontName.value;
    fontSize = label->fontSize.value;
    colour = label->color.value;
    outlineColour = label->outlineColor.value;
    shadowColour = label->shadowColor.value;
    style = label->style;
    hAlign = label->hAlign.value;
    vAlign = label->vAlign.value;
}

void KVLabel::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVLabel::ResetDefaults()
{
    KVWnd::ResetDefaults();
    m_mouseTransparent = true;
}

void KVLabel::SetFittedText(const std::wstring& full)
{
    KVInterface* iface = g_pKVInterface;
    const int32_t width = static_cast<int32_t>(GetHitRect().right - GetHitRect().left);
    if (!iface || width <= 0 || iface->MeasureText(fontName, full).width <= width) {
        text = full;
        return;
    }
    // The longest start that fits with the dots after it, found by halving.
    static const std::wstring kDots = L"...";
    size_t low = 0, high = full.size();
    while (low < high) {
        size_t middle = (low + high + 1) / 2;
        if (iface->MeasureText(fontName, full.substr(0, middle) + kDots).width <= width)
            low = middle;
        else
            high = middle - 1;
    }
    text = full.substr(0, low) + kDots;
}

void KVLabel::OnDraw()
{
    KVInterface* iface = g_pKVInterface;
    KVRenderer* renderer = g_pKVRenderer;
    if (text.empty() || !iface || !renderer)
        return;
    KVRect r = GetHitRect();
    KVSize extent = iface->MeasureText(fontName, text);
    int32_t x = AlignText(hAlign, r.left, r.right, extent.width);
    int32_t y = AlignText(vAlign, r.top, r.bottom, extent.height);
    KVTextStyle textStyle;
    textStyle.faceName = fontName;
    textStyle.size = fontSize;
    textStyle.style = style;
    textStyle.colour = ScaleColourAlpha(colour, GetEffectiveAlpha());
    textStyle.outlineColour = outlineColour;
    textStyle.shadowColour = shadowColour;
    renderer->BeginText(r);
    iface->DrawText(textStyle, x, y, text);
    renderer->EndText();
}

} // namespace kv
