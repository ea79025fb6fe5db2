// The UI back ends on a test device and the dummy sound output: images and text drawn through
// the renderer and the platform interface, directly and by a layout's picture and label widgets,
// land at the right pixels; button sounds load once and play through the sound server.
#include "engine/FontManager.h"
#include "engine/KVSVInterface.h"
#include "engine/KVSVRenderer.h"
#include "engine/SoundServer.h"

#include "kv/KVSystem.h"
#include "kv/KVWnd.h"

#include "engine/SoundFixtures.h"
#include "engine/device/DrawingGraphics.h"
#include "platform/d3d9/device/DeviceFixture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::string LogText()
{
    return testsupport::ReadFile("Log_VODozivo.txt");
}

const char* kLayout = R"(<kevrin version="2">
  <base type="WND" name="Wnd_panel"><pos x="30" y="40"/><rect l="0" t="0" r="300" b="200"/>
    <child type="PICTURE" name="Pic_panel"><pos x="0" y="0"/><rect l="0" t="0" r="40" b="20"/>
      <asset type="STATIC">ui/panel.tga</asset></child>
    <child type="LABEL" name="Label_ok"><pos x="0" y="60"/><rect l="0" t="0" r="100" b="20"/>
      <label val="OK"/><FontName val="KelmorSoft"/><Color val="#00FF00FF"/></child>
  </base>
</kevrin>)";

class UiBackEndDevice : public d3d9test::DeviceTest {
protected:
    mediatest::DrawingGraphics graphics;
    KVSVRenderer renderer;
    KVSVInterface iface;
    FTFont fonts;
};

TEST_F(UiBackEndDevice, DrawsAPictureAndALabelWhereTheWindowsAre)
{
    // A 40 x 20 picture: red left half, blue right half.
    std::vector<uint32_t> pixels(40 * 20);
    for (int i = 0; i < 40 * 20; ++i)
        pixels[i] = i % 40 < 20 ? 0xFFFF0000 : 0xFF0000FF;
    IDirect3DTexture9* picture = MakeTexture(40, 20, pixels.data());
    graphics.AddTexture(L"panel.tga", picture);
    fonts.InitDevice(device);
    fonts.RegisterFont(L"MainUI", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    iface.Init(nullptr);

    // The picture window "12" at (30, 40) and a label under it in the layout face "KelmorSoft".
    renderer.AddImage(L"12", L"ui/panel.tga", kv::KVPoint{}, kv::KVRect{0, 40, 0, 20});
    renderer.DrawImage(L"12", 0, kv::KVPoint{30, 40}, 1.0f, kv::KVPoint{1, 1}, 0, kv::KVPoint{0, 0});
    kv::KVTextStyle style;
    style.faceName = L"KelmorSoft";
    style.colour = 0xFF00FF00;
    iface.DrawText(style, 30, 100, L"OK");
    kv::KVSize label = iface.MeasureText(L"KelmorSoft", L"OK");
    graphics.DrawFrame(device);

    EXPECT_TRUE(d3d9test::Near(Pixel(35, 45), 0xFFFF0000));
    EXPECT_TRUE(d3d9test::Near(Pixel(65, 55), 0xFF0000FF));
    EXPECT_TRUE(d3d9test::Near(Pixel(71, 45), 0xFF000000)) << "the picture is 40 pixels wide";
    EXPECT_TRUE(d3d9test::Near(Pixel(35, 61), 0xFF000000)) << "and 20 tall";
    int green = 0;
    for (int y = 100; y < 100 + label.height; ++y)
        for (int x = 30; x < 30 + label.width; ++x)
            green += ((Pixel(x, y) >> 8) & 0xFF) > 128;
    EXPECT_GT(green, 20) << "the label's text is drawn inside its measured box";
    EXPECT_TRUE(d3d9test::Near(Pixel(30 + label.width + 2, 105), 0xFF000000));
    picture->Release();
}

TEST_F(UiBackEndDevice, DrawsALayoutsPictureAndLabelThroughTheBackEnds)
{
    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd(dir.Path());
    dir.Write("panel_layout.xml", kLayout);
    std::vector<uint32_t> pixels(40 * 20, 0xFFFF0000);
    IDirect3DTexture9* picture = MakeTexture(40, 20, pixels.data());
    graphics.AddTexture(L"panel.tga", picture);
    fonts.InitDevice(device);
    fonts.RegisterFont(L"MainUI", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    iface.Init(nullptr);
    {
        kv::KVSystem system;
        system.SetRenderer(&renderer);
        system.SetInterface(&iface);
        kv::KVWnd* panel = system.CreateWindowFromLayout("panel_layout.xml");
        ASSERT_NE(panel, nullptr);
        panel->SetVisible(true);
        system.GetRootLayer()->Draw();
        graphics.DrawFrame(device);
        system.DetachWindow(panel);
    }
    EXPECT_TRUE(d3d9test::Near(Pixel(31, 41), 0xFFFF0000)) << "the picture at the panel's corner";
    EXPECT_TRUE(d3d9test::Near(Pixel(69, 59), 0xFFFF0000));
    EXPECT_TRUE(d3d9test::Near(Pixel(71, 50), 0xFF000000));
    kv::KVSize label = iface.MeasureText(L"KelmorSoft", L"OK");
    int green = 0, outside = 0;
    for (int y = 90; y < 140; ++y)
        for (int x = 20; x < 140; ++x) {
            bool lit = ((Pixel(x, y) >> 8) & 0xFF) > 128;
            bool inside = x >= 30 && x < 30 + label.width && y >= 100 && y < 100 + label.height;
            (inside ? green : outside) += lit;
        }
    EXPECT_GT(green, 20) << "the label's text at (30, 100)";
    EXPECT_EQ(outside, 0);
    picture->Release();
}

TEST(UiBackEndSound, PlaysButtonSoundsThroughTheSoundServer)
{
    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd(dir.Path());
    soundfixtures::WavFormat wav;
    wav.data = soundfixtures::Pcm16(soundfixtures::Sine(22050, 1, 441.0, 22050.0, 8000.0));
    dir.Write("click.wav", soundfixtures::MakeWav(wav));
    DXSoundServer server;
    ASSERT_TRUE(server.Init(nullptr, DSSCL_PRIORITY, 2, 22050, 16));
    KVSVInterface iface;
    iface.Init(nullptr);

    iface.PlaySound(L"0");
    iface.PlaySound(L"");
    iface.PlaySound(L"click.wav");
    const int id = server.LoadSound(L"click.wav", 1, true);
    ASSERT_GE(id, 0);
    EXPECT_TRUE(server.GetSound(id)->IsPlaying());
    iface.PlaySound(L"click.wav");
    EXPECT_EQ(server.LoadSound(L"click.wav", 1, true), id) << "the file is loaded once";
    EXPECT_EQ(LogText().find("UI 사운드"), std::string::npos) << "\"0\" and \"\" are no sounds";

    iface.PlaySound(L"missing.wav");
    EXPECT_NE(LogText().find("missing.wav UI 사운드 파일이 없습니다."), std::string::npos);
    server.Release();
}

} // namespace
