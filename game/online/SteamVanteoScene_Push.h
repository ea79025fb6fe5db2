// The online push match: each player clears blocks on an own board, and the points of every
// clear push one of the three lanes of a shared push field towards the other player. The host's
// field is the true one: it applies every push and every block drop and sends its whole field
// state to the guest after each change, while the guest shows the feedback of each push at once
// and takes its lanes from the host's states and its blocks from the host's drop messages. Each
// machine ends the match from its own field: four blocks on the player's lever lose it.
#pragma once

#include "engine/AnimationPlayer.h"
#include "engine/TimeDisplay.h"
#include "menus/PopUp.h"
#include "lane/PushBlockSet.h"
#include "online/VanteoNetBaseScene.h"

namespace kv {
class KVWnd;
struct EventArgs;
}

inline constexpr const char* kNetPushSceneName = "SteamVanteoScene_Push";

class SteamVanteoScene_Push : public VanteoNetBaseScene {
public:
    static constexpr int kStarPush = 33;
    // The largest amount one clear of the other player may push: larger claims are cut to it.
    static constexpr int kMaxPushPoints = 999;
    // The largest push count of a lane taken from the other machine's state.
    static constexpr int kMaxComboCount = 9999;
    // Where the opponent's half-size board is drawn.
    static constexpr float kMirrorX = 34.0f, kMirrorY = 197.0f;
    // Sound keys.
    static constexpr int kSoundReadyGo = 17;
    static constexpr int kMusicPush = 30;
    static constexpr int kSoundStarPush = 75;
    static constexpr int kSoundStoneTrap = 77;

    // The scene, its boards and its push field post their local messages to `messages` and play
    // their sounds through `sounds`: the scene queue and the sound table when null.
    explicit SteamVanteoScene_Push(IMessageSink* messages = nullptr, ISoundSink* sounds = nullptr);
    ~SteamVanteoScene_Push() override;

    int Enter(int a, int b) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void OnKey(int) override;
    void OnMouse(int) override;
    int GoToMenu() override;
    int Restart(int a, int b) override;
    int OnGameWin(const void* data, int length) override;
    int OnGameLose(const void* data, int length) override;

    // The own board's events.
    int OnBigStoneCleared(const void* data, int length) override;
    int OnBigStarCleared(const void* data, int length) override;
    int OnGroupCleared(const void* data, int length) override;
    // The push field's events.
    int OnNetSlot3(const void* data, int length) override { return OnPushFieldChanged(data, length); }
    int OnPushBlockDrop(const void* data, int length) override;
    // The disconnection notice's OK.
    int OnPopUpOk(const void* data, int length) override;
    // The other player's messages.
    int OnNetPushState(const netmsg::Record& record) override;
    int OnPushFieldChanged(const void* data, int length);
    int OnNetFireRequest(const netmsg::Record& record) override;
    int OnNetBigStone(const netmsg::Record& record) override;
    int OnNetPushPoints(const netmsg::Record& record) override;
    int OnNetPushBlockDrop(const netmsg::Record& record) override;

    // Queues the field's state for the other player when it changed in this frame.
    void SendPushState();

    PushBlockSet m_Field;
    kv::KVWnd* m_pPushWindow = nullptr;
    int m_bStateChanged = 0;
    TimeNumberPair m_TimeDisplay;
    AnimationPlayer m_ReadyGo;

private:
    // A push of `amount` on `lane` (3: all three, the star): the host moves its field and sends
    // the new state, the guest only shows the push and waits for the host's state.
    void Push(int lane, int amount);
    void UpdateWarning();
    void DrawTime(kv::EventArgs& args);
    void DrawMirrorBoard(kv::EventArgs& args);

    bool m_bEntered = false;
};
