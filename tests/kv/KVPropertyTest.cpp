// Description records, their named properties and the text parsers.
#include "kv/KVProperty.h"
#include "kv/KVWndDesc.h"

#include <gtest/gtest.h>

namespace {

struct ColorCase {
    const char* text;
    uint32_t expected;
};
class ParseColorTest : public ::testing::TestWithParam<ColorCase> {};
TEST_P(ParseColorTest, ReadsHexPairsAndDecimal)
{
    EXPECT_EQ(kv::ParseColor(GetParam().text), GetParam().expected) << GetParam().text;
}
INSTANTIATE_TEST_SUITE_P(Colors, ParseColorTest,
                         ::testing::Values(ColorCase{"#FF0000", 0xFFFF0000}, ColorCase{"#00FF0080", 0x8000FF00},
                                           ColorCase{"#FF00", 0xFFFF00FF}, ColorCase{"#", 0xFFFFFFFF},
                                           ColorCase{"255", 0x000000FF}, ColorCase{"-1", 0xFFFFFFFF},
                                           ColorCase{"", 0}, ColorCase{"#zz0000", 0xFFFF0000}));

struct FlagCase {
    const char* text;
    int32_t expected;
};
class ParseAnchorTest : public ::testing::TestWithParam<FlagCase> {};
TEST_P(ParseAnchorTest, SplitsAtCommaBlank)
{
    EXPECT_EQ(kv::ParseAnchor(GetParam().text), GetParam().expected) << GetParam().text;
}
INSTANTIATE_TEST_SUITE_P(Anchors, ParseAnchorTest,
                         ::testing::Values(FlagCase{"Left, Top", 3}, FlagCase{"Left,Top", 0},
                                           FlagCase{"Left, None, Bottom", 8}, FlagCase{"right, BOTTOM", 12},
                                           FlagCase{"", 0}, FlagCase{"Left, Sideways", 1}));

TEST(ParseAlignTest, WordsAnyCaseAndNumbersAsWritten)
{
    EXPECT_EQ(kv::ParseHAlign("center"), 1);
    EXPECT_EQ(kv::ParseHAlign("Center"), 1);
    EXPECT_EQ(kv::ParseHAlign("Right"), 2);
    EXPECT_EQ(kv::ParseHAlign("2"), 2);
    EXPECT_EQ(kv::ParseHAlign("7"), 7);
    EXPECT_EQ(kv::ParseHAlign("junk"), 0);
    EXPECT_EQ(kv::ParseVAlign("bottom"), 2);
    EXPECT_EQ(kv::ParseVAlign("Right"), 0);
    EXPECT_EQ(kv::ParseStartPosition("centerparent"), 1);
    EXPECT_EQ(kv::ParseStartPosition("CenterScreen"), 2);
    EXPECT_EQ(kv::ParseStartPosition("Middle"), 0);
}

TEST(KVPropertyTest, BooleanIsTrueOnlyForTheWordTrue)
{
    kv::KVBooleanProperty property;
    property.Parse("TRUE");
    EXPECT_TRUE(property.value);
    property.Parse("1");
    EXPECT_FALSE(property.value);
}

TEST(KVPropertyTest, RecordsRegisterPropertiesFoundInAnyCase)
{
    kv::LabelBase label;
    kv::KVProperty* color = label.FindProperty("color");
    ASSERT_NE(color, nullptr);
    color->Parse("#00FF00");
    EXPECT_EQ(label.color.value, 0xFF00FF00u);
    label.FindProperty("FONTNAME")->Parse("나눔고딕");
    EXPECT_EQ(label.fontName.value, L"나눔고딕");
    label.FindProperty("fontsize")->Parse("");
    EXPECT_EQ(label.fontSize.value, 0);
    EXPECT_NE(label.FindProperty("dragable"), nullptr);
    EXPECT_EQ(label.FindProperty("Editable"), nullptr);
}

TEST(KVPropertyTest, RecordDefaultsAndTypeIds)
{
    EXPECT_EQ(kv::LabelBase().color.value, 0xFFFFFFFFu);
    EXPECT_EQ(kv::EditBase().color.value, 0xFFFFFFFFu);
    EXPECT_EQ(kv::TextAreaBase().color.value, 0u);
    kv::ComboBase combo;
    EXPECT_EQ(combo.normalColor.value, 0xFF0000FFu);
    EXPECT_EQ(combo.selectColor.value, 0xFFFF0000u);
    EXPECT_EQ(kv::WndBaseStruct().GetType(), 0);
    EXPECT_EQ(kv::TextAreaSCBase().GetType(), 16);
    EXPECT_EQ(kv::CustomBase().GetType(), 18);
}

TEST(KVPropertyTest, SubRecordsLeftInARecordAreFreedAndTakenOnesAreNot)
{
    auto* bar = new kv::ScrollbarBase;
    bar->thumb = new kv::ButtonBase;
    bar->buttonLT = new kv::ButtonBase;
    std::unique_ptr<kv::ButtonBase> taken(kv::TakeSubRecord(bar->thumb));
    EXPECT_EQ(bar->thumb, nullptr);
    delete bar; // frees buttonLT; the leak checker would report it otherwise
    EXPECT_NE(taken, nullptr);
}

} // namespace
