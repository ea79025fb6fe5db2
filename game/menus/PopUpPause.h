// The pause menu of the single-player modes and the key help it holds.
//
// The pause loads the layout that the current skin names ("LayoutPause"), offers resume, retry,
// quit to the menu and exit, and posts the choice once "pause_out" has ended. While it is open
// the player can mute music and effects, move the two volume sliders (applied at once, not
// saved) and open the key help, during which the pause's own buttons and keys rest. A pause
// whose layout cannot be built posts the resume message at once, so the scene is never left
// paused without a menu.
//
// The key help shows the keys of a mode for the player's hand; its animations are named by the
// mode's prefix, the hand and "in" or "out".
#pragma once

#include "menus/PopUp.h"

class VanteoPopUp_Help : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/keyhelp.xml";
    static constexpr int kModes = 4;

    // Builds the window and binds OK; plays nothing until Setup.
    int Open() override;
    void BindEvents() override;
    // Closing step without a message; Enter, Backspace and Escape act as OK.
    void Update(float seconds) override;
    // Stores the mode (kept within 0 to 3) and the hand of the left-hand option and plays the
    // opening animation of both.
    void Setup(int mode);
    void OnOk(kv::EventArgs& args);

    // prefix[mode] + hand + "in" or "out", e.g. "iq_left_in".
    static std::wstring SceneName(int mode, int hand, bool opening);

    int32_t m_nMode = 0;
    int32_t m_nHand = 0;
};

class VanteoPopUp_Pause : public VanteoPopUp {
public:
    // Mode index as the mode scenes pass it.
    enum Mode : int32_t { kBattle = 0, kLogicPuzzle = 1, kChallenge = 2, kPush = 3 };
    enum Choice : int32_t { kResume = 0, kRetry = 1, kQuit = 2, kExit = 3 };
    static constexpr int kSkinLayoutPause = 13;

    // The skin's pause layout with "pause_in", then the mute buttons from the sound levels.
    // 0 when already open; 0 when the layout gives no window, after posting MSG_PAUSE_RESUME.
    int Open() override;
    // Plays "pause_out" and sets closing; 0 while closed or while an animation runs.
    int StartClose() override;
    void Update(float seconds) override;
    void BindEvents() override;
    // Stores the mode, puts the sliders at the current volumes and shows the mode's text.
    void Setup(int mode, const char* text);

    // The choices; nothing while the pause is closed or its key help is open. The mode scenes
    // call the argument-less forms for their R, Q, X and K keys.
    void OnResume(kv::EventArgs& args);
    void OnRetry(kv::EventArgs& args);
    void OnQuit(kv::EventArgs& args);
    void OnExit(kv::EventArgs& args);
    void OnKeyHelp(kv::EventArgs& args);
    void OnRetry();
    void OnQuit();
    void OnExit();
    void OnKeyHelp();

    void OnMuteMusic(kv::EventArgs& args);
    void OnUnmuteMusic(kv::EventArgs& args);
    void OnMuteEffects(kv::EventArgs& args);
    void OnUnmuteEffects(kv::EventArgs& args);
    void OnMusicSlider(kv::EventArgs& args);
    void OnEffectSlider(kv::EventArgs& args);

    VanteoPopUp_Help m_Help;
    int32_t m_nMode = 0;
    int32_t m_nChoice = kResume;
    float m_fMusicVolume = 0;
    float m_fEffectVolume = 0;

private:
    void Choose(int32_t choice);
    // The pause takes no choice while closed, while its key help is open, or once it closes
    // (the key help does not open over "pause_out").
    bool Resting() { return !IsOpen() || m_Help.IsOpen() || m_bClosing; }
    void UpdateMuteButtons();
};
