// The common base of every game-mode scene: the board pointer, the game state, the pause and
// exit pop-ups and the result pop-ups that every mode shares. Its message table binds each game
// message id to one virtual operation, so a mode changes its reaction to a message by overriding
// that operation. The base reactions keep the play statistics of the record file, report the
// combo and magic-turn achievements, pass board events to the board-event recorder while
// recording is on, and answer the pause, exit and scene-change messages.
#pragma once

#include "board/GameMessages.h"
#include "engine/Scene.h"
#include "menus/PopUp.h"

#include <cstdint>
#include <memory>

// The shortest length, in bytes from the id word on, that a message of this id must have for
// its handlers to read their fields; 4 (the id alone) for ids whose handlers read nothing.
constexpr int MinimumMessageLength(int32_t id)
{
    switch (id) {
    case MSG_CHANGE_SCENE: return 4 + kSceneNameBytes + 8;
    case MSG_POPUP_YES:
    case MSG_POPUP_NO: return 8;                // param
    case MSG_BIG_STAR: return 12;               // col, row
    case MSG_GROUP_CLEARED: return 36;          // eight words
    case MSG_PLAYER_TOWER_HIT: return 12;       // kind, power
    case MSG_ENEMY_TOWER_HIT: return 20;        // owner (two words), kind, power
    case MSG_ENEMY_ATTACK: return 16;           // flag, kind, power
    case MSG_BULLET_OVERFLOW: return 12;        // colour, excess
    case MSG_BLOCK_CLICKED: return 32;          // col, row, kind, present, pin, fixed, point
    case MSG_COMBO: return 8;                   // combo
    case MSG_COMBO_BREAK: return 8;
    case MSG_BOARD_LAYOUT: return 4 + 64 * 2;   // 64 cell words of 16 bits
    case MSG_BULLET_GAIN: return 12;            // colour, delta
    case MSG_MAGIC_TURN: return 8;              // kind
    case MSG_ROTATE: return 8;                  // direction
    case MSG_ITEM_GET: return 8;                // item
    default: return 4;
    }
}

class VanteoBlockMap;
class VanteoPopUp_OKCancel;
class VanteoPopUp_Pause;
class VanteoPopUp_Result;

// Game states.
inline constexpr int kGameStateStart = 0;    // a game begins: the ready-go introduction
inline constexpr int kGameStatePaused = 1;   // the pause pop-up is open
inline constexpr int kGameStatePlaying = 4;
inline constexpr int kGameStateFinished = 5; // the game is over and the result pop-up runs

// The window message that marks the game finished; nothing in the game sends it.
inline constexpr UINT kMsgFinishGame = 2025;

// Cursor numbers of the software cursor's rectangles.
inline constexpr int kCursorBlock = 2;
inline constexpr int kCursorButton = 3;

class VanteoBaseScene : public CScene {
public:
    VanteoBaseScene();
    ~VanteoBaseScene() override;
    VanteoBaseScene(const VanteoBaseScene&) = delete;
    VanteoBaseScene& operator=(const VanteoBaseScene&) = delete;

    // Binds the message table and copies the player name from the options; returns 1.
    int Enter(int a, int b) override;
    // Stops the effects, deletes the result pop-ups, adds the play time, saves the record file,
    // starts a fresh current game, finishes the recording and closes the pause and the question.
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Scene operations the modes replace.
    virtual void ShowUI() {}
    virtual void SetMouseArea();
    virtual int UpdatePaused(float seconds);
    virtual int UpdateFinished(float seconds);
    virtual void OnKey(int) {}
    virtual void OnMouse(int) {}
    virtual int UpdatePlaying(float) { return 1; }
    virtual int Hook1(int) { return 0; }
    virtual int Hook2(int) { return 0; }
    // The cubes earned for a place in the mode's ranking table.
    virtual int ComputeCubeReward(const void*) { return 0; }
    virtual void RegisterMessageHandlers();
    // The modes post the change to the main menu.
    virtual int GoToMenu() { return 0; }

    // The message operations, one per id. Each receives the message data (the id word first)
    // and its length, already checked to be at least MinimumMessageLength of the id.
    using CScene::Restart;
    virtual int OnPopUpYes(const void* data, int length);
    virtual int OnPopUpNo(const void* data, int length);
    virtual int OnPauseResume(const void* data, int length);
    virtual int OnPauseRetry(const void* data, int length);
    virtual int OnPauseQuit(const void* data, int length);
    virtual int OnPauseExit(const void* data, int length);
    virtual int OnGoToMenu(const void* data, int length);
    virtual int OnChangeScene(const void* data, int length);
    // Closes the old game's statistics and recording; the modes then set up a new game.
    virtual int Restart(int a, int b);
    virtual int OnGameWin(const void* data, int length);
    virtual int OnGameLose(const void* data, int length);
    virtual int OnPlayTimeStep(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnGhostText(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnGhostSound(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnReserved2068(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnBigStoneCleared(const void* data, int length);
    virtual int OnBigStarCleared(const void* data, int length);
    virtual int OnGroupCleared(const void* data, int length);
    virtual int OnReserved2072(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnReserved2073(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnPlayerTowerHit(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnEnemyTowerHit(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnLaneClash(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnEnemyAttack(const void* data, int length);
    virtual int OnBulletOverflow(const void* data, int length);
    virtual int OnGhostCommand(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnBlockClicked(const void* data, int length);
    virtual int OnComboBreak(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnComboCount(const void* data, int length);
    virtual int OnBoardLayout(const void* data, int length);
    virtual int OnBulletGain(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnRotate(const void* data, int length);
    virtual int OnMagicTurn(const void* data, int length);
    virtual int OnChain(const void* data, int length);
    virtual int OnDoubleChance(const void* data, int length);
    virtual int OnLaneUnitsMet(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnLaneUnitHitMine(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnLaneUnitPower(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnItemGet(const void* data, int length);
    // Slots the base leaves unbound; the online base binds its own ids to them.
    virtual int OnNetSlot1(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetSlot3(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnPushBlockDrop(const void* data, int length) { return DefaultHandler(data, length); }

    // Accepts and ignores a message.
    int DefaultHandler(const void*, int) { return 1; }

    // Playing again after a pause, from the modes' keys: state 4, the mode's windows, and the
    // pause closes (posting its resume) unless its key help is open.
    void ResumePlay();
    // The rotate-left button of the modes: the board starts a left turn.
    int OnRotateLeftButton();

    // The board's play clock in seconds (0 without a board).
    float BoardPlayClock() const;

    VanteoBlockMap* m_pBoard = nullptr;
    int m_nState = kGameStateStart;
    wchar_t m_wszPlayerName[128] = {};
    char m_szPlayerName[128] = {};
    int m_bRecord = 0;
    // The exit question and the pause, owned by the scene for its whole life.
    VanteoPopUp_OKCancel* m_pExitQuestion = nullptr;
    VanteoPopUp_Pause* m_pPause = nullptr;
    VanteoPopUp_Result* m_pResultWin = nullptr;
    VanteoPopUp_Result* m_pResultLose = nullptr;

protected:
    // Binds one id to the operation of its slot, behind the message's length check.
    void BindMessage(int32_t id, int (VanteoBaseScene::*operation)(const void*, int));
    int OnRestartMessage(const void* data, int length);
    // Adds the board's whole seconds of play to the lifetime "PlayTime".
    void AddPlayTimeToRecord();
    // Passes a board event to the recorder while recording is on and a board exists.
    void RecordEvent(const void* data, int32_t size);
    // Deletes the result pop-ups (after unloading them).
    void DeleteResultPopUps();
};

// The play statistics: adds `delta` to a counter of the lifetime record ("Player"), of the
// current game ("ThisGame"), or both.
void AddPlayerCounter(const char* counter, int delta);
void AddThisGameCounterByName(const char* counter, int delta);
void AddBothCounters(const char* counter, int delta);
// A counter's value (0 when the element or attribute is missing).
int GetPlayerCounter(const char* counter);
int GetThisGameCounter(const char* counter);
