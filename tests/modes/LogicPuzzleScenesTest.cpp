// The logic-puzzle scenes headless, on the shipped layouts: the puzzle rules on
// the board's click reports, the play scene's clear and failure with their
// records and cubes, next puzzle and the way back to the chooser's page; the
// editor's palette, file dialogs and test flag; the editor test's returns; the
// chooser's pages, slots and records.
#include "../board/BoardFixture.h"
#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "board/GameMessages.h"
#include "engine/AnimationXml.h"
#include "engine/EngineFakes.h"
#include "engine/InputKeyboard.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "kv/KVFactories.h"
#include "kv/KVLabel.h"
#include "kv/KVVanteoAnimButton.h"
#include "kv/KVWnd.h"
#include "menus/PopUpResult.h"
#include "modes/ModeSceneKit.h"
#include "modes/PuzzleRules.h"
#include "modes/VanteoBlockMap_IQ.h"
#include "modes/VanteoPuzzleEditorScene.h"
#include "modes/VanteoPuzzleSelectScene2.h"
#include "modes/VanteoScene_IQ.h"
#include "modes/VanteoScene_IQEditorTest.h"
#include "ModeSceneFixture.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/kv/KVTestKit.h"

#include <dialogs/CommonDialogs.h>
#include <helvane/ResourceFileManager.h>
#include <win32/Text.h>
#include <win32/Time.h>
#include <win32/VirtualKeys.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using enginetest::animxml::FileXml;
using enginetest::animxml::SceneXml;

const std::string kShippedData = std::string(QUIBLY_FIXTURES_DIR) + "/../../data/data/";

// Puzzle files from pictures: '.' empty, R G B colours 3 2 1, 'r' fixed red, W
// wall, 'F' buffer.
std::string PuzzleBytes(std::initializer_list<const char*> rows, uint32_t id = kPuzzleLayoutId)
{
    PuzzleLayout layout;
    layout.SetId(id);
    int row = 0;
    for (const char* line : rows) {
        for (int col = 0; col < 8 && line[col]; ++col) {
            uint16_t word = 0;
            switch (line[col]) {
            case 'B':
                word = 1;
                break;
            case 'G':
                word = 2;
                break;
            case 'R':
                word = 3;
                break;
            case 'r':
                word = 3 | 0x200;
                break;
            case 'S':
                word = 4;
                break;
            case 'O':
                word = 5;
                break;
            case 'F':
                word = 6;
                break;
            case 'W':
                word = 7;
                break;
            default:
                break;
            }
            layout.SetCell(col + row * 8, word);
        }
        ++row;
    }
    return std::string(reinterpret_cast<const char*>(layout.Data()), layout.Size());
}

// A blue big block at the bottom left and one loose red block: one click clears
// the puzzle.
const std::string kOneSquare =
    PuzzleBytes({"........", "........", "........", "........", "........", "........", "BB......", "BB.....R"});
const std::string kOneSquareClean =
    PuzzleBytes({"........", "........", "........", "........", "........", "........", "BB......", "BB......"});

class LogicPuzzleScenesTest : public modetest::ModeSceneTest<> {
protected:
    void SetUp() override
    {
        platform::ClearDialogAnswers();
        kv.iface.dataPath = L"data/";
        // The game's own labels and animated buttons, as the program registers
        // them.
        kv.system->GetRegistry().Unregister(L"Label");
        kv.system->GetRegistry().Register(&kv::KVLabelFactory::Instance());
        kv.system->GetRegistry().Unregister(L"AnimButton");
        kv.system->GetRegistry().Register(&KVVanteoAnimButtonFactory::Instance());
        for (const char* file : {"LayoutIQPuzzle.xml", "LayoutIQPuzzleEditor.xml", "LayoutPuzzleBack.xml"})
            AddLayout(std::string("layout/") + file, testsupport::ReadFile(kShippedData + "layout/" + file));
        for (const char* file :
             {"iqpuzzle_select.xml", "iqpuzzle_select_UIAnimation.xml", "LayoutIQPuzzleEditor_UIAnimation.xml"})
            data.Write(file, testsupport::ReadFile(kShippedData + file));
        data.Write("anim/readygo.xml", FileXml(SceneXml("readygo", {{0}, {500}})));
        WriteSkin("LayoutIQPuzzle=\"LayoutIQPuzzle.xml\" LayoutIQPuzzleEditor=\"LayoutIQPuzzleEditor.xml\" "
                  "LayoutPuzzleBack=\"LayoutPuzzleBack.xml\" Effect_ReadyGo=\"readygo.xml\"");
        data.Write("PlayData/QuiblyConfig_IQPuzzle.xml", "<VanteoPuzzleConfig><Setting "
                                                         "RotateTime=\"0.2\"/></VanteoPuzzleConfig>");
        ClearRanking();
        LoadPlayRecord();
        ResetThisGame();
        GameConfig.cubes = 0;
        play = new VanteoScene_IQ(layout);
        editor = new VanteoPuzzleEditorScene(layout);
        editorTest = new VanteoScene_IQEditorTest(layout);
        chooser = new VanteoPuzzleSelectScene2(layout);
        StartManager({play, editor, editorTest, chooser});
    }
    void TearDown() override
    {
        modetest::ModeSceneTest<>::TearDown();
        platform::ClearDialogAnswers();
    }
    // Puzzle files of a tab's folder, named in list order.
    void AddPuzzles(const char* folder, int count, const std::string& bytes = kOneSquare)
    {
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "Puzzle/%s/p%02d.pz0", folder, i + 1);
            data.Write(name, bytes);
        }
    }

    void Run(CScene* scene, int frames, float seconds = 0.05f)
    {
        for (int i = 0; i < frames; ++i) {
            scene->Update(seconds);
            Keyboard().Update();
            manager->DispatchMessages();
        }
    }
    void Press(CScene* scene, int vk)
    {
        input.keys.insert(vk);
        Keyboard().Update();
        scene->Update(0.02f);
        input.keys.clear();
        Keyboard().Update();
        manager->DispatchMessages();
    }
    // Plays the ready-go out.
    void StartPlaying(int index, int tab)
    {
        LoadPuzzleConfig(kPuzzleFolders[static_cast<size_t>(tab)]);
        manager->SetFirstScene(kPuzzlePlaySceneName, index, tab);
        Run(play, 15);
        ASSERT_EQ(play->m_nState, kGameStatePlaying);
    }
    void ClickCell(VanteoBlockMap* board, int col, int row)
    {
        board->Click(board->originX + col * 45 + 22, board->originY + row * 45 + 22);
        manager->DispatchMessages();
    }
    static void SendWin(CScene* scene)
    {
        std::vector<uint8_t> bytes(kSceneMessageDataBytes, 0);
        const int32_t id = MSG_GAME_WIN;
        std::memcpy(bytes.data(), &id, sizeof id);
        scene->Dispatch(MSG_GAME_WIN, bytes.data(), 4);
    }
    std::wstring Text(kv::KVWnd* root, const wchar_t* name)
    {
        auto* label = dynamic_cast<kv::KVLabel*>(modekit::Find(root, name));
        return label ? label->text : L"<missing>";
    }
    bool Shown(kv::KVWnd* root, const wchar_t* name)
    {
        kv::KVWnd* w = modekit::Find(root, name);
        return w && w->IsVisible();
    }
    // Shown together with every window above it, so drawn.
    bool Drawn(kv::KVWnd* root, const wchar_t* name)
    {
        kv::KVWnd* w = modekit::Find(root, name);
        return w && w->IsShownRecursive();
    }

    PuzzleLayout layout;
    VanteoScene_IQ* play = nullptr;
    VanteoPuzzleEditorScene* editor = nullptr;
    VanteoScene_IQEditorTest* editorTest = nullptr;
    VanteoPuzzleSelectScene2* chooser = nullptr;
};

// --- the rules and the small parts
// ----------------------------------------------------------------

TEST(LogicPuzzleRulesTest, ClickReportsUseSpareMovesAndMoveBufferBlocks)
{
    boardtest::Harness h;
    VanteoBlockMap& board = h.Use<VanteoBlockMap_IQ>();
    h.Fill({"........", "........", "........", "........", "..F.....", "........", "......F.", "R.SOW..."});
    struct Case {
        const char* what;
        BlockClickReport click;
        PuzzleHand before;
        bool fails;
        PuzzleHand after;
    };
    const Case cases[] = {
        {"a loose colour block uses the last spare move", {0, 7, 1, 1, 0, 0, 0}, {0, 0}, true, {-1, 0}},
        {"with a spare move left it is no failure", {0, 7, 1, 1, 0, 0, 0}, {1, 0}, false, {0, 0}},
        {"a fixed colour block costs nothing", {0, 7, 1, 1, 0, 1, 0}, {0, 0}, false, {0, 0}},
        {"a star", {2, 7, 4, 1, 0, 0, 0}, {0, 0}, false, {0, 0}},
        {"a stone", {3, 7, 5, 1, 0, 0, 0}, {0, 0}, false, {0, 0}},
        {"a wall", {4, 7, 7, 1, 0, 0, 0}, {0, 0}, false, {0, 0}},
        {"a cell outside the board", {9, 7, 1, 1, 0, 0, 0}, {0, 0}, false, {0, 0}},
    };
    for (const Case& c : cases) {
        PuzzleHand hand = c.before;
        EXPECT_EQ(ApplyPuzzleClick(board, hand, c.click), c.fails) << c.what;
        EXPECT_EQ(hand.spareMoves, c.after.spareMoves) << c.what;
        EXPECT_EQ(hand.bufferInHand, c.after.bufferInHand) << c.what;
    }

    // A buffer block taken into the hand, put down on an empty cell, and with an
    // empty hand the first one found column by column moves to the clicked cell.
    PuzzleHand hand;
    EXPECT_FALSE(ApplyPuzzleClick(board, hand, {2, 4, 6, 1, 0, 0, 0}));
    EXPECT_EQ(hand.bufferInHand, 1);
    EXPECT_FALSE(board.CellAt(2, 4)->present);
    EXPECT_FALSE(ApplyPuzzleClick(board, hand, {5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(hand.bufferInHand, 0);
    EXPECT_EQ(h.Picture()[0], ".....F..");
    EXPECT_FALSE(ApplyPuzzleClick(board, hand, {1, 1, 0, 0, 0, 0, 0})); // (5, 0) comes before (6, 6)
    EXPECT_EQ(h.Picture()[0], "........");
    EXPECT_EQ(h.Picture()[1], ".F......");
    EXPECT_EQ(h.Picture()[6], "......F.");
    // No buffer block in hand or on the board: an empty cell stays empty.
    board.CellAt(1, 1)->Empty();
    board.CellAt(6, 6)->Empty();
    EXPECT_FALSE(ApplyPuzzleClick(board, hand, {3, 3, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(board.CellAt(3, 3)->present);
}

TEST(LogicPuzzleRulesTest, TimesKeysCubesAndTitles)
{
    const struct {
        float seconds;
        int h, m, s, hh;
    } times[] = {{83.456f, 8345, 1, 23, 45}, {0.0f, 0, 0, 0, 0}, {123.475f, 12347, 2, 3, 47}, {-1.0f, 0, 0, 0, 0}};
    for (const auto& t : times) {
        EXPECT_EQ(PuzzleHundredths(t.seconds), t.h) << t.seconds;
        PuzzleTimeParts parts = PuzzleTimeParts::Of(t.h);
        EXPECT_EQ(parts.minutes, t.m);
        EXPECT_EQ(parts.seconds, t.s);
        EXPECT_EQ(parts.hundredths, t.hh);
    }
    EXPECT_EQ(PuzzleTimeParts::Of(-1).minutes,
              0); // an empty place's time shows as zeros
    EXPECT_EQ(PuzzleTimeParts::Of(-1).hundredths, 0);

    EXPECT_EQ(PuzzleModeKey(0, "first"), "IQ.Easy.first");
    EXPECT_EQ(PuzzleModeKey(3, "mine"), "IQ.User.mine");
    EXPECT_EQ(PuzzleFileTitle("Data/Puzzle/User/my.puzzle.pzl"), "my.puzzle");
    EXPECT_EQ(PuzzleFileTitle("C:\\x\\y.pz0"), "y");
    EXPECT_EQ(PuzzlePageOf(17), 2);

    // Cube rewards by the place of the new entry, halved above the player's own
    // entry.
    struct Reward {
        int place;
        bool playerBelow;
        int cubes;
    };
    const Reward rewards[] = {{0, false, 7}, {0, true, 3},  {1, false, 5}, {1, true, 2},  {2, true, 2},
                              {3, true, 1},  {4, false, 2}, {4, true, 1},  {5, false, 1}, {-1, false, 0}};
    for (const Reward& r : rewards) {
        RankEntry table[6];
        if (r.place >= 0)
            table[r.place].isNew = 1;
        if (r.playerBelow && r.place + 1 < 6)
            std::strcpy(table[r.place + 1].name, "##player##");
        EXPECT_EQ(PuzzleCubeReward(table), r.cubes) << r.place << " " << r.playerBelow;
    }
    EXPECT_EQ(PuzzleCubeReward(nullptr), 0);
}

// --- the play scene
// -------------------------------------------------------------------------------

TEST_F(LogicPuzzleScenesTest, APuzzleIsClearedOnceRecordedAndPaid)
{
    AddPuzzles("Easy", 2, kOneSquareClean);
    GameConfig.cubes = 9996;
    StartPlaying(0, 0);
    EXPECT_EQ(Text(play->m_pMainWindow, L"Label_iq_filename"), L"p01");
    EXPECT_TRUE(Shown(play->m_pMainWindow, L"Pic_iq_easy"));
    EXPECT_FALSE(Shown(play->m_pMainWindow, L"Pic_iq_hard"));
    EXPECT_FALSE(Shown(play->m_pMainWindow, L"Pic_iq_bufferback"));
    Run(play, 20, 0.1f); // 2 s
    ClickCell(play->m_pBoard, 0, 7);
    Run(play, 40);
    EXPECT_EQ(play->m_nState, kGameStateFinished);
    EXPECT_EQ(play->m_pBoard->frozen, 1);
    // Several wins (the board repeats its message until frozen) give one record.
    SendWin(play);
    RankEntry* table = FindRankingTable(RANK_PUZZLE, "Data/Puzzle/Easy/p01.pz0");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0].score, 100);
    EXPECT_GE(table[0].time, 200); // two seconds, and the clear's own time
    EXPECT_LE(table[0].time, 300);
    EXPECT_EQ(table[1].score, -1);
    EXPECT_EQ(GameConfig.cubes, 9999); // 7 earned, capped
    EXPECT_TRUE(Shown(play->m_pMainWindow, L"Pic_effect_highlight_small"));
    // The next puzzle starts without the clear's highlight.
    EXPECT_EQ(play->NextPuzzle(), 1);
    Run(play, 20);
    EXPECT_EQ(play->m_nPuzzleIndex, 1);
    EXPECT_FALSE(Shown(play->m_pMainWindow, L"Pic_effect_highlight_small"));
}

TEST_F(LogicPuzzleScenesTest, TheFirstLooseBlockRemovedFailsThePuzzle)
{
    AddPuzzles("Normal", 1);
    StartPlaying(0, 1);
    ClickCell(play->m_pBoard, 7, 7); // the loose red block
    EXPECT_EQ(play->m_nState, kGameStateFinished);
    EXPECT_EQ(play->m_pResultLose->m_nShowSound, VanteoScene_IQ::kSoundFail);
    RankEntry* table = FindRankingTable(RANK_PUZZLE, "Data/Puzzle/Normal/p01.pz0");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0].score, -1);
    // A win after the failure changes nothing.
    SendWin(play);
    EXPECT_EQ(table[1].score, -1);
    EXPECT_EQ(table[1].time, -1);
}

TEST_F(LogicPuzzleScenesTest, RunningAndBestTimesShowAsDigits)
{
    AddPuzzles("Easy", 1);
    InsertRankingScore(RANK_PUZZLE, "Data/Puzzle/Easy/p01.pz0", 100, 12345);
    StartPlaying(0, 0);
    EXPECT_TRUE(Shown(play->m_pMainWindow, L"Wnd_record"));
    play->m_pBoard->playTime = 83.456f;
    Run(play, 1, 0.0f);
    EXPECT_EQ(play->m_CurrentTime[0].m_nTarget, 1);
    EXPECT_EQ(play->m_CurrentTime[1].m_nTarget, 23);
    EXPECT_EQ(play->m_CurrentTime[2].m_nTarget, 45);
    EXPECT_EQ(play->m_BestOn[0].m_nTarget, 2);
    EXPECT_EQ(play->m_BestOff[1].m_nTarget, 3);
    EXPECT_EQ(play->m_BestOn[2].m_nTarget, 45);
    EXPECT_TRUE(Shown(play->m_pMainWindow, L"Wnd_record"));
    play->m_pBoard->playTime = 123.5f; // past the best time
    Run(play, 1, 0.0f);
    EXPECT_FALSE(Shown(play->m_pMainWindow, L"Wnd_record"));
}

TEST_F(LogicPuzzleScenesTest, NextPuzzleAndTheWayBackToTheChoosersPage)
{
    AddPuzzles("Hard", 18);
    StartPlaying(16, 2);
    // Next and retry wait for the introduction to end.
    play->Restart(0, 0);
    ASSERT_EQ(play->m_nState, kGameStateStart);
    EXPECT_EQ(play->NextPuzzle(), 0);
    EXPECT_EQ(play->m_nPuzzleIndex, 16);
    Run(play, 15);
    EXPECT_EQ(play->NextPuzzle(), 1);
    EXPECT_EQ(play->m_nPuzzleIndex, 17);
    EXPECT_EQ(Text(play->m_pMainWindow, L"Label_iq_filename"), L"p18");
    Run(play, 15);
    // Next on the last puzzle goes back to the chooser on that puzzle's page.
    play->NextPuzzle();
    EXPECT_EQ(manager->GetCurrentScene(), chooser);
    EXPECT_EQ(chooser->m_nTab, 2);
    EXPECT_EQ(chooser->m_nPage, 2);
}

TEST_F(LogicPuzzleScenesTest, APuzzleOfTypeOneStartsWithABufferBlockInHand)
{
    data.Write("Puzzle/User/held.pz1", PuzzleBytes({"........", "........", "........", "........", "........",
                                                    "........", "BB......", "BB......"}));
    StartPlaying(0, 3);
    EXPECT_EQ(play->m_Hand.bufferInHand, 1);
    EXPECT_TRUE(Shown(play->m_pMainWindow, L"Pic_iq_bufferback"));
    EXPECT_TRUE(Shown(play->m_pMainWindow, L"Pic_iq_bufferblock"));
    ClickCell(play->m_pBoard, 5, 7); // an empty cell: the buffer block goes down
    Run(play, 1);
    EXPECT_EQ(play->m_pBoard->CellAt(5, 7)->kind, kBlockBuffer);
    EXPECT_FALSE(Shown(play->m_pMainWindow, L"Pic_iq_bufferblock"));
    ClickCell(play->m_pBoard, 5, 7); // and back into the hand
    Run(play, 1);
    EXPECT_TRUE(Shown(play->m_pMainWindow, L"Pic_iq_bufferblock"));
    EXPECT_EQ(play->m_nState, kGameStatePlaying);
}

TEST_F(LogicPuzzleScenesTest, AnEmptyListOrAnIndexOutsideItGoesBackToTheChooser)
{
    testsupport::LogCapture logged;
    LoadPuzzleConfig(kPuzzleFolders[0]);
    manager->SetFirstScene(kPuzzlePlaySceneName, 0, 0);
    EXPECT_EQ(play->m_pBoard, nullptr);
    EXPECT_TRUE(logged.Contains(L"not in the puzzle list"));
    manager->DispatchMessages();
    EXPECT_EQ(manager->GetCurrentScene(), chooser);

    AddPuzzles("Easy", 3);
    LoadPuzzleConfig(kPuzzleFolders[0]);
    manager->ChangeScene(kPuzzlePlaySceneName, 3, 0);
    EXPECT_EQ(play->m_pBoard, nullptr);
    manager->DispatchMessages();
    EXPECT_EQ(manager->GetCurrentScene(), chooser);
}

// --- the editor and its test
// ----------------------------------------------------------------------

class LogicPuzzleEditorTest : public LogicPuzzleScenesTest {
protected:
    void Enter(int a = 0, int b = 0)
    {
        manager->SetFirstScene(kPuzzleEditorSceneName, a, b);
        Run(editor, 2);
    }
    // Places the selected piece on an empty cell, as the board's report of the
    // click would.
    void PlaceOn(int col, int row)
    {
        ClickCell(editor->m_pBoard, col, row);
        Run(editor, 2);
    }
    std::vector<std::string> Picture() const
    {
        std::vector<std::string> rows;
        for (int r = 0; r < 8; ++r) {
            std::string line;
            for (int c = 0; c < 8; ++c) {
                const VanteoBlock* b = editor->m_pBoard->CellAt(c, r);
                char ch = b->present ? ".BGRSOFW"[b->kind & 7] : '.';
                if (b->present && b->fixed)
                    ch = static_cast<char>(std::tolower(ch));
                line += ch;
            }
            rows.push_back(line);
        }
        return rows;
    }
};

TEST_F(LogicPuzzleEditorTest, ThePalettePlacesPiecesAndClicksRemoveThem)
{
    Enter();
    EXPECT_EQ(Text(editor->m_pLayoutWindow, L"Label_filename"), L"--------");
    // Key Q selects the big blue piece: anchored top-left at the clicked cell.
    Press(editor, 'Q');
    EXPECT_EQ(editor->m_nSelectedPiece, 5);
    EXPECT_FALSE(modekit::Find(editor->m_pLayoutWindow, L"Anibnt_blockselect_q")->IsEnabled());
    EXPECT_TRUE(modekit::Find(editor->m_pLayoutWindow, L"Anibnt_blockselect_1")->IsEnabled());
    PlaceOn(2, 3);
    EXPECT_EQ(editor->m_pBoard->CellAt(2, 3)->corner, 1);
    EXPECT_TRUE(editor->m_pBoard->CellAt(3, 4)->inSquare);
    // At the right or bottom edge, or over another big block, a big piece places
    // nothing.
    PlaceOn(7, 0);
    PlaceOn(0, 7);
    PlaceOn(1, 2);
    EXPECT_EQ(Picture()[0], "........");
    EXPECT_EQ(Picture()[7], "........");
    EXPECT_EQ(Picture()[2], "........");
    EXPECT_EQ(Picture()[3], "..BB....");
    // Over ordinary blocks it goes down and takes their place, flags and all.
    Press(editor, 'D'); // fixed red
    PlaceOn(5, 5);
    EXPECT_EQ(Picture()[5], ".....r..");
    Press(editor, 'W');
    PlaceOn(4, 4);
    EXPECT_EQ(Picture()[4], "..BBGG..");
    EXPECT_EQ(Picture()[5], "....GG..");
    EXPECT_FALSE(editor->m_pBoard->CellAt(5, 5)->fixed);
    // The buffer holds every change, as a valid layout.
    EXPECT_EQ(layout.Cell(2 + 3 * 8), 0x1001);
    EXPECT_EQ(layout.Cell(5 + 5 * 8), 0x0102);
    EXPECT_TRUE(layout.ValidCells());

    // A wall and a fixed stone are removed by the editor, a plain red block by
    // the board, a click on a big block clears it.
    Press(editor, 'G');
    PlaceOn(0, 0);
    Press(editor, 'F');
    PlaceOn(1, 0);
    Press(editor, '3');
    PlaceOn(7, 7);
    EXPECT_EQ(Picture()[0], "Wo......");
    EXPECT_EQ(Picture()[7], ".......R");
    PlaceOn(0, 0);
    PlaceOn(1, 0);
    PlaceOn(7, 7);
    PlaceOn(3, 3);
    Run(editor, 40);
    EXPECT_EQ(Picture()[0], "........");
    EXPECT_EQ(Picture()[7], "........");
    EXPECT_EQ(Picture()[3], "........");
    EXPECT_EQ(layout.Cell(2 + 3 * 8), 0);
}

TEST_F(LogicPuzzleEditorTest, SaveLoadAndCancelThroughTheDialogs)
{
    Enter();
    Press(editor, 'Q');
    PlaceOn(0, 6);
    const std::string folder = std::filesystem::current_path().string() + "/data/Puzzle/User/";

    // Save without a file asks for one; a cancelled dialog writes nothing.
    platform::QueueDialogAnswer(std::nullopt);
    EXPECT_FALSE(editor->SavePuzzle());
    EXPECT_TRUE(editor->m_FilePath.empty());
    // A typed extension is replaced by ".pzl".
    platform::QueueDialogAnswer(platform::Widen(folder + "mine.txt"));
    EXPECT_TRUE(editor->SavePuzzle());
    EXPECT_EQ(editor->m_FilePath, platform::Widen(folder + "mine.pzl"));
    Run(editor, 1);
    EXPECT_EQ(Text(editor->m_pLayoutWindow, L"Label_filename"), L"mine");
    const std::string saved = testsupport::ReadFile(folder + "mine.pzl");
    ASSERT_EQ(saved.size(), kPuzzleLayoutBytes);
    EXPECT_EQ(static_cast<uint8_t>(saved[0]), 2083 & 0xFF);

    // Save As cancelled with a current file writes nothing either.
    PlaceOn(5, 0);
    platform::QueueDialogAnswer(std::nullopt);
    EXPECT_FALSE(editor->SavePuzzleAs());
    EXPECT_EQ(testsupport::ReadFile(folder + "mine.pzl"), saved);

    // Load cancelled keeps the edits on the board; load of the file brings it
    // back.
    platform::QueueDialogAnswer(std::nullopt);
    EXPECT_FALSE(editor->LoadPuzzle());
    EXPECT_TRUE(editor->m_pBoard->CellAt(5, 0)->present);
    platform::QueueDialogAnswer(platform::Widen(folder + "mine.pzl"));
    EXPECT_TRUE(editor->LoadPuzzle());
    EXPECT_FALSE(editor->m_pBoard->CellAt(5, 0)->present);
    EXPECT_EQ(editor->m_pBoard->CellAt(0, 6)->corner, 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(layout.Data()), layout.Size()), saved);

    // A file that is not a puzzle is refused and changes nothing.
    data.Write("Puzzle/User/broken.pzl", "short");
    platform::QueueDialogAnswer(platform::Widen(folder + "broken.pzl"));
    EXPECT_FALSE(editor->LoadPuzzle());
    EXPECT_EQ(editor->m_FilePath, platform::Widen(folder + "mine.pzl"));

    // A write that fails is reported on the screen and leaves the old file.
    setenv("QUIBLY_FAULT_NO_SPACE", "mine.pzl", 1);
    PlaceOn(5, 0);
    EXPECT_FALSE(editor->SavePuzzle());
    unsetenv("QUIBLY_FAULT_NO_SPACE");
    EXPECT_TRUE(Shown(editor->m_pLayoutWindow, L"Label_pleasesave"));
    EXPECT_EQ(testsupport::ReadFile(folder + "mine.pzl"), saved);

    // The new-layout button empties the board and the file name; its file starts
    // with 0.
    editor->NewLayout();
    EXPECT_EQ(layout.Id(), 0u);
    Run(editor, 1);
    EXPECT_EQ(Text(editor->m_pLayoutWindow, L"Label_filename"), L"--------");
}

TEST_F(LogicPuzzleEditorTest, TheTestReturnsWithTheClearedMarkUntilTheNextEdit)
{
    Enter();
    Press(editor, 'Q');
    PlaceOn(0, 6);
    Press(editor, '3');
    PlaceOn(7, 0);
    // A test that removes a loose block returns without the mark.
    manager->ChangeScene(kPuzzleEditorTestSceneName, -1, 0);
    ASSERT_EQ(manager->GetCurrentScene(), editorTest);
    Run(editorTest, 1);
    EXPECT_EQ(editorTest->m_nState, kGameStatePlaying); // a test starts at once
    Run(editorTest, 20);
    ClickCell(editorTest->m_pBoard, 7, 7); // the red block has fallen
    EXPECT_EQ(manager->GetCurrentScene(), editor);
    EXPECT_EQ(editor->m_bTestCleared, 0);
    EXPECT_TRUE(editor->m_pBoard->CellAt(7, 0)->present); // the layout came back as it was

    // Remove the red block, test again: the clear returns with the mark.
    PlaceOn(7, 0);
    Run(editor, 2);
    manager->ChangeScene(kPuzzleEditorTestSceneName, -1, 0);
    Run(editorTest, 10);
    ClickCell(editorTest->m_pBoard, 0, 7);
    Run(editorTest, 60);
    ASSERT_EQ(manager->GetCurrentScene(), editor);
    EXPECT_EQ(editor->m_bTestCleared, 1);
    Run(editor, 1);
    EXPECT_TRUE(Shown(editor->m_pLayoutWindow, L"Anibtn_editor_test_cleared"));
    EXPECT_FALSE(Shown(editor->m_pLayoutWindow, L"Anibtn_editor_test"));
    // Each button's text goes with its button: one text at a time in their shared place.
    EXPECT_TRUE(Drawn(editor->m_pLayoutWindow, L"Pic_editor_text_test_cleared"));
    EXPECT_FALSE(Drawn(editor->m_pLayoutWindow, L"Pic_editor_text_test"));
    // The next placement clears it.
    Press(editor, '1');
    PlaceOn(3, 3);
    EXPECT_EQ(editor->m_bTestCleared, 0);
    Run(editor, 1);
    EXPECT_TRUE(Shown(editor->m_pLayoutWindow, L"Anibtn_editor_test"));
    EXPECT_TRUE(Drawn(editor->m_pLayoutWindow, L"Pic_editor_text_test"));
    EXPECT_FALSE(Drawn(editor->m_pLayoutWindow, L"Pic_editor_text_test_cleared"));
}

TEST_F(LogicPuzzleEditorTest, RetryPlaysAtOnceAndEndTestKeepsTheLayout)
{
    layout.SetCell(0 + 7 * 8, 1);
    manager->SetFirstScene(kPuzzleEditorTestSceneName, -1, 0);
    kv::EventArgs args;
    editorTest->Retry(args);
    EXPECT_EQ(editorTest->m_nState, kGameStatePlaying);
    EXPECT_EQ(g_Mouse.m_Rects.size(),
              1u); // one whole-screen cursor area, however often shown
    editorTest->EndTest(args);
    manager->DispatchMessages();
    ASSERT_EQ(manager->GetCurrentScene(), editor);
    EXPECT_EQ(editor->m_bTestCleared, 0);
    EXPECT_EQ(editor->m_pBoard->CellAt(0, 7)->kind, 1);
}

// --- the chooser
// ----------------------------------------------------------------------------------

class LogicPuzzleChooserTest : public LogicPuzzleScenesTest {
protected:
    void Enter(int tab, int page) { manager->SetFirstScene(kPuzzleSelectSceneName, tab, page); }
    kv::KVWnd* Root() const { return chooser->m_pLayoutWindow; }
    bool Enabled(const wchar_t* name) { return modekit::Find(Root(), name)->IsEnabled(); }
};

TEST_F(LogicPuzzleChooserTest, PagesOfEightSlots)
{
    // An empty folder: one page, every slot hidden, both page buttons off.
    Enter(3, 0);
    EXPECT_EQ(Text(Root(), L"Pic_iqpuzzle_page_full"), L"1");
    EXPECT_EQ(Text(Root(), L"Pic_iqpuzzle_page"), L"1");
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(chooser->m_SlotState[k], VanteoPuzzleSelectScene2::kSlotEmpty);
    EXPECT_FALSE(Shown(Root(), L"Pic_iqlist_slot_1"));
    EXPECT_FALSE(Enabled(L"AniBtn_iqpuzzle_next"));
    EXPECT_FALSE(Enabled(L"AniBtn_iqpuzzle_prev"));
    chooser->Leave();

    // Nine puzzles: page 2 shows puzzle number 9 in its first slot only.
    AddPuzzles("Easy", 9);
    Enter(0, 0);
    EXPECT_TRUE(Shown(Root(), L"pic_iqlist_title_easy"));
    EXPECT_FALSE(Shown(Root(), L"pic_iqlist_title_user"));
    EXPECT_EQ(Text(Root(), L"Pic_iqpuzzle_page_full"), L"2");
    EXPECT_TRUE(Enabled(L"AniBtn_iqpuzzle_next"));
    Press(chooser, VK_RIGHT);
    EXPECT_EQ(chooser->m_nPage, 1);
    EXPECT_EQ(Text(Root(), L"Label_iqlist_num_1"), L"9");
    EXPECT_EQ(Text(Root(), L"Label_iqpuzzle_name_1"), L"p09");
    EXPECT_EQ(chooser->m_SlotState[0], VanteoPuzzleSelectScene2::kSlotShown);
    EXPECT_EQ(chooser->m_SlotState[1], VanteoPuzzleSelectScene2::kSlotEmpty);
    EXPECT_FALSE(Enabled(L"AniBtn_iqpuzzle_next"));
    Press(chooser, 'N'); // nothing past the last page
    EXPECT_EQ(chooser->m_nPage, 1);
    Press(chooser, VK_LEFT);
    EXPECT_EQ(chooser->m_nPage, 0);
    EXPECT_EQ(Text(Root(), L"Pic_iqpuzzle_page"), L"1");
    chooser->Leave();

    // A page from outside is kept inside the list.
    Enter(0, 7);
    EXPECT_EQ(chooser->m_nPage, 1);
    chooser->Leave();
    Enter(0, -1);
    EXPECT_EQ(chooser->m_nPage, 0);
}

TEST_F(LogicPuzzleChooserTest, RecordsShowTheBestTimeAndMarks)
{
    AddPuzzles("Normal", 3);
    const char* paths[] = {"Data/Puzzle/Normal/p01.pz0", "Data/Puzzle/Normal/p02.pz0", "Data/Puzzle/Normal/p03.pz0"};
    // p01: the player holds the first place; p02: a time by someone else above
    // the player's.
    InsertRankingScore(RANK_PUZZLE, paths[0], 100, 12345);
    std::strcpy(FindRankingTable(RANK_PUZZLE, paths[0])[0].name, "##player##");
    InsertRankingScore(RANK_PUZZLE, paths[1], 100, 900);
    InsertRankingScore(RANK_PUZZLE, paths[1], 100, 2000);
    RankEntry* second = FindRankingTable(RANK_PUZZLE, paths[1]);
    std::strcpy(second[0].name, "rival");
    std::strcpy(second[1].name, "##player##");
    // p03: only a failed attempt of the player's, ranked with score -1.
    InsertRankingScore(RANK_PUZZLE, paths[2], -1, 0);
    std::strcpy(FindRankingTable(RANK_PUZZLE, paths[2])[0].name, "##player##");
    Enter(1, 0);
    Run(chooser, 20); // past the in animation
    EXPECT_TRUE(Shown(Root(), L"Pic_iqlist_slot_cleared_1"));
    EXPECT_TRUE(Shown(Root(), L"Pic_iqlist_allclear_1"));
    EXPECT_FALSE(Shown(Root(), L"Pic_iqlist_clear_1"));
    EXPECT_EQ(Text(Root(), L"Label_iqlist_cleared_m_1"), L"02");
    EXPECT_EQ(Text(Root(), L"Label_iqlist_cleared_s_1"), L"03");
    EXPECT_EQ(Text(Root(), L"Label_iqlist_cleared_s2_1"), L"45");
    EXPECT_TRUE(Shown(Root(), L"Pic_iqlist_clear_2"));
    EXPECT_FALSE(Shown(Root(), L"Pic_iqlist_allclear_2"));
    EXPECT_EQ(Text(Root(), L"Label_iqlist_cleared_s_2"), L"20");
    EXPECT_FALSE(Shown(Root(), L"Pic_iqlist_slot_cleared_3"));
    EXPECT_FALSE(Shown(Root(), L"Pic_iqlist_allclear_3"));
    EXPECT_FALSE(Shown(Root(), L"Pic_iqlist_clear_3"));
}

TEST_F(LogicPuzzleChooserTest, HostileFilesShowEmptyPreviewsAndThePageIsNotReadEveryFrame)
{
    data.Write("Puzzle/User/a_short.pzl", "tiny");
    data.Write("Puzzle/User/b_long.pzl", kOneSquare + "more");
    std::string badKind = kOneSquare;
    badKind[4] = 9; // kind 9
    data.Write("Puzzle/User/c_kind.pzl", badKind);
    std::string badSquare = kOneSquare;
    badSquare[5] = 0x01; // a covered cell without its big block
    data.Write("Puzzle/User/d_square.pzl", badSquare);
    std::filesystem::create_directories("data/Puzzle/User/e_folder.pzl");
    data.Write("Puzzle/User/f_good.pzl", kOneSquare);
    testsupport::LogCapture logged;
    Enter(3, 0);
    const int expected[] = {2, 2, 2, 2, 0};
    // The folder is not listed: five entries, sorted by name.
    EXPECT_EQ(Text(Root(), L"Label_iqpuzzle_name_5"), L"f_good");
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(chooser->m_SlotState[k], expected[k]) << k;
    EXPECT_TRUE(logged.Contains(L"exactly 132 bytes"));
    EXPECT_TRUE(logged.Contains(L"do not form a valid board"));
    // Once the opening animation has ended, frames without a page change read
    // nothing more.
    Run(chooser, 30);
    data.Write("Puzzle/User/f_good.pzl", kOneSquareClean);
    Run(chooser, 30);
    EXPECT_EQ(chooser->m_Previews[4]->CellAt(7, 7)->present, 1);
}

TEST_F(LogicPuzzleChooserTest, AChosenSlotStartsItsPuzzleAfterTheOutAnimation)
{
    AddPuzzles("Easy", 12);
    Enter(0, 1);
    Run(chooser, 20);
    kv::KVWnd* slot = modekit::Find(Root(), L"AniBtn_iqpuzzle_3");
    ASSERT_NE(slot, nullptr);
    kv::KVRect r = slot->GetAbsoluteRect();
    kv.Click(static_cast<int>(r.left + 50), static_cast<int>(r.top + 50));
    EXPECT_EQ(chooser->m_nPendingChoice, 10);
    Run(chooser, 1);
    EXPECT_EQ(manager->GetCurrentScene(),
              chooser); // the out animation plays first
    Run(chooser, 20);
    EXPECT_EQ(manager->GetCurrentScene(), play);
    EXPECT_EQ(play->m_nPuzzleIndex, 10);
    EXPECT_EQ(play->m_nTab, 0);
}

TEST_F(LogicPuzzleChooserTest, KeysLeaveAtOnceAndF10WinsOverEscape)
{
    Enter(0, 0);
    input.keys = {VK_F10, VK_ESCAPE};
    Keyboard().Update();
    chooser->Update(0.02f);
    EXPECT_EQ(manager->GetCurrentScene(), editor);
    input.keys.clear();
    Keyboard().Update();
    manager->ChangeScene(kPuzzleSelectSceneName, 0, 0);
    Press(chooser, VK_BACK);
    EXPECT_EQ(log.Count("VanteoMainMenuScene Enter 3 0"), 1u);
}

} // namespace
