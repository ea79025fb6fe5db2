// The platform interface's base file operations, which every file read of the framework uses.
#include "kv/KVInterface.h"
#include "kv/KVString.h"

#include "support/TempDir.h"
#include "support/kv/FakeInterface.h"

#include <gtest/gtest.h>

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

} // namespace
