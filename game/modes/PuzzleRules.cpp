#include "modes/PuzzleRules.h"

#include "engine/Getters.h"
#include "data/Options.h"
#include "data/Records.h"
#include "board/GameSeams.h"
#include "board/VanteoBlockMap.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kTabWords[kPuzzleTabs] = {"Easy.", "Normal.", "Hard.", "User."};

} // namespace

BlockClickReport BlockClickReport::Read(const void* data, int length)
{
    BlockClickReport r;
    r.col = MessageWord(data, length, 1);
    r.row = MessageWord(data, length, 2);
    r.kind = MessageWord(data, length, 3);
    r.present = MessageWord(data, length, 4);
    r.pin = MessageWord(data, length, 5);
    r.fixed = MessageWord(data, length, 6);
    r.point = MessageWord(data, length, 7);
    return r;
}

bool ApplyPuzzleClick(VanteoBlockMap& board, PuzzleHand& hand, const BlockClickReport& click)
{
    VanteoBlock* clicked = board.CellAt(click.col, click.row);
    if (!clicked)
        return false;
    if (click.present) {
        if (click.kind == kBlockBuffer) {
            clicked->Empty();
            hand.bufferInHand += 1;
            return false;
        }
        if (click.kind == kBlockStar || click.kind == kBlockStone || click.kind == kBlockWall || click.fixed)
            return false;
        hand.spareMoves -= 1;
        return hand.spareMoves < 0;
    }
    if (hand.bufferInHand == 0) {
        VanteoBlock* found = nullptr;
        for (int col = 0; col < board.width && !found; ++col)
            for (int row = 0; row < board.height && !found; ++row) {
                VanteoBlock* b = board.CellAt(col, row);
                if (b && b->present && b->kind == kBlockBuffer)
                    found = b;
            }
        if (!found)
            return false;
        found->Empty();
        hand.bufferInHand += 1;
    }
    clicked->kind = kBlockBuffer;
    clicked->present = 1;
    hand.bufferInHand -= 1;
    return false;
}

bool LoadPuzzleFile(const std::string& path, PuzzleLayout& layout, VanteoBlockMap& board)
{
    if (path.empty() || !layout.Read(path))
        return false;
    return board.LoadLayout(layout.Data(), layout.Size()) != 0;
}

PuzzleTimeParts PuzzleTimeParts::Of(int h)
{
    PuzzleTimeParts parts;
    parts.minutes = std::max(h / 6000, 0);
    parts.seconds = std::max((h % 6000) / 100, 0);
    parts.hundredths = std::max(h % 100, 0);
    return parts;
}

int PuzzleHundredths(float playTimeSeconds)
{
    const double h = static_cast<double>(playTimeSeconds) * 100.0;
    if (!(h > 0.0))
        return 0;
    return h >= 2147483647.0 ? 2147483647 : static_cast<int>(h);
}

std::string PuzzleModeKey(int tab, const char* title)
{
    const char* word = tab >= 0 && tab < kPuzzleTabs ? kTabWords[tab] : "";
    return std::string("IQ.") + word + (title ? title : "");
}

int PuzzleCubeReward(const RankEntry* table)
{
    if (!table)
        return 0;
    int place = -1;
    for (int i = 0; i < RankingTable::kPlaces; ++i)
        if (table[i].isNew) {
            place = i;
            break;
        }
    if (place < 0)
        return 0;
    if (place == RankingTable::kPlaces - 1)
        return 1;
    static constexpr int kValues[5] = {7, 5, 4, 3, 2};
    int value = kValues[place];
    if (std::strncmp(table[place + 1].name, "##player##", RankEntry::kNameBytes) == 0)
        value /= 2;
    return value;
}

std::string PuzzleFileTitle(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}
