#include "lane/PushBlockSet.h"

#include "board/GameMessages.h"
#include "board/BoardWindows.h"
#include "engine/SkinTable.h"
#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"
#include "kv/KVWnd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr int kSoundUserPush = 32, kSoundEnemyPush = 33;
constexpr int kSoundUserLand[2] = {34, 35}, kSoundEnemyLand[2] = {36, 37};
constexpr int kSoundStonesFreed = 53;
constexpr int kSkinUserWalker = 108, kSkinEnemyWalker = 112;
const char* const kLaneFiles[3] = {"PUSHING_block_1_Anibtn_pushing_block_1.xml",
                                   "PUSHING_block_2_Anibtn_pushing_block_2.xml",
                                   "PUSHING_block_3_Anibtn_pushing_block_3.xml"};

std::wstring Numbered(const wchar_t* format, int n)
{
    wchar_t name[64];
    std::swprintf(name, 64, format, n);
    return name;
}

void HideAtOnce(kv::KVWnd* window)
{
    if (window)
        window->SetVisible(false);
}

void PutF32(std::vector<uint8_t>& out, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

void PutI32(std::vector<uint8_t>& out, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

} // namespace

// --- the state sent between the two machines ----------------------------------------------------

std::vector<uint8_t> PushLaneState::Encode() const
{
    std::vector<uint8_t> out;
    out.reserve(kBytes);
    for (const PushStone& s : stones) {
        PutI32(out, s.lane);
        PutF32(out, s.limit);
        PutI32(out, s.side);
        PutF32(out, s.timer);
    }
    PutI32(out, stoneCount);
    for (const PushLane& l : lanes) {
        PutF32(out, l.pos);
        PutF32(out, l.target);
        PutF32(out, l.dropTimer);
        PutF32(out, l.comboTimer);
        PutI32(out, l.comboCount);
    }
    return out;
}

bool PushLaneState::Decode(const uint8_t* data, size_t size)
{
    if (!data || size < kBytes)
        return false;
    PayloadReader in(data, size);
    PushLaneState read;
    for (PushStone& s : read.stones) {
        s.lane = in.I32();
        s.limit = in.F32();
        s.side = in.I32();
        s.timer = in.F32();
    }
    read.stoneCount = in.I32();
    for (PushLane& l : read.lanes) {
        l.pos = in.F32();
        l.target = in.F32();
        l.dropTimer = in.F32();
        l.comboTimer = in.F32();
        l.comboCount = in.I32();
    }
    if (!in.Ok() || read.stoneCount < 0 || read.stoneCount > kMaxStones)
        return false;
    for (int i = 0; i < read.stoneCount; ++i) {
        const PushStone& s = read.stones[static_cast<size_t>(i)];
        if (s.lane < 0 || s.lane > 2 || (s.side != 0 && s.side != 1))
            return false;
    }
    // Positions outside the lanes, or not numbers at all, are brought back inside them.
    auto inside = [](float v) { return std::isfinite(v) ? std::clamp(v, -PushBlockSet::kLaneLimit, PushBlockSet::kLaneLimit) : 0.0f; };
    for (PushLane& l : read.lanes) {
        l.pos = inside(l.pos);
        l.target = inside(l.target);
        if (!std::isfinite(l.dropTimer))
            l.dropTimer = 0;
        if (!std::isfinite(l.comboTimer))
            l.comboTimer = 0;
    }
    for (PushStone& s : read.stones) {
        s.limit = inside(s.limit);
        if (!std::isfinite(s.timer))
            s.timer = 0;
    }
    *this = read;
    return true;
}

// --- the field -------------------------------------------------------------------------------------

PushBlockSet::PushBlockSet(const BoardWorld& world)
    : m_pMessages(&world.messages), m_pSounds(&world.sounds), m_pRandom(&world.random)
{
}

PushBlockSet::~PushBlockSet() = default;

kv::KVWnd* PushBlockSet::Find(const wchar_t* name) const { return m_pLayout ? m_pLayout->FindWindow(name) : nullptr; }

kv::KVWnd* PushBlockSet::FindArea(const wchar_t* name) const { return m_pArea ? m_pArea->FindWindow(name) : nullptr; }

void PushBlockSet::Post(int32_t id, const PayloadWriter& payload)
{
    payload.PostTo(*m_pMessages, id);
}

void PushBlockSet::Sound(int key)
{
    m_pSounds->Play(key);
}

float PushBlockSet::BlockHeight() const
{
    int w = 0, h = 0;
    m_LanePlayers[0].GetSize(&w, &h);
    return static_cast<float>(h);
}

void PushBlockSet::Init(kv::KVWnd* layout, kv::KVWnd* area)
{
    m_pLayout = layout;
    m_pArea = area;
    if (layout && layout != m_pBoundLayout) {
        if (kv::KVWnd* drawArea = layout->FindWindow(L"Wnd_Push_DrawArea"))
            drawArea->AddHandler(kv::EventDraw, kv::MakeHandler(this, &PushBlockSet::OnDraw));
        m_pBoundLayout = layout;
    }
    auto rectOf = [&](const wchar_t* name, float* rect) {
        kv::KVWnd* w = FindArea(name);
        if (!w)
            return false;
        const kv::KVRect r = w->GetAbsoluteRect();
        rect[0] = r.left, rect[1] = r.right, rect[2] = r.top, rect[3] = r.bottom;
        return true;
    };
    m_bUserArea = rectOf(L"Pic_pushing_user", m_UserRect);
    m_bEnemyArea = rectOf(L"Pic_pushing_emeny", m_EnemyRect);
    m_fUserSpawn = m_fEnemySpawn = kSpawnInterval;
    HideAtOnce(Find(L"Pic_pushing_count"));
    Reset();
}

void PushBlockSet::Detach()
{
    m_pLayout = m_pArea = m_pBoundLayout = nullptr;
    m_bUserArea = m_bEnemyArea = false;
}

void PushBlockSet::Reset()
{
    lanes.fill(PushLane{});
    stones.clear();
    userStack.clear();
    enemyStack.clear();
    for (int n = 1; n <= 3; ++n) {
        HideAtOnce(Find(Numbered(L"Pic_pushing_stone_enemy_%d", n).c_str()));
        HideAtOnce(Find(Numbered(L"Pic_pushing_stone_user_%d", n).c_str()));
        HideAtOnce(Find(Numbered(L"Pic_pushing_arrow_%d_enemy", n).c_str()));
        HideAtOnce(Find(Numbered(L"Pic_pushing_arrow_%d_user", n).c_str()));
    }
    HideAtOnce(Find(L"Pic_pushing_star_enemy"));
    HideAtOnce(Find(L"Pic_pushing_star_user"));
    for (int k = 0; k < 3; ++k) {
        m_LanePlayers[static_cast<size_t>(k)].Load(kLaneFiles[k]);
        m_LanePlayers[static_cast<size_t>(k)].m_bLoop = true;
        m_LanePlayers[static_cast<size_t>(k)].m_bVisible = false;
    }
    auto placeScore = [&](AnimationPlayer& player, const wchar_t* name) {
        player.Load("PUSHING_ScoreNUM_Animation.xml");
        kv::KVWnd* w = Find(name);
        HideAtOnce(w);
        const kv::KVPoint at = w ? w->GetAbsolutePosition() : kv::KVPoint{};
        D3DXMatrixTranslation(&player.m_matWorld, at.x, at.y, 0.0f);
    };
    placeScore(m_EnemyScore, L"Pic_pushing_score_enemy");
    placeScore(m_UserScore, L"Pic_pushing_score_user");
    m_Stone.Load("PUSHING_stone_Animation.xml");
    m_Stone.Play("Default");
    for (int k = 0; k < 3; ++k) {
        m_UserArrows[static_cast<size_t>(k)].Load("PUSHING_arrow_" + std::to_string(k + 1) + "_Animation.xml");
        m_EnemyArrows[static_cast<size_t>(k)].Load("PUSHING_arrow_enemy_" + std::to_string(k + 1) + "_Animation.xml");
    }
    kv::KVWnd* userLeverWindow = Find(L"Pic_pushing_lever_user");
    kv::KVWnd* enemyLeverWindow = Find(L"Pic_pushing_lever_enemy");
    if (userLeverBase == -1 || enemyLeverBase == -1) {
        userLeverBase = userLever = userLeverWindow ? userLeverWindow->GetAbsolutePosition().y : 0.0f;
        enemyLeverBase = enemyLever = enemyLeverWindow ? enemyLeverWindow->GetAbsolutePosition().y : 0.0f;
    } else {
        if (userLeverWindow)
            userLeverWindow->SetAbsolutePosition(userLeverWindow->GetAbsolutePosition().x, userLeverBase);
        if (enemyLeverWindow)
            enemyLeverWindow->SetAbsolutePosition(enemyLeverWindow->GetAbsolutePosition().x, enemyLeverBase);
        userLever = userLeverBase;
        enemyLever = enemyLeverBase;
    }
    for (auto& w : m_UserWalkers)
        w.reset();
    for (auto& w : m_EnemyWalkers)
        w.reset();
    gameOver = started = 0;
    userStackSize = enemyStackSize = kWinningStack;
}

void PushBlockSet::Update(float seconds)
{
    for (int k = 0; k < 3; ++k) {
        m_UserArrows[static_cast<size_t>(k)].Update(seconds);
        m_EnemyArrows[static_cast<size_t>(k)].Update(seconds);
    }
    UpdateStacks(seconds, userStack, true);
    UpdateStacks(seconds, enemyStack, false);
    UpdateLanes(seconds);
    UpdateStones(seconds);
    m_EnemyScore.Update(seconds);
    m_UserScore.Update(seconds);
    UpdateWalkers(seconds, true);
    UpdateWalkers(seconds, false);
    if (!started) {
        started = 1;
        for (AnimationPlayer& player : m_LanePlayers) {
            player.Play("OVER", "NORMAL");
            player.m_bVisible = true;
        }
    }
    if (gameOver)
        return;
    if (static_cast<int>(userStack.size()) >= kWinningStack) {
        Post(MSG_GAME_WIN, PayloadWriter());
        Pose(true, true, kEndPoseSeconds);
        Pose(false, false, kEndPoseSeconds);
        gameOver = 1;
    } else if (static_cast<int>(enemyStack.size()) >= kWinningStack) {
        Post(MSG_GAME_LOSE, PayloadWriter());
        Pose(false, true, kEndPoseSeconds);
        Pose(true, false, kEndPoseSeconds);
        gameOver = 1;
    }
}

void PushBlockSet::UpdateLanes(float seconds)
{
    if (gameOver)
        return;
    for (int k = 0; k < 3; ++k) {
        PushLane& lane = lanes[static_cast<size_t>(k)];
        AnimationPlayer& player = m_LanePlayers[static_cast<size_t>(k)];
        player.Update(seconds);
        lane.comboTimer -= seconds;
        const char* scene = lane.pos < -kBand ? "ENTER" : lane.pos > kBand ? "LEAVE" : "NORMAL";
        if (player.m_strScene != scene)
            player.Play(scene);
        int completed = -1;
        if (lane.target < lane.pos) {
            lane.pos = std::max(lane.pos - moveSpeed * seconds, lane.target);
            if (lane.pos < -kComplete)
                completed = 0;
        } else if (lane.target > lane.pos) {
            lane.pos = std::min(lane.pos + moveSpeed * seconds, lane.target);
            if (lane.pos > kComplete)
                completed = 1;
        }
        if (completed >= 0) {
            Post(MSG_PUSH_BLOCK_DROP_ID, PayloadWriter().I32(completed).I32(k));
            lane.pos = lane.target = 0;
            lane.comboTimer = -1;
            lane.dropTimer = 1.0f;
            player.Play("OVER", "NORMAL");
        }
        if (lane.dropTimer > 0)
            lane.dropTimer = std::max(lane.dropTimer - seconds, 0.0f);
    }
}

void PushBlockSet::UpdateStacks(float seconds, std::list<std::unique_ptr<DropBlock>>& stack, bool user)
{
    const float h = BlockHeight();
    (user ? userStackSize : enemyStackSize) = static_cast<int>(stack.size());
    int landed = 0;
    for (const auto& b : stack)
        landed += b->landed ? 1 : 0;
    (user ? m_UserScore : m_EnemyScore).Play(std::to_string(landed));
    // The player's stack rests on the opponent's lever.
    float& lever = user ? enemyLever : userLever;
    const float base = user ? enemyLeverBase : userLeverBase;
    const float t = static_cast<float>(landed) * h;
    if (lever - t < base) {
        lever = std::min(lever - t + kDropSpeed * seconds, base) + t;
        if (kv::KVWnd* window = Find(user ? L"Pic_pushing_lever_enemy" : L"Pic_pushing_lever_user"))
            window->SetAbsolutePosition(window->GetAbsolutePosition().x, lever);
    }
    float limit = lever - h;
    for (auto& b : stack) {
        if (limit > b->y) {
            b->y += kDropSpeed * seconds;
            if (b->y > limit) {
                b->y = limit;
                if (!b->landed) {
                    b->landed = 1;
                    const int* sounds = user ? kSoundUserLand : kSoundEnemyLand;
                    Sound(sounds[0]);
                    Sound(sounds[1]);
                    if (kv::KVWnd* back = Find(user ? L"Pic_pushing_score_back_user" : L"Pic_pushing_score_back_enemy"))
                        RestartFirstUIScene(back);
                    Pose(user, true, kPoseSeconds);
                    Pose(!user, false, kPoseSeconds);
                }
            }
        }
        limit = b->y - h;
    }
}

void PushBlockSet::UpdateStones(float seconds)
{
    bool removed = false;
    for (auto it = stones.begin(); it != stones.end();) {
        PushLane& lane = lanes[static_cast<size_t>(std::clamp(it->lane, 0, 2))];
        if (it->side == 0 ? lane.pos < it->limit : lane.pos > it->limit)
            lane.pos = it->limit;
        it->timer -= seconds;
        if (it->timer < 0) {
            it = stones.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    if (removed)
        Post(MSG_PUSH_FIELD_CHANGED, PayloadWriter());
}

void PushBlockSet::ShowArrow(int k, int amount, float diff)
{
    float s;
    if (amount < 0)
        s = -diff >= 70 ? 1.3f : std::max(-diff / 70.0f + 0.3f, 0.3f);
    else
        s = diff < 10 ? 0.3f : diff < 100 ? diff / 100.0f + 0.3f : 1.3f;
    AnimationPlayer& arrow = (amount < 0 ? m_UserArrows : m_EnemyArrows)[static_cast<size_t>(k)];
    kv::KVWnd* place = Find(Numbered(amount < 0 ? L"Pic_pushing_arrow_%d_user" : L"Pic_pushing_arrow_%d_enemy", k + 1).c_str());
    const kv::KVPoint at = place ? place->GetAbsolutePosition() : kv::KVPoint{};
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, s, s, 1.0f);
    scale._41 = at.x + lanes[static_cast<size_t>(k)].pos;
    scale._42 = at.y;
    arrow.m_matWorld = scale;
    arrow.m_bVisible = true;
    arrow.Play("arrow");
    Sound(amount <= 0 ? kSoundUserPush : kSoundEnemyPush);
}

void PushBlockSet::RemoveStones(int side)
{
    const size_t before = stones.size();
    stones.erase(std::remove_if(stones.begin(), stones.end(), [&](const PushStone& s) { return s.side == side; }),
                 stones.end());
    if (stones.size() != before)
        Sound(kSoundStonesFreed);
}

void PushBlockSet::ApplyPush(int lane, int amount)
{
    if (!started || lane < 0 || lane > 3)
        return;
    auto push = [&](PushLane& l) {
        if (!(l.comboTimer > 0))
            l.comboCount = 0;
        l.comboCount += 1;
        const float factor = l.pos != l.target ? 2.0f : 1.0f;
        const float before = l.target;
        l.target = std::clamp(l.target + static_cast<float>(amount) * factor, -kLaneLimit, kLaneLimit);
        return static_cast<float>(static_cast<int>(l.target - before));
    };
    if (lane < 3) {
        const float diff = push(lanes[static_cast<size_t>(lane)]);
        ShowArrow(lane, amount, diff);
        return;
    }
    for (PushLane& l : lanes) {
        push(l);
        l.comboTimer = std::max(6.0f - static_cast<float>(l.comboCount), 2.0f);
    }
    if (kv::KVWnd* star = Find(amount < 0 ? L"Pic_pushing_star_user" : L"Pic_pushing_star_enemy")) {
        star->SetVisible(true);
        RestartFirstUIScene(star);
    }
    RemoveStones(amount < 1 ? 0 : 1);
}

void PushBlockSet::AddPush(int lane, int amount)
{
    if (!started || lane < 0 || lane > 3)
        return;
    if (lane < 3) {
        ShowArrow(lane, amount, static_cast<float>(amount * lanes[static_cast<size_t>(lane)].comboCount));
        return;
    }
    if (kv::KVWnd* star = Find(amount < 0 ? L"Pic_pushing_star_user" : L"Pic_pushing_star_enemy")) {
        star->SetVisible(true);
        RestartFirstUIScene(star);
    }
    RemoveStones(amount < 1 ? 0 : 1);
}

void PushBlockSet::Trap(int side)
{
    bool busy[3] = {};
    for (const PushStone& s : stones)
        if (s.side == side && s.lane >= 0 && s.lane <= 2)
            busy[s.lane] = true;
    // The other side's most advanced lane: the smallest position for the player, the largest
    // for the opponent; every lane when all hold such a stone already.
    auto better = [&](int a, int b) {
        return side == 0 ? lanes[static_cast<size_t>(a)].pos < lanes[static_cast<size_t>(b)].pos
                         : lanes[static_cast<size_t>(a)].pos > lanes[static_cast<size_t>(b)].pos;
    };
    const bool allBusy = busy[0] && busy[1] && busy[2];
    int chosen = -1;
    for (int k = 0; k < 3; ++k) {
        if (!allBusy && busy[k])
            continue;
        if (chosen < 0 || better(k, chosen))
            chosen = k;
    }
    stones.push_back({chosen, lanes[static_cast<size_t>(chosen)].pos, side, trapTime});
}

void PushBlockSet::TrapUserLane() { Trap(0); }

void PushBlockSet::TrapEnemyLane() { Trap(1); }

void PushBlockSet::AddBlock(int lane, int side)
{
    if (lane < 0 || lane > 2)
        return;
    auto block = std::make_unique<DropBlock>();
    block->player.Load(kLaneFiles[lane]);
    block->lane = lane;
    kv::KVWnd* start = Find(Numbered(L"Pic_pushing_block_%d", lane + 1).c_str());
    block->y = start ? start->GetAbsolutePosition().y : 0.0f;
    (side == 0 ? userStack : enemyStack).push_back(std::move(block));
}

void PushBlockSet::SaveState(PushLaneState& out) const
{
    out = PushLaneState{};
    const size_t count = std::min(stones.size(), static_cast<size_t>(PushLaneState::kMaxStones));
    for (size_t i = 0; i < count; ++i) {
        PushStone s = stones[i];
        s.limit = -s.limit;
        s.side = s.side == 0 ? 1 : 0;
        out.stones[i] = s;
    }
    out.stoneCount = static_cast<int32_t>(count);
    for (size_t k = 0; k < 3; ++k) {
        out.lanes[k] = lanes[k];
        out.lanes[k].pos = -lanes[k].pos;
        out.lanes[k].target = -lanes[k].target;
    }
}

bool PushBlockSet::LoadState(const PushLaneState& in)
{
    // The state comes from the other machine: a stone count outside 0..10 is brought inside it,
    // and a stone off the three lanes or of no side, or a number that is no number, refuses the
    // whole state, which then changes nothing.
    const int count = std::clamp(in.stoneCount, 0, PushLaneState::kMaxStones);
    for (int i = 0; i < count; ++i) {
        const PushStone& s = in.stones[static_cast<size_t>(i)];
        if (s.lane < 0 || s.lane > 2 || (s.side != 0 && s.side != 1) || !std::isfinite(s.limit) || !std::isfinite(s.timer))
            return false;
    }
    for (const PushLane& l : in.lanes)
        if (!std::isfinite(l.pos) || !std::isfinite(l.target) || !std::isfinite(l.dropTimer) || !std::isfinite(l.comboTimer))
            return false;
    stones.assign(in.stones.begin(), in.stones.begin() + count);
    lanes = in.lanes;
    for (PushLane& l : lanes) {
        l.pos = std::clamp(l.pos, -kLaneLimit, kLaneLimit);
        l.target = std::clamp(l.target, -kLaneLimit, kLaneLimit);
    }
    return true;
}

void PushBlockSet::Pose(bool user, bool win, float seconds)
{
    for (auto& w : user ? m_UserWalkers : m_EnemyWalkers) {
        if (!w)
            continue;
        w->player.Play(win ? "ch_win" : "ch_fall");
        (win ? w->winTimer : w->fallTimer) = seconds;
    }
}

void PushBlockSet::UpdateWalkers(float seconds, bool user)
{
    if (!(user ? m_bUserArea : m_bEnemyArea))
        return;
    const float* rect = user ? m_UserRect : m_EnemyRect;
    auto& walkers = user ? m_UserWalkers : m_EnemyWalkers;
    auto spawn = [&](size_t slot) {
        auto w = std::make_unique<Walker>();
        const char* file = SkinTable.GetSkinString((user ? kSkinUserWalker : kSkinEnemyWalker) + static_cast<int>(slot));
        w->player.Load(file ? file : "");
        w->player.m_bLoop = true;
        w->player.Play("ch_walk");
        const float r = static_cast<float>(m_pRandom->Next() % 100) / 100.0f;
        w->scale = user ? 0.3f + 0.7f * r : 0.3f + 0.5f * r;
        int width = 0, height = 0;
        w->player.GetSize(&width, &height);
        w->x = user ? rect[1] : rect[0] - static_cast<float>(width);
        w->y = rect[2];
        w->facing = user ? 1 : 0;
        walkers[slot] = std::move(w);
    };
    float& timer = user ? m_fUserSpawn : m_fEnemySpawn;
    timer -= seconds;
    if (timer < 0) {
        timer += kSpawnInterval;
        for (size_t slot = 0; slot < walkers.size(); ++slot)
            if (!walkers[slot]) {
                spawn(slot);
                break;
            }
    }
    for (size_t slot = 0; slot < walkers.size(); ++slot) {
        Walker* w = walkers[slot].get();
        if (!w)
            continue;
        int width = 0, height = 0;
        w->player.GetSize(&width, &height);
        const float fw = static_cast<float>(width);
        if (w->fallTimer > 0) {
            w->fallTimer -= seconds;
            if (w->fallTimer <= 0) {
                w->fallTimer = -1;
                w->player.Play("ch_walk");
            }
        } else if (w->winTimer > 0) {
            w->winTimer -= seconds;
            if (w->winTimer <= 0) {
                w->winTimer = -1;
                w->player.Play("ch_walk");
            }
        } else {
            const float step = (1.5f - w->scale) * 30.0f * seconds;
            bool replace = false;
            if (user) {
                if (w->facing == 1) {
                    w->x -= step;
                    if (w->x < rect[0]) {
                        w->x = rect[0] + fw * 0.5f;
                        w->facing = 0;
                    }
                } else {
                    w->x += step;
                    replace = w->x > rect[1];
                }
            } else {
                if (w->facing == 0) {
                    w->x += step;
                    if (w->x > rect[1] - fw) {
                        w->x = rect[1] - fw + fw * w->scale;
                        w->facing = 1;
                    }
                } else {
                    w->x -= step;
                    replace = w->x < rect[0] - fw;
                }
            }
            if (replace) {
                spawn(slot);
                continue;
            }
        }
        w->player.Update(seconds);
    }
}

void PushBlockSet::OnDraw(kv::EventArgs&) { Draw(); }

void PushBlockSet::Draw()
{
    for (int k = 0; k < 3; ++k) {
        for (AnimationPlayer* arrow : {&m_UserArrows[static_cast<size_t>(k)], &m_EnemyArrows[static_cast<size_t>(k)]})
            if (arrow->m_bVisible)
                arrow->Draw(&arrow->m_matWorld);
    }
    for (int k = 0; k < 3; ++k) {
        kv::KVWnd* place = Find(Numbered(L"Pic_pushing_block_%d", k + 1).c_str());
        AnimationPlayer& player = m_LanePlayers[static_cast<size_t>(k)];
        if (!place || !player.m_bVisible)
            continue;
        const kv::KVRect r = place->GetAbsoluteRect();
        const float w = r.right - r.left;
        D3DXMATRIX at;
        const PushLane& lane = lanes[static_cast<size_t>(k)];
        D3DXMatrixTranslation(&at, r.left + std::clamp(lane.target, -w, w), r.top, 0.0f);
        player.Draw(&at, 0x88FFFFFF);
        D3DXMatrixTranslation(&at, r.left + std::clamp(lane.pos, -w, w), r.top, 0.0f);
        player.Draw(&at, 0xFFFFFFFF);
    }
    auto drawStack = [&](const std::list<std::unique_ptr<DropBlock>>& stack, const wchar_t* lever) {
        kv::KVWnd* window = Find(lever);
        const float x = window ? window->GetAbsolutePosition().x : 0.0f;
        for (const auto& b : stack) {
            D3DXMATRIX at;
            D3DXMatrixTranslation(&at, x, b->y, 0.0f);
            b->player.Draw(&at);
        }
    };
    drawStack(userStack, L"Pic_pushing_lever_enemy");
    drawStack(enemyStack, L"Pic_pushing_lever_user");
    for (bool user : {true, false}) {
        for (const auto& w : user ? m_UserWalkers : m_EnemyWalkers) {
            if (!w)
                continue;
            int width = 0, height = 0;
            w->player.GetSize(&width, &height);
            const bool plain = user ? w->facing == 1 : w->facing == 0;
            const float sx = plain ? w->scale : -w->scale;
            D3DXMATRIX lift, scale, move;
            D3DXMatrixTranslation(&lift, 0.0f, -static_cast<float>(height), 0.0f);
            D3DXMatrixScaling(&scale, sx, w->scale, 1.0f);
            D3DXMatrixTranslation(&move, w->x, w->y, w->z);
            D3DXMATRIX m = lift * scale * move;
            w->player.Draw(&m);
        }
    }
    int stoneW = 0, stoneH = 0;
    m_Stone.GetSize(&stoneW, &stoneH);
    for (const PushStone& s : stones) {
        const bool against = s.side == 1;
        kv::KVWnd* place = Find(Numbered(against ? L"Pic_pushing_stone_user_%d" : L"Pic_pushing_stone_enemy_%d", s.lane + 1).c_str());
        if (!place)
            continue;
        const kv::KVPoint at = place->GetAbsolutePosition();
        D3DXMATRIX m;
        if (against) {
            D3DXMatrixTranslation(&m, at.x + s.limit, at.y, 0.0f);
        } else {
            D3DXMatrixScaling(&m, -1.0f, 1.0f, 1.0f);
            m._41 = at.x + s.limit + static_cast<float>(stoneW);
            m._42 = at.y;
        }
        m_Stone.Draw(&m);
    }
    m_UserScore.Draw(&m_UserScore.m_matWorld);
    m_EnemyScore.Draw(&m_EnemyScore.m_matWorld);
}
