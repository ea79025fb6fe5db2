// The coverage table of the device states. Defaults are those of a new device; ZENABLE is TRUE
// when the device has an automatic depth buffer (the device sets it at creation and Reset).
#include "StateTable.h"

#include "Log.h"

#include <iterator>

namespace platform::d3d9 {

namespace {

constexpr DWORD kTrue = 1, kFalse = 0;
constexpr Coverage kYes = Coverage::Implemented;
constexpr Coverage kDefault = Coverage::DefaultOnly;

constexpr StateEntry kRenderStates[] = {
    {D3DRS_ZENABLE, "ZENABLE", kTrue, kYes},
    {D3DRS_FILLMODE, "FILLMODE", D3DFILL_SOLID, kYes},
    {D3DRS_SHADEMODE, "SHADEMODE", D3DSHADE_GOURAUD, kDefault},
    {D3DRS_ZWRITEENABLE, "ZWRITEENABLE", kTrue, kYes},
    {D3DRS_ALPHATESTENABLE, "ALPHATESTENABLE", kFalse, kYes},
    {D3DRS_LASTPIXEL, "LASTPIXEL", kTrue, kYes},  // hint: lines are drawn as OpenGL draws them
    {D3DRS_SRCBLEND, "SRCBLEND", D3DBLEND_ONE, kYes},
    {D3DRS_DESTBLEND, "DESTBLEND", D3DBLEND_ZERO, kYes},
    {D3DRS_CULLMODE, "CULLMODE", D3DCULL_CCW, kYes},
    {D3DRS_ZFUNC, "ZFUNC", D3DCMP_LESSEQUAL, kYes},
    {D3DRS_ALPHAREF, "ALPHAREF", 0, kYes},
    {D3DRS_ALPHAFUNC, "ALPHAFUNC", D3DCMP_ALWAYS, kYes},
    {D3DRS_DITHERENABLE, "DITHERENABLE", kFalse, kYes},  // hint: 32-bit targets do not dither
    {D3DRS_ALPHABLENDENABLE, "ALPHABLENDENABLE", kFalse, kYes},
    {D3DRS_FOGENABLE, "FOGENABLE", kFalse, kDefault},
    {D3DRS_SPECULARENABLE, "SPECULARENABLE", kFalse, kDefault},
    {D3DRS_FOGCOLOR, "FOGCOLOR", 0, kDefault},
    {D3DRS_FOGTABLEMODE, "FOGTABLEMODE", D3DFOG_NONE, kDefault},
    {D3DRS_RANGEFOGENABLE, "RANGEFOGENABLE", kFalse, kDefault},
    {D3DRS_STENCILENABLE, "STENCILENABLE", kFalse, kDefault},
    {D3DRS_TEXTUREFACTOR, "TEXTUREFACTOR", 0xFFFFFFFF, kYes},
    {D3DRS_WRAP0, "WRAP0", 0, kDefault},
    {D3DRS_CLIPPING, "CLIPPING", kTrue, kYes},  // hint: OpenGL always clips
    {D3DRS_LIGHTING, "LIGHTING", kTrue, kYes},  // no lights: emissive + ambient, diffuse alpha
    {D3DRS_AMBIENT, "AMBIENT", 0, kYes},
    {D3DRS_FOGVERTEXMODE, "FOGVERTEXMODE", D3DFOG_NONE, kDefault},
    {D3DRS_COLORVERTEX, "COLORVERTEX", kTrue, kYes},
    {D3DRS_LOCALVIEWER, "LOCALVIEWER", kTrue, kYes},          // hint: no lights
    {D3DRS_NORMALIZENORMALS, "NORMALIZENORMALS", kFalse, kYes},  // hint: no lights
    {D3DRS_DIFFUSEMATERIALSOURCE, "DIFFUSEMATERIALSOURCE", D3DMCS_COLOR1, kYes},
    {D3DRS_SPECULARMATERIALSOURCE, "SPECULARMATERIALSOURCE", D3DMCS_COLOR2, kDefault},
    {D3DRS_AMBIENTMATERIALSOURCE, "AMBIENTMATERIALSOURCE", D3DMCS_MATERIAL, kDefault},
    {D3DRS_EMISSIVEMATERIALSOURCE, "EMISSIVEMATERIALSOURCE", D3DMCS_MATERIAL, kDefault},
    {D3DRS_VERTEXBLEND, "VERTEXBLEND", D3DVBF_DISABLE, kDefault},
    {D3DRS_CLIPPLANEENABLE, "CLIPPLANEENABLE", 0, kDefault},
    {D3DRS_MULTISAMPLEANTIALIAS, "MULTISAMPLEANTIALIAS", kTrue, kYes},  // hint: no multisampling
    {D3DRS_MULTISAMPLEMASK, "MULTISAMPLEMASK", 0xFFFFFFFF, kDefault},
    {D3DRS_COLORWRITEENABLE, "COLORWRITEENABLE", 0xF, kYes},
    {D3DRS_BLENDOP, "BLENDOP", D3DBLENDOP_ADD, kYes},
    {D3DRS_SCISSORTESTENABLE, "SCISSORTESTENABLE", kFalse, kDefault},
    {D3DRS_SRGBWRITEENABLE, "SRGBWRITEENABLE", kFalse, kDefault},
    {D3DRS_SEPARATEALPHABLENDENABLE, "SEPARATEALPHABLENDENABLE", kFalse, kDefault},
};

constexpr StateEntry kSamplerStates[] = {
    {D3DSAMP_ADDRESSU, "ADDRESSU", D3DTADDRESS_WRAP, kYes},
    {D3DSAMP_ADDRESSV, "ADDRESSV", D3DTADDRESS_WRAP, kYes},
    {D3DSAMP_ADDRESSW, "ADDRESSW", D3DTADDRESS_WRAP, kYes},  // 2-D textures only: no effect
    {D3DSAMP_BORDERCOLOR, "BORDERCOLOR", 0, kYes},
    {D3DSAMP_MAGFILTER, "MAGFILTER", D3DTEXF_POINT, kYes},
    {D3DSAMP_MINFILTER, "MINFILTER", D3DTEXF_POINT, kYes},
    {D3DSAMP_MIPFILTER, "MIPFILTER", D3DTEXF_NONE, kYes},
    {D3DSAMP_MIPMAPLODBIAS, "MIPMAPLODBIAS", 0, kYes},
    {D3DSAMP_MAXMIPLEVEL, "MAXMIPLEVEL", 0, kYes},
    {D3DSAMP_MAXANISOTROPY, "MAXANISOTROPY", 1, kDefault},
    {D3DSAMP_SRGBTEXTURE, "SRGBTEXTURE", 0, kDefault},
};

constexpr StateEntry kStageStates[] = {
    {D3DTSS_COLOROP, "COLOROP", D3DTOP_MODULATE, kYes},
    {D3DTSS_COLORARG1, "COLORARG1", D3DTA_TEXTURE, kYes},
    {D3DTSS_COLORARG2, "COLORARG2", D3DTA_CURRENT, kYes},
    {D3DTSS_ALPHAOP, "ALPHAOP", D3DTOP_SELECTARG1, kYes},
    {D3DTSS_ALPHAARG1, "ALPHAARG1", D3DTA_TEXTURE, kYes},
    {D3DTSS_ALPHAARG2, "ALPHAARG2", D3DTA_CURRENT, kYes},
    {D3DTSS_TEXCOORDINDEX, "TEXCOORDINDEX", 0, kDefault},  // every stage reads coordinate set 0
    {D3DTSS_TEXTURETRANSFORMFLAGS, "TEXTURETRANSFORMFLAGS", D3DTTFF_DISABLE, kDefault},
    {D3DTSS_RESULTARG, "RESULTARG", D3DTA_CURRENT, kDefault},
};

template <size_t N>
const StateEntry* Find(const StateEntry (&table)[N], DWORD type)
{
    for (const StateEntry& entry : table)
        if (entry.type == type)
            return &entry;
    return nullptr;
}

bool Accept(const char* kind, const StateEntry* entry, DWORD type, DWORD value, DWORD defaultValue)
{
    if (!entry) {
        LogRefused("%s state %u is not supported", kind, type);
        return false;
    }
    if (entry->coverage == Coverage::DefaultOnly && value != defaultValue) {
        LogRefused("%s state %s is supported at its default %u only, not %u", kind, entry->name, defaultValue, value);
        return false;
    }
    return true;
}

// The texture operations and arguments the combiner builds.
bool KnownTextureOp(DWORD op)
{
    return (op >= D3DTOP_DISABLE && op <= D3DTOP_ADDSIGNED) || op == D3DTOP_SUBTRACT ||
           op == D3DTOP_BLENDDIFFUSEALPHA || op == D3DTOP_BLENDTEXTUREALPHA;
}

bool KnownTextureArg(DWORD arg)
{
    return (arg & D3DTA_SELECTMASK) <= D3DTA_TFACTOR && (arg & ~(D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)) == 0;
}

} // namespace

const StateEntry* FindRenderState(DWORD type) { return Find(kRenderStates, type); }
const StateEntry* FindSamplerState(DWORD type) { return Find(kSamplerStates, type); }
const StateEntry* FindStageState(DWORD type) { return Find(kStageStates, type); }

DWORD StageStateDefault(DWORD stage, DWORD type)
{
    if (stage > 0) {
        if (type == D3DTSS_COLOROP || type == D3DTSS_ALPHAOP)
            return D3DTOP_DISABLE;
        if (type == D3DTSS_TEXCOORDINDEX)
            return stage;
    }
    const StateEntry* entry = FindStageState(type);
    return entry ? entry->defaultValue : 0;
}

bool AcceptRenderState(DWORD type, DWORD value)
{
    const StateEntry* entry = FindRenderState(type);
    return Accept("render", entry, type, value, entry ? entry->defaultValue : 0);
}

bool AcceptSamplerState(DWORD type, DWORD value)
{
    const StateEntry* entry = FindSamplerState(type);
    return Accept("sampler", entry, type, value, entry ? entry->defaultValue : 0);
}

bool AcceptStageState(DWORD stage, DWORD type, DWORD value)
{
    const StateEntry* entry = FindStageState(type);
    if (!Accept("texture-stage", entry, type, value, StageStateDefault(stage, type)))
        return false;
    bool isOp = type == D3DTSS_COLOROP || type == D3DTSS_ALPHAOP;
    bool isArg = type == D3DTSS_COLORARG1 || type == D3DTSS_COLORARG2 || type == D3DTSS_ALPHAARG1 ||
                 type == D3DTSS_ALPHAARG2;
    if ((isOp && !KnownTextureOp(value)) || (isArg && !KnownTextureArg(value))) {
        LogRefused("texture-stage state %s value %u is not supported", entry->name, value);
        return false;
    }
    return true;
}

} // namespace platform::d3d9
