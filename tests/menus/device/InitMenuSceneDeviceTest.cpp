// The first scene on a device with a short logo movie: a key press or a release of either mouse
// button skips the logo, a press alone does not, and the movie's end opens the main menu, each
// time with (-1, 0).
#include "engine/EngineFakes.h"
#include "engine/MovieFixture.h"
#include "platform/d3d9/device/DeviceFixture.h"
#include "support/TempDir.h"

#include "engine/Getters.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "menus/InitMenuScene.h"
#include "menus/MainMenuScene.h"

#include <lumenkit/Direct3DDevice.h>
#include <win32/Messages.h>
#include <win32/VirtualKeys.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

using enginetest::EventLog;
using enginetest::RecordingScene;

struct Input {
    UINT msg;
    WPARAM wParam;
};

struct SkipCase {
    const char* what;
    std::vector<Input> inputs;
    bool skips;
};

class InitMenuSceneDevice : public d3d9test::DeviceTest, public ::testing::WithParamInterface<SkipCase> {
protected:
    void SetUp() override
    {
        d3d9test::DeviceTest::SetUp();
        std::filesystem::create_directories(m_dir.Path() / "Data/Movie");
        moviefixture::MovieFormat clip;
        clip.frames = moviefixture::GreyRamp(5); // 0.2 s at 25 frames a second
        ASSERT_TRUE(moviefixture::WriteMovie((m_dir.Path() / "Data/Movie/KelmorCI.avi").string(), clip));
        m_cwd = std::make_unique<testsupport::ScopedCurrentDir>(m_dir.Path());
        CDirect3DDevice::GetSingleton().m_pd3dDevice = device;
        GetInputManager()->Init(enginetest::FakeWindow());
        m_manager = std::make_unique<CSceneManager>();
        m_manager->RegisterScene(new RecordingScene(kMainMenuSceneName, m_log));
        m_manager->RegisterScene(m_scene = new VanteoInitMenuScene());
        m_manager->SetFirstScene(kInitMenuSceneName, 0, 0);
    }
    void TearDown() override
    {
        m_manager->Shutdown();
        m_manager.reset();
        CDirect3DDevice::GetSingleton().m_pd3dDevice = nullptr;
        m_cwd.reset();
        d3d9test::DeviceTest::TearDown();
    }

    // One frame of the first scene: the mouse reads the messages, then the scene updates.
    void Frame(float seconds, const std::vector<Input>& inputs = {})
    {
        for (const Input& input : inputs) {
            GetInputManager()->MsgProc(input.msg, input.wParam, MAKELPARAM(10, 10));
            m_scene->MsgProc(input.msg, input.wParam, MAKELPARAM(10, 10));
        }
        GetInputManager()->GetMouse()->Update(seconds);
        m_manager->GetCurrentScene()->Update(seconds);
    }

    bool InMainMenu() { return m_log.Count(std::string(kMainMenuSceneName) + " Enter -1 0") == 1; }

    enginetest::FakeInputPlatform m_input; // the window's client area for the mouse
    testsupport::TempDir m_dir;
    std::unique_ptr<testsupport::ScopedCurrentDir> m_cwd;
    std::unique_ptr<CSceneManager> m_manager;
    VanteoInitMenuScene* m_scene = nullptr;
    EventLog m_log;
};

TEST_P(InitMenuSceneDevice, InputSkipsTheLogoOnlyByAKeyOrAButtonRelease)
{
    const SkipCase& c = GetParam();
    Frame(0.02f);
    ASSERT_FALSE(InMainMenu()) << "the movie plays";
    Frame(0.02f, c.inputs);
    Frame(0.02f);
    EXPECT_EQ(InMainMenu(), c.skips) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Inputs, InitMenuSceneDevice,
                         ::testing::Values(SkipCase{"left release", {{WM_LBUTTONDOWN, 0}, {WM_LBUTTONUP, 0}}, true},
                                           SkipCase{"right release", {{WM_RBUTTONDOWN, 0}, {WM_RBUTTONUP, 0}}, true},
                                           SkipCase{"left press alone", {{WM_LBUTTONDOWN, 0}}, false},
                                           SkipCase{"right press alone", {{WM_RBUTTONDOWN, 0}}, false},
                                           SkipCase{"key press", {{WM_KEYDOWN, VK_SPACE}}, true}));

TEST_F(InitMenuSceneDevice, TheMoviesEndOpensTheMainMenu)
{
    for (int frame = 0; frame < 5 && !InMainMenu(); ++frame)
        Frame(0.02f);
    EXPECT_FALSE(InMainMenu()) << "0.1 s of a 0.2 s movie";
    for (int frame = 0; frame < 20 && !InMainMenu(); ++frame)
        Frame(0.02f);
    EXPECT_TRUE(InMainMenu());
}

} // namespace
