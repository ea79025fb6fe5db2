// Every stage the game ships can be won: a simple player plays each of the 50 stages of
// "QuiblyConfig_StageChallenge.xml" on the hard numbers (the shorter time and the larger goal),
// through the board's own seams and clock, and must reach the goal before the time runs out.
// The player clicks the largest group (a star square first); with no group it clicks the loose
// block whose removal lets the blocks above (and the next incoming one) fall into the most new
// squares, which breaks a combo.
#include "data/ModeConfig.h"
#include "board/BoardMessages.h"
#include "board/BoardTuning.h"
#include "board/VanteoBlockMap.h"
#include "menus/GameWorld.h"
#include "modes/VanteoScene_StageChallenge.h"
#include "support/GameSeamFakes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string kShippedConfig = std::string(QUIBLY_FIXTURES_DIR) + "/../../data/playdata/QuiblyConfig_StageChallenge.xml";

// Sums what the scene would score: each group's points and 100 per star blast.
class ScoreSink : public IMessageSink {
public:
    void Post(int32_t id, const uint8_t* payload, size_t bytes) override
    {
        PayloadReader reader(payload, bytes);
        if (id == MSG_GROUP_CLEARED) {
            reader.I32();
            reader.I32();
            score += reader.I32();
        } else if (id == MSG_BIG_STAR) {
            score += 100;
        }
    }
    int score = 0;
};

class SilentSounds : public ISoundSink {
public:
    void Play(int, bool, float) override {}
    void Stop(int) override {}
    bool IsPlaying(int) override { return false; }
};

struct Outcome {
    bool won = false;
    float at = 0;
    int value = 0;
};

// The first cell of the largest group, or -1.
int LargestGroup(const VanteoBlockMap& board)
{
    int best = -1, bestSize = 0, first = -1, size = 0;
    for (int cell : board.groups) {
        if (cell < 0) {
            if (size > bestSize)
                best = first, bestSize = size;
            first = -1;
            size = 0;
            continue;
        }
        if (first < 0)
            first = cell;
        ++size;
    }
    if (size > bestSize)
        best = first;
    return best;
}

int KindAt(const std::vector<int>& grid, int width, int col, int row) { return grid[static_cast<size_t>(col + row * width)]; }

// The squares of one colour in a grid of kinds (0 empty).
int Squares(const std::vector<int>& grid, int width, int height)
{
    int count = 0;
    for (int row = 0; row + 1 < height; ++row)
        for (int col = 0; col + 1 < width; ++col) {
            const int k = KindAt(grid, width, col, row);
            count += k >= 1 && k <= 3 && KindAt(grid, width, col + 1, row) == k && KindAt(grid, width, col, row + 1) == k &&
                     KindAt(grid, width, col + 1, row + 1) == k;
        }
    return count;
}

// The loose coloured block worth clicking: the one whose column, once it falls, makes the most
// squares; the topmost of equals.
int BestSingle(const VanteoBlockMap& board)
{
    const int w = board.width, h = board.height;
    std::vector<int> grid(static_cast<size_t>(w * h));
    for (int i = 0; i < w * h; ++i)
        grid[static_cast<size_t>(i)] = board.cells[i]->present ? board.cells[i]->kind : 0;
    int best = -1, bestGain = -1;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const int kind = KindAt(grid, w, col, row);
            if (kind < 1 || kind > 3)
                continue;
            std::vector<int> after = grid;
            for (int r = row; r > 0; --r)
                after[static_cast<size_t>(col + r * w)] = after[static_cast<size_t>(col + (r - 1) * w)];
            after[static_cast<size_t>(col)] = board.incoming ? board.incoming[col]->kind : 0;
            const int gain = Squares(after, w, h);
            if (gain > bestGain)
                best = col + row * w, bestGain = gain;
        }
    return best;
}

Outcome PlayStage(int stage)
{
    SelectStage(stage + 1);
    const StageRecord* record = ModeConfig.currentStage;
    Outcome outcome;
    if (!record)
        return outcome;
    ScoreSink messages;
    SilentSounds sounds;
    GameRandom random(1);
    VanteoBlockMap board({messages, sounds, random, [] { return 1234u; }}, GameBoardTuning);
    board.Init(nullptr, record->xGrid, record->yGrid);
    board.originX = board.originY = 0;
    board.noComboMode = record->clearType == 2 ? 1 : 0;
    board.NewGame();

    const int goal = VanteoScene_StageChallenge::GoalFor(1, record->clearNum);
    const int limit = VanteoScene_StageChallenge::TimeLimitFor(1, record->clearTime);
    const float dt = 0.05f;
    while (board.playTime < static_cast<float>(limit)) {
        board.Update(dt);
        outcome.value = record->clearType == 2 ? std::max(outcome.value, board.combo - 1) : messages.score;
        if (outcome.value >= goal && !outcome.won) {
            outcome.won = true;
            outcome.at = board.playTime;
        }
        if (board.IsBusy() || board.turnAngle != 0 || board.pendingTurn)
            continue;
        auto clickCell = [&](int index) {
            board.Click(45.0f * static_cast<float>(index % board.width) + 22.0f,
                        45.0f * static_cast<float>(index / board.width) + 22.0f);
        };
        int star = -1;
        for (int i = 0; i < board.width * board.height && star < 0; ++i) {
            const VanteoBlock* b = board.cells[i];
            if (b->present && b->kind == 4 && (b->corner || b->inSquare))
                star = i;
        }
        const int group = LargestGroup(board);
        if (star >= 0 || group >= 0) {
            clickCell(star >= 0 ? star : group);
        } else if (const int single = BestSingle(board); single >= 0) {
            clickCell(single);
        }
    }
    return outcome;
}

TEST(StageWinnable, EveryShippedStageIsWonOnTheHardNumbers)
{
    ASSERT_EQ(LoadModeConfig(kShippedConfig.c_str()), 1) << kShippedConfig;
    ASSERT_EQ(ModeConfig.stages.size(), 51u);  // "MultiPlay" and the 50 stages
    int previousSize = 0;
    for (int stage = 0; stage < kStageChallengeStages; ++stage) {
        SelectStage(stage + 1);
        const StageRecord* record = ModeConfig.currentStage;
        ASSERT_NE(record, nullptr) << stage;
        // The ladder rises from 4 x 4 to 14 x 14 and every stage has a goal.
        EXPECT_GE(record->xGrid, previousSize) << stage;
        previousSize = record->xGrid;
        EXPECT_TRUE(record->clearType == 1 || record->clearType == 2) << stage;
        EXPECT_GT(record->clearNum, 0) << stage;
        const Outcome outcome = PlayStage(stage);
        std::printf("stage %2d  %2dx%-2d %s goal %5d in %3d s: %s at %6.2f s (reached %d in the whole time)\n", stage + 1, record->xGrid,
                    record->yGrid, record->clearType == 2 ? "combo" : "point",
                    VanteoScene_StageChallenge::GoalFor(1, record->clearNum),
                    VanteoScene_StageChallenge::TimeLimitFor(1, record->clearTime), outcome.won ? "won" : "LOST",
                    outcome.at, outcome.value);
        EXPECT_TRUE(outcome.won) << "stage " << stage + 1;
    }
    EXPECT_EQ(previousSize, 14);
    SelectStage(1);
    EXPECT_EQ(ModeConfig.currentStage->xGrid, 4);
    ClearModeConfig();
}

} // namespace
