#include "menus/MainMenuScene.h"

#include "engine/Getters.h"
#include "data/Options.h"
#include "data/PlayDataPack.h"
#include "engine/LayoutFiles.h"
#include "data/UnlockInfo.h"
#include "board/GameSeams.h"
#include "board/GameSinks.h"
#include "engine/DigitDisplay.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/Sound.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"
#include "engine/WindowMouse.h"
#include "kv/KVLabel.h"
#include "kv/KVPicture.h"
#include "kv/KVString.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/MenuWindows.h"
#include "net/Achievements.h"
#include "net/LeaderBoard.h"
#include "engine/LoadingScene.h"
#include "net/NetGlobals.h"

#include <helvane/DXUtil.h>
#include <helvane/Log.h>
#include <lumenkit/Direct3DDevice.h>
#include <steam/SteamApi.h>
#include <win32/VirtualKeys.h>

#include <atomic>
#include <cmath>
#include <cstdio>

using menuwindows::Enable;
using menuwindows::MouseTransparent;
using menuwindows::SetText;
using menuwindows::Show;

namespace {


constexpr int kLoadingModeLoading = 1;
constexpr int kCursorBlock = 2;

constexpr int kLayerMain = 1;
constexpr int kLayerSubMenu = -2;
constexpr int kLayerQuickMenu = -3;
constexpr int kLayerOpening = -4;
constexpr int kLayerAutoPopUp = -5;

constexpr const char* kAutoPopUpLayout = "data/Autopopup.xml";
constexpr const char* kMainLayout = "data/MAINMENU.xml";
constexpr const char* kQuickMenuLayout = "data/QUICKMENU.xml";
constexpr const char* kOpeningLayout = "data/opening_2.xml";
constexpr const char* kWarningLayout = "data/warning.xml";
constexpr const char* kOpeningAnimationFile = "opening_Animation.xml";
constexpr const wchar_t* kTitleSoundFile = L"TilteAni.wav";
constexpr const char* kSubMenuLayouts[VanteoMainMenuScene::kSubMenuCount] = {
    "data/SUB_puzzle.xml", "data/SUB_battle.xml", "data/SUB_pushing.xml", "data/SUB_iq.xml", "data/SUB_multi.xml"};

// The game scenes are created once per run, however often the menu is entered.
std::atomic<bool> g_bGameScenesRegistered{false};
GameSceneRegistrar g_gameSceneRegistrar = nullptr;

void StopScene(kv::KVWnd* window)
{
    if (window)
        window->StopUIScene();
}

} // namespace

MainMenuWorld MainMenuWorld::Game()
{
    static MainMenuPopUps popUps;
    MainMenuWorld world;
    world.messages = &GetSceneQueueSink();
    world.sounds = &GetSoundTableSink();
    world.popUps = &popUps;
    world.keyPressed = [](int vk) { return GetInputManager()->IsKeyPressed(vk); };
    world.wheelStep = [] {
        CWindowMouse* mouse = GetInputManager()->GetMouse();
        return mouse ? mouse->m_nWheel : 0;
    };
    world.buttonReleased = [] {
        CWindowMouse* mouse = GetInputManager()->GetMouse();
        return mouse && (mouse->m_dwFlags & (mouseflag::kLeftReleased | mouseflag::kRightReleased |
                                             mouseflag::kMiddleReleased)) != 0;
    };
    world.cursor = [] {
        CWindowMouse* mouse = GetInputManager()->GetMouse();
        return mouse ? POINT{mouse->m_x, mouse->m_y} : POINT{0, 0};
    };
    world.hasPlatformUser = [] { return SteamUser() != nullptr; };
    world.isFullScreen = [] {
        CDirect3DDevice* device = CDirect3DDevice::GetSingletonPtr();
        return device && !device->GetD3DStatus().Windowed;
    };
    world.toggleFullScreen = [] {
        if (CDirect3DDevice* device = CDirect3DDevice::GetSingletonPtr())
            device->ToggleFullScreen();
    };
    world.quit = [] { singleton<CSceneManager>::GetSingleton().Quit(); };
    world.loadSkin = [](int skin) {
        int loaded = SkinTable.LoadSkin(skin);
        if (loaded) {
            g_Mouse.LoadCursors();
            SoundTable.SelectSoundSet(skin);
        }
        return loaded;
    };
    world.playTitleSound = [] {
        DXSoundServer* server = DXSoundServer::GetSingletonPtr();
        if (!server)
            return -1;
        int id = server->LoadSound(kTitleSoundFile, kSoundControlVolume, false);
        server->Play(id);
        return id;
    };
    world.loadLayout = [](const char* file) { return LoadLayout(file); };
    world.holdTimer = [](bool hold) { DXUtil_Timer(hold ? TIMER_STOP : TIMER_START); };
    return world;
}

VanteoMainMenuScene::VanteoMainMenuScene() : VanteoMainMenuScene(MainMenuWorld::Game()) {}

VanteoMainMenuScene::VanteoMainMenuScene(MainMenuWorld world) : m_World(std::move(world))
{
    SetName(kMainMenuSceneName);
    if (!m_World.popUps) {
        m_pOwnedPopUps = std::make_unique<IMainMenuPopUps>();
        m_World.popUps = m_pOwnedPopUps.get();
    }
}

VanteoMainMenuScene::~VanteoMainMenuScene() = default;

kv::KVWnd* VanteoMainMenuScene::GetScreen(int index) const
{
    if (index < kScreenMain || index >= kSubMenuCount)
        return nullptr;
    return m_pScreens[static_cast<size_t>(index + 1)];
}

void SetGameSceneRegistrar(GameSceneRegistrar registrar)
{
    g_gameSceneRegistrar = registrar;
}

void VanteoMainMenuScene::RegisterGameScenesOnce()
{
    if (!m_World.registerGameScenes || g_bGameScenesRegistered.exchange(true))
        return;
    if (g_gameSceneRegistrar)
        g_gameSceneRegistrar();
    g_Mouse.LoadCursors();
}

int VanteoMainMenuScene::Enter(int a, int)
{
    kv::KVSystem& system = kv::GetKVSystem();
    if (a < kScreenMain || a >= kSubMenuCount)
        a = kScreenMain;

    RegisterGameScenesOnce();

    m_pAutoPopUp = Load(kAutoPopUpLayout);
    if (m_pAutoPopUp) {
        m_pAutoPopUp->SetMouseTransparent(true);
        m_pAutoPopUp->SetZOrder(kLayerAutoPopUp);
    }

    g_nLoadingMode = kLoadingModeLoading;
    m_nShownScreen = kScreenMain;
    m_nRequestedScreen = kScreenMain;
    m_World.popUps->CreateStageSelect();

    kv::KVWnd*& main = m_pScreens[0];
    main = Load(kMainLayout);
    if (main) {
        system.SetPathRoot(main);
        main->SetZOrder(kLayerMain);
        main->PlayUIScene(L"main_in");
    }

    m_pQuickMenu = Load(kQuickMenuLayout);
    if (m_pQuickMenu)
        m_pQuickMenu->SetZOrder(kLayerQuickMenu);

    if (!GameConfig.showOpening) {
        m_pOpening = Load(kOpeningLayout);
        if (m_pOpening) {
            m_pOpening->SetZOrder(kLayerOpening);
            Show(m_pOpening, false);
        }
    }

    Show(main, false);
    Show(m_pQuickMenu, false);
    if (main && m_nTitleState >= 5) {
        Show(main->FindWindow(L"Pic_loading"), false);
        Show(main->FindWindow(L"Pic_pressanykey"), false);
    }

    UpdateSkinHint();
    UpdateSkinMarks();
    m_ClickEffect.LoadAnimations();

    for (int i = 0; i < kSubMenuCount; ++i) {
        kv::KVWnd* sub = Load(kSubMenuLayouts[i]);
        m_pScreens[static_cast<size_t>(i + 1)] = sub;
        if (!sub)
            continue;
        sub->SetZOrder(kLayerSubMenu);
        Show(sub->FindWindow(L"Single_location"), false);
    }

    m_pPendingUnlock = nullptr;
    m_bHideMain = 0;
    for (int i = 0; i < kSubMenuCount; ++i) {
        kv::KVWnd* sub = GetScreen(i);
        if (!sub)
            continue;
        Show(sub, false);
        if (kv::KVWnd* frame = sub->FindWindow(L"WndEx_sub_frame"))
            frame->SetMouseTransparent(true);
    }
    ShowCubeCount();

    m_nCurSubMenu = a;
    if (a != kScreenMain) {
        StartMusic(kMusicMenu);
        if (kv::KVWnd* sub = GetScreen(a)) {
            Show(sub, true);
            sub->PlayUIScene(L"return");
        }
        m_bHideMain = 1;
        UpdateSubMenu();
        Show(m_pQuickMenu, true);
        if (m_pQuickMenu)
            m_pQuickMenu->PlayUIScene(L"main_return");
    } else if (m_nTitleState >= 5) {
        // Back from a mode to the main screen: the quick menu and the menu music come back with it.
        Show(m_pQuickMenu, true);
        if (m_pQuickMenu)
            m_pQuickMenu->PlayUIScene(L"main_return");
        StartMusic(kMusicMenu);
    }

    m_fSlideTimer = 0.0f;
    m_nPrevSubMenu = -1;
    Show(main, true);
    system.Update(0.0f);
    if (main)
        if (kv::KVWnd* hilight = main->FindWindow(L"Pic_first_hilight"))
            hilight->SetMouseTransparent(true);

    RegisterMessageHandlers();

    m_bQuitRequest = 0;
    m_bClosing = 0;
    g_Mouse.m_bVisible = 1;
    g_Mouse.ClearRects();
    g_Mouse.AddRect(kCursorBlock, RECT{0, 0, 1024, 768});

    WireButtons();
    LoadUnlockMenu();
    UpdateUnlockButtons();
    BindCubeUnlockButtons();

    SaveGameConfig();
    if (m_World.registerGameScenes)
        ConfigPak::Pack(0);

    CheckUnlocks(a);
    if (g_pAchievements)
        g_pAchievements->CheckStatAchievements();

    if (m_nTitleState == 0) {
        m_pWarning = Load(kWarningLayout);
        if (m_pWarning) {
            Show(m_pWarning, true);
            Show(m_pWarning->FindWindow(L"Pic_loading"), false);
        }
        if (m_OpeningAnimation.Load(kOpeningAnimationFile))
            m_OpeningAnimation.Play("opening_2");
        if (m_World.playTitleSound)
            m_nTitleSound = m_World.playTitleSound();
    }
    return 1;
}

int VanteoMainMenuScene::Update(float seconds)
{
    kv::KVSystem& system = kv::GetKVSystem();
    g_Mouse.Update(seconds);
    if (UpdateTitle(seconds))
        return 1;
    if (m_bQuitRequest) {
        m_bQuitRequest = 0;
        if (m_World.quit)
            m_World.quit();
        return 1;
    }

    UpdateBonusMessage(seconds);
    // Cubes earned while the menu missed the message (it was loading) show at the next frame.
    if (GameConfig.cubes != m_nShownCubes)
        ShowCubeCount();
    int wheel = m_World.wheelStep ? m_World.wheelStep() : 0;
    auto pressed = [this](int vk) { return m_World.keyPressed && m_World.keyPressed(vk); };
    kv::EventArgs none;
    if (!IsAnyPopUpOpen()) {
        if (wheel < 0)
            OnArrowRight(none);
        else if (wheel > 0)
            OnArrowLeft(none);
        if (pressed(VK_RIGHT) || pressed('E') || pressed('I'))
            OnArrowRight(none);
        else if (pressed(VK_LEFT) || pressed('W') || pressed('U'))
            OnArrowLeft(none);
    }

    if (m_nShownScreen != m_nRequestedScreen)
        ApplyScreen();

    UpdateSlide(seconds);

    if (m_bClosing && m_nCurSubMenu >= 0) {
        kv::KVWnd* sub = GetScreen(m_nCurSubMenu);
        if (!sub || !sub->IsUIScenePlaying()) {
            Show(sub, false);
            StopScene(sub);
            m_bClosing = 0;
            m_nCurSubMenu = -1;
        }
    }
    if (m_bHideMain && m_nCurSubMenu >= 0) {
        kv::KVWnd* sub = GetScreen(m_nCurSubMenu);
        if (!sub || !sub->IsUIScenePlaying()) {
            Show(GetScreen(kScreenMain), false);
            m_bHideMain = 0;
        }
    }

    system.Update(seconds);
    UpdateOpening(seconds);
    UpdateMenuMarks();

    if (!IsAnyPopUpOpen() && m_nOpeningPage < 0 && pressed(VK_ESCAPE)) {
        if (m_nShownScreen == kScreenMain && m_nCurSubMenu >= 0)
            OnSubMenuExit(none);
        else
            OnSwitchOff(none);
    }

    // F on the main screen starts free play, as the tutorial menu's free-play choice does.
    if (!IsAnyPopUpOpen() && m_nOpeningPage < 0 && m_nCurSubMenu < 0 && m_nShownScreen == kScreenMain &&
        pressed('F'))
        PostChangeScene(kFreePlaySceneName, kFreePlayMenuStage, 0);

    UpdatePopUps(seconds);
    if (m_bMusicAfterPopUps && !IsAnyPopUpOpen()) {
        m_bMusicAfterPopUps = false;
        StartMusic(kMusicMenu);
    }
    if (g_pAchievements)
        g_pAchievements->CheckUnlockAchievements();
    HideSingleWindows();
    for (int i = 0; i < kSubMenuCount; ++i)
        if (kv::KVWnd* sub = GetScreen(i))
            Show(sub->FindWindow(L"Single_location"), false);
    return 1;
}

void VanteoMainMenuScene::UpdateSlide(float seconds)
{
    if (m_fSlideTimer == 0.0f)
        return;
    kv::KVWnd* outgoing = GetScreen(m_nPrevSubMenu);
    kv::KVWnd* incoming = GetScreen(m_nCurSubMenu);
    const bool towardsHigher = m_fSlideTimer > 0.0f;
    m_fSlideTimer += towardsHigher ? -seconds : seconds;
    const bool running = towardsHigher ? m_fSlideTimer > 0.0f : m_fSlideTimer < 0.0f;
    if (running) {
        constexpr float kPi = 3.14159265358979f;
        float s = std::sin(kPi * (m_fSlideTimer / kSlideSeconds * 0.5f + 0.5f));
        float f = 1.0f - s;
        float width = kv::KVSystem::kScreenWidth;
        if (towardsHigher) {
            if (outgoing)
                outgoing->SetPosition((f - 1.0f) * width, 0.0f);
            if (incoming)
                incoming->SetPosition(f * width, 0.0f);
        } else {
            if (outgoing)
                outgoing->SetPosition((1.0f - f) * width, 0.0f);
            if (incoming)
                incoming->SetPosition(-f * width, 0.0f);
        }
        return;
    }
    // The previous screen may be the main screen (-1), which stays where it is.
    if (m_nPrevSubMenu >= 0) {
        Show(outgoing, false);
        StopScene(outgoing);
    }
    m_fSlideTimer = 0.0f;
    m_nPrevSubMenu = -1;
    if (incoming)
        incoming->SetPosition(0.0f, 0.0f);
}

void VanteoMainMenuScene::ApplyScreen()
{
    kv::KVWnd* main = GetScreen(kScreenMain);
    if (m_nRequestedScreen == m_nShownScreen || (main && main->IsUIScenePlaying()))
        return;
    if (m_nRequestedScreen == kScreenCredits) {
        if (main) {
            main->PlayUIScene(L"credits_in");
            if (auto* credits = dynamic_cast<kv::KVPicture*>(main->FindWindow(L"Pic_credits")))
                credits->PlayScene(L"");
        }
        StopSound(kMusicMenu);
        StartMusic(kMusicCredits);
    }
    m_nShownScreen = m_nRequestedScreen;
}

int VanteoMainMenuScene::Render()
{
    if (m_nTitleState < 2) {
        m_OpeningAnimation.Draw();
        g_Mouse.Draw();
        return 1;
    }
    if (kv::KVWnd* root = kv::GetKVSystem().GetRootLayer())
        root->Draw();
    DrawBonusMessage();
    if (m_nOpeningPage >= 0)
        m_ClickEffect.Draw(nullptr);
    g_Mouse.Draw();
    return 1;
}

kv::KVWnd* VanteoMainMenuScene::Load(const char* file)
{
    kv::KVWnd* window = m_World.loadLayout ? m_World.loadLayout(file) : kv::GetKVSystem().CreateWindowFromLayout(file);
    if (!window) {
        DFLog(LOG_WARN, L"Main menu: the layout %s cannot be loaded; the menu goes on without it",
              kv::NarrowToWide(file).c_str());
        return nullptr;
    }
    // The scene shows and hides its screens itself; their animations only move and fade them.
    window->SetAnimationMask(window->GetAnimationMask() & ~kv::KVWnd::kAnimDrivesVisible);
    return window;
}

void VanteoMainMenuScene::DestroyWindow(kv::KVWnd*& window)
{
    if (window)
        kv::GetKVSystem().DetachWindow(window);
    window = nullptr;
}

void VanteoMainMenuScene::Leave()
{
    if (DXSoundServer* server = DXSoundServer::GetSingletonPtr())
        server->StopAllEffects();
    for (kv::KVWnd*& screen : m_pScreens) {
        if (!screen)
            continue;
        Show(screen, false);
        StopScene(screen);
        screen = nullptr;
    }
    // Open pop-ups let go of their windows before every window under the root goes.
    m_World.popUps->CloseAll();
    kv::KVSystem& system = kv::GetKVSystem();
    if (kv::KVWnd* root = system.GetRootLayer())
        root->DeleteChildren();
    system.SetPathRoot(nullptr);
    m_pQuickMenu = nullptr;
    m_pAutoPopUp = nullptr;
    m_pOpening = nullptr;
    m_pWarning = nullptr;
    m_nOpeningPage = -1;
    m_bSkipOpening = false;
    m_bMusicAfterPopUps = false;
    if (g_pAchievements)
        g_pAchievements->OnMainMenuLeave();
    m_World.popUps->DeleteStageSelect();
    StopSound(kMusicMenu);
}

bool VanteoMainMenuScene::IsAnyPopUpOpen()
{
    return m_World.popUps->IsAnyOpen();
}

void VanteoMainMenuScene::UpdatePopUps(float seconds)
{
    m_World.popUps->UpdateAll(seconds);
}

void VanteoMainMenuScene::StartMusic(int key)
{
    if (m_World.sounds)
        m_World.sounds->Play(key, true);
}

void VanteoMainMenuScene::StopSound(int key)
{
    if (m_World.sounds)
        m_World.sounds->Stop(key);
}

void VanteoMainMenuScene::PlayEffect(int key)
{
    if (m_World.sounds)
        PlayEffectSound(*m_World.sounds, key);
}

void VanteoMainMenuScene::ShowCubeCount()
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%d", GameConfig.cubes);
    m_nShownCubes = GameConfig.cubes;
    for (int i = 0; i < kSubMenuCount; ++i)
        if (kv::KVWnd* sub = GetScreen(i))
            if (auto* label = dynamic_cast<kv::KVLabel*>(sub->FindWindow(L"Label_cube_count")))
                label->text = text;
}

// Progress displays and unlocks kept by the menu itself: the mode locks of the main screen, the
// how-to marks, the current-skin marks and the purchase state of every lockable entry.

namespace {

// "<prefix>1,234,567", "<prefix>45,006" or "<prefix>999".
std::wstring ScoreText(const wchar_t* prefix, long long v)
{
    const long long m = v / 1000000, k = (v % 1000000) / 1000, u = v % 1000;
    wchar_t text[64];
    if (m != 0)
        std::swprintf(text, 64, L"%ls%lld,%03lld,%03lld", prefix, m, k, u);
    else if (k != 0)
        std::swprintf(text, 64, L"%ls%lld,%03lld", prefix, k, u);
    else
        std::swprintf(text, 64, L"%ls%lld", prefix, u);
    return text;
}

} // namespace

void VanteoMainMenuScene::CheckUnlocks(int a)
{
    const int reached = GetHardStageReached();
    GameConfig.guidedPlay = 0;
    // Modes open as the player progresses, each with its notice, only once the title is over
    // and while no notice is up.
    if (m_nTitleState == 5 && !m_World.popUps->IsUnlockNoticeOpen()) {
        struct Rule {
            int GameConfigRecord::*flag;
            bool met;
            int kind;
        };
        const Rule rules[] = {{&GameConfigRecord::unlockPush, reached >= 10, 2},
                              {&GameConfigRecord::unlockBattle, HasPushRecord(), 1},
                              {&GameConfigRecord::unlockIQ, HasComboScore50(), 3}};
        for (const Rule& rule : rules) {
            if (GameConfig.*rule.flag || !rule.met)
                continue;
            m_World.popUps->OpenUnlockNotice(rule.kind);
            UpdateSubMenuArrows();
            GameConfig.*rule.flag = 1;
            SaveGameConfig();
        }
    }
    if (!GameConfig.unlockPush && !GameConfig.unlockBattle && !GameConfig.unlockIQ)
        GameConfig.guidedPlay = reached < 10 ? 1 : 0;
    if (a != -1)
        SetArrowStates(a);

    m_nHardAllClearTime = GetHardStageTotalTime();
    m_nBattleScore = GetBattleRankingScore();
    m_nPushScore = GetPushRankingScore();
    m_nIQScore = GetPuzzleRankingScore();
    const int wins = MultiRecordWins(g_nMultiRecord);
    struct Threshold {
        long long value, atLeast;
        const char* achievement;
    };
    const long long time = m_nHardAllClearTime;
    // Times count down: a shorter all-clear earns the smaller limits too.
    const Threshold thresholds[] = {
        {time > 0 && time <= 1800, 1, "ACH_LB_SC_CLEAR_30"}, {time > 0 && time <= 1200, 1, "ACH_LB_SC_CLEAR_20"},
        {time > 0 && time <= 600, 1, "ACH_LB_SC_CLEAR_10"},  {m_nBattleScore, 100000, "ACH_LB_BATTLE_100K"},
        {m_nBattleScore, 1000000, "ACH_LB_BATTLE_1M"},        {m_nBattleScore, 3000000, "ACH_LB_BATTLE_3M"},
        {m_nPushScore, 100000, "ACH_LB_PUSH_100K"},           {m_nPushScore, 1000000, "ACH_LB_PUSH_1M"},
        {m_nPushScore, 3000000, "ACH_LB_PUSH_3M"},            {m_nIQScore, 100000, "ACH_LB_IQ_100K"},
        {m_nIQScore, 1000000, "ACH_LB_IQ_1M"},                {m_nIQScore, 3000000, "ACH_LB_IQ_3M"},
        {wins, 10, "ACH_LB_MULTIWIN_10"},                     {wins, 100, "ACH_LB_MULTIWIN_100"},
        {wins, 1000, "ACH_LB_MULTIWIN_1000"}};
    for (const Threshold& t : thresholds)
        if (t.value > 0 && t.value >= t.atLeast)
            UnlockAchievementNamed(t.achievement);

    const std::pair<int, std::wstring> scores[] = {{1, ScoreText(L"Battle Score ", m_nBattleScore)},
                                                   {2, ScoreText(L"Push Score ", m_nPushScore)},
                                                   {3, ScoreText(L"IQ Score ", m_nIQScore)}};
    for (const auto& [screen, text] : scores)
        for (const wchar_t* label : {L"Steam_Label_cmt_ranking", L"Single_Label_cmt_ranking"})
            SetText(GetScreen(screen), label, text);
    wchar_t record[64];
    std::swprintf(record, 64, L"%d Wins / %d Lose", wins, MultiRecordLosses(g_nMultiRecord));
    SetText(GetScreen(4), L"Label_cmt_ranking", record);

    QuiblyLeaderBoard& bests = GetLeaderBoard();
    kv::KVWnd* puzzle = GetScreen(0);
    kv::KVWnd* stageRanking = puzzle ? puzzle->FindWindow(L"Steam_btn_puzzle_ranking_stage") : nullptr;
    kv::KVWnd* allClear = puzzle ? puzzle->FindWindow(L"Pic_icon_stage_allclear_hard") : nullptr;
    kv::KVWnd* clear = puzzle ? puzzle->FindWindow(L"Pic_icon_stage_clear_hard") : nullptr;
    MouseTransparent(allClear);
    MouseTransparent(clear);
    // The local bests only improve; their file is written once, when one of them did.
    bool bestsChanged = false;
    if (m_nHardAllClearTime > 0) {
        bestsChanged = RaiseStageBest();
        Show(stageRanking, true);
        const bool first = IsFirstInAllHardStages();
        Enable(allClear, first);
        Enable(clear, !first);
        UnlockAchievementNamed("ACH_ACCOM_SC_ALLCLEAR");
        if (first)
            UnlockAchievementNamed("ACH_ACCOM_SC_ALLCLEAR_NO1");
    } else {
        Show(stageRanking, false);
        Enable(allClear, false);
        Enable(clear, false);
    }
    const std::pair<int, long long> raised[] = {{LB_BATTLE, m_nBattleScore}, {LB_PUSH, m_nPushScore}, {LB_IQ, m_nIQScore}};
    for (const auto& [board, score] : raised) {
        if (score > bests.m_nBest[board]) {
            bests.m_nBest[board] = static_cast<int32_t>(std::min<long long>(score, INT32_MAX));
            bestsChanged = true;
        }
    }
    if (bestsChanged)
        bests.SaveLocalBests();
    for (int d = 0; d < 3; ++d) {
        m_nIQClearPercent[d] = GetPuzzleSolvedPercent(d);
        m_nIQFirstPercent[d] = GetPuzzleFirstPercent(d);
    }
    if (kv::KVWnd* iq = GetScreen(3))
        for (const wchar_t* name : {L"Pic_icon_iq_clear_easy", L"Pic_icon_iq_clear_normal", L"Pic_icon_iq_clear_hard",
                                    L"Pic_icon_iq_allclear_easy", L"Pic_icon_iq_allclear_normal", L"Pic_icon_iq_allclear_hard"})
            MouseTransparent(iq->FindWindow(name));
    if (a >= 0 && a <= 3)
        UpdateSubMenu();
}

void VanteoMainMenuScene::UpdateUnlockButtons()
{
    for (int group = 0; group < kSubMenuCount; ++group) {
        kv::KVWnd* sub = GetScreen(group);
        if (!sub)
            continue;
        for (int i = 0;; ++i) {
            UnlockInfo* entry = GetUnlockInfo(group, i);
            if (!entry)
                break;
            std::wstring pic = kv::NarrowToWide(entry->unlockPic);
            std::wstring price = kv::NarrowToWide(entry->cubePic);
            kv::KVWnd* button = sub->FindWindow(kv::NarrowToWide(entry->btnName));
            kv::KVWnd* lock = pic.empty() ? nullptr : sub->FindWindow(pic);
            kv::KVWnd* pricePic = price.empty() ? nullptr : sub->FindWindow(price);
            kv::KVWnd* priceGray = price.empty() ? nullptr : sub->FindWindow(price + L"_gray");
            const bool bought = entry->isUnlock != 0;
            const bool affordable = GameConfig.cubes >= entry->cube;
            Show(lock, !bought);
            Show(pricePic, !bought && affordable);
            Show(priceGray, !bought && !affordable);
            if (pricePic)
                pricePic->SetMouseTransparent(true);
            if (priceGray)
                priceGray->SetMouseTransparent(true);
            if (button && button->IsEnabled() != bought)
                button->SetEnabled(bought);
        }
    }
}

void VanteoMainMenuScene::UpdateSkinHint()
{
    if (!m_pQuickMenu)
        return;
    const bool lockedSkin = !GameConfig.skin2Unlocked || !GameConfig.skin3Unlocked;
    Show(m_pQuickMenu->FindWindow(L"Pic_skins_comment"), lockedSkin && GameConfig.cubes >= 1000);
}

void VanteoMainMenuScene::UpdateSkinMarks()
{
    kv::KVWnd* main = GetScreen(kScreenMain);
    if (!main)
        return;
    for (int i = 0; i < 3; ++i) {
        wchar_t mark[32], back[32];
        std::swprintf(mark, 32, L"S%d_currentskin", i);
        std::swprintf(back, 32, L"S%d_back", i);
        kv::KVWnd* backWindow = main->FindWindow(back);
        if (!backWindow)
            continue;
        if (kv::KVWnd* current = main->FindWindow(mark)) {
            Show(current, i == GameConfig.currentSkin);
            current->SetMouseTransparent(true);
        }
        Show(backWindow, i == GameConfig.currentSkin);
    }
}

void VanteoMainMenuScene::HideSingleWindows()
{
    // The windows of the build without the game platform stay hidden.
    if (kv::KVWnd* main = GetScreen(kScreenMain))
        Show(main->FindWindow(L"Single_Anibtn_Achie"), false);
    for (int i = 0; i < kSubMenuCount; ++i) {
        kv::KVWnd* sub = GetScreen(i);
        if (!sub)
            continue;
        Show(sub->FindWindow(L"Single_Label_cmt_ranking"), false);
        Show(sub->FindWindow(L"Single_ranking_back"), false);
    }
}
