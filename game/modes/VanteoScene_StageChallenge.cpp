#include "modes/VanteoScene_StageChallenge.h"

#include "data/GameDataXml.h"
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "engine/LayoutFiles.h"
#include "board/VanteoBlockMap.h"
#include "engine/RenderBackend.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"
#include "kv/KVDirector.h"
#include "kv/KVEventArgs.h"
#include "kv/KVLabel.h"
#include "kv/KVObject.h"
#include "kv/KVPicture.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/SceneNames.h"
#include "menus/PopUpPause.h"
#include "menus/PopUpResult.h"
#include "modes/ClearEffect_StageChallenge.h"
#include "menus/GameWorld.h"
#include "modes/ModeSceneKit.h"
#include "net/Achievements.h"
#include "net/AchievementsSteam.h"
#include "net/NetGlobals.h"

#include <helvane/Log.h>
#include <win32/Text.h>
#include <win32/VirtualKeys.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using modekit::DetachWindow;
using modekit::Find;

constexpr int kPauseModeChallenges = 2;
constexpr int kBoardLayoutSizes[6] = {4, 6, 8, 10, 12, 14};
constexpr int kMaxGrid = 14;
constexpr int kMinGrid = 2;
constexpr int kSpeedUpEffectValue = 21;
constexpr float kSpeedUpX = 280.0f;
constexpr float kSpeedUpY = 105.0f;
constexpr int kStarBlastPoints = 100;
constexpr int kStarBlastKind = 3;
// Digit styles.
constexpr int kStyleTime = 13;
constexpr int kStyleCountdown = 14;
constexpr int kStyleGoal = 15;
constexpr int kStyleCurrent = 16;
constexpr int kStyleBestStage = 22;
constexpr int kStyleStage = 23;
constexpr int kCubesByPlace[5] = {12, 9, 8, 7, 5};
constexpr int kCubesLastPlace = 2;

const wchar_t* const kLights[3] = {L"Pic_bezier_light_1", L"Pic_bezier_light_2", L"Pic_bezier_light_3"};

std::wstring Numbered(const wchar_t* pattern, int n) { return pattern + std::to_wstring(n); }

// The skin entry of the board layout for a board size: 4 to 14 by steps of 2, any other the first.
int BoardLayoutEntry(int xGrid)
{
    for (int i = 0; i < 6; ++i)
        if (kBoardLayoutSizes[i] == xGrid)
            return VanteoScene_StageChallenge::kSkinFirstBoardLayout + i;
    return VanteoScene_StageChallenge::kSkinFirstBoardLayout;
}

void HideNow(kv::KVWnd* window)
{
    if (window && window->IsVisible() && !window->IsHiding())
        window->SetVisible(false);
}

// Stops a picture's own animation.
void StopPicture(kv::KVWnd* window)
{
    auto* picture = dynamic_cast<kv::KVPicture*>(window);
    kv::KVDirector* director = picture ? picture->GetPictureDirector() : nullptr;
    if (director && director->currentScene)
        director->currentScene->Stop();
}

void PlayPictureDefault(kv::KVWnd* window)
{
    if (auto* picture = dynamic_cast<kv::KVPicture*>(window))
        picture->PlayScene(L"");
}

bool PictureScenePlaying(kv::KVWnd* window)
{
    auto* picture = dynamic_cast<kv::KVPicture*>(window);
    return picture && picture->IsScenePlaying();
}

void RestoreVolumes()
{
    if (DXSoundServer* server = DXSoundServer::GetSingletonPtr()) {
        server->RestoreEffectsVolume();
        server->RestoreMusicVolume();
    }
}

} // namespace

VanteoScene_StageChallenge::VanteoScene_StageChallenge() { SetName(kStageChallengeSceneName); }

VanteoScene_StageChallenge::~VanteoScene_StageChallenge() { Leave(); }

// --- rules ----------------------------------------------------------------------------------------

int VanteoScene_StageChallenge::TimeLimitFor(int difficulty, int clearTime)
{
    if (difficulty != 0)
        return clearTime;
    return static_cast<int>(static_cast<float>(clearTime) * 1.2f);
}

int VanteoScene_StageChallenge::GoalFor(int difficulty, int clearNum)
{
    int goal = difficulty != 0 ? clearNum : static_cast<int>(static_cast<float>(clearNum) * 0.8f);
    // A goal of 0 could never be crossed, and combo flights divide by it.
    return std::max(goal, 1);
}

int VanteoScene_StageChallenge::GetBestReachedStage(int difficulty)
{
    const int board = difficulty == 0 ? kBoardEasy : kBoardHard;
    for (int stage = 0; stage < kStageChallengeStages; ++stage) {
        const RankEntry* places = FindRankingTable(board, std::to_string(stage).c_str());
        if (!places)
            return stage;
        // A placeholder place bears the player's name too, with the score -1, and so does a
        // time-out: only a won place (score 0 or more) counts as the stage reached.
        bool won = false;
        for (int p = 0; p < 5 && !won; ++p)
            won = std::strcmp(places[p].name, kLocalPlayerName) == 0 && places[p].score >= 0;
        if (!won)
            return stage;
    }
    return kStageChallengeStages;
}

int VanteoScene_StageChallenge::CubeRewardFor(const RankEntry* table)
{
    if (!table)
        return 0;
    int place = -1;
    for (int p = 0; p < RankingTable::kPlaces && place < 0; ++p)
        if (table[p].isNew)
            place = p;
    if (place < 0)
        return 0;
    if (place == RankingTable::kPlaces - 1)
        return kCubesLastPlace;
    int reward = kCubesByPlace[place];
    if (std::strcmp(table[place + 1].name, kLocalPlayerName) == 0)
        reward /= 2;
    return reward;
}

int VanteoScene_StageChallenge::ComputeCubeReward(const void* table)
{
    return CubeRewardFor(static_cast<const RankEntry*>(table));
}

std::string VanteoScene_StageChallenge::ModeKey(int difficulty, const char* stageName)
{
    std::string inner = std::string(difficulty == 0 ? "STAGECHAL.EASY." : "STAGECHAL.HARD.") + (stageName ? stageName : "");
    return "PUZZLE." + inner;
}

std::string VanteoScene_StageChallenge::CurrentModeKey() const
{
    const StageRecord* record = ModeConfig.currentStage;
    return ModeKey(m_nDifficulty, record ? record->name : "");
}

// --- set-up ----------------------------------------------------------------------------------------

const StageRecord* VanteoScene_StageChallenge::SelectPlayableStage()
{
    SelectStage(m_nStage + 1);
    const StageRecord* record = ModeConfig.currentStage;
    if (m_nStage < 0 || m_nStage >= kStageChallengeStages || !record || record->xGrid < kMinGrid ||
        record->xGrid > kMaxGrid || record->yGrid < kMinGrid || record->yGrid > kMaxGrid ||
        (record->clearType != kGoalPoints && record->clearType != kGoalCombo)) {
        DFLog(LOG_WARN, L"Stage challenge: stage %d is missing from %hs or has no goal; back to the menu", m_nStage,
              kStageChallengeConfigFile);
        return nullptr;
    }
    return record;
}

void VanteoScene_StageChallenge::LoadBackWindow()
{
    m_pBackWindow = LoadLayout(SkinTable.GetSkinString(m_nGoalType == kGoalCombo ? kSkinComboBack : kSkinPointBack));
    if (!m_pBackWindow)
        return;
    m_pBackWindow->SetVisible(true);
    m_pBackWindow->SetMouseTransparent(true);
    HideNow(Find(m_pBackWindow, L"Pic_time_countdown"));
}

void VanteoScene_StageChallenge::LoadBoardWindow(const StageRecord& record)
{
    m_pBoardWindow = LoadLayout(SkinTable.GetSkinString(BoardLayoutEntry(record.xGrid)));
    if (m_pBoardWindow)
        m_pBoardWindow->SetVisible(true);
}

void VanteoScene_StageChallenge::HideTitlesAndWarning()
{
    HideNow(Find(m_pBoardWindow, L"Wnd_title_puzzle"));
    HideNow(Find(m_pBoardWindow, m_nDifficulty == 0 ? L"Wnd_title_stage_hard" : L"Wnd_title_stage_easy"));
    HideNow(Find(m_pBoardWindow, L"Pic_warning"));
}

void VanteoScene_StageChallenge::PlaceBoardWindow()
{
    kv::KVPoint at{0.0f, 0.0f};
    if (kv::KVWnd* place = Find(m_pBackWindow, L"Pic_puzzle_place"))
        at = place->GetAbsolutePosition();
    if (m_pBoardWindow)
        m_pBoardWindow->SetAbsolutePosition(at.x, at.y);
    // The goal layout lies over the board: a smaller layer is drawn later.
    if (m_pBackWindow) {
        m_pBackWindow->SetZOrder(-1);
        if (kv::KVWnd* parent = m_pBackWindow->GetParent())
            parent->SortChildrenIfDirty();
    }
}

void VanteoScene_StageChallenge::BindWindowHandlers()
{
    using S = VanteoScene_StageChallenge;
    m_TimeDisplay.Bind(m_pBackWindow, kStyleTime);
    auto bind = [this](kv::KVWnd* root, const wchar_t* name, const wchar_t* event, void (S::*handler)(kv::EventArgs&)) {
        if (kv::KVWnd* w = Find(root, name))
            w->AddHandler(event, kv::MakeHandler(this, handler));
    };
    bind(m_pBackWindow, L"layer_num", kv::EventDraw, &S::DrawNumbers);
    bind(m_pBackWindow, L"Label_countdown", kv::EventDraw, &S::DrawCountdown);
    bind(m_pBackWindow, L"layer_particle", kv::EventDraw, &S::DrawStarEffect);
    bind(m_pBoardWindow, L"Anibtn_rotate_R", kv::EventClicked, &S::OnRotateRight);
    bind(m_pBoardWindow, L"Anibtn_rotate_L", kv::EventClicked, &S::OnRotateLeft);
    bind(m_pBoardWindow, L"Anibtn_menu", kv::EventClicked, &S::OnMenuButton);
    bind(m_pBoardWindow, L"Anibtn_stage_reset", kv::EventClicked, &S::OnStageResetButton);
}

void VanteoScene_StageChallenge::CreateBoard(const StageRecord& record)
{
    delete m_pBoard;
    m_pBoard = new VanteoBlockMap(GameBoardWorld(), GameBoardTuning);
    m_pBoard->Init(m_pBoardWindow, record.xGrid, record.yGrid);
}

void VanteoScene_StageChallenge::StartNewBoardGame()
{
    kv::KVWnd* area = Find(m_pBoardWindow, L"Wnd_PuzzleArea");
    if (!m_pBoard || !area)
        return;
    kv::KVPoint at = area->GetAbsolutePosition();
    m_pBoard->originX = at.x;
    m_pBoard->originY = at.y;
    m_pBoard->NewGame();
}

void VanteoScene_StageChallenge::ReplaceStarEffect()
{
    m_pStarEffect.reset();
    if (m_pBoard) {
        m_pBoard->noComboMode = m_nGoalType == kGoalCombo ? 1 : 0;
        if (m_pBoard->comboPanel)
            m_pBoard->HideComboPanel();
    }
    if (m_nGoalType == kGoalCombo)
        m_pStarEffect = std::make_unique<ClearEffect_StageChallenge_Combo>();
    else
        m_pStarEffect = std::make_unique<ClearEffect_StageChallenge>();
}

// A display at its places: leading zeros, depth 0, the colour of the last place's label.
static void PlaceDisplay(PlacedDigitDisplay& display, int count, int style, const PlacedDigitDisplay::Position* places,
                         kv::KVWnd* lastPlace)
{
    display.Create(count, style, places);
    display.m_fX = static_cast<float>(places[0].x);
    display.m_fY = static_cast<float>(places[0].y);
    display.m_fZ = 0.0f;
    display.m_bLeadingZeros = 1;
    auto* label = dynamic_cast<kv::KVLabel*>(lastPlace);
    display.m_dwColour = label ? label->colour : 0xFFFFFFFF;
}

void VanteoScene_StageChallenge::CreatePlaced(PlacedDigitDisplay& display, int count, int style, const wchar_t* pattern)
{
    std::vector<PlacedDigitDisplay::Position> places;
    for (int n = 1; n <= count; ++n) {
        kv::KVWnd* place = Find(m_pBackWindow, Numbered(pattern, n).c_str());
        if (!place) {
            DFLog(LOG_WARN, L"Stage challenge: the goal layout lacks %ls%d; its number is not shown", pattern, n);
            display.Create(0, style, nullptr);
            return;
        }
        kv::KVPoint at = place->GetAbsolutePosition();
        places.push_back({static_cast<int>(at.x), static_cast<int>(at.y)});
    }
    PlaceDisplay(display, count, style, places.data(), Find(m_pBackWindow, Numbered(pattern, count).c_str()));
}

void VanteoScene_StageChallenge::SetupStageNumbers()
{
    CreatePlaced(m_BestStageDisplay, 2, kStyleBestStage, L"Pic_beststage_");
    CreatePlaced(m_StageDisplay, 2, kStyleStage, L"Pic_currentstage_");
    m_nBestReached = GetBestReachedStage(m_nDifficulty);
    m_BestStageDisplay.SetValue(std::min(m_nBestReached + 1, kStageChallengeStages));
}

void VanteoScene_StageChallenge::SetupCountdown()
{
    kv::KVWnd* place = Find(m_pBackWindow, L"Label_countdown");
    if (!place)
        return;
    kv::KVPoint at = place->GetAbsolutePosition();
    const PlacedDigitDisplay::Position position{static_cast<int>(at.x), static_cast<int>(at.y)};
    PlaceDisplay(m_CountdownDisplay, 1, kStyleCountdown, &position, place);
}

// Sets a display to 0 at once, then lets it count towards later values.
static void ZeroThenRoll(PlacedDigitDisplay& display)
{
    display.m_bCounting = 0;
    display.SetValue(0);
    display.Update(0.0f);
    display.m_bCounting = 1;
}

void VanteoScene_StageChallenge::SetupPointGoal(const StageRecord& record)
{
    m_nTimeLimit = TimeLimitFor(m_nDifficulty, record.clearTime);
    m_nPointGoal = GoalFor(m_nDifficulty, record.clearNum);
    m_nComboGoal = m_nComboValue = m_nPointValue = 0;
    CreatePlaced(m_PointGoalDisplay, 6, kStyleGoal, L"Pic_point_goal_");
    CreatePlaced(m_PointDisplay, 6, kStyleCurrent, L"Pic_point_current_");
    for (int i = 0; i < 3; ++i)
        m_PointDisplay.m_nSoundKeys[i] = kSoundPointUp1 + i;
    ZeroThenRoll(m_PointDisplay);
    SetupCountdown();
}

void VanteoScene_StageChallenge::SetupComboGoal(const StageRecord& record)
{
    m_nTimeLimit = TimeLimitFor(m_nDifficulty, record.clearTime);
    m_nComboGoal = GoalFor(m_nDifficulty, record.clearNum);
    m_nComboValue = m_nPointGoal = m_nPointValue = 0;
    CreatePlaced(m_ComboGoalDisplay, 3, kStyleGoal, L"Pic_combo_goal_");
    for (const wchar_t* name : {L"Pic_stage_combo_on", L"Pic_stage_combo_off"}) {
        kv::KVWnd* picture = Find(m_pBackWindow, name);
        StopPicture(picture);
        HideNow(picture);
    }
    CreatePlaced(m_ComboDisplay, 3, kStyleCurrent, L"Pic_combo_current_");
    for (int& key : m_ComboDisplay.m_nSoundKeys)
        key = kSoundComboUp;
    ZeroThenRoll(m_ComboDisplay);
    SetupCountdown();
}

void VanteoScene_StageChallenge::MeasureGauge()
{
    m_pGaugeWindow = Find(m_pBackWindow, L"WndEx_gauge");
    m_fGaugeFill = m_fGaugeTarget = 0.0f;
    if (!m_pGaugeWindow || m_fGaugeHeight >= 0.0f)
        return;
    m_fGaugeHeight = m_pGaugeWindow->GetHeight();
    m_fGaugeBase = 0.0f;
    kv::KVPoint at = m_pGaugeWindow->GetPosition();
    m_fGaugeX = at.x;
    m_fGaugeY = at.y;
    SetGaugeHeight();
}

void VanteoScene_StageChallenge::SetGaugeHeight()
{
    if (!m_pGaugeWindow || m_fGaugeHeight < 0.0f)
        return;
    const float height = m_fGaugeBase + m_fGaugeFill;
    m_pGaugeWindow->SetSize(m_pGaugeWindow->GetWidth(), height);
    m_pGaugeWindow->SetPosition(m_fGaugeX, m_fGaugeY + m_fGaugeHeight - height);
    // The gauge's picture keeps its own size: it is squeezed to the fill, and an empty gauge
    // shows nothing.
    m_pGaugeWindow->SetScale(1.0f, m_fGaugeHeight > 0.0f ? height / m_fGaugeHeight : 0.0f);
    m_pGaugeWindow->SetVisibleFlag(height >= 1.0f);
}

void VanteoScene_StageChallenge::HideLights()
{
    for (const wchar_t* name : kLights) {
        kv::KVWnd* light = Find(m_pBackWindow, name);
        StopPicture(light);
        HideNow(light);
    }
}

void VanteoScene_StageChallenge::PlayReadyGo()
{
    if (kv::KVWnd* area = Find(m_pBoardWindow, L"Wnd_ComboArea")) {
        kv::KVRect r = area->GetAbsoluteRect();
        D3DXMatrixTranslation(&m_ReadyGo.m_matWorld, (r.left + r.right) / 2.0f, (r.top + r.bottom) / 2.0f, 0.0f);
    }
    m_ReadyGo.Play("readygo");
    modekit::PlayEffect(kSoundReadyGo);
}

int VanteoScene_StageChallenge::Enter(int difficulty, int stage)
{
    m_bEntered = false;
    m_nDifficulty = difficulty;
    LoadModeConfig(kStageChallengeConfigFile);
    m_nBestReached = GetBestReachedStage(m_nDifficulty);
    m_nStage = stage;
    g_nStageChallengeStage = stage;
    const StageRecord* record = SelectPlayableStage();
    if (!record) {
        // The handler table takes the change-scene message in the scene's first frame.
        VanteoBaseScene::Enter(difficulty, stage);
        modekit::PostChangeScene(kMainMenuSceneName, 0, 0);
        return 0;
    }
    m_nGoalType = record->clearType;

    LoadBackWindow();
    LoadBoardWindow(*record);
    HideTitlesAndWarning();
    SetupStageNumbers();
    if (m_nGoalType == kGoalPoints)
        SetupPointGoal(*record);
    else
        SetupComboGoal(*record);
    PlaceBoardWindow();
    MeasureGauge();
    m_nState = kGameStateStart;
    SetMouseArea();
    BindWindowHandlers();

    CreateBoard(*record);
    if (kv::KVWnd* area = Find(m_pBoardWindow, L"Wnd_PuzzleArea")) {
        kv::KVPoint at = area->GetAbsolutePosition();
        m_pBoard->originX = at.x;
        m_pBoard->originY = at.y;
    }
    ReplaceStarEffect();
    m_nState = kGameStateStart;
    SetMouseArea();
    modekit::RestartMusic(kMusicPuzzle);

    VanteoBaseScene::Enter(difficulty, stage);
    using S = VanteoScene_StageChallenge;
    auto bind = [this](int32_t id, int (S::*handler)(const void*, int)) {
        BindMessage(id, static_cast<int (VanteoBaseScene::*)(const void*, int)>(handler));
    };
    bind(MSG_NEXT_STAGE, &S::AdvanceStage);
    bind(MSG_RESULT_NEXT, &S::AdvanceStage);
    bind(MSG_RESULT_RETRY, &S::OnResultRetry);
    bind(MSG_RESULT_RETURN, &S::OnResultReturn);
    bind(MSG_COMBO_BREAK, &S::OnComboBreak);

    m_nDifficulty = difficulty;
    m_nScore = 0;
    DeleteResultPopUps();
    m_pResultWin = new VanteoPopUp_Result_Stage_Challenge_Win();
    m_pResultLose = new VanteoPopUp_Result_Stage_Challenge_Lose();
    m_pResultWin->Load();
    m_pResultLose->Load();

    m_StageStart.Load();
    m_StageStart.Setup(m_nStage);
    m_StageStart.Open();
    HideLights();
    const char* readyGo = SkinTable.GetSkinString(kSkinReadyGo);
    m_ReadyGo.Load(readyGo ? readyGo : "");
    m_nBackdrop = GetRenderBackend().GetTextureHandle(kBackdrop, true);
    m_bNewGameStarted = false;
    m_bEntered = true;
    return 1;
}

void VanteoScene_StageChallenge::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    m_pStarEffect.reset();
    delete m_pBoard;
    m_pBoard = nullptr;
    SoundTable.StopSoundByKey(kMusicPuzzle);
    DetachWindow(m_pBoardWindow);
    DetachWindow(m_pBackWindow);
    m_pGaugeWindow = nullptr;
    m_fGaugeHeight = -1.0f;
    if (m_StageStart.m_pWindow) {
        kv::KVWnd* banner = m_StageStart.m_pWindow;
        m_StageStart.m_pWindow = nullptr;
        DetachWindow(banner);
    }
    m_bEntered = false;
}

// --- play ---------------------------------------------------------------------------------------------

void VanteoScene_StageChallenge::ShowUI()
{
    g_Mouse.m_bVisible = 1;
    g_Mouse.ClearRects();
    if (kv::KVWnd* area = Find(m_pBoardWindow, L"Wnd_PuzzleArea"))
        g_Mouse.AddWidgetRect(area, kCursorBlock);
    for (const wchar_t* name : {L"Anibtn_menu", L"Anibtn_rotate_L", L"Anibtn_rotate_R", L"Anibtn_stage_reset"})
        if (kv::KVWnd* button = Find(m_pBoardWindow, name))
            g_Mouse.AddWidgetRect(button, kCursorButton);
}

int VanteoScene_StageChallenge::Update(float seconds)
{
    if (!m_bNewGameStarted) {
        if (m_pBoard)
            m_pBoard->NewGame();
        m_bNewGameStarted = true;
    }
    if (m_pStarEffect)
        m_pStarEffect->Update(seconds);
    m_pExitQuestion->Update(seconds);
    m_pPause->Update(seconds);
    g_Mouse.Update(seconds);
    kv::KVSystem* system = kv::KVSystem::GetPtr();

    if (m_nState != kGameStateFinished && (modekit::KeyPressed(VK_ESCAPE) || modekit::KeyPressed(VK_BACK))) {
        if (m_nState == kGameStatePaused)
            ResumeFromPause();
        else
            OpenPauseMenu();
    }
    modekit::FillBulletsWhileEnterHeld(m_pBoard);
    UpdateGoalAndTime(seconds);

    bool frameEnds = false;
    if (m_nState == kGameStateStart) {
        if (m_pBoard) {
            m_pBoard->Update(seconds);
            m_pBoard->playTime = 0.0f;
        }
        if (system)
            system->Update(seconds);
        m_ReadyGo.Update(seconds);
        if (!m_StageStart.IsOpen() && !m_ReadyGo.m_bPlaying) {
            m_nState = kGameStatePlaying;
            ShowUI();
        }
    } else if (m_nState == kGameStatePaused) {
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        if (system)
            system->Update(seconds);
        frameEnds = modekit::PauseKeys(*m_pPause);
    } else if (m_nState == kGameStateFinished) {
        if (system)
            system->Update(seconds);
        UpdateBonusMessage(seconds);
        if (m_pBoard)
            m_pBoard->Update(seconds);
    } else {
        if (modekit::KeyPressed('R')) {
            modekit::SetButtonState(m_pBoardWindow, L"Anibtn_stage_reset", 1);
            Restart(0, 0);
        }
        if (system)
            system->Update(seconds);
        UpdateBonusMessage(seconds);
        if (m_pBoard) {
            m_pBoard->Update(seconds);
            m_SpeedUpEffect.Update(seconds * 0.5f);
            modekit::PlayBoardInput(*m_pBoard, m_pBoardWindow);
        }
    }
    if (frameEnds)
        return 1;
    if (m_pResultWin)
        m_pResultWin->Update(seconds);
    if (m_pResultLose)
        m_pResultLose->Update(seconds);
    m_StageStart.Update(seconds);
    return 1;
}

int VanteoScene_StageChallenge::UpdateGoalAndTime(float seconds)
{
    const float clock = BoardPlayClock();
    const int remaining = m_nTimeLimit - static_cast<int>(clock);
    const int before = m_nTimeLimit - static_cast<int>(clock - seconds);

    if (before > 9 && remaining == 9) {
        DFLog(L"PlaySound : SC_COUNTDOWN_10");
        modekit::PlayEffect(kSoundCountdown10);
    }
    if (before > 2 && remaining == 2)
        modekit::PlayEffect(kSoundCountdown3);

    // The goal values of the frame.
    m_BestStageDisplay.SetValue(std::min(m_nBestReached + 1, kStageChallengeStages));
    m_StageDisplay.SetValue(m_nStage + 1);
    int previous = 0;
    PlacedDigitDisplay* goalDisplay = nullptr;
    PlacedDigitDisplay* valueDisplay = nullptr;
    if (m_nGoalType == kGoalPoints) {
        previous = m_nPointValue;
        m_nPointValue = m_nScore;
        goalDisplay = &m_PointGoalDisplay;
        valueDisplay = &m_PointDisplay;
    } else if (m_nGoalType == kGoalCombo) {
        previous = m_nComboValue;
        m_nComboValue = m_pBoard ? m_pBoard->combo - 1 : 0;
        goalDisplay = &m_ComboGoalDisplay;
        valueDisplay = &m_ComboDisplay;
    }
    if (goalDisplay) {
        const double ratio = std::min(static_cast<double>(GoalValue()) / static_cast<double>(Goal()), 1.0);
        m_fGaugeTarget = static_cast<float>((m_fGaugeHeight - m_fGaugeBase) * ratio);
        goalDisplay->SetValue(Goal());
        valueDisplay->SetValue(GoalValue());
    }

    m_TimeDisplay.m_nFirst = remaining / 60;
    m_TimeDisplay.m_nSecond = remaining % 60;

    kv::KVWnd* warning = Find(m_pBoardWindow, L"Pic_warning");
    kv::KVWnd* countdown = Find(m_pBackWindow, L"Pic_time_countdown");
    if (remaining < 10) {
        if (warning) {
            if (!warning->IsVisible() || warning->IsHiding())
                warning->SetVisible(true);
            if (!warning->IsUIScenePlaying())
                if (kv::KVDirector* director = warning->GetDirector())
                    director->PlaySceneIndex(0);
        }
        if (countdown && (!countdown->IsVisible() || countdown->IsHiding())) {
            countdown->SetVisible(true);
            PlayPictureDefault(countdown);
        }
        m_CountdownDisplay.SetValue(remaining);
        m_CountdownDisplay.Update(seconds);
    } else {
        HideNow(warning);
    }

    if (remaining < 0 && m_nState != kGameStateFinished)
        EndRun(false);

    if (goalDisplay && GoalValue() >= Goal() && previous < Goal()) {
        SceneMessagePacket packet;
        packet.length = sizeof(int32_t);
        packet.id = MSG_GAME_WIN;
        if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
            manager->PostMessage(&packet);
    }

    m_BestStageDisplay.Update(seconds);
    m_StageDisplay.Update(seconds);
    if (goalDisplay) {
        goalDisplay->Update(seconds);
        valueDisplay->Update(seconds);
    }
    m_TimeDisplay.Update(seconds);

    const int shownBefore = static_cast<int>(m_fGaugeFill);
    if (m_fGaugeFill < m_fGaugeTarget)
        m_fGaugeFill = std::min(m_fGaugeFill + kGaugeSpeed * seconds, m_fGaugeTarget);
    else if (m_fGaugeFill > m_fGaugeTarget)
        m_fGaugeFill = std::max(m_fGaugeFill - kGaugeSpeed * seconds, m_fGaugeTarget);
    if (static_cast<int>(m_fGaugeFill) != shownBefore)
        SetGaugeHeight();
    return 1;
}

// The end of a run: the ranking entry, the cubes, the result pop-up.
void VanteoScene_StageChallenge::EndRun(bool won)
{
    m_nState = kGameStateFinished;
    if (m_pBoard)
        m_pBoard->frozen = 1;
    SoundTable.StopSoundByKey(kMusicPuzzle);
    const std::string key = std::to_string(m_nStage);
    InsertRankingScore(RankingBoard(), key.c_str(), won ? 100 : -1, static_cast<int>(BoardPlayClock()));
    SaveRanking();
    RankEntry* table = FindRankingTable(RankingBoard(), key.c_str());
    int reward = 0;
    if (won) {
        reward = ComputeCubeReward(table);
        GameConfig.cubes = std::min(GameConfig.cubes + reward, kCubeCap);
        SaveGameConfig();
        m_nBestReached = GetBestReachedStage(m_nDifficulty);
    }
    const std::string modeKey = CurrentModeKey();
    VanteoPopUp_Result* popUp = won ? m_pResultWin : m_pResultLose;
    if (!won) {
        if (auto* lose = dynamic_cast<VanteoPopUp_Result_Stage_Challenge_Lose*>(m_pResultLose))
            lose->m_bNextAllowed = m_nStage < m_nBestReached ? 1 : 0;
    }
    if (popUp) {
        popUp->SetShowSound(won ? kSoundWin : kSoundLose);
        popUp->Open();
    }
    SetMouseArea();
    if (!won) {
        GameConfig.cubes = std::min(GameConfig.cubes, kCubeCap);
        SaveGameConfig();
    }
    if (auto* win = dynamic_cast<VanteoPopUp_Result_Stage_Challenge_Win*>(popUp))
        win->FillStageRanking(modeKey.c_str(), table, m_nGoalType, reward);
    else if (auto* lose = dynamic_cast<VanteoPopUp_Result_Stage_Challenge_Lose*>(popUp))
        lose->FillStageRanking(modeKey.c_str(), table, m_nGoalType, reward);
    if (won)
        g_nStageChallengeCleared = m_nStage + 1;
    if (g_pAchievements)
        g_pAchievements->CheckPushUnlock();
}

int VanteoScene_StageChallenge::OnGameWin(const void* data, int length)
{
    VanteoBaseScene::OnGameWin(data, length);
    if (m_nState == kGameStateFinished)
        return 0;
    EndRun(true);
    return 0;
}

void VanteoScene_StageChallenge::AddFlightFrom(int kind, int value, int col, int row)
{
    kv::KVWnd* light = Find(m_pBackWindow, kLights[0]);
    if (!light || !m_pStarEffect || !m_pBoard)
        return;
    kv::KVPoint end = light->GetAbsolutePosition();
    const float startX = m_pBoard->originX + 45.0f * static_cast<float>(col);
    const float startY = m_pBoard->originY + 45.0f * static_cast<float>(row);
    m_pStarEffect->AddFlight(kind, value, startX, startY, end.x + light->GetWidth(), end.y);
    LightNextLight();
}

void VanteoScene_StageChallenge::LightNextLight()
{
    kv::KVWnd* lights[3];
    for (int i = 0; i < 3; ++i)
        lights[i] = Find(m_pBackWindow, kLights[i]);
    for (kv::KVWnd* light : lights) {
        if (light && (!light->IsShownRecursive() || light->IsHiding())) {
            light->SetVisible(true);
            PlayPictureDefault(light);
            return;
        }
    }
    for (kv::KVWnd* light : lights) {
        if (light && !PictureScenePlaying(light)) {
            PlayPictureDefault(light);
            return;
        }
    }
}

int VanteoScene_StageChallenge::OnGroupCleared(const void* data, int length)
{
    VanteoBaseScene::OnGroupCleared(data, length);
    PayloadReader reader(static_cast<const uint8_t*>(data), static_cast<size_t>(length));
    reader.I32(); // the id
    reader.I32(); // the flag
    const int colour = reader.I32();
    const int points = reader.I32();
    reader.I32(); // cells
    reader.I32(); // reserved
    reader.I32(); // fixed blocks
    const int col = reader.I32();
    const int row = reader.I32();
    m_nScore = gamedata::SaturatingAdd(m_nScore, points);
    const int value = m_nGoalType == kGoalCombo ? m_nComboValue * 100 / std::max(m_nComboGoal, 1) : points;
    AddFlightFrom(colour, value, col, row);
    return 1;
}

int VanteoScene_StageChallenge::OnBigStarCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStarCleared(data, length);
    PayloadReader reader(static_cast<const uint8_t*>(data), static_cast<size_t>(length));
    reader.I32();
    const int col = reader.I32();
    const int row = reader.I32();
    if (m_nGoalType == kGoalPoints)
        AddFlightFrom(kStarBlastKind, kStarBlastPoints, col, row);
    m_nScore = gamedata::SaturatingAdd(m_nScore, kStarBlastPoints);
    return 1;
}

int VanteoScene_StageChallenge::OnComboCount(const void* data, int length)
{
    VanteoBaseScene::OnComboCount(data, length);
    PayloadReader reader(static_cast<const uint8_t*>(data), static_cast<size_t>(length));
    reader.I32();
    if (reader.I32() == 1) {
        if (kv::KVWnd* on = Find(m_pBackWindow, L"Pic_stage_combo_on")) {
            on->SetVisible(true);
            PlayPictureDefault(on);
        }
        if (m_nGoalType == kGoalCombo)
            modekit::PlayEffect(kSoundComboStartVoice);
    }
    return 1;
}

int VanteoScene_StageChallenge::OnComboBreak(const void*, int)
{
    if (m_nGoalType == kGoalCombo)
        modekit::PlayEffect(kSoundComboBreak);
    return 1;
}

int VanteoScene_StageChallenge::OnPlayTimeStep(const void*, int)
{
    const StageRecord* record = ModeConfig.currentStage;
    if (record && record->speedUp) {
        m_SpeedUpEffect.Add(kSpeedUpEffectValue, kSpeedUpX, kSpeedUpY);
        modekit::PlayEffect(kSoundSpeedUp);
    }
    return 1;
}

// --- resets and stages ------------------------------------------------------------------------------

bool VanteoScene_StageChallenge::ResetStage(int a, int b)
{
    if (m_ReadyGo.m_bPlaying)
        return false;
    VanteoBaseScene::Restart(a, b);
    RestoreVolumes();
    if (m_pBoardWindow)
        m_pBoardWindow->SetVisible(true);
    m_fGaugeFill = m_fGaugeTarget = 0.0f;
    SetGaugeHeight();
    StartNewBoardGame();
    m_nState = kGameStateStart;
    SetMouseArea();
    modekit::RestartMusic(kMusicPuzzle);
    m_nScore = 0;
    ShowUI();
    if (m_pBoardWindow)
        m_pBoardWindow->PlayUIScene(L"ready");
    HideNow(Find(m_pBoardWindow, L"Pic_warning"));
    if (kv::KVWnd* readyGo = Find(m_pBoardWindow, L"Wnd_ready_go"))
        readyGo->SetVisible(true);
    if (kv::KVWnd* ready = Find(m_pBoardWindow, L"Pic_ready"))
        ready->PlayUIScene(L"Pic_ready_Default");
    for (PlacedDigitDisplay* display : {&m_ComboDisplay, &m_PointDisplay})
        ZeroThenRoll(*display);
    m_nComboValue = m_nPointValue = 0;
    ResetThisGame();
    HideLights();
    ReplaceStarEffect();
    HideNow(Find(m_pBackWindow, L"Pic_time_countdown"));
    return true;
}

int VanteoScene_StageChallenge::Restart(int a, int b)
{
    VanteoBaseScene::Restart(a, b);
    // The run's play time is in the record now; the reset below must not add it again.
    if (m_pBoard)
        m_pBoard->playTime = 0.0f;
    ResetStage(a, b);
    PlayReadyGo();
    return 1;
}

int VanteoScene_StageChallenge::OnResultRetry(const void*, int) { return Restart(0, 0); }

int VanteoScene_StageChallenge::AdvanceStage(const void*, int)
{
    if (m_StageStart.IsOpen())
        return 0;
    ResetThisGame();
    const bool lastStage = m_nStage + 2 >= static_cast<int>(ModeConfig.stages.size()) ||
                           m_nStage + 1 >= kStageChallengeStages;
    if (lastStage) {
        modekit::PostChangeScene(kMainMenuSceneName, 0, 0);
        RestoreVolumes();
        return 1;
    }
    const int previousStage = m_nStage;
    m_nStage += 1;
    const StageRecord* record = SelectPlayableStage();
    if (!record) {
        m_nStage = previousStage;
        modekit::PostChangeScene(kMainMenuSceneName, 0, 0);
        return 1;
    }
    m_nBestReached = std::max(m_nBestReached, m_nStage);
    g_nStageChallengeStage = m_nStage;
    m_StageStart.Open();
    m_StageStart.Setup(m_nStage);

    m_nGoalType = record->clearType;
    DetachWindow(m_pBackWindow);
    m_pGaugeWindow = nullptr;
    LoadBackWindow();
    DetachWindow(m_pBoardWindow);
    LoadBoardWindow(*record);
    HideNow(Find(m_pBoardWindow, L"Pic_warning"));
    SetupStageNumbers();
    // The reached stage may run ahead of the ranking (a stage advanced to by "next").
    m_nBestReached = std::max(m_nBestReached, m_nStage);
    if (m_nGoalType == kGoalPoints)
        SetupPointGoal(*record);
    else
        SetupComboGoal(*record);
    HideTitlesAndWarning();
    PlaceBoardWindow();
    MeasureGauge();
    if (m_pGaugeWindow && m_fGaugeHeight >= 0.0f)
        SetGaugeHeight();
    m_nState = kGameStateStart;
    SetMouseArea();
    BindWindowHandlers();
    CreateBoard(*record);
    ReplaceStarEffect();
    StartNewBoardGame();
    m_fGaugeFill = 1.0f;
    m_fGaugeTarget = 0.0f;
    ResetStage(0, 0);
    return 1;
}

void VanteoScene_StageChallenge::OpenPauseMenu()
{
    if (m_nState != kGameStatePlaying)
        return;
    m_nState = kGameStatePaused;
    SetMouseArea();
    if (m_pPause->Open())
        m_pPause->Setup(kPauseModeChallenges, CurrentModeKey().c_str());
}

void VanteoScene_StageChallenge::ResumeFromPause()
{
    m_nState = kGameStatePlaying;
    g_Mouse.ClearRects();
    if (!m_pPause->m_Help.IsOpen() && m_pPause->StartClose())
        m_pPause->m_nChoice = 0;
}

int VanteoScene_StageChallenge::GoToMenu()
{
    modekit::PostChangeScene(kMainMenuSceneName, 0, 0);
    return 0;
}

int VanteoScene_StageChallenge::OnResultReturn(const void*, int)
{
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(kMainMenuSceneName, 0, 0);
    return 1;
}

// --- drawing and buttons --------------------------------------------------------------------------------

int VanteoScene_StageChallenge::Render()
{
    if (m_nBackdrop >= 0)
        GetRenderBackend().DrawSprite(m_nBackdrop, 0xFFFFFFFF, nullptr);
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    DrawBonusMessage();
    g_Mouse.Draw();
    m_ReadyGo.Draw(&m_ReadyGo.m_matWorld);
    m_SpeedUpEffect.Draw(nullptr);
    return 1;
}

void VanteoScene_StageChallenge::DrawNumbers(kv::EventArgs&)
{
    m_TimeDisplay.Draw();
    m_BestStageDisplay.Render();
    m_StageDisplay.Render();
    if (m_nGoalType == kGoalPoints) {
        m_PointGoalDisplay.Render();
        m_PointDisplay.Render();
    } else if (m_nGoalType == kGoalCombo) {
        m_ComboGoalDisplay.Render();
        m_ComboDisplay.Render();
    }
}

void VanteoScene_StageChallenge::DrawCountdown(kv::EventArgs&) { m_CountdownDisplay.Render(); }

void VanteoScene_StageChallenge::DrawStarEffect(kv::EventArgs&)
{
    if (!m_pStarEffect)
        return;
    // The stars go once a result has appeared; while it waits out its delay they still fly.
    for (VanteoPopUp_Result* popUp : {m_pResultWin, m_pResultLose})
        if (popUp && popUp->IsOpen() && !(popUp->m_fShowDelay > 0.0f))
            return;
    m_pStarEffect->Draw(nullptr);
}

void VanteoScene_StageChallenge::OnRotateRight(kv::EventArgs&)
{
    if (m_pBoard)
        m_pBoard->StartRotate(+1);
}

void VanteoScene_StageChallenge::OnRotateLeft(kv::EventArgs&) { OnRotateLeftButton(); }

void VanteoScene_StageChallenge::OnMenuButton(kv::EventArgs&) { OpenPauseMenu(); }

void VanteoScene_StageChallenge::OnStageResetButton(kv::EventArgs&)
{
    if (m_nState != kGameStateFinished)
        Restart(0, 0);
}
