// packinit <source folder> <output pack>
// Packs the default play data (the play-data files found by their bare names in the source
// folder) into the initial pack the game restores on its first run or with "-c".
#include "data/PlayDataPack.h"

#include <win32/Files.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: packinit <source folder> <output pack>\n");
        return 2;
    }
    const std::filesystem::path source = argv[1];
    std::vector<std::pair<size_t, std::string>> files;
    for (size_t i = 0; i < ConfigPak::kPlayDataFiles.size(); ++i) {
        std::string name = std::filesystem::path(ConfigPak::kPlayDataFiles[i]).filename().string();
        std::string bytes;
        if (platform::ReadWholeFile((source / name).string(), bytes) && !bytes.empty())
            files.emplace_back(i, std::move(bytes));
    }
    std::string pack = ConfigPak::EncodePack(ConfigPak::EncodeRecords(files));
    ConfigPak::DecodedPack check;
    if (pack.empty() || !ConfigPak::DecodePack(pack, check) || check.records.size() != files.size()) {
        std::fprintf(stderr, "packinit: the pack did not read back whole\n");
        return 1;
    }
    if (!platform::SaveFileAtomically(argv[2], pack)) {
        std::fprintf(stderr, "packinit: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("packinit: %zu files into %s\n", files.size(), argv[2]);
    return 0;
}
