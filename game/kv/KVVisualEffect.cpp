// Show/hide effects.
#include "kv/KVVisualEffect.h"

#include "kv/KVDirector.h"
#include "kv/KVWnd.h"

#include <algorithm>

namespace kv {

KVVisualEffect* CreateVisualEffect(int32_t type)
{
    switch (type) {
    case KVVisualEffect::kDefault:
        return new KVVisualEffectDefault;
    case KVVisualEffect::kFade:
        return new KVVisualEffectFade;
    case KVVisualEffect::kAnim:
        return new KVVisualEffectAnim;
    default:
        return nullptr;
    }
}

void KVVisualEffectDefault::Start(KVWnd& window)
{
    if (window.GetEffectState() == KVWnd::kOpening)
        window.SetEffectState(KVWnd::kShown);
    else if (window.GetEffectState() == KVWnd::kClosing)
        window.SetEffectState(KVWnd::kHidden);
}

void KVVisualEffectFade::Start(KVWnd& window)
{
    m_elapsed = 0;
    if (window.GetEffectState() == KVWnd::kOpening)
        window.SetAlpha(0);
}

void KVVisualEffectFade::Update(KVWnd& window, float dt)
{
    m_elapsed = std::min(m_elapsed + dt, kDuration);
    if (window.GetEffectState() == KVWnd::kOpening) {
        float a = m_elapsed / kDuration;
        window.SetAlpha(a);
        if (a >= 1)
            window.SetEffectState(KVWnd::kShown);
    } else if (window.GetEffectState() == KVWnd::kClosing) {
        float a = 1 - m_elapsed / kDuration;
        window.SetAlpha(a);
        if (a <= 0)
            window.SetEffectState(KVWnd::kHidden);
    }
}

namespace {

// Makes the named scene current and restarts it; false when the director has no such scene.
bool RestartScene(KVDirector* director, const wchar_t* name)
{
    KVAnimation* scene = director ? director->FindScene(name) : nullptr;
    if (!scene)
        return false;
    director->currentScene = scene;
    scene->Stop();
    scene->Start();
    return true;
}

} // namespace

void KVVisualEffectAnim::Start(KVWnd& window)
{
    KVDirector* director = window.GetDirector();
    if (window.GetEffectState() == KVWnd::kOpening) {
        if (RestartScene(director, L"_Opening_"))
            director->Update(&window, 0);
        else
            window.SetEffectState(KVWnd::kShown);
    } else if (window.GetEffectState() == KVWnd::kClosing) {
        if (!RestartScene(director, L"_Closing_"))
            window.SetEffectState(KVWnd::kHidden);
    }
}

void KVVisualEffectAnim::Update(KVWnd& window, float)
{
    KVDirector* director = window.GetDirector();
    bool finished = !director || !director->currentScene || !director->currentScene->playing;
    if (!finished)
        return;
    if (window.GetEffectState() == KVWnd::kOpening)
        window.SetEffectState(KVWnd::kShown);
    else if (window.GetEffectState() == KVWnd::kClosing)
        window.SetEffectState(KVWnd::kHidden);
}

} // namespace kv
