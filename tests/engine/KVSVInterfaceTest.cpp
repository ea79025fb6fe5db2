// The UI platform interface's face table, text drawing and measuring, data path and screen size.
#include "engine/KVSVInterface.h"

#include "engine/FontManager.h"
#include "engine/RecordingGraphics.h"
#include "engine/SoundServer.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <win32/Text.h>

#include <future>

namespace {

// One imageset per game face, each with a glyph "A" of a width of its own, so the width tells
// which face drew.
std::string Imageset(const char* name, int width)
{
    return std::string("<Imageset Name=\"") + name + "\"><Image Name=\"A\" Width=\"" + std::to_string(width) +
           "\" Height=\"5\"/></Imageset>";
}

class KVSVInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("MainUI.imageset", Imageset("MainUI", 3));
        dir.Write("MainUIFix.imageset", Imageset("MainUIFix", 4));
        dir.Write("MainUI40.imageset", Imageset("MainUI40", 5));
        fonts.InitDevice(nullptr);
        for (const wchar_t* face : {L"MainUI", L"MainUIFix", L"MainUI40"})
            fonts.RegisterFont(face, platform::Narrow(face) + ".imageset");
        iface.Init(nullptr);
    }

    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd{dir.Path()};
    mediatest::RecordingGraphics graphics;
    FTFont fonts;
    KVSVInterface iface;
};

struct FaceCase {
    const wchar_t* layoutFace;
    const wchar_t* gameFace;
    int size;
    int width;
};

class KVSVInterfaceFaces : public KVSVInterfaceTest, public ::testing::WithParamInterface<FaceCase> {};

TEST_P(KVSVInterfaceFaces, MapsLayoutFacesToGameFonts)
{
    const FaceCase& c = GetParam();
    EXPECT_EQ(iface.MeasureText(c.layoutFace, L"AA").width, 2 * c.width);
    kv::KVTextStyle style;
    style.faceName = c.layoutFace;
    style.size = 99;
    style.style = kv::KVTextStyle::kBold;
    style.colour = 0xFF336699;
    iface.DrawText(style, 10, 20, L"A");
    ASSERT_EQ(graphics.sprites.size(), 2u) << "bold text is drawn twice";
    EXPECT_EQ(graphics.sprites[0].position.x, 10.0f);
    EXPECT_EQ(graphics.sprites[1].position.x, 11.0f);
    EXPECT_EQ(graphics.sprites[1].colour, 0xFF336699u);
    EXPECT_EQ(graphics.sprites[0].source.right, c.width);
    EXPECT_EQ(fonts.Fonts().back().faceName, c.gameFace);
    EXPECT_EQ(fonts.Fonts().back().requestedSize, c.size);
}

INSTANTIATE_TEST_SUITE_P(Faces, KVSVInterfaceFaces,
                         ::testing::Values(FaceCase{L"KelmorSoft", L"MainUI", 14, 3},
                                           FaceCase{L"KelmorSoft_logo", L"MainUI40", 0, 5},
                                           FaceCase{L"나눔고딕", L"MainUIFix", 14, 4},
                                           FaceCase{L"나눔고딕 ExtraBold", L"MainUI", 9, 3},
                                           FaceCase{L"Some Other Face", L"MainUI", 14, 3}));

TEST_F(KVSVInterfaceTest, DrawsTheDefaultFaceWithTheDefaultFreeTypeFont)
{
    // No FreeType font exists here: the default face draws and measures nothing.
    kv::KVTextStyle style;
    style.faceName = L"켈모르_시사체";
    iface.DrawText(style, 0, 0, L"A");
    EXPECT_TRUE(graphics.sprites.empty());
    EXPECT_EQ(iface.MeasureText(style.faceName, L"A").width, 0);
    EXPECT_TRUE(fonts.Fonts().empty());
}

TEST_F(KVSVInterfaceTest, NamesTheDataFolderAndTheScreen)
{
    EXPECT_EQ(iface.GetDataPath(false), L"data/");
    EXPECT_EQ(iface.GetDataPath(true), L"");
    EXPECT_EQ(iface.GetScreenSize().width, 1024);
    EXPECT_EQ(iface.GetScreenSize().height, 768);
}

// A sound server with one sound of its own that notes, as it plays, whether the server's list
// is locked against the other threads.
class LockProbeServer : public DXSoundServer {
public:
    class ProbeSound : public Sound {
    public:
        explicit ProbeSound(LockProbeServer& server) : Sound(0), m_server(server) {}
        bool Load(const wchar_t*, int) override { return true; }
        bool Release() override { return true; }
        void ApplyParams() override {}
        bool Play(bool) override
        {
            ++plays;
            lockedWhilePlaying = m_server.ListLockedElsewhere();
            return true;
        }
        bool Stop() override { return true; }
        bool Reset() override { return true; }
        bool IsPlaying() override { return false; }
        void Mute() override {}
        void ApplyVolume() override {}

        int plays = 0;
        bool lockedWhilePlaying = false;

    private:
        LockProbeServer& m_server;
    };

    ~LockProbeServer() override { m_sounds.clear(); } // the probe is not the server's to delete

    int LoadSound(const wchar_t* name, int, bool) override
    {
        if (std::wstring(name) != L"click.wav")
            return -1;
        if (m_sounds.empty())
            m_sounds.push_back(&probe);
        return 0;
    }

    bool ListLockedElsewhere()
    {
        return std::async(std::launch::async, [this] {
                   if (!m_listLock.try_lock())
                       return true;
                   m_listLock.unlock();
                   return false;
               }).get();
    }

    ProbeSound probe{*this};
};

TEST_F(KVSVInterfaceTest, PlaysTheSoundUnderTheServersLockAndLogsAMissingOne)
{
    LockProbeServer server;
    testsupport::LogCapture log;
    iface.PlaySound(L"click.wav");
    EXPECT_EQ(server.probe.plays, 1);
    EXPECT_TRUE(server.probe.lockedWhilePlaying) << "a sound-set switch could free the sound while it starts";
    iface.PlaySound(L"0");
    iface.PlaySound(L"");
    EXPECT_EQ(server.probe.plays, 1);
    EXPECT_FALSE(log.Contains(L"UI 사운드 파일이 없습니다"));
    iface.PlaySound(L"gone.wav");
    EXPECT_TRUE(log.Contains(L"gone.wav UI 사운드 파일이 없습니다."));
}

} // namespace
