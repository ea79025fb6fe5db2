// The main menu's buttons: moving between the main screen and the sub-menus (the sideways slide,
// inner panels, credits, the opening replay), opening the pop-ups with their set-up, starting
// modes through the change-scene message, the buttons that need the game platform, and the cube
// offers of locked entries.
#include "menus/MainMenuScene.h"

#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "board/GameSeams.h"
#include "engine/SceneMessage.h"
#include "kv/KVButton.h"
#include "kv/KVPicture.h"
#include "kv/KVString.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "engine/LoadingScene.h"
#include "net/NetGlobals.h"

#include <helvane/Log.h>

namespace {

constexpr int kLoadingModeConnecting = 2;

void Show(kv::KVWnd* window, bool show)
{
    if (!window)
        return;
    const bool shown = window->IsVisible() && !window->IsHiding();
    if (shown != show)
        window->SetVisible(show);
}

void Play(kv::KVWnd* window, const wchar_t* scene)
{
    if (window)
        window->PlayUIScene(scene);
}

// The window a click came from.
kv::KVWnd* SenderOf(kv::EventArgs& args)
{
    if (auto* button = dynamic_cast<kv::WindowEventArgs_<kv::KVButton>*>(&args))
        return button->sender;
    if (auto* window = dynamic_cast<kv::WindowEventArgs*>(&args))
        return window->sender;
    return nullptr;
}

int UnlockFlag(int subMenu)
{
    switch (subMenu) {
    case 0: return GameConfig.unlockPuzzle;
    case 1: return GameConfig.unlockBattle;
    case 2: return GameConfig.unlockPush;
    case 3: return GameConfig.unlockIQ;
    case 4: return GameConfig.unlockMulti;
    default: return 0;
    }
}

using Handler = void (VanteoMainMenuScene::*)(kv::EventArgs&);

struct Binding {
    const wchar_t* name;
    Handler handler;
};

} // namespace

void VanteoMainMenuScene::WireButtons()
{
    auto bind = [this](kv::KVWnd* layout, const Binding& binding) {
        if (!layout)
            return;
        kv::KVWnd* window = layout->FindWindow(binding.name);
        if (!window)
            return;
        window->AddHandler(L"Clicked", kv::MakeHandler(this, binding.handler));
    };
    using S = VanteoMainMenuScene;

    static const Binding kMain[] = {
        {L"Anibtn_quibly", &S::OnTutorialButton},     {L"AniBtn_Opening", &S::OnOpening},
        {L"Anibtn_credits", &S::OnCredits},           {L"Anibtn_puzzle", &S::OnPuzzleMenu},
        {L"Anibtn_battle", &S::OnBattleMenu},         {L"Anibtn_pushing", &S::OnPushingMenu},
        {L"Anibtn_iq", &S::OnIQMenu},                 {L"Steam_Anibtn_multi", &S::OnMultiMenu},
        {L"Single_Anibtn_Achie", &S::OnNothing},      {L"Anibtn_lock_battle", &S::OnLockedBattle},
        {L"Anibtn_lock_push", &S::OnLockedPush},      {L"Anibtn_lock_iq", &S::OnLockedIQ},
        {L"Steam_Anibtn_lock_multi", &S::OnLockedMulti},
    };
    static const Binding kQuick[] = {
        {L"Anibtn_switch_off", &S::OnSwitchOff},
        {L"Anibtn_skin", &S::OnSkin},
        {L"Anibtn_option", &S::OnOption},
        {L"Anibtn_record", &S::OnRecords},
    };
    static const Binding kEverySub[] = {
        {L"Anibtn_arrowL", &S::OnArrowLeft},          {L"Anibtn_arrow_R", &S::OnArrowRight},
        {L"Anibtn_sub_btn_exit", &S::OnSubMenuExit},  {L"Anibtn_sub_btn_back", &S::OnSubMenuBack},
        {L"Anibtn_sub_option", &S::OnOption},
    };
    static const Binding kPanels[] = {
        {L"Anibtn_sub_btn_1", &S::OnInnerPanel1},
        {L"Anibtn_sub_btn_2", &S::OnInnerPanel2},
    };
    static const Handler kHowTo[] = {&S::OnHowToPuzzle, &S::OnHowToBattle, &S::OnHowToPush, &S::OnHowToIQ};
    static const Binding kPuzzle[] = {
        {L"Anibtn_sub2_btn_1", &S::OnComboChallenge},
        {L"Anibtn_sub2_2_btn_3", &S::OnPointChallenge},
        {L"Anibtn_sub3_btn_1", &S::OnStageChallenge},
        {L"Steam_btn_puzzle_ranking_combo", &S::OnRankingCombo},
        {L"Steam_btn_puzzle_ranking_point", &S::OnRankingPoint},
        {L"Steam_btn_puzzle_ranking_stage", &S::OnRankingStage},
    };
    static const Binding kBattle[] = {
        {L"Anibtn_sub2_2_btn_1", &S::OnBattleMode1},   {L"Anibtn_sub2_2_btn_2", &S::OnBattleMode2},
        {L"Anibtn_sub2_2_btn_3", &S::OnBattleMode3},   {L"Anibtn_sub2_2_btn_4", &S::OnBattleMode4},
        {L"Anibtn_sub2_2_btn_5", &S::OnBattleSelf},    {L"Anibtn_sub2_1_btn_4_", &S::OnBattleSpecial},
        {L"Steam_Btn_battle_ranking", &S::OnRankingBattle}, {L"Anibtn_tutorial_help", &S::OnBattleTutorialButton},
    };
    static const Binding kPush[] = {
        {L"Anibtn_sub2_1_btn_1", &S::OnPushMode1},     {L"Anibtn_sub2_1_btn_2", &S::OnPushMode2},
        {L"Anibtn_sub2_1_btn_3", &S::OnPushMode3},     {L"Anibtn_sub2_1_btn_4", &S::OnPushMode4},
        {L"Anibtn_sub2_1_btn_5", &S::OnPushSelf},      {L"Anibtn_sub2_1_btn_4_2", &S::OnPushSpecial},
        {L"Anibtn_sub2_1_btn_6", &S::OnPushResetSelf}, {L"Steam_Btn_push_ranking", &S::OnRankingPush},
    };
    static const Binding kIQ[] = {
        {L"Anibtn_sub_btn_1", &S::OnIQButton1},     {L"Anibtn_sub_btn_1_1", &S::OnIQButton1_1},
        {L"Anibtn_sub_btn_1_2", &S::OnIQButton1_2}, {L"Anibtn_sub_btn_2_1", &S::OnIQButton2_1},
        {L"Anibtn_sub_btn_2", &S::OnIQEditor},      {L"Steam_Btn_iq_ranking", &S::OnRankingIQ},
    };
    static const Binding kMulti[] = {
        {L"Btn_multi_host", &S::OnMultiHost},
        {L"Btn_multi_join", &S::OnMultiJoin},
        {L"Anibtn_multi_achievements", &S::OnMultiAchievements},
        {L"Btn_multi_ranking", &S::OnRankingMulti},
    };

    for (const Binding& b : kMain)
        bind(GetScreen(kScreenMain), b);
    for (const Binding& b : kQuick)
        bind(m_pQuickMenu, b);
    for (int i = 0; i < kSubMenuCount; ++i) {
        kv::KVWnd* sub = GetScreen(i);
        for (const Binding& b : kEverySub)
            bind(sub, b);
        if (i <= 2)
            for (const Binding& b : kPanels)
                bind(sub, b);
        if (i <= 3) {
            bind(sub, {L"Anibtn_howtoman", kHowTo[i]});
            bind(sub, {L"Anibtn_howtoman_first", kHowTo[i]});
        }
    }
    for (const Binding& b : kPuzzle)
        bind(GetScreen(0), b);
    for (const Binding& b : kBattle)
        bind(GetScreen(1), b);
    for (const Binding& b : kPush)
        bind(GetScreen(2), b);
    for (const Binding& b : kIQ)
        bind(GetScreen(3), b);
    for (const Binding& b : kMulti)
        bind(GetScreen(4), b);
}

void VanteoMainMenuScene::BindOpeningButtons(bool withSkip)
{
    if (!m_pOpening)
        return;
    auto bind = [this](const wchar_t* name, Handler handler) {
        if (kv::KVWnd* window = m_pOpening->FindWindow(name))
            window->AddHandler(L"Clicked", kv::MakeHandler(this, handler));
    };
    bind(L"Anibtn_opening_next", &VanteoMainMenuScene::OnOpeningNext);
    bind(L"opening_door", &VanteoMainMenuScene::OnOpeningDoor);
    if (withSkip)
        bind(L"Btn_Quit", &VanteoMainMenuScene::OnOpeningSkip);
}

void VanteoMainMenuScene::BindCubeUnlockButtons()
{
    for (int group = 0; group < kSubMenuCount; ++group) {
        kv::KVWnd* sub = GetScreen(group);
        if (!sub)
            continue;
        for (int i = 0;; ++i) {
            UnlockInfo* entry = GetUnlockInfo(group, i);
            if (!entry)
                break;
            if (entry->isUnlock || !entry->cubePic[0] || !sub->FindWindow(kv::NarrowToWide(entry->cubePic)))
                continue;
            if (!entry->unlockPic[0])
                continue;
            if (kv::KVWnd* lock = sub->FindWindow(kv::NarrowToWide(entry->unlockPic)))
                lock->AddHandler(L"Clicked", kv::MakeHandler(this, &VanteoMainMenuScene::OnLockPictureClicked));
        }
    }
}

// Helpers shared by the handlers.

bool VanteoMainMenuScene::IsSubMenuBusy() const
{
    kv::KVWnd* sub = GetScreen(m_nCurSubMenu);
    return sub && sub->IsUIScenePlaying();
}

bool VanteoMainMenuScene::RequirePlatformUser()
{
    if (m_World.hasPlatformUser && m_World.hasPlatformUser())
        return true;
    m_World.popUps->ShowMessage(0, L"WARNING", L"STEAM IS REQUIRED !!");
    return false;
}

void VanteoMainMenuScene::PostChangeScene(const char* scene, int a, int b)
{
    if (!m_World.messages)
        return;
    PayloadWriter().Text(scene, sizeof(ChangeScenePacket::sceneName)).I32(a).I32(b).PostTo(*m_World.messages,
                                                                                            kSceneMessageChangeScene);
}

void VanteoMainMenuScene::OpenStartPopUp(int kind, int mode, int board, const char* key)
{
    RankEntry* table = board >= 0 ? FindRankingTable(board, key) : nullptr;
    m_World.popUps->OpenStart(kind, mode, board >= 0, table);
}

void VanteoMainMenuScene::OfferUnlock(UnlockInfo* entry)
{
    if (!entry || entry->isUnlock)
        return;
    if (GameConfig.cubes < entry->cube) {
        m_World.popUps->ShowShortfall(entry->cube, GameConfig.cubes, entry->cube - GameConfig.cubes);
        PlayEffect(kSoundNotEnoughCubes);
        return;
    }
    m_pPendingUnlock = entry;
    m_World.popUps->OfferPurchase(entry->cube, GameConfig.cubes);
}

int VanteoMainMenuScene::CheckLockedButton(int group, kv::EventArgs& args)
{
    kv::KVWnd* sender = SenderOf(args);
    if (!sender)
        return 0;
    UnlockInfo* entry = FindUnlockInfoByButton(group, kv::WideToNarrow(sender->GetName()).c_str());
    if (!entry || entry->isUnlock)
        return 0;
    // A locked mode offers its purchase and does not start.
    OfferUnlock(entry);
    return 1;
}

void VanteoMainMenuScene::SetArrowStates(int index)
{
    kv::KVWnd* sub = GetScreen(index);
    if (!sub)
        return;
    bool lower = false, higher = false;
    for (int j = 0; j < kSubMenuCount; ++j) {
        if (!UnlockFlag(j))
            continue;
        lower |= j < index;
        higher |= j > index;
    }
    kv::KVSystem& system = kv::GetKVSystem();
    auto set = [&system](kv::KVWnd* arrow, bool enabled) {
        if (!arrow || arrow->IsEnabled() == enabled)
            return;
        arrow->SetEnabled(enabled);
        if (!enabled && system.GetActiveWindow() == arrow) {
            arrow->SetActiveFlag(false);
            system.SetActiveWindow(nullptr);
        }
    };
    set(sub->FindWindow(L"Anibtn_arrowL"), lower);
    set(sub->FindWindow(L"Anibtn_arrow_R"), higher);
}

void VanteoMainMenuScene::UpdateSubMenuArrows()
{
    if (m_nCurSubMenu < 0 || GameConfig.guidedPlay || m_fSlideTimer != 0.0f)
        return;
    SetArrowStates(m_nCurSubMenu);
    UpdateSubMenu();
}

// Main screen.

void VanteoMainMenuScene::EnterSubMenu(int index)
{
    if (m_nOpeningPage >= 0 || m_bClosing)
        return;
    CloseCredits();
    m_fSlideTimer = 0.0f;
    m_nShownScreen = kScreenMain;
    m_nRequestedScreen = kScreenMain;
    m_nCurSubMenu = index;
    m_nPrevSubMenu = -1;
    kv::KVWnd* sub = GetScreen(index);
    if (sub) {
        Show(sub, true);
        sub->PlayUIScene(L"sub_in");
        sub->SetPosition(0.0f, 0.0f);
        if (auto* screen = dynamic_cast<kv::KVPicture*>(sub->FindWindow(L"Pic_aniscreen")))
            screen->PlayScene(L"");
    }
    Play(m_pQuickMenu, L"sub_in");
    if (index == 0 && !GameConfig.showClickHere) {
        GameConfig.showClickHere = 1;
        SaveGameConfig();
    }
    m_bHideMain = 1;
    UpdateSubMenu();
    SetArrowStates(index);
}

void VanteoMainMenuScene::OnPuzzleMenu(kv::EventArgs&) { EnterSubMenu(0); }
void VanteoMainMenuScene::OnBattleMenu(kv::EventArgs&) { EnterSubMenu(1); }
void VanteoMainMenuScene::OnPushingMenu(kv::EventArgs&) { EnterSubMenu(2); }
void VanteoMainMenuScene::OnIQMenu(kv::EventArgs&) { EnterSubMenu(3); }
void VanteoMainMenuScene::OnMultiMenu(kv::EventArgs&) { EnterSubMenu(4); }
void VanteoMainMenuScene::OnNothing(kv::EventArgs&) {}
void VanteoMainMenuScene::OnLockedBattle(kv::EventArgs&) { m_World.popUps->ShowModeLocked(1, 0); }
void VanteoMainMenuScene::OnLockedPush(kv::EventArgs&) { m_World.popUps->ShowModeLocked(2, 1); }
void VanteoMainMenuScene::OnLockedIQ(kv::EventArgs&) { m_World.popUps->ShowModeLocked(3, 2); }
void VanteoMainMenuScene::OnLockedMulti(kv::EventArgs&) { m_World.popUps->ShowModeLocked(4, 3); }

void VanteoMainMenuScene::OnTutorialButton(kv::EventArgs&)
{
    m_World.popUps->OpenTutorialMenu();
    StopSound(kMusicMenu);
    // Credits that show are taken away together with their music.
    if (m_nShownScreen == kScreenCredits) {
        Play(GetScreen(kScreenMain), L"credits_out");
        m_nShownScreen = kScreenMain;
        m_nRequestedScreen = kScreenMain;
    }
    StopSound(kMusicCredits);
}

void VanteoMainMenuScene::OnOpening(kv::EventArgs&)
{
    if (m_nOpeningPage >= 0)
        return;
    CloseCredits();
    m_nShownScreen = kScreenMain;
    m_nRequestedScreen = kScreenMain;
    m_nOpeningPage = 12;
    Play(GetScreen(kScreenMain), L"main_out");
    if (m_pQuickMenu) {
        m_pQuickMenu->StopUIScene();
        Show(m_pQuickMenu, false);
    }
    kv::GetKVSystem().Update(0.0f);
    StopSound(kMusicMenu);
    StopSound(kMusicCredits);
}

void VanteoMainMenuScene::OnCredits(kv::EventArgs&)
{
    if (m_nOpeningPage == 12)
        return;
    if (m_nShownScreen == kScreenCredits) {
        CloseCredits();
        m_nRequestedScreen = kScreenMain;
        return;
    }
    m_nRequestedScreen = kScreenCredits;
    ApplyScreen();
}

void VanteoMainMenuScene::CloseCredits()
{
    if (m_nShownScreen != kScreenCredits)
        return;
    Play(GetScreen(kScreenMain), L"credits_out");
    StopSound(kMusicCredits);
    StartMusic(kMusicMenu);
}

// Quick menu.

void VanteoMainMenuScene::OnSwitchOff(kv::EventArgs&)
{
    m_World.popUps->AskYesNo(0, L"EXIT GAME", L"DO YOU WISH TO QUIT?");
}

void VanteoMainMenuScene::OnSkin(kv::EventArgs&) { m_World.popUps->OpenSkins(); }
void VanteoMainMenuScene::OnRecords(kv::EventArgs&) { m_World.popUps->OpenRecords(); }

void VanteoMainMenuScene::OnOption(kv::EventArgs&)
{
    OptionsSoundLevels& levels = GetOptionsSoundLevels();
    bool fullScreen = m_World.isFullScreen && m_World.isFullScreen();
    m_World.popUps->OpenOptions(fullScreen, levels.GetMusicVolume(), levels.GetEffectsVolume());
}

// Sub-menus: sliding, leaving and inner panels.

void VanteoMainMenuScene::SlideTo(int index, float timer)
{
    m_nPrevSubMenu = m_nCurSubMenu;
    m_fSlideTimer = timer;
    m_nCurSubMenu = index;
    if (kv::KVWnd* sub = GetScreen(index)) {
        // The incoming screen starts beside the screen it replaces.
        sub->SetPosition(timer > 0.0f ? kv::KVSystem::kScreenWidth : -kv::KVSystem::kScreenWidth, 0.0f);
        Show(sub, true);
        sub->PlayUIScene(L"return");
    }
    SetArrowStates(index);
    UpdateSubMenu();
}

void VanteoMainMenuScene::OnArrowRight(kv::EventArgs&)
{
    if (m_nCurSubMenu < 0 || m_fSlideTimer != 0.0f || m_bClosing || m_nCurSubMenu >= kSubMenuCount - 1)
        return;
    for (int j = m_nCurSubMenu + 1; j < kSubMenuCount; ++j) {
        if (UnlockFlag(j)) {
            SlideTo(j, kSlideSeconds);
            return;
        }
    }
}

void VanteoMainMenuScene::OnArrowLeft(kv::EventArgs&)
{
    if (m_nCurSubMenu <= 0 || m_fSlideTimer != 0.0f || m_bClosing)
        return;
    for (int j = m_nCurSubMenu - 1; j >= 0; --j) {
        if (UnlockFlag(j)) {
            SlideTo(j, -kSlideSeconds);
            return;
        }
    }
}

void VanteoMainMenuScene::OnSubMenuExit(kv::EventArgs&)
{
    if (m_bHideMain || m_fSlideTimer != 0.0f || m_nCurSubMenu < 0 || m_bClosing)
        return;
    kv::KVWnd* sub = GetScreen(m_nCurSubMenu);
    if (m_nInnerPanel == kPanelFirst)
        Play(sub, L"sub2_1_OFF");
    else if (m_nInnerPanel == kPanelSecond)
        Play(sub, L"sub2_2_OFF");
    else
        Play(sub, L"sub_OFF");
    Play(m_pQuickMenu, L"main_return");
    kv::KVWnd* main = GetScreen(kScreenMain);
    Show(main, true);
    Play(main, L"return");
    m_nInnerPanel = kPanelNone;
    m_bClosing = 1;
}

void VanteoMainMenuScene::OnInnerPanel1(kv::EventArgs&)
{
    if (m_nCurSubMenu < 0 || IsSubMenuBusy())
        return;
    Play(GetScreen(m_nCurSubMenu), L"sub2_1_in");
    m_nInnerPanel = kPanelFirst;
}

void VanteoMainMenuScene::OnInnerPanel2(kv::EventArgs&)
{
    if (m_nCurSubMenu < 0 || IsSubMenuBusy())
        return;
    Play(GetScreen(m_nCurSubMenu), L"sub2_2_in");
    m_nInnerPanel = kPanelSecond;
}

void VanteoMainMenuScene::OnSubMenuBack(kv::EventArgs&)
{
    if (m_nCurSubMenu < 0 || IsSubMenuBusy() || m_nInnerPanel == kPanelNone)
        return;
    Play(GetScreen(m_nCurSubMenu), m_nInnerPanel == kPanelFirst ? L"sub2_1_to_sub" : L"sub2_2_to_sub");
    m_nInnerPanel = kPanelNone;
}

// Puzzle challenges.

void VanteoMainMenuScene::OnComboChallenge(kv::EventArgs& args)
{
    if (CheckLockedButton(0, args) || IsSubMenuBusy())
        return;
    OpenStartPopUp(2, 0, RANK_COMBO, "7");
}

void VanteoMainMenuScene::OnPointChallenge(kv::EventArgs&)
{
    if (IsSubMenuBusy())
        return;
    OpenStartPopUp(2, 1, RANK_POINT, "2");
}

void VanteoMainMenuScene::OnStageChallenge(kv::EventArgs& args)
{
    if (CheckLockedButton(0, args) || IsSubMenuBusy())
        return;
    int reached = GetHardStageReached();
    m_World.popUps->OpenStageSelect(reached);
    if (reached >= 10)
        GameConfig.guidedPlay = 0;
}

void VanteoMainMenuScene::OnRankingCombo(kv::EventArgs&)
{
    if (RequirePlatformUser())
        m_World.popUps->OpenRanking(RankingKind::Combo);
}

void VanteoMainMenuScene::OnRankingPoint(kv::EventArgs&)
{
    if (RequirePlatformUser())
        m_World.popUps->OpenRanking(RankingKind::Point);
}

void VanteoMainMenuScene::OnRankingStage(kv::EventArgs&)
{
    if (RequirePlatformUser())
        m_World.popUps->OpenRanking(RankingKind::Stage);
}

void VanteoMainMenuScene::OnHowToPuzzle(kv::EventArgs&)
{
    GameConfig.showPuzzleTutorial = 0;
    SaveGameConfig();
    StopSound(kMusicMenu);
    m_World.popUps->OpenHowTo(HowToKind::Puzzle);
}

// Battle.

void VanteoMainMenuScene::OnBattleMode1(kv::EventArgs& args)
{
    if (CheckLockedButton(1, args) || IsSubMenuBusy())
        return;
    OpenStartPopUp(0, 1, RANK_BATTLE, "1");
}

void VanteoMainMenuScene::OnBattleMode2(kv::EventArgs& args)
{
    if (CheckLockedButton(1, args) || IsSubMenuBusy())
        return;
    OpenStartPopUp(0, 2, RANK_BATTLE, "2");
}

void VanteoMainMenuScene::OnBattleMode3(kv::EventArgs& args)
{
    if (CheckLockedButton(1, args) || IsSubMenuBusy())
        return;
    OpenStartPopUp(0, 3, RANK_BATTLE, "3");
}

void VanteoMainMenuScene::OnBattleMode4(kv::EventArgs& args)
{
    if (CheckLockedButton(1, args) || IsSubMenuBusy())
        return;
    OpenStartPopUp(0, 4, RANK_BATTLE, "4");
}

void VanteoMainMenuScene::OnBattleSelf(kv::EventArgs&)
{
    if (IsSubMenuBusy())
        return;
    OpenStartPopUp(0, 13, -1, nullptr);
}

void VanteoMainMenuScene::OnBattleSpecial(kv::EventArgs&) { m_World.popUps->OpenBattleSpecial(); }

void VanteoMainMenuScene::OnRankingBattle(kv::EventArgs&)
{
    if (RequirePlatformUser())
        m_World.popUps->OpenRanking(RankingKind::Battle);
}

void VanteoMainMenuScene::OnBattleTutorialButton(kv::EventArgs&) { m_World.popUps->OpenBattleTutorialMenu(); }

void VanteoMainMenuScene::OnHowToBattle(kv::EventArgs&)
{
    GameConfig.showBattleTutorial = 0;
    SaveGameConfig();
    StopSound(kMusicMenu);
    m_World.popUps->OpenBattleHelp();
    // The battle help answers nothing when it closes: the menu music returns once no pop-up shows.
    m_bMusicAfterPopUps = true;
}

// Push.

void VanteoMainMenuScene::OnPushMode1(kv::EventArgs& args)
{
    if (CheckLockedButton(2, args) || IsSubMenuBusy())
        return;
    OpenStartPopUp(1, 1, RANK_PUSH, "1");
}

void VanteoMainMenuScene::OnPushMode2(kv::EventArgs& args)
{
    if (CheckLockedButton(2, args) || IsSubMenuBusy())
        return;
    OpenStartPopUp(1, 2, RANK_PUSH, "2");
}

void VanteoMainMenuScene::OnPushMode3(kv::EventArgs& args)
{
    if (CheckLockedButton(2, args) || IsSubMenuBusy())
        return;
    OpenStartPopUp(1, 3, RANK_PUSH, "3");
}

void VanteoMainMenuScene::OnPushMode4(kv::EventArgs& args)
{
    if (CheckLockedButton(2, args) || IsSubMenuBusy())
        return;
    OpenStartPopUp(1, 4, RANK_PUSH, "4");
}

void VanteoMainMenuScene::OnPushSelf(kv::EventArgs&)
{
    if (IsSubMenuBusy())
        return;
    OpenStartPopUp(1, 10, -1, nullptr);
}

void VanteoMainMenuScene::OnPushSpecial(kv::EventArgs&) { m_World.popUps->OpenPushSpecial(); }

void VanteoMainMenuScene::OnPushResetSelf(kv::EventArgs&)
{
    if (IsSubMenuBusy())
        return;
    m_World.popUps->AskYesNo(2, L"Reset", L"Reset self-play data?");
}

void VanteoMainMenuScene::OnRankingPush(kv::EventArgs&)
{
    if (RequirePlatformUser())
        m_World.popUps->OpenRanking(RankingKind::Push);
}

void VanteoMainMenuScene::OnHowToPush(kv::EventArgs&)
{
    GameConfig.showPushTutorial = 0;
    SaveGameConfig();
    StopSound(kMusicMenu);
    m_World.popUps->OpenHowTo(HowToKind::Push);
}

// Logic puzzles.

void VanteoMainMenuScene::OnIQButton1(kv::EventArgs&)
{
    if (!IsSubMenuBusy())
        PostChangeScene("VanteoPuzzleSelectScene2", 0, 0);
}

void VanteoMainMenuScene::OnIQButton1_1(kv::EventArgs& args)
{
    if (CheckLockedButton(3, args) || IsSubMenuBusy())
        return;
    PostChangeScene("VanteoPuzzleSelectScene2", 1, 0);
}

void VanteoMainMenuScene::OnIQButton1_2(kv::EventArgs& args)
{
    if (CheckLockedButton(3, args) || IsSubMenuBusy())
        return;
    PostChangeScene("VanteoPuzzleSelectScene2", 2, 0);
}

void VanteoMainMenuScene::OnIQButton2_1(kv::EventArgs&)
{
    if (!IsSubMenuBusy())
        PostChangeScene("VanteoPuzzleSelectScene2", 3, 0);
}

void VanteoMainMenuScene::OnIQEditor(kv::EventArgs&)
{
    if (!IsSubMenuBusy())
        PostChangeScene("VanteoPuzzleEditorScene", 0, -1);
}

void VanteoMainMenuScene::OnRankingIQ(kv::EventArgs&)
{
    if (RequirePlatformUser())
        m_World.popUps->OpenRanking(RankingKind::IQ);
}

void VanteoMainMenuScene::OnHowToIQ(kv::EventArgs&)
{
    GameConfig.showIQTutorial = 0;
    SaveGameConfig();
    StopSound(kMusicMenu);
    m_World.popUps->OpenHowTo(HowToKind::IQ);
}

// Online play.

void VanteoMainMenuScene::OnMultiHost(kv::EventArgs&)
{
    if (IsSubMenuBusy() || !RequirePlatformUser())
        return;
    g_nLoadingMode = kLoadingModeConnecting;
    PostChangeScene("QuiblyLobbyScene", 1, 0);
}

void VanteoMainMenuScene::OnMultiJoin(kv::EventArgs&)
{
    if (IsSubMenuBusy() || !RequirePlatformUser())
        return;
    g_nLoadingMode = kLoadingModeConnecting;
    PostChangeScene("QuiblyLobbyScene", 2, 0);
}

void VanteoMainMenuScene::OnMultiAchievements(kv::EventArgs&)
{
    if (!IsAnyPopUpOpen())
        m_World.popUps->OpenAchievements();
}

void VanteoMainMenuScene::OnRankingMulti(kv::EventArgs&)
{
    if (RequirePlatformUser())
        m_World.popUps->OpenRanking(RankingKind::Multi);
}

// Lock pictures.

void VanteoMainMenuScene::OnLockPictureClicked(kv::EventArgs& args)
{
    kv::KVWnd* sender = SenderOf(args);
    if (!sender)
        return;
    std::string name = kv::WideToNarrow(sender->GetName());
    for (int group = 0; group < kSubMenuCount; ++group) {
        if (UnlockInfo* entry = FindUnlockInfoByPic(group, name.c_str())) {
            OfferUnlock(entry);
            return;
        }
    }
}
