// The single-line text entry: a skinned window holding a text with a caret, a Shift selection,
// the input method's composition string shown inside the text, horizontal scrolling that keeps
// the caret in view, alignment, and an optional password character that masks what is drawn.
#pragma once

#include "kv/KVWndEx.h"

#include <cstdint>
#include <string>

namespace kv {

class KVCaret;

class KVEdit : public KVWndEx {
public:
    static constexpr int32_t kDefaultMaxLength = 40;

    KVEdit() = default;
    ~KVEdit() override;

    std::wstring GetClassName() const override { return L"KVEdit"; }
    std::wstring GetTypeName() const override { return L"Edit"; }

    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    bool IsTextInput() override { return true; }
    void LoadAssets() override;
    void ResetDefaults() override;
    void ReleaseAssets() override;
    void OnEnabledChanged(bool enabled) override;
    void LButtonDown(MouseEventArgs& args) override;
    void KeyDown(KeyEventArgs& args) override;
    void Char(CharEventArgs& args) override;
    void OnSetFocus() override;
    void OnKillFocus() override;
    void Update(UpdateEventArgs& args) override;
    void OnDraw() override;

    // Overwrites a password text with zeros in place (its length stays); a text without a
    // password character is left as it is.
    void WipePasswordText();

    bool IsFocused() const { return m_focused; }
    bool IsComposing() const { return m_composing; }
    int32_t GetCompositionStart() const { return m_compositionStart; }
    int32_t GetCompositionEnd() const { return m_compositionEnd; }
    int32_t GetSelectionAnchor() const { return m_selectionAnchor; }
    int32_t GetSelectionEnd() const { return m_selectionEnd; }
    int32_t GetHorizontalScroll() const { return m_horizontalScroll; }
    KVCaret* GetCaret() const { return m_caret; }
    wchar_t GetPasswordChar() const { return m_passwordChar; }
    // What is drawn: the text, or the password character once per character of it.
    std::wstring GetShownText() const;

    // Game code assigns and reads these directly; the edit box reads them again at every use.
    std::wstring text;
    int32_t maxLength = kDefaultMaxLength;
    int32_t caretIndex = 0;

private:
    void MoveCaret(int32_t delta);
    bool HasSelection() const { return m_selectionAnchor != m_selectionEnd; }
    // Puts the caret at the selection's lower end, as a deletion of the selection leaves it.
    void CaretToSelectionStart();
    void EraseSelection();
    void DeleteBack();
    void DeleteForward();
    void EndComposition();
    void ShowCaret();
    KVRect PaddedRect() const;
    int32_t TextX(const std::wstring& shown, const KVRect& area);
    int32_t TextY(const std::wstring& shown, const KVRect& area);

    bool m_focused = false;
    int32_t m_horizontalScroll = 0;
    int32_t m_verticalOffset = 0;
    bool m_composing = false;
    int32_t m_compositionStart = 0;
    int32_t m_compositionEnd = 0;
    KVCaret* m_caret = nullptr;
    int32_t m_selectionAnchor = 0;
    int32_t m_selectionEnd = 0;
    std::wstring m_fontName;
    int32_t m_fontSize = 0;
    int32_t m_style = 0;
    uint32_t m_color = 0;
    uint32_t m_outlineColor = 0;
    uint32_t m_shadowColor = 0;
    int32_t m_hAlign = 0;
    int32_t m_vAlign = 0;
    KVRect m_padding;
    std::wstring m_caretPath;
    KVPoint m_caretTex;
    KVRect m_caretRect;
    wchar_t m_passwordChar = 0;
};

} // namespace kv
