// The play-data pack: round trips, the start-up choice of source, the cloud copy, refusal of
// damaged or hostile packs, and packs exchanged with an independent zlib (Python's).
#include "data/PlayDataPack.h"
#include "steam/SteamApi.h"
#include "steam/SteamTesting.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Remote storage kept in memory, with a switch for reads that come back short.
class FakeRemoteStorage : public ISteamRemoteStorage {
public:
    bool FileWrite(const char* name, const void* data, int32_t bytes) override
    {
        if (refuseWrites)
            return false;
        files[name].assign(static_cast<const char*>(data), bytes);
        times[name] = clock;
        ++writes;
        return true;
    }
    int64_t GetFileTimestamp(const char* name) override
    {
        auto it = times.find(name);
        return it == times.end() ? 0 : it->second;
    }
    int32_t FileRead(const char* name, void* data, int32_t bytes) override
    {
        auto it = files.find(name);
        if (it == files.end())
            return 0;
        int32_t n = std::min<int32_t>(bytes, static_cast<int32_t>(it->second.size()));
        n = std::min(n, readLimit);
        if (shortReads > 0) {
            --shortReads;
            n = std::min<int32_t>(n, 3);
        }
        std::memcpy(data, it->second.data(), n);
        return n;
    }
    bool FileExists(const char* name) override { return files.count(name) != 0; }
    int32_t GetFileSize(const char* name) override
    {
        auto it = files.find(name);
        return it == files.end() ? 0 : static_cast<int32_t>(it->second.size());
    }
    std::map<std::string, std::string> files;
    std::map<std::string, int64_t> times; // seconds; a file without one has an unknown time
    int64_t clock = 0;                    // the time stamp of the next write
    int writes = 0;
    int32_t readLimit = INT32_MAX;
    int shortReads = 0; // the next reads that come back short
    bool refuseWrites = false;
};

// Sets a file's modification time relative to now.
void SetAge(const fs::path& path, std::chrono::seconds age)
{
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

int64_t NowSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string ContentOf(size_t index, const std::string& tag)
{
    std::string bytes = tag + ":" + ConfigPak::kPlayDataFiles[index] + "\n";
    if (index == 2) // a binary file with NULs and every byte value
        for (int b = 0; b < 256; ++b)
            bytes.push_back(static_cast<char>(b));
    return bytes;
}

std::vector<std::pair<size_t, std::string>> Profile(const std::string& tag, size_t skip = SIZE_MAX)
{
    std::vector<std::pair<size_t, std::string>> files;
    for (size_t i = 0; i < ConfigPak::kPlayDataFiles.size(); ++i)
        if (i != skip)
            files.emplace_back(i, ContentOf(i, tag));
    return files;
}

std::string PackOf(const std::vector<std::pair<size_t, std::string>>& files)
{
    return ConfigPak::EncodePack(ConfigPak::EncodeRecords(files));
}

// A raw record with any path and any declared length, for damaged packs.
std::string RawRecord(std::string_view path, uint32_t length, std::string_view bytes)
{
    std::string field(256, '\0');
    field.replace(0, std::min<size_t>(path.size(), 256), path.substr(0, 256));
    for (int shift = 0; shift < 32; shift += 8)
        field.push_back(static_cast<char>((length >> shift) & 0xFF));
    return field + std::string(bytes);
}

std::string WithHeader(uint32_t compressed, uint32_t raw, std::string_view body)
{
    std::string out;
    for (uint32_t v : {compressed, raw})
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<char>((v >> shift) & 0xFF));
    return out + std::string(body);
}

class PlayDataPackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("QUIBLY_PROFILE_DIR", (m_dir.Path() / "profile").c_str(), 1);
        ASSERT_TRUE(SteamAPI_Init());
        platform::steam::SetRemoteStorage(&m_cloud);
        ConfigPak::ResetForNewRun();
    }
    void TearDown() override
    {
        platform::steam::UseProfileStorage();
        SteamAPI_Shutdown();
        unsetenv("QUIBLY_PROFILE_DIR");
        ConfigPak::ResetForNewRun();
    }
    void WriteLoose(const std::vector<std::pair<size_t, std::string>>& files) const
    {
        for (const auto& [index, bytes] : files)
            m_dir.Write(ConfigPak::kPlayDataFiles[index], bytes);
    }
    // Loose files older than any pack: what an earlier run left behind and packed since.
    void WriteStaleLoose(const std::vector<std::pair<size_t, std::string>>& files) const
    {
        WriteLoose(files);
        for (const auto& [index, bytes] : files)
            SetAge(m_dir.Path() / ConfigPak::kPlayDataFiles[index], std::chrono::hours(2));
    }
    // Names in the current directory that start with the prefix.
    std::vector<std::string> FilesStartingWith(const std::string& prefix) const
    {
        std::vector<std::string> names;
        for (auto& entry : fs::directory_iterator(m_dir.Path()))
            if (entry.path().filename().string().rfind(prefix, 0) == 0)
                names.push_back(entry.path().filename().string());
        return names;
    }
    std::string Loose(size_t index) const { return m_dir.Read(ConfigPak::kPlayDataFiles[index]); }
    bool LooseExists(size_t index) const { return fs::exists(m_dir.Path() / ConfigPak::kPlayDataFiles[index]); }
    void ExpectProfile(const std::string& tag) const
    {
        for (size_t i = 0; i < ConfigPak::kPlayDataFiles.size(); ++i)
            EXPECT_EQ(Loose(i), ContentOf(i, tag)) << ConfigPak::kPlayDataFiles[i];
    }
    // Every play-data file with its bytes, to show that nothing on disk changed.
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> files;
        for (auto& entry : fs::recursive_directory_iterator(m_dir.Path() / "Data"))
            if (entry.is_regular_file())
                files[entry.path().string()] = m_dir.Read(fs::relative(entry.path(), m_dir.Path()).string());
        return files;
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    FakeRemoteStorage m_cloud;
};

TEST_F(PlayDataPackTest, PackAndUnpackGiveByteIdenticalFiles)
{
    WriteLoose(Profile("mine"));
    ASSERT_EQ(ConfigPak::Pack(0), 1);
    // The loose files and the raw stream stay after Pack(0); the pack went to the cloud too.
    EXPECT_TRUE(LooseExists(0));
    EXPECT_TRUE(fs::exists("testFile.bin"));
    std::string pack = m_dir.Read("QuiblyConfig.pak");
    EXPECT_EQ(m_cloud.files["QuiblyConfig_cloud.pak"], pack);

    ConfigPak::DecodedPack decoded;
    ASSERT_TRUE(ConfigPak::DecodePack(pack, decoded));
    EXPECT_EQ(decoded.records.size(), 15u);
    EXPECT_EQ(decoded.raw, m_dir.Read("testFile.bin"));
    uint32_t compressed = 0;
    std::memcpy(&compressed, pack.data(), 4);
    EXPECT_EQ(compressed + 8u, pack.size());

    fs::remove_all("Data");
    ASSERT_EQ(ConfigPak::UnpackPack(), 1);
    ExpectProfile("mine");
    // One restore per run.
    EXPECT_EQ(ConfigPak::UnpackPack(), 0);
    EXPECT_EQ(ConfigPak::UnpackInitPack(), 0);
}

TEST_F(PlayDataPackTest, PackWithDeleteRemovesLooseFilesOnlyAfterASafeWrite)
{
    WriteLoose(Profile("mine"));
    ASSERT_EQ(ConfigPak::Pack(1), 1);
    for (size_t i = 0; i < 15; ++i)
        EXPECT_FALSE(LooseExists(i));
    EXPECT_FALSE(fs::exists("testFile.bin"));
    EXPECT_EQ(m_cloud.writes, 1);

    // A pack that cannot be written (a folder stands in its way) keeps every loose file.
    WriteLoose(Profile("again"));
    fs::remove("QuiblyConfig.pak");
    fs::create_directory("QuiblyConfig.pak");
    EXPECT_EQ(ConfigPak::Pack(1), 0);
    ExpectProfile("again");
    EXPECT_EQ(m_cloud.writes, 1);
}

TEST_F(PlayDataPackTest, NothingToPackKeepsThePreviousPack)
{
    WriteLoose(Profile("mine"));
    ASSERT_EQ(ConfigPak::Pack(1), 1);
    std::string before = m_dir.Read("QuiblyConfig.pak");
    EXPECT_EQ(ConfigPak::Pack(0), 1);
    EXPECT_EQ(m_dir.Read("QuiblyConfig.pak"), before);
    EXPECT_EQ(m_cloud.writes, 1);
}

TEST_F(PlayDataPackTest, MissingAndEmptyFilesHaveNoRecord)
{
    auto files = Profile("mine", 13);
    files[0].second.clear();
    WriteLoose(files);
    ASSERT_EQ(ConfigPak::Pack(0), 1);
    ConfigPak::DecodedPack decoded;
    ASSERT_TRUE(ConfigPak::DecodePack(m_dir.Read("QuiblyConfig.pak"), decoded));
    ASSERT_EQ(decoded.records.size(), 13u);
    EXPECT_EQ(decoded.records.front().fileIndex, 1u);
    EXPECT_EQ(decoded.records.back().fileIndex, 14u);
}

// The start-up choice: which source ends up as the loose files, and whether the cloud changed.
struct StartupCase {
    const char* name;
    bool reset;
    const char* cloud;  // tag of the cloud copy, "" for none, "corrupt" for a damaged one
    size_t cloudSkip;   // a file the cloud copy lacks
    bool localPack;
    const char* expectTag;
    const char* expectCloudTag; // what the cloud holds afterwards
};

class StartupChoiceTest : public PlayDataPackTest, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(StartupChoiceTest, RestoresFromTheRightSource)
{
    const StartupCase& c = GetParam();
    m_dir.Write("QuiblyConfig_Init.pak", PackOf(Profile("init")));
    if (c.localPack)
        m_dir.Write("QuiblyConfig.pak", PackOf(Profile("local")));
    std::string cloud = c.cloud;
    if (cloud == "corrupt")
        m_cloud.files["QuiblyConfig_cloud.pak"] = WithHeader(5, 5, "xxxxx");
    else if (!cloud.empty())
        m_cloud.files["QuiblyConfig_cloud.pak"] = PackOf(Profile(cloud, c.cloudSkip));
    WriteStaleLoose(Profile("loose"));

    ConfigPak::RestoreAtStartup(c.reset);

    for (size_t i = 0; i < 15; ++i) {
        // A file the cloud copy lacks comes from the local pack, else stays as it was.
        std::string tag = c.expectTag;
        if (i == c.cloudSkip && cloud == c.expectTag)
            tag = c.localPack ? "local" : "loose";
        EXPECT_EQ(Loose(i), ContentOf(i, tag)) << ConfigPak::kPlayDataFiles[i];
    }
    std::string expectCloud = c.expectCloudTag;
    if (expectCloud.empty()) {
        EXPECT_EQ(m_cloud.files.count("QuiblyConfig_cloud.pak"), 0u);
    } else {
        ConfigPak::DecodedPack decoded;
        ASSERT_TRUE(ConfigPak::DecodePack(m_cloud.files["QuiblyConfig_cloud.pak"], decoded));
        EXPECT_EQ(decoded.Bytes(decoded.records[0]).substr(0, expectCloud.size()), expectCloud);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, StartupChoiceTest,
    ::testing::Values(
        StartupCase{"ResetBeatsTheCloud", true, "cloud", SIZE_MAX, true, "init", "init"},
        StartupCase{"FullCloudCopy", false, "cloud", SIZE_MAX, true, "cloud", "cloud"},
        StartupCase{"CloudLackingAFileIsCompletedFromTheLocalPack", false, "cloud", 13, true, "cloud", "cloud"},
        StartupCase{"CloudLackingAFileWithoutLocalPackKeepsTheLooseFile", false, "cloud", 13, false, "cloud", "cloud"},
        StartupCase{"CorruptCloudFallsBackToLocalPack", false, "corrupt", SIZE_MAX, true, "local", "local"},
        StartupCase{"CorruptCloudWithoutLocalUsesInit", false, "corrupt", SIZE_MAX, false, "init", "init"},
        StartupCase{"NoCloudUploadsAndUsesLocal", false, "", SIZE_MAX, true, "local", "local"},
        StartupCase{"NothingAtAllKeepsLooseFiles", false, "", SIZE_MAX, false, "loose", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayDataPackTest, ShortCloudReadIsNotACloudCopyAndIsNotOverwritten)
{
    std::string cloud = PackOf(Profile("cloud"));
    m_cloud.files["QuiblyConfig_cloud.pak"] = cloud;
    m_dir.Write("QuiblyConfig.pak", PackOf(Profile("local")));
    for (int32_t limit : {0, 10}) {
        ConfigPak::ResetForNewRun();
        m_cloud.readLimit = limit;
        EXPECT_EQ(ConfigPak::ReadFromCloud(), 0);
        EXPECT_EQ(ConfigPak::OpenCloud(), 0);
        EXPECT_TRUE(ConfigPak::CloudBuffer().empty());
    }
    EXPECT_EQ(m_cloud.writes, 0);
    EXPECT_EQ(m_cloud.files["QuiblyConfig_cloud.pak"], cloud);
}

TEST_F(PlayDataPackTest, AFlakyCloudReadIsTriedAgain)
{
    m_cloud.files["QuiblyConfig_cloud.pak"] = PackOf(Profile("cloud"));
    m_cloud.shortReads = 2;
    EXPECT_EQ(ConfigPak::ReadFromCloud(), 1);
    EXPECT_EQ(ConfigPak::CloudBuffer().size(), m_cloud.files["QuiblyConfig_cloud.pak"].size());
}

TEST_F(PlayDataPackTest, WithoutRemoteStorageTheLocalPackStillWorks)
{
    platform::steam::SetRemoteStorage(nullptr);
    WriteLoose(Profile("mine"));
    EXPECT_EQ(ConfigPak::OpenCloud(), 0);
    EXPECT_EQ(ConfigPak::UploadToCloud(), 0);
    EXPECT_EQ(ConfigPak::Pack(1), 1);
    ConfigPak::RestoreAtStartup(false);
    ExpectProfile("mine");
}

struct DamagedCase {
    const char* name;
    std::string pack;
};

std::vector<DamagedCase> DamagedPacks()
{
    const std::string good = RawRecord("Data/PlayData/QuiblyConfig.xml", 3, "abc");
    auto packRaw = [](const std::string& raw) { return ConfigPak::EncodePack(raw); };
    std::string valid = packRaw(good);
    std::string longerRaw = valid;
    longerRaw[4] = static_cast<char>(longerRaw[4] + 1); // raw size one more than inflates
    return {
        {"ShortHeader", std::string("\x05\x00\x00", 3)},
        {"CompressedSizePastTheEnd", WithHeader(static_cast<uint32_t>(valid.size()), 263, valid.substr(8))},
        {"HugeRawSize", WithHeader(static_cast<uint32_t>(valid.size() - 8), 0xFFFFFFF0u, valid.substr(8))},
        {"RawSizeMismatch", longerRaw},
        {"NotZlib", WithHeader(4, 300, "junk")},
        {"LengthPastTheEnd", packRaw(RawRecord("Data/PlayData/QuiblyConfig.xml", 4000, "abc"))},
        {"ZeroLength", packRaw(RawRecord("Data/PlayData/QuiblyConfig.xml", 0, ""))},
        {"HeaderCutShort", packRaw(good + std::string(100, '\0'))},
        {"PathWithoutNul", packRaw(RawRecord(std::string(256, 'a'), 1, "x"))},
        {"AbsolutePath", packRaw(good + RawRecord("/tmp/quibly_escape.xml", 1, "x"))},
        {"ParentPath", packRaw(good + RawRecord("../QuiblyConfig.xml", 1, "x"))},
        {"ParentInsidePlayData", packRaw(good + RawRecord("Data/PlayData/../../evil.xml", 1, "x"))},
        {"UnknownFile", packRaw(good + RawRecord("Data/PlayData/Other.xml", 1, "x"))},
        {"RepeatedFile", packRaw(good + good)},
    };
}

class DamagedPackTest : public PlayDataPackTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedPackTest, IsRefusedWholeFromEverySource)
{
    const std::string& pack = GetParam().pack;
    m_dir.Write("Data/PlayData/QuiblyConfig.xml", "kept");
    auto before = Snapshot();

    ConfigPak::DecodedPack decoded;
    EXPECT_FALSE(ConfigPak::DecodePack(pack, decoded));
    EXPECT_FALSE(decoded.error.empty());
    EXPECT_EQ(ConfigPak::UnpackFromMemory(reinterpret_cast<const uint8_t*>(pack.data()), static_cast<int>(pack.size())), 0);
    EXPECT_EQ(Snapshot(), before);

    m_dir.Write("QuiblyConfig.pak", pack);
    before = Snapshot();
    EXPECT_EQ(ConfigPak::UnpackPack(), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(fs::exists("/tmp/quibly_escape.xml"));
    EXPECT_FALSE(fs::exists(m_dir.Path().parent_path() / "QuiblyConfig.xml"));
}

INSTANTIATE_TEST_SUITE_P(Packs, DamagedPackTest, ::testing::ValuesIn(DamagedPacks()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayDataPackTest, ReadsAPackWrittenByPythonZlib)
{
    const fs::path fixtures = fs::path(QUIBLY_FIXTURES_DIR) / "data";
    fs::copy_file(fixtures / "pack_from_python.pak", "QuiblyConfig.pak");
    ASSERT_EQ(ConfigPak::UnpackPack(), 1);
    int compared = 0;
    for (auto& entry : fs::recursive_directory_iterator(fixtures / "pack_source")) {
        if (!entry.is_regular_file())
            continue;
        std::string relative = fs::relative(entry.path(), fixtures / "pack_source").string();
        std::string expected;
        std::ifstream in(entry.path(), std::ios::binary);
        expected.assign(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(m_dir.Read(relative), expected) << relative;
        ++compared;
    }
    EXPECT_EQ(compared, 3);
}

TEST_F(PlayDataPackTest, PythonZlibReadsOurPack)
{
    WriteLoose(Profile("mine"));
    ASSERT_EQ(ConfigPak::Pack(0), 1);
    const std::string script = std::string(QUIBLY_FIXTURES_DIR) + "/data/make_pack.py";
    const std::string command = "python3 '" + script + "' read QuiblyConfig.pak out > python.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << m_dir.Read("python.txt");
    for (size_t i = 0; i < 15; ++i)
        EXPECT_EQ(m_dir.Read(std::string("out/") + ConfigPak::kPlayDataFiles[i]), ContentOf(i, "mine"));
}


// A file the player had is never dropped by a pack: missing, unreadable or too large when
// packing, it is carried over from the pack restored at start-up. The loose files are deleted
// only when every one of them is in the pack.
struct CarryCase {
    const char* name;
    bool blockedAtRestore;  // a folder stood where the file goes when start-up wrote it
    const char* atPack;     // "missing", "unreadable" (a folder in its place) or "huge"
    bool looseKept;         // the loose files stay after Pack(1)
};

class CarryOverTest : public PlayDataPackTest, public ::testing::WithParamInterface<CarryCase> {};

TEST_P(CarryOverTest, PackStillHoldsEveryFile)
{
    const CarryCase& c = GetParam();
    const size_t k = 11; // the record file
    const fs::path file = m_dir.Path() / ConfigPak::kPlayDataFiles[k];
    m_dir.Write("QuiblyConfig.pak", PackOf(Profile("start")));
    if (c.blockedAtRestore)
        fs::create_directories(file);
    testsupport::LogCapture log;
    ASSERT_EQ(ConfigPak::UnpackPack(), 1);
    if (c.blockedAtRestore) {
        EXPECT_TRUE(fs::is_directory(file));
        EXPECT_TRUE(log.Contains(L"its content is kept for the next pack"));
    }

    std::string at = c.atPack;
    fs::remove_all(file);
    if (at == "unreadable") {
        fs::create_directories(file);
    } else if (at == "huge") {
        m_dir.Write(ConfigPak::kPlayDataFiles[k], "x");
        fs::resize_file(file, ConfigPak::kMaxRawBytes + 1);
    }
    ASSERT_EQ(ConfigPak::Pack(1), 1);

    ConfigPak::DecodedPack decoded;
    ASSERT_TRUE(ConfigPak::DecodePack(m_dir.Read("QuiblyConfig.pak"), decoded));
    ASSERT_EQ(decoded.records.size(), 15u);
    EXPECT_EQ(decoded.Bytes(decoded.records[k]), ContentOf(k, "start"));
    EXPECT_EQ(m_cloud.files["QuiblyConfig_cloud.pak"], m_dir.Read("QuiblyConfig.pak"));
    EXPECT_EQ(LooseExists(0), c.looseKept);
    if (c.looseKept) {
        EXPECT_TRUE(log.Contains(L"cannot be packed"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CarryOverTest,
    ::testing::Values(CarryCase{"NotWrittenAtStartUp", true, "missing", false},
                      CarryCase{"DeletedDuringPlay", false, "missing", false},
                      CarryCase{"UnreadableAtExit", false, "unreadable", true},
                      CarryCase{"TooLargeToPack", false, "huge", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayDataPackTest, APartialCloudCopyIsCompletedAndItsFilesSurviveTheExit)
{
    m_dir.Write("QuiblyConfig.pak", PackOf(Profile("local")));
    m_cloud.files["QuiblyConfig_cloud.pak"] = PackOf(Profile("cloud", 13));
    ConfigPak::RestoreAtStartup(false);
    EXPECT_EQ(Loose(13), ContentOf(13, "local"));
    EXPECT_EQ(Loose(12), ContentOf(12, "cloud"));
    fs::remove(m_dir.Path() / ConfigPak::kPlayDataFiles[13]);
    ASSERT_EQ(ConfigPak::Pack(1), 1);
    ConfigPak::DecodedPack cloud;
    ASSERT_TRUE(ConfigPak::DecodePack(m_cloud.files["QuiblyConfig_cloud.pak"], cloud));
    EXPECT_EQ(cloud.records.size(), 15u);
}

TEST_F(PlayDataPackTest, RefusedPacksAreKeptAsideAndNeverOverwritten)
{
    const std::string damagedLocal = WithHeader(5, 5, "local");
    const std::string damagedCloud = WithHeader(5, 5, "cloud");
    m_dir.Write("QuiblyConfig.pak", damagedLocal);
    m_dir.Write("QuiblyConfig_Init.pak", PackOf(Profile("init")));
    m_cloud.files["QuiblyConfig_cloud.pak"] = damagedCloud;
    testsupport::LogCapture log;

    ConfigPak::RestoreAtStartup(false);
    ExpectProfile("init");
    ASSERT_EQ(ConfigPak::Pack(1), 1);

    auto local = FilesStartingWith("QuiblyConfig_damaged_");
    auto cloud = FilesStartingWith("QuiblyConfig_cloud_damaged_");
    ASSERT_EQ(local.size(), 1u);
    ASSERT_EQ(cloud.size(), 1u);
    EXPECT_EQ(m_dir.Read(local[0]), damagedLocal);
    EXPECT_EQ(m_dir.Read(cloud[0]), damagedCloud);
    EXPECT_TRUE(log.Contains(platform::Widen("kept as " + local[0])));
    EXPECT_TRUE(log.Contains(platform::Widen("kept as " + cloud[0])));

    // A second damaged local pack gets a name of its own.
    m_dir.Write("QuiblyConfig.pak", damagedLocal + "2");
    ConfigPak::ResetForNewRun();
    EXPECT_EQ(ConfigPak::UnpackPack(), 0);
    EXPECT_EQ(FilesStartingWith("QuiblyConfig_damaged_").size(), 2u);
}

// Also when the cloud copy is the one restored, or the reset switch discards the play data.
TEST_F(PlayDataPackTest, ADamagedLocalPackIsKeptAsideWhateverSourceIsChosen)
{
    m_dir.Write("QuiblyConfig_Init.pak", PackOf(Profile("init")));
    for (bool reset : {false, true}) {
        ConfigPak::ResetForNewRun();
        const std::string damaged = WithHeader(5, 5, reset ? "reset" : "cloud");
        m_dir.Write("QuiblyConfig.pak", damaged);
        m_cloud.files["QuiblyConfig_cloud.pak"] = PackOf(Profile("cloud"));
        ConfigPak::RestoreAtStartup(reset);
        ExpectProfile(reset ? "init" : "cloud");
        ASSERT_EQ(ConfigPak::Pack(1), 1);
        bool kept = false;
        for (const std::string& name : FilesStartingWith("QuiblyConfig_damaged_"))
            kept = kept || m_dir.Read(name) == damaged;
        EXPECT_TRUE(kept) << reset;
    }
}

TEST_F(PlayDataPackTest, ACloudCopyUnreadableInThisRunIsNeverUploadedOver)
{
    const std::string cloud = PackOf(Profile("cloud"));
    m_cloud.files["QuiblyConfig_cloud.pak"] = cloud;
    m_cloud.readLimit = 10;
    m_dir.Write("QuiblyConfig.pak", PackOf(Profile("local")));
    ConfigPak::RestoreAtStartup(false);
    ExpectProfile("local");
    EXPECT_EQ(ConfigPak::Pack(0), 1);
    EXPECT_EQ(ConfigPak::Pack(1), 1);
    EXPECT_EQ(ConfigPak::UploadToCloud(), 0);
    EXPECT_EQ(m_cloud.writes, 0);
    EXPECT_EQ(m_cloud.files["QuiblyConfig_cloud.pak"], cloud);
}

// The newest copy wins: a local pack written by a run that was killed before its upload beats
// the older cloud copy, and a cloud copy written later (another machine) beats the local pack.
TEST_F(PlayDataPackTest, TheNewestOfLocalPackAndCloudCopyIsRestored)
{
    m_dir.Write("QuiblyConfig.pak", PackOf(Profile("local")));
    m_cloud.files["QuiblyConfig_cloud.pak"] = PackOf(Profile("cloud", 5));
    m_cloud.times["QuiblyConfig_cloud.pak"] = NowSeconds() - 3600;
    ConfigPak::RestoreAtStartup(false);
    ExpectProfile("local");
    EXPECT_EQ(m_cloud.files["QuiblyConfig_cloud.pak"], m_dir.Read("QuiblyConfig.pak"));

    ConfigPak::ResetForNewRun();
    fs::remove_all("Data");
    m_cloud.files["QuiblyConfig_cloud.pak"] = PackOf(Profile("cloud"));
    m_cloud.times["QuiblyConfig_cloud.pak"] = NowSeconds() + 3600;
    ConfigPak::RestoreAtStartup(false);
    ExpectProfile("cloud");
}

// Loose files changed after the last pack (the run was killed, or its pack at exit failed) are
// the newest copy: start-up keeps and packs them instead of unpacking the older pack over them.
TEST_F(PlayDataPackTest, LooseFilesNewerThanThePacksAreKept)
{
    m_dir.Write("QuiblyConfig.pak", PackOf(Profile("local")));
    SetAge(m_dir.Path() / "QuiblyConfig.pak", std::chrono::minutes(10));
    m_cloud.files["QuiblyConfig_cloud.pak"] = PackOf(Profile("local"));
    m_cloud.times["QuiblyConfig_cloud.pak"] = NowSeconds() - 600;
    // Newer loose files without the marker of an unfinished run (defaults shipped with an
    // update, say) never replace the player's pack.
    WriteLoose(Profile("shipped"));
    ConfigPak::RestoreAtStartup(false);
    ExpectProfile("local");
    EXPECT_TRUE(fs::exists(ConfigPak::kLooseMarker));

    // A run that ends without its pack leaves the marker and newer loose files.
    ConfigPak::ResetForNewRun();
    WriteLoose(Profile("played", 7));
    fs::remove(m_dir.Path() / ConfigPak::kPlayDataFiles[7]);
    ConfigPak::RestoreAtStartup(false);
    for (size_t i = 0; i < 15; ++i)
        EXPECT_EQ(Loose(i), ContentOf(i, i == 7 ? "local" : "played")) << i;
    ConfigPak::DecodedPack cloud;
    ASSERT_TRUE(ConfigPak::DecodePack(m_cloud.files["QuiblyConfig_cloud.pak"], cloud));
    EXPECT_EQ(cloud.Bytes(cloud.records[0]), ContentOf(0, "played"));
    EXPECT_EQ(cloud.Bytes(cloud.records[7]), ContentOf(7, "local"));

    // A clean exit packs the loose files and removes the marker with them.
    ASSERT_EQ(ConfigPak::Pack(1), 1);
    EXPECT_FALSE(fs::exists(ConfigPak::kLooseMarker));
}

TEST_F(PlayDataPackTest, AFailedPackSaysSoAndKeepsTheLooseFiles)
{
    WriteLoose(Profile("mine"));
    fs::create_directory("QuiblyConfig.pak");
    testsupport::LogCapture log;
    EXPECT_EQ(ConfigPak::Pack(1), 0);
    EXPECT_TRUE(log.Contains(L"QuiblyConfig.pak could not be written"));
    ExpectProfile("mine");

    fs::remove("QuiblyConfig.pak");
    fs::remove("testFile.bin");
    fs::create_directory("testFile.bin");
    EXPECT_EQ(ConfigPak::Pack(1), 0);
    EXPECT_TRUE(log.Contains(L"testFile.bin could not be written"));
    ExpectProfile("mine");
}

TEST_F(PlayDataPackTest, APackOrCloudCopyNotWrittenAtExitIsSaidOnTheStandardError)
{
    struct Case {
        bool packBlocked;
        bool cloudRefuses;
        const char* said;
    };
    const Case cases[] = {
        {false, false, nullptr},
        {false, true, "Quibly: at exit the cloud copy QuiblyConfig_cloud.pak was not written"},
        {true, false, "Quibly: at exit the play data could not be packed into QuiblyConfig.pak"},
    };
    for (const Case& c : cases) {
        WriteLoose(Profile("mine"));
        if (c.packBlocked)
            fs::create_directory("QuiblyConfig.pak");
        m_cloud.refuseWrites = c.cloudRefuses;
        testsupport::LogCapture log;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ConfigPak::PackAtExit(), c.said ? 0 : 1);
        const std::string said = ::testing::internal::GetCapturedStderr();
        if (c.said) {
            EXPECT_NE(said.find(c.said), std::string::npos) << said;
            EXPECT_TRUE(log.Contains(platform::Widen(std::string(c.said).substr(std::strlen("Quibly: at exit ")))));
        } else {
            EXPECT_EQ(said.find("Quibly: at exit"), std::string::npos) << said;
        }
        // The local pack is written whatever became of the cloud copy.
        EXPECT_EQ(fs::is_regular_file("QuiblyConfig.pak"), !c.packBlocked);
        fs::remove_all("QuiblyConfig.pak");
    }
}

TEST_F(PlayDataPackTest, TemporaryFilesOfAKilledRunAreRemovedAtStart)
{
    pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    ASSERT_GT(dead, 0);
    waitpid(dead, nullptr, 0);
    const std::string gone[] = {"QuiblyConfig.pak.tmp" + std::to_string(dead) + "_0",
                                "testFile.bin.tmp" + std::to_string(dead) + "_12",
                                "Data/PlayData/QuiblyConfig.xml.tmp" + std::to_string(dead) + "_3"};
    const std::string kept[] = {"QuiblyConfig.pak.tmp" + std::to_string(getppid()) + "_0", // its writer still runs
                                "notes.tmp", "Data/PlayData/a.tmp12_x"};
    for (const std::string& name : gone)
        m_dir.Write(name, "partial");
    for (const std::string& name : kept)
        m_dir.Write(name, "other");
    ConfigPak::RestoreAtStartup(false);
    for (const std::string& name : gone)
        EXPECT_FALSE(fs::exists(m_dir.Path() / name)) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(m_dir.Path() / name)) << name;
}

} // namespace
