#include "engine/AnimationSet.h"
#include <helvane/XmlText.h>

#include "engine/RenderBackend.h"

#include <helvane/ResourceFileManager.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <tinyxml.h>

#include <cstdio>

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kColourScale = 0.003921569f;
constexpr float kInvisibleAlpha = 0.00390625f;

// The file name with its extension, without any folder.
std::string BareFileName(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The "val" of the frame's first child of that name, or the fallback when there is none.
float Channel(const TiXmlElement& frame, const char* name, float fallback)
{
    const TiXmlElement* channel = frame.FirstChildElement(name);
    double value = 0.0;
    if (!channel || channel->QueryDoubleAttribute("val", &value) != TIXML_SUCCESS)
        return fallback;
    return static_cast<float>(value);
}

uint8_t ColourByte(float value)
{
    if (value >= 1.0f)
        return 255;
    if (value <= 0.0f)
        return 0;
    return static_cast<uint8_t>(value * 255.0f + 0.5f);
}

// Asset name -> image file, and anim name -> the image its object draws.
using NameMap = std::map<std::string, std::string>;

NameMap ReadAssets(const TiXmlElement& scene)
{
    NameMap assets;
    for (const TiXmlElement* asset = scene.FirstChildElement("asset"); asset; asset = asset->NextSiblingElement("asset")) {
        const char* name = asset->Attribute("name");
        if (!name)
            continue;
        const char* path = asset->Attribute("path");
        assets[name] = path ? BareFileName(path) : std::string();
    }
    return assets;
}

NameMap BindAnims(const TiXmlElement& scene, const NameMap& assets)
{
    NameMap anims;
    for (const TiXmlElement* object = scene.FirstChildElement("object"); object;
         object = object->NextSiblingElement("object")) {
        const char* ani = object->Attribute("ani");
        const TiXmlElement* asset = object->FirstChildElement("asset");
        if (!ani || !asset)
            continue;
        const char* link = asset->Attribute("link");
        if (!link)
            continue;
        auto found = assets.find(link);
        if (found != assets.end())
            anims[ani] = found->second;
    }
    return anims;
}

void ReadParams(const TiXmlElement& sceneElement, AnimationScene& scene)
{
    for (const TiXmlElement* param = sceneElement.FirstChildElement("param"); param;
         param = param->NextSiblingElement("param")) {
        const char* type = param->Attribute("type");
        if (!type)
            continue;
        if (std::string(type) == "RES") {
            param->QueryIntAttribute("x", &scene.m_nResX);
            param->QueryIntAttribute("y", &scene.m_nResY);
        } else if (std::string(type) == "LOOP") {
            int pendulum = 0;
            if (param->QueryIntAttribute("pendulum", &pendulum) == TIXML_SUCCESS && pendulum != 0)
                scene.m_bPendulum = 1;
        }
    }
}

// Adds one frame's keys. Channels a frame leaves out take the format's defaults.
void AddFrameKeys(const TiXmlElement& frame, float t, float unitX, float unitY, AnimationTrack& track)
{
    D3DXVECTOR3 translation(Channel(frame, "posx", 0.0f) * unitX, Channel(frame, "posy", 0.0f) * unitY, 0.0f);
    D3DXVECTOR3 rotation(0.0f, 0.0f, Channel(frame, "rotate", 0.0f) * kDegreesToRadians);
    D3DXVECTOR3 scale(Channel(frame, "scalex", 1.0f), Channel(frame, "scaley", 1.0f), 1.0f);
    D3DXVECTOR3 centre(Channel(frame, "centerx", 0.5f), Channel(frame, "centery", 0.5f), 1.0f);
    D3DXCOLOR colour(1.0f, 1.0f, 1.0f, Channel(frame, "alpha", 1.0f));
    track.AddTranslationKey(t, translation);
    track.AddRotationKey(t, rotation);
    track.AddScaleKey(t, scale);
    track.AddCenterKey(t, centre);
    track.AddColorKey(t, colour);
    const TiXmlElement* visible = frame.FirstChildElement("visible");
    int visibleValue = 0;
    if (visible && visible->QueryIntAttribute("val", &visibleValue) == TIXML_SUCCESS)
        track.AddVisibleKey(t, visibleValue);
}

} // namespace

std::unique_ptr<AnimationScene> AnimationSet::ParseScene(const TiXmlElement& sceneElement) const
{
    auto scene = std::make_unique<AnimationScene>();
    NameMap anims = BindAnims(sceneElement, ReadAssets(sceneElement));
    ReadParams(sceneElement, *scene);

    RenderBackend& renderer = GetRenderBackend();
    float length = -10000.0f;
    for (const TiXmlElement* anim = sceneElement.FirstChildElement("anim"); anim; anim = anim->NextSiblingElement("anim")) {
        const char* name = anim->Attribute("name");
        auto bound = name ? anims.find(name) : anims.end();
        if (bound == anims.end())
            continue;
        auto track = std::make_unique<AnimationTrack>();
        track->m_strName = name;
        track->m_nTexture = renderer.GetTextureHandle(bound->second.c_str(), true);
        renderer.GetTextureSize(track->m_nTexture, &track->m_nTextureWidth, &track->m_nTextureHeight);
        bool useRes = scene->m_nResX != 0 && scene->m_nResY != 0;
        float unitX = static_cast<float>(useRes ? scene->m_nResX : track->m_nTextureWidth);
        float unitY = static_cast<float>(useRes ? scene->m_nResY : track->m_nTextureHeight);

        for (const TiXmlElement* frame = anim->FirstChildElement("frame"); frame;
             frame = frame->NextSiblingElement("frame")) {
            int cnt = 0;
            if (frame->QueryIntAttribute("cnt", &cnt) != TIXML_SUCCESS)
                continue;
            float t = static_cast<float>(cnt) / 1000.0f;
            length = std::max(length, t);
            AddFrameKeys(*frame, t, unitX, unitY, *track);
        }
        scene->m_Tracks.push_back(std::move(track));
    }

    // A scene whose anims have no frames has no length at all.
    length = std::max(length, 0.0f);
    if (scene->m_bPendulum)
        length *= 2.0f;
    scene->m_fLength = length;
    for (auto& track : scene->m_Tracks) {
        track->SetMaxTime(length);
        // Build and sort every track now, on the loading thread: sampling is then read-only,
        // so players on the main thread never race with a load.
        stAnimDrawInfo primed{};
        track->GetAnimationInterval(0.0f, primed);
        track->IsVisible(0.0f);
    }
    return scene;
}

bool AnimationSet::Load(const std::string& key)
{
    m_strKey = key;
    const wchar_t* path = singleton<CResourceFileManager>::GetSingleton().GetFullPathNameW(platform::Widen(key), kResourceData);
    if (!path)
        return false;
    std::string bytes;
    if (!platform::ReadWholeFile(platform::Narrow(path), bytes, platform::kMaxXmlFileBytes))
        return false;
    TiXmlDocument document;
    ParseXmlText(document, bytes);
    if (document.Error())
        return false;

    const TiXmlElement* root = document.RootElement();
    if (!root || std::string(root->Value()) != "kvanimation")
        return false;
    const char* version = root->Attribute("version");
    int major = 0;
    int minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2)
        return false;
    uint32_t packed = (static_cast<uint32_t>(major) << 16) | (static_cast<uint32_t>(minor) & 0xFFFF);
    // Files before 1.2 hold no sprite scenes this reader understands.
    if (packed <= 65537u)
        return true;

    for (const TiXmlElement* sceneElement = root->FirstChildElement("scene"); sceneElement;
         sceneElement = sceneElement->NextSiblingElement("scene")) {
        const char* name = sceneElement->Attribute("name");
        if (!name)
            continue;
        std::unique_ptr<AnimationScene> scene = ParseScene(*sceneElement);
        if (!scene->m_Tracks.empty())
            m_Scenes[name] = std::move(scene);
    }
    return true;
}

AnimationScene* AnimationSet::FindScene(const std::string& name) const
{
    auto found = m_Scenes.find(name);
    return found == m_Scenes.end() ? nullptr : found->second.get();
}

AnimationTrack* AnimationScene::FindTrack(const std::string& name) const
{
    for (const auto& track : m_Tracks)
        if (track->m_strName == name)
            return track.get();
    return nullptr;
}

void AnimationScene::Draw(float time, const D3DXMATRIX* matrix, D3DCOLOR colour, float rotation,
                          const D3DXVECTOR3* scale) const
{
    DrawTracks(time, matrix, colour, rotation, scale, false);
}

void AnimationScene::DrawSorted(float time, const D3DXMATRIX* matrix, D3DCOLOR colour, float rotation,
                                const D3DXVECTOR3* scale) const
{
    DrawTracks(time, matrix, colour, rotation, scale, true);
}

void AnimationScene::DrawTracks(float time, const D3DXMATRIX* matrix, D3DCOLOR colour, float rotation,
                                const D3DXVECTOR3* scale, bool sorted) const
{
    const float red = static_cast<float>((colour >> 16) & 0xFF) * kColourScale;
    const float green = static_cast<float>((colour >> 8) & 0xFF) * kColourScale;
    const float blue = static_cast<float>(colour & 0xFF) * kColourScale;
    const float alpha = static_cast<float>(colour >> 24) * kColourScale;
    RenderBackend& renderer = GetRenderBackend();

    for (const auto& track : m_Tracks) {
        float t = time;
        // A pendulum scene plays its second half backward.
        const float half = m_fLength * 0.5f;
        if (m_bPendulum && t > half)
            t = half - (t - half);
        if (!track->IsVisible(t))
            continue;
        stAnimDrawInfo state{};
        track->GetAnimationInterval(t, state);
        float r = state.r * red;
        float g = state.g * green;
        float b = state.b * blue;
        float a = state.a * alpha;
        if (a < kInvisibleAlpha)
            continue;

        float centreX = state.cx * static_cast<float>(track->m_nTextureWidth);
        float centreY = state.cy * static_cast<float>(track->m_nTextureHeight);
        if (scale) {
            state.sx *= scale->x;
            state.sy *= scale->y;
            state.sz *= scale->z;
        }
        D3DXMATRIX world;
        D3DXMATRIX step;
        D3DXMatrixTranslation(&world, -centreX, -centreY, 0.0f);
        D3DXMatrixRotationYawPitchRoll(&step, state.rx, state.ry, state.rz + rotation);
        D3DXMatrixMultiply(&world, &world, &step);
        D3DXMatrixScaling(&step, state.sx, state.sy, state.sz);
        D3DXMatrixMultiply(&world, &world, &step);
        D3DXMatrixTranslation(&step, state.tx, state.ty, state.tz);
        D3DXMatrixMultiply(&world, &world, &step);
        if (matrix)
            D3DXMatrixMultiply(&world, &world, matrix);

        D3DCOLOR packed = D3DCOLOR_ARGB(ColourByte(a), ColourByte(r), ColourByte(g), ColourByte(b));
        if (sorted)
            renderer.DrawSortSprite(track->m_nTexture, packed, &world);
        else
            renderer.DrawSprite(track->m_nTexture, packed, &world);
    }
}

AnimationLibrary& AnimationLibrary::Instance()
{
    static AnimationLibrary library;
    return library;
}

AnimationSet* AnimationLibrary::Get(const std::string& path)
{
    std::string key = BareFileName(path);
    AnimationLibrary& library = Instance();
    std::lock_guard lock(library.m_lock);
    auto found = library.m_Sets.find(key);
    if (found != library.m_Sets.end())
        return found->second.get();
    auto set = std::make_unique<AnimationSet>();
    if (!set->Load(key))
        return nullptr;
    AnimationSet* loaded = set.get();
    library.m_Sets[key] = std::move(set);
    return loaded;
}
