// The platform interface's base file operations, which every file read of the framework uses.
#include "kv/KVInterface.h"
#include "kv/KVString.h"

#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/kv/FakeInterface.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(KVInterfaceTest, BaseFilesSeekTellAndReadWholeBlocksOnly)
{
    testsupport::TempDir dir;
    dir.Write("Data/Layout.xml", "0123456789");
    testsupport::FakeInterface iface; // no file in memory: the base operations read the disk
    kv::KVFileHandle file = iface.OpenFile(kv::NarrowToWide((dir.Str() + "/data/layout.XML").c_str()));
    ASSERT_NE(file, nullptr) << "paths are resolved without regard to case";
    EXPECT_EQ(iface.Seek(file, 0, kv::KVInterface::kSeekEnd), 0);
    EXPECT_EQ(iface.Tell(file), 10);
    EXPECT_EQ(iface.Seek(file, 4, kv::KVInterface::kSeekStart), 0);
    char buffer[16] = {};
    EXPECT_EQ(iface.Read(file, buffer, 8), 0) << "a block larger than what remains";
    EXPECT_EQ(iface.Seek(file, 4, kv::KVInterface::kSeekStart), 0);
    EXPECT_EQ(iface.Read(file, buffer, 6), 6);
    EXPECT_STREQ(buffer, "456789");
    iface.CloseFile(file);
    EXPECT_EQ(iface.OpenFile(L"/no/such/file"), nullptr);

    kv::KVInterface& base = iface;
    EXPECT_EQ(base.KVInterface::GetScreenSize().width, 0);
    EXPECT_EQ(base.KVInterface::Translate(L"글"), L"글");
    EXPECT_EQ(base.KVInterface::GetDataPath(false), L"");
}

// A layout or animation file larger than any such file may be (here a sparse file of 3 GB,
// whose size does not even fit the position type) is refused with a log line, not read.
TEST(KVInterfaceTest, WholeFileReadsRefuseHugeFiles)
{
    testsupport::TempDir dir;
    testsupport::LogCapture log;
    testsupport::FakeInterface iface;
    for (uintmax_t size : {uintmax_t{16} * 1024 * 1024 + 1, uintmax_t{3} * 1024 * 1024 * 1024}) {
        dir.Write("huge.xml", "<kevrin/>");
        std::filesystem::resize_file(dir.Path() / "huge.xml", size);
        std::string bytes;
        EXPECT_EQ(kv::ReadWholeFile(iface, kv::NarrowToWide((dir.Str() + "/huge.xml").c_str()), bytes),
                  kv::KVReadResult::kTooLarge)
            << size;
        EXPECT_TRUE(bytes.empty());
    }
    EXPECT_TRUE(log.Contains(L"huge.xml is larger than a layout or animation file may be"));
}

} // namespace
