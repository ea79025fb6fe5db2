// D3DX texture loading: TGA, BMP, PNG and JPG decoded by stb_image into a managed texture's
// memory, so it works on any thread; the render thread uploads the pixels at first use. A texture
// loaded from a file keeps the file as its pixels' source, so its memory copy goes once uploaded.
// Implemented: sizes from the image (or forced, sampled by nearest pixel), mip chains, format
//              conversion to every texture format of the device, the colour key, the image
//              information.
// Left out:    DDS files, palettes (the palette argument is left alone), filters other than
//              nearest-pixel sampling.
#include "Log.h"
#include "PixelFormats.h"
#include "Texture.h"

#include <d3d9/D3DX9.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <stb/stb_image.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace platform::d3d9 {

namespace {

// The game's largest picture is the 1024 x 768 screen; a picture larger than this is refused
// from its header before it is decoded (a small compressed file can claim gigabytes of pixels).
constexpr int kMaxImageSide = 2048;

D3DXIMAGE_FILEFORMAT FileFormatOf(const uint8_t* data, size_t size)
{
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return D3DXIFF_BMP;
    if (size >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
        return D3DXIFF_PNG;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return D3DXIFF_JPG;
    if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0)
        return D3DXIFF_DDS;
    return D3DXIFF_TGA;  // TGA has no signature
}

D3DFORMAT SourceFormat(int channels)
{
    switch (channels) {
    case 1: return D3DFMT_L8;
    case 2: return D3DFMT_A8L8;
    case 3: return D3DFMT_R8G8B8;
    default: return D3DFMT_A8R8G8B8;
    }
}

UINT SizeOrImage(UINT asked, int image)
{
    return (asked == 0 || asked == D3DX_DEFAULT || asked == D3DX_DEFAULT_NONPOW2) ? static_cast<UINT>(image) : asked;
}

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

// Writes a decoded picture of w x h into a texture level of texW x texH (sampled by nearest
// pixel), converted to the format, with the colour key made transparent.
void StoreImage(const stbi_uc* rgba, int w, int h, UINT texW, UINT texH, D3DFORMAT format, D3DCOLOR colorKey,
                uint8_t* bits, size_t pitch)
{
    UINT bpp = BytesPerPixel(format);
    for (UINT y = 0; y < texH; ++y) {
        uint8_t* row = bits + static_cast<size_t>(y) * pitch;
        const stbi_uc* source = rgba + static_cast<size_t>(y * h / texH) * w * 4;
        for (UINT x = 0; x < texW; ++x) {
            const stbi_uc* p = source + static_cast<size_t>(x * w / texW) * 4;
            uint32_t argb = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
            if (colorKey != 0 && argb == colorKey)
                argb = 0;
            StorePixel(format, argb, row + x * bpp);
        }
    }
}

// The texture's pixels made again from the picture's encoded bytes, as the load made them.
Texture::PixelSource PictureSource(std::shared_ptr<const std::string> bytes, int w, int h, UINT texW, UINT texH,
                                   D3DFORMAT format, D3DCOLOR colorKey)
{
    return [=](std::vector<uint8_t>& pixels) {
        int fileW = 0, fileH = 0, channels = 0;
        std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes->data()),
                                                                     static_cast<int>(bytes->size()), &fileW, &fileH,
                                                                     &channels, 4));
        if (!rgba || fileW != w || fileH != h)
            return false;
        StoreImage(rgba.get(), w, h, texW, texH, format, colorKey, pixels.data(),
                   static_cast<size_t>(texW) * BytesPerPixel(format));
        return true;
    };
}

HRESULT Load(IDirect3DDevice9* device, std::shared_ptr<const std::string> bytes, const std::string& name,
             UINT width, UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, D3DCOLOR colorKey,
             D3DXIMAGE_INFO* info, IDirect3DTexture9** texture)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes->data());
    const size_t size = bytes->size();
    if (!device || !texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    D3DXIMAGE_FILEFORMAT fileFormat = FileFormatOf(data, size);
    int w = 0, h = 0, channels = 0;
    if (size == 0 || size > INT_MAX || fileFormat == D3DXIFF_DDS ||
        !stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels)) {
        LogLine("cannot read image '%s': %s", name.c_str(),
                fileFormat == D3DXIFF_DDS ? "DDS is not supported" : stbi_failure_reason());
        return D3DXERR_INVALIDDATA;
    }
    if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide) {
        LogLine("cannot read image '%s': size %dx%d is larger than %dx%d", name.c_str(), w, h, kMaxImageSide,
                kMaxImageSide);
        return D3DXERR_INVALIDDATA;
    }
    std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 4));
    if (!rgba) {
        LogLine("cannot read image '%s': %s", name.c_str(), stbi_failure_reason());
        return D3DXERR_INVALIDDATA;
    }
    if (format == D3DFMT_UNKNOWN)
        format = (channels == 2 || channels == 4 || colorKey != 0) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    UINT texW = SizeOrImage(width, w), texH = SizeOrImage(height, h);
    UINT levels = (mipLevels == D3DX_DEFAULT) ? 0 : mipLevels;
    HRESULT hr = device->CreateTexture(texW, texH, levels, usage, format, pool, texture, nullptr);
    if (FAILED(hr)) {
        LogLine("cannot make a %ux%u %s texture for '%s'", texW, texH, FormatName(format), name.c_str());
        return hr;
    }
    D3DLOCKED_RECT locked{};
    if (FAILED((*texture)->LockRect(0, &locked, nullptr, 0))) {
        (*texture)->Release();
        *texture = nullptr;
        return D3DERR_INVALIDCALL;
    }
    StoreImage(rgba.get(), w, h, texW, texH, format, colorKey, static_cast<uint8_t*>(locked.pBits),
               static_cast<size_t>(locked.Pitch));
    (*texture)->UnlockRect(0);
    // Where the encoded picture is smaller than its pixels, the texture keeps the picture and
    // lets go of the pixels once they are uploaded; one the game writes into itself keeps them.
    if (auto* ours = dynamic_cast<Texture*>(*texture);
        ours && !(usage & D3DUSAGE_DYNAMIC) && size < static_cast<size_t>(texW) * texH * BytesPerPixel(format))
        ours->SetPixelSource(PictureSource(std::move(bytes), w, h, texW, texH, format, colorKey));
    if (info)
        *info = {static_cast<UINT>(w), static_cast<UINT>(h), 1, 1, SourceFormat(channels), D3DRTYPE_TEXTURE,
                 fileFormat};
    return D3D_OK;
}

HRESULT LoadFile(IDirect3DDevice9* device, const std::string& path, UINT width, UINT height, UINT mipLevels,
                 DWORD usage, D3DFORMAT format, D3DPOOL pool, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                 IDirect3DTexture9** texture)
{
    if (texture)
        *texture = nullptr;
    auto bytes = std::make_shared<std::string>();
    if (path.empty())
        return D3DXERR_INVALIDDATA;
    if (!platform::ReadWholeFile(path, *bytes)) {
        // A file that is simply not there is an ordinary answer: the game's textures look in
        // the data index next. One that is there but cannot be read is worth a line.
        std::error_code ec;
        if (std::filesystem::exists(platform::ResolvePath(path), ec))
            LogLine("cannot open image '%s'", path.c_str());
        return D3DXERR_INVALIDDATA;
    }
    return Load(device, std::move(bytes), path, width, height, mipLevels, usage, format, pool, colorKey, info,
                texture);
}

} // namespace

} // namespace platform::d3d9

HRESULT D3DXCreateTextureFromFileExW(IDirect3DDevice9* device, const wchar_t* path, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD /*filter*/,
                                     DWORD /*mipFilter*/, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                     PALETTEENTRY* /*palette*/, IDirect3DTexture9** texture)
{
    return platform::d3d9::LoadFile(device, path ? platform::Narrow(path) : std::string(), width, height, mipLevels,
                                    usage, format, pool, colorKey, info, texture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* path, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD /*filter*/,
                                     DWORD /*mipFilter*/, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                     PALETTEENTRY* /*palette*/, IDirect3DTexture9** texture)
{
    return platform::d3d9::LoadFile(device, path ? path : "", width, height, mipLevels, usage, format, pool,
                                    colorKey, info, texture);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD /*filter*/, DWORD /*mipFilter*/, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* info, PALETTEENTRY* /*palette*/,
                                            IDirect3DTexture9** texture)
{
    if (!data) {
        if (texture)
            *texture = nullptr;
        return D3DERR_INVALIDCALL;
    }
    auto bytes = std::make_shared<const std::string>(static_cast<const char*>(data), size);
    return platform::d3d9::Load(device, std::move(bytes), "memory", width, height, mipLevels, usage, format, pool,
                                colorKey, info, texture);
}
