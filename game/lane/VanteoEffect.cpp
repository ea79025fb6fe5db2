#include "lane/VanteoEffect.h"

#include "lane/LaneAssets.h"
#include "engine/PlayerSettings.h"

#include <algorithm>

void VanteoEffect::Add(float x, float y)
{
    if (!m_bLoaded) {
        m_bLoaded = true;
        m_Player.Load(GetSkinFileName(LaneSkin::kVanteoEffect));
        m_Player.Play("effect_pluck");
    }
    m_Entries.push_back({0.0f, x, y});
}

void VanteoEffect::Update(float seconds)
{
    const float length = m_Player.GetLength();
    for (Entry& entry : m_Entries)
        entry.time += seconds;
    std::erase_if(m_Entries, [&](const Entry& entry) { return entry.time > length; });
}

void VanteoEffect::Draw(const D3DXMATRIX* matrix)
{
    AnimationScene* scene = m_Player.m_pScene;
    if (!scene)
        return;
    for (const Entry& entry : m_Entries) {
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, entry.x, entry.y, 0.0f);
        if (matrix)
            D3DXMatrixMultiply(&world, &world, matrix);
        scene->Draw(entry.time, &world, 0xFFFFFFFF, 0.0f, nullptr);
    }
}

void VanteoEffect::Clear()
{
    m_Entries.clear();
    m_bLoaded = false;
    m_Player.Clear();
}
