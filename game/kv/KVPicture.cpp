// Picture: a still image in the window's renderer group, or an animation director of its own
// that follows the picture's position.
#include "kv/KVPicture.h"

#include "kv/KVDirector.h"
#include "kv/KVRenderer.h"
#include "kv/KVSystem.h"
#include "kv/KVVisualEffect.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

namespace kv {

KVPicture::~KVPicture()
{
    delete m_pictureDirector;
}

void KVPicture::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    if (auto* picture = dynamic_cast<PictureBase*>(description)) {
        m_path = picture->path;
        m_static = picture->isStatic;
    }
}

void KVPicture::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVPicture::Destroy()
{
    delete m_pictureDirector;
    m_pictureDirector = nullptr;
    KVWnd::Destroy();
}

void KVPicture::ResetDefaults()
{
    KVWnd::ResetDefaults();
    delete m_pictureDirector;
    m_pictureDirector = nullptr;
}

void KVPicture::LoadAssets()
{
    if (m_static) {
        if (KVRenderer* renderer = g_pKVRenderer)
            renderer->AddImage(m_uniqueId, m_path, {m_pos.x + m_animOffset.x, m_pos.y + m_animOffset.y},
                               {0, m_width, 0, m_height});
        return;
    }
    delete m_pictureDirector;
    m_pictureDirector = new KVDirector;
    m_pictureDirector->name = m_uniqueId + L".ANIMPICTURE";
    m_pictureDirector->renderer = g_pKVRenderer;
    m_pictureDirector->iface = g_pKVInterface;
    m_pictureDirector->width = m_width;
    m_pictureDirector->height = m_height;
    m_pictureDirector->LoadFile(L"", m_path);
    m_pictureDirector->SetTransform(GetAbsolutePosition(), {1, 1});
    m_pictureDirector->PlaySceneIndex(0);
}

void KVPicture::PlaceScenes()
{
    m_pictureDirector->SetTransform(GetAbsolutePosition(), {1, 1});
    m_pictureDirector->UpdateMatrices();
}

void KVPicture::OnResize(int32_t flags)
{
    KVWnd::OnResize(flags);
    if (flags & kPositionChanged) {
        if (m_pictureDirector)
            PlaceScenes();
    } else if (flags & kSizeChanged) {
        if (KVRenderer* renderer = g_pKVRenderer)
            renderer->SetImageSize(m_uniqueId, 0, m_width, m_height);
    }
}

void KVPicture::Update(UpdateEventArgs& args)
{
    bool shown = m_visible && !m_hiding && (!m_parent || m_parent->IsShownRecursive());
    if (shown && m_pictureDirector) {
        PlaceScenes();
        if (!m_static && m_pictureDirector->currentScene)
            m_pictureDirector->currentScene->Update(args.dt);
    }
    KVWnd::Update(args);
}

void KVPicture::OnDraw()
{
    if (m_static) {
        if (KVRenderer* renderer = g_pKVRenderer)
            renderer->DrawImage(m_uniqueId, 0, GetAbsolutePosition(), GetEffectiveAlpha(), {m_scaleX, m_scaleY},
                                m_rotation, {0, 0});
        return;
    }
    if (m_pictureDirector && m_pictureDirector->currentScene)
        m_pictureDirector->currentScene->Draw(GetEffectiveAlpha());
}

void KVPicture::PlayScene(const std::wstring& name)
{
    if (!m_pictureDirector)
        return;
    if (name.empty()) {
        m_pictureDirector->PlaySceneIndex(0);
        return;
    }
    KVAnimation* scene = m_pictureDirector->FindScene(name);
    if (!scene)
        return;
    m_pictureDirector->currentScene = scene;
    scene->Stop();
    scene->Start();
}

bool KVPicture::IsScenePlaying() const
{
    return m_pictureDirector && m_pictureDirector->currentScene && m_pictureDirector->currentScene->playing;
}

} // namespace kv
