#include "modes/VanteoScene_PointChallenge.h"

#include "data/GameDataXml.h"
#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "engine/LayoutFiles.h"
#include "board/BoardEventRecorder.h"
#include "board/GameSeams.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"
#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/SceneNames.h"
#include "menus/PopUpPause.h"
#include "menus/PopUpResult.h"
#include "menus/GameWorld.h"
#include "modes/ModeSceneKit.h"
#include "modes/VanteoBlockMap_Point.h"
#include "modes/VanteoScene_Puzzle.h"
#include "net/LeaderBoard.h"

#include <helvane/Log.h>
#include <lumenkit/LocusKeyTRSC.h>
#include <win32/Text.h>
#include <win32/VirtualKeys.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace modekit;

namespace {

// Skin entries.
constexpr int kSkinBoardLayout = 8;
constexpr int kSkinBackLayout = 22;
constexpr int kSkinStart = 96;
constexpr int kSkinSigns = 121;
constexpr int kSkinBonus = 122;
// Number styles.
constexpr int kStyleScore = 24;
constexpr int kStyleTime = 25;
constexpr int kStyleCountdown = 26;
constexpr int kStyleMilestone = 27;
constexpr int kScoreDigits = 7;
constexpr int kCentredWidth = 81;
// The largest score seven digits show.
constexpr int kLargestShownScore = 9999999;
// Sound keys.
constexpr int kSoundEraser = 19;
constexpr int kMusicPuzzle = 27;
constexpr int kSoundNewRecord = 66;
constexpr int kSoundGameOver = 67;
constexpr int kSoundSpeedUp = 79;
constexpr int kSoundReadyGo = 97;
constexpr int kSoundPlayEnd = 98;
constexpr int kSoundBonusTime = 99;
constexpr int kSound10Sec = 100;
constexpr int kSoundAlert50 = 103;
constexpr int kSoundAlert57 = 104;
constexpr int kSoundSign1 = 105;

constexpr int kPauseModeChallenges = 2;
constexpr int kLastPlaceDivisor = 100000;
constexpr int kStarBlastPoints = 100;
constexpr int kSpeedUpEffectValue = 21;
constexpr float kSpeedUpX = 280.0f;
constexpr float kSpeedUpY = 105.0f;
constexpr float kRollStart = 5.0f;
constexpr float kRollEnd = 6.0f;
constexpr const char* kSizeTexts[5] = {"POINTCHAL.4X4.", "POINTCHAL.6X6.", "POINTCHAL.8X8.", "POINTCHAL.10X10.",
                                       "POINTCHAL.12X12."};
// The largest board a layout holds.
constexpr int kMaxGrid = 14;

DXSoundServer* Sounds() { return DXSoundServer::GetSingletonPtr(); }

void CentreOn(AnimationPlayer& player, kv::KVWnd* window)
{
    if (!window)
        return;
    kv::KVRect r = window->GetAbsoluteRect();
    D3DXMatrixTranslation(&player.m_matWorld, r.left + (r.right - r.left) * 0.5f, r.top + (r.bottom - r.top) * 0.5f,
                          0.0f);
}

void LoadSkinAnimation(AnimationPlayer& player, int entry)
{
    const char* file = SkinTable.GetSkinString(entry);
    player.Load(file ? file : "");
}

} // namespace

VanteoScene_PointChallenge::VanteoScene_PointChallenge() { SetName(kPointChallengeSceneName); }

VanteoScene_PointChallenge::~VanteoScene_PointChallenge() { Leave(); }

VanteoBlockMap_Point* VanteoScene_PointChallenge::Board() const { return static_cast<VanteoBlockMap_Point*>(m_pBoard); }

kv::KVWnd* VanteoScene_PointChallenge::Window(const wchar_t* name) const
{
    kv::KVWnd* window = Find(m_pBoardWindow, name);
    return window ? window : Find(m_pBackWindow, name);
}

std::vector<float> VanteoScene_PointChallenge::DueTimeEvents(float from, float to)
{
    std::vector<float> due;
    for (float at : kTimeEvents)
        if (from < at && at <= to)
            due.push_back(at);
    return due;
}

int VanteoScene_PointChallenge::MilestoneLevel(int score)
{
    int level = -1;
    for (int i = 0; i < kMilestoneCount && kMilestones[i] <= score; ++i)
        level = i;
    return level;
}

int VanteoScene_PointChallenge::RemainingSeconds(float t)
{
    if (!(t < kPlaySeconds))
        return 0;
    return 60 - static_cast<int>(std::trunc(std::max(t, 0.0f))) % 60;
}

const char* VanteoScene_PointChallenge::SizeText(int index)
{
    return index >= 0 && index < 5 ? kSizeTexts[index] : "POINTCHAL.";
}

int VanteoScene_PointChallenge::ComputeCubeReward(const void* table)
{
    return CubesForRanking(static_cast<const RankEntry*>(table), kLastPlaceDivisor);
}

void VanteoScene_PointChallenge::SetRollFactor(float factor)
{
    for (PlacedDigitDisplay* display : {&m_ScoreDisplay, &m_BestDisplay, &m_TimeDisplay})
        display->m_fCountingFactor = factor;
}

void VanteoScene_PointChallenge::CreateDisplays()
{
    PlaceDigits(m_ScoreDisplay, m_pBoardWindow, L"Pic_point_score_%d", kScoreDigits, kStyleScore, kScoreDigits);
    PlaceDigits(m_BestDisplay, m_pBoardWindow, L"Pic_point_bestscore_%d", kScoreDigits, kStyleScore, kScoreDigits);
    PlaceDigits(m_TimeDisplay, m_pBoardWindow, L"Pic_point_time_%d", 2, kStyleTime, 2);
    PlaceDigits(m_CountdownDisplay, m_pBoardWindow, L"Label_countdown", 1, kStyleCountdown);
    for (PlacedDigitDisplay* display : {&m_ScoreDisplay, &m_BestDisplay, &m_TimeDisplay})
        display->m_bCounting = 1;
    m_ScoreDisplay.SetValue(0);
    m_ScoreDisplay.m_fShownValue = 0.0f;
    m_ScoreDisplay.Update(0.0f);

    char key[16];
    std::snprintf(key, sizeof key, "%d", m_nIndex);
    m_nBest = 0;
    if (const RankEntry* table = FindRankingTable(RANK_POINT, key)) {
        for (int i = 0; i < RankingTable::kPlaces; ++i)
            if (std::strcmp(table[i].name, kLocalPlayerName) == 0) {
                m_nBest = std::max(table[i].score, 0);
                break;
            }
    }
    m_BestDisplay.SetValue(std::min(m_nBest, kLargestShownScore));
    m_BestDisplay.m_fShownValue = static_cast<float>(std::min(m_nBest, kLargestShownScore));
    m_BestDisplay.Update(0.0f);

    m_StartCountdown.Create(2, kStyleCountdown, 0, 0, kCentredWidth, 0, 0);
    if (kv::KVWnd* place = Find(m_pBoardWindow, L"Label_countdown_2")) {
        kv::KVPoint at = place->GetAbsolutePosition();
        m_StartCountdown.m_fX = at.x;
        m_StartCountdown.m_fY = at.y;
        m_StartCountdown.m_dwColour = WindowColour(place);
    }
    m_StartCountdown.m_bVisible = 1;
    m_StartCountdown.SetValue(60);
    m_StartCountdown.Update(0.0f);

    m_MilestoneDisplay.Create(kScoreDigits, kStyleMilestone, 0, 0, kCentredWidth, 0, 0);
    if (kv::KVWnd* place = Find(m_pBackWindow, L"Pic_num_point")) {
        kv::KVPoint at = place->GetAbsolutePosition();
        m_MilestoneDisplay.m_fX = at.x;
        m_MilestoneDisplay.m_fY = at.y;
        m_MilestoneDisplay.m_dwColour = WindowColour(place);
    }
    m_nMilestoneLevel = -1;
    SetRollFactor(kRollStart);
}

void VanteoScene_PointChallenge::ResetAlarms()
{
    ShowAndStart(Find(m_pBoardWindow, L"Pic_gauge_alarm_1"));
    for (int n = 2; n <= 6; ++n) {
        wchar_t name[32];
        std::swprintf(name, 32, L"Pic_gauge_alarm_%d", n);
        HideAtOnce(Find(m_pBoardWindow, name));
    }
}

int VanteoScene_PointChallenge::Enter(int index, int b)
{
    m_bEntered = false;
    LoadModeConfig(kPointChallengeConfigFile);
    m_nIndex = index;
    SelectStage(index + 1);
    const StageRecord* record = ModeConfig.currentStage;
    if (index < 0 || !record || record->xGrid < 2 || record->xGrid > kMaxGrid || record->yGrid < 2 ||
        record->yGrid > kMaxGrid) {
        DFLog(LOG_WARN, L"Point challenge: board %d is missing from %hs; back to the menu", index,
              kPointChallengeConfigFile);
        VanteoBaseScene::Enter(index, b);
        PostChangeScene(kMainMenuSceneName, -1, 0);
        return 0;
    }

    m_pBackWindow = LoadLayout(SkinTable.GetSkinString(kSkinBackLayout));
    m_pBoardWindow = LoadLayout(SkinTable.GetSkinString(kSkinBoardLayout));
    if (m_pBackWindow) {
        m_pBackWindow->SetVisible(true);
        m_pBackWindow->SetMouseTransparent(true);
        // Behind the board's layout (a larger layer is drawn earlier).
        m_pBackWindow->SetZOrder(1);
        if (kv::KVWnd* parent = m_pBackWindow->GetParent())
            parent->SortChildrenIfDirty();
    }
    if (m_pBoardWindow)
        m_pBoardWindow->SetVisible(true);
    if (kv::KVWnd* place = Find(m_pBackWindow, L"Pic_puzzle_place"); place && m_pBoardWindow) {
        kv::KVPoint at = place->GetAbsolutePosition();
        m_pBoardWindow->SetAbsolutePosition(at.x, at.y);
    }

    HideAtOnce(Find(m_pBoardWindow, L"Pic_time_countdown"));
    if (kv::KVWnd* w = Find(m_pBoardWindow, L"Pic_time_countdown_2"))
        w->SetVisible(true);
    m_pResultWin = new VanteoPopUp_Result_Point_Challenge_Win();
    m_pResultLose = new VanteoPopUp_Result_Point_Challenge_Lose();
    m_pResultWin->Load();
    m_pResultLose->Load();

    for (const wchar_t* name : {L"Anibtn_stage_reset", L"Pic_warning", L"Pic_effect_highlight_Large",
                                L"Pic_effect_highlight_small", L"Wnd_title_stage_hard", L"Wnd_title_stage_easy"})
        HideAtOnce(Find(m_pBoardWindow, name));
    for (const wchar_t* name : {L"Wnd_playtime", L"Wnd_point"})
        HideAtOnce(Find(m_pBackWindow, name));
    m_nState = kGameStateStart;

    CreateDisplays();
    m_pGauge = Find(m_pBoardWindow, L"WndEx_point_timegauge");
    if (m_pGauge) {
        if (m_GaugeRect[0] < 0) {
            m_GaugeRect[0] = 0;
            m_GaugeRect[1] = m_pGauge->GetWidth();
            m_GaugeRect[2] = 0;
            m_GaugeRect[3] = m_pGauge->GetHeight();
        }
        m_GaugeX = m_pGauge->GetPosition().x;
        m_GaugeY = m_pGauge->GetPosition().y;
    }
    HideAtOnce(Find(m_pBoardWindow, L"Pic_point_timeover"));

    using S = VanteoScene_PointChallenge;
    const struct {
        const wchar_t* name;
        const wchar_t* event;
        void (S::*handler)(kv::EventArgs&);
    } events[] = {
        {L"Pic_point_time_1", kv::EventDraw, &S::DrawRemainingTime},
        {L"Label_countdown", kv::EventDraw, &S::DrawCountdown},
        {L"Label_countdown_2", kv::EventDraw, &S::DrawStartCountdown},
        {L"Pic_point_maxscore_1", kv::EventDraw, &S::DrawScores},
        {L"Pic_point_bestscore_1", kv::EventDraw, &S::DrawScores},
        {L"Anibtn_rotate_R", kv::EventClicked, &S::OnRotateRight},
        {L"Anibtn_rotate_L", kv::EventClicked, &S::OnRotateLeft},
        {L"Anibtn_menu", kv::EventClicked, &S::OnMenuButton},
        {L"Anibtn_point_reset", kv::EventClicked, &S::OnResetButton},
    };
    for (const auto& e : events)
        if (kv::KVWnd* w = Find(m_pBoardWindow, e.name))
            w->AddHandler(e.event, kv::MakeHandler(this, e.handler));

    auto* board = new VanteoBlockMap_Point(GameBoardWorld(), GameBoardTuning);
    m_pBoard = board;
    board->Init(m_pBoardWindow, record->xGrid, record->yGrid);
    if (kv::KVWnd* area = Find(m_pBoardWindow, L"Wnd_PuzzleArea")) {
        kv::KVPoint at = area->GetAbsolutePosition();
        board->originX = at.x;
        board->originY = at.y;
    }
    board->NewGame();
    m_nState = kGameStateStart;
    RestartMusic(kMusicPuzzle);

    VanteoBaseScene::Enter(index, b);
    AddHandlerEntry(MSG_RESULT_RETRY, nullptr, [this](const void*, int) { return Restart(0, 0); });
    AddHandlerEntry(MSG_RESULT_RETURN, nullptr, [](const void*, int) {
        if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
            manager->ChangeScene(kMainMenuSceneName, 0, 0);
        return 1;
    });
    m_nScore = 0;
    m_fEventClock = 0.0f;
    m_fAutoPlaySeconds = 0.0f;
    m_bEndPosted = false;
    ShowUI();

    LoadSkinAnimation(m_StartAnimation, kSkinStart);
    CentreOn(m_StartAnimation, Find(m_pBoardWindow, L"Wnd_ComboArea"));
    m_StartAnimation.Play("60secgo");
    LoadSkinAnimation(m_SignAnimation, kSkinSigns);
    CentreOn(m_SignAnimation, Window(L"Pic_point_sign_1"));
    m_SignAnimation.Play("sign_1");
    m_SignAnimation.m_bVisible = false;
    LoadSkinAnimation(m_BonusAnimation, kSkinBonus);
    CentreOn(m_BonusAnimation, Find(m_pBoardWindow, L"Wnd_ComboArea"));
    m_BonusAnimation.Play("bonustime");
    m_BonusAnimation.m_bVisible = false;

    ResetAlarms();
    PlayEffect(kSoundReadyGo);
    m_bEntered = true;
    return 1;
}

void VanteoScene_PointChallenge::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    modekit::DeleteBoard(m_pBoard);
    SoundTable.StopSoundByKey(kMusicPuzzle);
    // The music ducked for the last seconds must not stay quiet in the menu.
    if (DXSoundServer* server = Sounds())
        server->RestoreMusicVolume();
    modekit::DetachWindow(m_pBoardWindow);
    modekit::DetachWindow(m_pBackWindow);
    m_pGauge = nullptr;
    m_GaugeRect[0] = -1;
    SaveRanking();
    m_bEntered = false;
}

void VanteoScene_PointChallenge::ShowUI()
{
    SetCursorAreas({{m_pBoardWindow, L"Wnd_PuzzleArea", kCursorBlock},
                    {m_pBoardWindow, L"Anibtn_point_reset", kCursorBlock},
                    {m_pBoardWindow, L"Anibtn_menu", kCursorButton},
                    {m_pBoardWindow, L"Anibtn_rotate_L", kCursorButton},
                    {m_pBoardWindow, L"Anibtn_rotate_R", kCursorButton}});
}

void VanteoScene_PointChallenge::OpenPauseMenu()
{
    if (m_nState != kGameStatePlaying)
        return;
    m_nState = kGameStatePaused;
    SetMouseArea();
    if (m_pPause->Open()) {
        const StageRecord* record = ModeConfig.currentStage;
        m_pPause->Setup(kPauseModeChallenges,
                        platform::Narrow(VanteoScene_Puzzle::PauseModeText(record ? record->name : "")).c_str());
    }
}

int VanteoScene_PointChallenge::GoToMenu()
{
    PostChangeScene(kMainMenuSceneName, 0, 0);
    return 1;
}

int VanteoScene_PointChallenge::OnPopUpYes(const void*, int)
{
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->Quit();
    return 1;
}

int VanteoScene_PointChallenge::OnPopUpNo(const void* data, int length) { return OnPauseResume(data, length); }

int VanteoScene_PointChallenge::OnPlayTimeStep(const void*, int)
{
    const StageRecord* record = ModeConfig.currentStage;
    if (record && record->speedUp) {
        m_SpeedUpEffect.Add(kSpeedUpEffectValue, kSpeedUpX, kSpeedUpY);
        SoundTable.PlaySoundByKey(kSoundSpeedUp, false, -1.0f);
    }
    return 1;
}

int VanteoScene_PointChallenge::OnGroupCleared(const void* data, int length)
{
    VanteoBaseScene::OnGroupCleared(data, length);
    m_nScore = gamedata::SaturatingAdd(m_nScore, std::max(MessageWord(data, length, 3), 0));
    return 1;
}

int VanteoScene_PointChallenge::OnBigStarCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStarCleared(data, length);
    m_nScore = gamedata::SaturatingAdd(m_nScore, kStarBlastPoints);
    return 1;
}

int VanteoScene_PointChallenge::OnBlockClicked(const void* data, int length)
{
    VanteoBaseScene::OnBlockClicked(data, length);
    if (!m_pBoard || !MessageWord(data, length, 5))
        return 1;
    const int n = m_pBoard->ClearSameKindNear(MessageWord(data, length, 1), MessageWord(data, length, 2), MessageWord(data, length, 3));
    const BoardTuning& tuning = m_pBoard->tuning;
    m_pBoard->refillSpeed = std::min(10.0f * static_cast<float>(n) + tuning.refillSpeed, tuning.maxRefillSpeed);
    PlayEffect(kSoundEraser);
    return 1;
}

int VanteoScene_PointChallenge::OnGameWin(const void*, int)
{
    OnTimeOver();
    return 0;
}

int VanteoScene_PointChallenge::OnTimeOver()
{
    GetBoardEventRecorder().FinishRecording(nullptr);
    if (m_nState == kGameStateFinished || !m_pBoard)
        return 0;
    m_nState = kGameStateFinished;
    m_pBoard->frozen = 1;

    char key[16];
    std::snprintf(key, sizeof key, "%d", m_nIndex);
    InsertRankingScore(RANK_POINT, key, m_nScore, static_cast<int>(std::trunc(m_pBoard->playTime)));
    RankEntry* table = FindRankingTable(RANK_POINT, key);
    const int cubes = ComputeCubeReward(table);
    AddCubesAndSave(cubes);
    const StageRecord* record = ModeConfig.currentStage;
    const std::string modeText = std::string("PUZZLE.") + SizeText(m_nIndex) + (record ? record->name : "");
    if (DXSoundServer* server = Sounds())
        server->RestoreMusicVolume();

    const bool lastPlace = table && table[RankingTable::kPlaces - 1].isNew;
    VanteoPopUp_Result* popUp = lastPlace ? m_pResultLose : m_pResultWin;
    popUp->SetShowSound(lastPlace ? kSoundGameOver : kSoundNewRecord);
    popUp->Open();
    popUp->FillRanking(modeText.c_str(), table, cubes);
    RaiseLeaderBoardBest(LB_POINT, m_nScore);
    SetMouseArea();
    return 0;
}

int VanteoScene_PointChallenge::Restart(int a, int b)
{
    VanteoBaseScene::Restart(a, b);
    if (m_pBoardWindow)
        m_pBoardWindow->SetVisible(true);
    SaveRanking();
    // A game restarted in its last seconds must not leave the music ducked.
    if (DXSoundServer* server = Sounds())
        server->RestoreMusicVolume();
    CreateDisplays();
    HideAtOnce(Find(m_pBoardWindow, L"Pic_point_timeover"));
    if (m_pBoard) {
        if (kv::KVWnd* area = Find(m_pBoardWindow, L"Wnd_PuzzleArea")) {
            kv::KVPoint at = area->GetAbsolutePosition();
            m_pBoard->originX = at.x;
            m_pBoard->originY = at.y;
        }
        m_pBoard->NewGame();
    }
    m_nState = kGameStateStart;
    RestartMusic(kMusicPuzzle);
    m_nScore = 0;
    m_fEventClock = 0.0f;
    m_fAutoPlaySeconds = 0.0f;
    m_bEndPosted = false;
    ShowUI();
    if (m_pBoardWindow)
        m_pBoardWindow->PlayUIScene(L"ready");
    if (kv::KVWnd* readyGo = Find(m_pBoardWindow, L"Wnd_ready_go"))
        readyGo->SetVisible(true);
    if (kv::KVWnd* ready = Find(m_pBoardWindow, L"Pic_ready"))
        ready->PlayUIScene(L"Pic_ready_Default");
    HideAtOnce(Find(m_pBoardWindow, L"Pic_warning"));
    m_StartAnimation.Play("60secgo");
    PlayEffect(kSoundReadyGo);
    m_SignAnimation.m_bVisible = false;
    m_BonusAnimation.m_bVisible = false;
    ResetAlarms();
    SetRollFactor(kRollStart);
    HideAtOnce(Find(m_pBoardWindow, L"Pic_time_countdown"));
    if (kv::KVWnd* w = Find(m_pBoardWindow, L"Pic_time_countdown_2"))
        w->SetVisible(true);
    m_StartCountdown.SetValue(60);
    return 1;
}

void VanteoScene_PointChallenge::SetTimeFromClock()
{
    const float t = BoardPlayClock();
    m_TimeDisplay.SetValue(RemainingSeconds(t));
    if (m_pGauge && m_GaugeRect[0] >= 0) {
        const float f = std::max((kPlaySeconds - t) / kPlaySeconds, 0.0f);
        m_pGauge->SetSize((m_GaugeRect[1] - m_GaugeRect[0]) * f, m_GaugeRect[3] - m_GaugeRect[2]);
        m_pGauge->OnResize(kv::KVWnd::kSizeChanged);
        m_pGauge->SetPosition(m_GaugeX, m_GaugeY);
    }
}

void VanteoScene_PointChallenge::FireTimeEvent(float at)
{
    const int t = static_cast<int>(at);
    auto alarm = [this](int n) {
        wchar_t name[32];
        std::swprintf(name, 32, L"Pic_gauge_alarm_%d", n);
        return Find(m_pBoardWindow, name);
    };
    DXSoundServer* server = Sounds();
    switch (t) {
    case 4:
        HideAtOnce(Find(m_pBoardWindow, L"Pic_time_countdown_2"));
        break;
    case 10:
    case 20:
    case 30:
    case 40: {
        PlayEffect(kSound10Sec);
        const int k = t / 10;
        if (kv::KVWnd* next = alarm(k + 1); next && !(next->IsVisible() && next->IsUIScenePlaying()))
            ShowAndStart(next);
        HideAtOnce(alarm(k));
        break;
    }
    case 50:
        PlayEffect(kSoundAlert50);
        if (server)
            server->DuckMusic(server->GetMusicVolume() * 0.5f);
        ShowAndStart(alarm(6));
        HideAtOnce(alarm(5));
        if (kv::KVWnd* w = Find(m_pBoardWindow, L"Pic_time_countdown"))
            w->SetVisible(true);
        break;
    case 57:
        PlayEffect(kSoundAlert57);
        break;
    case 60:
        PlayEffect(kSoundPlayEnd);
        m_nState = kGameStateTimeOver;
        SoundTable.StopSoundByKey(kMusicPuzzle);
        g_Mouse.m_bVisible = 1;
        g_Mouse.ClearRects();
        break;
    case 62:
        if (server) {
            server->RestoreMusicVolume();
            server->DuckMusic(0.0f);
        }
        PlayEffect(kSoundBonusTime);
        m_BonusAnimation.Play("bonustime");
        m_BonusAnimation.m_bVisible = true;
        HideAtOnce(alarm(6));
        break;
    case 64:
        m_nState = kGameStateBonusTime;
        break;
    default:
        break;
    }
}

void VanteoScene_PointChallenge::UpdateTime(float)
{
    const float t = BoardPlayClock();
    SetTimeFromClock();
    const int r = RemainingSeconds(t);
    kv::KVWnd* warning = Find(m_pBoardWindow, L"Pic_warning");
    if (t >= 50.0f && t < kPlaySeconds) {
        if (warning && !(warning->IsVisible() && warning->IsUIScenePlaying()))
            ShowAndStart(warning);
        if (kv::KVWnd* w = Find(m_pBoardWindow, L"Pic_time_countdown"))
            w->SetVisible(true);
        m_CountdownDisplay.SetValue(r);
        m_CountdownDisplay.Update(0.0f);
    } else if (IsShown(warning)) {
        HideAtOnce(warning);
    }
    if (kv::KVWnd* start = Find(m_pBoardWindow, L"Pic_time_countdown_2")) {
        if (t < 4.0f) {
            start->SetVisible(true);
            m_StartCountdown.SetValue(60 - static_cast<int>(std::trunc(t)));
            m_StartCountdown.Update(0.0f);
        } else if (IsShown(start)) {
            HideAtOnce(start);
        }
    }
    // Each event fires once, in the frame whose clock passes it, however long the frames are.
    for (float at : DueTimeEvents(m_fEventClock, t))
        FireTimeEvent(at);
    m_fEventClock = std::max(m_fEventClock, t);
}

void VanteoScene_PointChallenge::UpdateSign(float seconds)
{
    m_SignAnimation.Update(seconds);
    kv::KVWnd* signPlace = Window(L"Pic_point_sign_1");
    LocusKeyTRSC* track = m_SignAnimation.m_strScene.empty()
                              ? nullptr
                              : m_SignAnimation.GetTrack(m_SignAnimation.m_strScene, "ani_Label_sign_num");
    if (track && signPlace) {
        D3DXVECTOR3 offset{0.0f, 0.0f, 0.0f};
        track->GetTranslationInterval(m_SignAnimation.m_fTime, offset);
        D3DXCOLOR c(1.0f, 1.0f, 1.0f, 1.0f);
        track->GetColorInterval(m_SignAnimation.m_fTime, c);
        kv::KVRect r = signPlace->GetAbsoluteRect();
        m_MilestoneDisplay.m_fX = r.left + (r.right - r.left) * 0.5f + offset.x;
        m_MilestoneDisplay.m_fY = r.top + (r.bottom - r.top) * 0.5f + offset.y;
        m_MilestoneDisplay.m_fZ = 0.0f;
        if (m_nMilestoneLevel >= 0) {
            wchar_t name[32];
            std::swprintf(name, 32, L"Pic_point_sign_%d", SignKind(m_nMilestoneLevel));
            if (kv::KVWnd* picture = Window(name)) {
                const D3DCOLOR wc = WindowColour(picture);
                c.r = static_cast<float>((wc >> 16) & 0xFF) / 255.0f;
                c.g = static_cast<float>((wc >> 8) & 0xFF) / 255.0f;
                c.b = static_cast<float>(wc & 0xFF) / 255.0f;
            }
        }
        auto channel = [](float v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
        m_MilestoneDisplay.m_dwColour = channel(c.a) << 24 | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
    }
    m_MilestoneDisplay.Update(seconds);
}

void VanteoScene_PointChallenge::UpdateScoreSigns(float seconds)
{
    const bool best = m_nScore >= m_nBest;
    if (kv::KVWnd* on = Window(L"Wnd_point_best"))
        best ? on->SetVisible(true) : HideAtOnce(on);
    if (kv::KVWnd* off = Window(L"Wnd_point_best_off"))
        best ? HideAtOnce(off) : off->SetVisible(true);
    if (best) {
        m_BestDisplay.m_dwColour = WindowColour(Window(L"Pic_point_maxscore_1"));
        m_nBest = m_nScore;
        m_BestDisplay.SetValue(std::min(m_nBest, kLargestShownScore));
    } else {
        m_BestDisplay.m_dwColour = WindowColour(Window(L"Pic_point_bestscore_1"));
    }
    m_BestDisplay.Update(seconds);

    const int level = MilestoneLevel(m_nScore);
    if (level >= 0) {
        const int before = m_nMilestoneLevel;
        m_nMilestoneLevel = level;
        m_MilestoneDisplay.SetValue(kMilestones[level]);
        if (level != before) {
            const int kind = SignKind(level);
            const char* scenes[3] = {"sign_1", "sign_2", "sign_3"};
            m_SignAnimation.Play(scenes[kind - 1]);
            m_SignAnimation.m_bVisible = true;
            PlayEffect(kSoundSign1 + kind - 1);
            ShowAndStart(Window(kind == 3 ? L"Pic_effect_highlight_Large" : L"Pic_effect_highlight_small"));
        }
    }
    UpdateSign(seconds);
}

bool VanteoScene_PointChallenge::ScoreShown() const
{
    return !m_ScoreDisplay.m_bCounting || static_cast<int>(m_ScoreDisplay.m_fShownValue) == m_ScoreDisplay.m_nTarget;
}

int VanteoScene_PointChallenge::Update(float seconds)
{
    m_pExitQuestion->Update(seconds);
    m_pPause->Update(seconds);
    if (!m_pBoard)
        return 1;
    kv::KVSystem* system = kv::KVSystem::GetPtr();
    auto updateUI = [system](float dt) {
        if (system)
            system->Update(dt);
    };
    const int shownScore = std::min(m_nScore, kLargestShownScore);

    if (m_nState != kGameStatePaused && m_nState != kGameStateFinished && KeyPressed('R')) {
        SetButtonState(m_pBoardWindow, L"Anibtn_point_reset", 1);
        Restart(0, 0);
    }
    g_Mouse.Update(seconds);
    if (m_nState != kGameStateFinished && (KeyPressed(VK_ESCAPE) || KeyPressed(VK_BACK))) {
        if (m_nState == kGameStatePaused)
            ResumePlay();
        else
            OpenPauseMenu();
    }

    switch (m_nState) {
    case kGameStateTimeOver:
        SetRollFactor(kRollEnd);
        m_BonusAnimation.Update(seconds);
        UpdateScoreSigns(seconds);
        m_pBoard->Update(seconds);
        m_ScoreDisplay.SetValue(shownScore);
        m_ScoreDisplay.Update(seconds);
        updateUI(seconds);
        UpdateTime(seconds);
        HideAtOnce(Find(m_pBoardWindow, L"Pic_time_countdown"));
        break;
    case kGameStateBonusTime:
        HideAtOnce(Find(m_pBoardWindow, L"Pic_time_countdown"));
        SetRollFactor(kRollEnd);
        m_BonusAnimation.Update(seconds);
        UpdateScoreSigns(seconds);
        if (m_BonusAnimation.m_bPlaying) {
            // The board waits for the announcement; its play clock stands still.
            updateUI(seconds);
            break;
        }
        m_pBoard->Update(seconds);
        m_fAutoPlaySeconds += std::max(seconds, 0.0f);
        if ((m_pBoard->AutoPlayStep() || m_fAutoPlaySeconds >= kMaxAutoPlaySeconds) && ScoreShown() &&
            m_ScoreDisplay.m_nTarget == shownScore) {
            if (!m_bEndPosted) {
                m_bEndPosted = true;
                PayloadWriter().PostTo(GetSceneQueueSink(), MSG_GAME_WIN);
            }
            return 1;
        }
        m_ScoreDisplay.SetValue(shownScore);
        m_ScoreDisplay.Update(seconds);
        m_TimeDisplay.SetValue(0);
        if (m_pGauge) {
            m_pGauge->SetSize(0.0f, m_GaugeRect[3] - m_GaugeRect[2]);
            m_pGauge->OnResize(kv::KVWnd::kSizeChanged);
        }
        if (kv::KVWnd* w = Find(m_pBoardWindow, L"Pic_point_timeover"))
            w->SetVisible(true);
        updateUI(seconds);
        break;
    case kGameStateStart:
        m_StartAnimation.Update(seconds);
        m_pBoard->Update(seconds);
        m_pBoard->playTime = 0.0f;
        updateUI(seconds);
        UpdateScoreSigns(seconds);
        if (!m_StartAnimation.m_bPlaying)
            m_nState = kGameStatePlaying;
        SetTimeFromClock();
        break;
    case kGameStatePaused:
        m_pBoard->Update(0.0f);
        updateUI(seconds);
        modekit::PauseKeys(*m_pPause);
        break;
    case kGameStateFinished:
        m_pBoard->Update(0.0f);
        m_ScoreDisplay.SetValue(shownScore);
        m_ScoreDisplay.Update(0.0f);
        m_TimeDisplay.SetValue(0);
        SetTimeFromClock();
        updateUI(seconds);
        break;
    default:
        updateUI(seconds);
        UpdateBonusMessage(seconds);
        m_pBoard->Update(seconds);
        m_SpeedUpEffect.Update(seconds * 0.5f);
        modekit::HoverBoard(*m_pBoard);
        m_ScoreDisplay.SetValue(shownScore);
        m_ScoreDisplay.Update(seconds);
        UpdateScoreSigns(seconds);
        UpdateTime(seconds);
        if (m_nState == kGameStatePlaying)
            modekit::BoardClicksAndTurns(*m_pBoard, m_pBoardWindow);
        break;
    }
    if (m_pResultWin)
        m_pResultWin->Update(seconds);
    if (m_pResultLose)
        m_pResultLose->Update(seconds);
    m_TimeDisplay.Update(seconds);
    return 1;
}

void VanteoScene_PointChallenge::DrawSign()
{
    if (!m_SignAnimation.m_bVisible)
        return;
    m_SignAnimation.Draw(&m_SignAnimation.m_matWorld);
    m_MilestoneDisplay.Render(nullptr, 0.0f);
}

int VanteoScene_PointChallenge::Render()
{
    m_SpeedUpEffect.Draw(nullptr);
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    m_StartAnimation.Draw(&m_StartAnimation.m_matWorld);
    if (m_BonusAnimation.m_bVisible)
        m_BonusAnimation.Draw(&m_BonusAnimation.m_matWorld);
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

void VanteoScene_PointChallenge::DrawRemainingTime(kv::EventArgs&)
{
    m_TimeDisplay.Render();
    if (m_nState != kGameStateFinished)
        DrawSign();
}

void VanteoScene_PointChallenge::DrawCountdown(kv::EventArgs&) { m_CountdownDisplay.Render(); }

void VanteoScene_PointChallenge::DrawStartCountdown(kv::EventArgs&) { m_StartCountdown.Render(nullptr, 0.0f); }

void VanteoScene_PointChallenge::DrawScores(kv::EventArgs&)
{
    m_ScoreDisplay.Render();
    m_BestDisplay.Render();
}

void VanteoScene_PointChallenge::OnRotateRight(kv::EventArgs&)
{
    if (m_pBoard)
        m_pBoard->StartRotate(+1);
}

void VanteoScene_PointChallenge::OnRotateLeft(kv::EventArgs&) { OnRotateLeftButton(); }

void VanteoScene_PointChallenge::OnMenuButton(kv::EventArgs&) { OpenPauseMenu(); }

void VanteoScene_PointChallenge::OnResetButton(kv::EventArgs&)
{
    if (m_nState == kGameStateTimeOver || m_nState == kGameStateBonusTime || m_nState == kGameStatePlaying)
        Restart(0, 0);
}
