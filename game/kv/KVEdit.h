// The single-line text entry: a skinned window holding a text with a caret, a Shift selection,
// the input method's composition string shown inside the text, horizontal scrolling that keeps
// the caret in view, alignment, and an optional password character that masks what is drawn.
#pragma once

#include "kv/KVCaret.h"
#include "kv/KVTextInput.h"
#include "kv/KVWndEx.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kv {


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
    bool IsComposing() const { return m_composition.active; }
    int32_t GetCompositionStart() const { return m_composition.start; }
    int32_t GetCompositionEnd() const { return m_composition.end; }
    int32_t GetSelectionAnchor() const { return m_selectionAnchor; }
    int32_t GetSelectionEnd() const { return m_selectionEnd; }
    int32_t GetHorizontalScroll() const { return m_horizontalScroll; }
    KVCaret* GetCaret() const { return m_caret.get(); }
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
    // What a delete key does before deleting one character: nothing while composing, and
    // erasing the selection when there is one. True when that was all the key does.
    bool DeleteSelectionFirst();
    void DeleteBack();
    void DeleteForward();
    void ShowCaret();
    int32_t TextX(const std::wstring& shown, const KVRect& area);
    int32_t TextY(const std::wstring& shown, const KVRect& area);

    bool m_focused = false;
    int32_t m_horizontalScroll = 0;
    int32_t m_verticalOffset = 0;
    KVComposition m_composition;
    std::unique_ptr<KVCaret> m_caret;
    int32_t m_selectionAnchor = 0;
    int32_t m_selectionEnd = 0;
    KVTextLook m_look;
    int32_t m_vAlign = 0;
    wchar_t m_passwordChar = 0;
};

} // namespace kv
