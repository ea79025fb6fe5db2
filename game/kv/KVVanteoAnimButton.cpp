// Game animated button: deferred scene switching and its factory.
#include "kv/KVVanteoAnimButton.h"

#include "kv/KVDirector.h"
#include "kv/KVVisualEffect.h"

#include <new>

std::wstring AnimButtonStateName(int32_t stateNumber)
{
    return kv::KVAnimButton::StateName(stateNumber);
}

void KVVanteoAnimButton::ResetDefaults()
{
    KVAnimButton::ResetDefaults();
    m_pending = kNoTransient;
    m_wanted = kNormal;
    m_shown = kNormal;
}

void KVVanteoAnimButton::OnEnabledChanged(bool enabled)
{
    state = enabled ? kNormal : kDisabled;
    m_wanted = state;
}

void KVVanteoAnimButton::LButtonDown(kv::MouseEventArgs& args)
{
    KVButton::LButtonDown(args);
    m_wanted = state;
    m_pending = kNoTransient;
}

void KVVanteoAnimButton::LButtonUp(kv::MouseEventArgs& args)
{
    KVButton::LButtonUp(args);
    m_pending = kNoTransient;
    if (!stateLock)
        m_wanted = state;
}

void KVVanteoAnimButton::MouseEnter()
{
    KVButton::MouseEnter();
    if (stateLock)
        return;
    if (FindStateScene(kEntering) && state != kPressed) {
        m_pending = m_wanted = kEntering;
    } else {
        m_pending = kNoTransient;
        m_wanted = state;
    }
}

void KVVanteoAnimButton::MouseLeave()
{
    KVButton::MouseLeave();
    bool enabledUpTheChain = m_enabled && (!m_parent || m_parent->IsEnabledRecursive());
    if (stateLock || !enabledUpTheChain) {
        m_pending = kNoTransient;
        return;
    }
    m_pending = kLeaving;
    if (FindStateScene(kLeaving)) {
        m_wanted = kLeaving;
    } else {
        m_wanted = kNormal;
        m_pending = kNoTransient;
    }
}

void KVVanteoAnimButton::SetState(int32_t stateNumber)
{
    if (AnimButtonStateName(stateNumber).empty())
        return;
    m_wanted = m_requested = stateNumber;
}

bool KVVanteoAnimButton::IsScenePlaying(int32_t stateNumber) const
{
    kv::KVAnimation* scene = FindStateScene(stateNumber);
    return scene && scene->playing;
}

void KVVanteoAnimButton::Update(kv::UpdateEventArgs& args)
{
    if (m_director) {
        PlaceScenes();
        kv::KVAnimation* current = m_director->currentScene;
        // The scene now showing gives way only once it has ended, or at once when it loops.
        if (m_shown != m_wanted && (!current || !current->playing || current->loop)) {
            PlayStateScene(m_wanted);
            m_shown = m_wanted;
        }
        if (m_pending != kNoTransient && !IsScenePlaying(m_pending)) {
            m_pending = kNoTransient;
            m_wanted = state;
        }
        // A state asked for by SetState holds only while its scene plays.
        if (!IsScenePlaying(m_requested)) {
            m_wanted = state;
            m_requested = kPressed;
        }
        if (m_director->currentScene)
            m_director->currentScene->Update(args.dt);
    }
    KVWnd::Update(args);
}

kv::KVWnd* KVVanteoAnimButtonFactory::CreateWindow()
{
    return new (std::nothrow) KVVanteoAnimButton();
}

KVVanteoAnimButtonFactory& KVVanteoAnimButtonFactory::Instance()
{
    static KVVanteoAnimButtonFactory factory;
    return factory;
}
