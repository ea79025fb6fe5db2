#include <helvane/FindFile.h>
#include <helvane/ResourceFileManager.h>
#include <win32/Files.h>

#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <thread>

namespace {

using testsupport::LogCapture;
using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

const std::string kLongName(63, 'n');

// A small data folder: names in mixed case, one name in two folders, hidden entries, files of
// no category and a name too long to index.
void WriteDataTree(const TempDir& dir)
{
    for (const char* file : {"data/a/X.tga", "data/X.tga", "data/UI/Null.tga", "data/UI/Foo.xml",
                             "data/sounds/Bang.Wav", "data/Sub/deep/Deep.Ogg", "data/notes.txt", "data/.hidden.png",
                             "data/.cache/Secret.tga", "data/UI/한글.png", "data/readme"})
        dir.Write(file, "x");
    dir.Write("data/" + kLongName + ".tga", "x");
    dir.Write("data/" + kLongName + "n.tga", "x");
}

struct LookupCase {
    std::wstring name;
    int category;
    const wchar_t* expected; // null: not found
};

void PrintTo(const LookupCase& c, std::ostream* out) { *out << platform::Narrow(c.name) << " in " << c.category; }

class ResourceLookupTest : public ::testing::TestWithParam<LookupCase> {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        WriteDataTree(*s_dir);
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static TempDir* s_dir;
};
TempDir* ResourceLookupTest::s_dir = nullptr;

TEST_P(ResourceLookupTest, FindsByUpperCasedNameAndCategory)
{
    const LookupCase& c = GetParam();
    ScopedCurrentDir cwd(s_dir->Path());
    CResourceFileManager index;
    const wchar_t* path = index.GetFullPathNameW(c.name, c.category);
    if (!c.expected) {
        EXPECT_EQ(path, nullptr) << platform::Narrow(path ? path : L"");
        return;
    }
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path, c.expected);
    // The stored form opens through the platform's resolver.
    FILE* file = _wfopen(path, L"rb");
    EXPECT_NE(file, nullptr);
    if (file)
        std::fclose(file);
}

const std::wstring kLongKey = std::wstring(63, L'N') + L".TGA";

INSTANTIATE_TEST_SUITE_P(
    Names, ResourceLookupTest,
    ::testing::Values(LookupCase{L"null.tga", kResourceTexture, L"data\\UI\\NULL.TGA"},
                      LookupCase{L"NULL.TGA", kResourceTexture, L"data\\UI\\NULL.TGA"},
                      LookupCase{L"Null.TGA", kResourceAnyCategory, L"data\\UI\\NULL.TGA"},
                      LookupCase{L"data\\Null.tga", kResourceTexture, nullptr},
                      LookupCase{L"Foo.xml", kResourceTexture, nullptr},
                      LookupCase{L"foo.XML", kResourceData, L"data\\UI\\FOO.XML"},
                      LookupCase{L"Foo.xml", kResourceAnyCategory, L"data\\UI\\FOO.XML"},
                      LookupCase{L"bang.wav", kResourceSound, L"data\\sounds\\BANG.WAV"},
                      LookupCase{L"DEEP.ogg", kResourceSound, L"data\\Sub\\deep\\DEEP.OGG"},
                      LookupCase{L"한글.PNG", kResourceTexture, L"data\\UI\\한글.PNG"},
                      // The folder "a" lists before the file "X.tga", whatever their case.
                      LookupCase{L"x.tga", kResourceTexture, L"data\\a\\X.TGA"},
                      LookupCase{L".hidden.png", kResourceTexture, L"data\\.HIDDEN.PNG"},
                      LookupCase{L"secret.tga", kResourceAnyCategory, nullptr},
                      LookupCase{L"notes.txt", kResourceAnyCategory, nullptr},
                      LookupCase{L"readme", kResourceAnyCategory, nullptr},
                      LookupCase{L"", kResourceAnyCategory, nullptr},
                      LookupCase{L"null.tga", 11, nullptr},
                      LookupCase{L"null.tga", -1, nullptr},
                      LookupCase{std::wstring(64, L'n') + L".tga", kResourceTexture, nullptr}));

// The name of 63 characters is indexed; the one of 64 is skipped with a log line.
TEST(ResourceFileManagerTest, SkipsAndLogsNamesTooLongToIndex)
{
    TempDir dir;
    WriteDataTree(dir);
    LogCapture log(dir.Path() / "log.txt");
    ScopedCurrentDir cwd(dir.Path());
    CResourceFileManager index;
    EXPECT_STREQ(index.GetFullPathNameW(platform::Widen(kLongName) + L".tga", kResourceTexture),
                 (L"data\\" + kLongKey).c_str());
    EXPECT_NE(log.Text().find("too long to index"), std::string::npos);
}

TEST(ResourceFileManagerTest, MissingDataFolderIsLoggedAndFindsNothing)
{
    TempDir dir;
    LogCapture log(dir.Path() / "log.txt");
    ScopedCurrentDir cwd(dir.Path());
    CResourceFileManager index;
    EXPECT_EQ(index.GetFullPathNameW(L"null.tga", kResourceAnyCategory), nullptr);
    EXPECT_NE(log.Text().find("[WARN] CResourceFileManager: there is no data folder"), std::string::npos);
}

TEST(ResourceFileManagerTest, ScansOnceEvenWhenTwoThreadsAskFirst)
{
    TempDir dir;
    WriteDataTree(dir);
    ScopedCurrentDir cwd(dir.Path());
    for (int round = 0; round < 20; ++round) {
        CResourceFileManager index;
        const wchar_t* seen[2] = {};
        std::thread a([&] { seen[0] = index.GetFullPathNameW(L"null.tga", kResourceTexture); });
        std::thread b([&] { seen[1] = index.GetFullPathNameW(L"null.tga", kResourceAnyCategory); });
        a.join();
        b.join();
        ASSERT_NE(seen[0], nullptr);
        EXPECT_EQ(seen[0], seen[1]);
        EXPECT_EQ(index.GetFileHashMap(kResourceTexture).size(), 5u);
    }
}

TEST(ResourceFileManagerTest, CloseForgetsUntilCollectScansAgain)
{
    TempDir dir;
    WriteDataTree(dir);
    dir.Write("other/Only.xml", "x");
    ScopedCurrentDir cwd(dir.Path());
    CResourceFileManager index;
    ASSERT_NE(index.GetFullPathNameW(L"foo.xml", kResourceData), nullptr);

    index.Close();
    EXPECT_EQ(index.GetFullPathNameW(L"foo.xml", kResourceData), nullptr);

    index.CollectFileNameList(L"\\other\\");
    EXPECT_STREQ(index.GetFullPathNameW(L"only.xml", kResourceData), L"other\\ONLY.XML");
    EXPECT_EQ(index.GetFullPathNameW(L"foo.xml", kResourceData), nullptr);
    EXPECT_TRUE(index.GetFileHashMap(42).empty());
}

TEST(FindFileTest, ListsFilesOfOneFolderAndItsSubFolders)
{
    TempDir dir;
    for (const char* file : {"top/b.tga", "top/A.xml", "top/.hidden", "top/Zed/x", "top/art/y", "top/.git/z"})
        dir.Write(file, "x");
    std::wstring top = platform::Widen(dir.Str()) + L"/top/";

    EXPECT_EQ(CFindFile::GetInstance().FindFileCurFolder(top.c_str()),
              (std::vector<std::wstring>{top + L".HIDDEN", top + L"A.XML", top + L"B.TGA"}));
    EXPECT_EQ(CFindFile::GetInstance().FindFolder(top.c_str()), (std::vector<std::wstring>{L"art", L"Zed"}));
    EXPECT_EQ(CFindFile::GetInstance().FindFile(top),
              (std::vector<std::wstring>{top + L".GIT", top + L".HIDDEN", top + L"A.XML", top + L"art\\Y",
                                         top + L"B.TGA", top + L"Zed\\X"}));
    EXPECT_TRUE(CFindFile::GetInstance().FindFile(top + L"missing\\").empty());
}

} // namespace
