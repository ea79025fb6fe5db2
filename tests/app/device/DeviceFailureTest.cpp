// Start-up on a machine whose graphics cannot make the device: the player is told, the window
// goes once, and what had been started before the device is let go.
#include "app/MainWindow.h"
#include "engine/SoundServer.h"
#include "support/TempDir.h"

#include <lumenkit/Direct3DDevice.h>

#include <d3d9/D3D9.h>
#include <steam/SteamApi.h>
#include <win32/Window.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(DeviceFailureTest, TheWindowGoesOnceAndTheStartedServicesAreLetGo)
{
    testsupport::TempDir run;
    testsupport::TempDir profile;
    testsupport::ScopedCurrentDir inRun(run.Path());
    ::setenv("QUIBLY_PROFILE_DIR", profile.Str().c_str(), 1);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterMainWindowClass(instance);

    platform::d3d9::RefuseDeviceCreationForTesting(true);
    testing::internal::CaptureStderr();
    const int started = InitInstance(instance, SW_SHOW);
    const std::string said = testing::internal::GetCapturedStderr();
    platform::d3d9::RefuseDeviceCreationForTesting(false);
    ::unsetenv("QUIBLY_PROFILE_DIR");

    EXPECT_EQ(started, 0);
    EXPECT_NE(said.find("디바이스 세팅을 다시 해주세요"), std::string::npos) << said;
    EXPECT_EQ(g_hWnd, nullptr);
    EXPECT_EQ(SteamUser(), nullptr) << "the platform was shut down";
    EXPECT_EQ(DXSoundServer::GetSingleton().GetDevice(), nullptr) << "the sound device was released";
    EXPECT_EQ(CDirect3DDevice::GetSingleton().m_pD3D, nullptr);
    // The window was destroyed once: its one destruction posted the one quit message.
    int quits = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        quits += msg.message == WM_QUIT;
    EXPECT_EQ(quits, 1);
}

} // namespace
