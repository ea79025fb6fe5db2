#include "engine/BlockClickEffect.h"

#include "engine/PlayerSettings.h"

#include <algorithm>

void BlockClickEffect::LoadAnimations()
{
    const std::string file = GetSkinFileName(kSkinMouseCursorEffect);
    for (AnimationPlayer& player : m_Players)
        player.Load(file);
    m_Players[kCombo].Play("combo");
    m_Players[kStamp].Play("stamp");
}

void BlockClickEffect::Add(int which, float x, float y)
{
    if (which != kCombo && which != kStamp)
        return;
    m_Entries.push_back({which, 0.0f, x, y});
}

void BlockClickEffect::Update(float seconds)
{
    for (Entry& entry : m_Entries)
        entry.time += seconds;
    std::erase_if(m_Entries, [&](const Entry& entry) { return entry.time > m_Players[entry.which].GetLength(); });
}

void BlockClickEffect::Draw(const D3DXMATRIX* matrix)
{
    for (const Entry& entry : m_Entries) {
        AnimationScene* scene = m_Players[entry.which].m_pScene;
        if (!scene)
            continue;
        DrawSceneAt(*scene, entry.time, entry.x, entry.y, matrix);
    }
}
