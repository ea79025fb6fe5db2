// Animated button: state scenes, the enter and leave transients, and drawing the current scene.
#include "kv/KVAnimButton.h"

#include "kv/KVDirector.h"
#include "kv/KVSystem.h"
#include "kv/KVVisualEffect.h"
#include "kv/KVWndDesc.h"

#include <iterator>

namespace kv {

KVAnimButton::~KVAnimButton()
{
    delete m_director;
}

std::wstring KVAnimButton::StateName(int32_t stateNumber)
{
    static const wchar_t* const kNames[] = {L"NORMAL", L"DOWN", L"OVER", L"DISABLE", L"ENTER", L"LEAVE"};
    if (stateNumber < 0 || stateNumber >= static_cast<int32_t>(std::size(kNames)))
        return std::wstring();
    return kNames[stateNumber];
}

void KVAnimButton::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVButton::ApplyBase(description, parent);
    if (auto* anim = dynamic_cast<AnimButtonBase*>(description)) {
        m_enterFile = anim->enterState;
        m_leaveFile = anim->leaveState;
        m_group = anim->isGroup;
    }
}

void KVAnimButton::ResetDefaults()
{
    KVWnd::ResetDefaults();
    ResetButtonState();
    delete m_director;
    m_director = new KVDirector;
    m_transient = kNoTransient;
}

void KVAnimButton::LoadAnimationFile(const std::wstring& file, const std::wstring& sceneName)
{
    if (file.empty() || !m_director)
        return;
    m_director->name = m_uniqueId + L".AnimButton";
    m_director->renderer = g_pKVRenderer;
    m_director->iface = g_pKVInterface;
    m_director->width = m_width;
    m_director->height = m_height;
    m_director->LoadFile(sceneName, file);
}

void KVAnimButton::LoadAssets()
{
    if (m_group) {
        LoadAnimationFile(m_normalImage, L"");
    } else {
        LoadAnimationFile(m_normalImage, L"NORMAL");
        LoadAnimationFile(m_pressedImage, L"DOWN");
        LoadAnimationFile(m_overImage, L"OVER");
        LoadAnimationFile(m_disabledImage, L"DISABLE");
        LoadAnimationFile(m_enterFile, L"ENTER");
        LoadAnimationFile(m_leaveFile, L"LEAVE");
    }
    PlayStateScene(state);
}

void KVAnimButton::ReleaseAssets()
{
    ReleaseDirector();
}

void KVAnimButton::ReleaseDirector()
{
    delete m_director;
    m_director = nullptr;
}

int32_t KVAnimButton::SetDirector(KVDirector* director)
{
    if (!director)
        return 0;
    ReleaseDirector();
    m_director = director;
    PlayStateScene(state);
    return 1;
}

void KVAnimButton::LoadAnimation(const std::wstring& file)
{
    ReleaseDirector();
    m_director = new KVDirector;
    LoadAnimationFile(file, L"");
    PlayStateScene(state);
}

KVAnimation* KVAnimButton::FindStateScene(int32_t stateNumber) const
{
    return m_director ? m_director->FindScene(StateName(stateNumber)) : nullptr;
}

void KVAnimButton::Restart(KVAnimation* scene)
{
    m_director->currentScene = scene;
    scene->Stop();
    scene->Start();
}

void KVAnimButton::PlayStateScene(int32_t stateNumber)
{
    if (KVAnimation* scene = FindStateScene(stateNumber))
        Restart(scene);
}

void KVAnimButton::ApplyState()
{
    PlayStateScene(state);
    m_transient = kNoTransient;
}

void KVAnimButton::OnEnabledChanged(bool enabled)
{
    state = enabled ? kNormal : kDisabled;
    PlayStateScene(state);
}

void KVAnimButton::LButtonDown(MouseEventArgs& args)
{
    KVButton::LButtonDown(args);
    if (!stateLock)
        PlayStateScene(state);
    m_transient = kNoTransient;
}

void KVAnimButton::LButtonUp(MouseEventArgs& args)
{
    KVButton::LButtonUp(args);
    if (!stateLock) {
        PlayStateScene(state);
        // The release shows where the state's animation ends rather than playing it again.
        KVAnimation* scene = FindStateScene(state);
        if (scene && !scene->loop)
            scene->GoToEnd();
    }
    m_transient = kNoTransient;
}

void KVAnimButton::MouseEnter()
{
    KVButton::MouseEnter();
    if (stateLock)
        return;
    m_transient = kEntering;
    KVAnimation* enter = FindStateScene(kEntering);
    if (enter && state != kPressed) {
        Restart(enter);
    } else {
        m_transient = kNoTransient;
        PlayStateScene(state);
    }
}

bool KVAnimButton::IsEnabledUpTheChain() const
{
    return m_enabled && (!m_parent || m_parent->IsEnabledRecursive());
}

void KVAnimButton::MouseLeave()
{
    KVButton::MouseLeave();
    if (stateLock || !IsEnabledUpTheChain()) {
        m_transient = kNoTransient;
        return;
    }
    m_transient = kLeaving;
    if (KVAnimation* leave = FindStateScene(kLeaving)) {
        Restart(leave);
    } else {
        m_transient = kNoTransient;
        PlayStateScene(state);
    }
}

void KVAnimButton::Update(UpdateEventArgs& args)
{
    if (m_transient != kNoTransient) {
        KVAnimation* scene = FindStateScene(m_transient);
        if (!scene || !scene->playing) {
            m_transient = kNoTransient;
            PlayStateScene(state);
        }
    }
    if (m_director && m_director->currentScene)
        m_director->currentScene->Update(args.dt);
    KVWnd::Update(args);
}

void KVAnimButton::PlaceScenes()
{
    m_director->SetTransform(GetAbsolutePosition(), {m_scaleX, m_scaleY});
    m_director->UpdateMatrices();
}

void KVAnimButton::OnDraw()
{
    if (!m_director)
        return;
    PlaceScenes();
    if (m_director->currentScene)
        m_director->currentScene->Draw(GetEffectiveAlpha());
}

} // namespace kv
