// The records pop-up's labels from the play record, and the skin chooser: the chosen skin's
// button, the locks and prices by cubes, the purchase question or shortfall it offers, a locked
// skin that cannot be chosen, and the keys that belong to the question while it is open.
#include "PopUpKit.h"

#include "data/Options.h"
#include "data/Records.h"
#include "menus/PopUpRecords.h"
#include "menus/PopUpSkin.h"

#include <win32/VirtualKeys.h>

#include <cstring>

using namespace popuptest;

namespace {

constexpr float kAnim = 0.2f;

class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string c = Child({"BUTTON", "Anibtn_popup_ok", 500, 600, 80, 40}) +
                        Child({"LABEL", "Label_records_name", 10, 10, 200, 20});
        for (const char* n : {"1", "2_1", "2_2", "2_3", "3", "4", "5", "6", "7", "8", "9", "10"})
            c += Child({"LABEL", std::string("Label_records_detail_") + n, 10, 40, 80, 20});
        world.AddFile("data/records.xml", Layout("Wnd_records", c, "records_anim.xml"));
        world.AddFile("data/records_anim.xml", Animation("Wnd_records", {{"records_in", 200}, {"records_out", 200}}));
        GameConfig = GameConfigRecord{};
        std::strcpy(GameConfig.playerName, "Mina");
        m_player = std::make_unique<TiXmlElement>("Player");
        PlayRecord.player = m_player.get();
    }
    void TearDown() override
    {
        PlayRecord.player = nullptr;
        GameConfig = GameConfigRecord{};
    }

    std::unique_ptr<TiXmlElement> m_player;
    PopUpWorld world;
};

TEST_F(RecordsTest, ShowsTheNameAndCountersWithThePlayTimeSplit)
{
    m_player->SetAttribute("Excute", 12);
    m_player->SetAttribute("PlayTime", 3725);
    m_player->SetAttribute("BlockClick", 4567);
    m_player->SetAttribute("MagicTurn", 3);
    m_player->SetAttribute("Chain", -40);  // damaged: shown as 0
    VanteoPopUp_Records records;
    ASSERT_EQ(records.Open(), 1);
    EXPECT_EQ(world.Text(L"Label_records_name"), L"Mina");
    EXPECT_EQ(world.Text(L"Label_records_detail_1"), L"12");
    EXPECT_EQ(world.Text(L"Label_records_detail_2_1"), L"01");
    EXPECT_EQ(world.Text(L"Label_records_detail_2_2"), L"02");
    EXPECT_EQ(world.Text(L"Label_records_detail_2_3"), L"05");
    EXPECT_EQ(world.Text(L"Label_records_detail_3"), L"4567");
    EXPECT_EQ(world.Text(L"Label_records_detail_4"), L"0");  // missing counter
    EXPECT_EQ(world.Text(L"Label_records_detail_9"), L"0");
    EXPECT_EQ(world.Text(L"Label_records_detail_10"), L"3");
    world.Run(records, kAnim + 0.3f);
    world.Frame(records, 0.05f, {VK_BACK});
    world.Run(records, kAnim + 0.5f);
    EXPECT_FALSE(records.IsOpen());
    EXPECT_TRUE(world.messages.posted.empty());

    // A hundred hours and more show every digit of the hours.
    m_player->SetAttribute("PlayTime", 100 * 3600 + 61);
    ASSERT_EQ(records.Open(), 1);
    EXPECT_EQ(world.Text(L"Label_records_detail_2_1"), L"100");
    EXPECT_EQ(world.Text(L"Label_records_detail_2_2"), L"01");
}

class SkinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string c;
        int x = 10;
        for (const char* name : {"Anibtn_popup_skins_1", "Anibtn_popup_skins_2", "Anibtn_popup_skins_3"}) {
            c += Child({"BUTTON", name, x, 100, 200, 200});
            x += 250;
        }
        // The lock of the third skin leaves part of its button uncovered.
        c += Child({"BUTTON", "popup_skinlock_africa", 260, 100, 200, 200}) +
             Child({"BUTTON", "popup_skinlock_horror", 510, 100, 200, 100});
        for (const char* name : {"sub_cube_10001", "sub_cube_10001_gray", "sub_cube_1", "sub_cube_1_gray"})
            c += Child({"PICTURE", name, 0, 400, 10, 10});
        c += Child({"BUTTON", "Anibtn_popup_ok", 500, 600, 80, 40});
        world.AddFile("data/skins.xml", Layout("Wnd_skins", c, "skins_anim.xml"));
        world.AddFile("data/skins_anim.xml", Animation("Wnd_skins", {{"skins_in", 200}, {"skins_out", 200}}));
        std::string q = Child({"BUTTON", "Anibtn_popup_yes", 300, 600, 80, 40}) +
                        Child({"BUTTON", "Anibtn_popup_no", 600, 600, 80, 40});
        world.AddFile("data/unlock.xml", Layout("Wnd_unlock", q, "unlock_anim.xml"));
        world.AddFile("data/unlock_anim.xml", Animation("Wnd_unlock", {{"unlock_in", 200}, {"unlock_out", 200}}));
        std::string n = Child({"BUTTON", "Anibtn_popup_ok", 500, 600, 80, 40}) +
                        Child({"LABEL", "Label_unlock_want", 10, 70, 80, 20});
        world.AddFile("data/unlock_error.xml", Layout("Wnd_unlock_error", n, "unlock_error_anim.xml"));
        world.AddFile("data/unlock_error_anim.xml",
                      Animation("Wnd_unlock_error", {{"unlock_error_in", 200}, {"unlock_error_out", 200}}));
        GameConfig = GameConfigRecord{};
    }
    void TearDown() override { GameConfig = GameConfigRecord{}; }

    void OpenAndSettle()
    {
        ASSERT_EQ(skin.Open(), 1);
        world.Run(skin, kAnim + 0.3f);
    }
    bool Enabled(const wchar_t* name) { return world.Find(name)->IsEnabled(); }
    void RunUntilClosed(VanteoPopUp& popUp)
    {
        for (int frame = 0; frame < 20 && popUp.IsOpen(); ++frame)
            world.Frame(skin, 0.05f);
    }

    PopUpWorld world;
    VanteoPopUp_Skin skin;
};

TEST_F(SkinTest, TheWornSkinsButtonIsDisabledAndTheChoiceIsReportedOnClosing)
{
    GameConfig.skin2Unlocked = 1;
    GameConfig.currentSkin = 1;
    OpenAndSettle();
    EXPECT_TRUE(Enabled(L"Anibtn_popup_skins_1"));
    EXPECT_FALSE(Enabled(L"Anibtn_popup_skins_2"));
    EXPECT_FALSE(world.Visible(L"popup_skinlock_africa"));
    EXPECT_TRUE(world.Visible(L"popup_skinlock_horror"));
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_skins_1"));
    EXPECT_FALSE(Enabled(L"Anibtn_popup_skins_1"));
    EXPECT_TRUE(Enabled(L"Anibtn_popup_skins_2"));
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_ok"));
    RunUntilClosed(skin);
    ASSERT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_SKIN_CHOSEN}));
    EXPECT_EQ(world.messages.posted[0].Reader().I32(), 0);
}

struct PriceCase {
    int cubes;
    bool normalPrice;
};

class SkinPriceTest : public SkinTest, public ::testing::WithParamInterface<PriceCase> {};

TEST_P(SkinPriceTest, PricesAreNormalOnlyWhileTheCubesReachThem)
{
    GameConfig.cubes = GetParam().cubes;
    OpenAndSettle();
    EXPECT_EQ(world.Visible(L"sub_cube_10001"), GetParam().normalPrice);
    EXPECT_EQ(world.Visible(L"sub_cube_10001_gray"), !GetParam().normalPrice);
    EXPECT_EQ(world.Visible(L"sub_cube_1"), GetParam().normalPrice);
    GameConfig.skin2Unlocked = 1;  // bought elsewhere: the next frame hides the lock and the prices
    world.Frame(skin, 0.05f);
    EXPECT_FALSE(world.Visible(L"popup_skinlock_africa"));
    EXPECT_FALSE(world.Visible(L"sub_cube_10001"));
    EXPECT_FALSE(world.Visible(L"sub_cube_10001_gray"));
}

INSTANTIATE_TEST_SUITE_P(Cubes, SkinPriceTest,
                         ::testing::Values(PriceCase{999, false}, PriceCase{1000, true}, PriceCase{0, false}));

TEST_F(SkinTest, ALockOffersThePurchaseOrTellsTheShortfall)
{
    GameConfig.cubes = 999;
    OpenAndSettle();
    ASSERT_TRUE(world.ClickOn(L"popup_skinlock_africa"));
    EXPECT_TRUE(skin.m_UnlockFail.IsOpen());
    EXPECT_FALSE(skin.m_Unlock.IsOpen());
    EXPECT_EQ(world.Text(L"Label_unlock_want"), L"1");
    EXPECT_EQ(skin.m_UnlockFail.m_nNeed, 1000);
    EXPECT_EQ(skin.m_UnlockFail.m_nHave, 999);
    EXPECT_EQ(world.sounds.played, (std::vector<int>{VanteoPopUp_Skin::kSoundNotEnoughCubes}));
    EXPECT_EQ(skin.m_nPending, -1);
    skin.m_UnlockFail.Close();

    GameConfig.cubes = 1000;
    ASSERT_TRUE(world.ClickOn(L"popup_skinlock_horror"));
    EXPECT_TRUE(skin.m_Unlock.IsOpen());
    EXPECT_EQ(skin.m_Unlock.m_nNeed, 1000);
    EXPECT_EQ(skin.m_Unlock.m_nHave, 1000);
    EXPECT_EQ(skin.m_nPending, 2);

    // Enter answers the question, not the skin pop-up.
    world.Run(skin, kAnim + 0.3f);
    world.Frame(skin, 0.05f, {VK_RETURN});
    RunUntilClosed(skin.m_Unlock);
    EXPECT_TRUE(skin.IsOpen());
    EXPECT_FALSE(skin.m_bClosing);
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_CUBE_UNLOCK_CONFIRMED}));

    // The main menu takes the cubes, unlocks the skin and tells the pop-up.
    GameConfig.skin3Unlocked = 1;
    skin.OnSkinBought(2);
    EXPECT_FALSE(world.Visible(L"popup_skinlock_horror"));
    EXPECT_FALSE(Enabled(L"Anibtn_popup_skins_3"));
    EXPECT_EQ(skin.m_nSelected, 2);
}

TEST_F(SkinTest, ALockedSkinCannotBeChosenAroundItsLock)
{
    GameConfig.cubes = 5000;
    GameConfig.currentSkin = 2;  // a file naming a locked skin
    OpenAndSettle();
    EXPECT_EQ(skin.m_nSelected, 0);
    // The lower half of the third skin's button is not covered by its lock.
    kv::KVWnd* third = world.Find(L"Anibtn_popup_skins_3");
    kv::KVRect rect = third->GetAbsoluteRect();
    float x = (rect.left + rect.right) / 2, y = rect.bottom - 10;
    world.system->OnMouseMove(x, y);
    world.system->OnLButtonDown(x, y);
    world.system->OnLButtonUp(x, y);
    EXPECT_EQ(skin.m_nSelected, 0);
    EXPECT_TRUE(skin.m_Unlock.IsOpen());  // the purchase is offered instead
    EXPECT_EQ(skin.m_nPending, 2);
    skin.Close();
    EXPECT_FALSE(skin.m_Unlock.IsOpen());
}

} // namespace
