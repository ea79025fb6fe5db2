// The options dialog of the main menu: the player name, full screen, the hand (right or left,
// which mirrors the keys and the cursor), and the music and effect volumes with their mutes.
//
// The volume sliders and the mute buttons act on the sound levels at once (a moved slider also
// saves the options file), and the hand buttons set the left-hand option at once. The name and
// full screen are proposals: closing posts MSG_OPTIONS_CLOSED with every value and the main menu
// applies them. Opening and filling the dialog changes and saves nothing: the sliders show the
// volumes rounded to the nearest step and the volumes stay as they were until a slider moves.
#pragma once

#include "menus/PopUp.h"

#include <vector>

class VanteoPopUp_Option : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/options.xml";
    static constexpr int32_t kNameChars = 14;
    static constexpr size_t kNameBytes = 128;

    int Open() override;
    void BindEvents() override;
    void Update(float seconds) override;
    // Fills the dialog from the options and the given display and sound state; call it right
    // after Open.
    void Setup(int32_t fullScreen, float musicVolume, float effectVolume);

    void OnOk(kv::EventArgs& args);
    void OnFullScreen(kv::EventArgs& args);
    void OnLeftHand(kv::EventArgs& args);
    void OnRightHand(kv::EventArgs& args);
    void OnMusicSlider(kv::EventArgs& args);
    void OnEffectSlider(kv::EventArgs& args);
    void OnMuteMusic(kv::EventArgs& args);
    void OnUnmuteMusic(kv::EventArgs& args);
    void OnMuteEffects(kv::EventArgs& args);
    void OnUnmuteEffects(kv::EventArgs& args);

    // The MSG_OPTIONS_CLOSED payload for a name and the dialog's values: 128 name bytes (the
    // UTF-8 text cut at a character boundary, zero-filled), full screen, left hand, music and
    // effect volume.
    std::vector<uint8_t> ClosedPayload(const std::wstring& name) const;

    char m_szName[kNameBytes] = {};
    int32_t m_bFullScreen = 0;
    int32_t m_bLeftHand = 0;
    float m_fMusicVolume = 0;
    float m_fEffectVolume = 0;

private:
    void ShowHand();
    // Set while Setup places the sliders, whose "PosChanged" must then change nothing.
    bool m_bFilling = false;
};
