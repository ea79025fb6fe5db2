// The push mode: the player's board against a recorded opponent. The opponent's recorded group
// clears, stars and stone squares are replayed by the push ghost and push the blocks of the push
// field toward the player, while a half-size copy of the opponent's board shows its recorded
// layouts and turns; the player's own clears push the other way. The first side with four
// dropped blocks wins. Stages 0 to 9 replay the stage's recording; stage 10 is self-play against
// the player's own last winning game, and a self-play win becomes the new opponent.
#pragma once

#include "board/PlayRecorder.h"
#include "modes/VanteoBaseScene.h"
#include "board/VanteoBlockMap.h"
#include "engine/AnimationPlayer.h"
#include "engine/TimeDisplay.h"
#include "menus/GameWorld.h"
#include "lane/PushBlockSet.h"

#include <memory>
#include <string>

struct RankEntry;
class VanteoPopUp_Result_Push_Win;
class VanteoPopUp_Result_Push_Lose;

namespace kv {
class KVWnd;
struct EventArgs;
}

inline constexpr const char* kPushSceneName = "VanteoScene_Push";
inline constexpr const char* kPushLayoutFile = "data/PUSHING_layout.xml";

// The player's board of the push mode.
class VanteoBlockMap_Push : public VanteoBlockMap {
public:
    using VanteoBlockMap::VanteoBlockMap;
    ~VanteoBlockMap_Push() override;
};

class VanteoScene_Push : public VanteoBaseScene {
public:
    static constexpr int kSelfPlayStage = 10;
    static constexpr int kStarPush = 33;
    // Sound keys.
    static constexpr int kSoundReadyGo = 17;
    static constexpr int kMusicPush = 30;
    static constexpr int kSoundWinShow = 64;
    static constexpr int kSoundLoseShow = 65;
    static constexpr int kSoundStarPush = 75;
    static constexpr int kSoundStoneTrap = 77;
    // Skin entries.
    static constexpr int kSkinLayout = 12;
    static constexpr int kCubesForLoss = 5;

    VanteoScene_Push();
    ~VanteoScene_Push() override;

    int Enter(int stage, int b) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void ShowUI() override;
    int ComputeCubeReward(const void* rows) override;
    int GoToMenu() override;
    int Restart(int a, int b) override;
    int OnGameWin(const void* data, int length) override;
    int OnGameLose(const void* data, int length) override;
    int OnBigStoneCleared(const void* data, int length) override;
    int OnBigStarCleared(const void* data, int length) override;
    int OnGroupCleared(const void* data, int length) override;
    int OnEnemyAttack(const void* data, int length) override;
    int OnComboCount(const void* data, int length) override;
    int OnPushBlockDrop(const void* data, int length) override;

    // The handlers the scene adds to the base table.
    int OnPushPopUpYes(const void* data, int length);
    int OnPushPopUpNo(const void* data, int length);
    int OnResultResetSelf(const void* data, int length);
    int OnGhostBigStone(const void* data, int length);
    int OnGhostBigStar(const void* data, int length);
    int OnGhostGroupCleared(const void* data, int length);
    int OnGhostLayout(const void* data, int length);
    int OnGhostRotate(const void* data, int length);
    int OnResultRetry(const void* data, int length);
    int OnResultReturn(const void* data, int length);

    // The pause, from "Anibtn_menu", Escape and Backspace: only while playing.
    void OpenPauseMenu();

    // UI handlers.
    void OnRotateRight(kv::EventArgs& args);
    void OnRotateLeft(kv::EventArgs& args);
    void OnMenuButton(kv::EventArgs& args);
    void DrawEnemyBoard(kv::EventArgs& args);
    void DrawTime(kv::EventArgs& args);

    // "PUSH.SELFPLAY" for self-play, else "PUSH.FREEPLAY." and the stage's name.
    static std::string ModeKey(int stage, const char* stageName);
    // The cubes a win earns for the new entry of the six rows of the record table, on a stage.
    static int CubeReward(const RankEntry* rows, int stage);
    // The score recorded for a game: the blocks pushed weigh ten times the blocks taken.
    static int Score(int userStack, int enemyStack);

    VanteoBlockMap* m_pEnemyBoard = nullptr;
    Player_Ghost_Push* m_pGhost = nullptr;
    int m_bWon = 0;
    kv::KVWnd* m_pMainWindow = nullptr;
    kv::KVWnd* m_pPushWindow = nullptr;
    int m_nStage = 0;
    TimeNumberPair m_TimeDisplay;
    PushBlockSet m_Field{GameBoardWorld()};
    AnimationPlayer m_ReadyGo;
    VanteoPopUp_Result_Push_Win* m_pPushWin = nullptr;
    VanteoPopUp_Result_Push_Lose* m_pPushLose = nullptr;
    int m_bFirstFrame = 0;
    // Set once Enter has built the scene; a stage that could not be entered leaves it clear.
    bool m_bEntered = false;

private:
    void StartMusic();
    void StartReadyGo();
    void OpenGhost();
    void HideAtOnce(const wchar_t* name);
    void UpdateWarning();
    // The record of a finished game in the push table of the stage; the rows after insertion.
    RankEntry* RecordResult(int time);
    std::string CurrentModeKey() const;
};
