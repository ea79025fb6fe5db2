// The lobby scene, in which two players find each other before an online match and to which they
// return after it. Two views, each a layout: the list of open lobbies ("data/join.xml": filters,
// eight rows a page, host a battle or a push lobby, join, back to the menu) and the room
// ("data/room.xml": both players' names and records, the results against each other, the guest's
// ready state, the host's mode choice and start button, the starting notice and a chat). It drives
// QuiblyLobby and QuiblyLobbyBrowser, creates the host's game server when the match starts, runs
// the server and client frames while it is current and switches to the match scene when the
// client reports the start of the match.
// Enter runs on the scene loader thread; everything else, the game server's deletion included,
// on the main thread.
#pragma once

#include "engine/Scene.h"
#include "menus/PopUp.h"
#include "net/QuiblyLobby.h"

#include <steam/SteamApi.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace kv {
class KVWnd;
struct EventArgs;
} // namespace kv

inline constexpr const char* kLobbySceneName = "QuiblyLobbyScene";

class QuiblyLobbyScene : public CScene {
public:
    static constexpr int kEnterHost = 1;
    static constexpr int kEnterJoin = 2;
    static constexpr int kEnterBackFromMatch = 4;
    static constexpr int kRowsPerPage = 8;
    static constexpr float kReloadSeconds = 10.0f;
    // A match that has not begun this long after the start returns the player to the room.
    static constexpr float kStartTimeoutSeconds = 30.0f;
    // The chat keeps this many lines; older ones are dropped.
    static constexpr size_t kChatLines = 200;
    // The message box's parameter for notices after which the player stays in the room.
    static constexpr int32_t kStayInRoom = 1;

    QuiblyLobbyScene();
    ~QuiblyLobbyScene() override;

    int Enter(int a, int b) override;
    void Leave() override;
    int Update(float seconds) override;
    int Render() override;
    int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void FillListView();
    void FillRoomView();
    void ShowModeImages();

    void OnHostBattle();
    void OnHostPush();
    void JoinListEntry(int slot);
    void OnBattleLobbyCreated(LobbyCreated_t* result, bool ioFailure);
    void OnPushLobbyCreated(LobbyCreated_t* result, bool ioFailure);
    void OnLobbyEntered(LobbyEnter_t* result, bool ioFailure);
    void OnStartGame();
    void OnGameStarting();
    void OnStartGameMessage(int32_t type, int32_t mode);
    void SendChat();
    void OnChatMessage(uint64_t sender, const std::string& text);

    // Read by tests.
    kv::KVWnd* GetJoinLayout() const { return m_pJoinLayout; }
    kv::KVWnd* GetRoomLayout() const { return m_pRoomLayout; }
    QuiblyLobbyBrowser* GetBrowser() const { return m_pBrowser.get(); }
    QuiblyLobby* GetLobby() const { return m_pLobby.get(); }
    VanteoPopUp_OK& GetMessageBox() { return m_MessageBox; }
    CSteamID GetLobbyId() const { return m_steamIDLobby; }
    int GetPage() const { return m_nPage; }
    int IsRoomView() const { return m_bRoomView; }
    int IsStarting() const { return m_bStarting; }
    int IsJoinInProgress() const { return m_bJoinInProgress; }

    // Builds a layout's window tree (hidden, under the root layer); the game's loader unless a
    // test hands in its own.
    std::function<kv::KVWnd*(const char* file)> m_LoadLayout;
    // The pause of Enter(4), in which the main thread's network frames end the match.
    unsigned m_nReturnPauseMs = 2000;

private:
    void RegisterMessageHandlers();
    void WireButtons();
    kv::KVWnd* Find(kv::KVWnd* layout, const wchar_t* name) const;
    kv::KVWnd* Room(const wchar_t* name) const { return Find(m_pRoomLayout, name); }
    kv::KVWnd* Join(const wchar_t* name) const { return Find(m_pJoinLayout, name); }
    void ShowPicture(kv::KVWnd* window, bool show);
    void Enable(kv::KVWnd* window, bool enable);
    void SetText(kv::KVWnd* window, const std::wstring& text);
    void OpenMessageBox(const wchar_t* title, const wchar_t* message, int32_t param = 0);
    void OnLobbyCreated(LobbyCreated_t* result, bool ioFailure, const char* mode);
    void CreateLobby(bool battle);
    void PublishOwnRecord();
    void SetModeData(const char* mode);
    void EndStartingWithNotice();
    void LeaveRoom();
    bool OwnsLobby() const;
    void AppendChatLine(const std::wstring& line);

    int OnPopUpOk(const void* data, int extra);
    int OnPopUpYes(const void* data, int extra);
    int OnPopUpNo(const void* data, int extra);
    int OnListChangedMessage(const void* data, int extra);
    int OnLobbyChangedMessage(const void* data, int extra);
    int OnChangeScene(const void* data, int extra);
    int OnGameStartingMessage(const void* data, int extra);
    int OnStartGameMessageData(const void* data, int extra);
    int OnChatMessageData(const void* data, int extra);

    void OnExitToMenu(kv::EventArgs& args);
    void OnExitRoom(kv::EventArgs& args);
    void OnTypeBattle(kv::EventArgs& args);
    void OnTypePush(kv::EventArgs& args);
    void OnTypeAll(kv::EventArgs& args);
    void OnStatusJoinable(kv::EventArgs& args);
    void OnStatusAll(kv::EventArgs& args);
    void OnReload(kv::EventArgs& args);
    void OnHostBattleButton(kv::EventArgs& args);
    void OnHostPushButton(kv::EventArgs& args);
    void OnJoinButton(kv::EventArgs& args);
    void OnPrevPage(kv::EventArgs& args);
    void OnNextPage(kv::EventArgs& args);
    void OnChatEnter(kv::EventArgs& args);
    void OnReady(kv::EventArgs& args);
    void OnNotReady(kv::EventArgs& args);
    void OnStartButton(kv::EventArgs& args);
    void OnSelectBattle(kv::EventArgs& args);
    void OnSelectPush(kv::EventArgs& args);

    CCallResult<QuiblyLobbyScene, LobbyCreated_t> m_LobbyCreated;
    CCallResult<QuiblyLobbyScene, LobbyEnter_t> m_LobbyEntered;
    int m_bRoomView = 0;
    kv::KVWnd* m_pJoinLayout = nullptr;
    kv::KVWnd* m_pRoomLayout = nullptr;
    CSteamID m_steamIDLobby;
    int m_nEnterArg = 0;
    std::unique_ptr<QuiblyLobbyBrowser> m_pBrowser;
    std::unique_ptr<QuiblyLobby> m_pLobby;
    int m_nPage = 0;
    int m_bStarting = 0;
    float m_fReloadTimer = kReloadSeconds;
    VanteoPopUp_OK m_MessageBox;
    int m_nBackground = -1;
    int m_bJoinInProgress = 0;
    float m_fStartingSeconds = 0.0f;
    bool m_bDeleteLeftoverServer = false;
    // What Enter leaves to the first frame: hosting (1) or the list's first request (2).
    int m_nFirstFrameRequest = 0;
    std::deque<size_t> m_ChatLines;  // the length of each line the chat box holds, oldest first
};
