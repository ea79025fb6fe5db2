#include "online/SteamVanteoScene.h"

#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "engine/LayoutFiles.h"
#include "board/GameSinks.h"
#include "board/VanteoBlockMap.h"
#include "engine/DigitDisplay.h"
#include "engine/InputSystem.h"
#include "engine/RenderBackend.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundTable.h"
#include "kv/KVDirector.h"
#include "kv/KVEventArgs.h"
#include "kv/KVLabel.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/PopUpResult.h"
#include "modes/BattleRules.h"
#include "modes/VanteoScene.h"
#include "net/NetGameMessages.h"
#include "engine/LoadingScene.h"
#include "net/NetGlobals.h"
#include "net/SteamClient.h"
#include "net/SteamServer.h"
#include "modes/ModeSceneKit.h"

#include <helvane/Log.h>
#include <win32/VirtualKeys.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

using modekit::KeyPressed;

namespace {

constexpr int kDigitStyleTime = 3;  // "Num_Common_Point_Time"
constexpr int kStarKind = 3;        // the special attack's unit
constexpr int kColours = 3;
constexpr int kMaxShownBullets = VanteoBlockMap::kMaxBullets;
constexpr float kPauseX = 98.5f;
constexpr float kPauseY = 133.0f;
constexpr int32_t kMaxHp = 1000;
constexpr int32_t kMinHp = -100000;

constexpr const wchar_t* kBulletButtons[kColours] = {L"Anibtn_bullet_1", L"Anibtn_bullet_2", L"Anibtn_bullet_3"};

// A unit id at word `index` of a local message.
NetBlockId IdAt(const void* data, int length, int index)
{
    NetBlockId id;
    const uint32_t low = static_cast<uint32_t>(MessageWord(data, length, index));
    const uint32_t high = static_cast<uint32_t>(MessageWord(data, length, index + 1));
    id.owner = static_cast<uint64_t>(high) << 32 | low;
    id.serial = MessageWord(data, length, index + 2);
    return id;
}

} // namespace

SteamVanteoScene::SteamVanteoScene()
{
    SetName(kOnlineBattleSceneName);
}

SteamVanteoScene::~SteamVanteoScene()
{
    Leave();
}

// --- entry and leaving ---------------------------------------------------------------------------

int SteamVanteoScene::Enter(int a, int b)
{
    m_bDisconnected = 0;
    LoadModeConfig(kBattleConfigFile);
    const char* layoutFile = SkinTable.GetSkinString(kSkinLayout);
    m_pRoot = LoadLayout(layoutFile ? layoutFile : "");
    if (m_pRoot)
        m_pRoot->SetVisible(true);
    for (const wchar_t* name : {L"Pic_battle_enemy", L"Pic_enemy_gray", L"Wnd_multi_boss"})
        SetVisible(name, false);

    using S = SteamVanteoScene;
    if (kv::KVWnd* w = Find(L"Pic_battle_enemy_vs"))
        w->AddHandler(kv::EventDraw, kv::MakeHandler(this, &S::DrawMirrorBoard));

    DeleteResultPopUps();
    m_pResultWin = new VanteoPopUp_MultiWin();
    m_pResultLose = new VanteoPopUp_MultiLose();
    m_pResultWin->Load();
    m_pResultLose->Load();

    if (kv::KVWnd* on = Find(L"Anibtn_attack_on"); on && Find(L"Anibtn_attack_off")) {
        const kv::KVPoint at = Find(L"Anibtn_attack_off")->GetAbsolutePosition();
        on->SetAbsolutePosition(at.x, at.y);
    }
    SetAutoFire(1);

    const char* speedUp = SkinTable.GetSkinString(kSkinSpeedUp);
    m_SpeedUp.Load(speedUp ? speedUp : "");
    m_SpeedUp.Clear();
    const struct {
        const wchar_t* window;
        const wchar_t* event;
        void (S::*handler)(kv::EventArgs&);
    } bindings[] = {
        {L"Pic_num_gaugecount_enemy", kv::EventDraw, &S::DrawTimeAndTowers},
        {L"Anibtn_attack_on", kv::EventClicked, &S::OnAttackOnClicked},
        {L"Anibtn_attack_off", kv::EventClicked, &S::OnAttackOffClicked},
        {L"Anibtn_bullet_1", kv::EventClicked, &S::OnBullet1Clicked},
        {L"Anibtn_bullet_2", kv::EventClicked, &S::OnBullet2Clicked},
        {L"Anibtn_bullet_3", kv::EventClicked, &S::OnBullet3Clicked},
        {L"Anibtn_rotate_R", kv::EventClicked, &S::OnRotateRightButton},
        {L"Anibtn_rotate_L", kv::EventClicked, &S::OnRotateLeftButton},
    };
    for (const auto& binding : bindings)
        if (kv::KVWnd* w = Find(binding.window))
            w->AddHandler(binding.event, kv::MakeHandler(this, binding.handler));

    m_TimeDisplay.Bind(m_pRoot, kDigitStyleTime);
    ModeConfig.currentStage = FindMultiPlayStage();

    DeleteBoards();
    m_pBoard = new VanteoBlockMap(MakeBoardWorld(), GameBoardTuning);
    m_pBoard->pointsCap = 999;
    kv::KVWnd* area = Find(L"Wnd_PuzzleArea_enemy");
    const kv::KVPoint mirrorAt = area ? area->GetAbsolutePosition() : kv::KVPoint{};
    m_pBoard->Init(m_pRoot, -1, -1);
    if (kv::KVWnd* own = Find(L"Wnd_PuzzleArea")) {
        const kv::KVPoint at = own->GetAbsolutePosition();
        m_pBoard->originX = at.x;
        m_pBoard->originY = at.y;
    }
    m_pBoard->NewGame();
    CreateMirrorBoard(mirrorAt.x, mirrorAt.y);

    m_nPausePicture = GetRenderBackend().GetTextureHandle(kPausePicture, true);
    m_nState = kGameStateStart;
    Sounds().Stop(kMusicBattle);
    if (SoundTable.m_musicEnabled)
        Sounds().Play(kMusicBattle, true, -1.0f);

    VanteoBaseScene::Enter(a, b);
    RegisterMatchMessages();
    TakeOwnName();

    for (const wchar_t* name : {L"bullet_crazy_back_1", L"bullet_crazy_back_2", L"bullet_crazy_back_3"})
        if (kv::KVWnd* w = Find(name))
            w->SetMouseTransparent(true);

    m_Player.Init(m_pRoot, m_pBoard->bullets);
    m_pOpponent = std::make_unique<Player_Net>();
    m_pOpponent->Init(m_pRoot);
    m_bWon = 0;
    LaneContext& lane = m_Lane.Context();
    lane.messages = &LocalMessages();
    lane.sounds = &Sounds();
    m_Lane.SetHost(Hosting());
    m_Lane.Bind(m_pRoot);
    m_Lane.Reset();
    m_fItemTimer = kFirstItemTimer;

    modekit::LoadReadyGo(m_ReadyGo, m_pRoot);
    PlayReadyGo();

    SetVisible(L"Pic_warning", false);
    m_bHintShown = 0;
    if (Find(L"Pic_message_1"))
        for (const wchar_t* n : {L"Pic_message_1", L"Pic_message_2", L"Pic_message_3"})
            SetVisible(n, false);
    ShowUI();
    m_Lane.Context().serials.SetNextUnit(Hosting() ? 0 : kGuestFirstSerial);
    m_bEntered = true;

    WaitForOpponent();
    HideComboHighlights();
    return 1;
}

void SteamVanteoScene::RegisterMatchMessages()
{
    using S = SteamVanteoScene;
    BindNetMessage(netmsg::kHpSync, static_cast<NetOperation>(&S::OnNetHPSync));
    AddHandlerEntry(MSG_RESULT_CONTINUE, nullptr, [this](const void* d, int n) { return OnResultContinue(d, n); });
}

bool SteamVanteoScene::WaitForOpponent()
{
    // The other machine is waited for in real time, whatever clock the game's frames run on.
    const auto ticks = m_Ticks ? m_Ticks : [] {
        using namespace std::chrono;
        return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    const auto sleep = m_Sleep ? m_Sleep : [](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    SendGameMessage(netmsg::kReady, PayloadWriter());
    const uint32_t start = ticks();
    uint32_t lastSent = start;
    while (g_nNetReadyCount.load() > 0) {
        // A player who closes the program meanwhile is not held up by the wait: shut-down joins
        // this thread.
        if (CSceneManager* manager = CSceneManager::GetSingletonPtr(); manager && manager->IsQuitting())
            return false;
        const uint32_t now = ticks();
        if (now - start > kReadyTimeoutMs) {
            m_bDisconnected = 1;
            OpenDisconnectNotice();
            return false;
        }
        // The other machine drops a ready message while its lobby is still current; it hears
        // one of the next ones once it has switched.
        if (now - lastSent >= kReadyResendMs) {
            SendGameMessage(netmsg::kReady, PayloadWriter());
            lastSent = now;
        }
        sleep(kReadyPollMs);
    }
    return true;
}

void SteamVanteoScene::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    DeleteBoards();
    m_Lane.Reset();
    m_Lane.m_pRoot = nullptr;
    Sounds().Stop(kMusicBattle);
    m_pOpponent.reset();
    m_Disconnect.Close();
    modekit::DetachWindow(m_pRoot);
    m_bEntered = false;
}

void SteamVanteoScene::PlayReadyGo()
{
    m_ReadyGo.Play("readygo");
    PlaySound(kSoundReadyGo);
}

void SteamVanteoScene::SetAutoFire(int on)
{
    g_bAutoAttack = on;
    for (const wchar_t* n : kBulletButtons)
        if (kv::KVWnd* w = Find(n))
            w->SetEnabled(!on);
    SetVisible(L"Anibtn_attack_off", !on);
    SetVisible(L"Anibtn_attack_on", on != 0);
}

void SteamVanteoScene::ShowUI()
{
    g_Mouse.ClearRects();
    g_Mouse.AddWidgetRect(Find(L"Wnd_PuzzleArea"), kCursorBlock);
    g_Mouse.AddWidgetRect(Find(L"Pic_background_2"), 4);
    for (const wchar_t* name : {L"Anibtn_bullet_1", L"Anibtn_bullet_2", L"Anibtn_bullet_3", L"Anibtn_attack_off",
                                L"Anibtn_rotate_L", L"Anibtn_rotate_R", L"Anibtn_menu"})
        g_Mouse.AddWidgetRect(Find(name), kCursorButton);
}

// --- the frame -----------------------------------------------------------------------------------

int SteamVanteoScene::Update(float seconds)
{
    m_nFrameMines = 0;
    m_nFrameUnits = 0;
    m_nFrameEndPosts = 0;
    if (Hosting() && g_pSteamServer)
        g_pSteamServer->RunFrame();
    if (g_pSteamClient)
        g_pSteamClient->RunFrame(seconds);
    if (!m_bEntered)
        return 1;
    if (Hosting())
        UpdateItemTimer(seconds);

    kv::KVSystem* system = kv::KVSystem::GetPtr();
    if (m_nState == kGameStateStart) {
        m_ReadyGo.Update(seconds);
        if (m_pBoard) {
            m_pBoard->Update(seconds);
            m_pBoard->playTime = 0.0f;
        }
        if (system)
            system->Update(seconds);
        m_Player.Update(seconds);
        if (m_pOpponent)
            m_pOpponent->Update(seconds);
        m_Lane.Update(seconds);
        if (!m_ReadyGo.m_bPlaying)
            m_nState = kGameStatePlaying;
    } else if (m_bDisconnected) {
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        if (system)
            system->Update(seconds);
    } else if (m_nState == kGameStatePaused) {
        if (m_pBoard)
            m_pBoard->Update(0.0f);
    } else if (m_nState == kGameStateFinished) {
        KeyPressed(VK_SPACE);  // swallowed: the result pop-up takes its own keys
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        m_Lane.Update(seconds);
        if (system)
            system->Update(seconds);
    } else {
        AutoFire();
        UpdateBonusMessage(seconds);
        if (m_pBoard)
            m_pBoard->Update(seconds);
        if (m_pMirrorBoard)
            m_pMirrorBoard->Update(seconds);
        m_Player.Update(seconds);
        if (system)
            system->Update(seconds);
        if (m_pOpponent)
            m_pOpponent->Update(seconds);
        m_Lane.Update(seconds);
        m_SpeedUp.Update(seconds);
        OnMouse(0);
        OnKey(0);
        PickUpItem();
    }
    UpdatePopUps(seconds);
    BroadcastHP(seconds);
    g_Mouse.Update(seconds);
    if (!m_bHintShown && !g_bAutoAttack)
        ShowBulletHint();
    return 1;
}

void SteamVanteoScene::ShowBulletHint()
{
    if (!m_pBoard)
        return;
    static constexpr const wchar_t* kHints[kColours] = {L"Pic_message_1", L"Pic_message_2", L"Pic_message_3"};
    for (int c = 0; c < kColours; ++c) {
        if (m_pBoard->bullets[c] > 0) {
            SetVisible(kHints[c], true);
            m_bHintShown = 1;
            return;
        }
    }
}

int SteamVanteoScene::Render()
{
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    m_SpeedUp.Draw(&m_SpeedUp.m_matWorld);
    if (auto* enemy = dynamic_cast<kv::KVLabel*>(Find(L"Label_name_enemy")))
        enemy->text = m_wszOpponentName;
    if (auto* user = dynamic_cast<kv::KVLabel*>(Find(L"Label_name_user")))
        user->text = m_wszPlayerName;
    if (!m_bDisconnected && m_nState == kGameStatePaused && m_nPausePicture >= 0) {
        D3DXMATRIX at;
        D3DXMatrixTranslation(&at, kPauseX, kPauseY, 0.0f);
        GetRenderBackend().DrawSprite(m_nPausePicture, 0xFFFFFFFF, &at);
    }
    m_ReadyGo.Draw(&m_ReadyGo.m_matWorld);
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

void SteamVanteoScene::UpdateTimeDisplay()
{
    const float t = BoardPlayClock();
    m_TimeDisplay.m_nFirst = static_cast<int>(t / 60.0f);
    m_TimeDisplay.m_nSecond = static_cast<int>(t) % 60;
    m_TimeDisplay.Update(0.0f);
}

void SteamVanteoScene::DrawTimeAndTowers(kv::EventArgs&)
{
    UpdateTimeDisplay();
    m_TimeDisplay.Draw();
    m_Player.DrawNumbers();
    if (m_pOpponent)
        m_pOpponent->Draw();
}

void SteamVanteoScene::DrawMirrorBoard(kv::EventArgs&)
{
    if (m_pMirrorBoard)
        m_pMirrorBoard->DrawBlocks();
}

// --- input ---------------------------------------------------------------------------------------

void SteamVanteoScene::ButtonDownForColour(int colour) const
{
    if (colour >= 0 && colour < kColours)
        ButtonDown(kBulletButtons[colour]);
}

void SteamVanteoScene::OnKey(int)
{
    if (!m_pBoard)
        return;
    if (KeyPressed(VK_F8)) {
        // A quick start for trying the battle: a few bullets of every colour.
        for (int c = 0; c < kColours; ++c) {
            m_pBoard->bulletTotals[c] += (c + 1) - m_pBoard->bullets[c];
            m_pBoard->bullets[c] = c + 1;
        }
    }
    static constexpr int kFireKeys[kColours][2] = {{'1', '8'}, {'2', '9'}, {'3', '0'}};
    for (int c = 0; c < kColours; ++c)
        if ((KeyPressed(kFireKeys[c][0]) || KeyPressed(kFireKeys[c][1])) && FireBullet(true, c))
            ButtonDownForColour(c);
    if (KeyPressed(VK_SPACE))
        FireBest();
    if (KeyPressed(0xC0) || KeyPressed('7'))
        SetAutoFire(!g_bAutoAttack);
    TurnByKeys();
}

void SteamVanteoScene::OnMouse(int) { BoardMouse(); }

void SteamVanteoScene::OnBoardRightPress(float, float) { FireBest(); }

void SteamVanteoScene::OnAttackOnClicked(kv::EventArgs&)
{
    if (g_bAutoAttack)
        SetAutoFire(0);
}

void SteamVanteoScene::OnAttackOffClicked(kv::EventArgs&)
{
    if (!g_bAutoAttack)
        SetAutoFire(1);
}

void SteamVanteoScene::OnBullet1Clicked(kv::EventArgs&) { FireBullet(true, 0); }
void SteamVanteoScene::OnBullet2Clicked(kv::EventArgs&) { FireBullet(true, 1); }
void SteamVanteoScene::OnBullet3Clicked(kv::EventArgs&) { FireBullet(true, 2); }

// --- firing --------------------------------------------------------------------------------------

AttackLineBlock* SteamVanteoScene::Launch(bool own, int type, int count)
{
    if (type >= kStarKind) {
        if (own) {
            AttackLineBlock* unit = m_Lane.LaunchPlayer(kSpecialPower, kStarKind);
            m_Lane.StunEnemyLane();
            m_Lane.ClearPlayerLaneStuns();
            return unit;
        }
        AttackLineBlock* unit = m_Lane.LaunchEnemy(kSpecialPower, kStarKind, 0);
        PlaySound(kSoundBigStarCom);
        m_Lane.StunPlayerLane();
        m_Lane.ClearEnemyLaneStuns();
        return unit;
    }
    return own ? m_Lane.LaunchPlayer(count, type) : m_Lane.LaunchEnemy(count, type, 0);
}

void SteamVanteoScene::LaunchAndAnnounce(int type, int count)
{
    AttackLineBlock* unit = Launch(true, type, count);
    if (!unit)
        return;
    netmsg::AttackCreated created;
    created.forRequester = 0;
    created.owner = 0;
    created.serial = unit->m_Id.serial;
    created.type = type;
    created.count = count;
    SendGameMessage(netmsg::kAttackCreated, netmsg::Fields(created));
}

void SteamVanteoScene::SendFireRequest(int type, int count)
{
    netmsg::FireRequest request;
    request.type = type;
    request.count = count;
    SendGameMessage(netmsg::kFireRequest, netmsg::Fields(request));
}

bool SteamVanteoScene::FireBullet(bool all, int type)
{
    if (!m_pBoard || type < 0 || type > kStarKind)
        return false;
    int count = kSpecialPower;
    if (type < kStarKind) {
        count = battle::BulletsToFire(m_pBoard->bullets[type], all);
        if (count <= 0)
            return false;
        if (type == 0)
            m_pBoard->RecordFire0(count);
        else if (type == 1)
            m_pBoard->RecordFire1(count);
        else
            m_pBoard->RecordFire2(count);
        m_pBoard->bullets[type] -= count;
        m_pBoard->bulletTotals[type] -= count;
    } else {
        m_Lane.StunEnemyLane();
        m_Lane.ClearPlayerLaneStuns();
        m_pBoard->RecordFireSpecial(kSpecialPower);
    }
    m_pBoard->RecordBulletGains();
    if (Hosting())
        LaunchAndAnnounce(type, count);
    else
        SendFireRequest(type, count);
    m_pBoard->RecordBulletGains();
    return true;
}

void SteamVanteoScene::FireBest()
{
    if (!m_pBoard)
        return;
    const battle::StackChoice choice = battle::ChooseSmallestStack(m_pBoard->bullets);
    if (choice.colour >= 0 && FireBullet(false, choice.colour))
        ButtonDownForColour(choice.colour);
}

void SteamVanteoScene::AutoFire()
{
    if (!g_bAutoAttack)
        return;
    for (int c = 0; c < kColours; ++c)
        FireBullet(true, c);
}

// --- the host's attacks for the guest, and the guest's launches ----------------------------------

int SteamVanteoScene::OnNetFireRequest(const netmsg::Record& record)
{
    if (!Hosting())
        return 1;
    netmsg::FireRequest request;
    if (!netmsg::Read(record, request) || request.type < 0 ||
        request.type > kStarKind || request.count <= 0) {
        DFLog(LOG_WARN, L"SteamVanteoScene: fire request refused");
        return 1;
    }
    if (++m_nFrameUnits > kMaxUnitsPerFrame)
        return 1;
    const int count = std::min(request.count, kMaxMessagePower);
    AttackLineBlock* unit = Launch(false, request.type, count);
    if (!unit)
        return 1;
    netmsg::AttackCreated created;
    created.forRequester = 1;
    created.owner = record.sender;
    created.serial = unit->m_Id.serial;
    created.type = request.type;
    created.count = count;
    SendGameMessage(netmsg::kAttackCreated, netmsg::Fields(created));
    return 1;
}

int SteamVanteoScene::OnNetAttackCreated(const netmsg::Record& record)
{
    netmsg::AttackCreated created;
    if (Hosting() || !netmsg::Read(record, created))
        return 0;
    if (created.type < 0 || created.type > kStarKind || created.count <= 0 ||
        (created.forRequester != 0 && created.forRequester != 1)) {
        DFLog(LOG_WARN, L"SteamVanteoScene: attack refused");
        return 0;
    }
    if (++m_nFrameUnits > kMaxUnitsPerFrame)
        return 0;
    AttackLineBlock* unit = Launch(created.forRequester == 1, created.type, std::min(created.count, kMaxMessagePower));
    if (unit)
        unit->m_Id.serial = created.serial;
    return 0;
}

// --- the board's specials --------------------------------------------------------------------------

int SteamVanteoScene::OnBigStarCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStarCleared(data, length);
    m_Lane.StunEnemyLane();
    m_Lane.ClearPlayerLaneStuns();
    if (m_pBoard) {
        m_pBoard->RecordFireSpecial(kSpecialPower);
        m_pBoard->RecordBulletGains();
    }
    if (Hosting())
        LaunchAndAnnounce(kStarKind, kSpecialPower);
    else
        SendFireRequest(kStarKind, kSpecialPower);
    if (m_pBoard)
        m_pBoard->RecordBulletGains();
    return 1;
}

int SteamVanteoScene::OnBulletOverflow(const void* data, int length)
{
    VanteoBaseScene::OnBulletOverflow(data, length);
    const int colour = MessageWord(data, length, 1);
    int excess = MessageWord(data, length, 2);
    if (!m_pBoard || colour < 0 || colour > kStarKind || excess <= 0)
        return 1;
    if (colour == 0)
        m_pBoard->RecordFire0(excess);
    else if (colour == 1)
        m_pBoard->RecordFire1(excess);
    else if (colour == 2)
        m_pBoard->RecordFire2(excess);
    else {
        m_Lane.StunEnemyLane();
        m_Lane.ClearPlayerLaneStuns();
        m_pBoard->RecordFireSpecial(kSpecialPower);
        excess = kSpecialPower;
    }
    m_pBoard->RecordBulletGains();
    if (!Hosting())
        SendFireRequest(colour, excess);
    else if (colour < kStarKind)
        LaunchAndAnnounce(colour, excess);
    m_pBoard->RecordBulletGains();
    return 1;
}

int SteamVanteoScene::OnEnemyAttack(const void* data, int length)
{
    VanteoBaseScene::OnEnemyAttack(data, length);
    const int kind = MessageWord(data, length, 2);
    const int power = MessageWord(data, length, 3);
    if (kind == kStarKind)
        Launch(false, kStarKind, kSpecialPower);
    else if (kind >= 0 && kind < kStarKind && power > 0)
        m_Lane.LaunchEnemy(std::min(power, kMaxMessagePower), kind, 0);
    return 1;
}

int SteamVanteoScene::OnBigStoneCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStoneCleared(data, length);
    LaneSerials& serials = m_Lane.Context().serials;
    AttackLineMine* mine = m_Lane.PlaceMine(serials.NextMine(), 0, 0);
    if (mine)
        SendGameMessage(netmsg::kBigStone, PayloadWriter().I32(mine->id.serial));
    if (m_pBoard)
        m_pBoard->RecordMarker();
    return 1;
}

int SteamVanteoScene::OnNetBigStone(const netmsg::Record& record)
{
    int32_t serial = 0;
    if (!netmsg::ReadInt(record, 0, serial))
        return 1;
    if (++m_nFrameMines > kMaxMinesPerFrame || static_cast<int>(m_Lane.m_Mines.size()) >= kMaxLaneMines) {
        DFLog(LOG_WARN, L"SteamVanteoScene: mine %d refused", serial);
        return 1;
    }
    m_Lane.PlaceEnemyMine(0, serial, 0, 0);
    PlaySound(kSoundBigStoneCom);
    return 1;
}

// --- bullets -------------------------------------------------------------------------------------

int SteamVanteoScene::OnBulletGain(const void* data, int length)
{
    VanteoBaseScene::OnBulletGain(data, length);
    SendGameMessage(netmsg::kBulletGain,
                    PayloadWriter().I32(MessageWord(data, length, 1)).I32(MessageWord(data, length, 2)));
    return 1;
}

int SteamVanteoScene::OnNetBulletGain(const netmsg::Record& record)
{
    int32_t colour = -1;
    int32_t change = 0;
    if (!netmsg::ReadInt(record, 0, colour) || !netmsg::ReadInt(record, 1, change) || colour < 0 ||
        colour >= kColours || !m_pOpponent)
        return 1;
    const long long shown = static_cast<long long>(m_pOpponent->m_nBullets[colour]) + change;
    m_pOpponent->m_nBullets[colour] = static_cast<int32_t>(std::clamp<long long>(shown, 0, kMaxShownBullets));
    return 1;
}

// --- the lane's events -----------------------------------------------------------------------------

int SteamVanteoScene::OnLaneUnitsMet(const void* data, int length)
{
    if (!Hosting())
        return 1;
    netmsg::UnitsMet met;
    met.hostEnemyUnit = IdAt(data, length, 1);
    met.hostEnemyPower = MessageWord(data, length, 4);
    met.hostPlayerUnit = IdAt(data, length, 5);
    met.hostPlayerPower = MessageWord(data, length, 8);
    AttackLine_Multi::OnCollisionBlockToBlock(m_Lane, met.hostPlayerUnit, met.hostEnemyUnit);
    SendGameMessage(netmsg::kLaneUnitsMet, netmsg::Fields(met));
    return 1;
}

int SteamVanteoScene::OnNetLaneUnitsMet(const netmsg::Record& record)
{
    netmsg::UnitsMet met;
    if (Hosting() || !netmsg::Read(record, met))
        return 1;
    // The host's player unit is this machine's enemy unit, and the other way round.
    AttackLine_Multi::OnCollisionBlockToBlock(m_Lane, met.hostEnemyUnit, met.hostPlayerUnit);
    return 1;
}

int SteamVanteoScene::OnLaneUnitHitMine(const void* data, int length)
{
    if (!Hosting())
        return 1;
    netmsg::UnitHitMine hit;
    hit.unit = IdAt(data, length, 1);
    hit.mine = IdAt(data, length, 4);
    AttackLine_Multi::OnCollisionBlockToBarr(hit.unit, hit.mine, m_Lane);
    SendGameMessage(netmsg::kLaneUnitHitMine, netmsg::Fields(hit));
    return 1;
}

int SteamVanteoScene::OnNetLaneUnitHitMine(const netmsg::Record& record)
{
    netmsg::UnitHitMine hit;
    if (Hosting() || !netmsg::Read(record, hit))
        return 1;
    AttackLine_Multi::OnCollisionBlockToBarr(hit.unit, hit.mine, m_Lane);
    return 1;
}

int SteamVanteoScene::OnLaneUnitPower(const void* data, int length)
{
    if (!Hosting())
        return 1;
    netmsg::UnitPower power;
    power.unit = IdAt(data, length, 1);
    power.power = MessageWord(data, length, 4);
    AttackLine_Multi::ChangeBlockCount(power.unit, power.power, m_Lane);
    SendGameMessage(netmsg::kLaneUnitPower, netmsg::Fields(power));
    return 1;
}

int SteamVanteoScene::OnNetLaneUnitPower(const netmsg::Record& record)
{
    netmsg::UnitPower power;
    if (Hosting() || !netmsg::Read(record, power))
        return 1;
    if (power.power < 0 || power.power > kMaxMessagePower) {
        DFLog(LOG_WARN, L"SteamVanteoScene: unit power %d refused", power.power);
        return 1;
    }
    AttackLine_Multi::ChangeBlockCount(power.unit, power.power, m_Lane);
    return 1;
}

// --- items ---------------------------------------------------------------------------------------

void SteamVanteoScene::UpdateItemTimer(float seconds)
{
    const float gap = m_Lane.FrontGap();
    if (!(gap > kItemGap))
        return;
    m_fItemTimer -= seconds;
    if (!(m_fItemTimer < 0.0f))
        return;
    GameRandom& random = m_pRandom ? *m_pRandom : GetGameRandom();
    const int kind = random.Next() % AttackLine::kItemKindCount;
    AttackLineBlock* enemyFront = nullptr;
    AttackLineBlock* playerFront = nullptr;
    m_Lane.GetFrontUnits(&enemyFront, &playerFront);
    const LaneGeometry& g = m_Lane.Geometry();
    const int own = static_cast<int>(m_Player.m_fShownHp);
    const int opponent = m_pOpponent ? static_cast<int>(m_pOpponent->m_fShownHp) : 0;
    const float x = AttackLine::ItemDropX(g.laneLeft, enemyFront ? enemyFront->m_fPosition : 0.0f, gap, opponent, own);
    m_Lane.DropItem(kind, x);
    netmsg::ItemDrop drop;
    drop.kind = kind;
    drop.x = static_cast<float>(g.laneLeft + g.laneRight) - x;
    SendGameMessage(netmsg::kItemDrop, netmsg::Fields(drop));
    m_fItemTimer = battle::ItemTimer(random.Next());
}

int SteamVanteoScene::OnNetItemDrop(const netmsg::Record& record)
{
    netmsg::ItemDrop drop;
    if (!netmsg::Read(record, drop))
        return 1;
    const LaneGeometry& g = m_Lane.Geometry();
    if (drop.kind < 0 || drop.kind >= AttackLine::kItemKindCount || !std::isfinite(drop.x) ||
        drop.x < static_cast<float>(g.laneLeft) || drop.x > static_cast<float>(g.laneRight)) {
        DFLog(LOG_WARN, L"SteamVanteoScene: item drop refused");
        return 1;
    }
    m_Lane.DropItem(drop.kind, drop.x);
    return 1;
}

void SteamVanteoScene::ApplyItem(AttackLineBlock& unit, bool pickedHere)
{
    const int kind = m_Lane.m_nItemKind;
    if (const int sound = battle::ApplyItemToUnit(unit, kind, m_Lane.m_nItemFactor, m_Lane.m_nItemAdd))
        PlaySound(sound);
    else if (kind == 5 && pickedHere)
        m_Lane.StunPlayerLane();
    else if (kind == 5)
        m_Lane.StunEnemyLane();
}

void SteamVanteoScene::PickUpItem()
{
    if (!m_Lane.m_bItemLanded)
        return;
    AttackLineBlock* enemyFront = nullptr;
    AttackLineBlock* playerFront = nullptr;
    m_Lane.GetFrontUnits(&enemyFront, &playerFront);
    if (!playerFront || !(static_cast<float>(m_Lane.Geometry().laneRight) - playerFront->m_fPosition < m_Lane.m_fItemX))
        return;
    m_Lane.m_bItemLanded = 0;
    ApplyItem(*playerFront, true);
    PayloadWriter().I32(playerFront->m_Id.serial).PostTo(LocalMessages(), MSG_ITEM_GET);
}

int SteamVanteoScene::OnItemGet(const void* data, int length)
{
    VanteoBaseScene::OnItemGet(data, length);
    SendGameMessage(netmsg::kItemGet, PayloadWriter().I32(MessageWord(data, length, 1)));
    return 1;
}

int SteamVanteoScene::OnNetItemGet(const netmsg::Record& record)
{
    int32_t serial = 0;
    if (!netmsg::ReadInt(record, 0, serial))
        return 1;
    m_Lane.m_bItemLanded = 0;
    NetBlockId id;
    id.serial = serial;
    if (AttackLineBlock* unit = AttackLine_Multi::FindBlock(m_Lane, id))
        ApplyItem(*unit, false);
    return 1;
}

// --- hit points and the end ------------------------------------------------------------------------

int SteamVanteoScene::OnPlayerTowerHit(const void* data, int length)
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
    PlaySound(kSoundAlert);
    return 1;
}

int SteamVanteoScene::OnEnemyTowerHit(const void* data, int length)
{
    if (!m_pOpponent)
        return 1;
    const int power = MessageWord(data, length, 4);
    m_pOpponent->Hit(power);
    const int damage = static_cast<int>(m_Lane.SpeedFactor() * static_cast<float>(power));
    m_pOpponent->m_fRealHp = static_cast<float>(static_cast<int>(m_pOpponent->m_fRealHp) - damage);
    return 1;
}

void SteamVanteoScene::PostLocal(int32_t id)
{
    if (++m_nFrameEndPosts > kMaxEndPostsPerFrame)
        return;
    PayloadWriter().PostTo(LocalMessages(), id);
}

int SteamVanteoScene::BroadcastHP(float seconds)
{
    if (!Hosting())
        return 0;
    m_fHpSyncTimer -= seconds;
    if (m_fHpSyncTimer > 0.0f)
        return 0;
    m_fHpSyncTimer = kHpSyncSeconds;
    netmsg::HpSync sync;
    sync.hostHp = static_cast<int32_t>(m_Player.m_fRealHp);
    sync.guestHp = m_pOpponent ? static_cast<int32_t>(m_pOpponent->m_fRealHp) : 0;
    SendGameMessage(netmsg::kHpSync, netmsg::Fields(sync));
    if (sync.hostHp <= 0)
        PostLocal(MSG_GAME_LOSE);
    else if (sync.guestHp <= 0)
        PostLocal(MSG_GAME_WIN);
    return 1;
}

int SteamVanteoScene::OnNetHPSync(const netmsg::Record& record)
{
    netmsg::HpSync sync;
    if (Hosting() || !netmsg::Read(record, sync))
        return 1;
    sync.hostHp = std::clamp(sync.hostHp, kMinHp, kMaxHp);
    sync.guestHp = std::clamp(sync.guestHp, kMinHp, kMaxHp);
    m_Player.m_fRealHp = static_cast<float>(sync.guestHp);
    if (m_pOpponent)
        m_pOpponent->m_fRealHp = static_cast<float>(sync.hostHp);
    // The host's tower is tested first: when both fall in one host frame the host loses.
    if (sync.hostHp <= 0)
        PostLocal(MSG_GAME_WIN);
    else if (sync.guestHp <= 0)
        PostLocal(MSG_GAME_LOSE);
    return 1;
}

int SteamVanteoScene::OnGameWin(const void* data, int length)
{
    VanteoBaseScene::OnGameWin(data, length);
    if (!FinishMatch(true, kMusicBattle))
        return 1;
    m_Lane.EndGame(0);
    if (m_pBoard)
        m_pBoard->frozen = 1;
    return 0;
}

int SteamVanteoScene::OnGameLose(const void* data, int length)
{
    VanteoBaseScene::OnGameLose(data, length);
    if (!FinishMatch(false, kMusicBattle))
        return 1;
    m_Lane.EndGame(1);
    if (m_pBoard)
        m_pBoard->frozen = 1;
    return 0;
}

// --- speed-up --------------------------------------------------------------------------------------

int SteamVanteoScene::OnPlayTimeStep(const void*, int)
{
    m_SpeedUp.Play("speedup");
    const StageRecord* stage = ModeConfig.currentStage;
    if (!Hosting() || !stage || !stage->speedUp)
        return 1;
    m_Lane.m_nSpeedLevel = std::min(m_Lane.m_nSpeedLevel + 1, kMaxSpeedLevel);
    m_SpeedUp.Play("speedup");
    SendGameMessage(netmsg::kSpeedUp, PayloadWriter());
    return 1;
}

int SteamVanteoScene::OnNetSpeedUp(const netmsg::Record&)
{
    if (Hosting())
        return 1;
    m_SpeedUp.Play("speedup");
    m_Lane.m_nSpeedLevel = std::min(m_Lane.m_nSpeedLevel + 1, kMaxSpeedLevel);
    PlaySound(kSoundSpeedUp);
    return 1;
}

// --- leaving the match -----------------------------------------------------------------------------

int SteamVanteoScene::GoToMenu()
{
    return OnResultContinue(nullptr, 0);
}

int SteamVanteoScene::OnPopUpOk(const void*, int)
{
    PostBackToLobby();
    if (g_pSteamClient && g_pSteamClient->m_eConnectedStatus != clientstate::kBackToLobby)
        g_pSteamClient->m_eConnectedStatus = clientstate::kBackToLobby;
    return 1;
}

int SteamVanteoScene::Restart(int a, int b)
{
    if (m_ReadyGo.m_bPlaying)
        return 0;
    VanteoBaseScene::Restart(a, b);
    // The mouse areas are set before the switch: once it is asked for, the lobby's Enter runs on
    // the loader thread and sets its own, which these must neither race with nor overwrite.
    ShowUI();
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(kLobbySceneName, kLobbyMenu, 0);
    return 0;
}
