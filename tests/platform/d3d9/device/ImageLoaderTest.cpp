// Loading textures from image files and memory: the four formats, the colour key, the image
// information, and bad input.
#include "DeviceFixture.h"
#include "support/TempDir.h"

#include "Texture.h"

#include <d3d9/D3DX9.h>

#include <stb/stb_image_write.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using namespace d3d9test;

namespace {

// A 3 x 2 image: opaque blue, opaque red, half-transparent green; then white, black, blue.
constexpr uint8_t kRgba[3 * 2 * 4] = {0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0, 128,
                                      255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 255};

std::string Encode(D3DXIMAGE_FILEFORMAT format, int channels)
{
    std::string out;
    auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
    };
    uint8_t pixels[sizeof kRgba];
    for (int i = 0, o = 0; i < 6; ++i)
        for (int c = 0; c < channels; ++c)
            pixels[o++] = kRgba[i * 4 + c];
    switch (format) {
    case D3DXIFF_PNG: stbi_write_png_to_func(append, &out, 3, 2, channels, pixels, 3 * channels); break;
    case D3DXIFF_BMP: stbi_write_bmp_to_func(append, &out, 3, 2, channels, pixels); break;
    case D3DXIFF_TGA: stbi_write_tga_to_func(append, &out, 3, 2, channels, pixels); break;
    case D3DXIFF_JPG: stbi_write_jpg_to_func(append, &out, 3, 2, channels, pixels, 100); break;
    default: break;
    }
    return out;
}

uint32_t Texel(IDirect3DTexture9* texture, int x, int y)
{
    D3DLOCKED_RECT locked{};
    RECT one{x, y, x + 1, y + 1};
    uint32_t argb = 0;
    if (texture->LockRect(0, &locked, &one, D3DLOCK_READONLY) == D3D_OK) {
        std::memcpy(&argb, locked.pBits, 4);
        texture->UnlockRect(0);
    }
    return argb;
}

struct FormatCase {
    D3DXIMAGE_FILEFORMAT file;
    int channels;
    D3DFORMAT expectFormat;
    int tolerance;
};

class ImageFormatTest : public DeviceTest, public testing::WithParamInterface<FormatCase> {};

} // namespace

TEST_P(ImageFormatTest, LoadsPixelsAndImageInformation)
{
    const FormatCase& c = GetParam();
    std::string bytes = Encode(c.file, c.channels);
    ASSERT_FALSE(bytes.empty());
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT_NONPOW2,
                                                  D3DX_DEFAULT_NONPOW2, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                  D3DX_FILTER_NONE, D3DX_DEFAULT, 0, &info, nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(info.Width, 3u);
    EXPECT_EQ(info.Height, 2u);
    EXPECT_EQ(info.ImageFileFormat, c.file);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, c.expectFormat);
    EXPECT_EQ(desc.Width, 3u);
    EXPECT_EQ(texture->GetLevelCount(), 2u);  // the full chain: 3x2, 1x1
    EXPECT_TRUE(Near(Texel(texture, 0, 0), 0xFF0000FF, c.tolerance));
    EXPECT_TRUE(Near(Texel(texture, 1, 0), 0xFFFF0000, c.tolerance));
    EXPECT_TRUE(Near(Texel(texture, 0, 1), 0xFFFFFFFF, c.tolerance));
    if (c.channels == 4) {
        EXPECT_TRUE(Near(Texel(texture, 2, 0), 0x8000FF00, c.tolerance, true));
    }
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(Files, ImageFormatTest,
                         testing::Values(FormatCase{D3DXIFF_TGA, 4, D3DFMT_A8R8G8B8, 0},
                                         FormatCase{D3DXIFF_TGA, 3, D3DFMT_X8R8G8B8, 0},
                                         FormatCase{D3DXIFF_BMP, 3, D3DFMT_X8R8G8B8, 0},
                                         FormatCase{D3DXIFF_PNG, 4, D3DFMT_A8R8G8B8, 0},
                                         FormatCase{D3DXIFF_JPG, 3, D3DFMT_X8R8G8B8, 40}));

TEST_F(DeviceTest, ColourKeyTurnsMatchingPixelsTransparent)
{
    std::string bytes = Encode(D3DXIFF_TGA, 3);
    struct Case {
        D3DCOLOR key;
        uint32_t blueBecomes;
    };
    // The direct path's key (opaque blue) and the index path's (transparent magenta).
    for (Case c : {Case{0xFF0000FF, 0x00000000}, Case{0x00FF00FF, 0xFF0000FF}}) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT_NONPOW2,
                                                      D3DX_DEFAULT_NONPOW2, 5, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                      D3DX_FILTER_NONE, D3DX_DEFAULT, c.key, nullptr, nullptr,
                                                      &texture),
                  D3D_OK);
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);  // a key asks for alpha
        EXPECT_EQ(Texel(texture, 0, 0), c.blueBecomes);
        EXPECT_EQ(Texel(texture, 2, 1), c.blueBecomes);
        EXPECT_EQ(Texel(texture, 1, 0), 0xFFFF0000u);
        texture->Release();
    }
}

TEST_F(DeviceTest, ImageFilesAreFoundWhateverTheCaseAndSeparators)
{
    testsupport::TempDir dir;
    dir.Write("Data/Sub/Button.tga", Encode(D3DXIFF_TGA, 4));
    testsupport::ScopedCurrentDir cwd(dir.Path());
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateTextureFromFileExW(device, L"data\\SUB\\BUTTON.TGA", D3DX_DEFAULT_NONPOW2,
                                           D3DX_DEFAULT_NONPOW2, 5, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                           D3DX_FILTER_NONE, D3DX_DEFAULT, 0xFF0000FF, &info, nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_TGA);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    texture->Release();
}

// A file that is not there is an ordinary answer (callers look in the data index next): it
// fails without a log line. A file that is there but cannot be read or decoded fails with one.
TEST_F(DeviceTest, MissingImagesFailQuietlyAndCorruptOnesWithALogLine)
{
    testsupport::TempDir dir;
    std::string png = Encode(D3DXIFF_PNG, 4);
    dir.Write("truncated.png", png.substr(0, png.size() / 2));
    dir.Write("garbage.tga", std::string("\x01\x02\x03", 3));
    std::string huge = Encode(D3DXIFF_BMP, 3);
    huge[18] = '\xFF';  // width field: a BMP claiming 2^31 - 1 columns
    huge[19] = '\xFF';
    huge[20] = '\xFF';
    huge[21] = '\x7F';
    dir.Write("huge.bmp", huge);
    std::filesystem::create_directories(dir.Path() / "folder.tga");
    struct Case {
        const char* name;
        bool logged;
    };
    for (const Case& c : {Case{"missing.tga", false}, Case{"truncated.png", true}, Case{"garbage.tga", true},
                          Case{"huge.bmp", true}, Case{"folder.tga", true}}) {
        std::string path = dir.Str() + "/" + c.name;
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(0x1);
        D3DXIMAGE_INFO info{};
        testing::internal::CaptureStderr();
        HRESULT hr = D3DXCreateTextureFromFileExA(device, path.c_str(), D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 0,
                                                  0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT,
                                                  0, &info, nullptr, &texture);
        std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(hr, D3DXERR_INVALIDDATA) << c.name;
        EXPECT_EQ(texture, nullptr) << c.name;
        EXPECT_EQ(log.find(c.name) != std::string::npos, c.logged) << c.name << ": " << log;
    }
}

// A picture's size is checked from its header before it is decoded: a small file claiming a huge
// picture is refused with a log line naming its size, not decoded into hundreds of megabytes.
TEST_F(DeviceTest, PicturesLargerThanTheGameUsesAreRefusedFromTheirHeader)
{
    testsupport::TempDir dir;
    auto writePng = [&](const char* name, int w, int h) {
        std::string out;
        auto append = [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
        };
        std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4, 0x80);
        stbi_write_png_to_func(append, &out, w, h, 4, pixels.data(), w * 4);
        dir.Write(name, out);
        return out;
    };
    writePng("edge.png", 2048, 1);
    writePng("wide.png", 2049, 1);
    writePng("tall.png", 1, 2049);
    std::string claims = writePng("claims.png", 2, 2);
    // IHDR width and height (big-endian, bytes 16 to 23) raised to 8192 x 8192.
    for (int field : {16, 20}) {
        claims[field + 2] = '\x20';
        claims[field + 3] = '\x00';
    }
    dir.Write("claims.png", claims);
    struct Case {
        const char* name;
        const char* size;  // in the log line; null when the picture loads
    };
    for (const Case& c : {Case{"edge.png", nullptr}, Case{"wide.png", "2049x1"}, Case{"tall.png", "1x2049"},
                          Case{"claims.png", "8192x8192"}}) {
        IDirect3DTexture9* texture = nullptr;
        testing::internal::CaptureStderr();
        HRESULT hr = D3DXCreateTextureFromFileExA(device, (dir.Str() + "/" + c.name).c_str(), D3DX_DEFAULT_NONPOW2,
                                                  D3DX_DEFAULT_NONPOW2, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                  D3DX_FILTER_NONE, D3DX_DEFAULT, 0, nullptr, nullptr, &texture);
        std::string log = testing::internal::GetCapturedStderr();
        if (!c.size) {
            EXPECT_EQ(hr, D3D_OK) << c.name << ": " << log;
            if (texture)
                texture->Release();
            continue;
        }
        EXPECT_EQ(hr, D3DXERR_INVALIDDATA) << c.name;
        EXPECT_EQ(texture, nullptr) << c.name;
        EXPECT_NE(log.find(std::string(c.name) + "': size " + c.size), std::string::npos) << c.name << ": " << log;
    }
}

namespace {

// Draws the texture over the whole back buffer with its own colours.
void DrawFullScreen(IDirect3DDevice9* device, IDirect3DTexture9* texture)
{
    TexVertex quad[4] = {{-1, 1, 0, 0xFFFFFFFF, 0, 0},
                         {1, 1, 0, 0xFFFFFFFF, 1, 0},
                         {-1, -1, 0, 0xFFFFFFFF, 0, 1},
                         {1, -1, 0, 0xFFFFFFFF, 1, 1}};
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTexture(0, texture);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex)), D3D_OK);
    device->EndScene();
    device->SetTexture(0, nullptr);
}

} // namespace

// A picture's texture holds the encoded picture and lets go of its pixels once OpenGL has them;
// a lock reads them again as they were loaded (colour key included), on any thread, and pixels
// written through a lock are the texture's own from then on.
TEST_F(DeviceTest, APictureLetsGoOfItsPixelsOnceDrawnAndGivesThemAgainToALock)
{
    // 64 x 32: opaque blue (the colour key) with one red pixel at (5, 3).
    std::vector<uint8_t> rgba(64 * 32 * 4);
    for (size_t i = 0; i < 64 * 32; ++i) {
        const bool red = i == 3 * 64 + 5;
        rgba[i * 4 + 0] = red ? 255 : 0;
        rgba[i * 4 + 2] = red ? 0 : 255;
        rgba[i * 4 + 3] = 255;
    }
    std::string png;
    auto append = [](void* out, void* data, int size) {
        static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
    };
    stbi_write_png_to_func(append, &png, 64, 32, 4, rgba.data(), 64 * 4);
    testsupport::TempDir dir;
    dir.Write("Picture.png", png);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device, (dir.Str() + "/Picture.png").c_str(), D3DX_DEFAULT_NONPOW2,
                                           D3DX_DEFAULT_NONPOW2, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                           D3DX_FILTER_NONE, D3DX_DEFAULT, 0xFF0000FF, nullptr, nullptr, &texture),
              D3D_OK);
    auto* ours = dynamic_cast<platform::d3d9::Texture*>(texture);
    ASSERT_NE(ours, nullptr);
    EXPECT_TRUE(ours->HoldsPixels()) << "kept until OpenGL has them";
    DrawFullScreen(device, texture);
    EXPECT_FALSE(ours->HoldsPixels());
    EXPECT_TRUE(Near(Pixel(5 * 4 + 2, 3 * 6 + 3), 0xFFFF0000, 0));

    // Read on another thread, as a font reads its picture while a scene loads.
    uint32_t red = 0, keyed = 0;
    std::thread([&] {
        red = Texel(texture, 5, 3);
        keyed = Texel(texture, 6, 3);
    }).join();
    EXPECT_EQ(red, 0xFFFF0000u);
    EXPECT_EQ(keyed, 0u) << "the colour key applies again";
    EXPECT_FALSE(ours->HoldsPixels()) << "a read-only lock lets go again";

    D3DLOCKED_RECT locked{};
    RECT one{6, 3, 7, 4};
    ASSERT_EQ(texture->LockRect(0, &locked, &one, 0), D3D_OK);
    *static_cast<uint32_t*>(locked.pBits) = 0xFF00FF00;
    texture->UnlockRect(0);
    DrawFullScreen(device, texture);
    EXPECT_TRUE(ours->HoldsPixels()) << "written pixels are kept";
    EXPECT_TRUE(Near(Pixel(6 * 4 + 2, 3 * 6 + 3), 0xFF00FF00, 0));
    EXPECT_EQ(Texel(texture, 6, 3), 0xFF00FF00u);
    EXPECT_EQ(Texel(texture, 5, 3), 0xFFFF0000u);
    texture->Release();
}
