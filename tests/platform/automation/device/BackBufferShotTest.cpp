// The render target saved as PNG holds the pixels drawn, in the right colours and rows.
#include "../../d3d9/device/DeviceFixture.h"

#include <d3d9/BackBufferShot.h>

#include <stb/stb_image.h>

#include <cstdio>

namespace {

class BackBufferShotTest : public d3d9test::DeviceTest {};

TEST_F(BackBufferShotTest, SavesTheRenderTargetAsOpaqueRgb)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0), D3D_OK);
    RECT area{0, 0, 8, 4};
    ASSERT_EQ(device->Clear(1, &area, D3DCLEAR_TARGET, 0x80FF8000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(platform::d3d9::SaveRenderTargetPng(device, "shot.png"), D3D_OK);

    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load("shot.png", &w, &h, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(w, static_cast<int>(kWidth));
    EXPECT_EQ(h, static_cast<int>(kHeight));
    auto at = [&](int x, int y) {
        const unsigned char* p = pixels + (y * w + x) * 4;
        return (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    };
    EXPECT_TRUE(d3d9test::Near(at(1, 1), 0xFFFF8000, 0, true));
    EXPECT_TRUE(d3d9test::Near(at(100, 100), 0xFF102030, 0, true));
    stbi_image_free(pixels);
    std::remove("shot.png");
}

TEST_F(BackBufferShotTest, RefusesAMissingDeviceOrFileName)
{
    EXPECT_EQ(platform::d3d9::SaveRenderTargetPng(nullptr, "x.png"), D3DERR_INVALIDCALL);
    EXPECT_EQ(platform::d3d9::SaveRenderTargetPng(device, ""), D3DERR_INVALIDCALL);
    EXPECT_EQ(platform::d3d9::SaveRenderTargetPng(device, "no/such/folder/x.png"), D3DERR_INVALIDCALL);
}

} // namespace
