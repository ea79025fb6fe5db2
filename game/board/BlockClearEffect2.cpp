#include "board/BlockClearEffect2.h"

#include "board/Block.h"
#include "board/BoardSkin.h"

#include <algorithm>
#include <cmath>

namespace {
void LoadDown(AnimationPlayer& player, int skinIndex)
{
    LoadSkinPlayer(player, skinIndex);
    player.Play("DOWN");
}

constexpr D3DCOLOR kFallbackColours[4] = {0xFFE8505B, 0xFF3CC47C, 0xFF3D8BFD, 0xFFF7C548};

D3DCOLOR ChannelByte(float channel, int shift)
{
    float c = std::clamp(channel, 0.0f, 1.0f);
    return static_cast<D3DCOLOR>(static_cast<int>(c * 255.0f + 0.5f)) << shift;
}
}

void BlockClearEffect2::LoadAnimations()
{
    for (int row = 0; row < 2; ++row)
        for (int kind = 1; kind <= 7; ++kind)
            LoadDown(m_Blocks[row][kind], (row ? kSkinBlockLarge : kSkinBlockSmall) + kind - 1);
    for (int c = 1; c <= 3; ++c) {
        LoadDown(m_Points[c], kSkinBlockPoint + c - 1);
        LoadDown(m_Points[c + 4], kSkinBlockPointLarge + c - 1);
    }
    LoadDown(m_Pin, kSkinBlockErase);
    LoadDown(m_MagicTurn, kSkinBlockMagicTurn);
    LoadDown(m_ClearBonus, kSkinBlockClearBonus);
    if (!m_bNumbers) {
        int width = 0, height = 0;
        m_Blocks[1][1].GetSize(&width, &height);
        if (width <= 0)
            width = 2 * kCellPixels;
        static constexpr int kStyles[4] = {kDigitBlockClear, kDigitBlockClearLarge, kDigitBlockClearWhite,
                                           kDigitBlockClearLargeWhite};
        for (int i = 0; i < 4; ++i)
            m_Numbers[i].Create(6, kStyles[i], 0, 0, width, 0, 0);
        m_bNumbers = true;
    }
    static const wchar_t* const kNames[4] = {L"Point_color_1", L"Point_color_2", L"Point_color_3", L"Point_color_4"};
    D3DCOLOR read[4];
    ReadSkinColours(kSkinBlockNumColor, kNames, 4, kFallbackColours, read);
    for (int k = 0; k < 8; ++k)
        m_Colours[k] = k >= 1 && k <= 4 ? read[k - 1] : 0;
}

void BlockClearEffect2::Add(int flag, int row, int kind, int state, int points, float x, float y)
{
    m_Entries.push_back({flag, row, kind, state, 0.0f, points, x, y});
}

AnimationPlayer* BlockClearEffect2::PlayerFor(const Entry& entry)
{
    switch (entry.state) {
    case 0:
    case 1:
        if ((entry.row != 0 && entry.row != 1) || !IsBlockKind(entry.kind))
            return nullptr;
        return &m_Blocks[entry.row][entry.kind];
    case 2:
    case 5:
        return &m_MagicTurn;
    case 3:
    case 4:
    case 6:
        return &m_ClearBonus;
    case 7:
        return IsColourKind(entry.kind) ? &m_Points[entry.kind] : nullptr;
    case 8:
        return IsColourKind(entry.kind) ? &m_Points[entry.kind + 4] : nullptr;
    case 9:
        return &m_Pin;
    default:
        return nullptr;
    }
}

const char* BlockClearEffect2::PlayedScene(const Entry& entry)
{
    const bool enter = entry.flag && entry.row == 1 && entry.points > 0;
    switch (entry.state) {
    case 0:
        return enter ? "ENTER" : "DOWN";
    case 1:
        return enter ? "ENTER" : "LEAVE";
    case 4:
        return "DISABLE";
    case 6:
        return "LEAVE";
    default:
        return "DOWN";
    }
}

const char* BlockClearEffect2::DrawnScene(const Entry& entry)
{
    return entry.state == 5 ? "LEAVE" : PlayedScene(entry);
}

void BlockClearEffect2::Update(float seconds)
{
    std::erase_if(m_Entries, [&](Entry& entry) {
        AnimationPlayer* player = PlayerFor(entry);
        if (!player)
            return true;
        player->Play(PlayedScene(entry));
        entry.time += seconds;
        return entry.time > player->GetLength();
    });
}

void BlockClearEffect2::Draw(const D3DXMATRIX* matrix)
{
    for (const Entry& entry : m_Entries) {
        AnimationPlayer* player = PlayerFor(entry);
        AnimationScene* scene = player ? player->GetScene(DrawnScene(entry)) : nullptr;
        if (!scene)
            continue;
        const D3DXMATRIX world = DrawSceneAt(*scene, entry.time, entry.x, entry.y, matrix);
        if (entry.state <= 1 && entry.points != 0)
            DrawNumber(entry, scene, world);
    }
}

void BlockClearEffect2::DrawNumber(const Entry& entry, AnimationScene* scene, const D3DXMATRIX& world)
{
    AnimationTrack* track = scene->FindTrack(entry.state == 0 ? "ani_effect_num" : "ani_effect_num_L");
    if (!track || !m_bNumbers)
        return;
    float t = entry.time;
    const float length = scene->GetLength();
    if (scene->m_bPendulum && t > length * 0.5f)
        t = length - t;
    if (!track->IsVisible(t))
        return;
    stAnimDrawInfo info{};
    track->GetAnimationInterval(t, info);
    const float w = static_cast<float>(track->m_nTextureWidth);
    const float h = static_cast<float>(track->m_nTextureHeight);
    D3DXMATRIX m, step;
    D3DXMatrixTranslation(&m, -w * info.cx, -h * info.cy, 0.0f);
    D3DXMatrixRotationYawPitchRoll(&step, info.ry, info.rx, info.rz);
    D3DXMatrixMultiply(&m, &m, &step);
    D3DXMatrixScaling(&step, info.sx, info.sy, info.sz);
    D3DXMatrixMultiply(&m, &m, &step);
    D3DXMatrixTranslation(&step, info.tx, info.ty, info.tz);
    D3DXMatrixMultiply(&m, &m, &step);
    D3DXMatrixMultiply(&m, &m, &world);
    if (info.a < 1.0f / 256.0f)
        return;
    const D3DCOLOR alpha = ChannelByte(info.a, 24);
    const int large = entry.state == 1 ? 1 : 0;
    const int kind = std::clamp(entry.kind, 0, 7);
    DigitDisplay& coloured = m_Numbers[large];
    DigitDisplay& white = m_Numbers[2 + large];
    coloured.m_dwColour = (m_Colours[kind] & 0x00FFFFFFu) | alpha;
    white.m_dwColour = 0x00FFFFFFu | alpha;
    for (DigitDisplay* display : {&coloured, &white}) {
        display->SetValue(entry.points);
        display->Update(0.0f);
        display->Render(&m, 0.0f);
    }
}
