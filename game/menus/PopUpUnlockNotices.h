// The main menu's two notices about the modes unlocked by play (1 battle, 2 push, 3 logic
// puzzles, 4 online): the congratulation when one has just opened, and the note that a mode is
// still locked when the player clicks its lock. Both close with their OK button or Enter once
// their opening has played, and post nothing.
#pragma once

#include "menus/PopUp.h"

class VanteoPopUp_MainMenuUnlock : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/congratulation.xml";
    static constexpr int kSoundCongratulation = 11;

    int Open() override;
    void Update(float seconds) override;
    void BindEvents() override;
    void OnOk(kv::EventArgs& args);

    int m_nKind = 0;
};

class VanteoPopUp_MainMenuUnlocked : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/main_locked.xml";

    int Open() override;
    void Update(float seconds) override;
    void BindEvents() override;
    void OnOk(kv::EventArgs& args);
    // The opening: "locked_in", or "locked_in_multi" for online play (index 3).
    void PlayIn(int index);

    int m_nKind = 0;
};
