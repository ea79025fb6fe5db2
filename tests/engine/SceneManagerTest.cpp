#include "EngineFakes.h"

#include "engine/InputKeyboard.h"
#include "engine/SceneManager.h"
#include "engine/SimpleTestScene.h"
#include "kv/KVIme.h"
#include "kv/KVWinMessages.h"
#include "support/kv/KVTestKit.h"

#include <helvane/DXUtil.h>
#include <win32/Time.h>

#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <limits>

using namespace enginetest;

namespace {

struct IntPacket : SceneMessagePacket {
    int32_t value = 0;
};

IntPacket MakePacket(int id, int value)
{
    IntPacket packet;
    packet.length = 8;
    packet.id = id;
    packet.value = value;
    return packet;
}

class SceneManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::UseManualClock(true);
        manager = std::make_unique<CSceneManager>();
        DXUtil_Timer(TIMER_GETELAPSEDTIME); // the first update measures only what the test adds
    }
    void TearDown() override
    {
        manager->Shutdown();
        manager.reset();
        platform::UseManualClock(false);
    }

    void Tick(float seconds) { platform::AdvanceManualClock(static_cast<uint64_t>(seconds * 1e9)); }

    RecordingScene* AddScene(const char* name)
    {
        auto* scene = new RecordingScene(name, log);
        manager->RegisterScene(scene);
        return scene;
    }

    int Step(float seconds = 0.016f)
    {
        Tick(seconds);
        return manager->Update();
    }

    void Post(int id, int value)
    {
        IntPacket packet = MakePacket(id, value);
        manager->PostMessage(&packet);
    }

    EventLog log;
    FakeInputPlatform input;
    RecordingRenderBackend renderer;
    std::unique_ptr<CSceneManager> manager;
};

TEST(FrameSecondsTest, ClampsBadAndHugeTimes)
{
    struct Case {
        float in;
        float out;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (Case c : {Case{0.016f, 0.016f}, Case{0.0f, 0.0f}, Case{-1.0f, 0.0f}, Case{nan, 0.0f},
                   Case{inf, kMaxFrameSeconds}, Case{3600.0f, kMaxFrameSeconds}, Case{-inf, 0.0f}})
        EXPECT_EQ(ClampFrameSeconds(c.in), c.out) << c.in;
}

TEST_F(SceneManagerTest, MessagesPostedDuringDeliveryArriveInTheSameUpdate)
{
    RecordingScene* game = AddScene("Game");
    game->Handle(2100, [&](const void*) { Post(2101, 7); });
    game->Handle(2101);
    manager->SetFirstScene("Game", 0, 0);

    Post(2100, 1);
    Post(2999, 5); // no handler: dropped
    log.Clear();
    Step();
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"Game got 2100 1", "Game got 2101 7", "Game Update 0.000000"}));
}

TEST_F(SceneManagerTest, HandlerThatChangesSceneSendsTheRestOfTheBatchToTheNewScene)
{
    RecordingScene* first = AddScene("First");
    RecordingScene* second = AddScene("Second");
    first->Handle(2100, [&](const void*) { manager->ChangeScene("Second", 3, 4); });
    first->Handle(2101);
    second->Handle(2101);
    manager->SetFirstScene("First", 0, 0);
    Step();

    Post(2100, 0);
    Post(2101, 9);
    log.Clear();
    Step();
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"First got 2100 0", "First Leave", "Second Enter 3 4",
                                                       "Second got 2101 9", "Second Update 0.000000"}));
    // The frame after a change made in a handler still gets 0 seconds, then time runs.
    Step(0.02f);
    EXPECT_EQ(second->lastSeconds, 0.0f);
    Step(0.02f);
    EXPECT_FLOAT_EQ(second->lastSeconds, 0.02f);
}

TEST_F(SceneManagerTest, FirstUpdateOfAFirstOrChangedSceneGetsZeroSeconds)
{
    RecordingScene* first = AddScene("First");
    RecordingScene* second = AddScene("Second");
    manager->SetFirstScene("First", 0, 0);
    Step(0.03f);
    EXPECT_EQ(first->lastSeconds, 0.0f);
    Step(0.03f);
    EXPECT_FLOAT_EQ(first->lastSeconds, 0.03f);

    // Changed from outside a handler (as from a scene's Update): 0 in its first update only.
    manager->ChangeScene("Second", 0, 0);
    Step(0.03f);
    EXPECT_EQ(second->lastSeconds, 0.0f);
    Step(0.03f);
    EXPECT_FLOAT_EQ(second->lastSeconds, 0.03f);
}

TEST_F(SceneManagerTest, MeasuredZeroDeliversMessagesUpdatesNothingAndStillDraws)
{
    RecordingScene* game = AddScene("Game");
    game->Handle(2100);
    manager->SetFirstScene("Game", 0, 0);
    Step();
    Post(2100, 1);
    log.Clear();
    renderer.calls.clear();
    Tick(0.0f);
    manager->Frame();
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"Game got 2100 1", "Game Render"}));
    EXPECT_EQ(renderer.calls.front(), "Begin");
}

TEST_F(SceneManagerTest, FrameDrawsBetweenBeginAndEndOnlyWhenTheUpdateAllowsIt)
{
    RecordingScene* game = AddScene("Game");
    manager->SetFirstScene("Game", 0, 0);
    Tick(0.016f);
    manager->Frame();
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"UpdateCameras", "Begin", "BeginScene", "FlushSprite",
                                                        "FlushDebugText", "EndScene", "End"}));
    EXPECT_EQ(renderer.clearColour, 0xFF000000u);

    // A lost device: begin and end, nothing drawn.
    renderer.calls.clear();
    renderer.sceneOk = false;
    Tick(0.016f);
    manager->Frame();
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"UpdateCameras", "Begin", "BeginScene", "End"}));

    // A scene update that returns 0: the renderer is not touched at all.
    renderer.calls.clear();
    game->updateResult = 0;
    Tick(0.016f);
    manager->Frame();
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"UpdateCameras"}));
}

TEST_F(SceneManagerTest, LeftCtrlAndRTogglesTheFrameRateLine)
{
    AddScene("Game");
    manager->SetFirstScene("Game", 0, 0);
    CInputKeyboard& keyboard = singleton<CInputKeyboard>::GetSingleton();
    keyboard.SetWindow(FakeWindow());

    input.keys = {'R'}; // R alone does nothing, and is not consumed by the manager
    Step();
    EXPECT_FALSE(manager->IsFrameRateShown());
    EXPECT_TRUE(keyboard.IsKeyPressed('R'));

    // The keyboard tracks keys only through queries: one frame without any forgets R.
    input.keys = {};
    Step();
    Step();
    input.keys = {0xA2, 'R'};
    Step();
    EXPECT_TRUE(manager->IsFrameRateShown());
    Step(); // still held: no second toggle
    EXPECT_TRUE(manager->IsFrameRateShown());
    input.keys = {0xA2};
    Step();
    Step();
    input.keys = {0xA2, 'R'};
    Step();
    EXPECT_FALSE(manager->IsFrameRateShown());
    keyboard.SetWindow(nullptr);
}

TEST_F(SceneManagerTest, WindowMessagesWaitForTheFirstUpdateAfterAChange)
{
    AddScene("Game");
    manager->SetFirstScene("Game", 0, 0);
    EXPECT_EQ(manager->MsgProc(0x100, 0, 0), 0);
    Step();
    EXPECT_EQ(manager->MsgProc(0x100, 0, 0), 1);
    EXPECT_EQ(log.Count("Game MsgProc 256"), 1u);

    manager->Quit();
    EXPECT_EQ(manager->MsgProc(0x100, 0, 0), 0);
    EXPECT_EQ(log.Count("Game MsgProc 256"), 1u);
}

TEST_F(SceneManagerTest, QuitThenShutdownLeavesOnceAndDeletesScenesInNameOrder)
{
    AddScene("Beta");
    AddScene("Alpha");
    manager->SetFirstScene("Beta", 0, 0);
    Step();
    manager->Quit();
    EXPECT_TRUE(renderer.closing);
    EXPECT_EQ(Step(), 0);
    manager->Shutdown();
    EXPECT_EQ(log.Count("Beta Leave"), 1u);
    auto entries = log.Entries();
    std::vector<std::string> tail(entries.end() - 2, entries.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Alpha deleted", "Beta deleted"}));
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"UpdateCameras", "DestroyGameWindow", "PostQuit 0"}));
    EXPECT_EQ(manager->GetCurrentScene(), nullptr);
}

TEST_F(SceneManagerTest, UnknownNamesAreLoggedAndIgnored)
{
    AddScene("Game");
    manager->SetFirstScene("Nowhere", 0, 0);
    EXPECT_EQ(manager->GetCurrentScene(), nullptr);
    manager->SetFirstScene("Game", 0, 0);
    manager->ChangeScene("Nowhere", 1, 2);
    EXPECT_EQ(manager->GetCurrentScene()->GetName(), std::string("Game"));
    EXPECT_EQ(log.Count("Game Leave"), 0u);
}

TEST_F(SceneManagerTest, RegisteringANameAgainKeepsTheSecondScene)
{
    auto* replaced = new RecordingScene("Game", log);
    manager->RegisterScene(replaced);
    RecordingScene* kept = AddScene("Game");
    EXPECT_EQ(manager->FindScene("Game"), kept);
    delete replaced; // the manager no longer owns it
}

TEST_F(SceneManagerTest, WithoutLoadingSceneTheTargetEntersOnTheCallingThread)
{
    AddScene("First");
    RecordingScene* second = AddScene("Second");
    manager->SetFirstScene("First", 0, 0);
    log.Clear();
    manager->ChangeScene("Second", 5, 6);
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"First Leave", "Second Enter 5 6"}));
    EXPECT_EQ(second->enterThread, std::this_thread::get_id());
    EXPECT_EQ(manager->GetCurrentScene(), second);
}

// The target's Enter runs on the loader thread and blocks there while the main thread keeps
// running frames of the loading scene; messages the Enter posts reach the loading scene.
TEST_F(SceneManagerTest, SwitchThroughLoadingSceneRunsEnterOnTheLoaderThread)
{
    AddScene("First");
    RecordingScene* loading = AddScene(kLoadingSceneName);
    RecordingScene* target = AddScene("Target");
    loading->Handle(2121);
    std::promise<void> mayFinish;
    std::shared_future<void> finish = mayFinish.get_future().share();
    std::promise<void> entered;
    target->onEnter = [&] {
        Post(2121, 42);
        entered.set_value();
        finish.wait();
    };
    manager->SetFirstScene("First", 0, 0);
    Step();
    log.Clear();

    manager->ChangeScene("Target", 7, 8);
    EXPECT_EQ(manager->GetCurrentScene(), loading);
    entered.get_future().wait();
    for (int i = 0; i < 5; ++i) {
        Tick(0.016f);
        manager->Frame();
    }
    EXPECT_EQ(manager->GetCurrentScene(), loading);
    EXPECT_TRUE(manager->IsSwitchPending());
    EXPECT_EQ(log.Count("LoadingScene got 2121 42"), 1u);
    EXPECT_EQ(log.Count("LoadingScene Render"), 5u);

    mayFinish.set_value();
    while (manager->GetCurrentScene() != target) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Step(0.016f);
    }
    EXPECT_NE(target->enterThread, std::this_thread::get_id());
    EXPECT_EQ(log.Count("First Leave"), 1u);
    EXPECT_EQ(log.Count("LoadingScene Enter 0 0"), 1u);
    EXPECT_EQ(log.Count("Target Enter 7 8"), 1u);
    EXPECT_EQ(log.Count("LoadingScene Leave"), 1u);
    // The hand-over keeps the ordinary frame time.
    EXPECT_FLOAT_EQ(target->lastSeconds, 0.016f);
    auto entries = log.Entries();
    EXPECT_EQ(entries[0], "First Leave");
    EXPECT_EQ(entries[1], "LoadingScene Enter 0 0");
}

// Text typed while the loader thread enters a scene is kept until the next update after the
// whole Enter, even when the scene has read its layouts and goes on building windows.
TEST_F(SceneManagerTest, TypedTextWaitsForTheWholeEnterOnTheLoaderThread)
{
    testsupport::KVEnvironment env;
    env.system->InstallInputMethod(nullptr);
    env.system->GetInputMethodProvider()->GetService()->SetEnabled(true);
    kv::KVWnd* form = env.LoadText("<kevrin version=\"2\"><base type=\"WND\" name=\"Wnd_form\"><rect l=\"0\" t=\"0\" "
                                   "r=\"300\" b=\"100\"/><child type=\"BUTTON\" name=\"Edit_name\"><pos x=\"10\" "
                                   "y=\"10\"/><rect l=\"0\" t=\"0\" r=\"200\" b=\"30\"/></child></base></kevrin>");
    ASSERT_NE(form, nullptr);
    form->SetVisible(true);
    env.Click(50, 20);
    testsupport::EventRecorder events;
    events.Attach(env.Root()->FindWindow(L"Edit_name"), kv::EventChar);

    AddScene("First");
    AddScene(kLoadingSceneName);
    RecordingScene* target = AddScene("Target");
    std::promise<void> mayFinish;
    std::shared_future<void> finish = mayFinish.get_future().share();
    std::promise<void> entered;
    target->onEnter = [&] {
        entered.set_value();
        finish.wait();
    };
    manager->SetFirstScene("First", 0, 0);
    Step();
    manager->ChangeScene("Target", 0, 0);
    entered.get_future().wait();
    env.SendIme(WM_CHAR, 'q');
    EXPECT_TRUE(events.entries.empty()) << "the text reached a scene still being built";

    mayFinish.set_value();
    while (manager->GetCurrentScene() != target) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Step(0.016f);
    }
    env.system->Update(0.016f);
    ASSERT_EQ(events.entries.size(), 1u);
    EXPECT_EQ(events.lastText, L"q");
}

TEST_F(SceneManagerTest, ShutdownDuringASwitchFinishesEnterAndLeavesEachSceneOnce)
{
    AddScene("First");
    AddScene(kLoadingSceneName);
    RecordingScene* target = AddScene("Target");
    target->onEnter = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
    manager->SetFirstScene("First", 0, 0);
    manager->ChangeScene("Target", 0, 0);
    manager->Quit(); // leaves the loading scene
    manager->Shutdown();
    EXPECT_EQ(log.Count("Target Enter 0 0"), 1u);
    EXPECT_EQ(log.Count("LoadingScene Leave"), 1u);
    EXPECT_EQ(log.Count("Target Leave"), 1u);
    EXPECT_EQ(log.Count("First Leave"), 1u);
}

TEST_F(SceneManagerTest, PacketLengthsAreCheckedBeforeCopying)
{
    struct BigPacket : SceneMessagePacket {
        uint8_t payload[1100];
    };
    RecordingScene* game = AddScene("Game");
    std::vector<uint8_t> received;
    game->Handle(2100, [&](const void* data) {
        auto* bytes = static_cast<const uint8_t*>(data);
        received.assign(bytes, bytes + kSceneMessageDataBytes);
    });
    manager->SetFirstScene("Game", 0, 0);

    struct Case {
        int32_t length;
        bool delivered;
    };
    for (Case c : {Case{8, true}, Case{1024, true}, Case{1104, true}, Case{3, false}, Case{-5, false}}) {
        auto packet = std::make_unique<BigPacket>();
        packet->length = c.length;
        packet->id = 2100;
        for (int i = 0; i < 1100; ++i)
            packet->payload[i] = static_cast<uint8_t>(i * 7);
        received.clear();
        manager->PostMessage(packet.get());
        Step();
        ASSERT_EQ(!received.empty(), c.delivered) << c.length;
        if (!c.delivered)
            continue;
        int32_t id = 0;
        std::memcpy(&id, received.data(), 4);
        EXPECT_EQ(id, 2100);
        size_t copied = std::min<size_t>(static_cast<size_t>(c.length), kSceneMessageDataBytes) - 4;
        EXPECT_TRUE(std::equal(packet->payload, packet->payload + copied, received.begin() + 4)) << c.length;
    }
}

} // namespace
