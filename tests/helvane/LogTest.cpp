#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <cctype>
#include <string_view>
#include <thread>

namespace {

using testsupport::LogCapture;
using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

// True for "[MM/DD/YY_HH:MM:SS] : ", the 22-character stamp of an entry.
bool IsStamp(std::string_view text)
{
    const std::string_view shape = "[00/00/00_00:00:00] : ";
    if (text.size() != shape.size())
        return false;
    for (size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == '0' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
            return false;
    return true;
}

// The texts of a log file's entries: each a stamped line followed by an empty line.
std::vector<std::string> EntriesOf(const std::string& file)
{
    std::vector<std::string> entries;
    for (size_t start = 0; start < file.size();) {
        size_t end = file.find("\n\n", start);
        if (end == std::string::npos || end - start < 22 || !IsStamp(std::string_view(file).substr(start, 22))) {
            ADD_FAILURE() << "not a whole entry at byte " << start;
            break;
        }
        entries.push_back(file.substr(start + 22, end - start - 22));
        start = end + 2;
    }
    return entries;
}

TEST(LogTest, DefaultLogEmptiesItsFileAndStartsWithLoggingStarted)
{
    TempDir dir;
    dir.Write("Log_VODozivo.txt", "entries of the last run\n");
    ScopedCurrentDir cwd(dir.Path());
    delete KdLog::GetSingletonPtr();

    DFLog(L"Start window");
    KdLog* log = KdLog::GetSingletonPtr();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->GetFlags(), KdLog::kToFile);
    EXPECT_STREQ(log->GetFileName(), L"Log_VODozivo.txt");
    EXPECT_EQ(EntriesOf(dir.Read("Log_VODozivo.txt")), (std::vector<std::string>{"Logging Started...", "Start window"}));
    delete log;
}

struct EntryCase {
    const char* what;
    std::function<void()> log;
    std::string expected;
};

TEST(LogTest, FormatsTextAndLevelPrefixes)
{
    const EntryCase cases[] = {
        {"percent in an argument", [] { DFLog(L"%s", L"100%"); }, "100%"},
        {"info", [] { DFLog(LOG_INFO, L"ready"); }, "[INFO] ready"},
        {"warning", [] { DFLog(LOG_WARN, L"slow %d ms", 40); }, "[WARN] slow 40 ms"},
        {"error keeps its blank", [] { DFLog(LOG_ERROR, L"lost"); }, "[ERR ] lost"},
        {"empty text", [] { DFLog(L""); }, ""},
        {"Korean argument", [] { DFLog(L"이름 = %s", L"김철수"); }, "이름 = 김철수"},
        {"narrow argument", [] { DFLog(L"file %S", "Null.tga"); }, "file Null.tga"},
        {"narrow Korean argument", [] { DFLog(L"name %S", "김철수"); }, "name 김철수"},
    };
    TempDir dir;
    for (const EntryCase& c : cases) {
        LogCapture capture(dir.Path() / "log.txt");
        c.log();
        auto entries = EntriesOf(capture.Text());
        ASSERT_EQ(entries.size(), 2u) << c.what;
        EXPECT_EQ(entries[1], c.expected) << c.what;
    }
}

TEST(LogTest, CutsLongTextAtTheLineBuffers)
{
    TempDir dir;
    LogCapture capture(dir.Path() / "log.txt");
    std::wstring korean(3000, L'가');
    DFLog(L"%s", korean.c_str());
    DFLog(LOG_WARN, L"%s", std::wstring(3000, L'w').c_str());
    capture.Log().Log(std::wstring(5000, L'x').c_str());

    auto entries = EntriesOf(capture.Text());
    ASSERT_EQ(entries.size(), 4u);
    // A stamped line holds 511 characters with its line feed: 488 after the 22-character stamp.
    EXPECT_EQ(platform::Widen(entries[1]), std::wstring(488, L'가'));
    EXPECT_EQ(entries[2], "[WARN] " + std::string(481, 'w'));
    EXPECT_EQ(entries[3], std::string(488, 'x'));
}

TEST(LogTest, EntriesFromTwoThreadsStayWhole)
{
    TempDir dir;
    LogCapture capture(dir.Path() / "log.txt");
    // Each entry its own text, so none is a repeat that the log would count instead.
    auto writer = [](wchar_t letter) {
        std::wstring text(396, letter);
        for (int i = 0; i < 200; ++i)
            DFLog(L"%s%04d", text.c_str(), i);
    };
    std::thread a(writer, L'a'), b(writer, L'b');
    a.join();
    b.join();

    auto entries = EntriesOf(capture.Text());
    ASSERT_EQ(entries.size(), 401u);
    int as = 0, bs = 0;
    for (size_t i = 1; i < entries.size(); ++i) {
        as += entries[i].size() == 400 && entries[i].rfind(std::string(396, 'a'), 0) == 0;
        bs += entries[i].size() == 400 && entries[i].rfind(std::string(396, 'b'), 0) == 0;
    }
    EXPECT_EQ(as, 200);
    EXPECT_EQ(bs, 200);
}

TEST(LogTest, AFloodOfOneEntryIsWrittenOnceWithItsCount)
{
    TempDir dir;
    auto capture = std::make_unique<LogCapture>(dir.Path() / "log.txt");
    // Two events that repeat in turn, as a flood of one request and its answer does.
    for (int i = 0; i < 5000; ++i) {
        DFLog(L"############Send ServerInfo");
        DFLog(L"Server : BSendDataToClientOnSocket( ) Called");
    }
    DFLog(L"the flood ended");
    capture.reset();  // the counts still open are written when the log ends
    auto entries = EntriesOf(dir.Read("log.txt"));
    ASSERT_GE(entries.size(), 6u);
    EXPECT_EQ(entries[1], "############Send ServerInfo");
    EXPECT_EQ(entries[2], "Server : BSendDataToClientOnSocket( ) Called");
    // The loop takes well under the window's second or a few seconds on a loaded machine; either
    // way every repeat is counted and the file stays a few entries long.
    EXPECT_LE(entries.size(), 40u);
    // Each entry of the two stands for itself, or with its count for that many.
    uint64_t counted = 0;
    for (const std::string& entry : entries) {
        unsigned long long n = 0;
        const size_t at = entry.rfind(" (repeated ");
        if (at != std::string::npos && std::sscanf(entry.c_str() + at, " (repeated %llu more times)", &n) == 1)
            counted += n;
        else if (entry == "############Send ServerInfo" || entry == "Server : BSendDataToClientOnSocket( ) Called")
            ++counted;
    }
    EXPECT_EQ(counted, 10000u);
    EXPECT_NE(std::find(entries.begin(), entries.end(), "the flood ended"), entries.end());
}

TEST(LogTest, AFileThatCannotBeOpenedLosesOnlyItsEntries)
{
    TempDir dir;
    LogCapture capture(dir.Path() / "missing" / "log.txt");
    EXPECT_EQ(DFLog(L"nowhere to go"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "missing"));
}

// A run folder where the log cannot be written (read-only; here a file stands where the folder
// should be, which holds even for a privileged user): the console is told once that nothing can
// be saved, and logging goes on without failing.
TEST(LogTest, AnUnwritableRunFolderIsReportedOnceOnTheConsole)
{
    TempDir dir;
    dir.Write("run", "a file, not a folder");
    testing::internal::CaptureStderr();
    {
        LogCapture capture(dir.Path() / "run" / "Log_VODozivo.txt");
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(DFLog(L"entry %d", i), 1);
    }
    std::string console = testing::internal::GetCapturedStderr();
    const std::string message = "nothing can be saved";
    size_t first = console.find(message);
    ASSERT_NE(first, std::string::npos) << console;
    EXPECT_EQ(console.find(message, first + 1), std::string::npos) << console;
    EXPECT_NE(console.find("Log_VODozivo.txt"), std::string::npos);
}

} // namespace
