// UI animation director and scenes: playing, looping, swinging, drawing, and driving windows.
#include "kv/KVDirector.h"
#include <helvane/XmlText.h>

#include "kv/KVEventArgs.h"
#include "kv/KVInterface.h"
#include "kv/KVRenderer.h"
#include "kv/KVString.h"
#include "kv/KVVisualEffect.h"
#include "kv/KVWnd.h"
#include "kv/KVWndDesc.h"

#include <helvane/Log.h>

#include <tinyxml.h>

#include <cmath>
#include <cstdio>

namespace kv {

// AnimationObject

void AnimationObject::Draw(float alpha)
{
    AnimDrawEventArgs args;
    args.object = this;
    args.alpha = alpha;
    FireEvent(EventAnimObjectDraw, args);
    if (args.handled || (type != kImage && type != kText) || !track || !scene)
        return;
    const std::wstring& directorName = scene->director ? scene->director->name : std::wstring();
    track->Draw(directorName, scene->name, link, alpha);
}

// KVAnimation

KVRect KVAnimation::LayoutRect(const AnimationObject& object) const
{
    if (object.type == AnimationObject::kPlayer)
        return {0, screen.right - screen.left, 0, screen.bottom - screen.top};
    return object.rect;
}

void KVAnimation::Start()
{
    if (objects.empty()) {
        finishedCount = 0;
        time = 0;
        playing = false;
        return;
    }
    for (AnimationObject& object : objects) {
        if (!object.track)
            continue;
        if (reversed)
            object.track->ResetBackward();
        else
            object.track->ResetForward();
    }
    time = reversed ? endTime / 1000.0f : 0;
    progress = reversed ? 1.0f : 0.0f;
    finishedCount = 0;
    playing = true;
}

void KVAnimation::Stop()
{
    time = 0;
    playing = false;
    reversed = kForward;
    finishedCount = 0;
    for (AnimationObject& object : objects)
        if (object.track)
            object.track->Stop();
    if (director) {
        EventArgs args;
        director->FireEvent(EventAnimFinished, args);
    }
}

void KVAnimation::GoToEnd()
{
    time = 0;
    playing = false;
    for (AnimationObject& object : objects)
        if (object.track)
            object.track->GoToEnd(LayoutRect(object));
    time = endTime / 1000.0f;
    progress = 1;
}

void KVAnimation::Update(float dt)
{
    if (!playing)
        return;
    if (finishedCount == static_cast<int32_t>(objects.size())) {
        if (!loop) {
            // The state is final before the event fires: a handler may delete this scene.
            playing = false;
            progress = 1;
            finishedCount = 0;
            if (director) {
                EventArgs args;
                director->FireEvent(EventAnimFinished, args);
            }
            return;
        }
        if (pendulum)
            reversed = reversed ? kForward : kBackward;
        Start();
    }
    uint32_t ms = static_cast<uint32_t>(std::trunc(time * 1000.0f + 0.5f));
    float span = endTime - startTime;
    progress = span > 0 ? (static_cast<float>(ms) - startTime) / span : 1.0f;
    finishedCount = 0;
    for (AnimationObject& object : objects) {
        // An object that no anim drives counts as finished, so its scene can still end.
        if (!object.track || !object.track->IsPlaying()) {
            ++finishedCount;
            continue;
        }
        if (reversed)
            object.track->StepBackward(ms, LayoutRect(object));
        else
            object.track->StepForward(ms, LayoutRect(object));
    }
    time += reversed ? -dt : dt;
    if (time < 0)
        time = 0;
}

void KVAnimation::Draw(float alpha)
{
    for (AnimationObject& object : objects)
        object.Draw(alpha);
}

void KVAnimation::UpdateMatrices()
{
    for (AnimationObject& object : objects)
        if (object.track)
            object.track->UpdateTransform(object.rect);
}

void KVAnimation::SetTransform(const KVRect& rect, const KVPoint& newScale)
{
    screen = rect;
    scale = newScale;
    for (AnimationObject& object : objects)
        if (object.track)
            object.track->SetTransform(rect, newScale);
}

AnimationObject* KVAnimation::FindObject(const std::wstring& objectName)
{
    for (AnimationObject& object : objects)
        if (object.name == objectName)
            return &object;
    return nullptr;
}

// KVDirector

KVDirector::~KVDirector()
{
    if (renderer)
        renderer->ReleaseAnimation(name);
    currentScene = nullptr;
    scenes.clear();
    m_modifiers.clear();
}

KVAnimation* KVDirector::FindScene(const std::wstring& sceneName)
{
    const std::wstring& wanted = sceneName.empty() ? name : sceneName;
    for (auto& scene : scenes)
        if (scene->name == wanted)
            return scene.get();
    return nullptr;
}

int32_t KVDirector::PlayScene(const std::wstring& sceneName)
{
    KVAnimation* scene = FindScene(sceneName);
    if (!scene)
        return 0;
    currentScene = scene;
    scene->Stop();
    scene->Start();
    return 1;
}

int32_t KVDirector::PlaySceneIndex(int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= scenes.size())
        return 0;
    currentScene = scenes[static_cast<size_t>(index)].get();
    currentScene->Start();
    return 1;
}

void KVDirector::SetTransform(const KVPoint& position, const KVPoint& scale)
{
    for (auto& scene : scenes)
        scene->SetTransform({position.x, position.x + scene->res.x, position.y, position.y + scene->res.y}, scale);
}

void KVDirector::UpdateMatrices()
{
    for (auto& scene : scenes)
        scene->UpdateMatrices();
}

int32_t KVDirector::LoadFile(const std::wstring& sceneName, const std::wstring& fileName)
{
    if (!iface)
        return kUnreadable;
    // The path goes through the narrow code page, as every file path does before it is opened.
    std::wstring path = NarrowToWide(WideToNarrow(iface->GetDataPath(false) + fileName).c_str());
    std::string bytes;
    if (ReadWholeFile(*iface, path, bytes) != KVReadResult::kRead)
        return kUnreadable;
    return ParseFile(bytes, sceneName);
}

KVAnimation* KVDirector::NewScene(const std::wstring& sceneName)
{
    auto scene = std::make_unique<KVAnimation>();
    scene->name = sceneName;
    scene->version = version;
    scene->director = this;
    scene->renderer = renderer;
    scene->iface = iface;
    scene->screen = {0, width, 0, height};
    scenes.push_back(std::move(scene));
    return scenes.back().get();
}

int32_t KVDirector::ParseFile(const std::string& bytes, const std::wstring& sceneName)
{
    TiXmlDocument document;
    ParseXmlText(document, bytes);
    if (document.Error())
        return kUnreadable;
    TiXmlElement* root = document.FirstChildElement("kvanimation");
    if (!root)
        return kUnreadable;
    const char* versionText = root->Attribute("version");
    int major = 0;
    int minor = 0;
    if (!versionText || std::sscanf(versionText, "%d.%d", &major, &minor) != 2)
        return kUnreadable;
    version = (static_cast<uint32_t>(major) << 16) | (static_cast<uint32_t>(minor) & 0xFFFF);

    constexpr uint32_t kLastSingleSceneVersion = 0x00010001;
    if (version <= kLastSingleSceneVersion) {
        NewScene(sceneName.empty() ? name : sceneName)->Read(root);
        return kLoaded;
    }
    TiXmlElement* sceneElement = root->FirstChildElement("scene");
    if (!sceneElement)
        return kNoScene;
    for (; sceneElement; sceneElement = sceneElement->NextSiblingElement("scene")) {
        const char* attr = sceneElement->Attribute("name");
        NewScene(sceneName.empty() ? Utf8ToWide(attr ? attr : "") : sceneName)->Read(sceneElement);
    }
    return kLoaded;
}

namespace {

// The alpha modifier a director puts on each window it drives; it tells the director when its
// window is destroyed.
class DirectorModifier final : public KVWindowModifier {
public:
    explicit DirectorModifier(KVDirector& director) : m_director(director) {}
    void OnWindowDestroyed(KVWnd* window) override { m_director.ForgetWindow(window); }

private:
    KVDirector& m_director;
};

} // namespace

KVWindowModifier* KVDirector::ModifierFor(KVWnd* target)
{
    auto it = m_modifiers.find(target);
    if (it != m_modifiers.end())
        return it->second.get();
    auto modifier = std::make_unique<DirectorModifier>(*this);
    modifier->SetName(L"AnimationWindowModifier");
    modifier->SetFactor(0);
    target->AddWindowModifier(modifier.get());
    return m_modifiers.emplace(target, std::move(modifier)).first->second.get();
}

void KVDirector::ForgetWindow(KVWnd* window)
{
    m_modifiers.erase(window);
}

void KVDirector::ApplyToWindow(const AnimationObject& object, KVWnd* target)
{
    const KVAnimKey k = object.track->Current();
    ModifierFor(target)->SetFactor(k.Value(KVAnimKey::kAlpha));
    if ((target->GetAnimationMask() & KVWnd::kAnimDrivesVisible) && target->IsVisible() != k.visible) {
        target->SetVisibleFlag(k.visible);
        target->SetEffectState(k.visible ? KVWnd::kShown : KVWnd::kHidden);
    }
    int32_t type = target->GetDescriptionType();
    if (type == kDescWndBase || type == kDescWndEx || type == kDescPicture) {
        float width = std::trunc(k.Value(KVAnimKey::kScaleX) * object.rect.right);
        float height = std::trunc(k.Value(KVAnimKey::kScaleY) * object.rect.bottom);
        if (width != target->GetWidth() || height != target->GetHeight()) {
            target->SetSize(width, height);
            target->OnResize(KVWnd::kSizeChanged);
        }
    }
    const KVPoint res = object.scene->res;
    const KVPoint base = target->GetLayoutPosition();
    target->SetAnimationOffset({std::trunc(k.Value(KVAnimKey::kPosX) * res.x + 0.5f - base.x),
                                std::trunc(k.Value(KVAnimKey::kPosY) * res.y + 0.5f - base.y)});
}

void KVDirector::Update(KVWnd* window, float dt)
{
    if (!currentScene || !currentScene->playing || !window)
        return;
    KVAnimation* scene = currentScene;
    scene->Update(dt);
    for (const AnimationObject& object : scene->objects) {
        if (!object.track)
            continue;
        KVWnd* target = object.name == window->GetName() ? window : window->FindChild(object.name);
        if (target)
            ApplyToWindow(object, target);
    }
}

void KVDirector::DetachModifiersFrom(KVWnd* window)
{
    // Only live windows are visited: the map may still name windows deleted since.
    if (!window)
        return;
    auto it = m_modifiers.find(window);
    if (it != m_modifiers.end())
        window->RemoveWindowModifier(it->second.get());
    for (int32_t i = 0; i < window->GetChildCount(); ++i)
        DetachModifiersFrom(window->GetChild(i));
}

} // namespace kv
