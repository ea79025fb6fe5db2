// The multi-line text window: wraps its text into lines by pixel width, draws them from a first
// visible line down, and when editable keeps a caret moved by clicks and keys and takes typed and
// composed text. KVTextAreaSC adds scroll bars; its vertical bar decides the first visible line.
#pragma once

#include "kv/KVCaret.h"
#include "kv/KVTextInput.h"
#include "kv/KVWndEx.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kv {

class KVScrollBar;

class KVTextArea : public KVWndEx {
public:
    static constexpr int32_t kDefaultMaxLength = 1000;
    static constexpr int32_t kLineSpacingPercent = 130;

    KVTextArea() = default;
    ~KVTextArea() override;

    std::wstring GetClassName() const override { return L"KVTextArea"; }
    std::wstring GetTypeName() const override { return L"Window"; }

    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    bool IsTextInput() override { return true; }
    void LoadAssets() override;
    void ResetDefaults() override;
    void ReleaseAssets() override;
    void OnEnabledChanged(bool enabled) override;
    void OnResize(int32_t flags) override;
    void LButtonDown(MouseEventArgs& args) override;
    void MouseWheel(MouseEventArgs& args) override;
    void KeyDown(KeyEventArgs& args) override;
    void Char(CharEventArgs& args) override;
    void OnSetFocus() override;
    void OnKillFocus() override;
    void Update(UpdateEventArgs& args) override;
    void OnDraw() override;

    virtual void AppendText(const std::wstring& more);
    virtual const std::wstring& GetText() const { return m_text; }
    virtual void Clear();
    // Removes the first `count` characters, rewrapping only what stood before the first line
    // break past them: dropping the oldest entry of a long log costs that entry, not the log.
    virtual void EraseFront(int32_t count);
    virtual void SetFirstVisibleLine(int32_t line);

    // The real lines (the line table without its end marker).
    int32_t LineCount() const;
    // Whole lines that fit in the padded height.
    int32_t GetVisibleLineCount() const;
    int32_t GetFirstVisibleLine() const { return m_firstVisibleLine; }
    int32_t GetLineHeight() const { return m_lineHeight; }
    // {start, end} of a line, end exclusive; {-1, -1} for a line that does not exist.
    std::pair<int32_t, int32_t> GetLine(int32_t line) const;
    int32_t GetCaretIndex() const { return m_caretIndex; }
    bool IsCaretAtWrapEnd() const { return m_caretAtWrapEnd; }
    bool IsComposing() const { return m_composition.active; }
    bool IsEditable() const { return m_editable; }
    bool IsFocused() const { return m_focused; }
    KVCaret* GetCaret() const { return m_caret.get(); }
    // {line, column} of the caret; {-1, -1} for an empty text.
    std::pair<int32_t, int32_t> GetCaretLine() const { return LineOfIndex(m_caretIndex); }

    // Game code sets it directly.
    int32_t maxLength = kDefaultMaxLength;

protected:
    void RebuildLines();
    KVRect PaddedRect() const;
    // Wraps the text from `start` (a line start) to its end onto the line table.
    void WrapFrom(int32_t start);
    int32_t NextLineStart(int32_t end) const;

private:
    int32_t NextLineEnd(int32_t start) const;
    std::pair<int32_t, int32_t> LineOfIndex(int32_t index) const;
    int32_t IndexAtLineX(int32_t line, int32_t x);
    int32_t CaretX() const;
    int32_t LineWidth(int32_t line) const;
    void ScrollToLine(int32_t line);
    void ScrollToCaret();
    void ShowCaret();
    void PlaceCaretAt(int32_t row, int32_t cx);
    void KeyBackspace();
    void KeyDelete();
    void KeyEnter();
    void KeyHome();
    void KeyEnd();
    void KeyUpDown(int32_t direction);
    void KeyLeft();
    void KeyRight();
    int32_t CharWidth(wchar_t c) const;
    std::wstring LineText(int32_t line) const;

    std::wstring m_text;
    bool m_focused = false;
    int32_t m_lineSpacing = kLineSpacingPercent;
    int32_t m_lineHeight = 0;
    int32_t m_firstVisibleLine = 0;
    int32_t m_caretIndex = 0;
    KVComposition m_composition;
    int32_t m_desiredCaretX = 0;
    bool m_caretAtWrapEnd = false;
    std::unique_ptr<KVCaret> m_caret;
    std::vector<std::pair<int32_t, int32_t>> m_lines;
    KVTextLook m_look;
    bool m_editable = false;
};

class KVTextAreaSC : public KVTextArea {
public:
    std::wstring GetClassName() const override { return L"KVTextAreaSC"; }
    std::wstring GetTypeName() const override { return L"TextArea"; }

    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    bool HitTest(float x, float y, bool includeDisabled) override;
    void ResetDefaults() override;
    void KeyDown(KeyEventArgs& args) override;
    void MouseWheel(MouseEventArgs& args) override;

    void AppendText(const std::wstring& more) override;
    void Clear() override;
    void EraseFront(int32_t count) override;
    void SetFirstVisibleLine(int32_t line) override;

    virtual void OnHScroll(EventArgs& args);
    virtual void OnVScroll(EventArgs& args);

    KVScrollBar* GetHScrollBar() const { return m_hScrollBar; }
    KVScrollBar* GetVScrollBar() const { return m_vScrollBar; }

private:
    bool ScrollNeeded() const;
    int32_t ScrollStep() const;
    // Shows, enables, hides or disables the vertical bar for whether scrolling is needed.
    void FitVerticalBar(bool needed);
    void SyncScrollBar();

    KVScrollBar* m_hScrollBar = nullptr;
    KVScrollBar* m_vScrollBar = nullptr;
    bool m_suppressPosChange = false;
    bool m_showAlwaysH = false;
    bool m_showAlwaysV = false;
    bool m_autoVisibleH = false;
    bool m_autoVisibleV = false;
    KVRect m_autoVisibleRect;
};

} // namespace kv
