// The file layer never blocks on, or reads, something that is not a regular file (a FIFO, a
// device, a folder), and refuses a whole-file read above the limit of the file's kind without
// reading it into memory.
#include <win32/Files.h>

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

std::vector<std::string> g_refusals;
void RecordRefusal(const char* message) { g_refusals.emplace_back(message); }

class FileSafetyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_refusals.clear();
        platform::SetFileRefusalSink(&RecordRefusal);
    }
    void TearDown() override { platform::SetFileRefusalSink(nullptr); }

    // Runs the call with a deadline. A call that blocks on the FIFO is released by opening the
    // FIFO's other end, so a failing test ends instead of hanging.
    bool FinishesPromptly(const std::function<bool()>& call)
    {
        auto result = std::async(std::launch::async, call);
        if (result.wait_for(std::chrono::seconds(3)) == std::future_status::ready)
            return !result.get();
        for (int flags : {O_WRONLY | O_NONBLOCK, O_RDONLY | O_NONBLOCK}) {
            int fd = ::open((m_dir.Path() / "Data/pipe.xml").c_str(), flags);
            if (fd >= 0)
                ::close(fd);
        }
        result.wait();
        return false;
    }

    TempDir m_dir;
    ScopedCurrentDir m_cwd{m_dir.Path()};
};

TEST_F(FileSafetyTest, AFifoIsRefusedWithoutBlocking)
{
    std::filesystem::create_directories("Data");
    ASSERT_EQ(::mkfifo("Data/pipe.xml", 0600), 0);
    const std::pair<const char*, std::function<bool()>> calls[] = {
        {"open for reading", [] {
             FILE* file = platform::OpenFile("data/PIPE.xml", "rb");
             if (file)
                 std::fclose(file);
             return file != nullptr;
         }},
        {"open for writing", [] {
             FILE* file = platform::OpenFile("Data/pipe.xml", "wb");
             if (file)
                 std::fclose(file);
             return file != nullptr;
         }},
        {"whole-file read", [] {
             std::string bytes;
             return platform::ReadWholeFile("Data/pipe.xml", bytes);
         }},
    };
    for (const auto& [name, call] : calls)
        EXPECT_TRUE(FinishesPromptly(call)) << name;
    EXPECT_FALSE(g_refusals.empty());
}

TEST_F(FileSafetyTest, DevicesAndFoldersAreNotOpened)
{
    std::filesystem::create_directories("Data/Folder");
    for (const char* path : {"/dev/zero", "/dev/null", "Data/Folder"}) {
        EXPECT_EQ(platform::OpenFile(path, "rb"), nullptr) << path;
        EXPECT_EQ(platform::OpenFile(path, "wb"), nullptr) << path;
        std::string bytes;
        EXPECT_FALSE(platform::ReadWholeFile(path, bytes)) << path;
    }
    // Regular files still open for both.
    FILE* file = platform::OpenFile("Data/new.bin", "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    file = platform::OpenFile("data/NEW.bin", "rb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
}

TEST_F(FileSafetyTest, WholeFileReadsHoldTheLimitOfTheirKind)
{
    // A sparse file: huge in size, nothing on disk.
    std::filesystem::create_directories("Data");
    {
        FILE* file = std::fopen("Data/huge.xml", "wb");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    std::filesystem::resize_file("Data/huge.xml", platform::kMaxWholeFileBytes + 1);
    std::string bytes = "stale";
    EXPECT_FALSE(platform::ReadWholeFile("Data/huge.xml", bytes));
    EXPECT_EQ(bytes, "stale");
    ASSERT_EQ(g_refusals.size(), 1u);
    EXPECT_NE(g_refusals[0].find("huge.xml"), std::string::npos);

    std::filesystem::resize_file("Data/huge.xml", platform::kMaxXmlFileBytes + 1);
    EXPECT_FALSE(platform::ReadWholeFile("Data/huge.xml", bytes, platform::kMaxXmlFileBytes));
    EXPECT_TRUE(platform::ReadWholeFile("Data/huge.xml", bytes));
    EXPECT_EQ(bytes.size(), platform::kMaxXmlFileBytes + 1);

    m_dir.Write("Data/small.bin", "12345");
    EXPECT_TRUE(platform::ReadWholeFile("Data/small.bin", bytes, 5));
    EXPECT_FALSE(platform::ReadWholeFile("Data/small.bin", bytes, 4));
}

} // namespace

namespace {

// Unreadable is not missing: callers keep what they had for the one, use defaults for the other.
TEST_F(FileSafetyTest, ReadsTellAMissingFileFromOneThatCannotBeRead)
{
    using platform::ReadOutcome;
    m_dir.Write("Data/good.xml", "<a/>");
    m_dir.Write("Data/faulty.xml", "<a/>");
    m_dir.Write("Data/big.xml", "<abcdef/>");
    std::filesystem::create_directories("Data/folder.xml");
    ASSERT_EQ(::mkfifo("Data/pipe.xml", 0600), 0);
    ::setenv("QUIBLY_FAULT_UNREADABLE", "other.bin,FAULTY.xml", 1);
    struct Case {
        const char* path;
        size_t limit;
        ReadOutcome expected;
    };
    const Case cases[] = {
        {"Data/absent.xml", 64, ReadOutcome::Missing},
        {"Absent/absent.xml", 64, ReadOutcome::Missing},
        {"Data/folder.xml", 64, ReadOutcome::Unreadable},
        {"Data/pipe.xml", 64, ReadOutcome::Unreadable},
        {"Data/faulty.xml", 64, ReadOutcome::Unreadable},
        {"Data/big.xml", 4, ReadOutcome::Unreadable},
        {"data/GOOD.xml", 64, ReadOutcome::Read},
    };
    for (const Case& c : cases) {
        std::string bytes = "stale";
        EXPECT_EQ(platform::TryReadWholeFile(c.path, bytes, c.limit), c.expected) << c.path;
        EXPECT_EQ(bytes, c.expected == ReadOutcome::Read ? "<a/>" : "stale") << c.path;
    }
    // The injected fault holds for every open for reading, and for no write.
    EXPECT_EQ(platform::OpenFile("Data/faulty.xml", "rb"), nullptr);
    FILE* file = platform::OpenFile("Data/faulty.xml", "ab");
    EXPECT_NE(file, nullptr);
    if (file)
        std::fclose(file);
    ::unsetenv("QUIBLY_FAULT_UNREADABLE");
    std::string bytes;
    EXPECT_EQ(platform::TryReadWholeFile("Data/faulty.xml", bytes), ReadOutcome::Read);
    // Each refusal is logged once however often the file is tried.
    const size_t said = g_refusals.size();
    EXPECT_EQ(platform::TryReadWholeFile("Data/pipe.xml", bytes), ReadOutcome::Unreadable);
    EXPECT_EQ(g_refusals.size(), said);
}

TEST_F(FileSafetyTest, OpensForReadingHoldTheLimitOfTheirKind)
{
    std::filesystem::create_directories("Data");
    { FILE* file = std::fopen("Data/movie.avi", "wb"); ASSERT_NE(file, nullptr); std::fclose(file); }
    std::filesystem::resize_file("Data/movie.avi", platform::kMaxWholeFileBytes + 1);
    EXPECT_EQ(platform::OpenFile("Data/movie.avi", "rb"), nullptr);
    FILE* file = platform::OpenFile("Data/movie.avi", "rb", platform::kMaxStreamedFileBytes);
    ASSERT_NE(file, nullptr);
    std::fclose(file);
}

TEST_F(FileSafetyTest, WritesTruncateAndAppendAsStdioDoes)
{
    m_dir.Write("Data/save.bin", "12345");
    auto write = [](const char* mode, const char* text) {
        FILE* file = platform::OpenFile("data/SAVE.bin", mode);
        ASSERT_NE(file, nullptr) << mode;
        std::fputs(text, file);
        std::fclose(file);
    };
    write("ab", "6");
    EXPECT_EQ(m_dir.Read("Data/save.bin"), "123456");
    write("wb", "ab");
    EXPECT_EQ(m_dir.Read("Data/save.bin"), "ab");
    write("r+b", "X");
    EXPECT_EQ(m_dir.Read("Data/save.bin"), "Xb");
    EXPECT_EQ(platform::OpenFile("Data/save.bin", "x"), nullptr);
}

} // namespace
