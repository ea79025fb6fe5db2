#include "board/BlockClearEffect.h"

#include "board/Block.h"
#include "board/BoardSkin.h"

#include <algorithm>

void BlockClearEffect::LoadAnimations()
{
    for (int row = 0; row < 2; ++row)
        for (int kind = 1; kind <= 7; ++kind) {
            AnimationPlayer& player = m_Players[row][kind];
            LoadSkinPlayer(player, (row ? kSkinBlockLarge : kSkinBlockSmall) + kind - 1);
            player.Play("DISABLE");
        }
}

void BlockClearEffect::Add(int row, int kind, float x, float y)
{
    if ((row != 0 && row != 1) || !IsBlockKind(kind))
        return;
    m_Entries.push_back({row, kind, 0.0f, x, y});
}

void BlockClearEffect::Update(float seconds)
{
    for (Entry& entry : m_Entries)
        entry.time += seconds;
    std::erase_if(m_Entries,
                  [&](const Entry& entry) { return entry.time > m_Players[entry.row][entry.kind].GetLength(); });
}

void BlockClearEffect::Draw(const D3DXMATRIX* matrix)
{
    for (const Entry& entry : m_Entries) {
        AnimationScene* scene = m_Players[entry.row][entry.kind].m_pScene;
        if (!scene)
            continue;
        DrawSceneAt(*scene, entry.time, entry.x, entry.y, matrix);
    }
}
