#include "modes/VanteoScene_Push.h"

#include "data/GameDataXml.h"
#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "engine/LayoutFiles.h"
#include "board/BoardEventRecorder.h"
#include "board/BoardWindows.h"
#include "engine/DigitDisplay.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundTable.h"
#include "kv/KVDirector.h"
#include "kv/KVEventArgs.h"
#include "kv/KVLabel.h"
#include "kv/KVObject.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/SceneNames.h"
#include "menus/PopUp.h"
#include "menus/PopUpPause.h"
#include "menus/PopUpResult.h"
#include "menus/GameWorld.h"
#include "modes/ModeSceneKit.h"

#include <helvane/Log.h>
#include <win32/Text.h>
#include <win32/VirtualKeys.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>

using modekit::Find;
using modekit::KeyDown;
using modekit::KeyPressed;
using modekit::PostChangeScene;
using modekit::SetButtonState;

namespace {

constexpr int kTimeDigitRow = 3;
constexpr int kPauseModePush = 3;
// The main menu opens on its push menu.
constexpr int kMenuPushPage = 2;
constexpr int kLastStage = 10;
constexpr int kStageBonus[kLastStage + 1] = {0, 30, 50, 75, 200, 300, 500, 0, 0, 0, 750};
constexpr int kRowCubes[6] = {72, 54, 38, 24, 12, 3};
// The question's parameter that asks to reset the self-play opponent.
constexpr int kResetSelfPlayParam = 1;

} // namespace

VanteoBlockMap_Push::~VanteoBlockMap_Push() { DestroyBlocks(); }

VanteoScene_Push::VanteoScene_Push() { SetName(kPushSceneName); }

VanteoScene_Push::~VanteoScene_Push() { Leave(); }

std::string VanteoScene_Push::ModeKey(int stage, const char* stageName)
{
    if (stage == kSelfPlayStage)
        return "PUSH.SELFPLAY";
    return std::string("PUSH.FREEPLAY.") + (stageName ? stageName : "");
}

std::string VanteoScene_Push::CurrentModeKey() const
{
    const StageRecord* record = ModeConfig.currentStage;
    return ModeKey(m_nStage, record ? record->name : "");
}

int VanteoScene_Push::Score(int userStack, int enemyStack)
{
    return std::min(userStack, PushBlockSet::kWinningStack) * 10 - std::min(enemyStack, PushBlockSet::kWinningStack) + 4;
}

int VanteoScene_Push::CubeReward(const RankEntry* rows, int stage)
{
    const int row = VanteoPopUp_Result::FirstNewEntry(rows);
    if (row < 0)
        return 0;
    if (row >= RankingTable::kPlaces - 1)
        return kRowCubes[RankingTable::kPlaces - 1];
    const int bonus = stage >= 0 && stage <= kLastStage ? kStageBonus[stage] : 0;
    int cubes = kRowCubes[row] + bonus / 5;
    // A new entry just above one of the player's own places earns half.
    if (std::strcmp(rows[row + 1].name, kLocalPlayerName) == 0)
        cubes /= 2;
    return cubes;
}

int VanteoScene_Push::ComputeCubeReward(const void* rows)
{
    return CubeReward(static_cast<const RankEntry*>(rows), m_nStage);
}

void VanteoScene_Push::HideAtOnce(const wchar_t* name) { modekit::HideAtOnce(Find(m_pMainWindow, name)); }

void VanteoScene_Push::StartMusic()
{
    SoundTable.StopSoundByKey(kMusicPush);
    if (SoundTable.m_musicEnabled)
        SoundTable.PlaySoundByKey(kMusicPush, true, -1.0f); // a failure is logged by the table
}

void VanteoScene_Push::StartReadyGo()
{
    m_ReadyGo.Play("readygo");
    m_nState = kGameStateStart;
    modekit::PlayEffect(kSoundReadyGo);
}

void VanteoScene_Push::OpenGhost()
{
    if (!m_pGhost)
        return;
    const StageRecord* record = ModeConfig.currentStage;
    m_pGhost->Open(m_nStage == kSelfPlayStage ? kOwnPushGhostFile : record ? record->file : "");
}

int VanteoScene_Push::Enter(int stage, int b)
{
    m_bEntered = false;
    LoadModeConfig(kPushConfigFile);
    SelectStage(stage + 1);
    // A stage outside the eleven, or one the configuration lacks, cannot be played: the player
    // goes back to the menu instead of onto an empty screen.
    if (stage < 0 || stage > kLastStage || !ModeConfig.currentStage) {
        DFLog(LOG_WARN, L"Push: stage %d is missing from %hs; back to the menu", stage, kPushConfigFile);
        VanteoBaseScene::Enter(stage, b);
        PostChangeScene(kMainMenuSceneName, kMenuPushPage, 0);
        return 0;
    }
    m_nStage = stage;

    m_pMainWindow = LoadLayout(SkinTable.GetSkinString(kSkinLayout));
    if (m_pMainWindow)
        m_pMainWindow->SetVisible(true);
    m_pPushWindow = kv::GetKVSystem().CreateWindowFromLayout(kPushLayoutFile);
    if (m_pPushWindow) {
        m_pPushWindow->SetVisible(true);
        m_pPushWindow->SetMouseTransparent(true);
        m_pPushWindow->SetZOrder(-2);
        if (kv::KVWnd* parent = m_pPushWindow->GetParent())
            parent->SortChildrenIfDirty();
    }
    m_Field.moveSpeed = ModeConfig.pushMoveSpeed;
    m_Field.trapTime = ModeConfig.pushTrapTime;
    m_Field.Init(m_pPushWindow, m_pMainWindow);

    if (kv::KVWnd* w = Find(m_pMainWindow, L"Anibtn_rotate_R"))
        w->AddHandler(kv::EventClicked, kv::MakeHandler(this, &VanteoScene_Push::OnRotateRight));
    if (kv::KVWnd* w = Find(m_pMainWindow, L"Anibtn_rotate_L"))
        w->AddHandler(kv::EventClicked, kv::MakeHandler(this, &VanteoScene_Push::OnRotateLeft));
    if (kv::KVWnd* w = Find(m_pMainWindow, L"Anibtn_menu"))
        w->AddHandler(kv::EventClicked, kv::MakeHandler(this, &VanteoScene_Push::OnMenuButton));
    if (kv::KVWnd* w = Find(m_pMainWindow, L"Wnd_PuzzleArea_enemy"))
        w->AddHandler(kv::EventDraw, kv::MakeHandler(this, &VanteoScene_Push::DrawEnemyBoard));
    if (kv::KVWnd* w = Find(m_pMainWindow, L"Pic_num_time_1"))
        w->AddHandler(kv::EventDraw, kv::MakeHandler(this, &VanteoScene_Push::DrawTime));
    m_TimeDisplay.Bind(m_pMainWindow, kTimeDigitRow);

    // Self-play records the player's board, so that a win can become the next opponent.
    m_bRecord = m_nStage == kSelfPlayStage ? 1 : 0;

    m_pBoard = new VanteoBlockMap_Push(GameBoardWorld(), GameBoardTuning);
    m_pBoard->Init(m_pMainWindow, -1, -1);
    m_pBoard->NewGame();

    // The opponent's board only shows what the recording tells it: half size, silent, and
    // hidden until the first recorded layout arrives.
    m_pEnemyBoard = new VanteoBlockMap(GameBoardWorld(), GameBoardTuning);
    m_pEnemyBoard->Init(nullptr, -1, -1);
    if (kv::KVWnd* area = Find(m_pMainWindow, L"Wnd_PuzzleArea_enemy")) {
        const kv::KVPoint at = area->GetAbsolutePosition();
        m_pEnemyBoard->originX = at.x;
        m_pEnemyBoard->originY = at.y;
    }
    m_pEnemyBoard->scaleX = m_pEnemyBoard->scaleY = 0.5f;
    m_pEnemyBoard->quiet = 1;
    m_pEnemyBoard->blocksShown = 0;

    m_nState = kGameStateStart;
    StartMusic();
    VanteoBaseScene::Enter(stage, b);
    const std::wstring name = platform::Widen(m_szPlayerName);
    std::wcsncpy(m_wszPlayerName, name.c_str(), std::size(m_wszPlayerName) - 1);
    m_wszPlayerName[std::size(m_wszPlayerName) - 1] = 0;
    HideAtOnce(L"Pic_warning");

    using S = VanteoScene_Push;
    AddHandler(MSG_POPUP_YES, nullptr, &S::OnPushPopUpYes);
    AddHandler(MSG_POPUP_NO, nullptr, &S::OnPushPopUpNo);
    AddHandler(MSG_RESULT_RESET_SELF, nullptr, &S::OnResultResetSelf);
    AddHandler(MSG_GHOST_BIG_STONE, nullptr, &S::OnGhostBigStone);
    AddHandler(MSG_GHOST_BIG_STAR, nullptr, &S::OnGhostBigStar);
    AddHandler(MSG_GHOST_GROUP_CLEARED, nullptr, &S::OnGhostGroupCleared);
    AddHandler(MSG_GHOST_LAYOUT, nullptr, &S::OnGhostLayout);
    AddHandler(MSG_GHOST_ROTATE, nullptr, &S::OnGhostRotate);
    AddHandler(MSG_RESULT_RETRY, nullptr, &S::OnResultRetry);
    AddHandler(MSG_RESULT_RETURN, nullptr, &S::OnResultReturn);

    m_pGhost = new Player_Ghost_Push(GetSceneQueueSink(), GetBoardEventRecorder());
    OpenGhost();

    m_bWon = 0;
    m_bFirstFrame = 1;
    m_pPushWin = new VanteoPopUp_Result_Push_Win();
    m_pPushLose = new VanteoPopUp_Result_Push_Lose();
    m_pResultWin = m_pPushWin;
    m_pResultLose = m_pPushLose;
    m_pPushWin->Load();
    m_pPushLose->Load();

    modekit::LoadReadyGo(m_ReadyGo, m_pMainWindow);
    StartReadyGo();
    ShowUI();
    HideAtOnce(L"Pic_effect_highlight_Large");
    HideAtOnce(L"Pic_effect_highlight_small");
    m_bEntered = true;
    return 1;
}

void VanteoScene_Push::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    // The base has deleted the result pop-ups.
    m_pPushWin = nullptr;
    m_pPushLose = nullptr;
    m_bRecord = 0;
    modekit::DeleteBoard(m_pBoard);
    modekit::DeleteBoard(m_pEnemyBoard);
    delete m_pGhost;
    m_pGhost = nullptr;
    SoundTable.StopSoundByKey(kMusicPush);
    modekit::DetachWindow(m_pMainWindow);
    modekit::DetachWindow(m_pPushWindow);
    m_Field.Detach();
    m_bEntered = false;
}

void VanteoScene_Push::ShowUI()
{
    modekit::SetCursorAreas({{m_pMainWindow, L"Wnd_PuzzleArea", kCursorBlock},
                             {m_pMainWindow, L"Anibtn_menu", kCursorButton},
                             {m_pMainWindow, L"Anibtn_rotate_L", kCursorButton},
                             {m_pMainWindow, L"Anibtn_rotate_R", kCursorButton}});
}

void VanteoScene_Push::OpenPauseMenu()
{
    if (m_nState != kGameStatePlaying)
        return;
    m_nState = kGameStatePaused;
    SetMouseArea();
    if (m_pPause->Open())
        m_pPause->Setup(kPauseModePush, CurrentModeKey().c_str());
}

int VanteoScene_Push::GoToMenu()
{
    PostChangeScene(kMainMenuSceneName, kMenuPushPage, 0);
    return 0;
}

int VanteoScene_Push::Restart(int a, int b)
{
    if (m_ReadyGo.m_bPlaying)
        return 0;
    VanteoBaseScene::Restart(a, b);
    if (m_pMainWindow)
        m_pMainWindow->SetVisible(true);
    m_nState = kGameStateStart;
    m_bRecord = m_nStage == kSelfPlayStage ? 1 : 0;
    if (m_pEnemyBoard)
        m_pEnemyBoard->NewGame();
    if (m_pBoard)
        m_pBoard->NewGame();
    m_Field.Reset();
    if (m_pGhost) {
        m_pGhost->Rewind();
        OpenGhost();
    }
    StartMusic();
    ShowUI();
    StartReadyGo();
    HideAtOnce(L"Pic_warning");
    return 1;
}

// --- the end of a game ----------------------------------------------------------------------

RankEntry* VanteoScene_Push::RecordResult(int time)
{
    char key[16];
    std::snprintf(key, sizeof key, "%d", m_nStage);
    InsertRankingScore(RANK_PUSH, key, Score(m_Field.userStackSize, m_Field.enemyStackSize), time);
    SaveRanking();
    return FindRankingTable(RANK_PUSH, key);
}

int VanteoScene_Push::OnGameWin(const void*, int)
{
    // A self-play win becomes the next opponent.
    if (m_nState != kGameStateFinished && m_nStage == kSelfPlayStage && m_pGhost)
        m_pGhost->SaveRecording(kOwnPushGhostFile);
    GetBoardEventRecorder().FinishRecording(nullptr);
    if (m_nState == kGameStateFinished)
        return 0;
    m_nState = kGameStateFinished;
    m_bWon = 1;
    // Nothing of the finished game is recorded any more: a late event would otherwise start a
    // recording that the next save copies over the opponent just saved.
    m_bRecord = 0;
    SoundTable.StopSoundByKey(kMusicPush);
    RankEntry* rows = RecordResult(static_cast<int>(BoardPlayClock()));
    if (m_pPushWin) {
        m_pPushWin->SetShowSound(kSoundWinShow);
        m_pPushWin->Open();
        m_pPushWin->SetSelfMode(m_nStage == kSelfPlayStage ? 1 : 0);
    }
    if (m_nStage == kSelfPlayStage)
        GameConfig.selfWinPush = gamedata::SaturatingAdd(GameConfig.selfWinPush, 1);
    SetMouseArea();
    const int earned = rows ? ComputeCubeReward(rows) : 0;
    modekit::AddCubesAndSave(earned);
    if (m_pPushWin && rows)
        m_pPushWin->FillRanking(CurrentModeKey().c_str(), rows, earned);
    return 0;
}

int VanteoScene_Push::OnGameLose(const void*, int)
{
    GetBoardEventRecorder().FinishRecording(nullptr);
    if (m_nState == kGameStateFinished)
        return 0;
    m_nState = kGameStateFinished;
    m_bWon = 0;
    m_bRecord = 0;
    SoundTable.StopSoundByKey(kMusicPush);
    // A longer game ranks higher among equal scores.
    RankEntry* rows = RecordResult(1000000 - static_cast<int>(BoardPlayClock()));
    if (m_pPushLose) {
        m_pPushLose->SetShowSound(kSoundLoseShow);
        m_pPushLose->Open();
        m_pPushLose->SetSelfMode(m_nStage == kSelfPlayStage ? 1 : 0);
    }
    SetMouseArea();
    modekit::AddCubesAndSave(kCubesForLoss);
    if (m_pPushLose && rows)
        m_pPushLose->FillRanking(CurrentModeKey().c_str(), rows, kCubesForLoss);
    return 0;
}

// --- the player's board ---------------------------------------------------------------------

int VanteoScene_Push::OnGroupCleared(const void* data, int length)
{
    VanteoBaseScene::OnGroupCleared(data, length);
    const int colour = MessageWord(data, length, 2);
    const int points = MessageWord(data, length, 3);
    if (colour >= 0 && colour <= 2)
        m_Field.ApplyPush(colour, MessageWord(data, length, 1) ? -points : points);
    return 1;
}

int VanteoScene_Push::OnBigStarCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStarCleared(data, length);
    m_Field.ApplyPush(3, -kStarPush);
    return 1;
}

int VanteoScene_Push::OnBigStoneCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStoneCleared(data, length);
    m_Field.TrapEnemyLane();
    return 1;
}

int VanteoScene_Push::OnEnemyAttack(const void* data, int length)
{
    VanteoBaseScene::OnEnemyAttack(data, length);
    const int kind = MessageWord(data, length, 2);
    if (kind == 3) {
        m_Field.ApplyPush(3, kStarPush);
        modekit::PlayEffect(kSoundStarPush);
    } else if (kind == 4) {
        m_Field.TrapUserLane();
        modekit::PlayEffect(kSoundStoneTrap);
    }
    return 1;
}

int VanteoScene_Push::OnComboCount(const void* data, int length)
{
    VanteoBaseScene::OnComboCount(data, length);
    const int combo = MessageWord(data, length, 1);
    const wchar_t* name = nullptr;
    if (combo > 0 && combo % 100 == 0)
        name = L"Pic_effect_highlight_Large";
    else if (combo > 0 && combo % 10 == 0)
        name = L"Pic_effect_highlight_small";
    if (name)
        modekit::ShowAndStart(Find(m_pMainWindow, name));
    return 1;
}

int VanteoScene_Push::OnPushBlockDrop(const void* data, int length)
{
    if (length < 12)
        return 1;
    m_Field.AddBlock(MessageWord(data, length, 2), MessageWord(data, length, 1));
    return 1;
}

// --- the handlers added to the base table -------------------------------------------------------

int VanteoScene_Push::OnPushPopUpYes(const void* data, int length)
{
    if (!data || length < 8)
        return 1;
    const int param = MessageWord(data, length, 1);
    if (param == 0) {
        if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
            manager->Quit();
    } else if (param == kResetSelfPlayParam) {
        ResetSelfPlayGhost();
        GameConfig.selfWinStackPush = gamedata::SaturatingAdd(GameConfig.selfWinStackPush, GameConfig.selfWinPush);
        GameConfig.selfWinPush = 0;
        // The opponent is already replaced: the counts follow it at once.
        SaveGameConfig();
        if (m_pPushWin && m_pPushWin->IsOpen())
            m_pPushWin->DisableResetSelf();
        if (m_pPushLose && m_pPushLose->IsOpen())
            m_pPushLose->DisableResetSelf();
    }
    return 1;
}

int VanteoScene_Push::OnPushPopUpNo(const void* data, int length)
{
    if (!data || length < 8)
        return 1;
    return VanteoBaseScene::OnPopUpNo(data, length);
}

int VanteoScene_Push::OnResultResetSelf(const void*, int)
{
    if (m_pExitQuestion->Open()) {
        m_pExitQuestion->SetTitle(L"Reset");
        m_pExitQuestion->SetMessage(L"Reset self-play data?");
    }
    m_pExitQuestion->m_nParam = kResetSelfPlayParam;
    return 1;
}

int VanteoScene_Push::OnGhostBigStone(const void*, int)
{
    m_Field.TrapUserLane();
    modekit::PlayEffect(kSoundStoneTrap);
    return 1;
}

int VanteoScene_Push::OnGhostBigStar(const void*, int)
{
    m_Field.ApplyPush(3, kStarPush);
    modekit::PlayEffect(kSoundStarPush);
    return 1;
}

int VanteoScene_Push::OnGhostGroupCleared(const void* data, int length)
{
    if (!data || length < 24)
        return 1;
    // The colour comes from a recording file: only the three lanes, the star and the stone mean
    // anything, and nothing else reaches the field.
    const int colour = MessageWord(data, length, 2);
    if (colour == 3) {
        m_Field.ApplyPush(3, kStarPush);
        modekit::PlayEffect(kSoundStarPush);
    } else if (colour >= 0 && colour <= 2) {
        m_Field.ApplyPush(colour, MessageWord(data, length, 3));
    }
    return 1;
}

int VanteoScene_Push::OnGhostLayout(const void* data, int length)
{
    if (!data || !m_pEnemyBoard || length < 4 + 2 * VanteoBlockMap::kLayoutWords)
        return 1;
    const uint8_t* p = static_cast<const uint8_t*>(data) + 4;
    uint16_t words[VanteoBlockMap::kLayoutWords];
    for (int i = 0; i < VanteoBlockMap::kLayoutWords; ++i)
        words[i] = static_cast<uint16_t>(p[2 * i] | p[2 * i + 1] << 8);
    m_pEnemyBoard->ApplyLayoutWords(words, VanteoBlockMap::kLayoutWords);
    return 1;
}

int VanteoScene_Push::OnGhostRotate(const void* data, int length)
{
    if (!data || !m_pEnemyBoard || length < 8)
        return 1;
    m_pEnemyBoard->StartRotate(MessageWord(data, length, 1));
    return 1;
}

int VanteoScene_Push::OnResultRetry(const void*, int) { return Restart(0, 0); }

int VanteoScene_Push::OnResultReturn(const void*, int)
{
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(kMainMenuSceneName, kMenuPushPage, 0);
    return 1;
}

// --- input and frames -----------------------------------------------------------------------

void VanteoScene_Push::UpdateWarning()
{
    kv::KVWnd* warning = Find(m_pMainWindow, L"Pic_warning");
    if (!warning)
        return;
    if (m_Field.enemyStackSize != 3) {
        modekit::HideAtOnce(warning);
        return;
    }
    warning->SetVisible(true);
    kv::KVDirector* director = AnimationDirectorOf(warning);
    if (!director)
        return;
    if (!director->currentScene || !director->currentScene->playing) {
        if (kv::KVAnimation* first = director->GetFirstScene()) {
            first->loop = true;
            director->currentScene = first;
            first->Stop();
            first->Start();
        }
    }
}

int VanteoScene_Push::Update(float seconds)
{
    if (!m_bEntered)
        return 1;
    const float dt = m_bFirstFrame ? 0.0f : seconds;
    m_bFirstFrame = 0;
    m_pExitQuestion->Update(dt);
    m_pPause->Update(dt);
    g_Mouse.Update(seconds);
    kv::KVSystem* system = kv::KVSystem::GetPtr();

    if (KeyPressed(VK_ESCAPE) || KeyPressed(VK_BACK)) {
        if (m_nState == kGameStatePaused)
            ResumePlay();
        else if (m_nState == kGameStatePlaying)
            OpenPauseMenu();
    }
    modekit::FillBulletsWhileEnterHeld(m_pBoard);

    switch (m_nState) {
    case kGameStateStart:
        m_ReadyGo.Update(dt);
        if (m_pBoard) {
            m_pBoard->Update(dt);
            m_pBoard->playTime = 0.0f;
        }
        if (system)
            system->Update(dt);
        if (!m_ReadyGo.m_bPlaying)
            m_nState = kGameStatePlaying;
        break;
    case kGameStatePaused:
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        if (system)
            system->Update(dt);
        if (modekit::PauseKeys(*m_pPause))
            return 1;
        break;
    case kGameStateFinished:
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        m_Field.Update(dt);
        if (system)
            system->Update(dt);
        break;
    default:
        if (system)
            system->Update(dt);
        UpdateBonusMessage(dt);
        if (m_pEnemyBoard)
            m_pEnemyBoard->Update(dt);
        if (m_pBoard)
            modekit::PlayBoardInput(*m_pBoard, m_pMainWindow);
        if (m_pGhost)
            m_pGhost->Update(dt);
        if (m_pBoard)
            m_pBoard->Update(dt);
        m_Field.Update(dt);
        break;
    }

    const float clock = BoardPlayClock();
    m_TimeDisplay.m_nFirst = static_cast<int>(clock / 60.0f);
    m_TimeDisplay.m_nSecond = static_cast<int>(clock) % 60;
    m_TimeDisplay.Update(seconds);
    UpdateWarning();
    if (m_pPushWin)
        m_pPushWin->Update(dt);
    if (m_pPushLose)
        m_pPushLose->Update(dt);
    return 1;
}

int VanteoScene_Push::Render()
{
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    // The recorder copies only a recording that holds unsaved events.
    if (m_nState == kGameStateFinished && m_bWon && m_nStage == kSelfPlayStage && m_pGhost)
        m_pGhost->SaveRecording(kOwnPushGhostFile);
    m_ReadyGo.Draw(&m_ReadyGo.m_matWorld);
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

// --- UI handlers ----------------------------------------------------------------------------

void VanteoScene_Push::OnRotateRight(kv::EventArgs&)
{
    if (m_pBoard)
        m_pBoard->StartRotate(+1);
}

void VanteoScene_Push::OnRotateLeft(kv::EventArgs&) { OnRotateLeftButton(); }

void VanteoScene_Push::OnMenuButton(kv::EventArgs&) { OpenPauseMenu(); }

void VanteoScene_Push::DrawEnemyBoard(kv::EventArgs&)
{
    if (m_pEnemyBoard)
        m_pEnemyBoard->DrawBlocks();
}

void VanteoScene_Push::DrawTime(kv::EventArgs&)
{
    m_TimeDisplay.Draw();
    const StageRecord* record = ModeConfig.currentStage;
    if (auto* enemy = dynamic_cast<kv::KVLabel*>(Find(m_pMainWindow, L"Label_name_enemy")))
        enemy->text = platform::Widen(record ? record->name : "");
    if (auto* user = dynamic_cast<kv::KVLabel*>(Find(m_pMainWindow, L"Label_name_user")))
        user->text = m_wszPlayerName;
}
