// The lobby scene with small layouts of its windows, the real window system and the platform,
// other players as in-process peers: the list's pages, hosting and the room's start button, the
// start of the match, chat, and the notices of what failed.
#include "MatchFixture.h"
#include "engine/LoadingScene.h"

#include "../menus/PopUpKit.h"

#include "engine/SceneManager.h"
#include "engine/SimpleTestScene.h"
#include "kv/KVEdit.h"
#include "kv/KVTextArea.h"
#include "online/QuiblyLobbyScene.h"

#include <win32/Messages.h>

namespace {

using matchtest::MatchTest;
using matchtest::Peer;
using matchtest::ResultOf;
using popuptest::Box;
using popuptest::Child;
using popuptest::Layout;

std::string JoinLayout()
{
    std::string c;
    int x = 0;
    for (const char* name : {"Anibtn_sub_btn_exit", "Btn_join_type_battle", "Btn_join_type_push", "Btn_join_type_all",
                             "Btn_join_status_joinable", "Btn_join_status_all", "Btn_join_kevrin", "Btn_join_host_battle",
                             "Btn_join_host_push", "Btn_join_prev", "Btn_join_next"})
        c += Child({"BUTTON", name, 45 * x++, 700, 40, 20});
    c += Child({"LABEL", "Pic_iqpuzzle_page", 0, 0, 40, 20}) + Child({"LABEL", "Pic_iqpuzzle_page_full", 0, 0, 40, 20});
    c += Child({"WND", "Wnd_join_unreachable", 0, 300, 40, 20});
    for (int i = 1; i <= 8; ++i) {
        const std::string n = std::to_string(i);
        c += Child({"PICTURE", "Pic_list_slot_on_" + n, 0, 0, 10, 10}) +
             Child({"PICTURE", "Pic_join_icon_battle_" + n, 0, 0, 10, 10}) +
             Child({"PICTURE", "Pic_join_icon_push_" + n, 0, 0, 10, 10});
        for (const char* label : {"Label_join_hostid_", "Label_join_hostrecord_", "Label_join_guestid_", "Label_join_guestrecord_"})
            c += Child({"LABEL", label + n, 0, 0, 160, 20});
        c += Child({"BUTTON", "Btn_join_" + n, 100 + 50 * i, 40 * i, 40, 20});
    }
    return Layout("Wnd_join", c, "");
}

std::string RoomLayout()
{
    // As in the game's room, the start button is a child of the owner's window, which lies under
    // the others.
    std::string c = Child({"WNDEX", "WndEx_multi_room_Host_on", 0, 0, 1024, 768},
                          Child({"BUTTON", "Anibtn_multi_room_start", 500, 650, 40, 20}));
    int x = 0;
    for (const char* name : {"Anibtn_sub_btn_exit", "Btn_multi_room_ready", "Btn_multi_room_ready1",
                             "Btn_multi_room_selecttype_battle", "Btn_multi_room_selecttype_push", "btn_multi_skin_1",
                             "btn_multi_skin_2", "btn_multi_skin_3"})
        c += Child({"BUTTON", name, 45 * x++, 700, 40, 20});
    for (const char* name : {"Label_multi_room_hostrecord", "Label_multi_room_guestrecord", "Label_multi_room_hostid",
                             "Label_multi_room_guestid", "multi_score_host", "multi_score_geust"})
        c += Child({"LABEL", name, 0, 0, 160, 20});
    for (const char* name : {"Pic_Starting", "WndEx_multi_room_guest_on", "Wnd_multi_room_gametype",
                             "Pic_multi_room_guest_id_back", "Pic_multi_room_guest_ready", "Pic_multi_room_guest_notready",
                             "Pic_multi_skin2_lock", "Pic_multi_skin3_lock"})
        c += Child({"PICTURE", name, 0, 0, 10, 10});
    for (int i = 1; i <= 3; ++i)
        c += Child({"PICTURE", "Pic_multi_room_image_battle_" + std::to_string(i), 0, 0, 10, 10}) +
             Child({"PICTURE", "Pic_multi_room_image_push_" + std::to_string(i), 0, 0, 10, 10});
    c += Child({"TEXTAREA", "TextArea_multi_room_chat_box", 10, 400, 400, 100},
               "<FontName val=\"Sans\"/><FontSize val=\"12\"/>");
    c += Child({"EDIT", "Edit_multi_room_chat_input", 10, 520, 400, 30});
    return Layout("Wnd_room", c, "");
}

std::string WarningLayout()
{
    return Layout("Wnd_warning",
                  Child({"LABEL", "Label_title", 0, 0, 40, 20}) + Child({"LABEL", "Label_message", 0, 30, 40, 20}) +
                      Child({"BUTTON", "Anibtn_popup_ok", 500, 500, 60, 30}),
                  "");
}

class QuiblyLobbySceneTest : public MatchTest {
protected:
    void SetUp() override
    {
        MatchTest::SetUp();
        world = std::make_unique<popuptest::PopUpWorld>();
        world->AddFile("data/join.xml", JoinLayout());
        world->AddFile("data/room.xml", RoomLayout());
        world->AddFile("data/warning_1btn.xml", WarningLayout());
        SetPopUpSinks(&messages, &sounds);
        scene.m_LoadLayout = [this](const char* file) { return world->system->CreateWindowFromLayout(file); };
        scene.m_nReturnPauseMs = 0;
    }
    void TearDown() override
    {
        scene.Leave();
        delete g_pSteamClient;
        g_pSteamClient = nullptr;
        world.reset();
        g_nNetReadyCount = 0;
        MatchTest::TearDown();
    }

    void Frame(float seconds = 0.016f)
    {
        scene.Update(seconds);
        SteamAPI_RunCallbacks();
    }
    // Delivers the scene messages the online objects posted, as the scene queue would.
    void Deliver()
    {
        std::vector<PostedMessage> posted = messages.posted;
        messages.Clear();
        for (const PostedMessage& m : posted) {
            std::vector<uint8_t> data(4 + m.payload.size());
            std::memcpy(data.data(), &m.id, 4);
            std::copy(m.payload.begin(), m.payload.end(), data.begin() + 4);
            scene.Dispatch(m.id, data.data(), static_cast<int>(data.size()));
        }
    }
    void HostRoom()
    {
        g_pSteamClient = new VanteoSteamClient(SteamUser()->GetSteamID());
        g_pSteamClient->m_nConnectPauseMs = 0;
        const CSteamID before = scene.GetLobbyId();
        scene.Enter(QuiblyLobbyScene::kEnterHost, 0);
        scene.Update(0.0f);
        ASSERT_TRUE(PumpUntil([&] { return scene.GetLobby() != nullptr && scene.GetLobbyId() != before; }));
        Deliver();
    }
    bool Enabled(const wchar_t* name) const
    {
        kv::KVWnd* window = world->Find(name);
        return window && window->IsEnabled();
    }

    std::unique_ptr<popuptest::PopUpWorld> world;
    enginetest::RecordingRenderBackend renderer;
    QuiblyLobbyScene scene;
};

TEST_F(QuiblyLobbySceneTest, TheListShowsItsPagesAndNeverPassesTheLastOne)
{
    scene.Enter(QuiblyLobbyScene::kEnterJoin, 0);
    scene.Update(0.0f);
    ASSERT_TRUE(PumpUntil([&] { return !scene.GetBrowser()->m_bRequestingLobbies; }));
    auto fill = [&](int rows) {
        scene.GetBrowser()->m_Entries.assign(static_cast<size_t>(rows), LobbyListEntry{});
        for (int i = 0; i < rows; ++i) {
            scene.GetBrowser()->m_Entries[static_cast<size_t>(i)].m_nMode = 2;
            scene.GetBrowser()->m_Entries[static_cast<size_t>(i)].m_Name = L"Lobby " + std::to_wstring(i);
        }
        scene.FillListView();
    };
    struct Case {
        int rows, clicksNext;
        const wchar_t* page;
        const wchar_t* pages;
        bool prev, next;
        int slotsShown;
    };
    for (const Case& c : {Case{0, 0, L"0", L"0", false, false, 0}, Case{8, 1, L"1", L"1", false, false, 8},
                          Case{9, 0, L"1", L"2", false, true, 8}, Case{9, 1, L"2", L"2", true, false, 1},
                          Case{16, 3, L"2", L"2", true, false, 8}, Case{17, 2, L"3", L"3", true, false, 1}}) {
        SCOPED_TRACE(c.rows);
        fill(c.rows);
        while (scene.GetPage() > 0)
            world->ClickOn(L"Btn_join_prev");
        for (int i = 0; i < c.clicksNext; ++i)
            world->ClickOn(L"Btn_join_next");
        EXPECT_EQ(world->Text(L"Pic_iqpuzzle_page"), c.page);
        EXPECT_EQ(world->Text(L"Pic_iqpuzzle_page_full"), c.pages);
        EXPECT_EQ(Enabled(L"Btn_join_prev"), c.prev);
        EXPECT_EQ(Enabled(L"Btn_join_next"), c.next);
        int shown = 0;
        for (int i = 1; i <= 8; ++i)
            shown += world->Visible(L"Pic_list_slot_on_" + std::to_wstring(i)) ? 1 : 0;
        EXPECT_EQ(shown, c.slotsShown);
    }
    // A list that shrinks under the third page shows its last page.
    fill(8);
    EXPECT_EQ(scene.GetPage(), 0);
    EXPECT_EQ(world->Text(L"Pic_iqpuzzle_page"), L"1");
    EXPECT_FALSE(Enabled(L"Btn_join_next"));

    // A row with a guest has no join button; the filter buttons show the filter in use.
    fill(1);
    scene.GetBrowser()->m_Entries[0].m_bHasGuest = 1;
    scene.GetBrowser()->m_Entries[0].m_GuestName = L"Bo";
    scene.FillListView();
    EXPECT_FALSE(world->Visible(L"Btn_join_1"));
    EXPECT_EQ(world->Text(L"Label_join_guestid_1"), L"Bo");
    EXPECT_TRUE(world->Visible(L"Pic_join_icon_battle_1"));
    EXPECT_FALSE(world->Visible(L"Pic_join_icon_push_1"));
    EXPECT_FALSE(Enabled(L"Btn_join_type_all"));
    // The row's join button asks to join that row's lobby.
    fill(2);
    EXPECT_TRUE(world->ClickOn(L"Btn_join_2"));
    EXPECT_EQ(scene.IsJoinInProgress(), 1);
    EXPECT_TRUE(world->ClickOn(L"Btn_join_type_push"));
    EXPECT_EQ(scene.GetBrowser()->m_nModeFilter, QuiblyLobbyBrowser::kModePush);
    EXPECT_FALSE(Enabled(L"Btn_join_type_push"));
}

TEST_F(QuiblyLobbySceneTest, AListThatCannotBeFetchedSaysSoUntilOneArrives)
{
    scene.Enter(QuiblyLobbyScene::kEnterJoin, 0);
    scene.Update(0.0f);
    ASSERT_TRUE(PumpUntil([&] { return !scene.GetBrowser()->m_bRequestingLobbies; }));
    Deliver();
    EXPECT_FALSE(world->Visible(L"Wnd_join_unreachable"));
    // The service does not answer: the list is empty, and the player is told why.
    LobbyMatchList_t none{};
    scene.GetBrowser()->OnLobbyMatchList(&none, true);
    Deliver();
    EXPECT_TRUE(world->Visible(L"Wnd_join_unreachable"));
    EXPECT_EQ(world->Text(L"Pic_iqpuzzle_page_full"), L"0");
    // The next reload reaches it again.
    scene.GetBrowser()->OnLobbyMatchList(&none, false);
    Deliver();
    EXPECT_FALSE(world->Visible(L"Wnd_join_unreachable"));
}

TEST_F(QuiblyLobbySceneTest, TheHostStartsOnlyWithOneReadyGuest)
{
    HostRoom();
    const CSteamID lobby = scene.GetLobbyId();
    EXPECT_TRUE(world->Visible(L"WndEx_multi_room_Host_on"));
    EXPECT_STREQ(SteamMatchmaking()->GetLobbyData(lobby, "Mode"), "2");
    EXPECT_FALSE(Enabled(L"Anibtn_multi_room_start"));  // alone
    EXPECT_EQ(g_pSteamClient->m_eConnectedStatus, clientstate::kInLobby);

    Peer& guest = JoinPeer(0x3100000000000001ull, "Guest", lobby);
    SteamMatchmaking()->SetLobbyMemberLimit(lobby, 2);
    ASSERT_TRUE(PumpUntil([&] { return SteamMatchmaking()->GetNumLobbyMembers(lobby) == 2; }));
    scene.FillRoomView();
    EXPECT_FALSE(Enabled(L"Anibtn_multi_room_start"));  // not ready
    EXPECT_TRUE(world->Visible(L"Pic_multi_room_guest_notready"));
    world->ClickOn(L"Anibtn_multi_room_start");
    EXPECT_EQ(g_pSteamServer, nullptr);

    sounds.played.clear();
    guest.peer.Matchmaking()->SetLobbyMemberData(lobby, "ready", "1");
    ASSERT_TRUE(PumpUntil([&] { return scene.GetLobby()->AllMembersReady(); }));
    scene.FillRoomView();
    scene.FillRoomView();
    EXPECT_TRUE(Enabled(L"Anibtn_multi_room_start"));
    EXPECT_EQ(sounds.played, (std::vector<int>{113}));  // once, for the change only
    EXPECT_EQ(world->Text(L"Label_multi_room_guestid"), L"Guest");

    ASSERT_TRUE(world->ClickOn(L"Anibtn_multi_room_start"));
    ASSERT_NE(g_pSteamServer, nullptr);
    EXPECT_EQ(g_pSteamServer->m_uExpectedPlayers, 2u);
    EXPECT_STREQ(SteamMatchmaking()->GetLobbyData(lobby, "game_starting"), "1");
    EXPECT_TRUE(world->Visible(L"Pic_Starting"));
    EXPECT_EQ(scene.IsStarting(), 1);
    // Mode buttons are ignored once starting; a second start changes nothing.
    CSteamServer* first = g_pSteamServer;
    world->ClickOn(L"Btn_multi_room_selecttype_push");
    scene.OnStartGame();
    EXPECT_STREQ(SteamMatchmaking()->GetLobbyData(lobby, "Mode"), "2");
    EXPECT_EQ(g_pSteamServer, first);
}

TEST_F(QuiblyLobbySceneTest, TheGuestsRoomOffersNoStartAndItsStartDoesNothing)
{
    // Another player hosts a battle lobby; this program joins it from the list.
    Peer& host = AddPeer(0x3100000000000005ull, "Hosta");
    SteamAPICall_t call = host.peer.Matchmaking()->CreateLobby(k_ELobbyTypePublic, 2);
    ASSERT_TRUE(PumpUntil([&] { return ResultOf(host.events, call) != nullptr; }));
    const CSteamID lobby(ResultOf(host.events, call)->As<LobbyCreated_t>().m_ulSteamIDLobby);
    for (const auto& [key, value] : {std::pair{"name", "Hosta's lobby"}, std::pair{"Mode", "2"}, std::pair{"Type", "0"}})
        host.peer.Matchmaking()->SetLobbyData(lobby, key, value);
    host.peer.Matchmaking()->SetLobbyMemberData(lobby, "ready", "1");
    g_pSteamClient = new VanteoSteamClient(SteamUser()->GetSteamID());
    scene.Enter(QuiblyLobbyScene::kEnterJoin, 0);
    scene.Update(0.0f);
    ASSERT_TRUE(PumpUntil([&] {
        if (scene.GetBrowser()->m_Entries.empty() && !scene.GetBrowser()->m_bRequestingLobbies)
            scene.GetBrowser()->RequestList();
        return !scene.GetBrowser()->m_Entries.empty();
    }));
    scene.FillListView();
    ASSERT_TRUE(world->ClickOn(L"Btn_join_1"));
    ASSERT_TRUE(PumpUntil([&] { return scene.GetLobbyId() == lobby && scene.IsRoomView() == 1; }));
    // Both ready: the host's room would offer start now, the guest's shows no start at all.
    ASSERT_TRUE(world->ClickOn(L"Btn_multi_room_ready"));
    ASSERT_TRUE(PumpUntil([&] { return scene.GetLobby()->AllMembersReady(); }));
    scene.FillRoomView();
    EXPECT_FALSE(world->Shown(L"Anibtn_multi_room_start"));
    EXPECT_FALSE(Enabled(L"Anibtn_multi_room_start"));
    EXPECT_TRUE(world->Shown(L"WndEx_multi_room_guest_on"));
    // Even when asked, the guest neither makes a game server nor marks the lobby starting.
    scene.OnStartGame();
    EXPECT_EQ(g_pSteamServer, nullptr);
    EXPECT_EQ(scene.IsStarting(), 0);
    EXPECT_FALSE(world->Visible(L"Pic_Starting"));
    EXPECT_STREQ(SteamMatchmaking()->GetLobbyData(lobby, "game_starting"), "");
}

TEST_F(QuiblyLobbySceneTest, TheStartMessageSwitchesToTheMatchOfTheLobbysMode)
{
    CSceneManager manager;
    for (const char* name : {"SteamVanteoScene", "SteamVanteoScene_Push", "Idle"}) {
        auto* stand = new SimpleTestScene();
        stand->SetName(name);
        manager.RegisterScene(stand);
    }
    struct Case {
        int32_t type, mode;
        const char* scene;
    };
    for (const Case& c : {Case{0, 2, "SteamVanteoScene"}, Case{0, 1, "SteamVanteoScene_Push"}, Case{1, 2, "Idle"},
                          Case{0, 3, "Idle"}}) {
        manager.SetFirstScene("Idle", 0, 0);
        g_nNetReadyCount = 0;
        scene.OnStartGameMessage(c.type, c.mode);
        EXPECT_STREQ(manager.GetCurrentScene()->GetName(), c.scene) << c.type << " " << c.mode;
        EXPECT_EQ(g_nNetReadyCount.load(), std::string(c.scene) == "Idle" ? 0 : 1);
    }
    manager.Shutdown();
}

TEST_F(QuiblyLobbySceneTest, ChatGoesOutOnEnterAndComesBackAsLinesOfTheBox)
{
    HostRoom();
    const CSteamID lobby = scene.GetLobbyId();
    Peer& guest = JoinPeer(0x3100000000000002ull, "Guest", lobby);
    auto* input = dynamic_cast<kv::KVEdit*>(world->Find(L"Edit_multi_room_chat_input"));
    ASSERT_NE(input, nullptr);
    // Enter first gives the input the focus, then sends what it holds (nothing yet), and again.
    scene.MsgProc(WM_KEYDOWN, 13, 0);
    EXPECT_EQ(world->system->GetFocusWindow(), input);
    input->text = L"hello there";
    input->caretIndex = 11;
    scene.MsgProc(WM_KEYDOWN, 13, 0);
    EXPECT_TRUE(input->text.empty());
    EXPECT_EQ(input->caretIndex, 0);
    ASSERT_TRUE(PumpUntil([&] { return messages.WithId(MSG_LOBBY_CHAT).size() == 2; }));
    sounds.played.clear();
    Deliver();
    auto* box = dynamic_cast<kv::KVTextArea*>(world->Find(L"TextArea_multi_room_chat_box"));
    ASSERT_NE(box, nullptr);
    EXPECT_NE(box->GetText().find(L" : hello there"), std::wstring::npos);
    EXPECT_TRUE(sounds.played.empty());  // the player's own line is silent

    // The guest's lines come at the pace the lobby allows; past it, more lines from the guest
    // are held back by the platform, so the history's cap is filled through the scene's queue.
    const std::string line = "hi";
    sounds.played.clear();
    for (int i = 0; i < 5; ++i)
        guest.peer.Matchmaking()->SendLobbyChatMsg(lobby, line.data(), 2);
    ASSERT_TRUE(PumpUntil([&] { return messages.WithId(MSG_LOBBY_CHAT).size() == 5; }));
    Deliver();
    for (int i = 5; i < 210; ++i)
        scene.OnChatMessage(guest.peer.Id().ConvertToUint64(), line);
    EXPECT_EQ(sounds.played.size(), 210u);
    EXPECT_EQ(sounds.played.front(), 115);
    // The history keeps its last lines only, and the box shows its end.
    EXPECT_EQ(box->GetText().find(L"hello there"), std::wstring::npos);
    EXPECT_LE(box->LineCount(), static_cast<int>(QuiblyLobbyScene::kChatLines) + 1);
    EXPECT_GE(box->GetFirstVisibleLine() + box->GetVisibleLineCount(), box->LineCount() - 1);
}

TEST_F(QuiblyLobbySceneTest, FailuresAreNoticedAndLateAnswersTouchNoWindow)
{
    scene.Enter(QuiblyLobbyScene::kEnterJoin, 0);
    scene.Update(0.0f);
    LobbyCreated_t created{};
    created.m_eResult = k_EResultFail;
    scene.OnBattleLobbyCreated(&created, false);
    ASSERT_TRUE(scene.GetMessageBox().IsOpen());
    EXPECT_EQ(world->Text(L"Label_title"), L"WARN");
    EXPECT_EQ(world->Text(L"Label_message"), L"ROOM CREATE FAIL");
    LobbyEnter_t entered{};
    entered.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseFull;
    scene.OnLobbyEntered(&entered, false);
    EXPECT_EQ(world->Text(L"Label_message"), L"ROOM FULL");
    // OK leads to the main menu's online sub-menu.
    messages.Clear();
    ASSERT_TRUE(world->ClickOn(L"Anibtn_popup_ok"));
    for (int i = 0; i < 3; ++i)
        scene.Update(0.05f);
    Deliver();
    ASSERT_EQ(messages.posted.size(), 1u);
    EXPECT_EQ(messages.posted[0].id, kSceneMessageChangeScene);
    PayloadReader change(messages.posted[0].payload.data(), messages.posted[0].payload.size());
    EXPECT_EQ(change.Text(64), "VanteoMainMenuScene");
    EXPECT_EQ(change.I32(), 4);

    // A join still pending when the scene is left does not hold up the next host.
    scene.GetBrowser()->m_Entries.assign(1, LobbyListEntry{});
    scene.GetBrowser()->m_Entries[0].m_ulSteamIDLobby = 0x77;
    scene.JoinListEntry(0);
    EXPECT_EQ(scene.IsJoinInProgress(), 1);
    scene.Leave();
    // An answer after leaving keeps the lobby and shows nothing.
    LobbyEnter_t late{};
    late.m_ulSteamIDLobby = 0x88;
    late.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseSuccess;
    scene.OnLobbyEntered(&late, false);
    EXPECT_EQ(scene.GetLobbyId(), CSteamID(0x88));
    EXPECT_FALSE(scene.GetMessageBox().IsOpen());
    HostRoom();
    EXPECT_EQ(scene.IsRoomView(), 1);
    EXPECT_TRUE(world->Visible(L"Wnd_room"));
}

TEST_F(QuiblyLobbySceneTest, AMatchThatNeverBeginsReturnsToTheRoomWithANotice)
{
    HostRoom();
    const CSteamID lobby = scene.GetLobbyId();
    JoinPeer(0x3100000000000003ull, "Guest", lobby).peer.Matchmaking()->SetLobbyMemberData(lobby, "ready", "1");
    ASSERT_TRUE(PumpUntil([&] {
        return SteamMatchmaking()->GetNumLobbyMembers(lobby) == 2 && scene.GetLobby()->AllMembersReady();
    }));
    scene.FillRoomView();
    scene.OnStartGame();
    ASSERT_EQ(scene.IsStarting(), 1);
    // The guest never comes: the host's own client waits for players, then the server gives up
    // on nobody; a client still connecting after the time-out goes back to the room.
    g_pSteamClient->m_eConnectedStatus = clientstate::kConnecting;
    delete g_pSteamServer;
    g_pSteamServer = nullptr;
    for (float t = 0; t < QuiblyLobbyScene::kStartTimeoutSeconds - 1; t += 1.0f)
        scene.Update(1.0f), g_pSteamClient->m_eConnectedStatus = clientstate::kConnecting;
    EXPECT_EQ(scene.IsStarting(), 1);
    scene.Update(1.5f);
    EXPECT_EQ(scene.IsStarting(), 0);
    EXPECT_EQ(g_pSteamClient->m_eConnectedStatus, clientstate::kInLobby);
    EXPECT_FALSE(world->Visible(L"Pic_Starting"));
    EXPECT_STREQ(SteamMatchmaking()->GetLobbyData(lobby, "game_starting"), "0");
    ASSERT_TRUE(scene.GetMessageBox().IsOpen());
    EXPECT_EQ(world->Text(L"Label_message"), L"CONNECTION FAILED");
    // Its OK keeps the player in the room.
    messages.Clear();
    world->ClickOn(L"Anibtn_popup_ok");
    for (int i = 0; i < 3; ++i)
        scene.Update(0.05f);
    Deliver();
    EXPECT_TRUE(messages.WithId(kSceneMessageChangeScene).empty());
    EXPECT_EQ(scene.IsRoomView(), 1);
}

} // namespace
