#include "engine/AnimationPlayer.h"

AnimationPlayer::AnimationPlayer()
{
    D3DXMatrixIdentity(&m_matWorld);
}

bool AnimationPlayer::Load(const std::string& fileName)
{
    AnimationSet* set = AnimationLibrary::Get(fileName);
    if (!set)
        return false;
    m_pSet = set;
    m_pScene = set->FindScene("NORMAL");
    m_strScene = "NORMAL";
    m_fTime = 0.0f;
    return true;
}

bool AnimationPlayer::IsRunning() const
{
    return m_pScene && (m_fTime < m_pScene->GetLength() || m_pScene->GetLength() == 0.0f);
}

void AnimationPlayer::Play(const std::string& name, const char* next)
{
    if (m_strScene == name && IsRunning())
        return;
    if (!m_pSet)
        return;
    AnimationScene* scene = m_pSet->FindScene(name);
    if (!scene) {
        if (next)
            Play(next, nullptr);
        return;
    }
    m_pScene = scene;
    m_strScene = name;
    m_strNextScene = next ? next : "";
    m_fTime = 0.0f;
    m_bPlaying = true;
}

float AnimationPlayer::Wrap(float time, float length)
{
    if (length <= 0.0f)
        return 0.0f;
    while (time > length)
        time -= length;
    return time;
}

void AnimationPlayer::Update(float seconds)
{
    if (!m_pSet || !m_pScene)
        return;
    m_fTime += seconds;
    const float length = m_pScene->GetLength();
    if (!(m_fTime > length))
        return;

    if (!m_strNextScene.empty()) {
        if (m_strScene != m_strNextScene) {
            AnimationScene* next = m_pSet->FindScene(m_strNextScene);
            if (!next) {
                // A follow-up the set lacks: the scene stays on its last frame.
                m_strNextScene.clear();
                m_fTime = length;
                m_bPlaying = false;
                return;
            }
            m_pScene = next;
            m_strScene = m_strNextScene;
        }
        m_fTime = Wrap(m_fTime, length);
        if (m_pScene->GetLength() == 0.0f)
            m_fTime = 0.0f;
        return;
    }
    if (!m_bLoop) {
        m_bPlaying = false;
        m_fTime = length;
        return;
    }
    m_fTime = Wrap(m_fTime, length);
}

void AnimationPlayer::Draw(const D3DXMATRIX* matrix, D3DCOLOR colour, float rotation, const D3DXVECTOR3* scale)
{
    if (!m_bVisible || !m_pScene)
        return;
    m_pScene->Draw(m_fTime, matrix ? matrix : &m_matWorld, colour, rotation, scale ? scale : &m_vScale);
}

void AnimationPlayer::Clear()
{
    m_pScene = nullptr;
    m_strScene.clear();
    m_strNextScene.clear();
    m_fTime = 0.0f;
}

float AnimationPlayer::GetLength() const
{
    return m_pScene ? m_pScene->GetLength() : 0.0f;
}

void AnimationPlayer::GetSize(int* x, int* y) const
{
    *x = m_pScene ? m_pScene->m_nResX : 0;
    *y = m_pScene ? m_pScene->m_nResY : 0;
}

AnimationScene* AnimationPlayer::GetScene(const std::string& name) const
{
    return m_pSet ? m_pSet->FindScene(name) : nullptr;
}

LocusKeyTRSC* AnimationPlayer::GetTrack(const std::string& sceneName, const std::string& trackName) const
{
    AnimationScene* scene = GetScene(sceneName);
    return scene ? scene->FindTrack(trackName) : nullptr;
}
