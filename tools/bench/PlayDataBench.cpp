// Packing and restoring the fifteen play-data files of a well-played profile: what every
// main-menu entry (pack) and every start-up (restore) costs.
#include "data/PlayDataPack.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Rankings for every stage of every board, a long record, full configuration files and two
// self-play recordings of a few minutes each.
std::string RankingFile()
{
    std::string text = "<Ranking>";
    for (const char* board : {"Puzzle", "Combo", "Stage", "Point", "Stage_Easy", "Stage_Hard", "Battle", "Push"}) {
        text += std::string("<") + board + ">";
        for (int table = 0; table < 60; ++table) {
            text += "<Table Name=\"" + std::to_string(table) + "\">";
            for (int place = 0; place < 6; ++place)
                text += "<Rank Name=\"##player##\" Score=\"" + std::to_string(100000 - place * 777 - table) +
                        "\" Time=\"" + std::to_string(60 + place * 13) + "\" />";
            text += "</Table>";
        }
        text += std::string("</") + board + ">";
    }
    return text + "</Ranking>";
}

std::string Recording(size_t bytes, unsigned seed)
{
    std::mt19937 random(seed);
    std::string data;
    while (data.size() < bytes) {
        // Timed board events: a time that grows, a small id and a few coordinates.
        uint32_t record[4] = {static_cast<uint32_t>(data.size() * 3), static_cast<uint32_t>(2025u + random() % 40),
                              static_cast<uint32_t>(random() % 8), static_cast<uint32_t>(random() % 8)};
        data.append(reinterpret_cast<const char*>(record), sizeof record);
    }
    return data;
}

std::string Filler(const char* root, size_t elements)
{
    std::string text = std::string("<") + root + ">";
    for (size_t i = 0; i < elements; ++i)
        text += "<Stage name=\"Stage " + std::to_string(i) + "\" seed=\"" + std::to_string(i * 31) +
                "\" XGrid=\"8\" YGrid=\"8\"><BlockColorRate A=\"10\" B=\"10\" C=\"10\" star=\"3\" stone=\"2\" />"
                "<Challenge ClearType=\"Point\" ClearNum=\"" + std::to_string(1000 + i) + "\" ClearTime=\"90\" /></Stage>";
    return text + "</" + root + ">";
}

class ProfileFolder {
public:
    ProfileFolder()
    {
        m_dir = fs::temp_directory_path() / ("quibly_bench_" + std::to_string(::getpid()));
        fs::create_directories(m_dir / "Data" / "PlayData");
        fs::current_path(m_dir);
        const std::string files[15] = {Filler("Achievements", 40), Filler("Achievements", 75), std::string(28, '\x01'),
                                       Filler("VanteoConfig", 3), Filler("VanteoConfig", 20), Filler("VanteoPuzzleConfig", 5),
                                       Filler("VanteoConfig", 30), Filler("VanteoConfig", 20), Filler("VanteoConfig", 20),
                                       Filler("VanteoConfig", 60), RankingFile(), Filler("Record", 10),
                                       Filler("UnlockMenu", 30), Recording(120000, 1), Recording(200000, 2)};
        for (size_t i = 0; i < 15; ++i)
            std::ofstream(ConfigPak::kPlayDataFiles[i], std::ios::binary) << files[i];
    }
    ~ProfileFolder()
    {
        std::error_code ec;
        fs::current_path(fs::temp_directory_path(), ec);
        fs::remove_all(m_dir, ec);
    }

private:
    fs::path m_dir;
};

ProfileFolder& Profile()
{
    static ProfileFolder folder;
    return folder;
}

void BM_PackProfile(benchmark::State& state)
{
    Profile();
    for (auto _ : state)
        benchmark::DoNotOptimize(ConfigPak::Pack(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size("testFile.bin")));
    state.counters["pack_bytes"] = static_cast<double>(fs::file_size(ConfigPak::kPackFile));
    state.counters["raw_bytes"] = static_cast<double>(fs::file_size("testFile.bin"));
}
BENCHMARK(BM_PackProfile)->Unit(benchmark::kMillisecond);

void BM_RestoreProfile(benchmark::State& state)
{
    Profile();
    ConfigPak::Pack(0);
    for (auto _ : state) {
        ConfigPak::ResetForNewRun();
        benchmark::DoNotOptimize(ConfigPak::UnpackPack());
    }
}
BENCHMARK(BM_RestoreProfile)->Unit(benchmark::kMillisecond);

void BM_DecodeProfilePack(benchmark::State& state)
{
    Profile();
    ConfigPak::Pack(0);
    std::ifstream in(ConfigPak::kPackFile, std::ios::binary);
    std::string pack((std::istreambuf_iterator<char>(in)), {});
    for (auto _ : state) {
        ConfigPak::DecodedPack decoded;
        benchmark::DoNotOptimize(ConfigPak::DecodePack(pack, decoded));
    }
}
BENCHMARK(BM_DecodeProfilePack)->Unit(benchmark::kMillisecond);

} // namespace
