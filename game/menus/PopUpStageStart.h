// The banner before each stage of the stage challenge: stage number, board size, time limit,
// goal, and for the first ten stages an animated hint of its own. It is loaded once when the
// scene is entered, shown for each stage and hidden again by OK, Space or Enter; it posts
// nothing, and the scene waits while it is open. Its OK handler is bound once, when the window
// is built, however often the banner is opened. Without its layout the banner stays unloaded
// and never blocks the stage.
#pragma once

#include "menus/PopUp.h"

class VanteoPopUp_StageStart : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/stagestart.xml";
    static constexpr int kHints = 10;

    // Builds the window once (kept hidden or shown as the layout says) and binds OK.
    void Load();
    // Shows the window; 1, or 0 when the banner is not loaded.
    int Open() override;
    void BindEvents() override;
    // Fills the banner from the current stage record and plays its opening.
    void Setup(int stage);
    void OnOk(kv::EventArgs& args);
    // Hides the window once "stagestart_out" has ended; while open, the goal panels follow the
    // stage's goal and Space or Enter act as OK.
    void Update(float seconds) override;
    // Shown up to the root and not hiding.
    bool IsOpen() override;

    int32_t m_nStage = 0;

private:
    void ShowGoalPanels();
};
