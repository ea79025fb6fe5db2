// The result pop-ups: the delayed show, the step sequence and clicks that cut it short, the
// result music, the choices and keys, the grades, the variant matrix, the ranking-table texts,
// the online variants, and a missing layout.
#include "PopUpKit.h"

#include "engine/Getters.h"
#include "data/Options.h"
#include "data/Records.h"
#include "engine/InputSystem.h"
#include "engine/WindowMouse.h"
#include "kv/KVDirector.h"
#include "menus/PopUpResult.h"
#include "net/LeaderBoard.h"
#include "net/NetGlobals.h"

#include <win32/VirtualKeys.h>

#include <cstring>
#include <functional>
#include <memory>

using namespace popuptest;

namespace {

constexpr float kStep = 0.2f; // every fixture animation

std::string ResultLayout()
{
    std::string c;
    auto add = [&](const char* type, const std::string& name, int x, int y, int w = 40, int h = 20) {
        c += Child({type, name, x, y, w, h});
    };
    add("WNDEX", "WndEx_multi_result_message", 0, 0, 10, 10);
    for (const char* header : {"win", "lose", "clear", "fail", "newrecord", "gameover"})
        add("WND", std::string("Wnd_result_") + header, 0, 0);
    for (const char* picture : {"win_white", "win", "lose", "clear_white", "clear", "fail", "newrecord_white",
                                "newrecord", "gameover"})
        add("PICTURE", std::string("Pic_result_") + picture, 0, 0);
    add("PICTURE", "Pic_result_back_brain", 0, 0);
    add("PICTURE", "Pic_result_back_hand", 0, 0);
    add("PICTURE", "Pic_bottom_black", 0, 0);
    for (const char* kind : {"brain", "hand"})
        for (const char* grade : {"stone", "normal", "gold", "fire", "god"})
            add("WND", std::string("Anibtn_result_") + kind + "_" + grade, 0, 0);
    add("LABEL", "Label_result_handspeed", 0, 0);
    int x = 20;
    for (const char* button : {"continue", "next", "next_iq", "retry", "retry_self", "return", "reset_self"}) {
        add("BUTTON", std::string("Anibtn_result_") + button, x, 700, 60, 40);
        x += 100;
    }
    add("WND", "Wnd_result_rank_iq", 0, 0);
    add("WND", "Wnd_result_rank_stage", 0, 0);
    add("PICTURE", "Pic_result_txt_tryagain", 0, 0);
    add("PICTURE", "Pic_result_text_newrecord", 0, 0);
    for (const char* label : {"Label_current_mode", "Label_result_getcube", "Label_result_totalcube",
                              "Label_result_multi_room", "Label_result_multi_record"})
        add("LABEL", label, 0, 0);
    for (std::string row : {"1", "2", "3", "4", "5", "me"}) {
        for (std::string column : {"name_", "time_m_", "time_s_", "score_", "time_m_iq_", "time_s_iq_",
                                          "time_ms_iq_"})
            add("LABEL", "Label_rank_" + column + row, 0, 0);
        add("LABEL", row == "me" ? "Label_rank_time_m_me_stage" : "Label_rank_time_m_stage_" + row, 0, 0);
        add("LABEL", row == "me" ? "Label_rank_time_s_me_stage" : "Label_rank_time_s_stage_" + row, 0, 0);
        if (row != "me")
            for (const char* kind : {"", "stage_", "iq_"})
                add("PICTURE", std::string("Pic_result_rankup_") + kind + row, 0, 0);
    }
    return Layout("Wnd_result", c, "result_anim.xml");
}

std::string ResultAnimation()
{
    return Animation("Wnd_result",
                     {{"win_clear_newrecord_1", 200}, {"win_clear_newrecord_2", 200}, {"win_clear_newrecord_3", 200},
                      {"win_clear_newrecord_4", 200}, {"win_clear_newrecord_5", 200}, {"win_clear_newrecord_out", 200},
                      {"lose_fail_gameover_1", 200},  {"lose_fail_gameover_2", 200},  {"lose_fail_gameover_3", 200},
                      {"lose_fail_gameover_4", 200},  {"lose_fail_gameover_5", 200},  {"lose_fail_gameover_out", 200},
                      {"win_multiplay", 200},         {"lose_multiplay", 200}});
}

RankEntry Entry(const char* name, int score, int time, int isNew = 0)
{
    RankEntry e;
    std::strncpy(e.name, name, sizeof e.name - 1);
    e.score = score;
    e.time = time;
    e.isNew = isNew;
    return e;
}

class ResultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.AddFile("data/result.xml", ResultLayout());
        world.AddFile("data/result_anim.xml", ResultAnimation());
        GetInputManager()->Init(enginetest::FakeWindow());
        world.keyboard.SetWindow(enginetest::FakeWindow());
        std::strcpy(GameConfig.playerName, "Mina");
        GameConfig.cubes = 1030;
        GameConfig.selfWinBattle = 0;
        ResetThisGame();
    }
    void TearDown() override
    {
        Mouse()->m_dwFlags = 0;
        g_pSteamServer = nullptr;
    }
    static CWindowMouse* Mouse() { return GetInputManager()->GetMouse(); }

    // Load, Open, and frames until the window has appeared.
    void OpenAndShow(VanteoPopUp_Result& popUp)
    {
        popUp.Load();
        ASSERT_EQ(popUp.Open(), 1);
        world.Run(popUp, 0.5f);
        ASSERT_TRUE(popUp.m_pWindow->IsVisible());
    }
    // Frames until the whole step sequence has played.
    void RunSteps(VanteoPopUp_Result& popUp) { world.Run(popUp, 6 * (kStep + 0.15f)); }
    void RunUntilClosed(VanteoPopUp_Result& popUp)
    {
        for (int frame = 0; frame < 30 && popUp.IsOpen(); ++frame)
            world.Frame(popUp, 0.05f);
    }
    std::wstring Scene(VanteoPopUp_Result& popUp)
    {
        kv::KVDirector* director = popUp.m_pWindow->GetDirector();
        return director && director->currentScene ? director->currentScene->name : L"";
    }

    PopUpWorld world;
};

TEST_F(ResultTest, ShowsAfterTheDelayThenPlaysTheStepsAndStartsTheMusicLater)
{
    VanteoPopUp_Result_Battle_Win popUp;
    popUp.Load();
    ASSERT_NE(popUp.m_pWindow, nullptr);
    EXPECT_FALSE(popUp.m_pWindow->IsVisible());
    EXPECT_FALSE(popUp.IsOpen());
    ASSERT_EQ(popUp.Open(), 1);
    popUp.SetShowSound(64);
    popUp.SetSelfMode(0);
    EXPECT_TRUE(popUp.IsOpen());
    EXPECT_EQ(popUp.Open(), 0) << "Open on an open result does nothing";

    world.Frame(popUp, 0.25f);
    EXPECT_FALSE(popUp.m_pWindow->IsVisible());
    world.Frame(popUp, 0.25f, {'R'}); // shown in this frame; no key acts yet
    EXPECT_TRUE(popUp.m_pWindow->IsVisible());
    EXPECT_FALSE(popUp.m_bClosing);
    EXPECT_EQ(world.sounds.played, (std::vector<int>{64}));
    EXPECT_EQ(Scene(popUp), L"win_clear_newrecord_1");
    EXPECT_EQ(popUp.m_nState, 1);

    RunSteps(popUp);
    EXPECT_EQ(popUp.m_nState, 5);
    EXPECT_EQ(Scene(popUp), L"win_clear_newrecord_5");
    world.Run(popUp, 3.74f - 6 * (kStep + 0.15f) - 0.1f);
    EXPECT_EQ(world.sounds.played, (std::vector<int>{64}));
    world.Run(popUp, 0.2f);
    EXPECT_EQ(world.sounds.played, (std::vector<int>{64, VanteoPopUp_Result::kResultMusic}));
    EXPECT_TRUE(world.sounds.IsPlaying(VanteoPopUp_Result::kResultMusic));

    world.Frame(popUp, 0.05f, {'R'});
    EXPECT_TRUE(popUp.m_bClosing);
    EXPECT_FALSE(world.sounds.IsPlaying(VanteoPopUp_Result::kResultMusic));
    EXPECT_EQ(Scene(popUp), L"win_clear_newrecord_out");
    RunUntilClosed(popUp);
    EXPECT_FALSE(popUp.IsOpen());
    EXPECT_FALSE(popUp.m_pWindow->IsVisible()) << "hidden, still loaded";
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_RESULT_RETRY}));

    // A second opening plays the whole sequence again.
    ASSERT_EQ(popUp.Open(), 1);
    world.Run(popUp, 0.55f);
    EXPECT_EQ(Scene(popUp), L"win_clear_newrecord_1");
    popUp.Unload();
    EXPECT_EQ(popUp.m_pWindow, nullptr);
    EXPECT_FALSE(popUp.IsOpen());
}

TEST_F(ResultTest, ClicksDuringTheStepsAndEarlyChoices)
{
    VanteoPopUp_Result_Lose popUp;
    OpenAndShow(popUp);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_result_retry")); // step 1 runs: refused
    EXPECT_FALSE(popUp.m_bClosing);
    popUp.OnMouseClick(MAKELPARAM(300, 200));
    Mouse()->m_dwFlags = mouseflag::kLeftPressed;
    world.Frame(popUp, 0.05f);
    Mouse()->m_dwFlags = 0;
    EXPECT_EQ(popUp.m_nState, 1) << "the first step always plays to its end";
    EXPECT_TRUE(popUp.m_ClickEffect.GetEntries().empty());

    world.Run(popUp, kStep + 0.15f);
    ASSERT_EQ(popUp.m_nState, 2);
    Mouse()->m_dwFlags = mouseflag::kLeftPressed;
    world.Frame(popUp, 0.05f);
    Mouse()->m_dwFlags = 0;
    EXPECT_EQ(popUp.m_nState, 3) << "a click cuts step 2 short";
    EXPECT_EQ(Scene(popUp), L"lose_fail_gameover_3");
    popUp.OnMouseClick(MAKELPARAM(300, 200));
    ASSERT_EQ(popUp.m_ClickEffect.GetEntries().size(), 1u);
    EXPECT_EQ(popUp.m_ClickEffect.GetEntries()[0].which, BlockClickEffect::kStamp);
    EXPECT_FLOAT_EQ(popUp.m_ClickEffect.GetEntries()[0].y, 200.0f);

    RunSteps(popUp);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_result_return"));
    EXPECT_TRUE(popUp.m_bClosing);
    EXPECT_TRUE(popUp.m_ClickEffect.GetEntries().empty()) << "closing clears the stamps";
    ASSERT_TRUE(world.ClickOn(L"Anibtn_result_retry")); // during the closing: refused, choice kept
    RunUntilClosed(popUp);
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_RESULT_RETURN}));
    EXPECT_EQ(std::count(world.sounds.played.begin(), world.sounds.played.end(), VanteoPopUp_Result::kResultMusic), 0)
        << "a choice before 3.74 s means the music never starts";
}

TEST(ResultGrades, HandSpeedAndBrainGradeRules)
{
    struct HandCase {
        int clicks, seconds, speed, grade;
    };
    for (const HandCase& c : {HandCase{150, 75, 120, 3}, HandCase{10, 31, 19, 0}, HandCase{0, 40, 0, 0},
                              HandCase{7, 0, 999, 4}, HandCase{140, 60, 140, 4}, HandCase{139, 60, 139, 3},
                              HandCase{60, 60, 60, 2}, HandCase{20, 60, 20, 1}, HandCase{5, 1000000, 0, 0},
                              HandCase{2147483647, 1, 999999, 4}}) {
        SCOPED_TRACE(testing::Message() << c.clicks << " clicks in " << c.seconds << " s");
        EXPECT_EQ(VanteoPopUp_Result::HandSpeed(c.clicks, c.seconds), c.speed);
        EXPECT_EQ(VanteoPopUp_Result::HandGrade(c.speed), c.grade);
    }
    const int brain[] = {4, 3, 3, 2, 2, 1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(VanteoPopUp_Result::BrainGrade(i), brain[i]) << i;
    EXPECT_EQ(VanteoPopUp_Result::BrainGrade(-1), -1);
}

// The grade shown comes from the new entry of the table: its time for the hand speed, its
// place for the brain grade.
TEST_F(ResultTest, FillsShowTheGradeOfTheNewEntry)
{
    RankEntry table[6] = {Entry("a", 900, 60), Entry("##player##", 800, 75, 1), Entry("b", 10, 9),
                          Entry("c", -1, -1),  Entry("d", -1, -1),              Entry("e", -1, -1)};
    SetThisGameCounter("BlockClick", 150);
    VanteoPopUp_Result_Point_Challenge_Win point;
    OpenAndShow(point);
    point.FillRanking("POINT", table, 30);
    world.Frame(point, 0.05f);
    EXPECT_EQ(point.m_nGradeKind, VanteoPopUp_Result::kHand);
    EXPECT_EQ(point.m_nGrade, 3);
    EXPECT_EQ(world.Text(L"Label_result_handspeed"), L"120");
    EXPECT_TRUE(world.Shown(L"Pic_result_back_hand"));
    EXPECT_FALSE(world.Shown(L"Pic_result_back_brain"));
    EXPECT_TRUE(world.Shown(L"Anibtn_result_hand_fire"));
    EXPECT_FALSE(world.Shown(L"Anibtn_result_hand_gold"));
    point.Unload();

    // A loss stores 1000000 minus the seconds played.
    table[1].time = 1000000 - 75;
    VanteoPopUp_Result_Battle_Lose lose;
    OpenAndShow(lose);
    lose.FillRanking("BATTLE", table, 0);
    EXPECT_EQ(world.Text(L"Label_result_handspeed"), L"120");
    lose.Unload();

    struct ComboCase {
        int place, score, grade;
    };
    for (const ComboCase& c : {ComboCase{0, 90, 4}, ComboCase{5, 49, 0}, ComboCase{5, 50, 1}, ComboCase{-1, 0, -1}}) {
        RankEntry combo[6] = {Entry("a", 90, 1), Entry("b", 80, 1), Entry("c", 70, 1),
                              Entry("d", 60, 1), Entry("e", 55, 1), Entry("f", 40, 1)};
        if (c.place >= 0)
            combo[c.place] = Entry("##player##", c.score, 1, 1);
        VanteoPopUp_Result_Combo_Challenge_Win popUp;
        OpenAndShow(popUp);
        popUp.FillRanking("COMBO", combo, 0);
        world.Frame(popUp, 0.05f);
        EXPECT_EQ(popUp.m_nGradeKind, VanteoPopUp_Result::kBrain);
        EXPECT_EQ(popUp.m_nGrade, c.grade) << c.place << " " << c.score;
        EXPECT_TRUE(world.Shown(L"Pic_result_back_brain"));
        for (int g = 0; g < 5; ++g) {
            static const wchar_t* names[] = {L"Anibtn_result_brain_stone", L"Anibtn_result_brain_normal",
                                             L"Anibtn_result_brain_gold", L"Anibtn_result_brain_fire",
                                             L"Anibtn_result_brain_god"};
            EXPECT_EQ(world.Shown(names[g]), g == c.grade) << names[g];
        }
        popUp.Unload();
    }
}

struct VariantCase {
    const char* name;
    std::function<VanteoPopUp_Result*()> make;
    const wchar_t* header;
    std::vector<std::wstring> buttons; // of the six FillContent decides on, those shown
    int32_t space;                     // message after Space, 0 for none
    int32_t r;                         // message after R, 0 for none
    bool host = true;
};

class ResultVariants : public ResultTest, public ::testing::WithParamInterface<VariantCase> {};

TEST_P(ResultVariants, ContentButtonsAndKeys)
{
    const VariantCase& c = GetParam();
    if (c.host)
        g_pSteamServer = reinterpret_cast<CSteamServer*>(0x10);
    for (int key : {kPopUpKeySpace, static_cast<int>('R')}) {
        int32_t expected = key == kPopUpKeySpace ? c.space : c.r;
        SCOPED_TRACE(testing::Message() << c.name << " key " << key);
        world.messages.Clear();
        std::unique_ptr<VanteoPopUp_Result> popUp(c.make());
        OpenAndShow(*popUp);
        RunSteps(*popUp);
        const wchar_t* headers[] = {L"Wnd_result_win",  L"Wnd_result_lose",      L"Wnd_result_clear",
                                    L"Wnd_result_fail", L"Wnd_result_newrecord", L"Wnd_result_gameover"};
        if (c.header) {
            for (const wchar_t* header : headers)
                EXPECT_EQ(world.Shown(header), std::wcscmp(header, c.header) == 0) << header;
            for (const wchar_t* button : {L"Anibtn_result_next", L"Anibtn_result_continue", L"Anibtn_result_retry_self",
                                          L"Anibtn_result_reset_self", L"Anibtn_result_next_iq", L"Anibtn_result_retry"}) {
                bool wanted = std::find(c.buttons.begin(), c.buttons.end(), button) != c.buttons.end();
                EXPECT_EQ(world.Shown(button), wanted) << button;
            }
        } else {
            // The online results leave the headers to their animations; of the buttons only the
            // host's continue shows.
            EXPECT_EQ(world.Shown(L"Anibtn_result_continue"), c.host);
            EXPECT_EQ(world.Shown(L"Pic_bottom_black"), c.host);
            for (const wchar_t* button : {L"Anibtn_result_return", L"Anibtn_result_retry", L"Anibtn_result_retry_self",
                                          L"Anibtn_result_next", L"Anibtn_result_next_iq", L"Anibtn_result_reset_self"})
                EXPECT_FALSE(world.Shown(button)) << button;
        }
        world.Frame(*popUp, 0.05f, {key});
        RunUntilClosed(*popUp);
        world.Run(*popUp, 0.3f);
        if (expected)
            EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{expected}));
        else
            EXPECT_TRUE(world.messages.posted.empty()) << world.messages.posted[0].id;
        EXPECT_EQ(popUp->IsOpen(), expected == 0);
        popUp->Unload();
    }
}

template <typename T>
std::function<VanteoPopUp_Result*()> Make(std::function<void(T&)> setup = nullptr)
{
    return [setup] {
        auto* popUp = new T;
        if (setup) {
            // The scenes call SetSelfMode right after Open; the pop-up applies it again when shown.
            popUp->Load();
            setup(*popUp);
        }
        return popUp;
    };
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, ResultVariants,
    ::testing::Values(
        VariantCase{"battle win", Make<VanteoPopUp_Result_Battle_Win>([](auto& p) { p.SetSelfMode(0); }),
                    L"Wnd_result_win", {L"Anibtn_result_retry"}, 0, MSG_RESULT_RETRY},
        VariantCase{"battle win self-play", Make<VanteoPopUp_Result_Battle_Win>([](auto& p) { p.SetSelfMode(1); }),
                    L"Wnd_result_win", {L"Anibtn_result_retry_self", L"Anibtn_result_reset_self"}, 0, MSG_RESULT_RETRY},
        VariantCase{"battle lose", Make<VanteoPopUp_Result_Battle_Lose>([](auto& p) { p.SetSelfMode(0); }),
                    L"Wnd_result_lose", {L"Anibtn_result_retry"}, 0, MSG_RESULT_RETRY},
        VariantCase{"logic puzzle clear", Make<VanteoPopUp_Result_IQ_Clear>(), L"Wnd_result_clear",
                    {L"Anibtn_result_retry_self", L"Anibtn_result_next_iq"}, MSG_RESULT_NEXT, MSG_RESULT_RETRY},
        VariantCase{"logic puzzle fail", Make<VanteoPopUp_Result_IQ_Fail>(), L"Wnd_result_fail",
                    {L"Anibtn_result_retry_self", L"Anibtn_result_next_iq"}, MSG_RESULT_NEXT, MSG_RESULT_RETRY},
        VariantCase{"push win", Make<VanteoPopUp_Result_Push_Win>([](auto& p) { p.SetSelfMode(0); }),
                    L"Wnd_result_win", {L"Anibtn_result_retry"}, 0, MSG_RESULT_RETRY},
        VariantCase{"push lose self-play", Make<VanteoPopUp_Result_Push_Lose>([](auto& p) { p.SetSelfMode(1); }),
                    L"Wnd_result_lose", {L"Anibtn_result_retry_self", L"Anibtn_result_reset_self"}, 0,
                    MSG_RESULT_RETRY},
        VariantCase{"combo win", Make<VanteoPopUp_Result_Combo_Challenge_Win>(), L"Wnd_result_newrecord",
                    {L"Anibtn_result_retry"}, 0, MSG_RESULT_RETRY},
        VariantCase{"combo lose", Make<VanteoPopUp_Result_Combo_Challenge_Lose>(), L"Wnd_result_gameover",
                    {L"Anibtn_result_retry"}, 0, MSG_RESULT_RETRY},
        VariantCase{"stage win", Make<VanteoPopUp_Result_Stage_Challenge_Win>(), L"Wnd_result_clear",
                    {L"Anibtn_result_retry_self", L"Anibtn_result_next_iq"}, MSG_RESULT_NEXT, MSG_RESULT_RETRY},
        VariantCase{"stage lose, next not allowed", Make<VanteoPopUp_Result_Stage_Challenge_Lose>(),
                    L"Wnd_result_fail", {L"Anibtn_result_retry_self", L"Anibtn_result_next_iq"}, 0, MSG_RESULT_RETRY},
        VariantCase{"point win", Make<VanteoPopUp_Result_Point_Challenge_Win>(), L"Wnd_result_newrecord",
                    {L"Anibtn_result_retry"}, 0, MSG_RESULT_RETRY},
        VariantCase{"point lose", Make<VanteoPopUp_Result_Point_Challenge_Lose>(), L"Wnd_result_gameover",
                    {L"Anibtn_result_retry"}, 0, MSG_RESULT_RETRY},
        VariantCase{"online win, host", Make<VanteoPopUp_MultiWin>(), nullptr, {L"Anibtn_result_continue"},
                    MSG_RESULT_CONTINUE, 0, true},
        VariantCase{"online win, guest", Make<VanteoPopUp_MultiWin>(), nullptr, {}, 0, 0, false},
        VariantCase{"online lose, host", Make<VanteoPopUp_MultiLose>(), nullptr, {L"Anibtn_result_continue"},
                    MSG_RESULT_CONTINUE, 0, true},
        VariantCase{"online lose, guest", Make<VanteoPopUp_MultiLose>(), nullptr, {}, 0, 0, false}),
    [](const testing::TestParamInfo<VariantCase>& info) { return "Case" + std::to_string(info.index); });

// R, Q and T act only while their button is shown and enabled, as clicks would; T posts at once
// and leaves the pop-up open.
TEST_F(ResultTest, KeysNeedTheirButtonShownAndEnabled)
{
    GameConfig.selfWinBattle = 0;
    VanteoPopUp_Result_Battle_Lose popUp;
    popUp.Load();
    ASSERT_EQ(popUp.Open(), 1);
    popUp.SetSelfMode(1);
    world.Run(popUp, 0.5f);
    RunSteps(popUp);
    EXPECT_TRUE(world.Shown(L"Anibtn_result_reset_self"));
    EXPECT_FALSE(world.Find(L"Anibtn_result_reset_self")->IsEnabled()) << "no self-play win yet";
    world.ClickOn(L"Anibtn_result_reset_self");
    world.Frame(popUp, 0.05f, {'T'});
    EXPECT_TRUE(world.messages.posted.empty());

    GameConfig.selfWinBattle = 2;
    popUp.SetSelfMode(1);
    world.Frame(popUp, 0.05f); // the key goes up between presses
    world.Frame(popUp, 0.05f, {'T'});
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_RESULT_RESET_SELF}));
    EXPECT_TRUE(popUp.IsOpen());
    EXPECT_FALSE(popUp.m_bClosing);
    popUp.DisableResetSelf();
    world.ClickOn(L"Anibtn_result_reset_self");
    world.Frame(popUp, 0.05f);
    world.Frame(popUp, 0.05f, {'T'});
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_RESULT_RESET_SELF}));

    world.Find(L"Anibtn_result_return")->SetVisible(false);
    world.Find(L"Anibtn_result_retry_self")->SetVisible(false);
    world.Frame(popUp, 0.05f, {'Q'});
    world.Frame(popUp, 0.05f, {'R'});
    EXPECT_FALSE(popUp.m_bClosing);
    world.Find(L"Anibtn_result_return")->SetVisible(true);
    world.Frame(popUp, 0.05f);
    world.Frame(popUp, 0.05f, {'Q'});
    EXPECT_TRUE(popUp.m_bClosing);
    RunUntilClosed(popUp);
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_RESULT_RESET_SELF, MSG_RESULT_RETURN}));
}

TEST_F(ResultTest, OnlineResultsNeverShowAGradeAndTheGuestCannotLeave)
{
    VanteoPopUp_MultiLose popUp;
    OpenAndShow(popUp);
    EXPECT_EQ(Scene(popUp), L"lose_multiplay");
    RunSteps(popUp);
    EXPECT_EQ(popUp.m_nState, 1);
    EXPECT_TRUE(world.Shown(L"WndEx_multi_result_message"));
    for (int key : {kPopUpKeySpace, static_cast<int>('R'), static_cast<int>('Q')})
        world.Frame(popUp, 0.05f, {key});
    for (const wchar_t* button : {L"Anibtn_result_retry", L"Anibtn_result_return", L"Anibtn_result_next"})
        world.ClickOn(button);
    world.Run(popUp, 0.5f);
    EXPECT_TRUE(popUp.IsOpen());
    EXPECT_FALSE(popUp.m_bClosing);
    EXPECT_FALSE(world.Shown(L"Pic_result_back_brain"));
    EXPECT_FALSE(world.Shown(L"Pic_result_back_hand"));
    EXPECT_FALSE(world.Shown(L"Anibtn_result_continue"));
    EXPECT_TRUE(world.messages.posted.empty());
}

TEST_F(ResultTest, OnlineResultsTellTheScoreInTheRoomAndTheOnlineRecord)
{
    // Two wins and a loss against this opponent; five wins and three losses online in all.
    g_nSessionRecord = 2 * 0x10000 + 0xFFFF - 1;
    g_nMultiRecord = 5 * 0x10000 + 0xFFFF - 3;
    VanteoPopUp_MultiWin win;
    OpenAndShow(win);
    EXPECT_EQ(world.Text(L"Label_result_multi_room"), L"2 : 1");
    EXPECT_EQ(world.Text(L"Label_result_multi_record"), L"W 5 - L 3");
    win.Unload();
    g_nSessionRecord = 0xFFFF - 1;
    VanteoPopUp_MultiLose lose;
    OpenAndShow(lose);
    EXPECT_EQ(world.Text(L"Label_result_multi_room"), L"0 : 1");
    g_nSessionRecord = g_nMultiRecord = kNoMultiRecord;
}

struct TableCase {
    const char* table;
    int score;
    int time;
    std::wstring minutes, seconds, hundredths, score_text;
};

class RankingTexts : public ResultTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(RankingTexts, RowsShowScoreAndTime)
{
    const TableCase& c = GetParam();
    RankEntry table[6] = {Entry("Kim", c.score, c.time), Entry("x", -1, -1), Entry("x", -1, -1),
                          Entry("x", -1, -1),            Entry("x", -1, -1), Entry("x", -1, -1)};
    VanteoPopUp_Result_Win popUp;
    popUp.Load();
    std::string kind = c.table;
    if (kind == "score")
        popUp.FillScoreTable("BATTLE", table, 0);
    else if (kind == "push")
        popUp.FillPushTable("PUSH", table, 0);
    else if (kind == "stage")
        popUp.FillStageTable("STAGE", table, 0);
    else
        popUp.FillPuzzleTable("IQ", table, 0);
    std::wstring infix = kind == "stage" ? L"" : kind == "puzzle" ? L"iq_" : L"";
    std::wstring suffix = kind == "stage" ? L"stage_1" : infix + L"1";
    EXPECT_EQ(world.Text(L"Label_rank_time_m_" + suffix), c.minutes);
    EXPECT_EQ(world.Text(L"Label_rank_time_s_" + suffix), c.seconds);
    if (kind == "puzzle") {
        EXPECT_EQ(world.Text(L"Label_rank_time_ms_iq_1"), c.hundredths);
    }
    if (kind == "score" || kind == "push") {
        EXPECT_EQ(world.Text(L"Label_rank_score_1"), c.score_text);
        EXPECT_EQ(world.Text(L"Label_rank_score_2"), kind == "score" ? L"----" : L"-:-");
    }
    EXPECT_EQ(world.Text(L"Label_rank_name_2"), L"-----");
    EXPECT_EQ(popUp.m_pRankingTable, table);
}

INSTANTIATE_TEST_SUITE_P(Formats, RankingTexts,
                         ::testing::Values(TableCase{"score", 1234567, 3725, L"62", L"05", L"", L"1,234,567"},
                                           TableCase{"score", 1000, 5, L"00", L"05", L"", L"1,000"},
                                           TableCase{"score", 5, 60, L"01", L"00", L"", L"5"},
                                           TableCase{"score", 0, 1000000 - 95, L"01", L"35", L"", L"0"},
                                           TableCase{"push", 43, 70, L"01", L"10", L"", L"4:1"},
                                           TableCase{"push", 40, 1000000 - 70, L"01", L"10", L"", L"4:4"},
                                           TableCase{"stage", 0, 3725, L"62", L"05", L"", L""},
                                           TableCase{"puzzle", 10, 6543, L"01", L"05", L"43", L""}));

TEST_F(ResultTest, NewEntriesFillTheMeRowAndMarkTheirPlace)
{
    RankEntry table[6] = {Entry("##player##", 900, 60), Entry("Mina", 800, 75), Entry("b", 10, 9),
                          Entry("c", 9, 9),             Entry("d", 8, 8),      Entry("##player##", 7, 7, 1)};
    VanteoPopUp_Result_Win popUp;
    popUp.Load();
    popUp.FillScoreTable("COMBO.EASY", table, 30);
    EXPECT_EQ(world.Text(L"Label_rank_score_me"), L"7") << "the sixth place fills only the me row";
    EXPECT_TRUE(world.Visible(L"Pic_result_txt_tryagain"));
    EXPECT_FALSE(world.Visible(L"Pic_result_text_newrecord"));
    for (int n = 1; n <= 5; ++n)
        EXPECT_FALSE(world.Visible(L"Pic_result_rankup_" + std::to_wstring(n)));
    EXPECT_EQ(world.Text(L"Label_current_mode"), L"COMBO.EASY");
    EXPECT_EQ(world.Text(L"Label_result_getcube"), L"+30");
    EXPECT_EQ(world.Text(L"Label_result_totalcube"), L"=1030");
    EXPECT_FALSE(world.Visible(L"Wnd_result_rank_iq"));
    EXPECT_FALSE(world.Visible(L"Wnd_result_rank_stage"));

    auto* first = dynamic_cast<kv::KVLabel*>(world.Find(L"Label_rank_name_1"));
    auto* second = dynamic_cast<kv::KVLabel*>(world.Find(L"Label_rank_name_2"));
    EXPECT_EQ(first->text, L"Mina");
    EXPECT_EQ(first->style, 1) << "the current player's rows are bold";
    EXPECT_EQ(second->text, L"Mina");
    EXPECT_EQ(second->style, 0) << "a typed name equal to the player's is not";

    // A fresh window, as each mode's pop-up has its own: the fills never show a table frame.
    popUp.Unload();
    popUp.Load();
    table[5].isNew = 0;
    table[1].isNew = 1;
    popUp.FillPuzzleTable("IQ", table, 0);
    EXPECT_FALSE(world.Visible(L"Pic_result_txt_tryagain"));
    EXPECT_TRUE(world.Visible(L"Pic_result_text_newrecord"));
    EXPECT_TRUE(world.Visible(L"Pic_result_rankup_2"));
    EXPECT_TRUE(world.Visible(L"Pic_result_rankup_iq_2"));
    EXPECT_FALSE(world.Visible(L"Pic_result_rankup_1"));
    EXPECT_EQ(world.Text(L"Label_rank_name_me"), L"Mina");
    EXPECT_EQ(world.Text(L"Label_rank_time_s_iq_me"), L"00");
    EXPECT_TRUE(world.Visible(L"Wnd_result_rank_iq"));
    EXPECT_FALSE(world.Visible(L"Wnd_result_rank_stage"));
}

TEST_F(ResultTest, AMissingLayoutNeverLeavesAResultHalfOpen)
{
    world.AddFile("data/result.xml", "<kevrin version=\"2\">");
    VanteoPopUp_Result_Stage_Challenge_Lose popUp;
    popUp.Load();
    EXPECT_EQ(popUp.m_pWindow, nullptr);
    EXPECT_EQ(popUp.Open(), 0);
    EXPECT_FALSE(popUp.IsOpen());
    RankEntry table[6];
    popUp.FillStageRanking("STAGE", table, 1, 10);
    popUp.DisableResetSelf();
    popUp.OnMouseClick(0);
    world.Frame(popUp, 0.6f, {kPopUpKeySpace, 'R'});
    EXPECT_FALSE(popUp.IsOpen());
    EXPECT_TRUE(world.messages.posted.empty());
    popUp.Unload();
}

} // namespace
