// A seeded board drawn on the headless device: every cell shows its block's colour, and after a
// quarter turn every colour stands in its turned cell.
#include "../BoardFixture.h"

#include "../../engine/AnimationXml.h"
#include "../../lumenkit/device/LumenkitDevice.h"

#include "board/BoardSkin.h"
#include "engine/LumenkitRenderBackend.h"
#include "engine/PlayerSettings.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kKindColours[8] = {0,          0xFFE8505B, 0xFF3CC47C, 0xFF3D8BFD,
                                      0xFFF7C548, 0xFF8E96A3, 0xFF9B6BDF, 0xFF8B5E3C};

class BoardDrawTest : public lumenkittest::LumenkitDeviceTest {
protected:
    void SetUp() override
    {
        LumenkitDeviceTest::SetUp();
        using namespace enginetest::animxml;
        for (int kind = 1; kind <= 7; ++kind) {
            for (int large = 0; large < 2; ++large) {
                const std::string image = "boardkind" + std::to_string(kind) + (large ? "l" : "s") + ".tga";
                lumenkittest::WriteSolidTga(m_data, "data/img/" + image, large ? 90 : 45, large ? 90 : 45,
                                            kKindColours[kind]);
                m_data.Write("data/anim/boardkind" + std::to_string(kind) + (large ? "l" : "s") + ".xml",
                             FileXml(SceneXml("NORMAL", {{0}, {400}}, "", image)));
            }
        }
        Reindex();
        InstallLumenkitRenderBackend();
        AttachPlayerSettings({[](int index) -> std::string {
                                  if (index >= kSkinBlockSmall && index < kSkinBlockSmall + 7)
                                      return "boardkind" + std::to_string(index - kSkinBlockSmall + 1) + "s.xml";
                                  if (index >= kSkinBlockLarge && index < kSkinBlockLarge + 7)
                                      return "boardkind" + std::to_string(index - kSkinBlockLarge + 1) + "l.xml";
                                  return {};
                              },
                              {}});
        harness = std::make_unique<boardtest::Harness>(8, 21);
        harness->tuning.weights[4] = 4; // some stars among the colours
    }
    void TearDown() override
    {
        harness.reset();
        AttachPlayerSettings({});
        SetRenderBackend(nullptr);
        LumenkitDeviceTest::TearDown();
    }

    // The colour at the centre of every cell.
    std::vector<uint32_t> DrawAndRead()
    {
        std::vector<uint32_t> colours;
        Frame([&] { harness->board->DrawBlocks(); });
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 8; ++col)
                colours.push_back(Pixel(329 + col * 45 + 22, 303 + row * 45 + 22));
        return colours;
    }

    std::unique_ptr<boardtest::Harness> harness;
};

TEST_F(BoardDrawTest, CellsShowTheirBlockColoursBeforeAndAfterAQuarterTurn)
{
    VanteoBlockMap& board = *harness->board;
    board.NewGame();
    harness->Settle(3000);
    ASSERT_FALSE(board.IsBusy());
    const std::vector<uint32_t> before = DrawAndRead();
    for (int i = 0; i < 64; ++i) {
        ASSERT_TRUE(board.cells[i]->present);
        EXPECT_TRUE(lumenkittest::NearColor(before[i], kKindColours[board.cells[i]->kind]))
            << "cell " << i << " kind " << board.cells[i]->kind << " " << std::hex << before[i];
    }
    // Outside the board the screen stays black.
    EXPECT_TRUE(lumenkittest::NearColor(Pixel(320, 300), 0xFF000000));

    ASSERT_EQ(board.RequestRotate(1), 1);
    for (int frame = 0; frame < 60 && board.turnTarget != board.turnAngle; ++frame)
        board.Update(1.0f / 60.0f);
    ASSERT_EQ(board.turnAngle, 0.0f);
    const std::vector<uint32_t> after = DrawAndRead();
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col) {
            // A right turn brings the block of (row, 7 - col) to (col, row).
            const uint32_t expected = before[row + (7 - col) * 8];
            EXPECT_TRUE(lumenkittest::NearColor(after[col + row * 8], expected))
                << col << "," << row << " " << std::hex << after[col + row * 8] << " vs " << expected;
        }
}

} // namespace
