// Framed window: the nine pieces are added, placed, stretched and restored as the window's size
// changes.
#include "kv/KVWndEx.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

namespace {

using kv::KVWndEx;
using testsupport::WidgetEnv;

// Each piece has its own image size (tex) and offset (rect l, t), so a mix-up shows.
const char* const kFramed = R"(<kevrin version="2">
  <base type="WNDEX" name="Wnd_frame">
    <pos x="100" y="50"/><rect l="0" t="0" r="200" b="100"/>
    <asset type="BG" path="bg.png"><tex x="200" y="100"/><rect l="3" t="4" r="200" b="100"/></asset>
    <asset type="EDGE_LT" path="lt.png"><tex x="10" y="11"/><rect l="1" t="2" r="10" b="11"/></asset>
    <asset type="EDGE_RT" path="rt.png"><tex x="12" y="13"/><rect l="0" t="0" r="12" b="13"/></asset>
    <asset type="EDGE_LB" path="lb.png"><tex x="14" y="15"/><rect l="0" t="0" r="14" b="15"/></asset>
    <asset type="EDGE_RB" path="rb.png"><tex x="16" y="17"/><rect l="-1" t="-2" r="16" b="17"/></asset>
    <asset type="FRAME_L" path="l.png"><tex x="5" y="80"/><rect l="0" t="10" r="5" b="80"/></asset>
    <asset type="FRAME_R" path="r.png"><tex x="6" y="80"/><rect l="0" t="10" r="6" b="80"/></asset>
    <asset type="FRAME_T" path="t.png"><tex x="180" y="7"/><rect l="10" t="0" r="180" b="7"/></asset>
    <asset type="FRAME_B" path="b.png"><tex x="180" y="8"/><rect l="10" t="0" r="180" b="8"/></asset>
    <child type="PANEL" name="Panel_inner"><pos x="0" y="0"/><rect l="0" t="0" r="20" b="20"/></child>
  </base>
</kevrin>)";

struct DrawnPiece {
    KVWndEx::Piece piece;
    const wchar_t* path;
    float x, y;
};

class KVWndExTest : public ::testing::Test {
protected:
    WidgetEnv env;

    // Draws one frame and returns the image index drawn for the piece with its position.
    const testsupport::RecordingRenderer::ImageDraw* DrawnAt(KVWndEx* frame, KVWndEx::Piece piece)
    {
        for (const auto& draw : env.renderer.imageDraws)
            if (draw.group == frame->GetUniqueId() && draw.index == frame->GetImageIndex(piece))
                return &draw;
        return nullptr;
    }
};

TEST_F(KVWndExTest, AddsPiecesInFrameOrderAndDrawsEachAtItsAnchor)
{
    auto* frame = dynamic_cast<KVWndEx*>(env.Show(kFramed));
    ASSERT_NE(frame, nullptr);
    // Added in the frame's order: background, corners LT LB RT RB, edges T B L R.
    std::vector<std::wstring> added;
    for (const auto& call : env.renderer.calls)
        if (call.rfind(L"AddImage " + frame->GetUniqueId(), 0) == 0)
            added.push_back(call.substr(call.rfind(L' ') + 1));
    EXPECT_EQ(added, (std::vector<std::wstring>{L"bg.png", L"lt.png", L"lb.png", L"rt.png", L"rb.png", L"t.png",
                                                L"b.png", L"l.png", L"r.png"}));

    env.DrawFrame();
    // Window at (100, 50), 200 x 100: right-anchored pieces at W - tex x + l, bottom ones at H - tex y + t.
    const DrawnPiece expected[] = {
        {KVWndEx::kBackground, L"bg", 103, 54},    {KVWndEx::kFrameT, L"t", 110, 50},
        {KVWndEx::kFrameB, L"b", 110, 142},        {KVWndEx::kFrameL, L"l", 100, 60},
        {KVWndEx::kFrameR, L"r", 294, 60},         {KVWndEx::kEdgeLT, L"lt", 101, 52},
        {KVWndEx::kEdgeLB, L"lb", 100, 135},       {KVWndEx::kEdgeRT, L"rt", 288, 50},
        {KVWndEx::kEdgeRB, L"rb", 283, 131},
    };
    ASSERT_EQ(env.renderer.imageDraws.size(), 9u);
    for (size_t i = 0; i < std::size(expected); ++i) {
        const auto& draw = env.renderer.imageDraws[i];
        SCOPED_TRACE(expected[i].path);
        EXPECT_EQ(draw.index, frame->GetImageIndex(expected[i].piece)) << "drawn in order";
        EXPECT_FLOAT_EQ(draw.position.x, expected[i].x);
        EXPECT_FLOAT_EQ(draw.position.y, expected[i].y);
    }
}

TEST_F(KVWndExTest, ScaleMovesEveryOffsetButTheBackgroundsAndAlphaFactorOnlyDimsTheBackground)
{
    auto* frame = dynamic_cast<KVWndEx*>(env.Show(kFramed));
    ASSERT_NE(frame, nullptr);
    frame->SetScale(2, 2);
    frame->SetAlpha(0.5f);
    frame->backgroundAlpha = 0.5f;
    env.DrawFrame();
    const auto* bg = DrawnAt(frame, KVWndEx::kBackground);
    const auto* rb = DrawnAt(frame, KVWndEx::kEdgeRB);
    ASSERT_TRUE(bg && rb);
    EXPECT_FLOAT_EQ(bg->position.x, 103);
    EXPECT_FLOAT_EQ(bg->alpha, 0.25f);
    EXPECT_FLOAT_EQ(rb->position.x, 100 + (200 - 16 - 1) * 2);
    EXPECT_FLOAT_EQ(rb->position.y, 50 + (100 - 17 - 2) * 2);
    EXPECT_FLOAT_EQ(rb->alpha, 0.5f);
    EXPECT_FLOAT_EQ(rb->scale.x, 2);
}

TEST_F(KVWndExTest, GrowingStretchesEdgesAndMovesCornersAndShrinkingRestoresThem)
{
    auto* frame = dynamic_cast<KVWndEx*>(env.Show(kFramed));
    ASSERT_NE(frame, nullptr);
    frame->SetSizeFromRect({0, 210, 0, 120});
    const KVWndEx::Piece stretched[] = {KVWndEx::kBackground, KVWndEx::kFrameT, KVWndEx::kFrameB,
                                        KVWndEx::kFrameL, KVWndEx::kFrameR};
    const float widths[] = {210, 190, 190, 5, 6};
    const float heights[] = {120, 7, 8, 100, 100};
    for (size_t i = 0; i < std::size(stretched); ++i) {
        EXPECT_FLOAT_EQ(frame->GetPiece(stretched[i]).rect.right, widths[i]) << i;
        EXPECT_FLOAT_EQ(frame->GetPiece(stretched[i]).rect.bottom, heights[i]) << i;
    }
    EXPECT_FLOAT_EQ(frame->GetPiece(KVWndEx::kEdgeRB).rect.right, 16) << "corners keep their size";
    env.DrawFrame();
    EXPECT_FLOAT_EQ(DrawnAt(frame, KVWndEx::kEdgeRB)->position.x, 293);
    EXPECT_FLOAT_EQ(DrawnAt(frame, KVWndEx::kEdgeRB)->position.y, 151);

    frame->SetSizeFromRect({0, 200, 0, 100});
    EXPECT_FLOAT_EQ(frame->GetPiece(KVWndEx::kBackground).rect.right, 200);
    EXPECT_FLOAT_EQ(frame->GetPiece(KVWndEx::kFrameL).rect.bottom, 80);
    EXPECT_FLOAT_EQ(frame->GetPiece(KVWndEx::kFrameT).rect.right, 180);
}

TEST_F(KVWndExTest, AFramelessPanelAddsAndDrawsNothingButItsChildrenDraw)
{
    auto* frame = dynamic_cast<KVWndEx*>(env.Show(R"(<kevrin version="2">
      <base type="PANEL" name="Panel_outer"><pos x="0" y="0"/><rect l="0" t="0" r="50" b="50"/>
        <child type="LABEL" name="Label_in"><pos x="0" y="0"/><rect l="0" t="0" r="50" b="20"/><label val="hi"/></child>
      </base></kevrin>)"));
    ASSERT_NE(frame, nullptr);
    for (int32_t i = 0; i < KVWndEx::kPieceCount; ++i)
        EXPECT_EQ(frame->GetImageIndex(static_cast<KVWndEx::Piece>(i)), -1);
    EXPECT_EQ(env.renderer.ImageCount(frame->GetUniqueId()), 0);
    frame->SetSizeFromRect({0, 80, 0, 80});
    env.DrawFrame();
    EXPECT_TRUE(env.renderer.imageDraws.empty());
    ASSERT_EQ(env.iface.drawnTexts.size(), 1u);
    EXPECT_EQ(env.iface.drawnTexts[0].text, L"hi");
}

} // namespace
