// Animated textures: frame sets from "DFAnimateTexture" files, playing and holding sets, and
// files with missing or oversized parts.
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <lumenkit/AnimateTexture.h>
#include <lumenkit/Texture.h>

#include <helvane/ResourceFileManager.h>

#include <win32/Text.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

class AnimateTextureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* sheet : {"walk.tga", "run.tga", "idle.tga"})
            m_dir.Write(std::string("data/anim/") + sheet, "sheet");
        m_cwd = std::make_unique<testsupport::ScopedCurrentDir>(m_dir.Path());
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
    }
    void TearDown() override
    {
        m_anim.reset();
        delete CTextureManager::GetSingletonPtr();
        m_cwd.reset();
        CResourceFileManager::GetSingleton().Close();
    }

    // Writes the file under data/ and loads it by its bare name through the index.
    int Load(const std::string& name, const std::string& xml)
    {
        m_dir.Write("data/anim/" + name, xml);
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
        return m_anim->Load(platform::Widen(name).c_str());
    }

    testsupport::LogCapture m_log;
    testsupport::TempDir m_dir;
    std::unique_ptr<testsupport::ScopedCurrentDir> m_cwd;
    std::unique_ptr<AnimateTexture> m_anim = std::make_unique<AnimateTexture>();
};

constexpr const char* kSheets = R"(<DFAnimateTexture>
  <TexAniSet name="default">
    <AnimationTime>0.1</AnimationTime>
    <TextureInfo Filename="walk.tga" xGrid="4" yGrid="2"/>
  </TexAniSet>
  <TexAniSet name="jump">
    <AnimationTime>0.5</AnimationTime>
    <TextureInfo Filename="run.tga" xGrid="2" yGrid="1"/>
    <TextureInfo Filename="idle.tga" xGrid="3"/>
  </TexAniSet>
</DFAnimateTexture>)";

TEST_F(AnimateTextureTest, SheetsAreCutIntoFramesRowByRow)
{
    ASSERT_EQ(Load("sheets.xml", kSheets), 1);
    const stAniTexSet* walk = m_anim->GetSet(L"default");
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(m_anim->GetCurrentSet(), walk);
    ASSERT_EQ(walk->nFrameCount, 8);
    const D3DXMATRIX& cell = walk->pFrames[5].matTexture;
    EXPECT_FLOAT_EQ(cell._11, 0.25f);
    EXPECT_FLOAT_EQ(cell._22, 0.5f);
    EXPECT_FLOAT_EQ(cell._31, 0.25f) << "column 1";
    EXPECT_FLOAT_EQ(cell._32, 0.5f) << "row 1";
    EXPECT_GE(walk->pFrames[0].nTextureHandle, 0);
    EXPECT_EQ(walk->pFrames[7].nTextureHandle, walk->pFrames[0].nTextureHandle);

    const stAniTexSet* jump = m_anim->GetSet(L"jump");
    ASSERT_EQ(jump->nFrameCount, 5);
    EXPECT_NE(jump->pFrames[1].nTextureHandle, jump->pFrames[2].nTextureHandle) << "frames 2-4 from the second sheet";
    EXPECT_EQ(jump->pFrames[2].nTextureHandle, jump->pFrames[4].nTextureHandle);
    EXPECT_FLOAT_EQ(jump->pFrames[4].matTexture._11, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(jump->pFrames[4].matTexture._22, 1.0f) << "a missing yGrid is one row";
}

TEST_F(AnimateTextureTest, UpdateAdvancesOneFrameAtMostAndWraps)
{
    ASSERT_EQ(Load("sheets.xml", kSheets), 1);
    for (int expected : {1, 2, 3, 4, 5, 6, 7, 0}) {
        m_anim->Update(0.25f);
        EXPECT_EQ(m_anim->GetTextureCursor(), expected);
    }
    EXPECT_EQ(m_anim->GetTextureInfo(), &m_anim->GetCurrentSet()->pFrames[0]);
}

TEST_F(AnimateTextureTest, AHeldSetFallsBackToDefault)
{
    ASSERT_EQ(Load("sheets.xml", kSheets), 1);
    m_anim->SetAnimationTextureSet(L"jump", 2.0f);
    EXPECT_EQ(std::wstring(m_anim->GetAnimationTextureSetName()), L"jump");
    m_anim->Update(1.0f);
    EXPECT_EQ(m_anim->GetTextureCursor(), 1);
    m_anim->Update(0.95f);
    EXPECT_EQ(m_anim->GetCurrentSet(), m_anim->GetSet(L"jump"));
    m_anim->Update(0.06f);
    EXPECT_EQ(m_anim->GetCurrentSet(), m_anim->GetSet(L"default"));
    EXPECT_EQ(m_anim->GetTextureCursor(), 0);
    EXPECT_FLOAT_EQ(m_anim->GetHoldTime(), 1e7f);

    m_anim->SetAnimationTextureSet(L"nothing", 3.0f);
    EXPECT_TRUE(m_log.Contains(L"존재하지 않는 텍스쳐 셋 nothing를 참조하려 했습니다."));
    EXPECT_EQ(m_anim->GetCurrentSet(), m_anim->GetSet(L"default"));
}

TEST_F(AnimateTextureTest, AFileWithoutDefaultShowsNothingUntilASetIsChosen)
{
    ASSERT_EQ(Load("nodefault.xml", R"(<DFAnimateTexture><TexAniSet name="a"><AnimationTime>1</AnimationTime>
        <TextureInfo Filename="run.tga" xGrid="2" yGrid="1"/></TexAniSet></DFAnimateTexture>)"),
              1);
    EXPECT_EQ(m_anim->GetTextureInfo(), nullptr);
    m_anim->SetTextureCursor(1);
    m_anim->SetAnimationTextureSet(L"a", 0.0f);
    m_anim->SetTextureCursor(2);
    EXPECT_TRUE(m_log.Contains(L"텍스쳐 커서 값이 리스트 사이즈 보다 큽니다."));
    EXPECT_EQ(m_anim->GetTextureCursor(), 0);
    m_anim->SetTextureCursor(1);
    EXPECT_EQ(m_anim->GetTextureCursor(), 1);
}

TEST_F(AnimateTextureTest, ASetOfTheSameNameTakesThePlaceOfTheCurrentOne)
{
    ASSERT_EQ(Load("sheets.xml", kSheets), 1);
    m_anim->SetAnimationTextureSet(L"jump", 0.0f);
    m_anim->Update(0.6f);
    // Loading again replaces both sets; the current and default sets follow the new ones.
    ASSERT_EQ(Load("sheets.xml", kSheets), 1);
    EXPECT_EQ(m_anim->GetSetCount(), 2);
    EXPECT_EQ(m_anim->GetCurrentSet(), m_anim->GetSet(L"default"));
    ASSERT_EQ(Load("twice.xml", R"(<DFAnimateTexture>
        <TexAniSet name="default"><TextureInfo Filename="walk.tga" xGrid="2" yGrid="2"/></TexAniSet>
        <TexAniSet name="default"><TextureInfo Filename="walk.tga" xGrid="3" yGrid="1"/></TexAniSet>
        </DFAnimateTexture>)"),
              1);
    ASSERT_NE(m_anim->GetCurrentSet(), nullptr);
    EXPECT_EQ(m_anim->GetCurrentSet()->nFrameCount, 3);
    m_anim->Update(5.0f);
    EXPECT_EQ(m_anim->GetTextureCursor(), 0) << "a set without AnimationTime keeps its frame";
    EXPECT_NE(m_anim->GetTextureInfo(), nullptr);
}

struct BadFile {
    const char* name;
    const char* xml; // null: the file does not exist
    int result;
    const wchar_t* logged;
};

class AnimateTextureBadFileTest : public AnimateTextureTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(AnimateTextureBadFileTest, IsLoggedWithoutACrash)
{
    const BadFile& c = GetParam();
    const int result = c.xml ? Load(c.name, c.xml) : m_anim->Load(platform::Widen(c.name).c_str());
    EXPECT_EQ(result, c.result);
    EXPECT_TRUE(m_log.Contains(c.logged)) << c.name;
    if (result == 0) {
        EXPECT_EQ(m_anim->GetSetCount(), 0);
        EXPECT_EQ(m_anim->GetTextureInfo(), nullptr);
    }
    m_anim->Update(0.5f);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AnimateTextureBadFileTest,
    ::testing::Values(
        BadFile{"absent.xml", nullptr, 0, L"Cannot Find TextureFile absent.xml"},
        BadFile{"broken.xml", "<DFAnimateTexture><TexAniSet", 0, L"Cannot Load TextureFileName"},
        BadFile{"noroot.xml", "<Other/>", 0, L"noroot.xml 루트에서 DFAnimateTexture 노드를 찾을수 없습니다."},
        BadFile{"noname.xml", "<DFAnimateTexture><TexAniSet><TextureInfo Filename=\"run.tga\"/></TexAniSet></DFAnimateTexture>",
                1, L"has no name"},
        BadFile{"nofile.xml", "<DFAnimateTexture><TexAniSet name=\"default\"><TextureInfo xGrid=\"2\"/></TexAniSet></DFAnimateTexture>",
                1, L"has no Filename"},
        BadFile{"huge.xml",
                "<DFAnimateTexture><TexAniSet name=\"default\"><AnimationTime>0.1</AnimationTime>"
                "<TextureInfo Filename=\"run.tga\" xGrid=\"20\" yGrid=\"15\"/></TexAniSet></DFAnimateTexture>",
                1, L"more than 256 frames"}),
    [](const ::testing::TestParamInfo<BadFile>& info) {
        std::string name = info.param.name;
        return name.substr(0, name.find('.'));
    });

TEST_F(AnimateTextureTest, ASetIsCappedAt256Frames)
{
    ASSERT_EQ(Load("huge.xml", "<DFAnimateTexture><TexAniSet name=\"default\"><AnimationTime>0.1</AnimationTime>"
                               "<TextureInfo Filename=\"run.tga\" xGrid=\"20\" yGrid=\"15\"/>"
                               "<TextureInfo Filename=\"idle.tga\" xGrid=\"0\" yGrid=\"4\"/></TexAniSet></DFAnimateTexture>"),
              1);
    EXPECT_EQ(m_anim->GetSet(L"default")->nFrameCount, 256);
    m_anim->SetTextureCursor(255);
    m_anim->Update(0.2f);
    EXPECT_EQ(m_anim->GetTextureCursor(), 0);
}

} // namespace
