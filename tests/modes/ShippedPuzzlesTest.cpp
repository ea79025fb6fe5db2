// The puzzles shipped with the game: every file of the easy, normal and hard
// folders is a valid puzzle, at least eight in each, and each is played to its
// win on the logic-puzzle board with the puzzle's rules by the solution
// recorded for it.
#include "../board/BoardFixture.h"
#include "support/TempDir.h"

#include "board/GameMessages.h"
#include "modes/PuzzleLayout.h"
#include "modes/PuzzleRules.h"
#include "modes/VanteoBlockMap_IQ.h"

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
const fs::path kPuzzles = fs::path(QUIBLY_FIXTURES_DIR) / "../../data/data/Puzzle";
const fs::path kSolutions = fs::path(QUIBLY_FIXTURES_DIR) / "puzzles/solutions.txt";

// "<folder>/<file>" -> its moves: "click <col> <row>" and "turn <direction>",
// separated by ';'.
std::map<std::string, std::string> RecordedSolutions()
{
    std::map<std::string, std::string> solutions;
    std::istringstream lines(testsupport::ReadFile(kSolutions));
    std::string line;
    while (std::getline(lines, line)) {
        size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos)
            continue;
        solutions[line.substr(0, colon)] = line.substr(colon + 1);
    }
    return solutions;
}

// Runs the board until it is still again after a move.
void Settle(boardtest::Harness& h)
{
    VanteoBlockMap& board = *h.board;
    for (int frame = 0; frame < 2000; ++frame) {
        board.Update(0.05f);
        if (frame > 3 && !board.IsBusy() && board.settled && board.turnAngle == 0 && board.pendingTurn == 0 &&
            board.turnTarget == 0)
            return;
    }
}

TEST(ShippedPuzzlesTest, EveryPuzzleIsValidAndWonByItsRecordedSolution)
{
    const auto solutions = RecordedSolutions();
    for (const char* folder : {"Easy", "Normal", "Hard"}) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(kPuzzles / folder))
            files.push_back(entry.path());
        EXPECT_GE(files.size(), 8u) << folder;
        for (const fs::path& file : files)
            [&] {
                const std::string name = std::string(folder) + "/" + file.filename().string();
                SCOPED_TRACE(name);
                EXPECT_EQ(PuzzleTypeOfPath(file.string()), 0);
                PuzzleLayout layout;
                ASSERT_TRUE(layout.Read(file.string()));
                auto solution = solutions.find(name);
                ASSERT_NE(solution, solutions.end()) << "no recorded solution";

                boardtest::Harness h;
                auto& board = h.Use<VanteoBlockMap_IQ>();
                board.NewGame();
                ASSERT_EQ(board.LoadLayout(layout.Data(), layout.Size()), 1);
                Settle(h);
                PuzzleHand hand;
                std::istringstream moves(solution->second);
                std::string move;
                while (std::getline(moves, move, ';')) {
                    std::istringstream words(move);
                    std::string verb;
                    int a = 0, b = 0;
                    words >> verb >> a >> b;
                    ASSERT_EQ(h.messages.WithId(MSG_GAME_WIN).size(), 0u) << "won before " << move;
                    h.messages.Clear();
                    if (verb == "click") {
                        h.ClickCell(a, b);
                    } else {
                        ASSERT_EQ(verb, "turn");
                        ASSERT_TRUE(board.StartRotate(a)) << move;
                    }
                    for (const auto& report : h.messages.WithId(MSG_BLOCK_CLICKED)) {
                        std::vector<uint8_t> data(4, 0);
                        data.insert(data.end(), report.payload.begin(), report.payload.end());
                        data.resize(32, 0);
                        ASSERT_FALSE(ApplyPuzzleClick(
                            board, hand, BlockClickReport::Read(data.data(), static_cast<int>(data.size()))))
                            << "failed at " << move;
                    }
                    Settle(h);
                }
                EXPECT_GT(h.messages.WithId(MSG_GAME_WIN).size(), 0u) << h.Picture()[6] << "/" << h.Picture()[7];
            }();
    }
}

} // namespace
