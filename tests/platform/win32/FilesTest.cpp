#include <win32/Files.h>
#include <win32/Time.h>

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

TEST(FilesTest, ResolvesEveryComponentWithoutRegardToCase)
{
    TempDir dir;
    dir.Write("data/PlayData/Option.xml", "x");
    ScopedCurrentDir cwd(dir.Path());

    EXPECT_EQ(platform::ResolvePath("Data\\PLAYDATA\\option.XML"), "data/PlayData/Option.xml");
    EXPECT_EQ(platform::ResolvePath(dir.Str() + "/DATA/playdata/OPTION.xml"), dir.Str() + "/data/PlayData/Option.xml");
    // A new file goes into the existing folder, keeping its own spelling.
    EXPECT_EQ(platform::ResolvePath("Data/PlayData/New.xml"), "data/PlayData/New.xml");
    EXPECT_EQ(platform::ResolvePath("Missing/Sub/File"), "Missing/Sub/File");
    EXPECT_EQ(platform::ResolvePath(""), "");
}

TEST(FilesTest, TwoSpellingsOnDiskResolveToTheSmallestNameEveryTime)
{
    TempDir dir;
    dir.Write("a/FILE.txt", "upper");
    dir.Write("a/file.TXT", "lower");
    ScopedCurrentDir cwd(dir.Path());
    EXPECT_EQ(platform::ResolvePath("A/File.Txt"), "a/FILE.txt");
}

// Folders that have not changed for a while keep their listing for lookups whose case differs
// from the disk's; a name made, removed or renamed since is still found as it is now.
TEST(FilesTest, ASettledFoldersNamesAreFoundAsTheyAreAfterItChanges)
{
    TempDir dir;
    dir.Write("old/First.txt", "1");
    ScopedCurrentDir cwd(dir.Path());
    std::this_thread::sleep_for(std::chrono::milliseconds(2100)); // the folder settles
    EXPECT_EQ(platform::ResolvePath("OLD/first.TXT"), "old/First.txt");
    EXPECT_EQ(platform::ResolvePath("OLD/first.TXT"), "old/First.txt") << "again, from the kept listing";

    dir.Write("old/Second.txt", "2");
    EXPECT_EQ(platform::ResolvePath("old/SECOND.txt"), "old/Second.txt");
    std::filesystem::rename(dir.Path() / "old/First.txt", dir.Path() / "old/FIRST.TXT");
    EXPECT_EQ(platform::ResolvePath("old/first.txt"), "old/FIRST.TXT");
    std::this_thread::sleep_for(std::chrono::milliseconds(2100)); // settled again, listed anew
    EXPECT_EQ(platform::ResolvePath("old/first.txt"), "old/FIRST.TXT");
    std::filesystem::remove(dir.Path() / "old/Second.txt");
    EXPECT_EQ(platform::ResolvePath("old/SECOND.txt"), "old/SECOND.txt") << "gone: kept as written";
}

TEST(FilesTest, FindListsSortedWithHiddenAndFolderAttributes)
{
    TempDir dir;
    dir.Write("f/b.xml", "");
    dir.Write("f/a.XML", "");
    dir.Write("f/.hidden.xml", "");
    dir.Write("f/c.tga", "");
    dir.Write("f/Sub/x", "");
    ScopedCurrentDir cwd(dir.Path());

    WIN32_FIND_DATAA data;
    std::vector<std::string> names;
    std::vector<DWORD> attributes;
    HANDLE find = FindFirstFileA("F\\*.xml", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        names.push_back(data.cFileName);
        attributes.push_back(data.dwFileAttributes);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    EXPECT_EQ(names, (std::vector<std::string>{".hidden.xml", "a.XML", "b.xml"}));
    EXPECT_TRUE(attributes[0] & FILE_ATTRIBUTE_HIDDEN);

    WIN32_FIND_DATAW wide;
    find = FindFirstFileW(L"f/*.*", &wide);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int folders = 0, count = 0;
    do {
        ++count;
        folders += (wide.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
    } while (FindNextFileW(find, &wide));
    FindClose(find);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(folders, 1);

    EXPECT_EQ(FindFirstFileA("nowhere/*.*", &data), INVALID_HANDLE_VALUE);
}

TEST(FilesTest, AtomicSaveReplacesWholeAndLeavesNoTemporaryFile)
{
    TempDir dir;
    dir.Write("Data/save.bin", "old contents");
    ScopedCurrentDir cwd(dir.Path());
    ASSERT_TRUE(platform::SaveFileAtomically("data/SAVE.bin", "new"));
    std::string bytes;
    ASSERT_TRUE(platform::ReadWholeFile("DATA/save.bin", bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_EQ(platform::ListFolder("Data").size(), 1u);
    EXPECT_FALSE(platform::SaveFileAtomically("no/such/folder/x.bin", "x"));
}

// A folder or a missing file is not a file that was read, even an empty one.
TEST(FilesTest, ReadWholeFileRefusesWhatIsNotAReadableFile)
{
    TempDir dir;
    dir.Write("Data/empty.bin", "");
    ScopedCurrentDir cwd(dir.Path());
    std::string bytes = "stale";
    EXPECT_TRUE(platform::ReadWholeFile("data/EMPTY.bin", bytes));
    EXPECT_EQ(bytes, "");
    for (const char* path : {"Data", "data/missing.bin", ""}) {
        bytes = "stale";
        EXPECT_FALSE(platform::ReadWholeFile(path, bytes)) << path;
    }
}

TEST(TimeTest, ManualClockMovesOnlyWhenAdvanced)
{
    platform::UseManualClock(true);
    LARGE_INTEGER frequency, a, b;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    QueryPerformanceCounter(&a);
    DWORD ticks = timeGetTime();
    platform::AdvanceManualClock(250'000'000);
    QueryPerformanceCounter(&b);
    EXPECT_EQ(b.QuadPart - a.QuadPart, frequency.QuadPart / 4);
    EXPECT_EQ(timeGetTime() - ticks, 250u);
    platform::UseManualClock(false);
}

} // namespace
