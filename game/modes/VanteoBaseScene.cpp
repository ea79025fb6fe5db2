#include "modes/VanteoBaseScene.h"

#include "data/GameDataXml.h"
#include "data/Options.h"
#include "data/Records.h"
#include "board/BoardEventRecorder.h"
#include "board/VanteoBlockMap.h"
#include "engine/DigitDisplay.h"
#include "engine/SceneManager.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundServer.h"
#include "kv/KVSystem.h"
#include "menus/PopUpPause.h"
#include "menus/PopUpResult.h"
#include "net/Achievements.h"
#include "net/NetGlobals.h"

#include <helvane/Log.h>
#include <win32/Cursor.h>
#include <win32/Messages.h>
#include <win32/Text.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

// A counter as stored; values beyond the int range read as its limits.
int CounterOf(const TiXmlElement* element, const char* counter)
{
    return gamedata::IntAttribute(element, counter, 0);
}

void UnlockAchievement(const char* apiName) { UnlockAchievementNamed(apiName); }

void StopAllEffects()
{
    if (DXSoundServer* server = DXSoundServer::GetSingletonPtr())
        server->StopAllEffects();
}

} // namespace

int GetPlayerCounter(const char* counter) { return CounterOf(PlayRecord.player, counter); }

int GetThisGameCounter(const char* counter) { return CounterOf(PlayRecord.thisGame.get(), counter); }

// Counters come from the play data, which may hold any value: they saturate instead of overflowing.
void AddPlayerCounter(const char* counter, int delta)
{
    SetRecordCounter(counter, gamedata::SaturatingAdd(GetPlayerCounter(counter), delta));
}

void AddThisGameCounterByName(const char* counter, int delta)
{
    SetThisGameCounter(counter, gamedata::SaturatingAdd(GetThisGameCounter(counter), delta));
}

void AddBothCounters(const char* counter, int delta)
{
    AddPlayerCounter(counter, delta);
    AddThisGameCounterByName(counter, delta);
}

VanteoBaseScene::VanteoBaseScene()
{
    m_pExitQuestion = new VanteoPopUp_OKCancel();
    m_pPause = new VanteoPopUp_Pause();
    SetName("VanteoBaseScene");
}

VanteoBaseScene::~VanteoBaseScene()
{
    DeleteResultPopUps();
    delete m_pExitQuestion;
    delete m_pPause;
}

void VanteoBaseScene::BindMessage(int32_t id, int (VanteoBaseScene::*operation)(const void*, int))
{
    AddHandlerEntry(id, nullptr, [this, id, operation](const void* data, int length) {
        // Messages come from boards, pop-ups, replay files and the other player alike: a
        // message too short for its fields is refused before anything reads them.
        if (!data || length < MinimumMessageLength(id)) {
            DFLog(LOG_WARN, L"%hs: message %d refused, %d bytes", GetName(), id, length);
            return 1;
        }
        return (this->*operation)(data, length);
    });
}

void VanteoBaseScene::RegisterMessageHandlers()
{
    using S = VanteoBaseScene;
    BindMessage(MSG_POPUP_YES, &S::OnPopUpYes);
    BindMessage(MSG_POPUP_NO, &S::OnPopUpNo);
    BindMessage(MSG_PAUSE_RESUME, &S::OnPauseResume);
    BindMessage(MSG_PAUSE_RETRY, &S::OnPauseRetry);
    BindMessage(MSG_PAUSE_QUIT, &S::OnPauseQuit);
    BindMessage(MSG_PAUSE_EXIT, &S::OnPauseExit);
    BindMessage(MSG_GO_TO_MENU, &S::OnGoToMenu);
    BindMessage(MSG_CHANGE_SCENE, &S::OnChangeScene);
    BindMessage(MSG_RESTART, &S::OnRestartMessage);
    BindMessage(MSG_GAME_WIN, &S::OnGameWin);
    BindMessage(MSG_GAME_LOSE, &S::OnGameLose);
    BindMessage(MSG_PLAY_TIME_STEP, &S::OnPlayTimeStep);
    BindMessage(MSG_GHOST_TEXT, &S::OnGhostText);
    BindMessage(MSG_GHOST_SOUND, &S::OnGhostSound);
    BindMessage(MSG_RESERVED_2068, &S::OnReserved2068);
    BindMessage(MSG_BIG_STONE, &S::OnBigStoneCleared);
    BindMessage(MSG_BIG_STAR, &S::OnBigStarCleared);
    BindMessage(MSG_GROUP_CLEARED, &S::OnGroupCleared);
    BindMessage(MSG_RESERVED_2072, &S::OnReserved2072);
    BindMessage(MSG_RESERVED_2073, &S::OnReserved2073);
    BindMessage(MSG_PLAYER_TOWER_HIT, &S::OnPlayerTowerHit);
    BindMessage(MSG_ENEMY_TOWER_HIT, &S::OnEnemyTowerHit);
    BindMessage(MSG_LANE_CLASH, &S::OnLaneClash);
    BindMessage(MSG_ENEMY_ATTACK, &S::OnEnemyAttack);
    BindMessage(MSG_BULLET_OVERFLOW, &S::OnBulletOverflow);
    BindMessage(MSG_GHOST_COMMAND, &S::OnGhostCommand);
    BindMessage(MSG_BLOCK_CLICKED, &S::OnBlockClicked);
    BindMessage(MSG_COMBO_BREAK, &S::OnComboBreak);
    BindMessage(MSG_COMBO, &S::OnComboCount);
    BindMessage(MSG_BOARD_LAYOUT, &S::OnBoardLayout);
    BindMessage(MSG_BULLET_GAIN, &S::OnBulletGain);
    BindMessage(MSG_ROTATE, &S::OnRotate);
    BindMessage(MSG_MAGIC_TURN, &S::OnMagicTurn);
    BindMessage(MSG_CHAIN, &S::OnChain);
    BindMessage(MSG_DOUBLE_CHANCE, &S::OnDoubleChance);
    BindMessage(MSG_LANE_UNITS_MET, &S::OnLaneUnitsMet);
    BindMessage(MSG_LANE_UNIT_HIT_MINE, &S::OnLaneUnitHitMine);
    BindMessage(MSG_LANE_UNIT_POWER, &S::OnLaneUnitPower);
    BindMessage(MSG_ITEM_GET, &S::OnItemGet);
    BindMessage(MSG_PUSH_BLOCK_DROP, &S::OnPushBlockDrop);
}

int VanteoBaseScene::Enter(int, int)
{
    RegisterMessageHandlers();
    std::memcpy(m_szPlayerName, GameConfig.playerName, sizeof m_szPlayerName);
    m_szPlayerName[sizeof m_szPlayerName - 1] = 0;
    return 1;
}

void VanteoBaseScene::DeleteResultPopUps()
{
    for (VanteoPopUp_Result** popUp : {&m_pResultWin, &m_pResultLose}) {
        if (*popUp) {
            (*popUp)->Unload();
            delete *popUp;
            *popUp = nullptr;
        }
    }
}

float VanteoBaseScene::BoardPlayClock() const
{
    return m_pBoard ? m_pBoard->playTime : 0.0f;
}

void VanteoBaseScene::AddPlayTimeToRecord()
{
    if (m_pBoard)
        AddPlayerCounter("PlayTime", static_cast<int>(BoardPlayClock()));
}

void VanteoBaseScene::Leave()
{
    StopAllEffects();
    DeleteResultPopUps();
    AddPlayTimeToRecord();
    SavePlayRecord();
    ResetThisGame();
    if (m_bRecord)
        GetBoardEventRecorder().FinishRecording(nullptr);
    m_pExitQuestion->Close();
    m_pPause->Close();
}

int VanteoBaseScene::Restart(int, int)
{
    AddPlayTimeToRecord();
    ResetThisGame();
    StopAllEffects();
    GetBoardEventRecorder().FinishRecording(nullptr);
    return 1;
}

int VanteoBaseScene::Render()
{
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

int VanteoBaseScene::Update(float seconds)
{
    g_Mouse.Update(seconds);
    if (m_nState == kGameStatePaused)
        UpdatePaused(seconds);
    else if (m_nState == kGameStateFinished)
        UpdateFinished(seconds);
    else
        UpdatePlaying(seconds);
    return 1;
}

void VanteoBaseScene::SetMouseArea()
{
    g_Mouse.ClearRects();
    g_Mouse.AddRect(kCursorBlock, RECT{0, 0, 1024, 768});
}

int VanteoBaseScene::UpdatePaused(float)
{
    if (m_pBoard)
        m_pBoard->Update(0.0f);
    return 0;
}

int VanteoBaseScene::UpdateFinished(float seconds) { return UpdatePaused(seconds); }

int VanteoBaseScene::MsgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == kMsgFinishGame)
        m_nState = kGameStateFinished;
    if (msg == WM_LBUTTONUP) {
        if (m_pResultWin)
            m_pResultWin->OnMouseClick(lParam);
        if (m_pResultLose)
            m_pResultLose->OnMouseClick(lParam);
    }
    return ForwardToUi(msg, wParam, lParam);
}

void VanteoBaseScene::ResumePlay()
{
    m_nState = kGameStatePlaying;
    ShowUI();
    if (!m_pPause->m_Help.IsOpen() && m_pPause->StartClose())
        m_pPause->m_nChoice = 0;
}

int VanteoBaseScene::OnRotateLeftButton()
{
    if (m_pBoard)
        m_pBoard->StartRotate(-1);
    return 1;
}

// --- message operations -------------------------------------------------------------------------

int VanteoBaseScene::OnPopUpYes(const void* data, int length)
{
    if (MessageWord(data, length, 1) != 0)
        return 0;
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->Quit();
    return 1;
}

int VanteoBaseScene::OnPopUpNo(const void* data, int length)
{
    if (MessageWord(data, length, 1) == 0) {
        m_nState = kGameStatePlaying;
        ShowUI();
    }
    return 1;
}

int VanteoBaseScene::OnPauseResume(const void*, int)
{
    m_nState = kGameStatePlaying;
    ShowUI();
    return 1;
}

int VanteoBaseScene::OnPauseRetry(const void*, int) { return Restart(0, 0); }

int VanteoBaseScene::OnPauseQuit(const void*, int) { return GoToMenu(); }

int VanteoBaseScene::OnGoToMenu(const void*, int) { return GoToMenu(); }

int VanteoBaseScene::OnPauseExit(const void*, int)
{
    if (m_pExitQuestion->Open()) {
        m_pExitQuestion->SetTitle(L"EXIT GAME");
        m_pExitQuestion->SetMessage(L"DO YOU WISH TO QUIT?");
    }
    m_pExitQuestion->m_nParam = 0;
    return 1;
}

int VanteoBaseScene::OnChangeScene(const void* data, int length)
{
    // The name field need not be terminated: it is read up to its 64 bytes and no further.
    const char* field = static_cast<const char*>(data) + 4;
    std::string name(field, strnlen(field, kSceneNameBytes));
    int a = MessageWord(data, length, 1 + kSceneNameBytes / 4);
    int b = MessageWord(data, length, 2 + kSceneNameBytes / 4);
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(name.c_str(), a, b);
    return 1;
}

int VanteoBaseScene::OnRestartMessage(const void* data, int length)
{
    int a = length >= 12 ? MessageWord(data, length, 1) : 0;
    int b = length >= 12 ? MessageWord(data, length, 2) : 0;
    return Restart(a, b);
}

int VanteoBaseScene::OnGameWin(const void*, int)
{
    GetBoardEventRecorder().FinishRecording(nullptr);
    return 1;
}

int VanteoBaseScene::OnGameLose(const void*, int)
{
    GetBoardEventRecorder().FinishRecording(nullptr);
    return 1;
}

void VanteoBaseScene::RecordEvent(const void* data, int32_t size)
{
    if (m_pBoard && m_bRecord)
        GetBoardEventRecorder().AppendRecordEvent(BoardPlayClock(), static_cast<const uint8_t*>(data), size);
}

int VanteoBaseScene::OnBigStoneCleared(const void* data, int)
{
    AddBothCounters("BigStone", 1);
    AddBothCounters("BlockClick", 1);
    RecordEvent(data, 4);
    return 1;
}

int VanteoBaseScene::OnBigStarCleared(const void* data, int)
{
    AddBothCounters("BigStar", 1);
    AddBothCounters("BlockClick", 1);
    RecordEvent(data, 12);
    return 1;
}

int VanteoBaseScene::OnGroupCleared(const void* data, int length)
{
    static constexpr const char* kClearCounters[3] = {"BlockClearR", "BlockClearG", "BlockClearB"};
    AddBothCounters("BlockClick", 1);
    int flag = MessageWord(data, length, 1);
    int colour = MessageWord(data, length, 2);
    int cells = MessageWord(data, length, 4);
    if (!flag)
        return 1;
    if (colour >= 0 && colour <= 2) {
        AddBothCounters(kClearCounters[colour], cells);
        AddBothCounters("BlockClear", cells);
    }
    RecordEvent(data, 36);
    return 1;
}

int VanteoBaseScene::OnEnemyAttack(const void* data, int length)
{
    static constexpr const char* kCounters[5] = {"Attacked_R", "Attacked_G", "Attacked_B", "Attacked_BigStar",
                                                 "Attacked_BigStone"};
    int kind = MessageWord(data, length, 2);
    int power = MessageWord(data, length, 3);
    if (kind >= 0 && kind <= 4)
        AddThisGameCounterByName(kCounters[kind], power);
    return 1;
}

int VanteoBaseScene::OnBulletOverflow(const void* data, int length)
{
    static constexpr const char* kCounters[3] = {"Attacking_R", "Attacking_G", "Attacking_B"};
    int colour = MessageWord(data, length, 1);
    int excess = MessageWord(data, length, 2);
    if (colour >= 0 && colour <= 2)
        AddThisGameCounterByName(kCounters[colour], excess);
    return 1;
}

int VanteoBaseScene::OnBlockClicked(const void* data, int length)
{
    constexpr int kStoneKind = 5;
    int kind = MessageWord(data, length, 3);
    int present = MessageWord(data, length, 4);
    if (present && kind != kStoneKind)
        AddBothCounters("BlockClick", 1);
    return 1;
}

int VanteoBaseScene::OnComboCount(const void* data, int length)
{
    int combo = MessageWord(data, length, 1);
    if (combo >= 10)
        UnlockAchievement("ACH_STAGEC_FIRST_COMBO_10");
    if (combo >= 20)
        UnlockAchievement("ACH_STAGEC_FIRST_COMBO_20");
    if (combo > GetPlayerCounter("MaxCombo"))
        SetRecordCounter("MaxCombo", combo);
    if (combo > GetThisGameCounter("MaxCombo"))
        SetThisGameCounter("MaxCombo", combo);
    return 1;
}

int VanteoBaseScene::OnBoardLayout(const void* data, int)
{
    RecordEvent(data, MinimumMessageLength(MSG_BOARD_LAYOUT));
    return 1;
}

int VanteoBaseScene::OnRotate(const void* data, int length)
{
    int direction = MessageWord(data, length, 1);
    if (direction == 1)
        AddBothCounters("RotationR", 1);
    else if (direction == -1)
        AddBothCounters("RotationL", 1);
    AddBothCounters("Rotation", 1);
    RecordEvent(data, 8);
    return 1;
}

int VanteoBaseScene::OnMagicTurn(const void* data, int length)
{
    int kind = MessageWord(data, length, 1);
    if (kind >= 1 && kind <= 3)
        UnlockAchievement("ACH_STAGEC_FIRSTMAGICTURN");
    else if (kind == 4)
        UnlockAchievement("ACH_STAGEC_FIRSTMAGICTURN_STAR");
    else if (kind == 5)
        UnlockAchievement("ACH_STAGEC_FIRSTMAGICTURN_STONE");
    AddBothCounters("MagicTurn", 1);
    return 1;
}

int VanteoBaseScene::OnChain(const void*, int)
{
    AddBothCounters("Chain", 1);
    return 1;
}

int VanteoBaseScene::OnDoubleChance(const void*, int)
{
    AddBothCounters("Double", 1);
    return 1;
}

int VanteoBaseScene::OnItemGet(const void*, int)
{
    AddBothCounters("ItemGet", 1);
    return 1;
}
