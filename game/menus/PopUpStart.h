// The dialog between a mode button of the main menu and the start of a battle, push or
// puzzle-challenge game: the mode's icon and background, the player's clear mark, and the
// mode's local top table or, for the self-play modes, a panel with a reset button.
//
// Its start button closes it and then posts MSG_START_CONFIRMED {kind, mode}; the cancel button
// and every dialog key (Enter included) close it without a message. The reset button posts
// MSG_START_RESET_SELF {kind} at once and the dialog stays open.
#pragma once

#include "menus/PopUp.h"

struct RankEntry;

class VanteoPopUp_Start : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/startpopup.xml";
    enum Kind : int32_t { kBattle = 0, kPush = 1, kPuzzle = 2 };
    static constexpr int32_t kBattleSelfMode = 13;
    static constexpr int32_t kPushSelfMode = 10;

    int Open() override;
    void BindEvents() override;
    void Update(float seconds) override;
    // Stores the kind and mode; while open also sets the background, the icon, the self-play
    // flag and the reset button.
    void SetMode(int kind, int mode);
    // The six rows from a table of grouped scores (battle and puzzle challenges).
    void FillRanking(const RankEntry* table);
    // The six rows from a push table, whose scores count games won and lost.
    void FillSelfRecord(const RankEntry* table);

    void OnStart(kv::EventArgs& args);
    void OnCancel(kv::EventArgs& args);
    void OnResetSelf(kv::EventArgs& args);

    int32_t m_nKind = 0;
    int32_t m_nMode = 0;
    int32_t m_bSelf = 0;
    int32_t m_bConfirmed = 0;
    int32_t m_nBestPlace = -1;

private:
    void Fill(const RankEntry* table, bool push);
    void ShowBackground();
};
