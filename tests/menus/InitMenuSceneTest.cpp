// Window messages on their way to the UI, in the first scene and in the forwarding every other
// scene shares: mouse positions reach the window system signed, so a release left of or above
// the window is not read as a position near 65535.
#include "menus/InitMenuScene.h"

#include "kv/KVEventArgs.h"
#include "support/kv/KVTestKit.h"

#include <win32/Messages.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct ReleaseCase {
    int x, y;
};

class InitMenuSceneMouse : public ::testing::TestWithParam<ReleaseCase> {
protected:
    // Keeps where the window was told the button went up.
    struct Release {
        void Record(kv::EventArgs& args)
        {
            auto& mouse = dynamic_cast<kv::MouseEventArgs&>(args);
            x = mouse.x;
            y = mouse.y;
            ++count;
        }
        float x = 0, y = 0;
        int count = 0;
    };

    // A captured window takes the button release wherever the pointer is, outside the window too.
    void ReleaseThrough(const std::function<int(UINT, WPARAM, LPARAM)>& msgProc)
    {
        const ReleaseCase c = GetParam();
        auto* dragged = new testsupport::TestWindow;
        dragged->SetName(L"Wnd_dragged");
        env.Root()->AddChild(dragged);
        dragged->SetSize(100, 100);
        dragged->SetVisible(true);
        dragged->AddHandler(kv::EventLButtonUp, kv::MakeHandler(&release, &Release::Record));
        env.system->SetCapturedWindow(dragged);

        EXPECT_EQ(msgProc(WM_LBUTTONDOWN, 0, (50 << 16) | 50), 1);
        const LPARAM at = static_cast<LPARAM>((static_cast<uint32_t>(static_cast<uint16_t>(c.y)) << 16) |
                                              static_cast<uint16_t>(c.x));
        EXPECT_EQ(msgProc(WM_LBUTTONUP, 0, at), 1);
        ASSERT_EQ(release.count, 1);
        EXPECT_FLOAT_EQ(release.x, static_cast<float>(c.x));
        EXPECT_FLOAT_EQ(release.y, static_cast<float>(c.y));
        env.system->SetCapturedWindow(nullptr);
    }

    testsupport::KVEnvironment env;
    VanteoInitMenuScene scene;
    Release release;
};

TEST_P(InitMenuSceneMouse, TheFirstSceneKeepsTheSign)
{
    ReleaseThrough([&](UINT msg, WPARAM wParam, LPARAM lParam) { return scene.MsgProc(msg, wParam, lParam); });
}

TEST_P(InitMenuSceneMouse, TheSharedForwardingKeepsTheSign)
{
    ReleaseThrough(ForwardToUi);
}

INSTANTIATE_TEST_SUITE_P(Positions, InitMenuSceneMouse,
                         ::testing::Values(ReleaseCase{-5, 40}, ReleaseCase{30, -12}, ReleaseCase{-1, -1},
                                           ReleaseCase{700, 500}));

} // namespace
