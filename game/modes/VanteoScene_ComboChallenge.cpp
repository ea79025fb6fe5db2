#include "modes/VanteoScene_ComboChallenge.h"

#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "engine/LayoutFiles.h"
#include "board/BoardEventRecorder.h"
#include "board/GameSeams.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundTable.h"
#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"
#include "kv/KVSystem.h"
#include "kv/KVVanteoAnimButton.h"
#include "kv/KVWnd.h"
#include "menus/SceneNames.h"
#include "menus/PopUpPause.h"
#include "menus/PopUpResult.h"
#include "menus/GameWorld.h"
#include "modes/ModeSceneKit.h"
#include "modes/VanteoBlockMap_Challenge.h"
#include "net/Achievements.h"
#include "net/LeaderBoard.h"
#include "net/NetGlobals.h"

#include <helvane/Log.h>
#include <win32/VirtualKeys.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

using namespace modekit;

namespace {

// Skin entries.
constexpr int kSkinLayoutCombo = 6;
constexpr int kSkinLayoutMarket = 7;
constexpr int kSkinBackLayout = 22;
constexpr int kSkinLifeIcons = 99;
// Number styles.
constexpr int kStylePlayTime = 3;
constexpr int kStyleCombo = 10;
constexpr int kStyleBest = 11;
constexpr int kStyleSecondBest = 12;
// Sound keys.
constexpr int kSoundReadyGo = 17;
constexpr int kSoundEraser = 19;
constexpr int kMusicPuzzle = 27;
constexpr int kSoundNewRecord = 66;
constexpr int kSoundGameOver = 67;
constexpr int kSoundPenaltySmall = 82;
constexpr int kSoundPenaltyBig = 83;
constexpr int kSoundMaxCombo10 = 84;
constexpr int kSoundMaxCombo100 = 85;
constexpr int kSoundPlusOne = 86;
constexpr int kSoundPlusFull = 87;

constexpr int kPauseModeChallenges = 2;
constexpr int kLastPlaceDivisor = 50;
constexpr int kComboDigits = 3;
// A game without a clear ranks by 1000000 minus its seconds, so the longer one ranks higher.
constexpr int kEmptyGameTime = 1000000;

} // namespace

VanteoScene_ComboChallenge::VanteoScene_ComboChallenge() { SetName(kComboChallengeSceneName); }

VanteoScene_ComboChallenge::~VanteoScene_ComboChallenge() { Leave(); }

VanteoBlockMap_Challenge* VanteoScene_ComboChallenge::Board() const
{
    return static_cast<VanteoBlockMap_Challenge*>(m_pBoard);
}

kv::KVWnd* VanteoScene_ComboChallenge::Window(const wchar_t* name) const
{
    kv::KVWnd* window = Find(m_pLayout, name);
    return window ? window : Find(m_pBackWindow, name);
}

kv::KVWnd* VanteoScene_ComboChallenge::MarketButton() const { return Find(m_pMarketWindow, L"market_buy_Normal"); }

int VanteoScene_ComboChallenge::ComboReached() const { return m_pBoard ? std::max(m_pBoard->combo - 1, 0) : 0; }

bool VanteoScene_ComboChallenge::GivesLife(int k) { return k > 0 && k % (k / 50 + 15) == 0; }

std::string VanteoScene_ComboChallenge::ModeKey() const
{
    const StageRecord* record = ModeConfig.currentStage;
    return std::string("PUZZLE.") + "COMBOCHAL." + (record ? record->name : "");
}

int VanteoScene_ComboChallenge::ComputeCubeReward(const void* table)
{
    return CubesForRanking(static_cast<const RankEntry*>(table), kLastPlaceDivisor);
}

void VanteoScene_ComboChallenge::ShowStartLives()
{
    m_nLives = kStartLives;
    for (int i = 0; i < kMaxLives; ++i)
        m_LifeIcons[i].Play(i <= m_nLives - 2 ? "Normal" : "Disable");
}

void VanteoScene_ComboChallenge::LoadBestCombo()
{
    char key[16];
    std::snprintf(key, sizeof key, "%d", m_nType);
    if (const RankEntry* table = FindRankingTable(RANK_COMBO, key))
        m_nBestCombo = table[0].score;
}

int VanteoScene_ComboChallenge::Enter(int type, int b)
{
    m_bEntered = false;
    m_nType = type == 6 ? 6 : kRankedType;
    LoadModeConfig(kPuzzleConfigFile);
    SelectStage(m_nType + 1);
    if (!ModeConfig.currentStage) {
        // Without its stage the board has no colours to play with: back to the menu.
        DFLog(LOG_WARN, L"Combo challenge: stage %d is missing from %hs; back to the menu", m_nType + 1,
              kPuzzleConfigFile);
        VanteoBaseScene::Enter(type, b);
        PostChangeScene(kMainMenuSceneName, -1, 0);
        return 0;
    }

    m_pLayout = LoadLayout(SkinTable.GetSkinString(kSkinLayoutCombo));
    HideAtOnce(Find(m_pLayout, m_nType == 6 ? L"Pic_combo_hard" : L"Pic_combo_easy"));
    if (m_pLayout)
        m_pLayout->SetVisible(true);
    m_nState = kGameStateStart;
    for (const wchar_t* name : {L"Pic_life_down_effect", L"Pic_effect_highlight_Large", L"Pic_effect_highlight_small",
                                L"Pic_combo_effect"})
        HideAtOnce(Find(m_pLayout, name));
    if (kv::KVWnd* reset = Find(m_pLayout, L"Anibtn_stage_reset")) {
        reset->SetVisible(true);
        SetButtonState(m_pLayout, L"Anibtn_stage_reset", 0);
        reset->SetEnabled(true);
    }

    m_pBackWindow = LoadLayout(SkinTable.GetSkinString(kSkinBackLayout));
    if (m_pBackWindow) {
        m_pBackWindow->SetVisible(true);
        m_pBackWindow->SetMouseTransparent(true);
        // Behind the board's layout (a larger layer is drawn earlier).
        m_pBackWindow->SetZOrder(1);
    }
    m_pMarketWindow = LoadLayout(SkinTable.GetSkinString(kSkinLayoutMarket));
    if (m_pMarketWindow) {
        HideAtOnce(m_pMarketWindow);
        m_pMarketWindow->SetZOrder(-1);
    }
    if (kv::KVWnd* parent = m_pLayout ? m_pLayout->GetParent() : nullptr)
        parent->SortChildrenIfDirty();
    if (kv::KVWnd* buy = MarketButton())
        buy->AddHandler(kv::EventClicked, kv::MakeHandler(this, &VanteoScene_ComboChallenge::OnMarketBuyClicked));
    m_bMarketShown = 0;
    m_bMarketCheck = 0;

    HideAtOnce(Find(m_pBackWindow, L"Wnd_point"));
    for (const wchar_t* name : {L"Pic_lastchance_back", L"Pic_lastchance_effect", L"Wnd_combo", L"Pic_life_up_effect"})
        HideAtOnce(Find(m_pLayout, name));
    if (kv::KVWnd* place = Find(m_pBackWindow, L"Pic_puzzle_place"); place && m_pLayout) {
        kv::KVPoint at = place->GetAbsolutePosition();
        m_pLayout->SetAbsolutePosition(at.x, at.y);
    }
    using S = VanteoScene_ComboChallenge;
    const struct {
        kv::KVWnd* root;
        const wchar_t* name;
        const wchar_t* event;
        void (S::*handler)(kv::EventArgs&);
    } events[] = {
        {m_pBackWindow, L"Pic_puzzle_place", kv::EventDraw, &S::DrawPlayTime},
        {m_pLayout, L"Pic_maxcombo_3", kv::EventDraw, &S::DrawBest},
        {m_pLayout, L"Pic_combo_effect_2", kv::EventDraw, &S::DrawSecondBest},
        {m_pLayout, L"Anibtn_rotate_R", kv::EventClicked, &S::OnRotateRight},
        {m_pLayout, L"Anibtn_rotate_L", kv::EventClicked, &S::OnRotateLeft},
        {m_pLayout, L"Anibtn_menu", kv::EventClicked, &S::OnMenuButton},
        {m_pLayout, L"Anibtn_combo_reset", kv::EventClicked, &S::OnResetButton},
    };
    for (const auto& e : events)
        if (kv::KVWnd* w = Find(e.root, e.name))
            w->AddHandler(e.event, kv::MakeHandler(this, e.handler));
    HideAtOnce(Find(m_pLayout, L"Pic_warning"));

    auto* board = new VanteoBlockMap_Challenge(GameBoardWorld(), GameBoardTuning);
    m_pBoard = board;
    board->Init(m_pLayout, -1, -1);
    if (kv::KVWnd* area = Find(m_pLayout, L"Wnd_PuzzleArea")) {
        kv::KVPoint at = area->GetAbsolutePosition();
        board->originX = at.x;
        board->originY = at.y;
    }
    board->NewGame();
    board->noComboMode = 1;
    if (board->comboPanel)
        board->HideComboPanel();
    m_nState = kGameStateStart;

    RestartMusic(kMusicPuzzle);
    VanteoBaseScene::Enter(type, b);
    AddHandlerEntry(MSG_RESULT_RETRY, nullptr, [this](const void*, int) { return Restart(0, 0); });
    AddHandlerEntry(MSG_RESULT_RETURN, nullptr, [this](const void* data, int length) { return OnResultReturn(data, length); });

    m_TimeDisplay.Bind(m_pBackWindow, kStylePlayTime);
    m_ClickEffect.LoadAnimations();
    PlaceDigits(m_BestDigits, m_pLayout, L"Pic_maxcombo_%d", kComboDigits, kStyleBest);
    PlaceDigits(m_SecondBestDigits, m_pLayout, L"Pic_maxcombo_now_%d", kComboDigits, kStyleSecondBest);
    PlaceDigits(m_ComboDigits, m_pLayout, L"Pic_combo_%d", kComboDigits, kStyleCombo);

    const char* lifeFile = SkinTable.GetSkinString(kSkinLifeIcons);
    for (int i = 0; i < kMaxLives; ++i) {
        m_LifeIcons[i].Load(lifeFile ? lifeFile : "");
        wchar_t name[32];
        std::swprintf(name, 32, L"Anibtn_life_%d", i + 1);
        if (kv::KVWnd* place = Find(m_pLayout, name)) {
            kv::KVPoint at = place->GetAbsolutePosition();
            D3DXMatrixTranslation(&m_LifeIcons[i].m_matWorld, at.x, at.y, 0.0f);
        }
    }
    ShowStartLives();

    m_nBestCombo = 0;
    m_nLastCombo = 0;
    ShowUI();

    m_pResultWin = new VanteoPopUp_Result_Combo_Challenge_Win();
    m_pResultLose = new VanteoPopUp_Result_Combo_Challenge_Lose();
    m_pResultWin->Load();
    m_pResultLose->Load();

    modekit::LoadReadyGo(m_ReadyGo, m_pLayout);
    m_ReadyGo.Play("readygo");
    PlayEffect(kSoundReadyGo);
    LoadBestCombo();
    m_bEntered = true;
    return 1;
}

void VanteoScene_ComboChallenge::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    modekit::DeleteBoard(m_pBoard);
    SoundTable.StopSoundByKey(kMusicPuzzle);
    for (kv::KVWnd** window : {&m_pLayout, &m_pBackWindow, &m_pMarketWindow})
        modekit::DetachWindow(*window);
    m_bMarketShown = 0;
    m_bEntered = false;
}

void VanteoScene_ComboChallenge::ShowUI()
{
    SetCursorAreas({{m_pLayout, L"Wnd_PuzzleArea", kCursorBlock},
                    {m_pLayout, L"Anibtn_combo_reset", kCursorBlock},
                    {m_pLayout, L"Anibtn_menu", kCursorButton},
                    {m_pLayout, L"Anibtn_rotate_L", kCursorButton},
                    {m_pLayout, L"Anibtn_rotate_R", kCursorButton}});
}

void VanteoScene_ComboChallenge::ShowMarketUI()
{
    SetCursorAreas({{m_pLayout, L"Wnd_PuzzleArea", kCursorBlock},
                    {m_pLayout, L"Anibtn_combo_reset", kCursorButton},
                    {m_pLayout, L"Anibtn_menu", kCursorButton},
                    {m_pLayout, L"Anibtn_rotate_L", kCursorButton},
                    {m_pLayout, L"Anibtn_rotate_R", kCursorButton},
                    {m_pMarketWindow, L"market_buy_Normal", kCursorButton}});
}

void VanteoScene_ComboChallenge::OnMenuClicked()
{
    if (m_nState != kGameStatePlaying)
        return;
    m_nState = kGameStatePaused;
    SetMouseArea();
    if (m_pPause->Open())
        m_pPause->Setup(kPauseModeChallenges, ModeKey().c_str());
}

int VanteoScene_ComboChallenge::OnPauseResume(const void*, int)
{
    m_nState = kGameStatePlaying;
    if (m_bMarketShown && m_nLives == 1)
        ShowMarketUI();
    else
        ShowUI();
    return 1;
}

void VanteoScene_ComboChallenge::OfferLife(const wchar_t* openScene, const wchar_t* closedScene, bool lastLife)
{
    kv::KVWnd* buy = MarketButton();
    if (GameConfig.cubes >= kLifePrice) {
        if (m_pMarketWindow)
            m_pMarketWindow->PlayUIScene(openScene);
        SetButtonState(m_pMarketWindow, L"market_buy_Normal", 0);
        if (buy)
            buy->SetEnabled(true);
        // The cursor points at the buy button only while the last life is in play.
        if (lastLife)
            ShowMarketUI();
        else
            ShowUI();
    } else {
        if (m_pMarketWindow)
            m_pMarketWindow->PlayUIScene(closedScene);
        if (buy)
            buy->SetEnabled(false);
    }
    if (kv::KVSystem* system = kv::KVSystem::GetPtr())
        system->Update(0.0f);
}

void VanteoScene_ComboChallenge::MarketLeaves()
{
    if (!m_bMarketShown)
        return;
    if (m_pMarketWindow)
        m_pMarketWindow->PlayUIScene(L"all_out");
    if (kv::KVSystem* system = kv::KVSystem::GetPtr())
        system->Update(0.0f);
    m_bMarketShown = 0;
}

void VanteoScene_ComboChallenge::UpdateCombo(float seconds)
{
    if (!m_pBoard)
        return;
    kv::KVSystem* system = kv::KVSystem::GetPtr();
    if (m_bMarketShown && m_bMarketCheck && !(m_pMarketWindow && m_pMarketWindow->IsUIScenePlaying())) {
        OfferLife(L"market_open_on", L"market_open_off", true);
        m_bMarketCheck = 0;
    }
    const int combo = m_pBoard->combo;
    if (combo != m_nLastCombo) {
        m_nLastCombo = combo;
        if (combo > 1) {
            if ((combo - 1) % 100 == 0) {
                PlayEffect(kSoundMaxCombo100);
                ShowAndStart(Find(m_pLayout, L"Pic_effect_highlight_Large"));
                if (!m_bMarketShown && m_pMarketWindow) {
                    m_pMarketWindow->SetVisible(true);
                    m_pMarketWindow->PlayUIScene(L"market_in");
                    RestartFirstUIScene(Find(m_pMarketWindow, L"market_ufo_in"));
                    ShowAndStart(Find(m_pMarketWindow, L"market_ufo_in"));
                    if (system)
                        system->Update(0.0f);
                    m_bMarketShown = 1;
                    if (kv::KVWnd* buy = MarketButton())
                        buy->SetEnabled(false);
                    m_bMarketCheck = m_nLives == 1 ? 1 : 0;
                }
            }
            ShowAndStart(Find(m_pLayout, L"Pic_combo_effect"));
        }
        if (m_nBestCombo < combo - 1) {
            if (kv::KVWnd* wnd = Find(m_pLayout, L"Wnd_combo"))
                wnd->SetVisible(true);
            ShowAndStart(Find(m_pLayout, L"Pic_combo_effect_2"));
            m_nBestCombo = combo - 1;
        }
    }
    if (m_nLives == 0) {
        // A guard: losing the last life has already ended the game.
        PayloadWriter().PostTo(GetSceneQueueSink(), MSG_GAME_WIN);
        return;
    }
    m_BestDigits.m_dwColour = WindowColour(Find(m_pLayout, L"Pic_maxcombo_1"));
    m_SecondBestDigits.m_dwColour = WindowColour(Find(m_pLayout, L"Pic_maxcombo_now_1"));
    m_BestDigits.SetValue(m_nBestCombo);
    m_SecondBestDigits.SetValue(m_nBestCombo);
    m_ComboDigits.SetValue(combo - 1);
    m_BestDigits.Update(seconds);
    m_SecondBestDigits.Update(seconds);
    m_ComboDigits.Update(seconds);
}

void VanteoScene_ComboChallenge::ChangeLives(int delta)
{
    const int before = m_nLives;
    const int after = std::clamp(before + delta, 0, kMaxLives);
    if (after > before) {
        if (before >= 1)
            m_LifeIcons[before - 1].Play("Up");
        ShowAndStart(Find(m_pLayout, L"Pic_life_up_effect"));
        PlayEffect(after == kMaxLives ? kSoundPlusFull : kSoundPlusOne);
        PlayEffect(kSoundMaxCombo10);
        ShowAndStart(Find(m_pLayout, L"Pic_effect_highlight_small"));
        if (before == 1 && m_bMarketShown) {
            ShowUI();
            OfferLife(L"market_close_on", L"market_close_off", false);
        }
    } else if (after > 0 && after < before) {
        m_LifeIcons[after - 1].Play("Down");
        ShowAndStart(Find(m_pLayout, L"Pic_life_down_effect"));
    }
    if (after == 1 && before != 1) {
        if (kv::KVWnd* back = Find(m_pLayout, L"Pic_lastchance_back"))
            back->SetVisible(true);
        ShowAndStart(Find(m_pLayout, L"Pic_lastchance_effect"));
        if (m_bMarketShown)
            OfferLife(L"market_open_on", L"market_open_off", true);
        ShowAndStart(Find(m_pLayout, L"Pic_warning"));
    } else {
        for (const wchar_t* name : {L"Pic_lastchance_back", L"Pic_warning"})
            if (IsShown(Find(m_pLayout, name)))
                HideAtOnce(Find(m_pLayout, name));
    }
    m_nLives = after;
    if (delta < 0 && after > 0)
        PlayEffect(after == 1 ? kSoundPenaltyBig : kSoundPenaltySmall);
    if (m_nLives == 0)
        PayloadWriter().PostTo(GetSceneQueueSink(), MSG_GAME_LOSE);
}

int VanteoScene_ComboChallenge::OnBlockClicked(const void* data, int length)
{
    VanteoBaseScene::OnBlockClicked(data, length);
    if (!m_pBoard || m_nState == kGameStateFinished)
        return 1;
    const int col = MessageWord(data, length, 1), row = MessageWord(data, length, 2), kind = MessageWord(data, length, 3);
    const int present = MessageWord(data, length, 4), pin = MessageWord(data, length, 5), fixedFlag = MessageWord(data, length, 6);
    if (pin) {
        const int n = m_pBoard->ClearSameKindNear(col, row, kind);
        const BoardTuning& tuning = m_pBoard->tuning;
        m_pBoard->refillSpeed = std::min(10.0f * static_cast<float>(n) + tuning.refillSpeed, tuning.maxRefillSpeed);
        PlayEffect(kSoundEraser);
    } else if (present && kind >= 1 && kind < 4 && !fixedFlag) {
        ChangeLives(-1);
        CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
        m_ClickEffect.Add(BlockClickEffect::kCombo, mouse ? static_cast<float>(mouse->m_x) : 0.0f,
                          mouse ? static_cast<float>(mouse->m_y) : 0.0f);
    }
    return 1;
}

int VanteoScene_ComboChallenge::OnGroupCleared(const void* data, int length)
{
    VanteoBaseScene::OnGroupCleared(data, length);
    if (!m_pBoard)
        return 1;
    if (GivesLife(ComboReached()))
        ChangeLives(+1);
    for (int colour = 0; colour < 3; ++colour) {
        m_pBoard->bulletTotals[colour] = std::max(m_pBoard->bulletTotals[colour] - m_pBoard->bullets[colour], 0);
        m_pBoard->bullets[colour] = 0;
    }
    return 1;
}

void VanteoScene_ComboChallenge::OnMarketBuyClicked(kv::EventArgs&)
{
    if (!m_bMarketShown || GameConfig.cubes < kLifePrice)
        return;
    if (m_pMarketWindow) {
        m_pMarketWindow->PlayUIScene(L"market_buy");
        ShowAndStart(Find(m_pMarketWindow, L"market_ufo_out"));
        ShowAndStart(Find(m_pMarketWindow, L"market_hand"));
    }
    if (kv::KVSystem* system = kv::KVSystem::GetPtr())
        system->Update(0.0f);
    ShowUI();
    m_bMarketShown = 0;
    GameConfig.cubes -= kLifePrice;
    ChangeLives(+1);
    SaveGameConfig();
}

void VanteoScene_ComboChallenge::EnterRanking()
{
    if (!m_pBoard)
        return;
    char key[16];
    std::snprintf(key, sizeof key, "%d", m_nType);
    const int clock = static_cast<int>(m_pBoard->playTime);
    const int time = m_pBoard->combo == 1 ? kEmptyGameTime - clock : clock;
    InsertRankingScore(RANK_COMBO, key, ComboReached(), time);
    SaveRanking();
}

int VanteoScene_ComboChallenge::EndGame(bool won)
{
    GetBoardEventRecorder().FinishRecording(nullptr);
    if (m_nState == kGameStateFinished || !m_pBoard)
        return 0;
    if (won)
        PlayEffect(kSoundNewRecord);
    m_pBoard->frozen = 1;
    m_nState = kGameStateFinished;
    SoundTable.StopSoundByKey(kMusicPuzzle);
    EnterRanking();
    MarketLeaves();

    char key[16];
    std::snprintf(key, sizeof key, "%d", m_nType);
    RankEntry* table = FindRankingTable(RANK_COMBO, key);
    const bool lastPlace = table && table[RankingTable::kPlaces - 1].isNew;
    VanteoPopUp_Result* popUp = (!won && lastPlace) ? m_pResultLose : m_pResultWin;
    popUp->SetShowSound(popUp == m_pResultLose ? kSoundGameOver : kSoundNewRecord);
    popUp->Open();
    SetMouseArea();
    const int cubes = ComputeCubeReward(table);
    AddCubesAndSave(cubes);
    popUp->FillRanking(ModeKey().c_str(), table, cubes);
    if (m_nType == kRankedType)
        RaiseLeaderBoardBest(LB_COMBO, ComboReached());
    return 0;
}

int VanteoScene_ComboChallenge::OnGameLose(const void*, int) { return EndGame(false); }

int VanteoScene_ComboChallenge::OnGameWin(const void*, int) { return EndGame(true); }

int VanteoScene_ComboChallenge::Restart(int a, int b)
{
    if (m_ReadyGo.m_bPlaying || !m_pBoard)
        return 0;
    VanteoBaseScene::Restart(a, b);
    MarketLeaves();
    m_nState = kGameStateStart;
    m_pBoard->NewGame();
    if (m_pLayout)
        m_pLayout->SetVisible(true);
    HideAtOnce(Find(m_pLayout, L"Pic_warning"));
    RestartMusic(kMusicPuzzle);
    m_nBestCombo = 0;
    m_nLastCombo = 0;
    ShowStartLives();
    LoadBestCombo();
    ShowUI();
    m_ReadyGo.Play("readygo");
    m_nState = kGameStateStart;
    PlayEffect(kSoundReadyGo);
    for (const wchar_t* name : {L"Pic_lastchance_back", L"Pic_lastchance_effect", L"Wnd_combo", L"Pic_life_up_effect"})
        HideAtOnce(Find(m_pLayout, name));
    return 1;
}

int VanteoScene_ComboChallenge::GoToMenu()
{
    if (m_nState != kGameStateFinished)
        EnterRanking();
    PostChangeScene(kMainMenuSceneName, 0, 0);
    return 0;
}

int VanteoScene_ComboChallenge::OnResultReturn(const void*, int)
{
    if (m_nState != kGameStateFinished)
        EnterRanking();
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(kMainMenuSceneName, 0, 0);
    return 1;
}

int VanteoScene_ComboChallenge::Update(float seconds)
{
    m_pExitQuestion->Update(seconds);
    m_pPause->Update(seconds);
    g_Mouse.Update(seconds);
    kv::KVSystem* system = kv::KVSystem::GetPtr();
    if (!m_pBoard)
        return 1;

    if (m_nState != kGameStateFinished && (KeyPressed(VK_ESCAPE) || KeyPressed(VK_BACK))) {
        if (m_nState == kGameStatePaused)
            ResumePlay();
        else
            OnMenuClicked();
    }
    modekit::FillBulletsWhileEnterHeld(m_pBoard);
    if (m_pResultWin)
        m_pResultWin->Update(seconds);
    if (m_pResultLose)
        m_pResultLose->Update(seconds);

    switch (m_nState) {
    case kGameStateStart:
        m_ReadyGo.Update(seconds);
        m_pBoard->Update(seconds);
        m_pBoard->playTime = 0.0f;
        if (system)
            system->Update(seconds);
        UpdateCombo(seconds);
        if (!m_ReadyGo.m_bPlaying)
            m_nState = kGameStatePlaying;
        break;
    case kGameStatePaused:
        m_pBoard->Update(0.0f);
        if (system)
            system->Update(seconds);
        if (modekit::PauseKeys(*m_pPause))
            return 1;
        break;
    case kGameStateFinished:
        m_pBoard->Update(seconds);
        if (system)
            system->Update(seconds);
        break;
    default:
        UpdateCombo(seconds);
        if (KeyPressed('R')) {
            SetButtonState(m_pLayout, L"Anibtn_combo_reset", 1);
            Restart(0, 0);
            break;
        }
        if (system)
            system->Update(seconds);
        UpdateBonusMessage(seconds);
        m_pBoard->Update(seconds);
        if (m_nState == kGameStatePlaying)
            modekit::PlayBoardInput(*m_pBoard, m_pLayout);
        break;
    }

    const float clock = m_pBoard->playTime;
    m_TimeDisplay.m_nFirst = static_cast<int>(clock / 60.0f);
    m_TimeDisplay.m_nSecond = static_cast<int>(clock) % 60;
    m_TimeDisplay.Update(seconds);
    for (AnimationPlayer& icon : m_LifeIcons)
        icon.Update(seconds);
    if (g_pAchievements)
        g_pAchievements->CheckMaxCombo();
    m_ClickEffect.Update(seconds);
    return 1;
}

void VanteoScene_ComboChallenge::DrawLivesAndCombo(bool best)
{
    (best ? m_BestDigits : m_SecondBestDigits).Render();
    m_ComboDigits.Render();
    for (AnimationPlayer& icon : m_LifeIcons)
        icon.Draw(&icon.m_matWorld);
}

int VanteoScene_ComboChallenge::Render()
{
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    m_ReadyGo.Draw(&m_ReadyGo.m_matWorld);
    DrawBonusMessage();
    m_ClickEffect.Draw(nullptr);
    g_Mouse.Draw();
    return 1;
}

void VanteoScene_ComboChallenge::DrawPlayTime(kv::EventArgs&) { m_TimeDisplay.Draw(); }

void VanteoScene_ComboChallenge::DrawBest(kv::EventArgs&) { DrawLivesAndCombo(true); }

void VanteoScene_ComboChallenge::DrawSecondBest(kv::EventArgs&) { DrawLivesAndCombo(false); }

void VanteoScene_ComboChallenge::OnRotateRight(kv::EventArgs&)
{
    if (m_pBoard)
        m_pBoard->StartRotate(+1);
}

void VanteoScene_ComboChallenge::OnRotateLeft(kv::EventArgs&) { OnRotateLeftButton(); }

void VanteoScene_ComboChallenge::OnMenuButton(kv::EventArgs&) { OnMenuClicked(); }

void VanteoScene_ComboChallenge::OnResetButton(kv::EventArgs&)
{
    if (m_nState == kGameStatePlaying)
        Restart(0, 0);
}
