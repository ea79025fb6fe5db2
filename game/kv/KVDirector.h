// UI animation: a director loads "kvanimation" files, keeps their scenes, knows the current one,
// and advances and draws it. Image and text objects of a scene are drawn through the renderer;
// window objects drive the window of the same name in the owner's window tree (its animation
// offset, size, visibility and an alpha factor).
#pragma once

#include "kv/KVAnimFrame.h"
#include "kv/KVObject.h"
#include "kv/KVTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TiXmlElement;

namespace kv {

class KVRenderer;
class KVInterface;
class KVWnd;
class KVWindowModifier;
class KVDirector;
class KVAnimation;

class AnimationObject : public KVEventHandler {
public:
    enum Type : int32_t { kImage = 0, kUI = 1, kText = 2, kPlayer = 3, kOwner = 4 };

    // Fires "Draw" on the object; unless a handler marks it handled, image and text objects draw
    // their track through the renderer.
    void Draw(float alpha);

    std::wstring name;
    int32_t type = kImage;
    std::wstring ani;
    std::wstring link;
    KVRect rect;
    KVAnimFrame* track = nullptr;
    KVAnimation* scene = nullptr;
};

class KVAnimation : public KVEventHandler {
public:
    static constexpr uint32_t kForward = 0;
    static constexpr uint32_t kBackward = 1;

    KVAnimation() = default;
    KVAnimation(const KVAnimation&) = delete;
    KVAnimation& operator=(const KVAnimation&) = delete;

    void Start();
    void Stop();
    void GoToEnd();
    void Update(float dt);
    void Draw(float alpha);
    void UpdateMatrices();
    void SetTransform(const KVRect& rect, const KVPoint& scale);
    AnimationObject* FindObject(const std::wstring& objectName);

    // Reads the scene's assets, params, objects and anims, in that order.
    void Read(TiXmlElement* sceneElement);

    std::wstring name = L"KVAnimation";
    uint32_t version = 0;
    KVDirector* director = nullptr;
    KVRenderer* renderer = nullptr;
    KVInterface* iface = nullptr;
    float time = 0;
    int32_t finishedCount = 0;
    bool playing = false;
    bool loop = false;
    bool pendulum = false;
    uint32_t reversed = kForward;
    KVPoint scale{1, 1};
    KVRect screen;
    KVPoint res{1, 1};
    float startTime = 0;
    float endTime = 0;
    float progress = 0;
    std::vector<AnimationObject> objects;
    std::map<std::wstring, KVAnimFrame*> tracks;

private:
    // The rectangle a track lays out in: the object's own, or the screen's for a player object.
    KVRect LayoutRect(const AnimationObject& object) const;
    void ReadAsset(TiXmlElement* asset);
    void ReadParam(TiXmlElement* param);
    bool ReadObject(TiXmlElement* object);
    void ReadAnim(TiXmlElement* anim);
    void ReadFrame(TiXmlElement* frame, KVAnimFrame& track);
    void ReadChannel(TiXmlElement* frame, KVAnimFrame& track, KVAnimKey& key);

    std::vector<std::unique_ptr<KVAnimFrame>> m_ownedTracks;
};

class KVDirector : public KVEventHandler {
public:
    enum LoadResult : int32_t { kNoScene = 0, kLoaded = 1, kUnreadable = 2 };

    KVDirector() = default;
    ~KVDirector() override;
    KVDirector(const KVDirector&) = delete;
    KVDirector& operator=(const KVDirector&) = delete;

    int32_t LoadFile(const std::wstring& sceneName, const std::wstring& fileName);
    // An empty name stands for the director's own name.
    KVAnimation* FindScene(const std::wstring& sceneName);
    int32_t PlayScene(const std::wstring& sceneName);
    int32_t PlaySceneIndex(int32_t index);
    KVAnimation* GetFirstScene() { return scenes.empty() ? nullptr : scenes.front().get(); }
    void SetTransform(const KVPoint& position, const KVPoint& scale);
    void UpdateMatrices();
    // Advances the current scene and applies its window objects to the window and its subtree.
    void Update(KVWnd* window, float dt);
    // Removes this director's modifiers from the window and every window below it.
    void DetachModifiersFrom(KVWnd* window);
    // Drops the modifier kept for a window that is being destroyed, so a later window at the
    // same address gets a modifier of its own.
    void ForgetWindow(KVWnd* window);

    std::vector<std::unique_ptr<KVAnimation>> scenes;
    std::wstring name = L"Director";
    uint32_t version = 0;
    KVRenderer* renderer = nullptr;
    KVInterface* iface = nullptr;
    KVAnimation* currentScene = nullptr;
    float width = 0;
    float height = 0;

private:
    int32_t ParseFile(const std::string& bytes, const std::wstring& sceneName);
    KVAnimation* NewScene(const std::wstring& sceneName);
    void ApplyToWindow(const AnimationObject& object, KVWnd* target);
    KVWindowModifier* ModifierFor(KVWnd* target);

    std::map<KVWnd*, std::unique_ptr<KVWindowModifier>> m_modifiers;
};

} // namespace kv
