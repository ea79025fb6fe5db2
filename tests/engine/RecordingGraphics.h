// A frame graphics fake that records every queued sprite and hands out textures registered by
// name (upper-cased, as the texture table keys them), for the font, movie and UI back-end tests.
#pragma once

#include "engine/FrameGraphics.h"

#include <cwctype>
#include <map>
#include <string>
#include <vector>

namespace mediatest {

struct QueuedSprite {
    IDirect3DTexture9* texture = nullptr;
    bool hasSource = false, hasCentre = false, hasPosition = false, hasTransform = false;
    RECT source{};
    D3DXVECTOR3 centre{0, 0, 0};
    D3DXVECTOR3 position{0, 0, 0};
    D3DCOLOR colour = 0;
    D3DXMATRIX transform;
};

class RecordingGraphics : public FrameGraphics {
public:
    RecordingGraphics() { SetFrameGraphics(this); }
    ~RecordingGraphics() override { SetFrameGraphics(nullptr); }

    void DrawSprite(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* centre,
                    const D3DXVECTOR3* position, D3DCOLOR colour, const D3DXMATRIX* transform) override
    {
        QueuedSprite s;
        s.texture = texture;
        if ((s.hasSource = source != nullptr))
            s.source = *source;
        if ((s.hasCentre = centre != nullptr))
            s.centre = *centre;
        if ((s.hasPosition = position != nullptr))
            s.position = *position;
        s.colour = colour;
        if ((s.hasTransform = transform != nullptr))
            s.transform = *transform;
        sprites.push_back(s);
    }

    int GetTextureHandle(const std::wstring& name, bool) override
    {
        ++handleRequests[Upper(name)];
        auto found = names.find(Upper(name));
        return found == names.end() ? -1 : found->second;
    }

    IDirect3DTexture9* GetTexture(int handle) override
    {
        return handle >= 0 && handle < static_cast<int>(textures.size()) ? textures[handle] : nullTexture;
    }

    // Makes the texture known under the name; returns its handle.
    int AddTexture(const std::wstring& name, IDirect3DTexture9* texture)
    {
        textures.push_back(texture);
        names[Upper(name)] = static_cast<int>(textures.size()) - 1;
        return names[Upper(name)];
    }

    static std::wstring Upper(std::wstring name)
    {
        for (wchar_t& c : name)
            c = static_cast<wchar_t>(std::towupper(c));
        return name;
    }

    std::vector<QueuedSprite> sprites;
    std::vector<IDirect3DTexture9*> textures;
    std::map<std::wstring, int> names;
    std::map<std::wstring, int> handleRequests;
    IDirect3DTexture9* nullTexture = nullptr;
};

} // namespace mediatest
