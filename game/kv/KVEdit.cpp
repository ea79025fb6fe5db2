// Edit box: keys, typed and composed text, selection, caret placement, scrolling and drawing.
#include "kv/KVEdit.h"

#include "kv/KVCaret.h"
#include "kv/KVIme.h"
#include "kv/KVImm.h"
#include "kv/KVInterface.h"
#include "kv/KVRenderer.h"
#include "kv/KVTextInput.h"
#include "kv/KVWinMessages.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

#include <win32/Keyboard.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

namespace kv {

namespace {

// Truncates toward zero; values beyond the int range (or NaN) are held, not undefined.
int32_t Trunc(float value)
{
    if (!(value > -2147483648.0f))
        return value != value ? 0 : INT32_MIN;
    if (value >= 2147483648.0f)
        return INT32_MAX;
    return static_cast<int32_t>(value);
}

} // namespace

KVEdit::~KVEdit()
{
    WipePasswordText();
}

void KVEdit::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWndEx::ApplyBase(description, parent);
    auto* edit = dynamic_cast<EditBase*>(description);
    if (!edit)
        return;
    m_look.CopyFrom(*edit);
    m_vAlign = edit->vAlign;
    m_passwordChar = edit->passwordChar;
}

void KVEdit::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVEdit::LoadAssets()
{
    KVWndEx::LoadAssets();
    m_caret = m_look.NewCaret(GetUniqueId(), m_imageCounter);
}

void KVEdit::ResetDefaults()
{
    KVWndEx::ResetDefaults();
    m_focused = false;
    maxLength = kDefaultMaxLength;
    caretIndex = 0;
    m_caret.reset();
}

void KVEdit::ReleaseAssets()
{
    m_caret.reset();
}

void KVEdit::ShowCaret()
{
    if (m_caret)
        m_caret->Show();
}

void KVEdit::OnEnabledChanged(bool enabled)
{
    if (!m_focused)
        return;
    if (enabled)
        ShowCaret();
    ActivateTextInput(enabled);
}

std::wstring KVEdit::GetShownText() const
{
    if (m_passwordChar == 0)
        return text;
    return std::wstring(text.size(), m_passwordChar);
}

void KVEdit::LButtonDown(MouseEventArgs& args)
{
    KVWndEx::LButtonDown(args);
    if (!m_enabled)
        return;
    ShowCaret();
    KVRect r = GetHitRect();
    int32_t x0 = Trunc(r.left + m_look.padding.left) + m_horizontalScroll;
    int32_t click = Trunc(args.x);
    // Clicks are mapped by what is drawn, so a password field places the caret under the
    // pointer and its real letters' widths never show.
    std::wstring shown = GetShownText();
    int32_t before = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        int32_t width = MeasureWidth(m_look.fontName, shown.substr(i, 1));
        int32_t left = x0 + before;
        int32_t right = left + width;
        if (left <= click && click <= right) {
            caretIndex = static_cast<int32_t>(click - left >= right - click ? i + 1 : i);
            return;
        }
        before += width;
    }
}

void KVEdit::MoveCaret(int32_t delta)
{
    caretIndex = ClampIndex(caretIndex + delta, text);
}

void KVEdit::KeyDown(KeyEventArgs& args)
{
    FireEvent(EventKeyDown, args);
    if (!m_enabled)
        return;
    ShowCaret();
    bool shift = GetAsyncKeyState(VK_SHIFT) < 0;
    if (shift && !HasSelection())
        m_selectionAnchor = caretIndex;
    bool known = true;
    switch (args.key) {
    case VK_BACK:
        DeleteBack();
        break;
    case VK_RETURN:
        FireEvent(EventEnterKeyDown, args);
        break;
    case VK_END:
        caretIndex = static_cast<int32_t>(text.size());
        break;
    case VK_HOME:
        caretIndex = 0;
        break;
    case VK_LEFT:
        MoveCaret(-1);
        break;
    case VK_RIGHT:
        MoveCaret(+1);
        break;
    case VK_DELETE:
        DeleteForward();
        break;
    default:
        known = false;
        break;
    }
    if (shift)
        m_selectionEnd = caretIndex;
    else if (known)
        m_selectionAnchor = m_selectionEnd = caretIndex;
}

void KVEdit::CaretToSelectionStart()
{
    if (m_selectionEnd > m_selectionAnchor)
        caretIndex = ClampIndex(m_selectionAnchor + caretIndex - m_selectionEnd, text);
}

void KVEdit::EraseSelection()
{
    int32_t low = ClampIndex(std::min(m_selectionAnchor, m_selectionEnd), text);
    int32_t high = ClampIndex(std::max(m_selectionAnchor, m_selectionEnd), text);
    EraseAt(text, low, high - low);
    caretIndex = ClampIndex(caretIndex, text);
    m_selectionAnchor = m_selectionEnd = caretIndex;
}

bool KVEdit::DeleteSelectionFirst()
{
    if (m_composition.active)
        return true;
    if (!HasSelection())
        return false;
    CaretToSelectionStart();
    EraseSelection();
    return true;
}

void KVEdit::DeleteBack()
{
    if (DeleteSelectionFirst())
        return;
    if (caretIndex <= 0)
        return;
    caretIndex = ClampIndex(caretIndex - 1, text);
    EraseAt(text, caretIndex, 1);
    m_composition.End(caretIndex);
}

void KVEdit::DeleteForward()
{
    if (DeleteSelectionFirst())
        return;
    if (caretIndex >= static_cast<int32_t>(text.size()))
        return;
    caretIndex = ClampIndex(caretIndex, text);
    EraseAt(text, caretIndex, 1);
    m_composition.End(caretIndex);
}

void KVEdit::Char(CharEventArgs& args)
{
    if (!m_enabled)
        return;
    std::wstring input = args.text ? args.text : L"";
    m_composition.EraseFrom(text, caretIndex);
    if (HasSelection()) {
        CaretToSelectionStart();
        EraseSelection();
    }
    bool fitted = InsertWithinLimit(text, caretIndex, input, maxLength);
    m_composition.Accept(fitted, args.composing, static_cast<int32_t>(input.size()), text, caretIndex);
}

void KVEdit::OnSetFocus()
{
    KVWndEx::OnSetFocus();
    m_focused = true;
    if (!m_enabled)
        return;
    ShowCaret();
    if (m_passwordChar != 0) {
        // No composition in a password field: the input context is detached from the window
        // while it has the focus, and the service keeps it for OnKillFocus.
        if (KVDefaultIme* service = InputMethodService()) {
            HIMC previous = imm::GetImm().AssociateContext(service->GetWindow(), nullptr);
            if (previous)
                service->SaveContext(previous, service->GetWindow());
        }
    }
    ActivateTextInput(true);
}

void KVEdit::OnKillFocus()
{
    KVWndEx::OnKillFocus();
    m_focused = false;
    if (!m_enabled)
        return;
    if (m_passwordChar != 0) {
        if (KVDefaultIme* service = InputMethodService())
            if (HIMC saved = service->TakeSavedContext())
                imm::GetImm().AssociateContext(service->GetWindow(), saved);
    }
    m_composition.Drop(text, caretIndex);
    ActivateTextInput(false);
}

void KVEdit::Update(UpdateEventArgs& args)
{
    if (m_caret)
        m_caret->Blink(args.dt);
}

void KVEdit::WipePasswordText()
{
    if (m_passwordChar != 0)
        std::fill(text.begin(), text.end(), L'\0');
}

int32_t KVEdit::TextX(const std::wstring& shown, const KVRect& area)
{
    int32_t left = Trunc(area.left);
    int32_t right = Trunc(area.right);
    int32_t viewWidth = Trunc(area.right - area.left);
    int32_t quarter = std::max(viewWidth, 0) / 4;
    int32_t textWidth = MeasureWidth(m_look.fontName, shown);
    int32_t caret = ClampIndex(caretIndex, shown);
    int32_t compositionLength = m_composition.active ? m_composition.Length() : 0;
    int32_t caretEnd = ClampIndex(caret + compositionLength, shown);
    int32_t beforeCaret = MeasureWidth(m_look.fontName, shown.substr(0, static_cast<size_t>(caretEnd)));
    int32_t start = left + m_horizontalScroll;
    int32_t caretX = start + beforeCaret;
    if (static_cast<float>(caretX) < area.left) {
        int32_t margin = caret > 0 ? quarter : 0;
        start = std::min(left - beforeCaret + margin, left);
    } else if (static_cast<float>(caretX) > area.right) {
        int32_t margin = caret < static_cast<int32_t>(shown.size()) - compositionLength ? quarter : 0;
        start = right - margin - beforeCaret;
    } else if (m_look.hAlign == 1 && textWidth < viewWidth) {
        start = left + viewWidth / 2 - textWidth / 2;
    } else if (m_look.hAlign != 0 && (start > left || start + textWidth < right)) {
        start = right - textWidth;
    }
    m_horizontalScroll = start - left;
    return start;
}

int32_t KVEdit::TextY(const std::wstring& shown, const KVRect& area)
{
    int32_t top = Trunc(area.top);
    int32_t viewHeight = Trunc(area.bottom - area.top);
    KVInterface* iface = TextInterface();
    int32_t textHeight = iface ? iface->MeasureText(m_look.fontName, shown).height : 0;
    int32_t y = top + m_verticalOffset;
    switch (m_vAlign) {
    case 0:
        y = top;
        break;
    case 1:
        y = (viewHeight - textHeight) / 2 + top;
        break;
    case 2:
        y = Trunc(area.bottom) - textHeight;
        break;
    default:
        break;
    }
    m_verticalOffset = y - top;
    return y;
}

void KVEdit::OnDraw()
{
    KVWndEx::OnDraw();
    KVRect area = m_look.Inside(GetHitRect());
    std::wstring shown = GetShownText();
    int32_t x = TextX(shown, area);
    int32_t y = TextY(shown, area);
    float alpha = GetEffectiveAlpha();
    KVTextStyle style = m_look.StyleAt(alpha);
    KVRenderer* renderer = SystemRenderer();
    KVInterface* iface = TextInterface();
    if (renderer)
        renderer->BeginText(area);
    if (iface)
        iface->DrawText(style, x, y, shown);
    if (renderer)
        renderer->EndText();
    if (m_focused && m_enabled && m_caret) {
        int32_t caret = ClampIndex(caretIndex, shown);
        int32_t caretX = x + MeasureWidth(m_look.fontName, shown.substr(0, static_cast<size_t>(caret)));
        m_caret->Draw({static_cast<float>(caretX), static_cast<float>(y)}, alpha, GetScale());
    }
}

} // namespace kv
