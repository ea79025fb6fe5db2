// Clickable image button: shows one of four images for its state, plays a sound when pressed
// and when the pointer enters, reports its pointer state to the platform interface, and fires
// "Clicked" when the left button is released over it after a press on it.
#pragma once

#include "kv/KVWnd.h"

#include <cstdint>
#include <string>

namespace kv {

class KVButton : public KVWnd {
public:
    // Also the index of the image drawn.
    enum State : int32_t { kNormal = 0, kPressed = 1, kOver = 2, kDisabled = 3 };
    // What the platform interface is told: a numbering of its own.
    enum InterfaceState : int32_t { kIfNormal = 0, kIfOver = 1, kIfPressed = 2, kIfDisabled = 3 };

    std::wstring GetClassName() const override { return L"KVButton"; }
    std::wstring GetTypeName() const override { return L"Button"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    void LoadAssets() override;
    void ResetDefaults() override;
    void OnEnabledChanged(bool enabled) override;
    void OnVisibleChanged(bool visible) override;
    void OnResize(int32_t flags) override;
    void LButtonDown(MouseEventArgs& args) override;
    void LButtonUp(MouseEventArgs& args) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void OnDraw() override;
    // Re-applies the look of the current state; game code calls it after resetting the state.
    virtual void ApplyState() {}

    bool IsHovered() const { return m_hovered; }

    // Game code writes both to reset a button; while locked, entering, leaving and releasing
    // leave the state alone.
    int32_t state = kNormal;
    bool stateLock = false;

protected:
    // The button's own reset, without the window base's: state normal, unlocked, not hovered.
    void ResetButtonState();
    void TellInterface(int32_t interfaceState);
    static void Play(const std::wstring& sound);

    bool m_hovered = false;
    std::wstring m_normalImage;
    std::wstring m_pressedImage;
    std::wstring m_overImage;
    std::wstring m_disabledImage;
    std::wstring m_pressSound;
    std::wstring m_hoverSound;
};

} // namespace kv
