// The action layer over DirectInput: set up on the game window it finds the keyboard for its
// keyboard actions, maps the action table onto it and, polled each frame, reads the mapped key
// changes with the actions' values.
#include "../../platform/win32/device/TestWindow.h"

#include "engine/ActionInputManager.h"
#include "engine/InputKeyboard.h"

#include <win32/TestInput.h>
#include <win32/VirtualKeys.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<DIDEVICEOBJECTDATA>& Records()
{
    static std::vector<DIDEVICEOBJECTDATA> records;
    return records;
}

void Keep(const DIDEVICEOBJECTDATA& record)
{
    Records().push_back(record);
}

TEST(ActionInputTest, TheKeyboardIsMappedAndPolledForTheActionTable)
{
    testsupport::TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    ActionInputManager& actions = ActionInputManager::Instance();
    actions.Setup(window.hwnd);
    actions.SetRecordHandler(&Keep);
    Records().clear();

    InputDeviceManager* devices = actions.GetDeviceManager();
    ASSERT_NE(devices, nullptr);
    ASSERT_EQ(devices->GetDeviceCount(), 1) << "the keyboard serves the keyboard actions";
    EXPECT_FALSE(devices->HasForceFeedback());
    for (const DIACTIONW& action : g_rgGameAction)
        EXPECT_EQ(action.dwHow, DIAH_DEFAULT) << "mapped: " << action.dwSemantic;
    EXPECT_EQ(singleton<CInputKeyboard>::GetSingleton().GetWindow(), window.hwnd);

    EXPECT_EQ(actions.Poll(0.016f), 1);
    platform::InjectKey(window.hwnd, VK_SPACE, true);
    platform::InjectKey(window.hwnd, 'A', true); // no action
    testsupport::TestWindow::Pump();
    actions.Poll(0.016f);
    platform::InjectKey(window.hwnd, VK_SPACE, false);
    platform::InjectKey(window.hwnd, 'A', false);
    testsupport::TestWindow::Pump();
    actions.Poll(0.016f);

    ASSERT_EQ(Records().size(), 2u);
    EXPECT_EQ(Records()[0].uAppData, 1u);
    EXPECT_EQ(Records()[0].dwData, 0x80u) << "down";
    EXPECT_EQ(Records()[1].uAppData, 1u);
    EXPECT_EQ(Records()[1].dwData, 0u) << "up";
    actions.SetRecordHandler(nullptr);
    singleton<CInputKeyboard>::GetSingleton().SetWindow(nullptr);
}

} // namespace
