// What the headless tests of a mode scene share: a data folder with small layouts, a skin table
// naming them, the real window system, a scene manager with a recording main menu, the fake
// keyboard and mouse, frames stepped by the test and scene messages sent straight to the scene.
#pragma once

#include "engine/Getters.h"
#include "data/Options.h"
#include "data/Records.h"
#include "board/GameMessages.h"
#include "board/GameSeams.h"
#include "engine/AnimationXml.h"
#include "engine/EngineFakes.h"
#include "engine/InputKeyboard.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "net/LeaderBoard.h"
#include "support/kv/KVTestKit.h"

#include <helvane/ResourceFileManager.h>
#include <win32/Text.h>
#include <win32/Time.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace modetest {

// A window of a test layout: name, type, position and size, and its children.
inline std::string Wnd(const std::string& name, int x, int y, int w, int h, const std::string& inner = "",
                       const std::string& type = "WND")
{
    return "<child type=\"" + type + "\" name=\"" + name + "\"><pos x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(y) + "\"/><rect l=\"0\" t=\"0\" r=\"" + std::to_string(w) + "\" b=\"" + std::to_string(h) +
           "\"/>" + inner + "</child>";
}

inline std::string Layout(const std::string& top, const std::string& children)
{
    return "<kevrin version=\"2\"><base type=\"PANEL\" name=\"" + top +
           "\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"1024\" b=\"768\"/>" + children + "</base></kevrin>";
}

// Windows named `pattern` with 1 to `count` in a row, 20 pixels apart.
inline std::string Row(const char* pattern, int count, int x, int y)
{
    std::string out;
    for (int i = 1; i <= count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, pattern, i);
        out += Wnd(name, x + 20 * (i - 1), y, 18, 18);
    }
    return out;
}

// `Scene` is the type of the scene under test, so that its fields read without casts.
template <typename Scene = CScene>
class ModeSceneTest : public ::testing::Test {
protected:
    ModeSceneTest() { platform::UseManualClock(true); }

    // `skin` maps skin keys to layout files already added with AddLayout or animation files; the
    // pause gets a layout of its own. A fresh player: no rankings, no cubes, the default bests.
    void SetUpScene(Scene* mode, const std::map<std::string, std::string>& skin)
    {
        // The pause needs a window of its own to stay open.
        AddLayout("layout/ModePause.xml", Layout("Wnd_pause", ""));
        std::string common = "LayoutPause=\"ModePause.xml\" ";
        for (const auto& [key, file] : skin)
            common += key + "=\"" + file + "\" ";
        WriteSkin(common);
        LoadPlayRecord();
        ResetThisGame();
        ClearRanking();
        GameConfig.cubes = 0;
        GetLeaderBoard().m_nBest = kDefaultBests;
        StartManager({mode});
        scene = mode;
    }
    // The skin table's common entries (attributes), the same for both skins, loaded.
    void WriteSkin(const std::string& common)
    {
        const std::string table = "<VanteoSkin><Common " + common + "/></VanteoSkin>";
        data.Write("KVSkin_Default.xml", table + table);
        SkinTable.LoadSkin(0);
        SkinTable.LoadSkin(1);
    }
    // The fake keyboard and mouse, and a scene manager holding the scenes and a recording main
    // menu.
    void StartManager(std::initializer_list<CScene*> scenes)
    {
        GetInputManager()->Init(enginetest::FakeWindow());
        Keyboard().Update();
        Keyboard().Update();
        manager = std::make_unique<CSceneManager>();
        for (CScene* each : scenes)
            manager->RegisterScene(each);
        manager->RegisterScene(new enginetest::RecordingScene("VanteoMainMenuScene", log));
    }
    void TearDown() override
    {
        manager->Shutdown();
        manager.reset();
        ClearRanking();
        Keyboard().SetWindow(nullptr);
        platform::UseManualClock(false);
    }

    static CInputKeyboard& Keyboard() { return singleton<CInputKeyboard>::GetSingleton(); }

    // A layout file in the data folder, readable by the window system under the path the data
    // folder index gives it.
    void AddLayout(const std::string& relative, const std::string& xml)
    {
        data.Write(relative, xml);
        std::wstring name = platform::Widen(relative.substr(relative.find('/') + 1));
        const wchar_t* path = singleton<CResourceFileManager>::GetSingleton().GetFullPathNameW(name, 9);
        ASSERT_NE(path, nullptr) << relative;
        kv.iface.AddFile(path, xml);
    }

    // Frames of `seconds` each: the scene's messages (unless the test sends them itself), its
    // update, the keyboard's end of frame.
    void Run(int frames, float seconds)
    {
        for (int i = 0; i < frames; ++i) {
            if (dispatchEachFrame)
                manager->DispatchMessages();
            scene->Update(seconds);
            Keyboard().Update();
        }
    }
    void Press(int vk)
    {
        input.keys.insert(vk);
        Run(1, 0.02f);
        input.keys.erase(vk);
        Run(1, 0.02f);
    }

    void Send(int32_t id, std::initializer_list<int32_t> words)
    {
        PayloadWriter writer;
        writer.I32(id);
        for (int32_t w : words)
            writer.I32(w);
        std::vector<uint8_t> bytes = writer.Bytes();
        int length = static_cast<int>(bytes.size());
        bytes.resize(kSceneMessageDataBytes, 0);
        scene->Dispatch(id, bytes.data(), length);
    }

    enginetest::animxml::DataFolder data;
    testsupport::KVEnvironment kv;
    enginetest::RecordingRenderBackend renderer;
    enginetest::FakeInputPlatform input;
    enginetest::EventLog log;
    std::unique_ptr<CSceneManager> manager;
    Scene* scene = nullptr;
    bool dispatchEachFrame = true;
};

} // namespace modetest
