// The main menu scene: the title sequence that greets the player once per run, the story opening
// of the very first run, and the main screen with its quick menu and five sliding sub-menus,
// through which every mode is started. Its buttons are bound in MainMenuButtons.cpp, the answers
// of its pop-ups (scene messages) handled in MainMenuMessages.cpp, the title and the opening run
// in MainMenuTitle.cpp and the record queries live in MainMenuRecords.cpp.
#pragma once

#include "engine/BlockClickEffect.h"
#include "engine/AnimationPlayer.h"
#include "engine/Scene.h"
#include "menus/MainMenuPopUps.h"
#include "menus/SceneNames.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

class IMessageSink;
class ISoundSink;
struct UnlockInfo;
namespace kv {
class KVWnd;
struct EventArgs;
}

// Sound keys of the main menu.
inline constexpr int kSoundPurchaseDone = 9;
inline constexpr int kSoundNotEnoughCubes = 10;
inline constexpr int kMusicOpening1 = 20;
inline constexpr int kMusicOpening2 = 21;
inline constexpr int kMusicOpening3 = 22;
inline constexpr int kMusicOpeningLoop = 23;
inline constexpr int kMusicMenu = 24;
inline constexpr int kMusicCredits = 25;

// Everything the main menu reaches outside its windows. The game fills it with the real
// services (MainMenuWorld::Game); tests hand in recorders.
struct MainMenuWorld {
    IMessageSink* messages = nullptr;
    ISoundSink* sounds = nullptr;
    IMainMenuPopUps* popUps = nullptr;
    // Keys counted once per press, the wheel step of this frame, and whether a mouse button was
    // released this frame.
    std::function<bool(int vk)> keyPressed;
    std::function<int()> wheelStep;
    std::function<bool()> buttonReleased;
    // The cursor's position in the client area.
    std::function<POINT()> cursor;
    // The platform user is present (rankings and online play need one).
    std::function<bool()> hasPlatformUser;
    std::function<bool()> isFullScreen;
    std::function<void()> toggleFullScreen;
    std::function<void()> quit;
    // Loads a skin: nonzero when a skin was loaded (then cursors and sound set follow it).
    std::function<int(int skin)> loadSkin;
    // Loads and plays "TilteAni.wav" once; returns its sound id.
    std::function<int()> playTitleSound;
    // Holds (true) and releases the application timer around long loads.
    std::function<void(bool hold)> holdTimer;
    // Builds a layout's window tree (hidden, under the root layer); null when it cannot be loaded.
    std::function<kv::KVWnd*(const char* file)> loadLayout;
    // Creates and registers the game scenes on the first entry of the run.
    bool registerGameScenes = true;

    static MainMenuWorld Game();
};

// Creates and registers every game scene; the program installs it, and the main menu runs it on
// its first entry of a run.
using GameSceneRegistrar = void (*)();
void SetGameSceneRegistrar(GameSceneRegistrar registrar);

class VanteoMainMenuScene : public CScene {
public:
    static constexpr int kScreenMain = -1;
    static constexpr int kScreenCredits = 5;
    static constexpr int kSubMenuCount = 5;
    static constexpr int kPanelNone = -1;
    static constexpr int kPanelFirst = 20;
    static constexpr int kPanelSecond = 21;
    static constexpr float kSlideSeconds = 0.3f;

    VanteoMainMenuScene();
    explicit VanteoMainMenuScene(MainMenuWorld world);
    ~VanteoMainMenuScene() override;

    // Runs on the scene loader thread. a: -1 the main screen (the title on the first entry of
    // the run), 0..4 that sub-menu directly.
    int Enter(int a, int b) override;
    void Leave() override;
    int Update(float seconds) override;
    int Render() override;
    int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool IsAnyPopUpOpen();
    void UpdatePopUps(float seconds);
    // 1 while the title runs (the rest of the frame is skipped), 0 once it is over.
    int UpdateTitle(float seconds);
    void UpdateOpening(float seconds);
    void ApplyScreen();

    // Buttons and navigation.
    void WireButtons();
    void BindCubeUnlockButtons();
    void UpdateSubMenuArrows();
    void CloseCredits();
    // Offers the purchase of a locked entry of the group whose button was clicked; 1 when the
    // button is locked (the click then does nothing else), 0 when it may act.
    int CheckLockedButton(int group, kv::EventArgs& args);

    // Progress displays and unlocks kept by the menu.
    void CheckUnlocks(int a);
    void UpdateUnlockButtons();
    void UpdateSkinHint();
    void UpdateSkinMarks();
    void UpdateMenuMarks();
    void HideSingleWindows();
    void UpdateSubMenu();
    void UpdatePuzzleSubMenu();
    void UpdateBattleSubMenu();
    void UpdatePushSubMenu();
    void UpdateIqSubMenu();

    // Record queries over the local ranking tables; read-only.
    static bool IsFirstInAllHardStages();
    static bool HasPushRecord();
    static bool HasComboScore50();
    static int GetHardStageTotalTime();
    static int GetHardStageReached();
    static long long GetBattleRankingScore();
    static long long GetPushRankingScore();
    static long long GetPuzzleRankingScore();
    static int GetPuzzleSolvedPercent(int difficulty);
    static int GetPuzzleFirstPercent(int difficulty);

    // State read by tests and by the pop-ups.
    int GetTitleState() const { return m_nTitleState; }
    int GetCurrentSubMenu() const { return m_nCurSubMenu; }
    int GetPreviousSubMenu() const { return m_nPrevSubMenu; }
    float GetSlideTimer() const { return m_fSlideTimer; }
    int GetInnerPanel() const { return m_nInnerPanel; }
    int GetOpeningPage() const { return m_nOpeningPage; }
    int GetShownScreen() const { return m_nShownScreen; }
    bool IsQuitRequested() const { return m_bQuitRequest != 0; }
    bool IsClosingSubMenu() const { return m_bClosing != 0; }
    bool IsHidingMain() const { return m_bHideMain != 0; }
    UnlockInfo* GetPendingUnlock() const { return m_pPendingUnlock; }
    kv::KVWnd* GetScreen(int index) const;
    kv::KVWnd* GetQuickMenu() const { return m_pQuickMenu; }
    kv::KVWnd* GetAutoPopUp() const { return m_pAutoPopUp; }
    kv::KVWnd* GetOpeningWindow() const { return m_pOpening; }
    kv::KVWnd* GetWarningWindow() const { return m_pWarning; }
    const BlockClickEffect& GetClickEffect() const { return m_ClickEffect; }
    // For a test that starts with the title already over.
    void SkipTitle() { m_nTitleState = 5; }

    // Handlers of the buttons.
    void OnTutorialButton(kv::EventArgs& args);
    void OnOpening(kv::EventArgs& args);
    void OnCredits(kv::EventArgs& args);
    void OnPuzzleMenu(kv::EventArgs& args);
    void OnBattleMenu(kv::EventArgs& args);
    void OnPushingMenu(kv::EventArgs& args);
    void OnIQMenu(kv::EventArgs& args);
    void OnMultiMenu(kv::EventArgs& args);
    void OnNothing(kv::EventArgs& args);
    void OnLockedBattle(kv::EventArgs& args);
    void OnLockedPush(kv::EventArgs& args);
    void OnLockedIQ(kv::EventArgs& args);
    void OnLockedMulti(kv::EventArgs& args);
    void OnSwitchOff(kv::EventArgs& args);
    void OnSkin(kv::EventArgs& args);
    void OnOption(kv::EventArgs& args);
    void OnRecords(kv::EventArgs& args);
    void OnArrowLeft(kv::EventArgs& args);
    void OnArrowRight(kv::EventArgs& args);
    void OnSubMenuExit(kv::EventArgs& args);
    void OnSubMenuBack(kv::EventArgs& args);
    void OnInnerPanel1(kv::EventArgs& args);
    void OnInnerPanel2(kv::EventArgs& args);
    void OnComboChallenge(kv::EventArgs& args);
    void OnPointChallenge(kv::EventArgs& args);
    void OnStageChallenge(kv::EventArgs& args);
    void OnRankingCombo(kv::EventArgs& args);
    void OnRankingPoint(kv::EventArgs& args);
    void OnRankingStage(kv::EventArgs& args);
    void OnHowToPuzzle(kv::EventArgs& args);
    void OnBattleMode1(kv::EventArgs& args);
    void OnBattleMode2(kv::EventArgs& args);
    void OnBattleMode3(kv::EventArgs& args);
    void OnBattleMode4(kv::EventArgs& args);
    void OnBattleSelf(kv::EventArgs& args);
    void OnBattleSpecial(kv::EventArgs& args);
    void OnRankingBattle(kv::EventArgs& args);
    void OnBattleTutorialButton(kv::EventArgs& args);
    void OnHowToBattle(kv::EventArgs& args);
    void OnPushMode1(kv::EventArgs& args);
    void OnPushMode2(kv::EventArgs& args);
    void OnPushMode3(kv::EventArgs& args);
    void OnPushMode4(kv::EventArgs& args);
    void OnPushSelf(kv::EventArgs& args);
    void OnPushSpecial(kv::EventArgs& args);
    void OnPushResetSelf(kv::EventArgs& args);
    void OnRankingPush(kv::EventArgs& args);
    void OnHowToPush(kv::EventArgs& args);
    void OnIQButton1(kv::EventArgs& args);
    void OnIQButton1_1(kv::EventArgs& args);
    void OnIQButton1_2(kv::EventArgs& args);
    void OnIQButton2_1(kv::EventArgs& args);
    void OnIQEditor(kv::EventArgs& args);
    void OnRankingIQ(kv::EventArgs& args);
    void OnHowToIQ(kv::EventArgs& args);
    void OnMultiHost(kv::EventArgs& args);
    void OnMultiJoin(kv::EventArgs& args);
    void OnMultiAchievements(kv::EventArgs& args);
    void OnRankingMulti(kv::EventArgs& args);
    void OnOpeningNext(kv::EventArgs& args);
    void OnOpeningDoor(kv::EventArgs& args);
    void OnOpeningSkip(kv::EventArgs& args);
    void OnLockPictureClicked(kv::EventArgs& args);

    // Handlers of the scene messages; each gets the id word followed by the payload.
    int OnChangeScene(const void* data, int extra);
    int DefaultHandler(const void* data, int extra);
    int OnPopUpOk(const void* data, int extra);
    int OnPopUpYes(const void* data, int extra);
    int OnPopUpNo(const void* data, int extra);
    int OnCubeUnlockConfirmed(const void* data, int extra);
    int OnCubeUnlockDeclined(const void* data, int extra);
    int OnCubeUnlockShort(const void* data, int extra);
    int OnSetPlayerName(const void* data, int extra);
    void TakePlayerName(const std::string& name);
    int OnOptionsChanged(const void* data, int extra);
    int OnSkinChanged(const void* data, int extra);
    int OnMovieClosed(const void* data, int extra);
    int OnStageSelected(const void* data, int extra);
    int OnStartResetSelf(const void* data, int extra);
    int OnAchievementStored(const void* data, int extra);
    int OnStartConfirmed(const void* data, int extra);
    int OnBattleGeekLocked(const void* data, int extra);
    int OnBattleGeekClosed(const void* data, int extra);
    int OnPushGeekClosed(const void* data, int extra);
    int OnPushGeekLocked(const void* data, int extra);
    int OnBattleTutorialChosen(const void* data, int extra);
    int OnTutorialChosen(const void* data, int extra);
    int OnTutorialClosed(const void* data, int extra);

private:
    void RegisterMessageHandlers();
    void RegisterGameScenesOnce();
    void UpdateSlide(float seconds);
    void EnterSubMenu(int index);
    void SlideTo(int index, float timer);
    void SetArrowStates(int index);
    void TitleTransition();
    void FinishOpening();
    void AdvanceOpeningPage();
    void SkipOpening();
    void BindOpeningButtons(bool withSkip);
    void StartMusic(int key);
    void StopSound(int key);
    void PlayEffect(int key);
    void PostChangeScene(const char* scene, int a, int b);
    bool IsSubMenuBusy() const;
    // The platform test: false (and the warning box) without a platform user.
    bool RequirePlatformUser();
    void OpenStartPopUp(int kind, int mode, int board, const char* key);
    void OfferUnlock(UnlockInfo* entry);
    void ShowCubeCount();
    void ResetSelfPlay(bool battle);
    // Lowers the stage challenge's local best to the hard all-clear time; true when it changed.
    bool RaiseStageBest();
    void DestroyWindow(kv::KVWnd*& window);
    kv::KVWnd* Load(const char* file);

    MainMenuWorld m_World;
    std::unique_ptr<IMainMenuPopUps> m_pOwnedPopUps;

    int m_nTitleState = 0;
    // The cube count the sub-menus' labels show; -1 before the first.
    int m_nShownCubes = -1;
    AnimationPlayer m_OpeningAnimation;
    int m_nTitleSound = -1;
    kv::KVWnd* m_pWarning = nullptr;
    int m_bQuitRequest = 0;
    int m_bClosing = 0;
    int m_bHideMain = 0;
    // Index 0 is the main screen (screen -1), 1..5 the sub-menus 0..4.
    std::array<kv::KVWnd*, kSubMenuCount + 1> m_pScreens{};
    kv::KVWnd* m_pQuickMenu = nullptr;
    kv::KVWnd* m_pAutoPopUp = nullptr;
    kv::KVWnd* m_pOpening = nullptr;
    int m_nOpeningPage = -1;
    int m_nCurSubMenu = -1;
    int m_nPrevSubMenu = -1;
    float m_fSlideTimer = 0.0f;
    int m_nInnerPanel = kPanelNone;
    int m_nShownScreen = -1;
    int m_nRequestedScreen = -1;
    int m_nIQClearPercent[3] = {};
    int m_nIQFirstPercent[3] = {};
    int m_nHardAllClearTime = 0;
    long long m_nBattleScore = 0;
    long long m_nPushScore = 0;
    long long m_nIQScore = 0;
    BlockClickEffect m_ClickEffect;
    UnlockInfo* m_pPendingUnlock = nullptr;
    bool m_bSkipOpening = false;
    // Set when a pop-up that posts no answer stopped the menu music.
    bool m_bMusicAfterPopUps = false;
};
