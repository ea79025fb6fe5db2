// A main menu on the real UI toolkit with small layouts held in memory: every window the scene
// looks up, in a grid, and a UI animation per layout whose scenes last 0.1 s. The scene's world
// is made of recorders; the test's current directory is a fresh folder for the play data.
#pragma once

#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "board/GameSeams.h"
#include "engine/SceneMessage.h"
#include "kv/KVDirector.h"
#include "kv/KVLabel.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/MainMenuScene.h"
#include "support/GameSeamFakes.h"
#include "support/TempDir.h"
#include "support/kv/FakeInterface.h"
#include "support/kv/RecordingRenderer.h"

#include <win32/Messages.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace menutest {

// Records what the scene asks of its pop-ups; a test opens or closes "any pop-up" at will.
class RecordingPopUps : public IMainMenuPopUps {
public:
    bool IsAnyOpen() override { return anyOpen; }
    bool IsSkinOpen() override { return skinOpen; }
    int PendingSkin() override { return pendingSkin; }
    void CloseAll() override { calls.push_back("CloseAll"); }
    void CreateStageSelect() override { calls.push_back("CreateStageSelect"); }
    void DeleteStageSelect() override { calls.push_back("DeleteStageSelect"); }
    void ShowMessage(int param, const std::wstring& title, const std::wstring& message) override
    {
        calls.push_back("Message " + std::to_string(param) + " " + Narrow(title) + " / " + Narrow(message));
    }
    void AskYesNo(int param, const std::wstring& title, const std::wstring& message) override
    {
        calls.push_back("YesNo " + std::to_string(param) + " " + Narrow(title) + " / " + Narrow(message));
    }
    void OfferPurchase(int price, int cubes) override
    {
        calls.push_back("Offer " + std::to_string(price) + " " + std::to_string(cubes));
    }
    void ShowShortfall(int need, int have, int difference) override
    {
        calls.push_back("Short " + std::to_string(need) + " " + std::to_string(have) + " " + std::to_string(difference));
    }
    void OnSkinBought(int skin) override { calls.push_back("SkinBought " + std::to_string(skin)); }
    void OpenStart(int kind, int mode, bool withTable, RankEntry* table) override
    {
        calls.push_back("Start " + std::to_string(kind) + " " + std::to_string(mode) + (withTable ? " table" : "") +
                        (table ? " found" : ""));
    }
    void SetStartMode(int kind, int mode) override
    {
        calls.push_back("StartMode " + std::to_string(kind) + " " + std::to_string(mode));
    }
    void OpenStageSelect(int reached) override { calls.push_back("StageSelect " + std::to_string(reached)); }
    void OpenBattleHelp() override { calls.push_back("BattleHelp"); }
    bool OpenBattleVideo() override
    {
        calls.push_back("Video");
        return true;
    }
    void OpenMovieTutorial() override { calls.push_back("MovieTutorial"); }
    void OpenRanking(RankingKind kind) override { calls.push_back("Ranking " + std::to_string(static_cast<int>(kind))); }
    void UpdateSpecialLocks() override { calls.push_back("SpecialLocks"); }
    void OpenUnlockNotice(int kind) override { calls.push_back("UnlockNotice " + std::to_string(kind)); }
    bool IsUnlockNoticeOpen() override { return noticeOpen; }

    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    bool Called(const std::string& call) const
    {
        for (const auto& c : calls)
            if (c == call)
                return true;
        return false;
    }

    std::vector<std::string> calls;
    bool anyOpen = false;
    bool noticeOpen = false;
    bool skinOpen = false;
    int pendingSkin = 0;
};

struct ChangeScene {
    std::string scene;
    int a;
    int b;
    bool operator==(const ChangeScene& o) const { return scene == o.scene && a == o.a && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& out, const ChangeScene& c)
{
    return out << c.scene << " " << c.a << " " << c.b;
}

class MainMenuFixture : public ::testing::Test {
protected:
    MainMenuFixture() : m_cwd(m_dir.Path())
    {
        system = std::make_unique<kv::KVSystem>();
        system->SetRenderer(&renderer);
        system->SetInterface(&iface);
        GameConfig = GameConfigRecord{};
        GameConfig.showOpening = 1;
        GameConfig.unlockPuzzle = 1;
        ClearUnlockMenu();
        ClearRanking();
        AddLayouts();
    }

    ~MainMenuFixture() override
    {
        if (scene && entered)
            scene->Leave();
        scene.reset();
        system.reset();
        ClearUnlockMenu();
        ClearRanking();
        GameConfig = GameConfigRecord{};
    }

    // ---- layouts -----------------------------------------------------------------------------

    struct Child {
        std::string type;
        std::string name;
    };

    static std::string LayoutXml(const std::string& top, const std::string& ui, const std::vector<Child>& children,
                                 int topY = 0, int height = 768)
    {
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kevrin version=\"2\"><properties>"
                          "<property name=\"UIAnimation\" val=\"ui/" + ui + "\"/></properties>"
                          "<base type=\"PANEL\" name=\"" + top + "\"><pos x=\"0\" y=\"" + std::to_string(topY) +
                          "\"/><rect l=\"0\" t=\"0\" r=\"1024\" b=\"" + std::to_string(height) + "\"/>";
        for (size_t i = 0; i < children.size(); ++i) {
            int x = 10 + static_cast<int>(i % 8) * 125;
            int y = 10 + static_cast<int>(i / 8) * 60;
            xml += "<child type=\"" + children[i].type + "\" name=\"" + children[i].name + "\"><pos x=\"" +
                   std::to_string(x) + "\" y=\"" + std::to_string(y) +
                   "\"/><rect l=\"0\" t=\"0\" r=\"100\" b=\"40\"/>";
            if (children[i].type == "LABEL")
                xml += "<label val=\"\"/>";
            xml += "</child>";
        }
        return xml + "</base></kevrin>";
    }

    // Every scene lasts 0.1 s and holds the top window where it is.
    static std::string UiXml(const std::string& top, const std::vector<std::string>& scenes, int topY = 0)
    {
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kvanimation version=\"1.2\">";
        for (const auto& name : scenes) {
            xml += "<scene name=\"" + name + "\"><asset type=\"UI\" name=\"UIWND_" + top +
                   "\"><rect l=\"0\" t=\"0\" r=\"1024\" b=\"768\"/></asset><object name=\"" + top +
                   "\" ani=\"a\"><asset link=\"UIWND_" + top + "\" type=\"UI\"/></object><anim name=\"a\">";
            for (int ms : {0, 100})
                xml += "<frame cnt=\"" + std::to_string(ms) +
                       "\"><posx val=\"0\"/><posy val=\"" + std::to_string(topY) + "\"/><scalex val=\"1\"/><scaley val=\"1\"/><centerx "
                       "val=\"0\"/><centery val=\"0\"/><rotate val=\"0\"/><alpha val=\"1\"/></frame>";
            xml += "</anim></scene>";
        }
        return xml + "</kvanimation>";
    }

    void AddLayout(const std::string& file, const std::string& top, const std::vector<Child>& children,
                   const std::vector<std::string>& scenes, int topY = 0, int height = 768)
    {
        std::string ui = top + "_UI.xml";
        iface.AddFile(std::wstring(file.begin(), file.end()), LayoutXml(top, ui, children, topY, height));
        std::string uiPath = "ui/" + ui;
        iface.AddFile(std::wstring(uiPath.begin(), uiPath.end()), UiXml(top, scenes, topY));
    }

    void AddLayouts()
    {
        const std::vector<std::string> subScenes = {"sub_in",     "return",     "sub_OFF",       "sub2_1_in",
                                                    "sub2_2_in",  "sub2_1_OFF", "sub2_2_OFF",    "sub2_1_to_sub",
                                                    "sub2_2_to_sub"};
        AddLayout("data/MAINMENU.xml", "Wnd_main",
                  {{"BUTTON", "Anibtn_puzzle"}, {"BUTTON", "Anibtn_battle"}, {"BUTTON", "Anibtn_pushing"},
                   {"BUTTON", "Anibtn_iq"}, {"BUTTON", "Steam_Anibtn_multi"}, {"BUTTON", "Anibtn_credits"},
                   {"BUTTON", "AniBtn_Opening"}, {"BUTTON", "Anibtn_quibly"}, {"PICTURE", "Pic_loading"},
                   {"PICTURE", "Pic_pressanykey"}, {"PICTURE", "Pic_first_hilight"}, {"PICTURE", "Pic_credits"},
                   {"BUTTON", "Anibtn_lock_battle"}},
                  {"main_in", "main_in_2", "main_out", "return", "credits_in", "credits_out"});
        AddLayout("data/QUICKMENU.xml", "Wnd_quick",
                  {{"BUTTON", "Anibtn_switch_off"}, {"BUTTON", "Anibtn_option"}, {"BUTTON", "Anibtn_skin"}},
                  {"main_return", "main_in", "sub_in"}, 700, 68);
        AddLayout("data/Autopopup.xml", "Wnd_auto", {{"PICTURE", "Pic_banner"}},
                  {"reset", "skin_changed_1", "skin_changed_2", "skin_changed_3"});
        AddLayout("data/warning.xml", "Wnd_warning", {{"PICTURE", "Pic_loading"}}, {"warning_in"});
        AddLayout("data/opening_2.xml", "Wnd_opening",
                  {{"BUTTON", "Anibtn_opening_next"}, {"BUTTON", "opening_door"}, {"BUTTON", "Btn_Quit"}},
                  {"opening_in_1", "opening_in_2", "opening_2", "opening_3", "opening_4", "opening_5", "opening_6",
                   "opening_7", "opening_8", "opening_9", "opening_10", "opening_11", "opening_out"});
        const std::vector<Child> common = {{"BUTTON", "Anibtn_arrowL"},      {"BUTTON", "Anibtn_arrow_R"},
                                           {"BUTTON", "Anibtn_sub_btn_exit"}, {"BUTTON", "Anibtn_sub_btn_back"},
                                           {"LABEL", "Label_cube_count"},     {"WND", "WndEx_sub_frame"},
                                           {"WND", "Single_location"}};
        auto with = [&common](std::vector<Child> extra) {
            std::vector<Child> all = common;
            all.insert(all.end(), extra.begin(), extra.end());
            return all;
        };
        AddLayout("data/SUB_puzzle.xml", "Wnd_sub0",
                  with({{"BUTTON", "Anibtn_sub_btn_1"}, {"BUTTON", "Anibtn_sub_btn_2"}, {"BUTTON", "Anibtn_sub2_btn_1"},
                        {"BUTTON", "Anibtn_lock_combo"}, {"PICTURE", "Pic_cube_combo"},
                        {"PICTURE", "Pic_cube_combo_gray"}, {"BUTTON", "Anibtn_sub3_btn_1"},
                        {"BUTTON", "Steam_btn_puzzle_ranking_combo"}}),
                  subScenes);
        AddLayout("data/SUB_battle.xml", "Wnd_sub1",
                  with({{"BUTTON", "Anibtn_sub_btn_1"}, {"BUTTON", "Anibtn_sub_btn_2"},
                        {"BUTTON", "Anibtn_sub2_2_btn_1"}, {"BUTTON", "Anibtn_sub2_2_btn_5"}}),
                  subScenes);
        AddLayout("data/SUB_pushing.xml", "Wnd_sub2",
                  with({{"BUTTON", "Anibtn_sub_btn_1"}, {"BUTTON", "Anibtn_sub_btn_2"},
                        {"BUTTON", "Anibtn_sub2_1_btn_6"}}),
                  subScenes);
        AddLayout("data/SUB_iq.xml", "Wnd_sub3",
                  with({{"BUTTON", "Anibtn_sub_btn_1"}, {"BUTTON", "Anibtn_sub_btn_1_1"},
                        {"BUTTON", "Anibtn_sub_btn_1_2"}, {"BUTTON", "Anibtn_sub_btn_2_1"},
                        {"BUTTON", "Anibtn_sub_btn_2"}}),
                  subScenes);
        AddLayout("data/SUB_multi.xml", "Wnd_sub4",
                  with({{"BUTTON", "Btn_multi_host"}, {"BUTTON", "Btn_multi_join"}, {"LABEL", "Label_cmt_ranking"}}),
                  subScenes);
    }

    void RemoveLayout(const std::string& file)
    {
        // A file the fake interface does not hold is read from the disk, where it does not exist.
        iface.AddFile(std::wstring(file.begin(), file.end()), "");
    }

    // ---- the scene ---------------------------------------------------------------------------

    MainMenuWorld World()
    {
        MainMenuWorld world;
        world.messages = &messages;
        world.sounds = &sounds;
        world.popUps = &popUps;
        world.keyPressed = [this](int vk) { return keys.count(vk) != 0; };
        world.wheelStep = [this] { return wheel; };
        world.buttonReleased = [this] { return released; };
        world.cursor = [this] { return cursor; };
        world.hasPlatformUser = [this] { return platformUser; };
        world.isFullScreen = [this] { return fullScreen; };
        world.toggleFullScreen = [this] { ++toggles; fullScreen = !fullScreen; };
        world.quit = [this] { ++quits; };
        world.loadSkin = [this](int skin) {
            skinLoads.push_back(skin);
            return skinLoadResult;
        };
        world.playTitleSound = [this] {
            ++titleSounds;
            return 7;
        };
        world.holdTimer = [](bool) {};
        world.registerGameScenes = false;
        return world;
    }

    // Builds the scene and enters it; with the title over unless asked for.
    VanteoMainMenuScene& Enter(int a, bool withTitle = false)
    {
        if (!scene) {
            scene = std::make_unique<VanteoMainMenuScene>(World());
            if (!withTitle)
                scene->SkipTitle();
        }
        scene->Enter(a, 0);
        entered = true;
        return *scene;
    }

    void Step(float seconds = 0.05f, int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            scene->Update(seconds);
    }

    // Frames until the sub-menus and the main screen have finished their animations.
    void Settle() { Step(0.05f, 10); }

    kv::KVWnd* Find(int screen, const char* name) const
    {
        kv::KVWnd* layout = scene->GetScreen(screen);
        return layout ? layout->FindWindow(std::wstring(name, name + std::strlen(name))) : nullptr;
    }

    static LPARAM Point(float x, float y)
    {
        return static_cast<LPARAM>(static_cast<uint32_t>(x) | (static_cast<uint32_t>(y) << 16));
    }

    // Clicks the middle of a window through the scene's message procedure.
    void Click(kv::KVWnd* window)
    {
        ASSERT_NE(window, nullptr);
        kv::KVRect rect = window->GetAbsoluteRect();
        LPARAM at = Point((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        scene->MsgProc(WM_MOUSEMOVE, 0, at);
        scene->MsgProc(WM_LBUTTONDOWN, 0, at);
        scene->MsgProc(WM_LBUTTONUP, 0, at);
    }

    void Click(int screen, const char* name) { Click(Find(screen, name)); }

    // Delivers a scene message as the scene manager does: the id word, then the payload.
    int Deliver(int id, const PayloadWriter& payload = PayloadWriter())
    {
        std::vector<uint8_t> data(kSceneMessageDataBytes, 0);
        std::memcpy(data.data(), &id, 4);
        if (!payload.Bytes().empty())
            std::memcpy(data.data() + 4, payload.Bytes().data(), payload.Bytes().size());
        return scene->OnPostedMessage(id, data.data(), 0);
    }

    std::vector<ChangeScene> Launches() const
    {
        std::vector<ChangeScene> out;
        for (const auto& m : messages.WithId(kSceneMessageChangeScene)) {
            EXPECT_EQ(m.payload.size(), 72u);
            PayloadReader reader = m.Reader();
            ChangeScene c;
            c.scene = reader.Text(64);
            c.a = reader.I32();
            c.b = reader.I32();
            out.push_back(c);
        }
        return out;
    }

    // Shown and not on its way out (a hidden window finishes its hide effect at the next update).
    static bool Shown(const kv::KVWnd* window) { return window && window->IsVisible() && !window->IsHiding(); }

    std::string CubeLabel(int screen) const
    {
        auto* label = dynamic_cast<kv::KVLabel*>(Find(screen, "Label_cube_count"));
        return label ? std::string(label->text.begin(), label->text.end()) : "<none>";
    }

    std::string ConfigFile() const { return m_dir.Read("Data/PlayData/QuiblyConfig.xml"); }

    void WriteUnlockFile(const std::string& body) const
    {
        m_dir.Write("Data/PlayData/QuiblyUnlockMenu.xml", "<UnlockMenu>" + body + "</UnlockMenu>");
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd;
    testsupport::RecordingRenderer renderer;
    testsupport::FakeInterface iface;
    std::unique_ptr<kv::KVSystem> system;

    RecordingMessages messages;
    RecordingSounds sounds;
    RecordingPopUps popUps;
    std::set<int> keys;
    int wheel = 0;
    bool released = false;
    POINT cursor{512, 384};
    bool platformUser = true;
    bool fullScreen = false;
    int toggles = 0;
    int quits = 0;
    std::vector<int> skinLoads;
    int skinLoadResult = 1;
    int titleSounds = 0;

    std::unique_ptr<VanteoMainMenuScene> scene;
    bool entered = false;
};

} // namespace menutest
