// The result pop-ups that end every game, their variants per mode and the ranking tables.
//
// A result pop-up loads "data/result.xml" once when its scene is entered and keeps the window
// for the whole stay; closing hides it, and the scene's Leave unloads it. Opened when a game
// ends, it appears after half a second, plays up to five animation steps (a click cuts the
// second and later steps short and leaves a stamp), starts the looping result music 3.74 s after
// it appeared, shows a hand-speed or brain grade and the mode's local ranking table, and offers
// retry, continue, next, return and the reset of the self-play data; each choice posts its scene
// message once the closing animation has ended (the reset posts at once and leaves it open).
//
// R, Q and T act only while their button is shown and enabled, as a click would; Space acts on
// the shown continue button (the logic-puzzle variants on the next button, the stage win on next
// without a button). Every window looked up may be missing from the layout; what is missing is
// skipped. Open on an open pop-up does nothing.
#pragma once

#include "engine/BlockClickEffect.h"
#include "menus/PopUp.h"

#include <cstdint>
#include <string>

struct RankEntry;

class VanteoPopUp_Result : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/result.xml";
    static constexpr float kShowDelay = 0.5f;
    static constexpr float kMusicDelay = 3.74f;
    static constexpr int kResultMusic = 31;
    enum Choice : int32_t { kRetry = 0, kContinue = 1, kNext = 2, kReturn = 3 };
    enum GradeKind : int32_t { kBrain = 0, kHand = 1 };

    VanteoPopUp_Result() = default;
    ~VanteoPopUp_Result() override = default;

    // 0 without a window or when already open; else the show delay starts and 1.
    int Open() override;
    void Update(float seconds) override;
    // The seven choice buttons on "Clicked".
    void BindEvents() override;
    // True from Open until the closing animation has ended.
    bool IsOpen() override { return m_nState != 0; }

    // Builds the hidden window once (nothing when it exists; a log line when the layout gives
    // none), loads the click stamps and binds their drawing and the buttons.
    virtual void Load();
    // Stops the result music and destroys the window.
    virtual void Unload();
    // Shows the window and the variant's content; 0 without a window.
    virtual int Show();
    virtual void FillContent() = 0;
    virtual void HandleKeys();
    virtual void NextStep(float seconds) = 0;
    // Starts the closing; 1 when it started.
    virtual int PlayOutAnimation() = 0;
    virtual void SetShowSound(int key) { m_nShowSound = key; }
    virtual void RenderEffect(kv::EventArgs& args);
    virtual void OnContinue(kv::EventArgs& args);
    virtual void OnNext(kv::EventArgs& args);
    virtual void OnRetry(kv::EventArgs& args);
    virtual void OnReturn(kv::EventArgs& args);
    virtual void OnResetSelf(kv::EventArgs& args);
    virtual void FillRanking(const char* /*modeName*/, RankEntry* /*table*/, int /*cubesWon*/) {}

    // A left-button release at the window message's lParam (x low word, y high word): a stamp
    // from the second animation step on.
    void OnMouseClick(uint32_t lParam);
    // Disables "Anibtn_result_reset_self" after the scene has reset the self-play data.
    void DisableResetSelf();

    // The four ranking-table fills.
    void FillScoreTable(const char* modeName, RankEntry* table, int cubesWon);
    void FillPushTable(const char* modeName, RankEntry* table, int cubesWon);
    void FillStageTable(const char* modeName, RankEntry* table, int cubesWon);
    void FillPuzzleTable(const char* modeName, RankEntry* table, int cubesWon);

    // The grade rules. The index of the first new entry (0 to 5), or -1.
    static int FirstNewEntry(const RankEntry* table);
    // Clicks per minute over t seconds (999 for t = 0) and its grade.
    static int HandSpeed(int clicks, int seconds);
    static int HandGrade(int handSpeed);
    static int BrainGrade(int newIndex);
    // Sets the hand-speed grade from the table's new entry; `inverted` for the lose variants of
    // battle and push, whose tables store 1000000 minus the seconds.
    void SetHandGrade(const RankEntry* table, bool inverted);
    void SetBrainGrade(int grade);

    RankEntry* m_pRankingTable = nullptr;
    int32_t m_nState = 0;
    int32_t m_nChoice = -1;
    float m_fShowDelay = -1.0f;
    float m_fMusicDelay = kMusicDelay;
    int32_t m_nShowSound = -1;
    int32_t m_nGradeKind = kBrain;
    int32_t m_nGrade = -1;
    BlockClickEffect m_ClickEffect;

protected:
    enum class Table { Score, Push, Stage, Puzzle };

    // The closing with the animation C (the variants' PlayOutAnimation).
    int PlayOut(const wchar_t* closingScene);
    // One step of the animation sequence named by the pattern (steps 2 to 5).
    void Step(const wchar_t* pattern);
    // What every FillContent does: the first step, the music delay, one header of six shown,
    // the header pictures started, and of the six buttons only `buttons` shown.
    void ShowContent(const wchar_t* firstStep, const wchar_t* header, std::initializer_list<const wchar_t*> pictures,
                     std::initializer_list<const wchar_t*> buttons);
    // The self-play buttons of the battle and push variants.
    void ApplySelfMode(int self, int selfWinCount);
    // A choice: taken (and its message set) only when the closing starts.
    void Choose(int32_t choice);
    // The window is shown up to the root and enabled, as a click on it would need.
    bool Usable(const wchar_t* name) const;
    void SetEnabled(const wchar_t* name, bool enabled) const;
    void FillTable(Table kind, const char* modeName, RankEntry* table, int cubesWon);
    void FillStageRankingWith(const char* modeName, RankEntry* table, int gradeType, int cubesWon);
    void ShowGrade();
    // The keys: Space on the given button, then T, then R or else Q, each only while its button
    // is shown and enabled.
    void KeysWithSpaceOn(const wchar_t* spaceButton, void (VanteoPopUp_Result::*spaceAction)(kv::EventArgs&));
    // The logic-puzzle results: Space goes on to the next puzzle.
    void PuzzleKeys();
    // The first animation scene of a picture starts again.
    void StartPicture(const wchar_t* name) const;
};

// The win and lose bases: the sequences "win_clear_newrecord_%d" and "lose_fail_gameover_%d"
// and their closings.
class VanteoPopUp_Result_Win : public VanteoPopUp_Result {
public:
    void FillContent() override;
    void NextStep(float seconds) override;
    int PlayOutAnimation() override;
};

class VanteoPopUp_Result_Lose : public VanteoPopUp_Result {
public:
    void FillContent() override;
    void NextStep(float seconds) override;
    int PlayOutAnimation() override;
};

class VanteoPopUp_Result_Battle_Win : public VanteoPopUp_Result_Win {
public:
    int Show() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
    void SetSelfMode(int self);
    int32_t m_bSelfPlay = 0;
};

class VanteoPopUp_Result_Battle_Lose : public VanteoPopUp_Result_Lose {
public:
    int Show() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
    void SetSelfMode(int self);
    int32_t m_bSelfPlay = 0;
};

class VanteoPopUp_Result_IQ_Clear : public VanteoPopUp_Result_Win {
public:
    void FillContent() override;
    void HandleKeys() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
};

class VanteoPopUp_Result_IQ_Fail : public VanteoPopUp_Result_Lose {
public:
    void FillContent() override;
    void HandleKeys() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
};

class VanteoPopUp_Result_Push_Win : public VanteoPopUp_Result_Win {
public:
    int Show() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
    void SetSelfMode(int self);
    int32_t m_bSelfPlay = 0;
};

class VanteoPopUp_Result_Push_Lose : public VanteoPopUp_Result_Lose {
public:
    int Show() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
    void SetSelfMode(int self);
    int32_t m_bSelfPlay = 0;
};

class VanteoPopUp_Result_Combo_Challenge_Win : public VanteoPopUp_Result_Win {
public:
    void FillContent() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
};

class VanteoPopUp_Result_Combo_Challenge_Lose : public VanteoPopUp_Result_Lose {
public:
    void FillContent() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
};

class VanteoPopUp_Result_Stage_Challenge_Win : public VanteoPopUp_Result_Win {
public:
    void FillContent() override;
    void HandleKeys() override;
    // gradeType 1 hand speed, 2 brain, anything else no grade.
    virtual void FillStageRanking(const char* modeName, RankEntry* table, int gradeType, int cubesWon);
};

class VanteoPopUp_Result_Stage_Challenge_Lose : public VanteoPopUp_Result_Lose {
public:
    void FillContent() override;
    virtual void FillStageRanking(const char* modeName, RankEntry* table, int gradeType, int cubesWon);
    // Set by the scene before Open: 1 enables the next-stage button.
    int32_t m_bNextAllowed = 0;
};

class VanteoPopUp_Result_Point_Challenge_Win : public VanteoPopUp_Result_Win {
public:
    void FillContent() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
};

class VanteoPopUp_Result_Point_Challenge_Lose : public VanteoPopUp_Result_Lose {
public:
    void FillContent() override;
    void FillRanking(const char* modeName, RankEntry* table, int cubesWon) override;
};

// The online results: no sequence, no grade, no table; only the host's continue leaves them.
class VanteoPopUp_MultiWin : public VanteoPopUp_Result_Win {
public:
    void FillContent() override;
    void Update(float seconds) override;
    void NextStep(float seconds) override;
    void OnNext(kv::EventArgs&) override {}
    void OnRetry(kv::EventArgs&) override {}
    void OnReturn(kv::EventArgs&) override {}
};

class VanteoPopUp_MultiLose : public VanteoPopUp_Result_Lose {
public:
    void FillContent() override;
    void Update(float seconds) override;
    void NextStep(float seconds) override;
    void OnNext(kv::EventArgs&) override {}
    void OnRetry(kv::EventArgs&) override {}
    void OnReturn(kv::EventArgs&) override {}
};

// The host runs the game server; the guest does not.
bool IsOnlineHost();
