// The board's model and life cycle: construction, Init, Resize, NewGame, the weighted kinds and
// seed, cells from points, the busy test, and the searches for squares and groups.
#include "board/VanteoBlockMap.h"

#include "board/BoardSkin.h"
#include "kv/KVObject.h"
#include "kv/KVWnd.h"

#include <helvane/Log.h>
#include <tinyxml.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <deque>

VanteoBlockMap::VanteoBlockMap(const BoardWorld& world, BoardTuningSource tuning)
    : messages(world.messages), sounds(world.sounds), m_messages(&messages), m_sounds(&sounds),
      m_random(&world.random), m_tuningSource(std::move(tuning)),
      m_ticks(world.ticks ? world.ticks : std::function<uint32_t()>(BoardWorld::SteadyClockTicks))
{
    D3DXMatrixIdentity(&drawMatrix);
    VanteoBlockMap::Reset();
}

VanteoBlockMap::~VanteoBlockMap()
{
    VanteoBlockMap::DestroyBlocks();
}

void VanteoBlockMap::RefreshTuning()
{
    tuning = m_tuningSource();
}

float VanteoBlockMap::RefillSpeedFor(float v) const
{
    return std::min(v, tuning.maxRefillSpeed);
}

void VanteoBlockMap::NewReplay()
{
    replay = std::make_unique<TiXmlElement>("Replay");
    replay->SetAttribute("loop", "TRUE");
}

void VanteoBlockMap::Reset()
{
    RefreshTuning();
    originX = 329;
    originY = 303;
    scaleX = scaleY = 1;
    width = height = kDefaultSize;
    turnAngle = 0;
    turnDirection = 0;
    pendingTurn = 0;
    turnReady = 1;
    hoverCol = hoverRow = -1;
    NewReplay();
    playTime = 0;
    refillSpeed = RefillSpeedFor(tuning.refillSpeed);
    for (int i = 0; i < 3; ++i)
        bullets[i] = bulletTotals[i] = reportedTotals[i] = 0;
    quiet = 0;
    blocksShown = 1;
    settled = 0;
    squareCount = restCount = 0;
    combo = 1;
    layoutPending = 1;
    clearEffect.LoadAnimations();
    clearEffect2.LoadAnimations();
    clearEffect.Clear();
    clearEffect2.Clear();
    idleTime = 0;
    layout = nullptr;
    comboPanel = nullptr;
    windows.Bind(nullptr);
    autoPlayTimer = 0.3f;
    refillPending = 0;
    frozen = 0;
    clearTimer = -1;
    chainPending = magicPending = 0;
    magicFactor = 1;
    chainBonus = 0;
    pointSum = 0;
    x2 = 1;
    pointsCap = -1;
    clearBatches = 0;
    bigClear = 0;
    SeedRandom();
    noComboMode = 0;
}

void VanteoBlockMap::SeedRandom()
{
    if (tuning.randomSeed != -1)
        Random().Seed(static_cast<uint32_t>(tuning.randomSeed));
    else if (tuning.hasStage && tuning.stageSeed != -1)
        Random().Seed(static_cast<uint32_t>(tuning.stageSeed));
    else
        Random().Seed(m_ticks());
}

void VanteoBlockMap::CreateBlocks()
{
    FreeBlocks();
    const int count = CellCount();
    cells = new VanteoBlock*[count];
    turnCells = new VanteoBlock*[count];
    incoming = new VanteoBlock*[width];
    visited = new uint8_t[count];
    std::memset(visited, 0, count);
    for (int i = 0; i < count; ++i) {
        cells[i] = new VanteoBlock(*m_random);
        turnCells[i] = new VanteoBlock(*m_random);
    }
    for (int i = 0; i < width; ++i)
        incoming[i] = new VanteoBlock(*m_random);
    m_blockCount = count;
    m_incomingCount = width;
}

void VanteoBlockMap::DestroyBlocks()
{
    FreeBlocks();
    replay.reset();
}

void VanteoBlockMap::FreeBlocks()
{
    if (cells) {
        for (int i = 0; i < m_blockCount; ++i) {
            delete cells[i];
            delete turnCells[i];
        }
        delete[] cells;
        delete[] turnCells;
    }
    if (incoming) {
        for (int i = 0; i < m_incomingCount; ++i)
            delete incoming[i];
        delete[] incoming;
    }
    delete[] visited;
    cells = turnCells = incoming = nullptr;
    visited = nullptr;
    m_blockCount = 0;
    m_incomingCount = 0;
    groups.clear();
    clearQueue.clear();
}

void VanteoBlockMap::PlaceAtCell(int index)
{
    VanteoBlock* b = cells[index];
    b->x = b->targetX = static_cast<float>((index % width) * kCellSize);
    b->y = b->targetY = static_cast<float>((index / width) * kCellSize);
}

void VanteoBlockMap::EmptyCell(int index)
{
    cells[index]->Empty();
}

namespace {
int CheckedSize(int n)
{
    if (n == -1)
        return VanteoBlockMap::kDefaultSize;
    if (n < 2 || n > VanteoBlockMap::kMaxSize) {
        DFLog(LOG_WARN, L"VanteoBlockMap: board size %d refused, 8 used", n);
        return VanteoBlockMap::kDefaultSize;
    }
    return n;
}
}

int VanteoBlockMap::Init(kv::KVWnd* layoutWindow, int w, int h)
{
    RefreshTuning();
    layout = layoutWindow;
    windows.Bind(layoutWindow);
    comboPanel = windows.Get(BoardWindows::kComboPanel);
    if (comboPanel) {
        for (auto id : {BoardWindows::kDoubleChanceOn, BoardWindows::kDoubleChanceWhite,
                        BoardWindows::kDoubleChanceFail, BoardWindows::kDoubleChanceSuccess})
            windows.StopAndHide(id);
        for (auto id : {BoardWindows::kPlusCombo1, BoardWindows::kPlusCombo2, BoardWindows::kPlusCombo3})
            windows.HideAtOnce(id);
    }
    if (noComboMode && comboPanel)
        windows.HideAtOnce(BoardWindows::kComboPanel);
    if (layoutWindow) {
        // A layout without the board's windows still plays: the board keeps its origin and
        // shows no combo panel.
        if (!windows.AbsolutePosition(BoardWindows::kPuzzleArea, &originX, &originY))
            DFLog(LOG_WARN, L"VanteoBlockMap: the layout has no Wnd_PuzzleArea; the board stays at (%d, %d)",
                  static_cast<int>(originX), static_cast<int>(originY));
        if (!comboPanel)
            DFLog(LOG_WARN, L"VanteoBlockMap: the layout has no combo panel");
        if (layoutWindow != m_boundLayout) {
            if (kv::KVWnd* area = windows.Get(BoardWindows::kPuzzleArea))
                area->AddHandler(L"Draw", kv::MakeHandler(this, &VanteoBlockMap::OnPuzzleAreaDraw));
            if (kv::KVWnd* area = windows.Get(BoardWindows::kComboArea))
                area->AddHandler(L"Draw", kv::MakeHandler(this, &VanteoBlockMap::OnComboAreaDraw));
            m_boundLayout = layoutWindow;
        }
        int l, t, r, b;
        if (windows.AbsoluteRect(BoardWindows::kNumCombo, &l, &t, &r, &b)) {
            comboDigits.Create(4, kDigitComboCount, l, t, r, b, 1);
            windows.AbsolutePosition(BoardWindows::kNumCombo, &comboDigits.m_fX, &comboDigits.m_fY);
            comboDigits.m_dwColour = windows.Colour(BoardWindows::kNumCombo);
        }
    }
    for (AnimationPlayer& digit : bonusDigits)
        LoadSkinPlayer(digit, kSkinDigitStyleBase + kDigitComboRate);
    width = CheckedSize(w);
    height = CheckedSize(h);
    CreateBlocks();
    turnTarget = turnAngle = 0;
    turnDirection = 0;
    pendingTurn = 0;
    for (int i = 0; i < CellCount(); ++i) {
        EmptyCell(i);
        PlaceAtCell(i);
    }
    starTimer = 0;
    for (int i = 0; i < 3; ++i)
        bullets[i] = reportedTotals[i] = 0;
    combo = 1;
    starBlasts = 0;
    layoutPending = 1;
    return 1;
}

void VanteoBlockMap::Resize(int w, int h)
{
    width = CheckedSize(w);
    height = CheckedSize(h);
    CreateBlocks();
    groups.clear();
    turnTarget = turnAngle = 0;
    turnDirection = 0;
    pendingTurn = 0;
    for (int i = 0; i < CellCount(); ++i) {
        EmptyCell(i);
        PlaceAtCell(i);
    }
}

void VanteoBlockMap::NewGame()
{
    RefreshTuning();
    autoPlayTimer = 0.3f;
    turnDirection = pendingTurn = 0;
    playTime = turnTarget = turnAngle = idleTime = 0;
    turnReady = 1;
    combo = 1;
    groups.clear();
    if (cells) {
        for (int i = 0; i < CellCount(); ++i) {
            EmptyCell(i);
            cells[i]->SetAngle(0);
            cells[i]->SetStarHover(0);
            PlaceAtCell(i);
        }
        for (int col = 0; col < width; ++col) {
            VanteoBlock* b = incoming[col];
            b->present = 1;
            b->x = b->targetX = static_cast<float>(col * kCellSize);
            b->y = b->targetY = -static_cast<float>(kCellSize);
        }
    }
    SeedRandom();
    if (incoming)
        FillIncomingRow();
    for (int& b : bullets)
        b = 0;
    NewReplay();
    clearEffect.Clear();
    clearEffect2.Clear();
    comboEffect.Clear();
    breakEffect.Clear();
    starBlasts = 0;
    frozen = 0;
    pointSum = 0;
    layoutPending = 1;
    x2 = 1;
    clearQueue.clear();
    clearExtra = 0;
    clearBatches = 0;
    bigClear = 0;
    clearTimer = -1;
    if (layout)
        for (auto id : {BoardWindows::kDoubleChanceOn, BoardWindows::kDoubleChanceWhite,
                        BoardWindows::kDoubleChanceFail, BoardWindows::kDoubleChanceSuccess})
            windows.StopAndHide(id);
}

int VanteoBlockMap::NewBlockKind()
{
    const int total = tuning.WeightTotal();
    if (!tuning.hasStage || total <= 0) {
        // No stage or no weights: the three colours alike, rather than a division by zero.
        static bool logged = false;
        if (!logged) {
            DFLog(LOG_WARN, L"VanteoBlockMap: no stage weights, the three colours are drawn alike");
            logged = true;
        }
        return Random().Next() % 3 + 1;
    }
    int r = Random().Next() % total;
    for (int k = 0; k < BoardTuning::kKinds; ++k) {
        r -= std::max(tuning.weights[k], 0);
        if (r < 0)
            return k;
    }
    return 0;
}

VanteoBlock* VanteoBlockMap::CellAt(int col, int row) const
{
    if (!cells || !Inside(col, row))
        return nullptr;
    return cells[col + row * width];
}

bool VanteoBlockMap::CellFromPoint(float px, float py, int* col, int* row) const
{
    *col = *row = -1;
    if (!(px >= originX) || !(py >= originY))
        return false;
    const float left = std::trunc(originX + 0.001f);
    const float top = std::trunc(originY + 0.001f);
    const float fc = (px - left) / kCellSize;
    const float fr = (py - top) / kCellSize;
    if (!(fc < static_cast<float>(width)) || !(fr < static_cast<float>(height)))
        return false;
    const int c = static_cast<int>(fc);
    const int r = static_cast<int>(fr);
    if (!Inside(c, r))
        return false;
    *col = c;
    *row = r;
    return true;
}

int VanteoBlockMap::IsBusy() const
{
    if (turnAngle != turnTarget || !clearQueue.empty() || clearTimer >= 0)
        return 1;
    if (!cells)
        return 0;
    for (int i = 0; i < width * (height - 1); ++i)
        if (cells[i]->present && cells[i]->moving)
            return 1;
    return 0;
}

void VanteoBlockMap::FindSquareAnchor(int col, int row, int* ac, int* ar) const
{
    static constexpr int kOrder[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    *ac = col;
    *ar = row;
    if (!cells)
        return;
    for (const auto& d : kOrder) {
        const int c = col + d[0], r = row + d[1];
        if (!Inside(c, r))
            continue;
        const int corner = cells[c + r * width]->corner;
        bool match = false;
        switch (corner) {
        case 1:
            match = (d[0] == -1 && d[1] == -1) || (d[0] == 0 && d[1] == -1) || (d[0] == -1 && d[1] == 0);
            break;
        case 2:
            match = (d[0] == 0 && d[1] == -1) || (d[0] == 1 && d[1] == -1) || (d[0] == 1 && d[1] == 0);
            break;
        case 3:
            match = (d[0] == 1 && d[1] == 0) || (d[0] == 1 && d[1] == 1) || (d[0] == 0 && d[1] == 1);
            break;
        case 4:
            match = (d[0] == -1 && d[1] == 0) || (d[0] == -1 && d[1] == 1) || (d[0] == 0 && d[1] == 1);
            break;
        default:
            break;
        }
        if (match) {
            *ac = c;
            *ar = r;
            return;
        }
    }
}

namespace {
bool SquarePartner(const VanteoBlock* b, int kind)
{
    return b->present && !b->fixed && !b->point && !b->pin && !b->inSquare && b->corner == 0 && b->kind == kind;
}
}

void VanteoBlockMap::FindSquares()
{
    turnReady = 1;
    if (!cells)
        return;
    bool formed = false;
    for (int row = height - 1; row >= 1; --row) {
        for (int col = 0; col + 1 < width; ++col) {
            VanteoBlock* b = cells[col + row * width];
            if (!b->present || b->kind == kBlockWall || b->fixed || b->point || b->pin || b->inSquare || b->corner)
                continue;
            VanteoBlock* right = cells[col + 1 + row * width];
            VanteoBlock* up = cells[col + (row - 1) * width];
            VanteoBlock* upRight = cells[col + 1 + (row - 1) * width];
            if (!SquarePartner(right, b->kind) || !SquarePartner(up, b->kind) || !SquarePartner(upRight, b->kind))
                continue;
            b->corner = 4;
            right->inSquare = up->inSquare = upRight->inSquare = 1;
            bool magic = false;
            if (IsColourKind(b->kind)) {
                if (chainPending && !noComboMode) {
                    b->clearBonusShown = 1;
                    b->clearBonusOverlay.Play("ENTER", "NORMAL");
                    Post(MSG_CHAIN);
                }
                magic = magicPending && !noComboMode;
            } else if (b->kind == kBlockStar) {
                magic = magicPending && !noComboMode;
            } else if (b->kind == kBlockStone) {
                magic = magicPending != 0;
            }
            if (magic) {
                if (!quiet)
                    PlaySound(kSoundMagicTurn);
                b->magicTurnShown = 1;
                b->magicTurnOverlay.Play("ENTER", "NORMAL");
                Post(MSG_MAGIC_TURN, PayloadWriter().I32(b->kind));
            }
            float px, py;
            b->GetPosition(&px, &py);
            clearEffect.Add(1, b->kind, px, py);
            formed = true;
        }
    }
    if (formed) {
        hoverCol = hoverRow = -1;
        MarkGroup(-1, -1);
    }
    magicPending = 0;
}

int VanteoBlockMap::FindGroups()
{
    if (IsBusy() || !cells)
        return 0;
    FindSquares();
    const int count = CellCount();
    std::memset(visited, 0, count);
    groups.clear();
    std::vector<int> queue;
    queue.reserve(count);
    for (int i = 0; i < count; ++i) {
        VanteoBlock* start = cells[i];
        start->joinRight = start->joinBottom = 0;
        if (visited[i] || !start->present || start->kind == kBlockStar || start->corner < 1 || start->corner > 4)
            continue;
        queue.clear();
        queue.push_back(i);
        visited[i] = 1;
        for (size_t head = 0; head < queue.size(); ++head) {
            const int cell = queue[head];
            const int col = cell % width, row = cell / width;
            static constexpr int kDirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& d : kDirs) {
                const int c = col + d[0], r = row + d[1];
                if (!Inside(c, r))
                    continue;
                const int n = c + r * width;
                const VanteoBlock* b = cells[n];
                if (visited[n] || !b->present || b->kind != start->kind || b->pin)
                    continue;
                visited[n] = 1;
                queue.push_back(n);
            }
        }
        groups.insert(groups.end(), queue.begin(), queue.end());
        groups.push_back(-1);
    }
    MarkGroupOutlines();
    chainPending = 0;
    return groups.empty() ? 0 : 1;
}

std::vector<int> VanteoBlockMap::GroupOf(int index) const
{
    std::vector<int> current;
    bool found = false;
    for (int cell : groups) {
        if (cell == -1) {
            if (found)
                return current;
            current.clear();
            continue;
        }
        current.push_back(cell);
        if (cell == index)
            found = true;
    }
    return found ? current : std::vector<int>{};
}

VanteoBlock* VanteoBlockMap::PickPlainBlock()
{
    if (!cells)
        return nullptr;
    auto plain = [](const VanteoBlock* b) {
        return b->present && !b->inSquare && b->corner == 0 && b->kind != kBlockStar && b->kind != kBlockStone &&
               !b->pin && !b->fixed && !b->point;
    };
    int count = 0;
    for (int i = 0; i < CellCount(); ++i)
        if (plain(cells[i]))
            ++count;
    if (count == 0)
        return nullptr;
    int pick = Random().Next() % count;
    for (int i = 0; i < CellCount(); ++i)
        if (plain(cells[i]) && pick-- == 0)
            return cells[i];
    return nullptr;
}

void VanteoBlockMap::FixRandomBlock()
{
    if (VanteoBlock* b = PickPlainBlock())
        b->fixed = 1;
}

void VanteoBlockMap::RemoveStars()
{
    if (!cells)
        return;
    for (int i = 0; i < CellCount(); ++i)
        if (cells[i]->present && cells[i]->kind == kBlockStar)
            EmptyCell(i);
}

void VanteoBlockMap::PlaySound(int key)
{
    Sounds().Play(key, false, -1.0f);
}

void VanteoBlockMap::Post(int32_t id, const PayloadWriter& payload)
{
    if (!quiet)
        payload.PostTo(Messages(), id);
}

void VanteoBlockMap::Post(int32_t id)
{
    if (!quiet)
        Messages().Post(id, nullptr, 0);
}

void VanteoBlockMap::PostBlockClicked(int col, int row, int kind, int present, int pin, int fixedFlag,
                                      int pointFlag)
{
    Post(MSG_BLOCK_CLICKED,
         PayloadWriter().I32(col).I32(row).I32(kind).I32(present).I32(pin).I32(fixedFlag).I32(pointFlag));
}

void VanteoBlockMap::OnPuzzleAreaDraw(kv::EventArgs&)
{
    DrawBlocks();
}

void VanteoBlockMap::OnComboAreaDraw(kv::EventArgs&)
{
    DrawComboArea();
}
