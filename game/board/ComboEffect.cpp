#include "board/ComboEffect.h"

#include "board/BoardSkin.h"

#include <algorithm>

namespace {
void LoadPlaying(AnimationPlayer& player, int skinIndex, const char* scene)
{
    std::string file = BoardSkinFile(skinIndex);
    if (!file.empty())
        player.Load(file);
    player.Play(scene);
}

D3DCOLOR ChannelByte(float channel, int shift)
{
    float c = std::clamp(channel, 0.0f, 1.0f);
    return static_cast<D3DCOLOR>(static_cast<int>(c * 255.0f + 0.5f)) << shift;
}
}

void ComboEffect::Load()
{
    if (m_bLoaded)
        return;
    LoadPlaying(m_Combo, kSkinEffectCombo, "combo");
    LoadPlaying(m_SCombo, kSkinEffectSCombo, "scombo");
    LoadPlaying(m_Break, kSkinEffectComboBreak, "brokencombo");
    m_Number.Create(3, kDigitComboEffect, 0, 0, 92, 0, 1);
    m_bLoaded = true;
}

void ComboEffect::Add(int combo, float x, float y)
{
    Load();
    if (!m_bEnable)
        return;
    m_Entries.push_back({combo, 0.0f, x, y});
}

void ComboEffect::Update(float seconds)
{
    const float length = m_Combo.GetLength();
    for (Entry& entry : m_Entries)
        entry.time += seconds;
    std::erase_if(m_Entries, [&](const Entry& entry) { return entry.time > length; });
}

AnimationScene* ComboEffect::SceneFor(const Entry& entry) const
{
    if (entry.combo > 0 && entry.combo % 10 == 0)
        return m_SCombo.m_pScene;
    if (entry.combo == -1)
        return m_Break.m_pScene;
    return nullptr;
}

void ComboEffect::Draw(const D3DXMATRIX* matrix)
{
    for (const Entry& entry : m_Entries) {
        AnimationScene* scene = SceneFor(entry);
        if (!scene)
            continue;
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, entry.x, entry.y, 0.0f);
        if (matrix)
            D3DXMatrixMultiply(&world, &world, matrix);
        scene->Draw(entry.time, &world, 0xFFFFFFFF, 0.0f, nullptr);
        AnimationTrack* track = scene->FindTrack("ani_S0_effect_combo_num");
        if (!track)
            continue;
        D3DXVECTOR3 at(0, 0, 0);
        track->GetTranslationInterval(entry.time, at);
        D3DXCOLOR colour(1, 1, 1, 1);
        track->GetColorInterval(entry.time, colour);
        m_Number.m_dwColour = ChannelByte(colour.a, 24) | ChannelByte(colour.r, 16) | ChannelByte(colour.g, 8) |
                              ChannelByte(colour.b, 0);
        m_Number.m_fX = entry.x + at.x;
        m_Number.m_fY = entry.y + at.y;
        m_Number.SetValue(entry.combo);
        m_Number.Update(0.0f);
        m_Number.Render(matrix, 0.0f);
    }
}
