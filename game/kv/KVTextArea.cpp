// Text area: line breaking, caret movement, typed and composed text, wheel scrolling, drawing,
// and the scroll-bar text area's coupling with its vertical bar.
#include "kv/KVTextArea.h"

#include "kv/KVCaret.h"
#include "kv/KVIme.h"
#include "kv/KVInterface.h"
#include "kv/KVRenderer.h"
#include "kv/KVTextInput.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

#include <win32/VirtualKeys.h>

#include <algorithm>
#include <climits>

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

KVTextArea::~KVTextArea() = default;

void KVTextArea::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWndEx::ApplyBase(description, parent);
    auto* area = dynamic_cast<TextAreaBase*>(description);
    if (!area)
        return;
    m_look.CopyFrom(*area);
    m_editable = area->editable.value;
}

void KVTextArea::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVTextArea::LoadAssets()
{
    KVWndEx::LoadAssets();
    m_caret = m_look.NewCaret(GetUniqueId(), m_imageCounter);
}

void KVTextArea::ResetDefaults()
{
    KVWndEx::ResetDefaults();
    m_focused = false;
    m_lineSpacing = kLineSpacingPercent;
    KVInterface* iface = TextInterface();
    int32_t glyphHeight = iface ? iface->MeasureText(m_look.fontName, L"A").height : 0;
    m_lineHeight = m_lineSpacing * glyphHeight / 100;
    m_firstVisibleLine = 0;
    m_caretIndex = 0;
    m_desiredCaretX = 0;
    m_caretAtWrapEnd = false;
    m_caret.reset();
    maxLength = kDefaultMaxLength;
}

void KVTextArea::ReleaseAssets()
{
    m_caret.reset();
}

void KVTextArea::ShowCaret()
{
    if (m_caret)
        m_caret->Show();
}

void KVTextArea::OnEnabledChanged(bool enabled)
{
    if (!m_focused)
        return;
    if (enabled && m_editable)
        ShowCaret();
    if (KVDefaultIme* service = InputMethodService())
        service->SetEnabled(enabled);
}

void KVTextArea::OnResize(int32_t flags)
{
    KVWndEx::OnResize(flags);
    if (flags & kSizeChanged)
        RebuildLines();
}

// Lines.

int32_t KVTextArea::CharWidth(wchar_t c) const
{
    return MeasureWidth(m_look.fontName, std::wstring(1, c));
}

int32_t KVTextArea::NextLineEnd(int32_t start) const
{
    int32_t available = Trunc(GetWidth() - m_look.padding.left - m_look.padding.right);
    int32_t length = static_cast<int32_t>(m_text.size());
    int32_t sum = 0;
    for (int32_t i = start; i < length; ++i) {
        wchar_t c = m_text[static_cast<size_t>(i)];
        if (c == L'\n')
            return i;
        sum += CharWidth(c);
        // Every line takes at least one character, so an area narrower than a character still
        // breaks its text into lines instead of finding no place to break.
        if (sum > available)
            return std::max(i, start + 1);
    }
    return length;
}

void KVTextArea::RebuildLines()
{
    m_lines.clear();
    if (!m_text.empty())
        WrapFrom(0);
}

int32_t KVTextArea::NextLineStart(int32_t end) const
{
    return end < static_cast<int32_t>(m_text.size()) && m_text[static_cast<size_t>(end)] == L'\n' ? end + 1 : end;
}

void KVTextArea::WrapFrom(int32_t start)
{
    int32_t length = static_cast<int32_t>(m_text.size());
    for (;;) {
        int32_t end = NextLineEnd(start);
        m_lines.emplace_back(start, end);
        if (end >= length)
            break;
        start = NextLineStart(end);
    }
    m_lines.emplace_back(-1, -1);
}

int32_t KVTextArea::LineCount() const
{
    return std::max(0, static_cast<int32_t>(m_lines.size()) - 1);
}

std::pair<int32_t, int32_t> KVTextArea::GetLine(int32_t line) const
{
    if (line < 0 || line >= LineCount())
        return {-1, -1};
    return m_lines[static_cast<size_t>(line)];
}

KVRect KVTextArea::PaddedRect() const
{
    return m_look.Inside(GetHitRect());
}

int32_t KVTextArea::GetVisibleLineCount() const
{
    if (m_lineHeight <= 0)
        return 0;
    KVRect r = GetHitRect();
    return Trunc((r.bottom - m_look.padding.bottom) - (r.top + m_look.padding.top)) / m_lineHeight;
}

std::wstring KVTextArea::LineText(int32_t line) const
{
    auto [start, end] = GetLine(line);
    if (start < 0)
        return {};
    return m_text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

int32_t KVTextArea::LineWidth(int32_t line) const
{
    return MeasureWidth(m_look.fontName, LineText(line));
}

std::pair<int32_t, int32_t> KVTextArea::LineOfIndex(int32_t index) const
{
    int32_t length = static_cast<int32_t>(m_text.size());
    for (int32_t line = 0; line < LineCount(); ++line) {
        auto [start, end] = m_lines[static_cast<size_t>(line)];
        if (start <= index && index < end)
            return {line, index - start};
        if (index == end &&
            (index >= length || m_text[static_cast<size_t>(index)] == L'\n' || m_caretAtWrapEnd))
            return {line, index - start};
    }
    return {-1, -1};
}

int32_t KVTextArea::IndexAtLineX(int32_t line, int32_t x)
{
    auto [start, end] = GetLine(line);
    if (start < 0)
        return m_caretIndex;
    if (x == 0)
        return start;
    int32_t pos = start;
    int32_t width = 0;
    while (width < x && pos < end)
        width += CharWidth(m_text[static_cast<size_t>(pos++)]);
    int32_t length = static_cast<int32_t>(m_text.size());
    m_caretAtWrapEnd = pos == end && end < length && m_text[static_cast<size_t>(end)] != L'\n';
    return pos;
}

int32_t KVTextArea::CaretX() const
{
    auto [line, column] = LineOfIndex(m_caretIndex);
    if (line < 0)
        return 0;
    int32_t start = m_lines[static_cast<size_t>(line)].first;
    return MeasureWidth(m_look.fontName, m_text.substr(static_cast<size_t>(start), static_cast<size_t>(column)));
}

void KVTextArea::ScrollToLine(int32_t line)
{
    if (line < 0)
        return;
    int32_t visible = GetVisibleLineCount();
    if (line < m_firstVisibleLine)
        m_firstVisibleLine = line;
    else if (line >= m_firstVisibleLine + visible)
        m_firstVisibleLine = line - visible + 1;
}

void KVTextArea::ScrollToCaret()
{
    ScrollToLine(LineOfIndex(m_caretIndex).first);
}

// Text.

void KVTextArea::AppendText(const std::wstring& more)
{
    if (m_lines.size() < 2) {
        m_text += more;
        RebuildLines();
        return;
    }
    // Only the last line and what follows it change: wrap from the last line's start, so a log
    // or a chat that grows line by line costs one line each time, not its whole text.
    int32_t start = m_lines[m_lines.size() - 2].first;
    m_lines.resize(m_lines.size() - 2);
    m_text += more;
    WrapFrom(start);
}

void KVTextArea::EraseFront(int32_t count)
{
    int32_t length = static_cast<int32_t>(m_text.size());
    count = std::clamp(count, 0, length);
    if (count == 0)
        return;
    if (count == length) {
        Clear();
        return;
    }
    // Lines from the first one that starts after a line break past the cut keep their wrapping;
    // only the text before it is wrapped again.
    size_t kept = 0;
    while (kept + 1 < m_lines.size()) {
        int32_t first = m_lines[kept].first;
        if (first >= count && first > 0 && m_text[static_cast<size_t>(first - 1)] == L'\n')
            break;
        ++kept;
    }
    const int32_t before = LineCount();
    m_text.erase(0, static_cast<size_t>(count));
    if (kept + 1 >= m_lines.size()) {
        RebuildLines();
    } else {
        std::vector<std::pair<int32_t, int32_t>> rest(m_lines.begin() + static_cast<std::ptrdiff_t>(kept), m_lines.end() - 1);
        const int32_t target = rest.front().first - count;
        m_lines.clear();
        for (int32_t start = 0; start < target;) {
            int32_t end = NextLineEnd(start);
            m_lines.emplace_back(start, end);
            start = NextLineStart(end);
        }
        for (const auto& [first, end] : rest)
            m_lines.emplace_back(first - count, end - count);
        m_lines.emplace_back(-1, -1);
    }
    const int32_t dropped = before - LineCount();
    m_caretIndex = std::max(0, m_caretIndex - count);
    SetFirstVisibleLine(m_firstVisibleLine - dropped);
}

void KVTextArea::Clear()
{
    m_firstVisibleLine = 0;
    m_caretIndex = 0;
    m_desiredCaretX = 0;
    m_text.clear();
    m_composition.End(m_caretIndex);
    RebuildLines();
}

void KVTextArea::SetFirstVisibleLine(int32_t line)
{
    // Never before the first line: an empty area keeps line 0, so drawing never starts at -1.
    m_firstVisibleLine = std::max(0, std::min(line, LineCount() - 1));
}

// Mouse.

void KVTextArea::LButtonDown(MouseEventArgs& args)
{
    KVWndEx::LButtonDown(args);
    if (!m_enabled)
        return;
    ShowCaret();
    if (m_lineHeight <= 0)
        return;
    KVRect area = PaddedRect();
    int32_t row = Trunc((args.y - area.top) / static_cast<float>(m_lineHeight)) + m_firstVisibleLine;
    if (row < 0 || row >= LineCount())
        return;
    PlaceCaretAt(row, Trunc(args.x - area.left));
}

void KVTextArea::PlaceCaretAt(int32_t row, int32_t cx)
{
    int32_t index = -1;
    if (cx >= LineWidth(row)) {
        index = IndexAtLineX(row, cx);
    } else {
        auto [start, end] = GetLine(row);
        int32_t before = 0;
        for (int32_t i = start; i < end; ++i) {
            int32_t after = before + CharWidth(m_text[static_cast<size_t>(i)]);
            if (before <= cx && cx <= after) {
                index = cx - before < after - cx ? IndexAtLineX(row, before) : IndexAtLineX(row, after);
                break;
            }
            before = after;
        }
    }
    if (index < 0 || index > static_cast<int32_t>(m_text.size()))
        return;
    m_caretIndex = index;
    m_desiredCaretX = CaretX();
}

void KVTextArea::MouseWheel(MouseEventArgs& args)
{
    FireEvent(EventMouseWheel, args);
    if (args.wheel > 0) {
        if (m_firstVisibleLine > 0)
            --m_firstVisibleLine;
    } else if (m_firstVisibleLine < LineCount() - 1) {
        ++m_firstVisibleLine;
    }
}

// Keys.

void KVTextArea::KeyDown(KeyEventArgs& args)
{
    FireEvent(EventKeyDown, args);
    if (!m_enabled || !m_editable)
        return;
    ShowCaret();
    bool hasText = !m_text.empty();
    switch (args.key) {
    case VK_BACK:
        KeyBackspace();
        break;
    case VK_DELETE:
        KeyDelete();
        break;
    case VK_RETURN:
        KeyEnter();
        break;
    case VK_HOME:
        if (hasText)
            KeyHome();
        break;
    case VK_END:
        if (hasText)
            KeyEnd();
        break;
    case VK_UP:
        if (hasText)
            KeyUpDown(-1);
        break;
    case VK_DOWN:
        if (hasText)
            KeyUpDown(+1);
        break;
    case VK_LEFT:
        if (hasText)
            KeyLeft();
        break;
    case VK_RIGHT:
        if (hasText)
            KeyRight();
        break;
    default:
        break;
    }
}

void KVTextArea::KeyBackspace()
{
    if (m_caretIndex <= 0 || m_composition.active)
        return;
    int32_t lines = LineCount();
    m_caretIndex = ClampIndex(m_caretIndex - 1, m_text);
    EraseAt(m_text, m_caretIndex, 1);
    RebuildLines();
    if (LineCount() != lines)
        m_firstVisibleLine = std::max(0, m_firstVisibleLine - 1);
    m_desiredCaretX = CaretX();
}

void KVTextArea::KeyDelete()
{
    if (m_caretIndex >= static_cast<int32_t>(m_text.size()) || m_composition.active)
        return;
    EraseAt(m_text, m_caretIndex, 1);
    RebuildLines();
    int32_t visible = GetVisibleLineCount();
    if (LineCount() < m_firstVisibleLine + visible)
        m_firstVisibleLine = std::max(0, LineCount() - visible);
}

void KVTextArea::KeyEnter()
{
    if (!InsertWithinLimit(m_text, m_caretIndex, L"\n", maxLength))
        return;
    m_caretIndex = ClampIndex(m_caretIndex + 1, m_text);
    RebuildLines();
    m_caretAtWrapEnd = false;
    m_desiredCaretX = CaretX();
    ScrollToCaret();
}

void KVTextArea::KeyHome()
{
    auto [line, column] = LineOfIndex(m_caretIndex);
    if (line < 0)
        return;
    m_caretIndex = GetLine(line).first;
    m_caretAtWrapEnd = false;
    m_desiredCaretX = CaretX();
}

void KVTextArea::KeyEnd()
{
    auto [line, column] = LineOfIndex(m_caretIndex);
    if (line < 0)
        return;
    int32_t end = GetLine(line).second;
    m_caretIndex = end;
    m_caretAtWrapEnd = end < static_cast<int32_t>(m_text.size()) && m_text[static_cast<size_t>(end)] != L'\n';
    m_desiredCaretX = CaretX();
}

void KVTextArea::KeyUpDown(int32_t direction)
{
    int32_t line = LineOfIndex(m_caretIndex).first;
    if (line < 0)
        return;
    int32_t target = line + direction;
    if (target < 0 || target >= LineCount()) {
        ScrollToLine(line);
        return;
    }
    m_caretIndex = IndexAtLineX(target, m_desiredCaretX);
    ScrollToLine(target);
}

void KVTextArea::KeyLeft()
{
    if (m_caretIndex <= 0) {
        ScrollToLine(0);
        return;
    }
    auto [line, column] = LineOfIndex(m_caretIndex);
    if (column == 0)
        m_caretAtWrapEnd = m_text[static_cast<size_t>(m_caretIndex - 1)] != L'\n';
    else
        m_caretAtWrapEnd = false;
    m_caretIndex = ClampIndex(m_caretIndex - 1, m_text);
    m_desiredCaretX = CaretX();
    ScrollToCaret();
}

void KVTextArea::KeyRight()
{
    m_caretIndex = ClampIndex(m_caretIndex + 1, m_text);
    // The caret arrives at the end of the line of the character it passed: it stays shown at
    // the end of that line unless a newline or the end of the text is there.
    int32_t length = static_cast<int32_t>(m_text.size());
    bool atLineEnd = false;
    for (int32_t line = 0; line < LineCount(); ++line)
        if (m_lines[static_cast<size_t>(line)].second == m_caretIndex && m_lines[static_cast<size_t>(line)].first < m_caretIndex)
            atLineEnd = true;
    m_caretAtWrapEnd = atLineEnd && m_caretIndex < length && m_text[static_cast<size_t>(m_caretIndex)] != L'\n';
    m_desiredCaretX = CaretX();
    ScrollToCaret();
}

void KVTextArea::Char(CharEventArgs& args)
{
    if (!m_enabled || !m_editable)
        return;
    std::wstring input = args.text ? args.text : L"";
    m_composition.EraseFrom(m_text, m_caretIndex);
    bool fitted = InsertWithinLimit(m_text, m_caretIndex, input, maxLength);
    m_composition.Accept(fitted, args.composing, static_cast<int32_t>(input.size()), m_text, m_caretIndex);
    RebuildLines();
    m_desiredCaretX = CaretX();
    ScrollToCaret();
    m_caretAtWrapEnd = false;
}

// Focus and update.

void KVTextArea::OnSetFocus()
{
    KVWndEx::OnSetFocus();
    m_focused = true;
    if (!m_enabled || !m_editable)
        return;
    ShowCaret();
    ActivateTextInput(true);
}

void KVTextArea::OnKillFocus()
{
    KVWndEx::OnKillFocus();
    m_focused = false;
    if (!m_enabled)
        return;
    if (m_composition.active) {
        m_composition.Drop(m_text, m_caretIndex);
        RebuildLines();
    }
    if (m_editable)
        ActivateTextInput(false);
}

void KVTextArea::Update(UpdateEventArgs& args)
{
    if (m_caret)
        m_caret->Blink(args.dt);
}

// Drawing.

void KVTextArea::OnDraw()
{
    KVWndEx::OnDraw();
    KVRect area = PaddedRect();
    int32_t x0 = Trunc(area.left);
    int32_t y0 = Trunc(area.top);
    float height = area.bottom - area.top;
    float alpha = GetEffectiveAlpha();
    KVRenderer* renderer = SystemRenderer();
    KVInterface* iface = TextInterface();
    if (renderer)
        renderer->BeginText(area);
    KVTextStyle style = m_look.StyleAt(alpha);
    for (int32_t line = std::max(0, m_firstVisibleLine); line < LineCount(); ++line) {
        auto [start, end] = GetLine(line);
        if (start == end)
            continue;
        int32_t y = (line - m_firstVisibleLine) * m_lineHeight;
        if (static_cast<float>(y) >= height)
            break;
        int32_t x = x0;
        if (!m_editable && (m_look.hAlign == 1 || m_look.hAlign == 2)) {
            int32_t width = LineWidth(line);
            x = m_look.hAlign == 1 ? (Trunc(area.right - area.left) - width) / 2 + x0 : Trunc(area.right - static_cast<float>(width));
        }
        if (iface)
            iface->DrawText(style, x, y0 + y, LineText(line));
    }
    if (m_focused && m_enabled && m_editable && m_caret) {
        int32_t caretLine = LineOfIndex(m_caretIndex).first;
        int32_t y = (caretLine - m_firstVisibleLine) * m_lineHeight;
        if (caretLine >= 0 && y >= 0 && static_cast<float>(y) < height)
            m_caret->Draw({static_cast<float>(x0 + CaretX()), static_cast<float>(y0 + y)}, alpha, GetScale());
    }
    if (renderer)
        renderer->EndText();
}

} // namespace kv
