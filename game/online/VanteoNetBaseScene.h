// The common base of the two online match scenes (battle and push). It extends the message table
// of the mode scenes with the game messages that the two machines exchange (ids 2100 to 2140)
// and the local messages of online play, each bound to one operation the match scenes override;
// the operations of the table do nothing here unless listed below. A record from the other
// machine reaches its operation already parsed by the codec (netmsg::Parse): the sender's
// platform id and the fields of a record long enough for its id; a shorter one is refused.
//
// What both match scenes share, so that they use one copy:
// - the layout root (`m_pRoot`, `Find`), the mirror board that shows the opponent's board at
//   half size (`CreateMirrorBoard`, `DeleteBoards`), the opponent's and the own name
//   (`m_wszOpponentName`, `TakeOwnName`: the persona name or "Unknown Player");
// - the board forwarding: `OnBoardLayout` sends MSG_NET_BOARD_LAYOUT, `OnNetBoardLayout` takes the
//   sender's name and loads the mirror board, `OnNetRotate` turns the mirror board;
// - turning the own board by key (W/U left, E/I right: `TurnByKeys`), wheel (`TurnByWheel`) and
//   the rotate buttons (`OnRotateRightButton`, `OnRotateLeftButton`), each telling the other
//   machine with MSG_NET_ROTATE;
// - the end of a match (`FinishMatch`: cubes +50 or +5 capped at 9999, the online record and the
//   record against this opponent, the result pop-up, state 5, repeats ignored), the way back to
//   the lobby (`OnResultContinue`, `PostBackToLobby`), the disconnection notice
//   (`OnNetDisconnect`, `m_Disconnect`, `m_bDisconnected`), and the combo highlights
//   (`OnComboCount`, `HideComboHighlights`);
// - the seams a test replaces: the host role (`Hosting`), the game-message sender
//   (`SendGameMessage`) and the sinks for local scene messages and sounds (`SetLocalSinks`).
#pragma once

#include "modes/VanteoBaseScene.h"
#include "menus/PopUp.h"

class PayloadWriter;
class IMessageSink;
class ISoundSink;
class VanteoBlockMap;
struct BoardWorld;
namespace kv {
class KVWnd;
struct EventArgs;
} // namespace kv
namespace netmsg {
struct Record;
}

class VanteoNetBaseScene : public VanteoBaseScene {
public:
    static constexpr int kNameChars = 128;
    static constexpr int kPersonaWidthBudget = 10;
    static constexpr int kWinCubes = 50;
    static constexpr int kLoseCubes = 5;
    static constexpr int kSoundWin = 64;
    static constexpr int kSoundLose = 65;
    static constexpr const char* kLobbySceneName = "QuiblyLobbyScene";
    static constexpr int kLobbyMenu = 4;

    VanteoNetBaseScene();
    // A scene on its own local sinks from the start (see SetLocalSinks).
    VanteoNetBaseScene(IMessageSink* messages, ISoundSink* sounds);
    ~VanteoNetBaseScene() override;

    // The mode scenes' table, then the online ids.
    void RegisterMessageHandlers() override;

    // Whether this machine hosts the match: it runs the game server.
    static bool IsHost();
    // The role this scene plays; the host test unless a test gives the scene its role.
    virtual bool Hosting() const { return IsHost(); }

    // Where the scene, its boards and its lane post local scene messages and play sounds: the
    // game's scene queue and sound table unless set (two scenes in one test process each get
    // their own).
    void SetLocalSinks(IMessageSink* messages, ISoundSink* sounds);
    IMessageSink& LocalMessages() const;
    ISoundSink& Sounds() const;
    // What the scene's boards are built with.
    BoardWorld MakeBoardWorld() const;

    // Local messages of online play.
    virtual int OnPopUpOk(const void* data, int length) { return DefaultHandler(data, length); }
    // A player left the match: the disconnection notice.
    virtual int OnNetPlayerRemoved(const void* data, int length) { return OnNetDisconnect(data, length); }
    // disconnected = 1 and the notice "Disconnect" / "Disconnect Player" opens; returns 1.
    virtual int OnNetDisconnect(const void* data, int length);
    virtual int OnNetPlayerConnected(const void* data, int length) { return DefaultHandler(data, length); }
    // Game messages from the other machine, parsed.
    virtual int OnNetPushState(const netmsg::Record&) { return 1; }
    virtual int OnNetSpeedUp(const netmsg::Record&) { return 1; }
    virtual int OnNetItemDrop(const netmsg::Record&) { return 1; }
    virtual int OnNetItemGet(const netmsg::Record&) { return 1; }
    // The opponent's name from the sender's persona name while unknown; the mirror board takes
    // the cells (a layout that is not a valid board is refused by the board).
    virtual int OnNetBoardLayout(const netmsg::Record& record);
    // The mirror board starts the same turn; a direction other than 1 or -1 is refused.
    virtual int OnNetRotate(const netmsg::Record& record);
    virtual int OnNetBulletGain(const netmsg::Record&) { return 1; }
    virtual int OnNetFireRequest(const netmsg::Record&) { return 1; }
    virtual int OnNetAttackCreated(const netmsg::Record&) { return 1; }
    virtual int OnNetLaneUnitsMet(const netmsg::Record&) { return 1; }
    virtual int OnNetLaneUnitHitMine(const netmsg::Record&) { return 1; }
    virtual int OnNetBigStone(const netmsg::Record&) { return 1; }
    virtual int OnNetPushPoints(const netmsg::Record&) { return 1; }
    virtual int OnNetLaneUnitPower(const netmsg::Record&) { return 1; }
    virtual int OnNetPushBlockDrop(const netmsg::Record&) { return 1; }
    // The ids of the table that nobody sends.
    virtual int OnNetUnused(const void* data, int length) { return DefaultHandler(data, length); }

    // The own board's layout: recorded as in every mode, then sent to the other machine.
    int OnBoardLayout(const void* data, int length) override;
    // The highlight pictures at combo multiples of 100 (large) and of 10 (small).
    int OnComboCount(const void* data, int length) override;
    // The host's result pop-up was continued: the host goes back to the lobby and sets the game
    // server's state to "over", which brings the guest back too (0); the guest does nothing (1).
    int OnResultContinue(const void* data, int length);

    // The rotate buttons.
    void OnRotateRightButton(kv::EventArgs& args);
    void OnRotateLeftButton(kv::EventArgs& args);

    // The own board and the mirror board; the own board is VanteoBaseScene::m_pBoard.
    VanteoBlockMap* m_pMirrorBoard = nullptr;
    kv::KVWnd* m_pRoot = nullptr;
    wchar_t m_wszOpponentName[kNameChars] = {};
    int m_bWon = 0;
    int m_bDisconnected = 0;
    VanteoPopUp_OK m_Disconnect;

protected:
    // Binds a game message to an operation that receives the record parsed by the codec; a
    // record shorter than its id's whole length is refused with a log line.
    using NetOperation = int (VanteoNetBaseScene::*)(const netmsg::Record&);
    void BindNetMessage(int32_t id, NetOperation operation);
    // Queues a game message for the next flush of the platform client, with the local player's
    // platform id as the sender; false without a client or when the client refuses it.
    virtual bool SendGameMessage(int32_t id, const PayloadWriter& fields);
    // The local player's platform id (0 without a client).
    virtual uint64_t LocalPlayerId() const;

    kv::KVWnd* Find(const wchar_t* name) const;
    // An animated button shows its pressed look.
    void ButtonDown(const wchar_t* name) const;
    void SetVisible(const wchar_t* name, bool visible) const;
    // An effect sound from its start while effects are on, through the scene's sound sink.
    void PlaySound(int key) const;

    // A quiet board without windows at (x, y), drawn at half size, for the opponent's board.
    void CreateMirrorBoard(float x, float y);
    // Destroys the blocks of and deletes the own and the mirror board.
    void DeleteBoards();
    // The own name: the persona name (width budget 10) when a platform user is signed in, else
    // "Unknown Player"; the opponent's name is cleared until its first board message.
    void TakeOwnName();

    // A turn of the own board to the left (-1) or right (+1): `request` asks as the keys do
    // (a turn may wait for the board), otherwise the turn starts now or not at all. When it is
    // taken the direction's button shows its pressed look and MSG_NET_ROTATE goes out.
    bool TurnBoard(int direction, bool request);
    // W or U turns left; only when that is refused are E and I looked at, which turn right.
    void TurnByKeys();
    // A wheel turn towards the user turns right, away from the user left.
    void TurnByWheel(int wheel);
    // The own board under the mouse, every playing frame: hover, a left press clicks the board,
    // otherwise a right press goes to `OnBoardRightPress`; then the wheel turns the board.
    void BoardMouse();
    // A right press over the match: the board's own right click unless the match fires with it.
    virtual void OnBoardRightPress(float x, float y);

    // The end of a match, once: the online record, the record against this opponent, the
    // cubes (not saved), the result pop-up, state 5 and the won flag; the match music stops and
    // the result sound plays. False, with nothing changed, when the match already ended.
    bool FinishMatch(bool won, int musicKey);
    // Opens the disconnection notice.
    void OpenDisconnectNotice();
    // Posts the change back to the lobby's room (sub-menu 4).
    void PostBackToLobby();
    void HideComboHighlights() const;
    // The result pop-ups and the disconnection notice, once a frame.
    void UpdatePopUps(float seconds);

private:
    IMessageSink* m_pLocalMessages = nullptr;
    ISoundSink* m_pSounds = nullptr;
};
