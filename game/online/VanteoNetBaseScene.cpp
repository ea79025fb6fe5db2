#include "online/VanteoNetBaseScene.h"

#include "engine/Getters.h"
#include "data/Options.h"
#include "net/PersonaName.h"
#include "board/GameSinks.h"
#include "board/VanteoBlockMap.h"
#include "engine/InputSystem.h"
#include "kv/KVDirector.h"
#include "kv/KVEventArgs.h"
#include "kv/KVWnd.h"
#include "menus/GameWorld.h"
#include "modes/ModeSceneKit.h"
#include "menus/PopUp.h"
#include "menus/PopUpResult.h"
#include "net/LeaderBoard.h"
#include "net/NetGameMessages.h"
#include "net/NetGlobals.h"
#include "net/ServerMessages.h"
#include "net/SteamClient.h"
#include "net/SteamServer.h"

#include <helvane/Log.h>
#include <win32/VirtualKeys.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <optional>
#include <vector>

namespace {

// Local messages of online play.
constexpr int32_t kPushFieldChanged = 2102;
constexpr int32_t kPlayerConnected = 2113;
constexpr int32_t kPlayerRemoved = 2114;
constexpr int32_t kDisconnect = 2116;

constexpr int kDownState = 1;  // an animated button's "DOWN"
constexpr int kMaxCubes = 9999;
constexpr float kMirrorScale = 0.5f;

} // namespace

VanteoNetBaseScene::VanteoNetBaseScene()
{
    SetName("VanteoNetBaseScene");
}

VanteoNetBaseScene::VanteoNetBaseScene(IMessageSink* messages, ISoundSink* sounds) : VanteoNetBaseScene()
{
    SetLocalSinks(messages, sounds);
}

VanteoNetBaseScene::~VanteoNetBaseScene()
{
    VanteoBaseScene::Leave();
    DeleteBoards();
}

bool VanteoNetBaseScene::IsHost()
{
    return g_pSteamServer != nullptr;
}

void VanteoNetBaseScene::SetLocalSinks(IMessageSink* messages, ISoundSink* sounds)
{
    m_pLocalMessages = messages;
    m_pSounds = sounds;
}

IMessageSink& VanteoNetBaseScene::LocalMessages() const
{
    return m_pLocalMessages ? *m_pLocalMessages : GetSceneQueueSink();
}

ISoundSink& VanteoNetBaseScene::Sounds() const
{
    return m_pSounds ? *m_pSounds : static_cast<ISoundSink&>(GetSoundTableSink());
}

BoardWorld VanteoNetBaseScene::MakeBoardWorld() const
{
    return BoardWorld{LocalMessages(), Sounds(), GetGameRandom()};
}

void VanteoNetBaseScene::BindNetMessage(int32_t id, NetOperation operation)
{
    AddHandlerEntry(id, nullptr, [this, id, operation](const void* data, int length) {
        // Records come from the other machine: the codec refuses one shorter than its id's fields.
        const std::optional<netmsg::Record> record =
            length > 0 ? netmsg::Parse(static_cast<const uint8_t*>(data), static_cast<size_t>(length)) : std::nullopt;
        if (!record || record->id != id) {
            DFLog(LOG_WARN, L"%hs: game message %d refused, %d bytes", GetName(), id, length);
            return 1;
        }
        return (this->*operation)(*record);
    });
}

void VanteoNetBaseScene::RegisterMessageHandlers()
{
    VanteoBaseScene::RegisterMessageHandlers();
    using B = VanteoBaseScene;
    using S = VanteoNetBaseScene;
    auto op = [](auto member) { return static_cast<int (B::*)(const void*, int)>(member); };
    BindNetMessage(netmsg::kPushState, &S::OnNetPushState);
    BindMessage(kPushFieldChanged, &B::OnNetSlot3);
    BindMessage(MSG_PUSH_BLOCK_DROP, &B::OnPushBlockDrop);
    BindMessage(MSG_POPUP_OK, op(&S::OnPopUpOk));
    for (int32_t id : {2110, 2111, 2112})
        BindMessage(id, op(&S::OnNetUnused));
    BindMessage(kPlayerRemoved, op(&S::OnNetPlayerRemoved));
    BindMessage(2115, op(&S::OnNetUnused));
    BindMessage(kDisconnect, op(&S::OnNetDisconnect));
    BindMessage(kPlayerConnected, op(&S::OnNetPlayerConnected));
    BindNetMessage(netmsg::kSpeedUp, &S::OnNetSpeedUp);
    BindMessage(2118, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kItemDrop, &S::OnNetItemDrop);
    BindNetMessage(netmsg::kItemGet, &S::OnNetItemGet);
    BindNetMessage(netmsg::kBoardLayout, &S::OnNetBoardLayout);
    BindNetMessage(netmsg::kRotate, &S::OnNetRotate);
    BindNetMessage(netmsg::kBulletGain, &S::OnNetBulletGain);
    BindNetMessage(netmsg::kFireRequest, &S::OnNetFireRequest);
    BindMessage(2128, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kAttackCreated, &S::OnNetAttackCreated);
    BindNetMessage(netmsg::kLaneUnitsMet, &S::OnNetLaneUnitsMet);
    BindNetMessage(netmsg::kLaneUnitHitMine, &S::OnNetLaneUnitHitMine);
    for (int32_t id : {2132, 2133})
        BindMessage(id, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kBigStone, &S::OnNetBigStone);
    BindMessage(2135, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kPushPoints, &S::OnNetPushPoints);
    BindNetMessage(netmsg::kLaneUnitPower, &S::OnNetLaneUnitPower);
    for (int32_t id : {2138, 2139})
        BindMessage(id, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kPushBlockDrop, &S::OnNetPushBlockDrop);
}

bool VanteoNetBaseScene::SendGameMessage(int32_t id, const PayloadWriter& fields)
{
    if (!g_pSteamClient)
        return false;
    const std::vector<uint8_t> record = netmsg::Build(id, LocalPlayerId(), fields);
    return g_pSteamClient->QueueGameMessage(record.data(), static_cast<int32_t>(record.size()));
}

uint64_t VanteoNetBaseScene::LocalPlayerId() const
{
    return g_pSteamClient ? g_pSteamClient->m_steamIDLocalUser.ConvertToUint64() : 0;
}

// --- windows, boards, names ------------------------------------------------------------------

kv::KVWnd* VanteoNetBaseScene::Find(const wchar_t* name) const { return modekit::Find(m_pRoot, name); }

void VanteoNetBaseScene::ButtonDown(const wchar_t* name) const { modekit::SetButtonState(m_pRoot, name, kDownState); }

void VanteoNetBaseScene::SetVisible(const wchar_t* name, bool visible) const { modekit::Show(m_pRoot, name, visible); }

void VanteoNetBaseScene::PlaySound(int key) const { PlayEffectSound(Sounds(), key); }

void VanteoNetBaseScene::CreateMirrorBoard(float x, float y)
{
    delete m_pMirrorBoard;
    m_pMirrorBoard = new VanteoBlockMap(MakeBoardWorld(), GameBoardTuning);
    m_pMirrorBoard->Init(nullptr, -1, -1);
    m_pMirrorBoard->quiet = 1;
    m_pMirrorBoard->originX = x;
    m_pMirrorBoard->originY = y;
    m_pMirrorBoard->scaleX = kMirrorScale;
    m_pMirrorBoard->scaleY = kMirrorScale;
}

void VanteoNetBaseScene::DeleteBoards()
{
    modekit::DeleteBoard(m_pBoard);
    modekit::DeleteBoard(m_pMirrorBoard);
}

void VanteoNetBaseScene::TakeOwnName()
{
    std::fill(std::begin(m_wszPlayerName), std::end(m_wszPlayerName), L'\0');
    std::fill(std::begin(m_wszOpponentName), std::end(m_wszOpponentName), L'\0');
    ISteamUser* user = SteamUser();
    const CSteamID self = user ? user->GetSteamID() : CSteamID();
    wchar_t persona[kPersonaNameChars] = {};
    if (self.ConvertToUint64() != 0 && GetPersonaName(kPersonaWidthBudget, persona, self) > 0)
        std::wcsncpy(m_wszPlayerName, persona, kNameChars - 1);
    else
        std::wcsncpy(m_wszPlayerName, L"Unknown Player", kNameChars - 1);
}

// --- the boards' messages ------------------------------------------------------------------------

int VanteoNetBaseScene::OnBoardLayout(const void* data, int length)
{
    VanteoBaseScene::OnBoardLayout(data, length);
    // The cells follow the id word; words past the message's end go out as 0.
    PayloadReader in(static_cast<const uint8_t*>(data) + 4, static_cast<size_t>(std::max(length - 4, 0)));
    PayloadWriter cells;
    for (int i = 0; i < VanteoBlockMap::kLayoutWords; ++i)
        cells.U16(in.U16());
    SendGameMessage(netmsg::kBoardLayout, cells);
    return 1;
}

int VanteoNetBaseScene::OnNetBoardLayout(const netmsg::Record& record)
{
    if (m_wszOpponentName[0] == L'\0') {
        wchar_t persona[kPersonaNameChars] = {};
        if (GetPersonaName(kPersonaWidthBudget, persona, CSteamID(record.sender)) > 0)
            std::wcsncpy(m_wszOpponentName, persona, kNameChars - 1);
    }
    std::vector<uint16_t> cells;
    if (m_pMirrorBoard && netmsg::ReadLayout(record, cells))
        m_pMirrorBoard->LoadSnapshotWords(cells.data(), cells.size());
    return 1;
}

int VanteoNetBaseScene::OnNetRotate(const netmsg::Record& record)
{
    int direction = 0;
    if (!netmsg::ReadRotate(record, direction)) {
        DFLog(LOG_WARN, L"%hs: turn direction refused", GetName());
        return 1;
    }
    if (m_pMirrorBoard)
        m_pMirrorBoard->StartRotate(direction);
    return 1;
}

// --- turning the own board -----------------------------------------------------------------------

bool VanteoNetBaseScene::TurnBoard(int direction, bool request)
{
    if (!m_pBoard)
        return false;
    const int taken = request ? m_pBoard->RequestRotate(direction) : m_pBoard->StartRotate(direction);
    if (!taken)
        return false;
    ButtonDown(direction < 0 ? L"Anibtn_rotate_L" : L"Anibtn_rotate_R");
    PayloadWriter fields;
    fields.U32(static_cast<uint32_t>(static_cast<uint8_t>(static_cast<int8_t>(direction))));
    SendGameMessage(netmsg::kRotate, fields);
    return true;
}

void VanteoNetBaseScene::TurnByKeys()
{
    // A left-turn key, taken or refused, leaves the right-turn keys for the next frame.
    using modekit::KeyPressed;
    if (KeyPressed('W') || KeyPressed('U'))
        TurnBoard(-1, true);
    else if (KeyPressed('E') || KeyPressed('I'))
        TurnBoard(+1, true);
}

void VanteoNetBaseScene::TurnByWheel(int wheel)
{
    if (wheel < 0)
        TurnBoard(+1, false);
    else if (wheel > 0)
        TurnBoard(-1, false);
}

void VanteoNetBaseScene::BoardMouse()
{
    CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
    if (!mouse || !m_pBoard)
        return;
    const float x = static_cast<float>(mouse->m_x);
    const float y = static_cast<float>(mouse->m_y);
    m_pBoard->Hover(x, y);
    if (mouse->m_dwFlags & mouseflag::kLeftPressed)
        m_pBoard->Click(x, y);
    else if (mouse->m_dwFlags & mouseflag::kRightPressed)
        OnBoardRightPress(x, y);
    TurnByWheel(mouse->m_nWheel);
}

void VanteoNetBaseScene::OnBoardRightPress(float x, float y)
{
    if (m_pBoard)
        m_pBoard->RightClick(x, y);
}

void VanteoNetBaseScene::OnRotateRightButton(kv::EventArgs&)
{
    if (m_nState == kGameStatePlaying)
        TurnBoard(+1, false);
}

void VanteoNetBaseScene::OnRotateLeftButton(kv::EventArgs&)
{
    if (m_nState == kGameStatePlaying)
        TurnBoard(-1, false);
}

// --- the end of a match, the lobby, the notice ------------------------------------------------------

bool VanteoNetBaseScene::FinishMatch(bool won, int musicKey)
{
    if (m_nState == kGameStateFinished)
        return false;
    if (won) {
        GetLeaderBoard().RecordMultiWin();
        g_nSessionRecord += 0x10000;
    } else {
        GetLeaderBoard().RecordMultiLoss();
        g_nSessionRecord -= 1;
    }
    const long long cubes = static_cast<long long>(GameConfig.cubes) + (won ? kWinCubes : kLoseCubes);
    GameConfig.cubes = static_cast<int>(std::clamp<long long>(cubes, 0, kMaxCubes));
    if (VanteoPopUp_Result* popUp = won ? m_pResultWin : m_pResultLose)
        popUp->Open();
    m_nState = kGameStateFinished;
    m_bWon = won ? 1 : 0;
    Sounds().Stop(musicKey);
    PlaySound(won ? kSoundWin : kSoundLose);
    return true;
}

void VanteoNetBaseScene::OpenDisconnectNotice()
{
    DFLog(L"Net : the match is over without its end: Disconnect Player");
    m_Disconnect.m_nParam = 0;
    m_Disconnect.Open();
    m_Disconnect.SetTitle(L"Disconnect");
    m_Disconnect.SetMessage(L"Disconnect Player");
}

int VanteoNetBaseScene::OnNetDisconnect(const void*, int)
{
    m_bDisconnected = 1;
    OpenDisconnectNotice();
    return 1;
}

void VanteoNetBaseScene::PostBackToLobby()
{
    PayloadWriter fields;
    fields.Text(kLobbySceneName, kSceneNameBytes).I32(kLobbyMenu).I32(0);
    fields.PostTo(LocalMessages(), MSG_CHANGE_SCENE);
}

int VanteoNetBaseScene::OnResultContinue(const void*, int)
{
    if (!Hosting())
        return 1;
    PostBackToLobby();
    if (g_pSteamServer)
        g_pSteamServer->SetGameState(serverstate::kGameOver);
    return 0;
}

// --- combo highlights, pop-ups -----------------------------------------------------------------

int VanteoNetBaseScene::OnComboCount(const void* data, int length)
{
    VanteoBaseScene::OnComboCount(data, length);
    modekit::ShowComboHighlight(m_pRoot, MessageWord(data, length, 1));
    return 1;
}

void VanteoNetBaseScene::HideComboHighlights() const
{
    SetVisible(L"Pic_effect_highlight_Large", false);
    SetVisible(L"Pic_effect_highlight_small", false);
}

void VanteoNetBaseScene::UpdatePopUps(float seconds)
{
    for (VanteoPopUp_Result* popUp : {m_pResultWin, m_pResultLose})
        if (popUp)
            popUp->Update(seconds);
    m_Disconnect.Update(seconds);
}
