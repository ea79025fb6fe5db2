// The main menu's pop-ups as the scene uses them: open one with its set-up, ask whether any is
// open, update them all once a frame, close them all before the windows go. Each pop-up answers
// by posting a scene message, never by calling the scene.
//
// The base class holds no pop-up: every opener logs that the pop-up is not available and opens
// nothing, so the menu stays usable while pop-ups are still missing. MainMenuPopUps (the game's)
// overrides an opener as each pop-up family is built; tests override them to record the calls.
#pragma once

#include <memory>
#include <string>

struct RankEntry;

// The ranking pop-ups by the button that opens them.
enum class RankingKind { Point, Combo, Multi, Stage, Battle, Push, IQ };
// The how-to pop-ups of the sub-menus.
enum class HowToKind { Puzzle, Battle, Push, IQ };

class IMainMenuPopUps {
public:
    virtual ~IMainMenuPopUps() = default;

    // True when any member pop-up (stage select included) is open.
    virtual bool IsAnyOpen() { return false; }
    virtual bool IsSkinOpen() { return false; }
    // The skin the open skin pop-up offers for cubes: 1 or 2, 0 when none.
    virtual int PendingSkin() { return 0; }
    // Every member pop-up's Update, in the menu's fixed order.
    virtual void UpdateAll(float /*seconds*/) {}
    // Closes every open pop-up and forgets its window; the menu's windows are about to go.
    virtual void CloseAll() {}
    // The stage-select pop-up lives from one Enter to the next Leave.
    virtual void CreateStageSelect() {}
    virtual void DeleteStageSelect() {}

    // Message boxes: the one-button box and the yes/no box, each with the param it posts back.
    virtual void ShowMessage(int param, const std::wstring& title, const std::wstring& message);
    virtual void AskYesNo(int param, const std::wstring& title, const std::wstring& message);

    // Cube purchases: the question (price, cubes) and the shortfall (need, have, difference).
    virtual void OfferPurchase(int price, int cubes);
    virtual void ShowShortfall(int need, int have, int difference);
    virtual void OnSkinBought(int skin);

    // The start pop-up: opened with a kind and mode, then filled from its record table (null
    // for none). SetStartMode alone updates an open pop-up or only stores kind and mode. While
    // the game has no start pop-up, the mode starts at once, as if it had been confirmed.
    virtual void OpenStart(int kind, int mode, bool withTable, RankEntry* table);
    virtual void SetStartMode(int kind, int mode);

    virtual void OpenStageSelect(int reachedStage);
    virtual void OpenOptions(bool fullScreen, float musicVolume, float effectsVolume);
    virtual void OpenSkins();
    virtual void OpenRecords();
    virtual void OpenTutorialMenu();
    virtual void OpenBattleTutorialMenu();
    virtual void OpenMovieTutorial();
    virtual void OpenHowTo(HowToKind kind);
    virtual void OpenBattleHelp();
    // True when the video pop-up opened now (it was closed) and its battle movies are loaded.
    virtual bool OpenBattleVideo();
    virtual void OpenKeyHelp(int mode);
    virtual void OpenRanking(RankingKind kind);
    virtual void OpenAchievements();
    virtual void OpenBattleSpecial();
    virtual void OpenPushSpecial();
    virtual void UpdateSpecialLocks();
    // The locked-mode notice of the main screen's lock buttons.
    virtual void ShowModeLocked(int kind, int index);
    // The notice of a mode just unlocked (1 battle, 2 push, 3 logic puzzles): opened when it is
    // closed, its kind set either way.
    virtual void OpenUnlockNotice(int kind);
    virtual bool IsUnlockNoticeOpen() { return false; }
    // The stage-select pop-up rebuilds its preview boards after a skin change.
    virtual void RecreateStageBoards() {}

protected:
    // Logs once per pop-up name that it is not available yet.
    void Missing(const char* popUp);
};

// The game's pop-ups of the main menu: the member pop-ups built so far.
class MainMenuPopUps : public IMainMenuPopUps {
public:
    MainMenuPopUps();
    ~MainMenuPopUps() override;

    bool IsAnyOpen() override;
    void UpdateAll(float seconds) override;
    void CloseAll() override;
    void ShowMessage(int param, const std::wstring& title, const std::wstring& message) override;
    void AskYesNo(int param, const std::wstring& title, const std::wstring& message) override;
    // Leaderboards and achievements.
    void OpenRanking(RankingKind kind) override;
    void OpenAchievements() override;
    // The start pop-up, the options, the records and the skins with their purchases.
    bool IsSkinOpen() override;
    int PendingSkin() override;
    void OfferPurchase(int price, int cubes) override;
    void ShowShortfall(int need, int have, int difference) override;
    void OnSkinBought(int skin) override;
    void OpenStart(int kind, int mode, bool withTable, RankEntry* table) override;
    void SetStartMode(int kind, int mode) override;
    void OpenOptions(bool fullScreen, float musicVolume, float effectsVolume) override;
    void OpenSkins() override;
    void OpenRecords() override;
    // The notices of modes unlocked by play. The menu decides unlocks while it enters, on the
    // loader thread: the notice is built at the next update, on the main thread.
    void OpenUnlockNotice(int kind) override;
    bool IsUnlockNoticeOpen() override;
    void ShowModeLocked(int kind, int index) override;
    // The stage select of the stage challenge.
    void CreateStageSelect() override;
    void DeleteStageSelect() override;
    void OpenStageSelect(int reachedStage) override;
    void RecreateStageBoards() override;
    // Tutorials, battle help and the special modes.
    void OpenTutorialMenu() override;
    void OpenBattleTutorialMenu() override;
    void OpenMovieTutorial() override;
    void OpenHowTo(HowToKind kind) override;
    void OpenBattleHelp() override;
    bool OpenBattleVideo() override;
    // The key help of the battle tutorial menu.
    void OpenKeyHelp(int mode) override;
    void OpenBattleSpecial() override;
    void OpenPushSpecial() override;
    void UpdateSpecialLocks() override;

private:
    struct Members;
    std::unique_ptr<Members> m_pMembers;
};
