#include "modes/VanteoScene.h"

#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "engine/LayoutFiles.h"
#include "board/BoardMessages.h"
#include "board/GameMessages.h"
#include "board/VanteoBlockMap.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"
#include "kv/KVDirector.h"
#include "kv/KVEventArgs.h"
#include "kv/KVLabel.h"
#include "kv/KVSystem.h"
#include "kv/KVVanteoAnimButton.h"
#include "kv/KVWnd.h"
#include "menus/SceneNames.h"
#include "menus/PopUpPause.h"
#include "menus/PopUpResult.h"
#include "modes/BattleRules.h"
#include "menus/GameWorld.h"
#include "modes/ModeSceneKit.h"

#include <helvane/Log.h>
#include <win32/Files.h>
#include <win32/Text.h>
#include <win32/VirtualKeys.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

int g_bAutoAttack = 0;

using modekit::KeyPressed;
using modekit::PlayEffect;
using modekit::PostChangeScene;
using modekit::RestartMusic;

namespace {

constexpr int kDigitStyleTime = 3; // "Num_Common_Point_Time"
constexpr int kMaxSpeedLevel = 5;
constexpr int kHintColours = 3;
constexpr int kSpecialPower = 100;
constexpr int kWarningHp = 100;
constexpr int kDownState = 1;          // an animated button's "DOWN"

void Post(int32_t id) { PayloadWriter().PostTo(GetSceneQueueSink(), id); }

// Adds what was won to the cubes, never past the cap (the options file may hold any value).
void AddCubes(int cubes)
{
    const long long total = static_cast<long long>(GameConfig.cubes) + cubes;
    GameConfig.cubes = static_cast<int>(std::clamp<long long>(total, 0, battle::kMaxCubes));
}

constexpr const char* kAttackCounters[3] = {"Attacking_R", "Attacking_G", "Attacking_B"};

} // namespace

VanteoScene::VanteoScene() { SetName(kBattleSceneName); }

VanteoScene::~VanteoScene() { Leave(); }

kv::KVWnd* VanteoScene::Find(const wchar_t* name) const { return modekit::Find(m_pLayout, name); }

std::string VanteoScene::ModeKey() const
{
    const StageRecord* record = ModeConfig.currentStage;
    return battle::ModeKey(m_nMode, record ? record->name : "");
}

void VanteoScene::PlayReadyGo()
{
    m_ReadyGo.Play("readygo");
    PlayEffect(kSoundReadyGo);
}

void VanteoScene::ButtonDown(const wchar_t* name) { modekit::SetButtonState(m_pLayout, name, kDownState); }

void VanteoScene::StartBoardGame()
{
    if (!m_pBoard)
        return;
    if (kv::KVWnd* area = Find(L"Wnd_PuzzleArea")) {
        const kv::KVPoint at = area->GetAbsolutePosition();
        m_pBoard->originX = at.x;
        m_pBoard->originY = at.y;
    }
    m_pBoard->NewGame();
}

// The stage's ghost, else the shipped self-play ghost copied under the stage's file name. The
// copy is written only over a ghost file that is missing or unusable: a name that is not a
// ghost's (a configuration naming the push recording, say) or a ghost file that is there but
// cannot be read is left alone, and the shipped ghost is played without a copy.
void VanteoScene::LoadGhost()
{
    const StageRecord* record = ModeConfig.currentStage;
    const char* file = record ? record->file : "";
    if (m_Ghost.Load(file))
        return;
    const std::string name = battle::SafeGhostFileName(file);
    const std::string fallback = "data/PlayData/" + name;
    std::string bytes;
    if (!battle::IsGhostFileName(name)) {
        DFLog(LOG_WARN, L"Battle: ghost %hs unusable and not a ghost file name; playing the initial ghost", file);
    } else if (platform::TryReadWholeFile(fallback, bytes, platform::kMaxXmlFileBytes) ==
               platform::ReadOutcome::Unreadable) {
        DFLog(LOG_WARN, L"Battle: ghost %hs unusable and %hs cannot be read; it is kept, playing the initial ghost",
              file, fallback.c_str());
    } else {
        DFLog(LOG_WARN, L"Battle: ghost %hs unusable; playing the initial ghost as %hs", file, fallback.c_str());
        ResetGhostFile(fallback.c_str());
        if (m_Ghost.Load(fallback.c_str()))
            return;
    }
    if (!m_Ghost.Load(kInitialBattleGhostFile))
        DFLog(LOG_WARN, L"Battle: no ghost could be loaded");
}

int VanteoScene::Enter(int mode, int b)
{
    m_bEntered = false;
    LoadModeConfig(kBattleConfigFile);
    SelectStage(mode + 1);
    if (mode < 0 || mode >= battle::kModeCount || !ModeConfig.currentStage) {
        // The menus never start such a mode; a damaged configuration must not leave the
        // player on an empty screen.
        DFLog(LOG_WARN, L"Battle: mode %d has no stage in %hs; back to the menu", mode, kBattleConfigFile);
        VanteoBaseScene::Enter(mode, b);
        PostChangeScene(kMainMenuSceneName, 1, 0);
        return 0;
    }
    m_nMode = mode;

    const char* layoutFile = SkinTable.GetSkinString(kSkinLayout);
    m_pLayout = LoadLayout(layoutFile ? layoutFile : "");
    if (m_pLayout)
        m_pLayout->SetVisible(true);
    m_nState = kGameStateStart;
    for (const wchar_t* name : {L"Wnd_multi_boss", L"Pic_battle_enemy_vs", L"Wnd_ready_go"})
        if (kv::KVWnd* w = Find(name))
            w->SetVisible(false);
    for (const wchar_t* name : {L"bullet_crazy_back_1", L"bullet_crazy_back_2", L"bullet_crazy_back_3"})
        if (kv::KVWnd* w = Find(name))
            w->SetMouseTransparent(true);

    if (kv::KVWnd* on = Find(L"Anibtn_attack_on"); on && Find(L"Anibtn_attack_off")) {
        const kv::KVPoint at = Find(L"Anibtn_attack_off")->GetAbsolutePosition();
        on->SetAbsolutePosition(at.x, at.y);
    }
    SetAutoAttack(1);

    const char* speedUp = SkinTable.GetSkinString(kSkinSpeedUp);
    m_SpeedUp.Load(speedUp ? speedUp : "");
    m_SpeedUp.Clear();
    using S = VanteoScene;
    const struct {
        const wchar_t* window;
        const wchar_t* event;
        void (S::*handler)(kv::EventArgs&);
    } bindings[] = {
        {L"Pic_num_gaugecount_enemy", kv::EventDraw, &S::OnDrawOverlay},
        {L"Anibtn_attack_on", kv::EventClicked, &S::OnAttackOnClicked},
        {L"Anibtn_attack_off", kv::EventClicked, &S::OnAttackOffClicked},
        {L"Anibtn_bullet_1", kv::EventClicked, &S::OnBullet1Clicked},
        {L"Anibtn_bullet_2", kv::EventClicked, &S::OnBullet2Clicked},
        {L"Anibtn_bullet_3", kv::EventClicked, &S::OnBullet3Clicked},
        {L"Anibtn_menu", kv::EventClicked, &S::OnMenuClicked},
        {L"Anibtn_rotate_R", kv::EventClicked, &S::OnRotateRightClicked},
        {L"Anibtn_rotate_L", kv::EventClicked, &S::OnRotateLeftClicked},
    };
    for (const auto& binding : bindings)
        if (kv::KVWnd* w = Find(binding.window))
            w->AddHandler(binding.event, kv::MakeHandler(this, binding.handler));
    m_TimeDisplay.Bind(m_pLayout, kDigitStyleTime);
    SoundTable.LoadSoundList(GameConfig.currentSkin);
    m_Lane.Bind(m_pLayout);

    m_pBoard = new VanteoBlockMap(GameBoardWorld(), GameBoardTuning);
    m_pBoard->Init(m_pLayout, -1, -1);
    StartBoardGame();
    m_pBoard->pointsCap = 999;
    m_nState = kGameStateStart;

    RestartMusic(kMusicBattle);
    VanteoBaseScene::Enter(mode, b);
    const std::wstring name = platform::Widen(GameConfig.playerName);
    std::wcsncpy(m_wszPlayerName, name.c_str(), std::size(m_wszPlayerName) - 1);
    AddHandlerEntry(MSG_RESULT_RESET_SELF, nullptr, [this](const void* d, int n) { return OnResultResetSelf(d, n); });
    AddHandlerEntry(MSG_RESULT_RETRY, nullptr, [this](const void*, int) { return Restart(0, 0); });
    AddHandlerEntry(MSG_RESULT_RETURN, nullptr, [this](const void* d, int n) { return OnResultReturn(d, n); });

    m_Player.Init(m_pLayout, m_pBoard->bullets);
    m_Ghost.Init(m_pLayout);

    LoadGhost();
    m_Ghost.Rewind();
    m_Player.m_fRealHp = m_Player.m_fShownHp = static_cast<float>(m_Ghost.m_nUserHp);
    m_fItemTimer = kFirstItemTimer;
    m_bWon = 0;
    ShowUI();

    DeleteResultPopUps();
    m_pResultWin = new VanteoPopUp_Result_Battle_Win();
    m_pResultLose = new VanteoPopUp_Result_Battle_Lose();
    m_pResultWin->Load();
    m_pResultLose->Load();

    modekit::LoadReadyGo(m_ReadyGo, m_pLayout);
    // The speed-up banner shows over the board, not at the screen's corner over the rival's gauge.
    modekit::PlaceOverComboArea(m_SpeedUp, m_pLayout);
    PlayReadyGo();

    if (kv::KVWnd* w = Find(L"Pic_warning"))
        w->SetVisible(false);
    m_bHintShown = 0;
    if (Find(L"Pic_message_1"))
        for (const wchar_t* n : {L"Pic_message_1", L"Pic_message_2", L"Pic_message_3"})
            if (kv::KVWnd* w = Find(n))
                w->SetVisible(false);
    for (const wchar_t* n : {L"Pic_effect_highlight_Large", L"Pic_effect_highlight_small"})
        if (kv::KVWnd* w = Find(n))
            w->SetVisible(false);
    m_bEntered = true;
    return 1;
}

void VanteoScene::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    if (m_pBoard)
        m_pBoard->DestroyBlocks();
    m_Lane.Reset();
    m_Lane.m_pRoot = nullptr;
    delete m_pBoard;
    m_pBoard = nullptr;
    SoundTable.StopSoundByKey(kMusicBattle);
    modekit::DetachWindow(m_pLayout);
    m_bEntered = false;
}

void VanteoScene::SetAutoAttack(int on)
{
    g_bAutoAttack = on;
    for (const wchar_t* n : {L"Anibtn_bullet_1", L"Anibtn_bullet_2", L"Anibtn_bullet_3"})
        if (kv::KVWnd* w = Find(n))
            w->SetEnabled(!on);
    if (kv::KVWnd* w = Find(L"Anibtn_attack_off"))
        w->SetVisible(!on);
    if (kv::KVWnd* w = Find(L"Anibtn_attack_on"))
        w->SetVisible(on != 0);
}

// --- firing ---------------------------------------------------------------------------------------

void VanteoScene::FireColour(int colour, int bullets)
{
    if (!m_pBoard || bullets <= 0)
        return;
    if (colour == 0)
        m_pBoard->RecordFire0(bullets);
    else if (colour == 1)
        m_pBoard->RecordFire1(bullets);
    else
        m_pBoard->RecordFire2(bullets);
    m_pBoard->bullets[colour] -= bullets;
    m_pBoard->bulletTotals[colour] -= bullets;
    m_Lane.LaunchPlayer(bullets, colour);
    AddThisGameCounterByName(kAttackCounters[colour], bullets);
}

bool VanteoScene::FireBullets(bool all, int colour)
{
    if (!m_pBoard || colour < 0 || colour > 3)
        return false;
    if (colour == 3) {
        m_Lane.StunEnemyLane();
        m_Lane.ClearPlayerLaneStuns();
        m_pBoard->RecordFireSpecial(kSpecialPower);
        m_Lane.LaunchPlayer(kSpecialPower, 3);
        return true;
    }
    const int n = battle::BulletsToFire(m_pBoard->bullets[colour], all);
    if (n <= 0)
        return false;
    FireColour(colour, n);
    return true;
}

void VanteoScene::FireSmallestStack()
{
    if (!m_pBoard)
        return;
    const battle::StackChoice choice = battle::ChooseSmallestStack(m_pBoard->bullets);
    if (choice.colour < 0)
        return;
    if (FireBullets(false, choice.colour)) {
        static constexpr const wchar_t* kButtons[3] = {L"Anibtn_bullet_1", L"Anibtn_bullet_2", L"Anibtn_bullet_3"};
        ButtonDown(kButtons[choice.colour]);
    }
}

// --- items, hits, the end ----------------------------------------------------------------------

void VanteoScene::UpdateItems(float seconds)
{
    const LaneGeometry& g = m_Lane.Geometry();
    const float gap = m_Lane.FrontGap();
    if (gap > kItemGap) {
        m_fItemTimer -= seconds;
        if (m_fItemTimer < 0.0f) {
            AttackLineBlock* enemyFront = nullptr;
            AttackLineBlock* playerFront = nullptr;
            m_Lane.GetFrontUnits(&enemyFront, &playerFront);
            const float p = enemyFront ? enemyFront->m_fPosition : 0.0f;
            GameRandom& random = GetGameRandom();
            const int kind = random.Next() % AttackLine::kItemKindCount;
            m_Lane.DropItem(kind, AttackLine::ItemDropX(g.laneLeft, p, gap, static_cast<int>(m_Ghost.m_fRealHp),
                                                         static_cast<int>(m_Player.m_fRealHp)));
            m_fItemTimer = battle::ItemTimer(random.Next());
        }
    }
    if (!m_Lane.m_bItemLanded)
        return;
    AttackLineBlock* enemyFront = nullptr;
    AttackLineBlock* playerFront = nullptr;
    m_Lane.GetFrontUnits(&enemyFront, &playerFront);
    AttackLineBlock* taker = nullptr;
    if (playerFront && m_Lane.m_fItemX > static_cast<float>(g.laneRight) - playerFront->m_fPosition)
        taker = playerFront;
    else if (enemyFront && m_Lane.m_fItemX < static_cast<float>(g.laneLeft) + enemyFront->m_fPosition)
        taker = enemyFront;
    if (!taker)
        return;
    m_Lane.m_bItemLanded = 0;
    const int kind = m_Lane.m_nItemKind;
    if (const int sound = battle::ApplyItemToUnit(*taker, kind, m_Lane.m_nItemFactor, m_Lane.m_nItemAdd))
        PlayEffect(sound);
    else if (kind == 5 && taker == playerFront)
        m_Lane.StunPlayerLane();
    else if (kind == 5)
        m_Lane.StunEnemyLane();
}

int VanteoScene::OnPlayerTowerHit(const void* data, int length)
{
    const int power = MessageWord(data, length, 2);
    const int damage = static_cast<int>(m_Lane.SpeedFactor() * static_cast<float>(power));
    m_Player.m_fRealHp = static_cast<float>(static_cast<int>(m_Player.m_fRealHp) - damage);
    m_Player.Hit(power);
    if (m_Player.m_fRealHp > kWarningHp)
        return 1;
    kv::KVWnd* warning = Find(L"Pic_warning");
    if (!warning)
        return 1;
    warning->SetVisible(true);
    kv::KVDirector* director = warning->GetDirector();
    if (director && director->currentScene && director->currentScene->playing)
        return 1;
    warning->PlayUIScene(L"Pic_warning_Default");
    PlayEffect(kSoundAlert);
    return 1;
}

int VanteoScene::OnEnemyTowerHit(const void* data, int length)
{
    // A ghost that does not loop is beaten by outlasting its replay, not by damage.
    if (!m_Ghost.m_bLoop)
        return 1;
    const int power = MessageWord(data, length, 4);
    const int damage = static_cast<int>(m_Lane.SpeedFactor() * static_cast<float>(power));
    m_Ghost.m_fRealHp = static_cast<float>(static_cast<int>(m_Ghost.m_fRealHp) - damage);
    m_Ghost.Hit(power);
    return 1;
}

void VanteoScene::CheckDefeat()
{
    if (static_cast<int>(m_Player.m_fShownHp) <= 0) {
        Post(MSG_GAME_LOSE);
        m_Ghost.m_bStop = 1;
    }
    if (static_cast<int>(m_Ghost.m_fShownHp) <= 0) {
        Post(MSG_GAME_WIN);
        m_Ghost.m_bStop = 1;
    }
}

VanteoPopUp_Result* VanteoScene::OpenResult(bool won)
{
    VanteoPopUp_Result* popUp = won ? m_pResultWin : m_pResultLose;
    if (!popUp)
        return nullptr;
    popUp->SetShowSound(won ? kSoundLastAttacking : kSoundLastAttacked);
    const int self = m_nMode == battle::kSelfPlayMode;
    if (auto* win = dynamic_cast<VanteoPopUp_Result_Battle_Win*>(popUp))
        win->m_bSelfPlay = self;
    if (auto* lose = dynamic_cast<VanteoPopUp_Result_Battle_Lose*>(popUp))
        lose->m_bSelfPlay = self;
    popUp->Open();
    return popUp;
}

// What a win and a loss share: the lane's ending, the frozen clock, the ranking and the result.
void VanteoScene::FinishGame(bool won)
{
    m_nState = kGameStateFinished;
    m_bWon = won ? 1 : 0;
    m_Lane.EndGame(won ? 0 : 1);
    if (m_pBoard)
        m_pBoard->frozen = 1;
    SoundTable.StopSoundByKey(kMusicBattle);

    const std::string key = std::to_string(m_nMode);
    const battle::RankingValues values = battle::RankingFor(m_Player.m_fShownHp, BoardPlayClock());
    InsertRankingScore(RANK_BATTLE, key.c_str(), values.score, values.time);
    SaveRanking();

    VanteoPopUp_Result* popUp = OpenResult(won);
    if (won && m_nMode == battle::kSelfPlayMode)
        GameConfig.selfWinBattle += 1;
    SetMouseArea();
    RankEntry* table = FindRankingTable(RANK_BATTLE, key.c_str());
    const int cubes = won ? ComputeCubeReward(table) : 1;
    AddCubes(cubes);
    SaveGameConfig();
    if (popUp)
        popUp->FillRanking(ModeKey().c_str(), table, cubes);
}

int VanteoScene::OnGameWin(const void* data, int length)
{
    VanteoBaseScene::OnGameWin(data, length);
    if (m_nState == kGameStateFinished)
        return 0;
    FinishGame(true);
    return 0;
}

int VanteoScene::OnGameLose(const void* data, int length)
{
    VanteoBaseScene::OnGameLose(data, length);
    if (m_nState == kGameStateFinished)
        return 0;
    FinishGame(false);
    return 0;
}

int VanteoScene::ComputeCubeReward(const void* table)
{
    return battle::CubeReward(static_cast<const RankEntry*>(table), m_nMode);
}

// --- restart, menu, pop-ups -------------------------------------------------------------------

int VanteoScene::Restart(int a, int b)
{
    if (m_ReadyGo.m_bPlaying)
        return 0;
    VanteoBaseScene::Restart(a, b);
    if (DXSoundServer* server = DXSoundServer::GetSingletonPtr()) {
        server->RestoreEffectsVolume();
        server->RestoreMusicVolume();
    }
    m_SpeedUp.Clear();
    m_Lane.Reset();
    if (m_pLayout)
        m_pLayout->SetVisible(true);
    m_nState = kGameStateStart;
    m_Lane.Bind(m_pLayout);
    StartBoardGame();
    RestartMusic(kMusicBattle);
    m_Ghost.Rewind();
    LoadGhost();
    m_Player.m_fRealHp = m_Player.m_fShownHp = static_cast<float>(m_Ghost.m_nUserHp);
    m_fItemTimer = kRestartItemTimer;
    m_bWon = 0;
    if (kv::KVWnd* w = Find(L"Pic_warning"))
        w->SetVisible(false);
    ShowUI();
    PlayReadyGo();
    return 1;
}

int VanteoScene::GoToMenu()
{
    PostChangeScene(kMainMenuSceneName, 1, 0);
    return 0;
}

int VanteoScene::OnResultReturn(const void*, int)
{
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(kMainMenuSceneName, 1, 0);
    return 1;
}

int VanteoScene::OnResultResetSelf(const void*, int)
{
    if (m_pExitQuestion->Open()) {
        m_pExitQuestion->SetTitle(L"Reset");
        m_pExitQuestion->SetMessage(L"Reset self-play data?");
    }
    m_pExitQuestion->m_nParam = 1;
    return 1;
}

int VanteoScene::OnPopUpYes(const void* data, int length)
{
    if (MessageWord(data, length, 1) != 1)
        return VanteoBaseScene::OnPopUpYes(data, length);
    if (!ResetGhostFile(kOwnBattleGhostFile))
        DFLog(LOG_WARN, L"Battle: the self-play ghost could not be reset");
    GameConfig.selfWinStackBattle += GameConfig.selfWinBattle;
    GameConfig.selfWinBattle = 0;
    for (VanteoPopUp_Result* popUp : {m_pResultWin, m_pResultLose})
        if (popUp && popUp->IsOpen())
            popUp->DisableResetSelf();
    return 1;
}

// --- other messages --------------------------------------------------------------------------

int VanteoScene::OnPlayTimeStep(const void*, int)
{
    m_SpeedUp.Play("speedup");
    const StageRecord* record = ModeConfig.currentStage;
    if (record && record->speedUp) {
        m_Lane.m_nSpeedLevel = std::min(m_Lane.m_nSpeedLevel + 1, kMaxSpeedLevel);
        PlayEffect(kSoundSpeedUp);
    }
    return 1;
}

int VanteoScene::OnBigStarCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStarCleared(data, length);
    m_Lane.LaunchPlayer(kSpecialPower, 3);
    m_Lane.StunEnemyLane();
    m_Lane.ClearPlayerLaneStuns();
    if (m_pBoard)
        m_pBoard->RecordFireSpecial(kSpecialPower);
    return 1;
}

int VanteoScene::OnBigStoneCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStoneCleared(data, length);
    LaneSerials& serials = m_Lane.Context().serials;
    m_Lane.PlaceMine(serials.NextMine(), 0, 0);
    if (m_pBoard)
        m_pBoard->RecordMarker();
    return 1;
}

int VanteoScene::OnEnemyAttack(const void* data, int length)
{
    VanteoBaseScene::OnEnemyAttack(data, length);
    const int flag = MessageWord(data, length, 1);
    const int kind = MessageWord(data, length, 2);
    const int power = MessageWord(data, length, 3);
    if (kind == 4) {
        LaneSerials& serials = m_Lane.Context().serials;
        m_Lane.PlaceEnemyMine(0, serials.NextMine(), 0, 0);
        PlayEffect(kSoundBigStoneCom);
        return 1;
    }
    m_Lane.LaunchEnemy(power, kind, flag);
    if (kind == 3) {
        PlayEffect(kSoundBigStarCom);
        m_Lane.StunPlayerLane();
        m_Lane.ClearEnemyLaneStuns();
    }
    return 1;
}

int VanteoScene::OnBulletOverflow(const void* data, int length)
{
    VanteoBaseScene::OnBulletOverflow(data, length);
    m_Lane.LaunchPlayer(MessageWord(data, length, 2), MessageWord(data, length, 1));
    return 1;
}

int VanteoScene::OnGhostCommand(const void* data, int length)
{
    const int command = MessageWord(data, length, 1);
    const int value = MessageWord(data, length, 2);
    switch (command) {
    case 0:
        // A looping ghost may add hit points for ever: they stop at the most a ghost may have.
        m_Ghost.m_fRealHp = static_cast<float>(std::clamp<long long>(
            static_cast<long long>(m_Ghost.m_fRealHp) + value, -Player_Ghost::kMaxHp, Player_Ghost::kMaxHp));
        break;
    case 1: {
        LaneSerials& serials = m_Lane.Context().serials;
        for (int offset : {0, 100, 200})
            m_Lane.PlaceEnemyMine(offset, serials.NextMine(), 0, 0);
        PlayEffect(kSoundBigStoneCom);
        break;
    }
    case 2:
        if (m_pBoard)
            m_pBoard->RemoveStars();
        break;
    case 3:
        if (m_pBoard)
            for (int c = 0; c < 3; ++c) {
                m_pBoard->bulletTotals[c] -= m_pBoard->bullets[c];
                m_pBoard->bullets[c] = 0;
            }
        break;
    default:
        break;
    }
    return 1;
}

int VanteoScene::OnComboCount(const void* data, int length)
{
    VanteoBaseScene::OnComboCount(data, length);
    modekit::ShowComboHighlight(m_pLayout, MessageWord(data, length, 1));
    return 1;
}

// --- pause, cursor, hint ----------------------------------------------------------------------

void VanteoScene::OnMenuClicked()
{
    if (m_nState != kGameStatePlaying)
        return;
    m_nState = kGameStatePaused;
    SetMouseArea();
    if (m_pPause->Open())
        m_pPause->Setup(0, ModeKey().c_str());
}

void VanteoScene::ShowUI()
{
    g_Mouse.m_bVisible = 1;
    g_Mouse.ClearRects();
    g_Mouse.AddWidgetRect(Find(L"Wnd_PuzzleArea"), kCursorBlock);
    g_Mouse.AddWidgetRect(Find(L"Pic_background_2"), 4);
    for (const wchar_t* name : {L"Anibtn_bullet_1", L"Anibtn_bullet_2", L"Anibtn_bullet_3", L"Anibtn_attack_off",
                                L"Anibtn_rotate_L", L"Anibtn_rotate_R", L"Anibtn_menu"})
        g_Mouse.AddWidgetRect(Find(name), kCursorButton);
}

void VanteoScene::ShowBulletHint()
{
    if (g_bAutoAttack || !m_pBoard)
        return;
    static constexpr const wchar_t* kHints[kHintColours] = {L"Pic_message_1", L"Pic_message_2", L"Pic_message_3"};
    for (int c = 0; c < kHintColours; ++c) {
        if (m_pBoard->bullets[c] > 0) {
            if (kv::KVWnd* w = Find(kHints[c]))
                w->SetVisible(true);
            m_bHintShown = 1;
            return;
        }
    }
}

// --- the frame ---------------------------------------------------------------------------------

void VanteoScene::UpdateTimeDisplay(float seconds)
{
    float t = BoardPlayClock();
    if (!m_Ghost.m_bLoop)
        t = m_Ghost.m_fLength - t;
    m_TimeDisplay.m_nFirst = static_cast<int>(t / 60.0f);
    m_TimeDisplay.m_nSecond = static_cast<int>(t) % 60;
    m_TimeDisplay.Update(seconds);
}

void VanteoScene::OnKey(int)
{
    if (KeyPressed(VK_ESCAPE) || KeyPressed(VK_BACK)) {
        if (m_nState == kGameStatePaused)
            ResumePlay();
        else if (m_nState != kGameStateFinished)
            OnMenuClicked();
        return;
    }
    if (m_nState != kGameStatePlaying || !m_pBoard)
        return;
    static constexpr struct {
        int key1, key2;
        const wchar_t* button;
    } kFireKeys[3] = {{'1', '8', L"Anibtn_bullet_1"}, {'2', '9', L"Anibtn_bullet_2"}, {'3', '0', L"Anibtn_bullet_3"}};
    for (int c = 0; c < 3; ++c) {
        if (KeyPressed(kFireKeys[c].key1) || KeyPressed(kFireKeys[c].key2)) {
            FireBullets(true, c);
            ButtonDown(kFireKeys[c].button);
        }
    }
    if (KeyPressed(VK_SPACE))
        FireSmallestStack();
    if (KeyPressed(0xC0) || KeyPressed('7'))
        SetAutoAttack(!g_bAutoAttack);
    if (KeyPressed('W') || KeyPressed('U')) {
        if (m_pBoard->RequestRotate(-1))
            ButtonDown(L"Anibtn_rotate_L");
    } else if (KeyPressed('E') || KeyPressed('I')) {
        if (m_pBoard->RequestRotate(+1))
            ButtonDown(L"Anibtn_rotate_R");
    }
}

void VanteoScene::OnMouse(int)
{
    if (m_nState != kGameStatePlaying || !m_pBoard)
        return;
    CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
    if (!mouse)
        return;
    const float x = static_cast<float>(mouse->m_x);
    const float y = static_cast<float>(mouse->m_y);
    m_pBoard->Hover(x, y);
    if (mouse->m_dwFlags & mouseflag::kLeftPressed)
        m_pBoard->Click(x, y);
    else if (mouse->m_dwFlags & mouseflag::kRightPressed)
        FireSmallestStack();
    if (mouse->m_nWheel > 0) {
        if (m_pBoard->StartRotate(-1))
            ButtonDown(L"Anibtn_rotate_L");
    } else if (mouse->m_nWheel < 0) {
        if (m_pBoard->StartRotate(+1))
            ButtonDown(L"Anibtn_rotate_R");
    }
}

int VanteoScene::Update(float seconds)
{
    g_Mouse.Update(seconds);
    kv::KVSystem* system = kv::KVSystem::GetPtr();
    if (!m_bEntered)
        return 1;
    switch (m_nState) {
    case kGameStateStart:
        m_ReadyGo.Update(seconds);
        if (m_pBoard) {
            m_pBoard->Update(seconds);
            m_pBoard->playTime = 0.0f;
        }
        if (system)
            system->Update(seconds);
        m_Player.Update(seconds);
        m_Ghost.Update(seconds);
        m_Lane.Update(seconds);
        if (!m_ReadyGo.m_bPlaying)
            m_nState = kGameStatePlaying;
        break;
    case kGameStatePaused:
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        if (system)
            system->Update(seconds);
        if (KeyPressed('R')) {
            if (!m_pPause->m_Help.IsOpen())
                m_pPause->OnRetry();
        } else if (KeyPressed('Q')) {
            m_pPause->OnQuit();
            return 1;
        } else if (KeyPressed('X')) {
            m_pPause->OnExit();
            return 1;
        } else if (KeyPressed('K')) {
            m_pPause->OnKeyHelp();
            return 1;
        }
        break;
    case kGameStateFinished:
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        m_Player.Update(seconds);
        m_Ghost.Update(seconds);
        m_Lane.Update(seconds);
        if (system)
            system->Update(seconds);
        break;
    default:
        if (g_bAutoAttack && m_pBoard)
            for (int c = 0; c < 3; ++c)
                if (m_pBoard->bullets[c] > 0)
                    FireBullets(true, c);
        UpdateBonusMessage(seconds);
        if (m_pBoard)
            m_pBoard->Update(seconds);
        m_SpeedUp.Update(seconds);
        m_Player.Update(seconds);
        m_Ghost.Update(seconds);
        if (m_nState != kGameStateFinished)
            CheckDefeat();
        m_Lane.Update(seconds);
        UpdateItems(seconds);
        if (system)
            system->Update(seconds);
        break;
    }
    OnKey(0);
    OnMouse(0);
    UpdateTimeDisplay(seconds);
    m_pExitQuestion->Update(seconds);
    m_pPause->Update(seconds);
    if (m_pResultWin)
        m_pResultWin->Update(seconds);
    if (m_pResultLose)
        m_pResultLose->Update(seconds);
    if (!m_bHintShown)
        ShowBulletHint();
    return 1;
}

int VanteoScene::Render()
{
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    // A won self-play game becomes the next self-play opponent; the board forgets its replay
    // once written, so this happens once a game.
    if (m_nState == kGameStateFinished && m_bWon && m_nMode == battle::kSelfPlayMode && m_pBoard)
        m_pBoard->SaveRecording();
    m_ReadyGo.Draw(&m_ReadyGo.m_matWorld);
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

void VanteoScene::OnDrawOverlay(kv::EventArgs&)
{
    m_TimeDisplay.Draw();
    m_SpeedUp.Draw(&m_SpeedUp.m_matWorld);
    m_Player.DrawNumbers();
    m_Ghost.Draw();
    const StageRecord* record = ModeConfig.currentStage;
    if (auto* enemy = dynamic_cast<kv::KVLabel*>(Find(L"Label_name_enemy")))
        enemy->text = platform::Widen(record ? record->name : "");
    if (auto* user = dynamic_cast<kv::KVLabel*>(Find(L"Label_name_user")))
        user->text = m_wszPlayerName;
}

void VanteoScene::OnAttackOnClicked(kv::EventArgs&) { SetAutoAttack(0); }

void VanteoScene::OnAttackOffClicked(kv::EventArgs&) { SetAutoAttack(1); }

void VanteoScene::OnBullet1Clicked(kv::EventArgs&) { FireBullets(true, 0); }

void VanteoScene::OnBullet2Clicked(kv::EventArgs&) { FireBullets(true, 1); }

void VanteoScene::OnBullet3Clicked(kv::EventArgs&) { FireBullets(true, 2); }

void VanteoScene::OnMenuClicked(kv::EventArgs&) { OnMenuClicked(); }

void VanteoScene::OnRotateRightClicked(kv::EventArgs&)
{
    if (m_nState == kGameStatePlaying && m_pBoard)
        m_pBoard->StartRotate(+1);
}

void VanteoScene::OnRotateLeftClicked(kv::EventArgs&)
{
    if (m_nState == kGameStatePlaying && m_pBoard)
        m_pBoard->StartRotate(-1);
}
