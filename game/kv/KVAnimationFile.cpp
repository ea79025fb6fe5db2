// Reading one scene of a "kvanimation" file: assets, params, objects and anims, in that order.
// Malformed parts are logged and left out; an object that ends up without a track is never
// stepped or drawn.
#include "kv/KVDirector.h"

#include "kv/KVLayoutReaders.h"
#include "kv/KVProperty.h"
#include "kv/KVRenderer.h"

#include <helvane/Log.h>

#include <tinyxml.h>

#include <cstdio>

namespace kv {

namespace {

constexpr uint32_t kFirstTypedVersion = 0x00010000;
constexpr uint32_t kLastOldChannelVersion = 0x00010001;
constexpr size_t kAssetPrefixLength = 6;

using layout::Attr;
using layout::AttrFloat;
using layout::AttrInt;
using layout::AttrWide;
using layout::ReadRect;

int32_t ReadObjectType(const std::string& word)
{
    static const char* kWords[] = {"Image", "UI", "Text", "Player", "Owner"};
    for (int32_t i = 0; i < 5; ++i)
        if (EqualsNoCase(word, kWords[i]))
            return i;
    return AnimationObject::kImage;
}

} // namespace

void KVAnimation::Read(TiXmlElement* sceneElement)
{
    for (TiXmlElement* e = sceneElement->FirstChildElement("asset"); e; e = e->NextSiblingElement("asset"))
        ReadAsset(e);
    for (TiXmlElement* e = sceneElement->FirstChildElement("param"); e; e = e->NextSiblingElement("param"))
        ReadParam(e);
    for (TiXmlElement* e = sceneElement->FirstChildElement("object"); e; e = e->NextSiblingElement("object"))
        if (!ReadObject(e))
            break;
    for (TiXmlElement* e = sceneElement->FirstChildElement("anim"); e; e = e->NextSiblingElement("anim"))
        ReadAnim(e);
    for (const AnimationObject& object : objects)
        if (!object.track)
            DFLog(LOG_WARN, L"[kv] animation scene %s: object \"%s\" has no anim; it is not played",
                  name.c_str(), object.name.c_str());
}

void KVAnimation::ReadAsset(TiXmlElement* asset)
{
    std::string type = Attr(asset, "type");
    if (type != "IMAGE" && type != "UI" && type != "TEXT")
        return;
    AnimationObject object;
    std::wstring assetName = AttrWide(asset, "name");
    object.name = assetName.size() > kAssetPrefixLength ? assetName.substr(kAssetPrefixLength) : std::wstring();
    object.scene = this;
    const std::wstring& directorName = director ? director->name : std::wstring();
    if (type == "TEXT") {
        TiXmlElement* size = asset->FirstChildElement("size");
        TiXmlElement* style = asset->FirstChildElement("style");
        TiXmlElement* color = asset->FirstChildElement("color");
        if (renderer)
            renderer->CreateAnimText(directorName, name, assetName,
                                     AttrWide(asset->FirstChildElement("facename"), "val"),
                                     size ? AttrInt(size, "val") : 10, style ? AttrInt(style, "val") : 0,
                                     color ? static_cast<uint32_t>(AttrInt(color, "val")) : 0,
                                     AttrWide(asset, "text"));
    } else {
        TiXmlElement* rect = asset->FirstChildElement("rect");
        if (!rect)
            DFLog(LOG_WARN, L"[kv] animation scene %s: asset \"%s\" has no rect", name.c_str(), assetName.c_str());
        object.rect = ReadRect(rect);
        if (type == "IMAGE" && renderer)
            renderer->CreateAnimImage(directorName, name, assetName, AttrWide(asset, "path"), object.rect);
    }
    objects.push_back(object);
}

void KVAnimation::ReadParam(TiXmlElement* param)
{
    std::string type = Attr(param, "type");
    if (type == "RES") {
        float x = AttrFloat(param, "x");
        float y = AttrFloat(param, "y");
        // A reference size of zero would scale every position to infinity.
        if (x <= 0 || y <= 0) {
            DFLog(LOG_WARN, L"[kv] animation scene %s: RES must be positive; ignored", name.c_str());
            return;
        }
        res = {x, y};
        scale = {(screen.right - screen.left) / x, (screen.bottom - screen.top) / y};
    } else if (type == "LOOP") {
        loop = AttrInt(param, "cnt") == -1;
        pendulum = AttrInt(param, "pendulum") != 0;
    }
}

bool KVAnimation::ReadObject(TiXmlElement* element)
{
    if (!element->FirstChildElement("asset")) {
        DFLog(LOG_WARN, L"[kv] animation scene %s: an object without an asset ends the scene", name.c_str());
        return false;
    }
    AnimationObject* object = FindObject(AttrWide(element, "name"));
    if (!object) {
        DFLog(LOG_WARN, L"[kv] animation scene %s: object \"%s\" names no asset", name.c_str(),
              AttrWide(element, "name").c_str());
        return true;
    }
    object->ani = AttrWide(element, "ani");
    for (TiXmlElement* asset = element->FirstChildElement("asset"); asset; asset = asset->NextSiblingElement("asset")) {
        object->link = AttrWide(asset, "link");
        if (version > kFirstTypedVersion)
            object->type = ReadObjectType(Attr(asset, "type"));
    }
    return true;
}

void KVAnimation::ReadAnim(TiXmlElement* anim)
{
    TiXmlElement* frame = anim->FirstChildElement("frame");
    if (!frame)
        return;
    auto track = std::make_unique<KVAnimFrame>();
    track->SetServices(renderer, iface);
    track->SetTransform({0, res.x, 0, res.y}, scale);
    for (; frame; frame = frame->NextSiblingElement("frame"))
        ReadFrame(frame, *track);
    std::wstring animName = AttrWide(anim, "name");
    for (AnimationObject& object : objects) {
        if (object.ani != animName)
            continue;
        track->SetName(animName);
        object.track = track.get();
        tracks[animName] = track.get();
        m_ownedTracks.push_back(std::move(track));
        return;
    }
}

void KVAnimation::ReadFrame(TiXmlElement* frame, KVAnimFrame& track)
{
    KVAnimKey key;
    int32_t cnt = AttrInt(frame, "cnt");
    key.cnt = cnt > 0 ? static_cast<uint32_t>(cnt) : 0;
    if (static_cast<float>(key.cnt) > endTime)
        endTime = static_cast<float>(key.cnt);
    ReadChannel(frame, track, key);
    if (TiXmlElement* sound = frame->FirstChildElement("sound"))
        key.sound = AttrWide(sound, "val");
    if (TiXmlElement* visible = frame->FirstChildElement("visible"))
        key.visible = AttrInt(visible, "val") != 0;
    track.AddKey(key);
}

void KVAnimation::ReadChannel(TiXmlElement* frame, KVAnimFrame& track, KVAnimKey& key)
{
    auto linear = [&] { return track.AdoptInterpolation(std::make_unique<KVInterpolation>()); };
    auto set = [&](int channel, float value, const KVInterpolation* ease) {
        key.channels[channel].value = value;
        key.channels[channel].interpolation = ease;
    };
    if (version <= kLastOldChannelVersion) {
        struct Pair {
            const char* tag;
            int x;
            int y;
        };
        static const Pair kPairs[] = {{"pos", KVAnimKey::kPosX, KVAnimKey::kPosY},
                                      {"center", KVAnimKey::kCenterX, KVAnimKey::kCenterY},
                                      {"scale", KVAnimKey::kScaleX, KVAnimKey::kScaleY}};
        for (const Pair& pair : kPairs)
            if (TiXmlElement* e = frame->FirstChildElement(pair.tag)) {
                set(pair.x, AttrFloat(e, "x"), linear());
                set(pair.y, AttrFloat(e, "y"), linear());
            }
        if (TiXmlElement* e = frame->FirstChildElement("rotate"))
            set(KVAnimKey::kRotate, AttrFloat(e, "val"), linear());
        if (TiXmlElement* e = frame->FirstChildElement("alpha"))
            set(KVAnimKey::kAlpha, AttrFloat(e, "val"), linear());
        return;
    }
    static const char* kNames[KVAnimKey::kChannelCount] = {"posx",    "posy",    "scalex", "scaley",
                                                            "centerx", "centery", "rotate", "alpha"};
    for (int c = 0; c < KVAnimKey::kChannelCount; ++c) {
        TiXmlElement* e = frame->FirstChildElement(kNames[c]);
        if (!e)
            continue;
        const KVInterpolation* ease = nullptr;
        float x1, y1, x2, y2;
        std::string easeValue = Attr(e, "easeValue");
        if (!easeValue.empty() && std::sscanf(easeValue.c_str(), "%f,%f,%f,%f", &x1, &y1, &x2, &y2) == 4)
            ease = track.AdoptInterpolation(std::make_unique<KVBezierSpline>(x1, y1, x2, y2));
        else
            ease = linear();
        set(c, AttrFloat(e, "val"), ease);
    }
}

} // namespace kv
