// D3DX sprite over the stand-in device: queues textured quads between Begin and End and draws
// each run of quads that share a texture with one draw call.
// Implemented: Begin (state save, sprite state set, restore at End), Draw, Flush, End,
//              SetTransform/GetTransform, OnLostDevice/OnResetDevice.
// Left out:    sorting (D3DXSPRITE_SORT_*) and billboards; Begin with them logs once and
//              fails with D3DERR_INVALIDCALL.
#include "Device.h"
#include "Log.h"

#include <d3d9/D3DX9.h>

#include <optional>
#include <vector>

namespace platform::d3d9 {

namespace {

// Pixels of the viewport (y down, z from 0 to 1) to clip space.
D3DMATRIX PixelProjection(const D3DVIEWPORT9& vp)
{
    D3DMATRIX m{};
    float w = static_cast<float>(vp.Width), h = static_cast<float>(vp.Height);
    m._11 = 2.0f / w;
    m._22 = -2.0f / h;
    m._33 = 1.0f;
    m._41 = -1.0f - 2.0f * vp.X / w;
    m._42 = 1.0f + 2.0f * vp.Y / h;
    m._44 = 1.0f;
    return m;
}

class Sprite final : public RefCounted<ID3DXSprite> {
public:
    explicit Sprite(Device* device) : m_device(device), m_transform(IdentityMatrix()) {}

    HRESULT Begin(DWORD flags) override
    {
        if (m_begun)
            return D3DERR_INVALIDCALL;
        if (flags & (D3DXSPRITE_BILLBOARD | D3DXSPRITE_SORT_TEXTURE | D3DXSPRITE_SORT_DEPTH_FRONTTOBACK |
                     D3DXSPRITE_SORT_DEPTH_BACKTOFRONT)) {
            LogRefused("ID3DXSprite::Begin: sorting and billboards are not supported");
            return D3DERR_INVALIDCALL;
        }
        m_flags = flags;
        if (!(flags & D3DXSPRITE_DONOTSAVESTATE))
            m_saved = m_device->State();
        if (!(flags & D3DXSPRITE_DONOTMODIFY_RENDERSTATE))
            SetSpriteStates((flags & D3DXSPRITE_ALPHABLEND) != 0);
        if (!(flags & D3DXSPRITE_OBJECTSPACE)) {
            D3DMATRIX identity = IdentityMatrix(), projection = PixelProjection(m_device->State().viewport);
            m_device->SetTransform(D3DTS_WORLD, &identity);
            m_device->SetTransform(D3DTS_VIEW, &identity);
            m_device->SetTransform(D3DTS_PROJECTION, &projection);
        }
        m_begun = true;
        return D3D_OK;
    }

    HRESULT Draw(IDirect3DTexture9* texture, const RECT* sourceRect, const D3DXVECTOR3* center,
                 const D3DXVECTOR3* position, D3DCOLOR color) override
    {
        auto* ours = dynamic_cast<Texture*>(texture);
        if (!m_begun || !ours)
            return D3DERR_INVALIDCALL;
        RECT r = sourceRect ? *sourceRect
                            : RECT{0, 0, static_cast<LONG>(ours->Width()), static_cast<LONG>(ours->Height())};
        D3DVECTOR c = center ? *reinterpret_cast<const D3DVECTOR*>(center) : D3DVECTOR{0, 0, 0};
        D3DVECTOR p = position ? *reinterpret_cast<const D3DVECTOR*>(position) : D3DVECTOR{0, 0, 0};
        float w = static_cast<float>(r.right - r.left), h = static_cast<float>(r.bottom - r.top);
        float texW = static_cast<float>(ours->Width()), texH = static_cast<float>(ours->Height());
        float u0 = r.left / texW, u1 = r.right / texW, v0 = r.top / texH, v1 = r.bottom / texH;
        float x0 = p.x - c.x, y0 = p.y - c.y, z = p.z - c.z;
        Queue(ours);
        Emit(x0, y0, z, color, u0, v0);
        Emit(x0 + w, y0, z, color, u1, v0);
        Emit(x0 + w, y0 + h, z, color, u1, v1);
        Emit(x0, y0 + h, z, color, u0, v1);
        return D3D_OK;
    }

    HRESULT Flush() override
    {
        if (!m_begun)
            return D3DERR_INVALIDCALL;
        HRESULT result = D3D_OK;
        const QuadVertex* next = m_vertices.data();
        for (auto& [texture, quads] : m_runs) {
            m_device->SetTexture(0, texture.Get());
            HRESULT hr = m_device->DrawQuads(next, quads);
            if (FAILED(hr))
                result = hr;
            next += quads * 4;
        }
        m_vertices.clear();
        m_runs.clear();
        return result;
    }

    HRESULT End() override
    {
        if (!m_begun)
            return D3DERR_INVALIDCALL;
        HRESULT hr = Flush();
        m_begun = false;
        if (m_saved) {
            m_device->RestoreState(*m_saved);
            m_saved.reset();
        }
        return hr;
    }

    HRESULT SetTransform(const D3DXMATRIX* transform) override
    {
        if (!transform)
            return D3DERR_INVALIDCALL;
        m_transform = *reinterpret_cast<const D3DMATRIX*>(transform);
        return D3D_OK;
    }

    HRESULT GetTransform(D3DXMATRIX* transform) override
    {
        if (!transform)
            return D3DERR_INVALIDCALL;
        *reinterpret_cast<D3DMATRIX*>(transform) = m_transform;
        return D3D_OK;
    }

    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }

private:
    ~Sprite() override { m_device->Release(); }

    void SetSpriteStates(bool alphaBlend)
    {
        static constexpr std::pair<D3DRENDERSTATETYPE, DWORD> kRenderStates[] = {
            {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
            {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
            {D3DRS_BLENDOP, D3DBLENDOP_ADD},
            {D3DRS_ALPHAFUNC, D3DCMP_GREATER},
            {D3DRS_ALPHAREF, 0},
            {D3DRS_CULLMODE, D3DCULL_NONE},
            {D3DRS_LIGHTING, FALSE},
            {D3DRS_FOGENABLE, FALSE},
            {D3DRS_FILLMODE, D3DFILL_SOLID},
            {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
            {D3DRS_STENCILENABLE, FALSE},
            {D3DRS_SPECULARENABLE, FALSE},
            {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
            {D3DRS_COLORWRITEENABLE, 0xF},
            {D3DRS_CLIPPING, TRUE},
            {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
            {D3DRS_SRGBWRITEENABLE, FALSE},
            {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
            {D3DRS_WRAP0, 0},
        };
        for (auto [state, value] : kRenderStates)
            m_device->SetRenderState(state, value);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, alphaBlend);
        m_device->SetRenderState(D3DRS_ALPHATESTENABLE, alphaBlend);

        static constexpr std::pair<D3DTEXTURESTAGESTATETYPE, DWORD> kStage0[] = {
            {D3DTSS_COLOROP, D3DTOP_MODULATE},   {D3DTSS_COLORARG1, D3DTA_TEXTURE},
            {D3DTSS_COLORARG2, D3DTA_DIFFUSE},   {D3DTSS_ALPHAOP, D3DTOP_MODULATE},
            {D3DTSS_ALPHAARG1, D3DTA_TEXTURE},   {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
            {D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_PASSTHRU}, {D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
        };
        for (auto [type, value] : kStage0)
            m_device->SetTextureStageState(0, type, value);
        m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        m_device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);

        static constexpr std::pair<D3DSAMPLERSTATETYPE, DWORD> kSampler0[] = {
            {D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP},
            {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR},   {D3DSAMP_MINFILTER, D3DTEXF_LINEAR},
            {D3DSAMP_MIPFILTER, D3DTEXF_LINEAR},   {D3DSAMP_MIPMAPLODBIAS, 0},
            {D3DSAMP_MAXMIPLEVEL, 0},
        };
        for (auto [type, value] : kSampler0)
            m_device->SetSamplerState(0, type, value);
        m_device->SetVertexShader(nullptr);
    }

    void Queue(Texture* texture)
    {
        if (m_runs.empty() || m_runs.back().first.Get() != texture)
            m_runs.emplace_back(Ref<Texture>(texture), 0);
        ++m_runs.back().second;
    }

    void Emit(float x, float y, float z, D3DCOLOR color, float u, float v)
    {
        const D3DMATRIX& m = m_transform;
        float tx = x * m._11 + y * m._21 + z * m._31 + m._41;
        float ty = x * m._12 + y * m._22 + z * m._32 + m._42;
        float tz = x * m._13 + y * m._23 + z * m._33 + m._43;
        float tw = x * m._14 + y * m._24 + z * m._34 + m._44;
        if (tw != 1.0f && tw != 0.0f) {
            tx /= tw;
            ty /= tw;
            tz /= tw;
        }
        m_vertices.push_back({tx, ty, tz, color, u, v});
    }

    Device* m_device;
    D3DMATRIX m_transform;
    bool m_begun = false;
    DWORD m_flags = 0;
    std::optional<DeviceState> m_saved;
    std::vector<QuadVertex> m_vertices;
    std::vector<std::pair<Ref<Texture>, UINT>> m_runs;
};

} // namespace

} // namespace platform::d3d9

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite)
{
    using namespace platform::d3d9;
    Device* ours = AsDevice(device);
    if (!ours || !sprite)
        return D3DERR_INVALIDCALL;
    ours->AddRef();
    *sprite = new Sprite(ours);
    return D3D_OK;
}
