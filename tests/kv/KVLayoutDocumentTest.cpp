// The layout loader: versions, failures, and what each window element reads.
#include "kv/KVException.h"
#include "kv/KVLayoutDocument.h"

#include "support/kv/FakeInterface.h"

#include <gtest/gtest.h>

#include <climits>

#include <string>

namespace {

using kv::KVLayoutDocument;
using testsupport::FakeInterface;

const std::string kFixtures = std::string(QUIBLY_FIXTURES_DIR) + "/kv/";

class KVLayoutDocumentTest : public ::testing::Test {
protected:
    void Add(const std::string& name, const std::string& text) { iface.AddFile(std::wstring(name.begin(), name.end()), text); }
    FakeInterface iface;
    KVLayoutDocument document{&iface};
};

struct FailureCase {
    const char* name;
    const char* text; // null: no such file
    const char* message;
};

class LayoutFailureTest : public KVLayoutDocumentTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LayoutFailureTest, ThrowsTheFrameworkExceptionWithItsMessage)
{
    const FailureCase& c = GetParam();
    if (c.text)
        Add("bad.xml", c.text);
    try {
        document.Load(c.name);
        FAIL() << "no exception";
    } catch (const kv::Testing::KVException& e) {
        EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_FALSE(document.IsLoaded());
    EXPECT_EQ(iface.OpenFileCount(), 0) << "the file is closed before the throw";
}

INSTANTIATE_TEST_SUITE_P(
    Failures, LayoutFailureTest,
    ::testing::Values(FailureCase{"", nullptr, "Parameter 'filename' is empty"},
                      FailureCase{"missing.xml", nullptr, "missing.xml"},
                      FailureCase{"bad.xml", "", "bad.xml"},
                      FailureCase{"bad.xml", "<kevrin version=\"2\"><base", "XML parse failed"},
                      FailureCase{"bad.xml", "<layout version=\"2\"><base/></layout>", "Couldn't find root node"},
                      FailureCase{"bad.xml", "<kevrin><base type=\"WND\"><pos/></base></kevrin>", "Unknown XML version"},
                      FailureCase{"bad.xml", "<kevrin version=\"abc\"><x/></kevrin>", "Unknown XML version"},
                      FailureCase{"bad.xml", "<kevrin version=\"1\"><child type=\"LABEL\"/></kevrin>",
                                  "XML Version 1 read failed"},
                      FailureCase{"bad.xml", "<kevrin version=\"2\"/>", "Counld't found child element"},
                      FailureCase{"bad.xml", "<kevrin version=\"2\"><base type=\"WND\" name=\"a\"/></kevrin>",
                                  "Counld't found child element"}));

TEST_F(KVLayoutDocumentTest, FileExceptionsCarryTheirReason)
{
    Add("empty.xml", "");
    try {
        document.Load("empty.xml");
    } catch (const kv::Testing::KVFileException& e) {
        EXPECT_EQ(e.reason(), kv::Testing::KVFileException::kEmpty);
    }
    try {
        document.Load("nowhere.xml");
    } catch (const kv::Testing::KVFileException& e) {
        EXPECT_EQ(e.reason(), kv::Testing::KVFileException::kCannotOpen);
    }
    EXPECT_THROW(document.Load(""), kv::Testing::KVInvalidArgException);
}

TEST_F(KVLayoutDocumentTest, VersionsThreeAndNegativeReadAsTwoAndAnyChildElementSatisfiesTheRule)
{
    for (const char* version : {"2", "3", "-1"}) {
        Add("v.xml", std::string("<kevrin version=\"") + version +
                         "\"><child type=\"PANEL\" name=\"a\"><whatever/></child></kevrin>");
        ASSERT_EQ(document.Load("v.xml"), 1) << version;
        ASSERT_EQ(document.TopLevel().size(), 1u);
        EXPECT_EQ(document.TopLevel()[0]->name, L"a");
        EXPECT_EQ(document.GetChildCount(document.TopLevel()[0]), -1);
    }
    EXPECT_TRUE(iface.debugOutput.empty());
}

TEST_F(KVLayoutDocumentTest, VersionOneWarnsAndReadsOnlyChildrenOfTheRoot)
{
    Add("v1.xml", "<kevrin version=\"1\"><properties><property name=\"UIAnimation\" val=\"a.xml\"/>"
                  "<property name=\"UIAnimation\" val=\"b.xml\"/><property name=\"uianimation\" val=\"c.xml\"/>"
                  "</properties><base type=\"WNDEX\" name=\"top\"><child type=\"LABEL\" name=\"inner\"/></base>"
                  "<child type=\"LABEL\" name=\"one\"/><child type=\"PANEL\" name=\"v2only\"/>"
                  "<child type=\"BUTTON\" name=\"two\"/></kevrin>");
    ASSERT_EQ(document.Load("v1.xml"), 1);
    ASSERT_EQ(iface.debugOutput.size(), 1u);
    EXPECT_EQ(iface.debugOutput[0], L"v1.xml : warning: XML version 1 was declared deprecated.\n");
    EXPECT_EQ(document.GetUIAnimation(), L"b.xml");
    kv::WndBaseStruct* top = document.TopLevel().at(0);
    ASSERT_EQ(document.GetChildCount(top), 2);
    EXPECT_EQ(document.GetChild(top, 0)->name, L"one");
    EXPECT_EQ(document.GetChild(top, 1)->name, L"two");
    EXPECT_EQ(document.GetChild(top, 2), nullptr) << "an index out of range is refused";

    Add("panel.xml", "<kevrin version=\"1\"><base type=\"PANEL\" name=\"p\"/></kevrin>");
    EXPECT_EQ(document.Load("panel.xml"), 1);
    EXPECT_TRUE(document.TopLevel().empty());
}

TEST_F(KVLayoutDocumentTest, WarningForAVeryLongFileNameIsWrittenWhole)
{
    std::string longName(600, 'n');
    longName += ".xml";
    Add(longName, "<kevrin version=\"1\"><base type=\"WND\"><pos/></base></kevrin>");
    ASSERT_EQ(document.Load(longName), 1);
    ASSERT_EQ(iface.debugOutput.size(), 1u);
    std::wstring wideName(longName.begin(), longName.end());
    EXPECT_EQ(iface.debugOutput[0], wideName + L" : warning: XML version 1 was declared deprecated.\n");
}

TEST_F(KVLayoutDocumentTest, TreeKeepsFileOrderAndSkipsUnknownTypesWithTheirSubtrees)
{
    ASSERT_EQ(document.Load(kFixtures + "dialog.xml"), 1);
    EXPECT_EQ(document.GetUIAnimation(), L"dialog_anim.xml");
    ASSERT_EQ(document.TopLevel().size(), 2u);
    kv::WndBaseStruct* top = document.TopLevel()[0];
    EXPECT_EQ(top->GetType(), kv::kDescWndEx);
    EXPECT_EQ(top->escKeyAction, 1);
    ASSERT_EQ(document.GetChildCount(top), 4);
    EXPECT_EQ(document.GetChild(top, 0)->name, L"Label_title");
    EXPECT_EQ(document.GetChild(top, 2)->name, L"Wnd_panel");
    kv::WndBaseStruct* custom = document.GetChild(top, 3);
    EXPECT_EQ(custom->GetType(), kv::kDescCustom);
    EXPECT_EQ(static_cast<kv::CustomBase*>(custom)->typeName, L"Board");
    EXPECT_EQ(document.GetChildCount(document.GetChild(top, 2)), 1);
    auto* mode = dynamic_cast<kv::ExWbsString*>(top->expandMap.at(L"mode"));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->value, L"퍼즐");
    EXPECT_EQ(dynamic_cast<kv::ExWbsInteger*>(top->expandMap.at(L"level"))->value, 7);
    // Nothing is taken here: the document frees every description when it is cleared.
}

TEST_F(KVLayoutDocumentTest, EveryKindOfWindowElementReadsItsContent)
{
    ASSERT_EQ(document.Load(kFixtures + "all_types.xml"), 1);
    kv::WndBaseStruct* top = document.TopLevel().at(0);
    auto child = [&](const wchar_t* name) -> kv::WndBaseStruct* {
        for (int32_t i = 0; i < document.GetChildCount(top); ++i)
            if (document.GetChild(top, i)->name == name)
                return document.GetChild(top, i);
        ADD_FAILURE() << "no child";
        return nullptr;
    };

    auto* wnd = static_cast<kv::WndExBase*>(top);
    EXPECT_FLOAT_EQ(wnd->rect.right - wnd->rect.left, 100);
    EXPECT_FLOAT_EQ(wnd->rect.bottom - wnd->rect.top, 50);
    EXPECT_FLOAT_EQ(wnd->pos.x, 1);
    EXPECT_EQ(wnd->startPosition, 2);
    EXPECT_TRUE(wnd->dragable.value);
    EXPECT_EQ(wnd->anchor.value, 3);
    EXPECT_EQ(wnd->bg.path, L"bg2.png") << "a later asset of the same type replaces the earlier";
    EXPECT_FLOAT_EQ(wnd->bg.tex.x, 8);

    auto* label = static_cast<kv::LabelBase*>(child(L"Label_a"));
    EXPECT_EQ(label->text, L"안녕");
    EXPECT_EQ(label->style, 1);
    EXPECT_EQ(label->fontName.value, L"KelmorSoft");
    EXPECT_EQ(label->color.value, 0xFFFF0000u);
    EXPECT_EQ(label->hAlign.value, 1);
    EXPECT_EQ(label->vAlign.value, 2);

    auto* labelButton = static_cast<kv::LabelButtonBase*>(child(L"Lbtn_a"));
    EXPECT_EQ(labelButton->normalImage, L"n.png");
    EXPECT_EQ(labelButton->overSound, L"over.wav");
    ASSERT_NE(labelButton->label, nullptr);
    EXPECT_EQ(labelButton->label->text, L"last");

    auto* group = static_cast<kv::AnimButtonBase*>(child(L"Anibtn_a"));
    EXPECT_EQ(group->normalImage, L"group.xml");
    EXPECT_TRUE(group->isGroup);
    EXPECT_EQ(group->enterState, L"") << "assets after GROUP are not read";
    auto* states = static_cast<kv::AnimButtonBase*>(child(L"Anibtn_text"));
    EXPECT_EQ(states->enterState, L"enter_text.xml");
    EXPECT_EQ(states->leaveState, L"leave.xml");
    EXPECT_FALSE(states->isGroup);

    EXPECT_EQ(static_cast<kv::ButtonBase*>(child(L"Btn_nosound"))->downSound, L"");

    auto* check = static_cast<kv::CheckBase*>(child(L"Chk_a"));
    EXPECT_EQ(check->checkImage, L"c1.png");
    EXPECT_EQ(check->pushSound.value, L"push.wav");

    auto* anim = static_cast<kv::PictureBase*>(child(L"Pic_anim"));
    EXPECT_EQ(anim->path, L"pic.xml");
    EXPECT_FALSE(anim->isStatic);
    EXPECT_TRUE(static_cast<kv::PictureBase*>(child(L"Pic_other"))->isStatic);

    auto* progress = static_cast<kv::ProgressBase*>(child(L"Prog_a"));
    EXPECT_EQ(progress->barImage, L"bar.png");
    EXPECT_FLOAT_EQ(progress->tex.x, 200);

    auto* scroll = static_cast<kv::ScrollbarBase*>(child(L"Scroll_a"));
    EXPECT_TRUE(scroll->horizontal);
    ASSERT_NE(scroll->buttonLT, nullptr);
    EXPECT_EQ(scroll->buttonLT->normalImage, L"up.png");
    EXPECT_EQ(scroll->buttonRB, nullptr);
    EXPECT_EQ(scroll->thumb->name, L"Btn_thumb");
    EXPECT_FLOAT_EQ(scroll->scrollRect.bottom, 90);
    auto* slider = static_cast<kv::SliderBase*>(child(L"Slider_nocontrols"));
    EXPECT_FALSE(slider->horizontal);
    EXPECT_FLOAT_EQ(slider->slideRect.right, 0);

    auto* edit = static_cast<kv::EditBase*>(child(L"Edit_a"));
    EXPECT_EQ(edit->caret.path, L"caret.png");
    EXPECT_FLOAT_EQ(edit->caret.tex.y, 2);
    EXPECT_FLOAT_EQ(edit->padding.bottom, 4);
    EXPECT_EQ(edit->vAlign, 2);
    EXPECT_EQ(edit->passwordChar, L'●');
    EXPECT_EQ(edit->fontSize.value, 14);
    auto* bare = static_cast<kv::EditBase*>(child(L"Edit_noasset"));
    EXPECT_EQ(bare->style, 0);
    EXPECT_EQ(bare->passwordChar, 0);

    auto* list = static_cast<kv::ListSCBase*>(child(L"List_a"));
    EXPECT_EQ(list->GetType(), kv::kDescListSC);
    EXPECT_EQ(list->column, 3);
    EXPECT_TRUE(list->deselectable);
    ASSERT_NE(list->vScrollBar, nullptr);
    EXPECT_EQ(list->hScrollBar, nullptr) << "a scroll bar without controls is dropped";
    EXPECT_EQ(child(L"List_b")->GetType(), kv::kDescListSC);

    auto* text = static_cast<kv::TextAreaSCBase*>(child(L"Text_a"));
    EXPECT_TRUE(text->editable.value);
    EXPECT_TRUE(text->showAlwaysV);
    EXPECT_FALSE(text->showAlwaysH);
    EXPECT_FLOAT_EQ(text->autoVisibleRect.right, -20);

    auto* combo = static_cast<kv::ComboBase*>(child(L"Combo_a"));
    ASSERT_NE(combo->textArea, nullptr);
    EXPECT_EQ(combo->textArea->GetType(), kv::kDescTextAreaSC);
    EXPECT_EQ(combo->listArea->column, 1);
    EXPECT_EQ(combo->normalColor.value, 0x8000FF00u);

    EXPECT_EQ(static_cast<kv::StackPanelBase*>(child(L"Stack_a"))->hAlign.value, 2);
    auto* panel = child(L"Panel_a");
    ASSERT_EQ(panel->expandMap.size(), 1u) << "unknown expand types are ignored";
    EXPECT_EQ(static_cast<kv::ExWbsString*>(panel->expandMap.at(L"k"))->value, L"two");
}

// Numbers beyond the widgets' integers are held at limits instead of converted with undefined
// behaviour: positions, sizes and paddings within +-kMaxLayoutCoordinate, integers within int32.
TEST_F(KVLayoutDocumentTest, NumbersOutOfRangeAreClamped)
{
    Add("big.xml", "<kevrin version=\"99999999999999999999\">"
                   "<child type=\"EDIT\" name=\"e\"><asset type=\"CARET\" path=\"c.png\"/><pos x=\"1e300\" y=\"-inf\"/>"
                   "<rect l=\"nan\" r=\"3e38\" t=\"-1e39\" b=\"12.5\"/>"
                   "<padding l=\"1e20\" t=\"-1e20\" r=\"inf\" b=\"4\"/><style val=\"-99999999999\"/>"
                   "<FontSize val=\"99999999999\"/><valign val=\"4294967296\"/></child></kevrin>");
    ASSERT_EQ(document.Load("big.xml"), 1);
    auto* edit = static_cast<kv::EditBase*>(document.TopLevel().at(0));
    const float max = kv::kMaxLayoutCoordinate;
    EXPECT_FLOAT_EQ(edit->pos.x, max);
    EXPECT_FLOAT_EQ(edit->pos.y, -max);
    EXPECT_FLOAT_EQ(edit->rect.left, 0);
    EXPECT_FLOAT_EQ(edit->rect.right, max);
    EXPECT_FLOAT_EQ(edit->rect.top, -max);
    EXPECT_FLOAT_EQ(edit->rect.bottom, 12.5f);
    EXPECT_FLOAT_EQ(edit->padding.left, max);
    EXPECT_FLOAT_EQ(edit->padding.top, -max);
    EXPECT_FLOAT_EQ(edit->padding.right, max);
    EXPECT_EQ(edit->style, INT32_MIN);
    EXPECT_EQ(edit->fontSize.value, INT32_MAX);
    EXPECT_EQ(edit->vAlign, INT32_MAX);
    EXPECT_EQ(kv::ParseColor("99999999999"), 0x7FFFFFFFu);
    EXPECT_EQ(kv::ParseLayoutInt("12abc"), 12);
    EXPECT_FLOAT_EQ(kv::ParseLayoutFloat("abc"), 0);
}

TEST_F(KVLayoutDocumentTest, AFailedLoadLeavesNothingBehind)
{
    // The first window is read before the second fails; the leak checker sees it freed.
    Add("half.xml", "<kevrin version=\"2\"><base type=\"WND\" name=\"ok\"><pos/></base>"
                    "<base type=\"WND\" name=\"broken\"/></kevrin>");
    EXPECT_THROW(document.Load("half.xml"), kv::Testing::KVException);
    document.Clear();
    EXPECT_TRUE(document.TopLevel().empty());
}

} // namespace
