// The game's animated button. Mouse events only record which state's scene the button wants to
// show; Update switches to it once the scene now showing has ended or loops, so a press or hover
// animation always plays to its end. Game code may also ask for a state with SetState. The game
// registers its factory under "AnimButton" in place of the framework's.
#pragma once

#include "kv/KVAnimButton.h"
#include "kv/KVWindowFactory.h"

#include <cstdint>
#include <string>

class KVVanteoAnimButton : public kv::KVAnimButton {
public:
    std::wstring GetClassName() const override { return L"KVVanteoAnimButton"; }
    void ResetDefaults() override;
    void OnEnabledChanged(bool enabled) override;
    void LButtonDown(kv::MouseEventArgs& args) override;
    void LButtonUp(kv::MouseEventArgs& args) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Update(kv::UpdateEventArgs& args) override;

    // Asks for a state's scene (0 to 5); any other number changes nothing. The scene shows from
    // a later Update, and only while it plays.
    void SetState(int32_t stateNumber);

    int32_t GetPending() const { return m_pending; }
    int32_t GetShown() const { return m_shown; }
    int32_t GetWanted() const { return m_wanted; }

private:
    bool IsScenePlaying(int32_t stateNumber) const;

    int32_t m_pending = kNoTransient;
    int32_t m_shown = kNormal;
    int32_t m_wanted = kNormal;
    // No scene until the first SetState.
    int32_t m_requested = -1;
};

// The scene name of a state number; empty for a number that names none.
std::wstring AnimButtonStateName(int32_t stateNumber);

class KVVanteoAnimButtonFactory : public kv::KVWindowFactory {
public:
    KVVanteoAnimButtonFactory() : KVWindowFactory(L"AnimButton") {}
    kv::KVWnd* CreateWindow() override;
    static KVVanteoAnimButtonFactory& Instance();
};
