#include "online/SteamVanteoScene_Push.h"

#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "engine/LayoutFiles.h"
#include "board/BoardWindows.h"
#include "board/GameMessages.h"
#include "board/VanteoBlockMap.h"
#include "board/BoardEventRecorder.h"
#include "engine/FontManager.h"
#include "engine/InputSystem.h"
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
#include "menus/PopUpResult.h"
#include "menus/GameWorld.h"
#include "modes/ModeSceneKit.h"
#include "net/NetGameMessages.h"
#include "engine/LoadingScene.h"
#include "net/NetGlobals.h"
#include "net/ServerMessages.h"
#include "net/SteamClient.h"
#include "net/SteamServer.h"

#include <helvane/Log.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr const char* kPushFieldLayout = "data/PUSHING_layout.xml";
constexpr int kSkinLayoutPush = 12;
constexpr int kTimeDigitRow = 3;
constexpr int kFireTypeSpecial = 3;
constexpr int kStarLanes = 3;
// The number of blocks on the player's lever at which the warning shows: one more loses.
constexpr int kWarningStack = PushBlockSet::kWinningStack - 1;
constexpr D3DCOLOR kFightTimeColour = 0xFF888888;

} // namespace

SteamVanteoScene_Push::SteamVanteoScene_Push(IMessageSink* messages, ISoundSink* sounds)
    : VanteoNetBaseScene(messages, sounds), m_Field(MakeBoardWorld())
{
    SetName(kNetPushSceneName);
}

SteamVanteoScene_Push::~SteamVanteoScene_Push() { SteamVanteoScene_Push::Leave(); }

int SteamVanteoScene_Push::Enter(int a, int b)
{
    LoadModeConfig(kPushConfigFile);
    m_pRoot = LoadLayout(SkinTable.GetSkinString(kSkinLayoutPush));
    if (m_pRoot)
        m_pRoot->SetVisible(true);
    m_pPushWindow = kv::GetKVSystem().CreateWindowFromLayout(kPushFieldLayout);
    if (m_pPushWindow) {
        m_pPushWindow->SetVisible(true);
        m_pPushWindow->SetMouseTransparent(true);
        m_pPushWindow->SetZOrder(-2);
        if (kv::KVWnd* parent = m_pPushWindow->GetParent())
            parent->SortChildrenIfDirty();
    }
    auto* win = new VanteoPopUp_MultiWin();
    auto* lose = new VanteoPopUp_MultiLose();
    m_pResultWin = win;
    m_pResultLose = lose;
    win->Load();
    lose->Load();
    m_Field.moveSpeed = ModeConfig.pushMoveSpeed;
    m_Field.trapTime = ModeConfig.pushTrapTime;
    m_Field.Init(m_pPushWindow, m_pRoot);
    ModeConfig.currentStage = FindMultiPlayStage();
    SoundTable.LoadSoundList(GameConfig.currentSkin);

    m_pBoard = new VanteoBlockMap(MakeBoardWorld(), GameBoardTuning);
    m_pBoard->Init(m_pRoot, -1, -1);
    m_pBoard->NewGame();
    // The opponent's board sits in its area of the layout (at the usual place without one).
    const kv::KVWnd* mirrorArea = Find(L"Wnd_PuzzleArea_enemy");
    const kv::KVPoint mirrorAt = mirrorArea ? mirrorArea->GetAbsolutePosition() : kv::KVPoint{kMirrorX, kMirrorY};
    CreateMirrorBoard(mirrorAt.x, mirrorAt.y);

    if (kv::KVWnd* w = Find(L"Pic_num_time_1"))
        w->AddHandler(kv::EventDraw, kv::MakeHandler(this, &SteamVanteoScene_Push::DrawTime));
    if (kv::KVWnd* w = Find(L"Wnd_PuzzleArea_enemy"))
        w->AddHandler(kv::EventDraw, kv::MakeHandler(this, &SteamVanteoScene_Push::DrawMirrorBoard));
    if (kv::KVWnd* w = Find(L"Anibtn_rotate_R"))
        w->AddHandler(kv::EventClicked, kv::MakeHandler(static_cast<VanteoNetBaseScene*>(this),
                                                        &VanteoNetBaseScene::OnRotateRightButton));
    if (kv::KVWnd* w = Find(L"Anibtn_rotate_L"))
        w->AddHandler(kv::EventClicked, kv::MakeHandler(static_cast<VanteoNetBaseScene*>(this),
                                                        &VanteoNetBaseScene::OnRotateLeftButton));
    m_TimeDisplay.Bind(m_pRoot, kTimeDigitRow);
    m_nState = kGameStateStart;
    Sounds().Stop(kMusicPush);
    if (SoundTable.m_musicEnabled)
        Sounds().Play(kMusicPush, true, -1.0f);

    VanteoBaseScene::Enter(a, b);
    TakeOwnName();
    AddHandler(MSG_RESULT_CONTINUE, nullptr, &VanteoNetBaseScene::OnResultContinue);
    m_bWon = 0;
    m_bDisconnected = 0;
    m_bStateChanged = 0;

    modekit::SetCursorAreas({{m_pRoot, L"Wnd_PuzzleArea", kCursorBlock},
                             {m_pRoot, L"Anibtn_menu", kCursorButton},
                             {m_pRoot, L"Anibtn_rotate_L", kCursorButton},
                             {m_pRoot, L"Anibtn_rotate_R", kCursorButton}});

    modekit::LoadReadyGo(m_ReadyGo, m_pRoot);
    m_ReadyGo.Play("readygo");
    m_nState = kGameStateStart;
    PlaySound(kSoundReadyGo);
    SetVisible(L"Pic_warning", false);

    // The ready message goes to this machine's own scene queue, where the loading scene takes
    // it: the wait ends as soon as that scene has run, whatever the other player does.
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr()) {
        PayloadWriter().PostTo(GetSceneQueueSink(), netmsg::kReady);
        while (g_nNetReadyCount.load() > 0 && !manager->IsQuitting())
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    HideComboHighlights();
    m_bEntered = true;
    return 1;
}

void SteamVanteoScene_Push::Leave()
{
    if (!m_bEntered)
        return;
    m_bEntered = false;
    VanteoBaseScene::Leave();
    DeleteBoards();
    Sounds().Stop(kMusicPush);
    modekit::DetachWindow(m_pRoot);
    modekit::DetachWindow(m_pPushWindow);
    m_Field.Detach();
}

int SteamVanteoScene_Push::Restart(int a, int b)
{
    if (m_ReadyGo.m_bPlaying)
        return 0;
    VanteoBaseScene::Restart(a, b);
    m_nState = kGameStateStart;
    return 1;
}

int SteamVanteoScene_Push::GoToMenu()
{
    if (!Hosting())
        return 0;
    PostBackToLobby();
    if (g_pSteamServer)
        g_pSteamServer->SetGameState(serverstate::kGameOver);
    return 0;
}

int SteamVanteoScene_Push::OnPopUpOk(const void*, int)
{
    PostBackToLobby();
    // Both clients leave the match for the lobby, so that the next start finds them ready to
    // connect again.
    if (g_pSteamClient && g_pSteamClient->m_eConnectedStatus != clientstate::kBackToLobby)
        g_pSteamClient->m_eConnectedStatus = clientstate::kBackToLobby;
    return 1;
}

// --- the end of the match -------------------------------------------------------------------

int SteamVanteoScene_Push::OnGameWin(const void*, int)
{
    GetBoardEventRecorder().FinishRecording(nullptr);
    return FinishMatch(true, kMusicPush) ? 0 : 1;
}

int SteamVanteoScene_Push::OnGameLose(const void*, int)
{
    GetBoardEventRecorder().FinishRecording(nullptr);
    return FinishMatch(false, kMusicPush) ? 0 : 1;
}

// --- pushes ---------------------------------------------------------------------------------

void SteamVanteoScene_Push::Push(int lane, int amount)
{
    if (Hosting()) {
        m_Field.ApplyPush(lane, amount);
        m_bStateChanged = 1;
    } else {
        m_Field.AddPush(lane, amount);
    }
}

int SteamVanteoScene_Push::OnGroupCleared(const void* data, int length)
{
    VanteoBaseScene::OnGroupCleared(data, length);
    if (MessageWord(data, length, 1) == 0)
        return 1;
    const int colour = MessageWord(data, length, 2);
    // A lane moves at most twice the lane's length at once: no clear needs more than the cap.
    const int points = std::clamp(MessageWord(data, length, 3), 0, kMaxPushPoints);
    if (colour < 0 || colour > 2)
        return 1;
    Push(colour, -points);
    SendGameMessage(netmsg::kPushPoints, PayloadWriter().I32(colour).I32(points));
    return 1;
}

int SteamVanteoScene_Push::OnBigStarCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStarCleared(data, length);
    Push(kStarLanes, -kStarPush);
    if (m_pBoard)
        m_pBoard->RecordFireSpecial(kStarPush);
    netmsg::FireRequest request;
    request.unused = 0;
    request.type = kFireTypeSpecial;
    request.count = kStarPush;
    SendGameMessage(netmsg::kFireRequest, netmsg::Fields(request));
    return 1;
}

int SteamVanteoScene_Push::OnNetPushPoints(const netmsg::Record& record)
{
    int32_t lane = -1, points = 0;
    if (!netmsg::ReadInt(record, 0, lane) || !netmsg::ReadInt(record, 1, points) || lane < 0 || lane > 2) {
        DFLog(LOG_WARN, L"Push: a push of lane %d is refused", lane);
        return 1;
    }
    // No clear of the other player's board is worth more than the cap, nor pushes backwards.
    Push(lane, std::clamp(points, 0, kMaxPushPoints));
    return 1;
}

int SteamVanteoScene_Push::OnNetFireRequest(const netmsg::Record& record)
{
    netmsg::FireRequest request;
    if (!netmsg::Read(record, request) || request.type != kFireTypeSpecial)
        return 1;
    Push(kStarLanes, kStarPush);
    PlaySound(kSoundStarPush);
    return 1;
}

// --- traps ----------------------------------------------------------------------------------

int SteamVanteoScene_Push::OnBigStoneCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStoneCleared(data, length);
    m_Field.TrapEnemyLane();
    SendGameMessage(netmsg::kBigStone, PayloadWriter().I32(0));
    return 1;
}

int SteamVanteoScene_Push::OnNetBigStone(const netmsg::Record&)
{
    // A field holds no more traps than its state can carry to the other machine: a flood of
    // stone messages stops adding traps there.
    if (m_Field.stones.size() >= static_cast<size_t>(PushLaneState::kMaxStones)) {
        DFLog(LOG_WARN, L"Push: a trap is refused, the field holds %d", PushLaneState::kMaxStones);
        return 1;
    }
    m_Field.TrapUserLane();
    PlaySound(kSoundStoneTrap);
    return 1;
}

int SteamVanteoScene_Push::OnPushFieldChanged(const void*, int)
{
    m_bStateChanged = 1;
    return 1;
}

// --- the field's state ----------------------------------------------------------------------

int SteamVanteoScene_Push::OnNetPushState(const netmsg::Record& record)
{
    PushLaneState state;
    if (!netmsg::Read(record, state)) {
        DFLog(LOG_WARN, L"Push: a field state is refused");
        return 1;
    }
    // The host's lanes are the true ones: from the guest's state (sent when one of its traps
    // ran out) it takes the traps only, so the pushes it applied meanwhile stay where they are.
    if (Hosting())
        state.lanes = m_Field.lanes;
    // The push counts scale the shown pushes: a count no game reaches is cut to one it can.
    for (PushLane& lane : state.lanes)
        lane.comboCount = std::clamp(lane.comboCount, 0, kMaxComboCount);
    m_Field.LoadState(state);
    return 1;
}

void SteamVanteoScene_Push::SendPushState()
{
    if (!m_bStateChanged)
        return;
    PushLaneState state;
    m_Field.SaveState(state);
    SendGameMessage(netmsg::kPushState, netmsg::Fields(state));
    m_bStateChanged = 0;
}

// --- block drops ----------------------------------------------------------------------------

int SteamVanteoScene_Push::OnPushBlockDrop(const void* data, int length)
{
    // The guest's lanes only follow the host's: its own drop reports mean nothing.
    if (!Hosting() || !data || length < 12)
        return 1;
    const int side = MessageWord(data, length, 1);
    const int lane = MessageWord(data, length, 2);
    if (lane < 0 || lane > 2 || (side != 0 && side != 1))
        return 1;
    m_Field.AddBlock(lane, side);
    SendGameMessage(netmsg::kPushBlockDrop, PayloadWriter().I32(side == 0 ? 1 : 0).I32(lane));
    DFLog(L"Send Push Block Drop");
    return 1;
}

int SteamVanteoScene_Push::OnNetPushBlockDrop(const netmsg::Record& record)
{
    if (Hosting())
        return 1;
    int32_t side = -1, lane = -1;
    if (!netmsg::ReadInt(record, 0, side) || !netmsg::ReadInt(record, 1, lane) || lane < 0 || lane > 2 ||
        (side != 0 && side != 1)) {
        DFLog(LOG_WARN, L"Push: a block drop of side %d lane %d is refused", side, lane);
        return 1;
    }
    m_Field.AddBlock(lane, side);
    return 1;
}

// --- input and frames -----------------------------------------------------------------------

void SteamVanteoScene_Push::OnMouse(int) { BoardMouse(); }

void SteamVanteoScene_Push::OnKey(int) { TurnByKeys(); }

void SteamVanteoScene_Push::UpdateWarning()
{
    kv::KVWnd* warning = Find(L"Pic_warning");
    if (!warning)
        return;
    if (m_Field.enemyStackSize != kWarningStack) {
        warning->SetVisible(false);
        return;
    }
    warning->SetVisible(true);
    kv::KVDirector* director = AnimationDirectorOf(warning);
    if (!director || (director->currentScene && director->currentScene->playing))
        return;
    if (kv::KVAnimation* first = director->GetFirstScene()) {
        first->loop = true;
        director->currentScene = first;
        first->Stop();
        first->Start();
    }
}

int SteamVanteoScene_Push::Update(float seconds)
{
    if (!m_bEntered)
        return 1;
    PumpNetwork(seconds);
    kv::KVSystem* system = kv::KVSystem::GetPtr();
    if (m_nState == kGameStateStart) {
        m_ReadyGo.Update(seconds);
        if (m_pBoard) {
            m_pBoard->Update(seconds);
            m_pBoard->playTime = 0.0f;
        }
        if (system)
            system->Update(seconds);
        if (!m_ReadyGo.m_bPlaying)
            m_nState = kGameStatePlaying;
    } else if (m_bDisconnected) {
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        if (system)
            system->Update(seconds);
    } else if (m_nState == kGameStateFinished) {
        modekit::KeyPressed(' ');
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        m_Field.Update(seconds);
        if (system)
            system->Update(seconds);
    } else {
        if (system)
            system->Update(seconds);
        UpdateBonusMessage(seconds);
        OnMouse(0);
        OnKey(0);
        if (m_pBoard)
            m_pBoard->Update(seconds);
        if (m_pMirrorBoard)
            m_pMirrorBoard->Update(seconds);
        m_Field.Update(seconds);
    }
    const float clock = BoardPlayClock();
    m_TimeDisplay.m_nFirst = static_cast<int>(clock / 60.0f);
    m_TimeDisplay.m_nSecond = static_cast<int>(clock) % 60;
    m_TimeDisplay.Update(seconds);
    SendPushState();
    g_Mouse.Update(seconds);
    UpdateWarning();
    UpdatePopUps(seconds);
    return 1;
}

int SteamVanteoScene_Push::Render()
{
    // The mirror board and the push field draw themselves inside the window tree.
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    if (auto* enemy = dynamic_cast<kv::KVLabel*>(Find(L"Label_name_enemy")))
        enemy->text = m_wszOpponentName;
    if (auto* user = dynamic_cast<kv::KVLabel*>(Find(L"Label_name_user")))
        user->text = m_wszPlayerName;
    const int clock = static_cast<int>(BoardPlayClock());
    wchar_t text[64];
    std::swprintf(text, 64, L"Fight Time : %02d:%02d", clock / 60, clock % 60);
    FTFont::GetSingleton().DrawDefault(841, 10, kFightTimeColour, text);
    m_ReadyGo.Draw(&m_ReadyGo.m_matWorld);
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

void SteamVanteoScene_Push::DrawTime(kv::EventArgs&) { m_TimeDisplay.Draw(); }

void SteamVanteoScene_Push::DrawMirrorBoard(kv::EventArgs&)
{
    if (m_pMirrorBoard)
        m_pMirrorBoard->DrawBlocks();
}
