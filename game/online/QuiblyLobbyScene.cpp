#include "online/QuiblyLobbyScene.h"

#include "engine/LayoutFiles.h"
#include "net/PersonaName.h"
#include "board/GameSeams.h"
#include "engine/RenderBackend.h"
#include "engine/SceneManager.h"
#include "engine/SceneMessage.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"
#include "kv/KVButton.h"
#include "kv/KVEdit.h"
#include "kv/KVLabel.h"
#include "kv/KVString.h"
#include "kv/KVSystem.h"
#include "kv/KVTextArea.h"
#include "kv/KVWnd.h"
#include "net/LeaderBoard.h"
#include "engine/LoadingScene.h"
#include "net/NetGlobals.h"
#include "net/OnlineSinks.h"
#include "net/ServerMessages.h"
#include "net/SteamClient.h"
#include "net/SteamServer.h"

#include <helvane/Log.h>
#include <lumenkit/Direct3DDevice.h>
#include <win32/Text.h>
#include <win32/Time.h>
#include <win32/User.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kJoinLayout = "data/join.xml";
constexpr const char* kRoomLayout = "data/room.xml";
constexpr const char* kBackground = "common_loading_back.tga";
constexpr const char* kMainMenuScene = "VanteoMainMenuScene";
constexpr const char* kBattleScene = "SteamVanteoScene";
constexpr const char* kPushScene = "SteamVanteoScene_Push";
constexpr int kLayoutLayer = -3;
constexpr int kMusicResults = 31;
constexpr int kSoundReady = 113;
constexpr int kSoundNotReady = 114;
constexpr int kSoundChat = 115;
constexpr int kCursorBlock = 2;
constexpr int kLoadingModeLoading = 1;
constexpr int kNameWidth = 14;
constexpr size_t kChatBytes = 128;

CSteamID LocalUser()
{
    ISteamUser* user = SteamUser();
    return user ? user->GetSteamID() : CSteamID();
}

std::wstring Format(int value)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%d", value);
    return text;
}

std::wstring PersonaName(CSteamID user)
{
    wchar_t name[kPersonaNameChars] = {};
    GetPersonaName(kNameWidth, name, user);
    return name;
}

// The message's data, from its id word on, holds `bytes`.
bool Holds(int extra, int bytes)
{
    return extra >= bytes;
}

} // namespace

QuiblyLobbyScene::QuiblyLobbyScene()
{
    SetName(kLobbySceneName);
    m_LoadLayout = [](const char* file) { return LoadLayout(file); };
}

QuiblyLobbyScene::~QuiblyLobbyScene() = default;

kv::KVWnd* QuiblyLobbyScene::Find(kv::KVWnd* layout, const wchar_t* name) const
{
    return layout ? layout->FindWindow(name) : nullptr;
}

void QuiblyLobbyScene::ShowPicture(kv::KVWnd* window, bool show)
{
    if (!window)
        return;
    const bool shown = window->IsVisible() && !window->IsHiding();
    if (shown != show)
        window->SetVisible(show);
}

void QuiblyLobbyScene::Enable(kv::KVWnd* window, bool enable)
{
    if (window && window->IsEnabled() != enable)
        window->SetEnabled(enable);
}

void QuiblyLobbyScene::SetText(kv::KVWnd* window, const std::wstring& text)
{
    // Names and records come from other players: cut to the row, never over the next column.
    if (auto* label = dynamic_cast<kv::KVLabel*>(window))
        label->SetFittedText(text);
}

bool QuiblyLobbyScene::OwnsLobby() const
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    return matchmaking && m_steamIDLobby.IsValid() && matchmaking->GetLobbyOwner(m_steamIDLobby) == LocalUser();
}

void QuiblyLobbyScene::OpenMessageBox(const wchar_t* title, const wchar_t* message, int32_t param)
{
    // Without its layouts the scene is not current: nothing is shown over another scene.
    if (!m_pJoinLayout && !m_pRoomLayout) {
        DFLog(LOG_WARN, L"Lobby : %s (%s) while the lobby is not shown", title, message);
        return;
    }
    m_MessageBox.Close();
    if (!m_MessageBox.Open())
        return;
    m_MessageBox.m_nParam = param;
    m_MessageBox.SetTitle(title);
    m_MessageBox.SetMessage(message);
}

// Entering and leaving.

int QuiblyLobbyScene::Enter(int a, int)
{
    // A join whose answer never came in an earlier visit does not hold this one up.
    m_bJoinInProgress = 0;
    SoundTable.StopSoundByKey(kMusicResults);
    m_nEnterArg = a;
    m_nBackground = GetRenderBackend().GetTextureHandle(kBackground, true);

    m_pJoinLayout = m_LoadLayout ? m_LoadLayout(kJoinLayout) : nullptr;
    m_pRoomLayout = m_LoadLayout ? m_LoadLayout(kRoomLayout) : nullptr;
    for (kv::KVWnd* layout : {m_pJoinLayout, m_pRoomLayout}) {
        if (!layout) {
            DFLog(LOG_WARN, L"Lobby : a layout cannot be loaded; the lobby goes on without it");
            continue;
        }
        // The scene shows and hides its views itself.
        layout->SetAnimationMask(layout->GetAnimationMask() & ~kv::KVWnd::kAnimDrivesVisible);
        layout->SetZOrder(kLayoutLayer);
    }

    ShowModeImages();
    RegisterMessageHandlers();
    WireButtons();
    for (const wchar_t* name : {L"btn_multi_skin_1", L"btn_multi_skin_2", L"btn_multi_skin_3", L"Pic_multi_skin2_lock",
                                L"Pic_multi_skin3_lock"})
        ShowPicture(Room(name), false);
    g_nLoadingMode = kLoadingModeLoading;

    switch (a) {
    case kEnterHost:
        ShowPicture(m_pJoinLayout, false);
        ShowPicture(m_pRoomLayout, false);
        m_bRoomView = 1;
        for (const wchar_t* name : {L"Pic_multi_room_guest_id_back", L"Btn_multi_room_ready", L"Btn_multi_room_ready1",
                                    L"WndEx_multi_room_guest_on"})
            ShowPicture(Room(name), false);
        Enable(Room(L"Anibtn_multi_room_start"), false);
        // The lobby is asked for by the first frame, on the main thread, where its answer
        // arrives: an answer can never come before the call is bound to its handler.
        m_nFirstFrameRequest = kEnterHost;
        break;
    case kEnterJoin:
        ShowPicture(m_pJoinLayout, true);
        ShowPicture(m_pRoomLayout, false);
        m_bRoomView = 0;
        m_nFirstFrameRequest = kEnterJoin;
        break;
    case kEnterBackFromMatch:
        ShowPicture(m_pJoinLayout, false);
        ShowPicture(m_pRoomLayout, true);
        ShowPicture(Room(L"Pic_Starting"), false);
        m_bRoomView = 1;
        if (ISteamMatchmaking* matchmaking = SteamMatchmaking()) {
            const std::string record = RecordText(g_nMultiRecord);
            const bool host = OwnsLobby();
            matchmaking->SetLobbyData(m_steamIDLobby, host ? "HostRecord" : "GuestRecord", record.c_str());
            DFLog(host ? L"Send Host %s" : L"Send Guest %s", platform::Widen(record).c_str());
        }
        Sleep(m_nReturnPauseMs);
        break;
    default:
        break;
    }

    m_nPage = 0;
    m_bStarting = 0;
    m_fStartingSeconds = 0.0f;
    FillRoomView();

    g_Mouse.m_bVisible = 1;
    g_Mouse.ClearRects();
    g_Mouse.AddRect(kCursorBlock, RECT{0, 0, 1024, 768});

    // A game server left from a match is deleted by the first frame, on the main thread, where
    // its own frames run.
    m_bDeleteLeftoverServer = true;
    return 1;
}

void QuiblyLobbyScene::Leave()
{
    if (DXSoundServer* server = DXSoundServer::GetSingletonPtr())
        server->StopAllEffects();
    m_MessageBox.Close();
    kv::KVSystem& system = kv::GetKVSystem();
    if (m_pJoinLayout)
        system.DetachWindow(m_pJoinLayout);
    if (m_pRoomLayout)
        system.DetachWindow(m_pRoomLayout);
    m_pJoinLayout = nullptr;
    m_pRoomLayout = nullptr;
    m_pBrowser.reset();
    m_ChatLines.clear();
}

void QuiblyLobbyScene::RegisterMessageHandlers()
{
    AddHandler(MSG_POPUP_OK, nullptr, &QuiblyLobbyScene::OnPopUpOk);
    AddHandler(MSG_POPUP_YES, nullptr, &QuiblyLobbyScene::OnPopUpYes);
    AddHandler(MSG_POPUP_NO, nullptr, &QuiblyLobbyScene::OnPopUpNo);
    AddHandler(MSG_LOBBY_LIST_CHANGED, nullptr, &QuiblyLobbyScene::OnListChangedMessage);
    AddHandler(MSG_LOBBY_CHANGED, nullptr, &QuiblyLobbyScene::OnLobbyChangedMessage);
    AddHandler(kSceneMessageChangeScene, nullptr, &QuiblyLobbyScene::OnChangeScene);
    AddHandler(MSG_LOBBY_GAME_STARTING, nullptr, &QuiblyLobbyScene::OnGameStartingMessage);
    AddHandler(MSG_LOBBY_START_GAME, nullptr, &QuiblyLobbyScene::OnStartGameMessageData);
    AddHandler(MSG_LOBBY_CHAT, nullptr, &QuiblyLobbyScene::OnChatMessageData);
}

void QuiblyLobbyScene::WireButtons()
{
    using S = QuiblyLobbyScene;
    using Handler = void (S::*)(kv::EventArgs&);
    auto bind = [this](kv::KVWnd* window, Handler handler, const wchar_t* event = kv::EventClicked) {
        if (window)
            window->AddHandler(event, kv::MakeHandler(this, handler));
    };
    bind(Join(L"Anibtn_sub_btn_exit"), &S::OnExitToMenu);
    bind(Room(L"Anibtn_sub_btn_exit"), &S::OnExitRoom);
    bind(Join(L"Btn_join_type_battle"), &S::OnTypeBattle);
    bind(Join(L"Btn_join_type_push"), &S::OnTypePush);
    bind(Join(L"Btn_join_type_all"), &S::OnTypeAll);
    bind(Join(L"Btn_join_status_joinable"), &S::OnStatusJoinable);
    bind(Join(L"Btn_join_status_all"), &S::OnStatusAll);
    bind(Join(L"Btn_join_kevrin"), &S::OnReload);
    bind(Join(L"Btn_join_host_battle"), &S::OnHostBattleButton);
    bind(Join(L"Btn_join_host_push"), &S::OnHostPushButton);
    for (int i = 1; i <= kRowsPerPage; ++i)
        bind(Join((L"Btn_join_" + std::to_wstring(i)).c_str()), &S::OnJoinButton);
    bind(Join(L"Btn_join_prev"), &S::OnPrevPage);
    bind(Join(L"Btn_join_next"), &S::OnNextPage);
    bind(Room(L"Edit_multi_room_chat_input"), &S::OnChatEnter, kv::EventEnterKeyDown);
    bind(Room(L"Btn_multi_room_ready"), &S::OnReady);
    bind(Room(L"Btn_multi_room_ready1"), &S::OnNotReady);
    bind(Room(L"Anibtn_multi_room_start"), &S::OnStartButton);
    bind(Room(L"Btn_multi_room_selecttype_battle"), &S::OnSelectBattle);
    bind(Room(L"Btn_multi_room_selecttype_push"), &S::OnSelectPush);
}

// The frame.

int QuiblyLobbyScene::Update(float seconds)
{
    if (m_nFirstFrameRequest == kEnterHost) {
        OnHostBattle();
    } else if (m_nFirstFrameRequest == kEnterJoin) {
        m_pBrowser = std::make_unique<QuiblyLobbyBrowser>();
        m_fReloadTimer = kReloadSeconds;
        FillListView();
    }
    m_nFirstFrameRequest = 0;
    if (m_bDeleteLeftoverServer) {
        m_bDeleteLeftoverServer = false;
        delete g_pSteamServer;
        g_pSteamServer = nullptr;
    }
    kv::GetKVSystem().Update(seconds);
    m_MessageBox.Update(seconds);
    PublishOwnRecord();
    PumpNetwork(seconds);
    g_Mouse.Update(seconds);
    if (m_pBrowser && m_fReloadTimer > 0) {
        m_fReloadTimer -= seconds;
        if (m_fReloadTimer <= 0) {
            m_pBrowser->RequestList();
            m_fReloadTimer += kReloadSeconds;
        }
    }
    if (m_bStarting) {
        m_fStartingSeconds += seconds;
        const int state = g_pSteamClient ? g_pSteamClient->m_eConnectedStatus : clientstate::kAuthRefused;
        const bool begun = state == clientstate::kWaitingForPlayers || state == clientstate::kStartOfMatch ||
                           state == clientstate::kInMatch;
        if (state == clientstate::kAuthRefused || (!begun && m_fStartingSeconds >= kStartTimeoutSeconds))
            EndStartingWithNotice();
    }
    return 1;
}

void QuiblyLobbyScene::PublishOwnRecord()
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (!matchmaking || !m_pLobby || !m_steamIDLobby.IsValid())
        return;
    const bool host = OwnsLobby();
    const char* key = host ? "HostRecord" : "GuestRecord";
    const std::string record = RecordText(g_nMultiRecord);
    const char* published = matchmaking->GetLobbyData(m_steamIDLobby, key);
    if (published && record == published)
        return;
    matchmaking->SetLobbyData(m_steamIDLobby, key, record.c_str());
    DFLog(host ? L"Send Host %s" : L"Send Guest %s", platform::Widen(record).c_str());
}

void QuiblyLobbyScene::EndStartingWithNotice()
{
    // The match never began: back to the room, ready to try again.
    DFLog(LOG_WARN, L"Lobby : the match did not start; back to the room");
    m_bStarting = 0;
    m_fStartingSeconds = 0.0f;
    if (g_pSteamClient) {
        g_pSteamClient->DisconnectFromServer();
        g_pSteamClient->m_eConnectedStatus = clientstate::kInLobby;
    }
    if (ISteamMatchmaking* matchmaking = SteamMatchmaking()) {
        if (OwnsLobby()) {
            matchmaking->SetLobbyData(m_steamIDLobby, "game_starting", "0");
            delete g_pSteamServer;
            g_pSteamServer = nullptr;
        } else {
            matchmaking->SetLobbyMemberData(m_steamIDLobby, "ready", "0");
        }
    }
    ShowPicture(Room(L"Pic_Starting"), false);
    FillRoomView();
    OpenMessageBox(L"ALARM", L"CONNECTION FAILED", kStayInRoom);
}

int QuiblyLobbyScene::Render()
{
    GetRenderBackend().DrawSprite(m_nBackground, 0xFFFFFFFF, nullptr);
    if (kv::KVWnd* root = kv::GetKVSystem().GetRootLayer())
        root->Draw();
    g_Mouse.Draw();
    return 1;
}

int QuiblyLobbyScene::MsgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Enter puts the typing into the chat line before the key reaches it.
    if (msg == WM_KEYDOWN && wParam == 13) {
        kv::KVSystem& system = kv::GetKVSystem();
        kv::KVWnd* input = Room(L"Edit_multi_room_chat_input");
        if (input && system.GetFocusWindow() != input)
            system.SetFocus(input);
    }
    return ForwardToUi(msg, wParam, lParam);
}

// The list view.

void QuiblyLobbyScene::FillListView()
{
    if (m_bRoomView || !m_pBrowser)
        return;
    ShowPicture(m_pRoomLayout, false);
    ShowPicture(m_pJoinLayout, true);
    const wchar_t* types[] = {L"Btn_join_type_battle", L"Btn_join_type_push", L"Btn_join_type_all"};
    for (int i = 0; i < 3; ++i)
        Enable(Join(types[i]), i != m_pBrowser->m_nModeFilter);
    Enable(Join(L"Btn_join_status_joinable"), m_pBrowser->m_nJoinFilter != 0);
    Enable(Join(L"Btn_join_status_all"), m_pBrowser->m_nJoinFilter != 1);
    ShowPicture(Join(L"Wnd_join_unreachable"), m_pBrowser->m_bBackendUnreachable);

    const int rows = m_pBrowser->GetEntryCount();
    const int pages = rows / kRowsPerPage + (rows % kRowsPerPage != 0 ? 1 : 0);
    const int last = pages - 1;
    // A list that shrank keeps the page on its last page, never past it.
    if (m_nPage > last)
        m_nPage = last > 0 ? last : 0;
    Enable(Join(L"Btn_join_prev"), m_nPage > 0);
    Enable(Join(L"Btn_join_next"), rows > 0 && m_nPage != last);
    SetText(Join(L"Pic_iqpuzzle_page"), rows > 0 ? Format(m_nPage + 1) : L"0");
    SetText(Join(L"Pic_iqpuzzle_page_full"), Format(pages));

    for (int i = 1; i <= kRowsPerPage; ++i) {
        const std::wstring n = std::to_wstring(i);
        const LobbyListEntry* row = m_pBrowser->GetEntry(m_nPage * kRowsPerPage + i - 1);
        kv::KVWnd* slot = Join((L"Pic_list_slot_on_" + n).c_str());
        if (!row) {
            ShowPicture(slot, false);
            continue;
        }
        ShowPicture(slot, true);
        ShowPicture(Join((L"Pic_join_icon_battle_" + n).c_str()), row->m_nMode == 2);
        ShowPicture(Join((L"Pic_join_icon_push_" + n).c_str()), row->m_nMode == 1);
        SetText(Join((L"Label_join_hostid_" + n).c_str()), row->m_Name);
        SetText(Join((L"Label_join_hostrecord_" + n).c_str()), row->m_HostRecord);
        kv::KVWnd* guestId = Join((L"Label_join_guestid_" + n).c_str());
        kv::KVWnd* guestRecord = Join((L"Label_join_guestrecord_" + n).c_str());
        ShowPicture(Join((L"Btn_join_" + n).c_str()), !row->m_bHasGuest);
        ShowPicture(guestId, row->m_bHasGuest != 0);
        ShowPicture(guestRecord, row->m_bHasGuest != 0);
        if (row->m_bHasGuest) {
            SetText(guestId, row->m_GuestName);
            SetText(guestRecord, row->m_GuestRecord);
        }
    }
}

void QuiblyLobbyScene::OnPrevPage(kv::EventArgs&)
{
    if (m_nPage > 0)
        --m_nPage;
    FillListView();
}

void QuiblyLobbyScene::OnNextPage(kv::EventArgs&)
{
    const int rows = m_pBrowser ? m_pBrowser->GetEntryCount() : 0;
    if (m_nPage + 1 <= rows / kRowsPerPage - (rows % kRowsPerPage == 0 ? 1 : 0))
        ++m_nPage;
    FillListView();
}

void QuiblyLobbyScene::JoinListEntry(int slot)
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (!m_pBrowser || m_bJoinInProgress || !matchmaking)
        return;
    const LobbyListEntry* row = m_pBrowser->GetEntry(m_nPage * kRowsPerPage + slot);
    if (!row)
        return;
    m_LobbyEntered.Set(matchmaking->JoinLobby(CSteamID(row->m_ulSteamIDLobby)), this, &QuiblyLobbyScene::OnLobbyEntered);
    m_bJoinInProgress = 1;
}

void QuiblyLobbyScene::OnJoinButton(kv::EventArgs& args)
{
    auto* clicked = dynamic_cast<kv::WindowEventArgs_<kv::KVButton>*>(&args);
    if (!clicked || !clicked->sender)
        return;
    const std::wstring name = clicked->sender->GetName();
    const int slot = std::wcstol(name.c_str() + std::wcslen(L"Btn_join_"), nullptr, 10);
    if (slot >= 1 && slot <= kRowsPerPage)
        JoinListEntry(slot - 1);
}

void QuiblyLobbyScene::OnLobbyEntered(LobbyEnter_t* result, bool ioFailure)
{
    m_bJoinInProgress = 0;
    if (ioFailure || result->m_EChatRoomEnterResponse != k_EChatRoomEnterResponseSuccess) {
        OpenMessageBox(L"ALARM", L"ROOM FULL");
        return;
    }
    m_pBrowser.reset();
    m_pLobby = std::make_unique<QuiblyLobby>();
    m_steamIDLobby = CSteamID(result->m_ulSteamIDLobby);
    m_pLobby->SetLobby(m_steamIDLobby);
    if (g_pSteamClient) {
        g_pSteamClient->m_steamIDLobby = m_steamIDLobby;
        g_pSteamClient->m_eConnectedStatus = clientstate::kInLobby;
    }
    if (ISteamMatchmaking* matchmaking = SteamMatchmaking())
        matchmaking->SetLobbyData(m_steamIDLobby, "GuestRecord", RecordText(g_nMultiRecord).c_str());
    m_bRoomView = 1;
    m_nPage = 0;
    g_nSessionRecord = kNoMultiRecord;
    FillRoomView();
}

void QuiblyLobbyScene::CreateLobby(bool battle)
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (m_bJoinInProgress || !matchmaking)
        return;
    m_LobbyCreated.Set(matchmaking->CreateLobby(k_ELobbyTypePublic, 2), this,
                       battle ? &QuiblyLobbyScene::OnBattleLobbyCreated : &QuiblyLobbyScene::OnPushLobbyCreated);
}

void QuiblyLobbyScene::OnHostBattle()
{
    CreateLobby(true);
}

void QuiblyLobbyScene::OnHostPush()
{
    CreateLobby(false);
}

void QuiblyLobbyScene::OnBattleLobbyCreated(LobbyCreated_t* result, bool ioFailure)
{
    OnLobbyCreated(result, ioFailure, "2");
}

void QuiblyLobbyScene::OnPushLobbyCreated(LobbyCreated_t* result, bool ioFailure)
{
    OnLobbyCreated(result, ioFailure, "1");
}

void QuiblyLobbyScene::OnLobbyCreated(LobbyCreated_t* result, bool ioFailure, const char* mode)
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (ioFailure || result->m_eResult != k_EResultOK || !matchmaking) {
        OpenMessageBox(L"WARN", L"ROOM CREATE FAIL");
        return;
    }
    m_pLobby = std::make_unique<QuiblyLobby>();
    m_steamIDLobby = CSteamID(result->m_ulSteamIDLobby);
    ISteamFriends* friends = SteamFriends();
    char name[300];
    std::snprintf(name, sizeof name, "%s's lobby", friends ? friends->GetPersonaName() : "");
    matchmaking->SetLobbyData(m_steamIDLobby, "name", CutUtf8(name, 255).c_str());
    matchmaking->SetLobbyData(m_steamIDLobby, "Mode", mode);
    matchmaking->SetLobbyData(m_steamIDLobby, "Type", "0");
    matchmaking->SetLobbyData(m_steamIDLobby, "HostRecord", RecordText(g_nMultiRecord).c_str());
    m_pLobby->SetLobby(m_steamIDLobby);
    if (g_pSteamClient)
        g_pSteamClient->m_steamIDLobby = m_steamIDLobby;
    matchmaking->SetLobbyMemberLimit(m_steamIDLobby, 2);
    matchmaking->SetLobbyMemberData(m_steamIDLobby, "ready", "1");
    g_nSessionRecord = kNoMultiRecord;
    if (g_pSteamClient)
        g_pSteamClient->m_eConnectedStatus = clientstate::kInLobby;
    m_bRoomView = 1;
    m_pBrowser.reset();
    m_bJoinInProgress = 0;
    m_nPage = 0;
    FillRoomView();
}

// The room view.

void QuiblyLobbyScene::ShowModeImages()
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    const char* modeText = matchmaking ? matchmaking->GetLobbyData(m_steamIDLobby, "Mode") : nullptr;
    const int mode = modeText ? std::atoi(modeText) : 0;
    const int k = SkinTable.GetCurrentSkin() + 1;
    for (int i = 1; i <= 3; ++i) {
        kv::KVWnd* battle = Room((L"Pic_multi_room_image_battle_" + std::to_wstring(i)).c_str());
        kv::KVWnd* push = Room((L"Pic_multi_room_image_push_" + std::to_wstring(i)).c_str());
        if (i != k) {
            ShowPicture(battle, false);
            ShowPicture(push, false);
        } else if (mode == 1) {
            ShowPicture(push, true);
            ShowPicture(battle, false);
        } else if (mode == 2) {
            ShowPicture(battle, true);
            ShowPicture(push, false);
        }
    }
}

void QuiblyLobbyScene::FillRoomView()
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (!m_bRoomView || !m_pLobby || m_bStarting || !matchmaking || !m_pRoomLayout)
        return;
    ShowPicture(m_pRoomLayout, true);
    ShowPicture(Room(L"Pic_Starting"), false);
    ShowPicture(m_pJoinLayout, false);

    if (const char* record = matchmaking->GetLobbyData(m_steamIDLobby, "HostRecord"))
        SetText(Room(L"Label_multi_room_hostrecord"), LobbyText(record));
    if (const char* record = matchmaking->GetLobbyData(m_steamIDLobby, "GuestRecord"))
        SetText(Room(L"Label_multi_room_guestrecord"), LobbyText(record));

    for (int i = 1; i <= 3; ++i) {
        ShowPicture(Room((L"Pic_multi_room_image_battle_" + std::to_wstring(i)).c_str()), false);
        ShowPicture(Room((L"Pic_multi_room_image_push_" + std::to_wstring(i)).c_str()), false);
    }
    const char* modeText = matchmaking->GetLobbyData(m_steamIDLobby, "Mode");
    const int mode = modeText ? std::atoi(modeText) : 0;
    const std::wstring k = std::to_wstring(SkinTable.GetCurrentSkin() + 1);
    if (mode == 1) {
        Enable(Room(L"Btn_multi_room_selecttype_push"), false);
        Enable(Room(L"Btn_multi_room_selecttype_battle"), true);
        ShowPicture(Room((L"Pic_multi_room_image_push_" + k).c_str()), true);
    } else if (mode == 2) {
        Enable(Room(L"Btn_multi_room_selecttype_battle"), false);
        Enable(Room(L"Btn_multi_room_selecttype_push"), true);
        ShowPicture(Room((L"Pic_multi_room_image_battle_" + k).c_str()), true);
    }

    const CSteamID owner = matchmaking->GetLobbyOwner(m_steamIDLobby);
    const CSteamID self = LocalUser();
    SetText(Room(L"Label_multi_room_hostid"), PersonaName(owner));
    const int members = matchmaking->GetNumLobbyMembers(m_steamIDLobby);
    if (owner == self) {
        ShowPicture(Room(L"WndEx_multi_room_Host_on"), true);
        ShowPicture(Room(L"Wnd_multi_room_gametype"), true);
        ShowPicture(Room(L"WndEx_multi_room_guest_on"), false);
        Enable(Room(L"Anibtn_multi_room_start"), m_pLobby->AllMembersReady() && members == 2);
    } else {
        ShowPicture(Room(L"Wnd_multi_room_gametype"), false);
        ShowPicture(Room(L"WndEx_multi_room_Host_on"), false);
        ShowPicture(Room(L"WndEx_multi_room_guest_on"), true);
        // The start button lives in the owner's window; a layout that places it elsewhere still
        // never offers it to the guest.
        Enable(Room(L"Anibtn_multi_room_start"), false);
    }

    for (int i = 0; i < members; ++i) {
        const CSteamID member = matchmaking->GetLobbyMemberByIndex(m_steamIDLobby, i);
        if (member == owner)
            continue;
        SetText(Room(L"Label_multi_room_guestid"), PersonaName(member));
        const char* readyText = matchmaking->GetLobbyMemberData(m_steamIDLobby, member, "ready");
        const bool ready = readyText && std::atoi(readyText) == 1;
        kv::KVWnd* readyPicture = Room(L"Pic_multi_room_guest_ready");
        const bool wasReady = readyPicture && readyPicture->IsVisible() && !readyPicture->IsHiding();
        if (member == self) {
            // The two buttons share one place: only the one that can be pressed is shown, so a
            // greyed cancel never stands over the ready button.
            ShowPicture(Room(L"Btn_multi_room_ready"), !ready);
            ShowPicture(Room(L"Btn_multi_room_ready1"), ready);
            Enable(Room(L"Btn_multi_room_ready"), !ready);
            Enable(Room(L"Btn_multi_room_ready1"), ready);
        } else if (ready != wasReady) {
            OnlineSounds().Play(ready ? kSoundReady : kSoundNotReady);
        }
        // The badge on the guest's card tells its state on both screens.
        ShowPicture(readyPicture, ready);
        ShowPicture(Room(L"Pic_multi_room_guest_notready"), !ready);
    }

    if (members <= 1) {
        for (const wchar_t* name : {L"Pic_multi_room_guest_id_back", L"Btn_multi_room_ready", L"Btn_multi_room_ready1",
                                    L"Pic_multi_room_guest_ready", L"Pic_multi_room_guest_notready"})
            ShowPicture(Room(name), false);
        SetText(Room(L"Label_multi_room_guestid"), L"");
        SetText(Room(L"Label_multi_room_guestrecord"), L"");
    } else {
        ShowPicture(Room(L"Pic_multi_room_guest_id_back"), true);
        // The guest's own view has shown its one button above.
        if (owner == self)
            for (const wchar_t* name : {L"Btn_multi_room_ready", L"Btn_multi_room_ready1"})
                ShowPicture(Room(name), true);
    }

    const int wins = MultiRecordWins(g_nSessionRecord);
    const int losses = MultiRecordLosses(g_nSessionRecord);
    const bool host = owner == self;
    SetText(Room(L"multi_score_host"), Format(host ? wins : losses));
    SetText(Room(L"multi_score_geust"), Format(host ? losses : wins));
}

void QuiblyLobbyScene::OnReady(kv::EventArgs&)
{
    if (m_bStarting)
        return;
    if (ISteamMatchmaking* matchmaking = SteamMatchmaking())
        matchmaking->SetLobbyMemberData(m_steamIDLobby, "ready", "1");
}

void QuiblyLobbyScene::OnNotReady(kv::EventArgs&)
{
    if (ISteamMatchmaking* matchmaking = SteamMatchmaking())
        matchmaking->SetLobbyMemberData(m_steamIDLobby, "ready", "0");
}

void QuiblyLobbyScene::SetModeData(const char* mode)
{
    if (m_bStarting)
        return;
    if (ISteamMatchmaking* matchmaking = SteamMatchmaking())
        matchmaking->SetLobbyData(m_steamIDLobby, "Mode", mode);
}

void QuiblyLobbyScene::OnSelectBattle(kv::EventArgs&)
{
    SetModeData("2");
}

void QuiblyLobbyScene::OnSelectPush(kv::EventArgs&)
{
    SetModeData("1");
}

void QuiblyLobbyScene::OnStartGame()
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    // Only the lobby's owner starts the match: a guest's server would admit nobody but itself.
    if (!m_pLobby || !matchmaking || !OwnsLobby() || !m_pLobby->AllMembersReady() ||
        matchmaking->GetNumLobbyMembers(m_steamIDLobby) != 2)
        return;
    const char* starting = matchmaking->GetLobbyData(m_steamIDLobby, "game_starting");
    if (starting && std::atoi(starting) == 1)
        return;
    m_bDeleteLeftoverServer = false;
    delete g_pSteamServer;
    g_pSteamServer = nullptr;
    matchmaking->SetLobbyData(m_steamIDLobby, "game_starting", "1");
    g_pSteamServer = new CSteamServer();
    g_pSteamServer->m_uExpectedPlayers = static_cast<uint32_t>(matchmaking->GetNumLobbyMembers(m_steamIDLobby));
    m_bStarting = 1;
    m_fStartingSeconds = 0.0f;
    ShowPicture(Room(L"Pic_Starting"), true);
}

void QuiblyLobbyScene::OnStartButton(kv::EventArgs&)
{
    OnStartGame();
}

void QuiblyLobbyScene::OnGameStarting()
{
    if (m_bStarting || !g_pSteamClient || g_pSteamClient->m_eConnectedStatus != clientstate::kInLobby || g_pSteamServer)
        return;
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (!matchmaking)
        return;
    uint32_t ip = 0;
    uint16_t port = 0;
    CSteamID server;
    matchmaking->GetLobbyGameServer(m_steamIDLobby, &ip, &port, &server);
    if (server.IsValid())
        g_pSteamClient->InitiateServerConnection(server);
    else
        g_pSteamClient->InitiateServerConnection(ip, port);
    matchmaking->SetLobbyMemberData(m_steamIDLobby, "ready", "0");
    m_bStarting = 1;
    m_fStartingSeconds = 0.0f;
    ShowPicture(Room(L"Pic_Starting"), true);
}

void QuiblyLobbyScene::OnStartGameMessage(int32_t type, int32_t mode)
{
    if (type != 0)
        return;
    const char* scene = mode == 2 ? kBattleScene : mode == 1 ? kPushScene : nullptr;
    if (!scene)
        return;
    g_nNetReadyCount = 1;
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(scene, 0, 0);
}

void QuiblyLobbyScene::LeaveRoom()
{
    ShowPicture(m_pJoinLayout, true);
    ShowPicture(m_pRoomLayout, false);
    m_bRoomView = 0;
    if (ISteamMatchmaking* matchmaking = SteamMatchmaking())
        matchmaking->LeaveLobby(m_steamIDLobby);
    m_steamIDLobby = CSteamID();
    m_pLobby.reset();
    m_ChatLines.clear();
    if (auto* chat = dynamic_cast<kv::KVTextArea*>(Room(L"TextArea_multi_room_chat_box"))) {
        chat->Clear();
        chat->SetFirstVisibleLine(0);
    }
    m_pBrowser = std::make_unique<QuiblyLobbyBrowser>();
    m_fReloadTimer = kReloadSeconds;
    FillListView();
}

void QuiblyLobbyScene::OnExitRoom(kv::EventArgs&)
{
    LeaveRoom();
}

void QuiblyLobbyScene::OnExitToMenu(kv::EventArgs&)
{
    PayloadWriter change;
    change.Text(kMainMenuScene, 64).I32(4).I32(0);
    change.PostTo(OnlineMessages(), kSceneMessageChangeScene);
}

// Chat.

void QuiblyLobbyScene::SendChat()
{
    auto* input = dynamic_cast<kv::KVEdit*>(Room(L"Edit_multi_room_chat_input"));
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (!input)
        return;
    const std::string text = CutUtf8(platform::Narrow(input->text), kChatBytes - 1);
    if (matchmaking)
        matchmaking->SendLobbyChatMsg(m_steamIDLobby, text.c_str(), static_cast<int>(text.size()));
    input->WipePasswordText();
    input->text.clear();
    input->caretIndex = 0;
}

void QuiblyLobbyScene::OnChatEnter(kv::EventArgs&)
{
    SendChat();
}

void QuiblyLobbyScene::AppendChatLine(const std::wstring& line)
{
    auto* chat = dynamic_cast<kv::KVTextArea*>(Room(L"TextArea_multi_room_chat_box"));
    if (!chat)
        return;
    // The history is capped: the oldest line leaves the front of the box as a new one arrives.
    chat->AppendText(line);
    m_ChatLines.push_back(line.size());
    if (m_ChatLines.size() > kChatLines) {
        chat->EraseFront(static_cast<int32_t>(m_ChatLines.front()));
        m_ChatLines.pop_front();
    }
    const int lines = chat->LineCount();
    const int visible = chat->GetVisibleLineCount();
    if (lines - 1 > visible)
        chat->SetFirstVisibleLine(lines - visible);
}

void QuiblyLobbyScene::OnChatMessage(uint64_t sender, const std::string& text)
{
    ISteamFriends* friends = SteamFriends();
    const std::wstring name = LobbyText(friends ? friends->GetFriendPersonaName(CSteamID(sender)) : "");
    AppendChatLine(L"\n" + name + L" : " + OneLine(platform::Widen(text)));
    if (CSteamID(sender) != LocalUser())
        OnlineSounds().Play(kSoundChat);
}

// Buttons of the list view.

void QuiblyLobbyScene::OnTypeBattle(kv::EventArgs&)
{
    if (!m_pBrowser)
        return;
    m_pBrowser->m_nModeFilter = QuiblyLobbyBrowser::kModeBattle;
    m_pBrowser->RequestList();
    FillListView();
}

void QuiblyLobbyScene::OnTypePush(kv::EventArgs&)
{
    if (!m_pBrowser)
        return;
    m_pBrowser->m_nModeFilter = QuiblyLobbyBrowser::kModePush;
    m_pBrowser->RequestList();
    FillListView();
}

void QuiblyLobbyScene::OnTypeAll(kv::EventArgs&)
{
    if (!m_pBrowser)
        return;
    m_pBrowser->m_nModeFilter = QuiblyLobbyBrowser::kModeAll;
    m_pBrowser->RequestList();
    FillListView();
}

void QuiblyLobbyScene::OnStatusJoinable(kv::EventArgs&)
{
    if (!m_pBrowser)
        return;
    m_pBrowser->m_nJoinFilter = QuiblyLobbyBrowser::kJoinableOnly;
    m_pBrowser->RequestList();
    FillListView();
}

void QuiblyLobbyScene::OnStatusAll(kv::EventArgs&)
{
    if (!m_pBrowser)
        return;
    m_pBrowser->m_nJoinFilter = QuiblyLobbyBrowser::kJoinAll;
    m_pBrowser->RequestList();
    FillListView();
}

void QuiblyLobbyScene::OnReload(kv::EventArgs&)
{
    if (!m_pBrowser)
        return;
    m_pBrowser->RequestList();
    FillListView();
}

void QuiblyLobbyScene::OnHostBattleButton(kv::EventArgs&)
{
    OnHostBattle();
}

void QuiblyLobbyScene::OnHostPushButton(kv::EventArgs&)
{
    OnHostPush();
}

// Scene messages.

int QuiblyLobbyScene::OnPopUpOk(const void* data, int extra)
{
    int32_t param = 0;
    if (Holds(extra, 8))
        std::memcpy(&param, static_cast<const uint8_t*>(data) + 4, 4);
    if (param == kStayInRoom)
        return 1;
    kv::EventArgs none;
    OnExitToMenu(none);
    return 1;
}

int QuiblyLobbyScene::OnPopUpYes(const void* data, int extra)
{
    int32_t param = 0;
    if (Holds(extra, 8))
        std::memcpy(&param, static_cast<const uint8_t*>(data) + 4, 4);
    if (param == 0)
        if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
            manager->Quit();
    return 1;
}

int QuiblyLobbyScene::OnPopUpNo(const void* data, int extra)
{
    int32_t param = 0;
    if (Holds(extra, 8))
        std::memcpy(&param, static_cast<const uint8_t*>(data) + 4, 4);
    if (param == 0)
        OpenMessageBox(L"THANKS", L"THANK YOU");
    return 1;
}

int QuiblyLobbyScene::OnListChangedMessage(const void*, int)
{
    FillListView();
    return 1;
}

int QuiblyLobbyScene::OnLobbyChangedMessage(const void*, int)
{
    FillRoomView();
    return 1;
}

int QuiblyLobbyScene::OnChangeScene(const void* data, int extra)
{
    if (!Holds(extra, 76))
        return 1;
    const auto* bytes = static_cast<const uint8_t*>(data);
    char name[64];
    std::memcpy(name, bytes + 4, sizeof name);
    name[63] = 0;
    int32_t a = 0;
    int32_t b = 0;
    std::memcpy(&a, bytes + 68, 4);
    std::memcpy(&b, bytes + 72, 4);
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(name, a, b);
    return 1;
}

int QuiblyLobbyScene::OnGameStartingMessage(const void*, int)
{
    OnGameStarting();
    return 1;
}

int QuiblyLobbyScene::OnStartGameMessageData(const void* data, int extra)
{
    if (!Holds(extra, 12))
        return 1;
    int32_t type = 0;
    int32_t mode = 0;
    std::memcpy(&type, static_cast<const uint8_t*>(data) + 4, 4);
    std::memcpy(&mode, static_cast<const uint8_t*>(data) + 8, 4);
    OnStartGameMessage(type, mode);
    return 1;
}

int QuiblyLobbyScene::OnChatMessageData(const void* data, int extra)
{
    if (!Holds(extra, 148))
        return 1;
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint64_t sender = 0;
    std::memcpy(&sender, bytes + 12, 8);
    const char* text = reinterpret_cast<const char*>(bytes + 20);
    OnChatMessage(sender, std::string(text, strnlen(text, kChatBytes)));
    return 1;
}
